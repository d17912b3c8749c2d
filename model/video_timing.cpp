#include "model/video_timing.h"

#include <cstdio>

#include "model/decode_texts.h"

namespace tolvex {

double VideoTiming::RefreshHz() const {
  const double lines = FieldLines();
  return lines > 0 && HTotal() > 0 ? pixelClockKHz * 1000.0 / (HTotal() * lines) : 0;
}

double VideoTiming::HorizontalKHz() const { return HTotal() > 0 ? static_cast<double>(pixelClockKHz) / HTotal() : 0; }

std::string DescribeTiming(int hActive, int vActive, bool interlaced, double refreshHz) {
  char text[64];
  std::snprintf(text, sizeof text, decode_text::kTimingFormat, hActive, vActive,
                interlaced ? decode_text::kInterlacedMark : "", refreshHz);
  return text;
}

std::string DescribeTiming(const VideoTiming& timing) {
  char ratio[24];
  std::snprintf(ratio, sizeof ratio, decode_text::kAspectFormat, timing.aspectH, timing.aspectV);
  return DescribeTiming(timing.hActive, timing.vActive, timing.interlaced, timing.RefreshHz()) + ratio;
}

}  // namespace tolvex
