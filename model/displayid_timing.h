// The 20-byte detailed timing of DisplayID: Type I (DisplayID 1.3, pixel clock in 10 kHz) and
// Type VII (DisplayID 2.x and the CTA-861 data block, pixel clock in kHz), which reach clocks and
// sizes an 18-byte DTD cannot. Every size is stored minus one.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "model/decoded_item.h"

namespace tolvex {

inline constexpr int kDisplayIdTimingSize = 20;

struct DisplayIdTiming {
  ByteRange bytes;
  bool type7 = false;
  int pixelClockKHz = 0;
  int preferred = 0;  // Type I; YCbCr 4:2:0 in Type VII from revision 2
  int stereo = 0;
  int interlaced = 0;
  int aspect = 0;
  int hActive = 0, hBlank = 0, hFront = 0, hSyncPositive = 0, hSync = 0;
  int vActive = 0, vBlank = 0, vFront = 0, vSyncPositive = 0, vSync = 0;

  // Fields per second when interlaced, frames otherwise.
  double RefreshHz() const;
  std::string Name() const;
};

DisplayIdTiming ParseDisplayIdTiming(std::span<const uint8_t, kDisplayIdTimingSize> bytes, int offset, bool type7);
// The 20 bytes of `timing` (a Type I clock a multiple of 10 kHz); false, and `bytes` untouched,
// when a value does not fit.
bool EncodeDisplayIdTiming(const DisplayIdTiming& timing, std::span<uint8_t, kDisplayIdTimingSize> bytes);
// One entry of "timings", labelled "Timing <number>: <name>".
void DescribeDisplayIdTiming(const DisplayIdTiming& timing, int number, Describer& out);

}  // namespace tolvex
