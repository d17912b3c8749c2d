// The document's own messages.
#pragma once

namespace tolvex::texts {

inline constexpr char kInvalidHexFile[] = "Invalid EDID hex file !\nDo you want to continue load file...";
inline constexpr char kOpenErrorCaption[] = "Open error";
inline constexpr char kWizardCaption[] = "Wizard";

}  // namespace tolvex::texts
