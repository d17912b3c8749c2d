// The texts the application shell shows: titles, the framework's own prompts, and the names the
// settings store and the desktop know the program by. Menu labels and prompts are in the command
// table (app/command_table.cpp).
#pragma once

namespace tolvex::texts {

inline constexpr char kWindowTitle[] = "Tolvex 3.01";
inline constexpr char kCompanyKey[] = "Marvane";
inline constexpr char kFileFilter[] = "Tolvex Files (*.ddc)";
// File Open also takes raw binary EDID.
inline constexpr char kOpenFilters[] = "EDID reports (*.ddc);;Raw EDID (*.bin *.edid *.raw);;All files (*)";
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

// Status bar: the idle text and the three key indicators.
inline constexpr char kIdleStatus[] = "Ready";
inline constexpr char kCapsIndicator[] = "CAP";
inline constexpr char kNumIndicator[] = "NUM";
inline constexpr char kScrollIndicator[] = "SCRL";

// The About box.
inline constexpr char kAboutTitle[] = "About Tolvex";
inline constexpr char kAboutText[] = "Tolvex Version 3.01";

}  // namespace tolvex::texts
