// The texts of tolvex-cli.
#pragma once

namespace tolvex::cli_texts {

inline constexpr char kProgram[] = "tolvex-cli";

// `tolvex-cli --help`: the commands follow, then the options every command takes.
inline constexpr char kSynopsis[] =
    "Usage: tolvex-cli COMMAND [OPTION]... [FILE]...\n"
    "Render, read and program a monitor's EDID.\n"
    "\n"
    "Commands:\n";
inline constexpr char kGeneralOptions[] =
    "\n"
    "Options:\n"
    "  -h, --help              show this help, or a command's help after the command\n"
    "      --version           show the program's name and version\n"
    "\n"
    "'tolvex-cli COMMAND --help' shows the options of a command. Exit status: 0 success, 1 a file or a\n"
    "transfer failed, 2 bad usage.\n";
inline constexpr char kCommandOptions[] = "\nOptions:\n";
inline constexpr char kHelpOption[] = "  -h, --help              show this help\n";
inline constexpr char kTryHelp[] = "Try 'tolvex-cli --help' for more information.\n";
inline constexpr char kTryCommandHelp[] = "Try 'tolvex-cli %s --help' for more information.\n";
inline constexpr char kVersion[] = "tolvex-cli (Tolvex) " TOLVEX_VERSION "\n";

// Usage errors.
inline constexpr char kNoCommand[] = "no command given";
inline constexpr char kUnknownCommand[] = "unknown command '%s'";
inline constexpr char kUnknownOption[] = "unrecognized option '%s'";
inline constexpr char kNotAnOptionOf[] = "%s is not an option of %s";
inline constexpr char kNeedsValue[] = "option '--%s' needs %s";
inline constexpr char kTakesNoValue[] = "option '--%s' takes no value";
inline constexpr char kMissingFile[] = "missing FILE";
inline constexpr char kTooManyFiles[] = "too many files";
inline constexpr char kProtocolValues[] = "--protocol takes 0, 1 or 2";
inline constexpr char kPageValues[] = "%s takes one to four hexadecimal digits";
inline constexpr char kChoiceValues[] = "--%s takes %s";

inline constexpr char kNoEdidContent[] = "neither an EDID report (no hex dump found) nor binary EDID";
inline constexpr char kBinaryTooLong[] = "more bytes than one EDID holds (255 blocks of 128 bytes)";
inline constexpr char kStandardInput[] = "-";
inline constexpr char kStandardInputName[] = "(standard input)";
inline constexpr char kStandardOutput[] = "-";
inline constexpr char kStandardOutputName[] = "standard output";
inline constexpr char kWriteError[] = "write error";
inline constexpr char kNoPortAccess[] = "no port access";
inline constexpr char kNoAdapter[] = "no I2C adapter found (Black Box, Service Kit or S3 ViRGE card)";
inline constexpr char kWrittenAndVerified[] = "written to the monitor and verified";
inline constexpr char kChecksumMismatch[] =
    "the stored checksum 0x%02X does not match the block's bytes (0x%02X); --fix-checksum writes it anyway";
inline constexpr char kIncompleteEdid[] =
    "incomplete EDID: %d of its bytes are missing (a dump or file cut short, or fewer extension blocks than byte "
    "126 announces)";
inline constexpr char kNoConnector[] = "there is no connector %s ('tolvex-cli list' shows them)";
inline constexpr char kConnectorWithoutBus[] = "%s: no I2C bus reaches this connector";
inline constexpr char kForceHint[] = "--force overrides this";
inline constexpr char kNothingAnswers[] = "%s: nothing answers at 0xA0";
inline constexpr char kBusValues[] = "--bus takes /dev/i2c-N, i2c-N or N, or ch341a or ch341a:B.D for a USB programmer";
inline constexpr char kBusOrConnector[] = "--bus and --connector both name the bus; give one";
inline constexpr char kSysfsNeedsConnector[] = "--sysfs reads a connector's EDID: give --connector";
inline constexpr char kNeedsConnector[] = "give the connector with --connector NAME";
inline constexpr char kFileOrReset[] = "give FILE or --reset, one of them";
inline constexpr char kDevNodesMissing[] = "the I2C buses have no device nodes: load the kernel's i2c-dev module (sudo modprobe i2c-dev)";
// `check` and `report --check`: "FILE: " and a finding, or "FILE: ok".
inline constexpr char kCheckClean[] = "ok";
// `info` of several files: each file's lines follow "FILE:".
inline constexpr char kInfoFileEnd[] = ":";
inline constexpr char kFileSeparator[] = ": ";
// Production writes.
inline constexpr char kSerialNeedsCounter[] = "--serial-field and --serial-format need --serial-counter";
inline constexpr char kSimUnitsValues[] = "--sim-units takes a number from 1 to %d";
inline constexpr char kSimEepromSizeValues[] = "--sim-eeprom-size takes 256, 512, 1024 and so on up to 32768";
inline constexpr char kSameFile[] = "%s and %s name the same file; one would overwrite the other";
inline constexpr char kUnitsSummary[] = "%d passed, %d failed";
inline constexpr char kStopped[] = "stopped";
inline constexpr char kNoMoreUnits[] = "no further monitor can come";
inline constexpr char kInterruptHint[] = "Ctrl+C ends the run between units; a second Ctrl+C ends it at once";

// `edit` (`diff` prints report/edid_diff.h's text).
inline constexpr char kNoEditOperation[] = "give at least one edit (--vrr, --rgb-only, --set and so on)";
inline constexpr char kEditValue[] = "--%s takes %s, not '%s'";
inline constexpr char kEditIncomplete[] = "incomplete EDID: %d of its bytes are missing; an edit needs every block";
inline constexpr char kEditRefused[] = "--%s refused: %s";

}  // namespace tolvex::cli_texts
