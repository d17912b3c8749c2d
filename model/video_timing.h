// A video timing given in full, as the VIC and DMT tables list them, and the few numbers every
// decoded timing shares (what the report, the JSON and the agreement test print of it).
#pragma once

#include <cstdint>
#include <string>

namespace tolvex {

struct VideoTiming {
  uint16_t hActive;
  uint16_t vActive;  // lines of the frame, both fields when interlaced
  uint32_t pixelClockKHz;
  uint16_t hFront;
  uint16_t hSync;
  uint16_t hBack;
  uint16_t vFront;  // lines of one field when interlaced
  uint16_t vSync;
  uint16_t vBack;
  bool interlaced;
  bool hSyncPositive;
  bool vSyncPositive;
  uint16_t aspectH;  // picture aspect ratio
  uint16_t aspectV;
  // An interlaced timing whose two fields have the same number of lines (VIC 39) rather than
  // one half line more in the second.
  bool evenFields = false;
  // Pixels and lines of border on each side (a few DMT formats only), outside the active ones.
  uint8_t hBorder = 0;
  uint8_t vBorder = 0;

  constexpr int HTotal() const { return hActive + 2 * hBorder + hFront + hSync + hBack; }
  // Lines of one field (one frame when progressive); interlaced fields end in half a line.
  constexpr double FieldLines() const {
    const int blank = 2 * vBorder + vFront + vSync + vBack;
    if (!interlaced) return vActive + blank;
    return vActive / 2.0 + blank + (evenFields ? 0.0 : 0.5);
  }
  // Fields per second for an interlaced timing, frames per second otherwise.
  double RefreshHz() const;
  double HorizontalKHz() const;
};

// "1920x1080 60.000 Hz 16:9", "1920x1080i 50.000 Hz 16:9".
std::string DescribeTiming(const VideoTiming& timing);
// "3840x2160 60.000 Hz" for a timing whose aspect ratio is not given.
std::string DescribeTiming(int hActive, int vActive, bool interlaced, double refreshHz);

}  // namespace tolvex
