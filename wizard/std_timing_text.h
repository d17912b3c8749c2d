// What the two standard-timing lists (wizard step 5 and the standard timing identifier editor)
// show: their field labels and buttons, the aspect-ratio names and the list line.
#pragma once

#include <array>
#include <cstdint>

#include <QString>

namespace tolvex {

namespace texts {

inline constexpr char kStdTimingHeading[] = "Standard Timing identification";
inline constexpr char kStdTimingWidthLabel[] = "Hz. ActivePixels (256-2288)";
inline constexpr char kStdTimingAspectLabel[] = "AspectRatio";
inline constexpr char kStdTimingRefreshLabel[] = "Refresh Rate (60 - 123)";
inline constexpr char kAdd[] = "Add";
inline constexpr char kReplace[] = "Replace";
inline constexpr char kRemove[] = "Remove";
inline constexpr char kStdTimingLine[] = "%4d x %4d\t%3dHz\tAspect ratio = %s";

// Each aspect code as a list line names it (padded so that lines align) and as the drop-down
// offers it. Code 0 reads 1:1 before EDID 1.3 and 16:10 from 1.3 on.
struct AspectText {
  const char* inLine;
  const char* inChoice;
};
inline constexpr std::array<AspectText, 4> kAspects = {{
    {" 1:1", "1:1"},
    {" 4:3", "4:3"},
    {" 5:4", "5:4"},
    {"16:9", "16:9"},
}};
inline constexpr AspectText kAspectWide = {"16:10", "16:10"};

}  // namespace texts

// The ranges a standard timing entry takes, as the field labels give them.
inline constexpr int kStdTimingMinWidth = 256;
inline constexpr int kStdTimingMaxWidth = 2288;
inline constexpr int kStdTimingMinRefresh = 60;
inline constexpr int kStdTimingMaxRefresh = 123;

constexpr bool IsStdTimingInRange(long width, long refresh) {
  return width >= kStdTimingMinWidth && width <= kStdTimingMaxWidth && refresh >= kStdTimingMinRefresh &&
         refresh <= kStdTimingMaxRefresh;
}

// What a list line carries besides its text: width in bits 31-16, refresh in 15-8, aspect in 7-0.
struct StdTimingEntry {
  int width;
  int aspect;
  int refresh;
};
constexpr uint32_t PackStdTiming(const StdTimingEntry& entry) {
  return static_cast<uint32_t>(entry.width) << 16 | static_cast<uint32_t>(entry.refresh) << 8 |
         static_cast<uint32_t>(entry.aspect);
}
constexpr StdTimingEntry UnpackStdTiming(uint32_t value) {
  return {static_cast<int>(value >> 16), static_cast<int>(value & 0xFF), static_cast<int>(value >> 8 & 0xFF)};
}

// The list line of a standard timing, its vertical lines worked out from the aspect code (0-3).
QString FormatStdTimingLine(int width, int aspect, int refresh, bool version13);
// The drop-down text of an aspect code (0-3).
QString AspectChoiceText(int aspect, bool version13);

}  // namespace tolvex
