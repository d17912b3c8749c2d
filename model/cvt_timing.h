// VESA Coordinated Video Timings with reduced blanking (CVT 1.2 section 5.4): version 1 (160
// pixels of horizontal blanking, a 0.25 MHz clock step) and version 2 (80 pixels, a 1 kHz step),
// which is what a display's own timing for a custom mode is computed by.
#pragma once

#include <optional>

namespace tolvex {

struct CvtTiming {
  int version = 1;
  int hActive = 0, hFront = 0, hSync = 0, hBack = 0;
  int vActive = 0, vFront = 0, vSync = 0, vBack = 0;
  int pixelClockKHz = 0;  // both versions' steps are whole kHz

  int HTotal() const { return hActive + hFront + hSync + hBack; }
  int VTotal() const { return vActive + vFront + vSync + vBack; }
  double RefreshHz() const;
  double HorizontalKHz() const;
};

// Progressive WxH at `hz` frames per second; nothing when the numbers make no timing (a size
// or rate out of reach of the formula).
std::optional<CvtTiming> ComputeCvtReducedBlanking(int width, int height, double hz, int version);

}  // namespace tolvex
