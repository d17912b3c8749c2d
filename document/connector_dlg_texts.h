// The texts of "Apply to Connector..." and "Install as Firmware...": the dialog that shows what
// goes where before tolvex-cli runs as root, and what the run ended with.
#pragma once

namespace tolvex::texts {

inline constexpr char kApplyCaption[] = "Apply to Connector";
inline constexpr char kFirmwareCaption[] = "Install as Firmware";
inline constexpr char kConnectorLabel[] = "&Connector:";
inline constexpr char kConnectorConnected[] = "%1 (connected)";
inline constexpr char kConnectorDisconnected[] = "%1 (nothing connected)";
inline constexpr char kApplyThisEdid[] = "&Apply this EDID";
inline constexpr char kResetToMonitor[] = "&Reset to the monitor's own EDID";
inline constexpr char kWhatHappens[] = "What will be written where:";

// The preview, one line each.
inline constexpr char kPreviewEdid[] = "Writes the whole EDID: %1 bytes, %2 blocks";
inline constexpr char kPreviewReset[] =
    "Writes \"reset\": the kernel drops the override and reads the monitor's own EDID again";
inline constexpr char kPreviewOverride[] = "Into the kernel's override: %1";
inline constexpr char kPreviewStatus[] = "Then \"detect\" into: %1";
inline constexpr char kPreviewUntilBoot[] = "The override lasts until the next boot.";
inline constexpr char kPreviewFirmware[] = "Into the firmware file: %1";
inline constexpr char kPreviewParameter[] = "Kernel parameter that loads it at boot: %1";
inline constexpr char kPreviewBootUnchanged[] =
    "Nothing of the boot configuration changes: the parameter and the initramfs step are shown afterwards.";
inline constexpr char kPreviewCommand[] = "Runs as root (polkit asks for the administrator password):";

// Before anything runs.
inline constexpr char kCliMissing[] = "tolvex-cli, which does the work as root, is not beside the program: %1";
inline constexpr char kTemporaryFileFailed[] = "The EDID could not be put into a temporary file: %1";

// What the run ended with.
inline constexpr char kNotAuthorised[] =
    "Not authorised: the administrator password was not given (pkexec ended with %1), so nothing was changed.";
inline constexpr char kNotAuthorisedCaption[] = "Not authorised";
inline constexpr char kPkexecMissing[] =
    "Running tolvex-cli as root needs pkexec (Debian package polkitd, or pkexec on newer releases), and it is not "
    "installed. Nothing was changed. In a root shell, run instead:\n\n%1";
inline constexpr char kPkexecMissingKept[] = "The EDID stays in %1 for that; delete it afterwards.";
inline constexpr char kPkexecMissingCaption[] = "pkexec is needed";
inline constexpr char kCommandFailed[] = "tolvex-cli ended with exit code %1";
inline constexpr char kCommandFailedCaption[] = "tolvex-cli failed";
inline constexpr char kFirmwareInstalled[] =
    "The EDID is installed as firmware for %1. Nothing of the boot configuration was changed: add the kernel "
    "parameter below and do the initramfs step.";

}  // namespace tolvex::texts
