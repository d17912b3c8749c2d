// The texts the application shell shows: titles, the framework's own prompts, and the names the
// settings store and the desktop know the program by. Menu labels and prompts are in the command
// table (app/command_table.cpp).
#pragma once

namespace tolvex::texts {

inline constexpr char kWindowTitle[] = "Tolvex 3.01";
// After the document's title while it holds unsaved changes.
inline constexpr char kModifiedMarker[] = "*";
inline constexpr char kCompanyKey[] = "Marvane";
inline constexpr char kFileFilter[] = "Tolvex Files (*.ddc)";
// File Open also takes raw binary EDID.
inline constexpr char kOpenFilters[] =
    "EDID files (*.ddc *.bin *.edid *.raw);;EDID reports (*.ddc);;Raw EDID (*.bin *.edid *.raw);;All files (*)";
inline constexpr char kFileExtension[] = ".ddc";
// The desktop knows the file type as "Tolvex Document" from app/desktop/tolvex.xml.

inline constexpr char kCodeWindowTitle[] = "EDID codes";
inline constexpr char kCodeFontFamily[] = "Courier New";

// Menus.
inline constexpr char kFileMenu[] = "&File";
inline constexpr char kI2cMenu[] = "&I2C";
inline constexpr char kChannelMenu[] = "RW &Channel";
inline constexpr char kViewMenu[] = "&View";
inline constexpr char kHelpMenu[] = "&Help";
inline constexpr char kEditMenu[] = "&Edit";

// Undo and redo of the EDID: "&Undo EDID Read", "&Redo wizard run".
inline constexpr char kUndoEdidPrefix[] = "&Undo";
inline constexpr char kRedoEdidPrefix[] = "&Redo";
// Undo and redo of what was typed in the report view.
inline constexpr char kUndoReportText[] = "Undo Report &Text";
inline constexpr char kRedoReportText[] = "Redo Report Te&xt";
inline constexpr char kEdidReadStep[] = "EDID Read";
inline constexpr char kDisplayReadStep[] = "Read from connected display";
inline constexpr char kWizardStep[] = "wizard run";

// Status bar: the idle text and the three key indicators.
inline constexpr char kIdleStatus[] = "Ready";
inline constexpr char kCapsIndicator[] = "CAP";
inline constexpr char kNumIndicator[] = "NUM";
inline constexpr char kScrollIndicator[] = "SCRL";

// The command line: the --version line, the usage synopsis, --help's introduction and option
// descriptions, and the one error the parser does not word itself.
inline constexpr char kVersionLine[] = "tolvex 3.01";
inline constexpr char kUsage[] =
    "usage: tolvex [--simulate [--sim-adapter ADAPTER] [--sim-state FILE] [--sim-fault FAULT]\n"
    "                          [--sim-access ACCESS] [--sim-capture FILE] [--sim-eeprom-size BYTES]\n"
    "                          [--sim-units N]] [--no-splash]\n"
    "              [--print FILE | FILE]\n"
    "       tolvex --help | --version";
inline constexpr char kHelpIntro[] =
    "Builds, inspects, stores and programs a monitor's EDID. FILE is an EDID report (.ddc) to open.";
inline constexpr char kHelpOptionsHeading[] = "Options:";
inline constexpr char kHelpOption[] = "Show this help and end.";
inline constexpr char kVersionOption[] = "Show the program's name and version and end.";
inline constexpr char kSimulateOption[] = "Run on the simulated monitor instead of the PC's ports.";
inline constexpr char kSimAdapterOption[] = "The simulated adapter (default black-box):";
inline constexpr char kSimStateOption[] = "Keep the simulated monitor's memory in FILE between runs.";
inline constexpr char kSimFaultOption[] = "A fault of the simulated monitor:";
inline constexpr char kSimAccessOption[] = "How the simulated parallel ports are reached (default raw):";
inline constexpr char kSimCaptureOption[] = "Record SCL and SDA in simulated time into FILE (Value Change Dump).";
inline constexpr char kSimEepromSizeOption[] =
    "Both simulated EEPROMs hold BYTES (256 to 32768, a power of two); above 256 the monitor answers the "
    "E-DDC segment pointer.";
inline constexpr char kSimUnitsOption[] = "N simulated monitors come one after another, each taken away when done.";
inline constexpr char kSimImplied[] = "The --sim-* options imply --simulate.";
inline constexpr char kNoSplashOption[] = "Start without the splash picture.";
// The "Compare with..." window: the document's name, then the other file's.
inline constexpr char kCompareTitle[] = "Compare %1 with %2";
// The file dialog's caption.
inline constexpr char kComparePathCaption[] = "Compare with";

// The footer of a printed page, after the date printed.
inline constexpr char kPrintPageOf[] = "Page %1 of %2";
inline constexpr char kPrintOption[] = "Print the report FILE on the default printer and end.";
inline constexpr char kUnknownChoice[] = "unknown value '%1' for --%2";
inline constexpr char kOnlyOneFile[] = "only one file can be opened";

// A greyed command's prompt says why it is greyed (%1: the command's own prompt).
inline constexpr char kGreyedBecause[] = "%1 (%2)";
inline constexpr char kNoChannelFound[] = "no I2C channel was found at start-up";
inline constexpr char kWriteWaitsForCodeWindow[] = "EDID Write waits for the \"EDID codes\" window: View > EDID code";
inline constexpr char kNeedsDisplayConnector[] =
    "needs a Linux display connector whose display gave the kernel an EDID";
inline constexpr char kChannelNotFound[] = "%1 was not found at start-up";
// Apply to Connector and Install as Firmware.
inline constexpr char kNeedsKernelConnector[] = "needs a display connector of the PC's own kernel, not a simulated one";

// The About box.
inline constexpr char kAboutTitle[] = "About Tolvex";
inline constexpr char kAboutText[] = "Tolvex Version 3.01";

}  // namespace tolvex::texts
