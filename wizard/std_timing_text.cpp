#include "wizard/std_timing_text.h"

namespace tolvex {

namespace {

// Vertical lines per horizontal pixel of each aspect code; code 0 is 1:1 before EDID 1.3.
constexpr std::array<double, 4> kAspectRatios = {1.0, 0.75, 0.8, 0.5625};
constexpr double kWideAspectRatio = 0.625;  // code 0 from EDID 1.3 on: 16:10

const texts::AspectText& AspectOf(int aspect, bool version13) {
  return aspect == 0 && version13 ? texts::kAspectWide : texts::kAspects[static_cast<size_t>(aspect & 3)];
}

}  // namespace

QString FormatStdTimingLine(int width, int aspect, int refresh, bool version13) {
  aspect &= 3;
  const double ratio = aspect == 0 && version13 ? kWideAspectRatio : kAspectRatios[static_cast<size_t>(aspect)];
  const int lines = static_cast<int>(width * ratio);
  return QString::asprintf(texts::kStdTimingLine, width, lines, refresh, AspectOf(aspect, version13).inLine);
}

QString AspectChoiceText(int aspect, bool version13) {
  return QString::fromLatin1(AspectOf(aspect, version13).inChoice);
}

}  // namespace tolvex
