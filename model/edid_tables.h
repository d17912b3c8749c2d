// Value tables of the base block: the texts each code stands for, as the report prints them.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tolvex {

// Analog signal level, byte 20 bits 6-5.
inline constexpr std::array<std::string_view, 4> kSignalLevelTexts = {
    "0.700V/0.300V (1.00Vpp)",  // 0
    "0.714V/0.286V (1.00Vpp)",  // 1
    "1.000V/0.400V (1.40Vpp)",  // 2
    "0.700V/0.000V (0.70Vpp)",  // 3
};

// Display type, byte 24 bits 4-3. The misspelling is the program's own and stored files carry it.
inline constexpr std::array<std::string_view, 4> kDisplayTypeTexts = {
    "Monochcrome/gray display",    // 0
    "RGB color display",           // 1
    "NON-RGB multicolor display",  // 2
    "Undefined",                   // 3
};

struct EstablishedTiming {
  uint8_t offset;  // block byte 35, 36 or 37
  uint8_t bit;
  std::string_view text;
};

// One bit per timing, in the order the report lists them (byte by byte, bit 7 first).
inline constexpr std::array<EstablishedTiming, 17> kEstablishedTimings = {{
    // Established timings I, byte 35
    {35, 7, "720 x 400 @70Hz (IBM,VGA)"},
    {35, 6, "720 x 400 @88Hz (IBM,XGA2)"},
    {35, 5, "640 x 480 @60Hz (IBM,VGA)"},
    {35, 4, "640 x 480 @67Hz (Apple,Mac II)"},
    {35, 3, "640 x 480 @72Hz (VESA)"},
    {35, 2, "640 x 480 @75Hz (VESA)"},
    {35, 1, "800 x 600 @56Hz (VESA)"},
    {35, 0, "800 x 600 @60Hz (VESA)"},
    // Established timings II, byte 36
    {36, 7, "800 x 600 @72Hz (VESA)"},
    {36, 6, "800 x 600 @75Hz (VESA)"},
    {36, 5, "832 x 624 @75Hz (Apple,Mac II)"},
    {36, 4, "1024 x 768 @87Hz (IBM)"},
    {36, 3, "1024 x 768 @60Hz (VESA)"},
    {36, 2, "1024 x 768 @70Hz (VESA)"},
    {36, 1, "1024 x 768 @75Hz (VESA)"},
    {36, 0, "1280 x 1024 @75Hz (VESA)"},
    // Manufacturer's reserved timings, byte 37: only bit 7 has a meaning
    {37, 7, "1152 x 870 @75Hz (Apple,Mac II)"},
}};

// Standard timing aspect-ratio code, second byte bits 7-6. Code 0 reads "16:10" in version 1.3.
inline constexpr std::array<std::string_view, 4> kAspectRatioTexts = {"1:1", "4:3", "5:4", "16:9"};
inline constexpr std::string_view kAspectRatio16x10 = "16:10";

}  // namespace tolvex
