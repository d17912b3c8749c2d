// The document's own messages.
#pragma once

namespace tolvex::texts {

inline constexpr char kInvalidHexFile[] = "Invalid EDID hex file !\nDo you want to continue load file...";
inline constexpr char kOpenErrorCaption[] = "Open error";
inline constexpr char kWizardCaption[] = "Wizard";

// What a finished transfer command leaves in the status bar.
inline constexpr char kEdidWrittenAndVerified[] = "EDID written and verified";
inline constexpr char kDviDigitalSelected[] = "DVI-D EEPROM selected";
inline constexpr char kDviAnalogSelected[] = "DVI-A EEPROM selected";
inline constexpr char kDviAutoSelected[] = "DVI-I automatic EEPROM switch selected";
inline constexpr char kDviSwitchUnanswered[] = "DVI EEPROM switch not acknowledged (0x%02X)";

}  // namespace tolvex::texts
