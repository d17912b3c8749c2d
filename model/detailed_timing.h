// The 18-byte detailed timing descriptor, as the base block and a CTA-861 block store it.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "model/decoded_item.h"
#include "model/video_timing.h"

namespace tolvex {

inline constexpr int kDetailedTimingSize = 18;

struct DetailedTiming {
  ByteRange bytes;
  int pixelClockKHz = 0;
  int hActive = 0;
  int hBlank = 0;
  int vActive = 0;  // lines of one field when interlaced
  int vBlank = 0;
  int hFront = 0;
  int hSync = 0;
  int vFront = 0;
  int vSync = 0;
  int hSizeMm = 0;
  int vSizeMm = 0;
  int hBorder = 0;
  int vBorder = 0;
  int interlaced = 0;
  int stereo = 0;    // bits 6-5 and 0 of byte 17 as one code
  int syncType = 0;  // bits 4-3
  int syncBit2 = 0;  // V sync polarity when digital separate, else serrations
  int syncBit1 = 0;  // H sync polarity when digital, else sync on all of R, G and B

  // Fields per second when interlaced, frames per second otherwise; 0 when the totals are 0.
  double RefreshHz() const;
  // "1920x1080 60.000 Hz", the frame's lines when interlaced.
  std::string Name() const;
};

// The descriptor at `bytes`, whose first byte is `offset` in the whole EDID. Any 18 bytes
// decode; a pixel clock of 0 marks a display descriptor or an unused slot instead.
DetailedTiming ParseDetailedTiming(std::span<const uint8_t, kDetailedTimingSize> bytes, int offset);

// The 18 bytes of `timing`; false, and `bytes` untouched, when a size or the clock does not fit.
bool EncodeDetailedTiming(const DetailedTiming& timing, std::span<uint8_t, kDetailedTimingSize> bytes);

// One entry of the list at `key`, labelled "<label> <number>: <name>".
void DescribeDetailedTiming(const DetailedTiming& timing, std::string_view key, std::string_view label, int number,
                            Describer& out);
// The fields alone, into the item the caller has begun.
void DescribeDetailedTimingFields(const DetailedTiming& timing, Describer& out);
// "<label> <number>: <name>".
std::string DetailedTimingLabel(const DetailedTiming& timing, std::string_view label, int number);

}  // namespace tolvex
