// The document's own messages.
#pragma once

namespace tolvex::texts {

inline constexpr char kInvalidHexFile[] = "Invalid EDID hex file !\nDo you want to continue load file...";
inline constexpr char kOpenErrorCaption[] = "Open error";
inline constexpr char kWizardCaption[] = "Wizard";
// File New over a block that claims a revision the wizard's steps do not know.
inline constexpr char kWizardNewerRevision[] =
    "This block claims E-EDID 1.%1. The wizard's steps follow EDID 1.0 to 1.3: they show the fields those "
    "revisions define, and what 1.4 reads otherwise (the digital interface, the colour bit depth, the feature "
    "bits) stays as the block holds it unless you change that field.";

// Whole EDIDs in files.
inline constexpr char kFileLacksBytes[] =
    "%1 bytes of the EDID are missing from this file and stand as zero.\n"
    "EDID Write refuses the EDID until the document has been saved or edited with File New.";
inline constexpr char kBinaryTooLong[] = "The file holds more bytes than one EDID (255 blocks of 128 bytes).";
inline constexpr char kExportCaption[] = "Export Binary";
inline constexpr char kExportFilter[] = "Raw EDID (*.bin)";
inline constexpr char kExportExtension[] = ".bin";

// What a finished command leaves in the status bar.
inline constexpr char kEdidReadSummary[] = "EDID read: %1 block(s), %2 bytes";
inline constexpr char kExportSummary[] = "Exported %1 block(s), %2 bytes to %3";
inline constexpr char kEdidWrittenAndVerified[] = "EDID written and verified";
inline constexpr char kDviDigitalSelected[] = "DVI-D EEPROM selected";
inline constexpr char kDviAnalogSelected[] = "DVI-A EEPROM selected";
inline constexpr char kDviAutoSelected[] = "DVI-I automatic EEPROM switch selected";
inline constexpr char kDviSwitchUnanswered[] = "DVI EEPROM switch not acknowledged (0x%02X)";

}  // namespace tolvex::texts
