// The rates of the timings a block lists by code rather than in full: the established timings
// (bytes 35-37) and the VESA DMT modes that standard timing codes name. The range rules compare
// these against the range limits; a standard timing missing here is computed by GTF.
#pragma once

#include <array>
#include <cstdint>

#include "model/edid_tables.h"

namespace tolvex::check {

struct ListedTimingRates {
  double horizontalKHz;
  double verticalHz;  // field rate for an interlaced timing
  double pixelClockMHz;
};

struct EstablishedTimingRates {
  uint8_t offset;
  uint8_t bit;
  ListedTimingRates rates;
};

// In the order of kEstablishedTimings, whose texts name them.
inline constexpr std::array<EstablishedTimingRates, 17> kEstablishedTimingRates = {{
    // Established timings I, byte 35
    {35, 7, {31.469, 70.087, 28.322}},   // 720 x 400 @70Hz
    {35, 6, {39.444, 87.849, 35.5}},     // 720 x 400 @88Hz
    {35, 5, {31.469, 59.940, 25.175}},   // 640 x 480 @60Hz
    {35, 4, {35.0, 66.667, 30.24}},      // 640 x 480 @67Hz
    {35, 3, {37.861, 72.809, 31.5}},     // 640 x 480 @72Hz
    {35, 2, {37.5, 75.0, 31.5}},         // 640 x 480 @75Hz
    {35, 1, {35.156, 56.25, 36.0}},      // 800 x 600 @56Hz
    {35, 0, {37.879, 60.317, 40.0}},     // 800 x 600 @60Hz
    // Established timings II, byte 36
    {36, 7, {48.077, 72.188, 50.0}},     // 800 x 600 @72Hz
    {36, 6, {46.875, 75.0, 49.5}},       // 800 x 600 @75Hz
    {36, 5, {49.726, 74.551, 57.284}},   // 832 x 624 @75Hz
    {36, 4, {35.522, 86.957, 44.9}},     // 1024 x 768 @87Hz, interlaced
    {36, 3, {48.363, 60.004, 65.0}},     // 1024 x 768 @60Hz
    {36, 2, {56.476, 70.069, 75.0}},     // 1024 x 768 @70Hz
    {36, 1, {60.023, 75.029, 78.75}},    // 1024 x 768 @75Hz
    {36, 0, {79.976, 75.025, 135.0}},    // 1280 x 1024 @75Hz
    // Manufacturer's timings, byte 37
    {37, 7, {68.681, 75.062, 100.0}},    // 1152 x 870 @75Hz
}};
static_assert(kEstablishedTimingRates.size() == kEstablishedTimings.size());

constexpr bool SameEstablishedOrder() {
  for (size_t i = 0; i < kEstablishedTimings.size(); ++i) {
    if (kEstablishedTimings[i].offset != kEstablishedTimingRates[i].offset ||
        kEstablishedTimings[i].bit != kEstablishedTimingRates[i].bit) {
      return false;
    }
  }
  return true;
}
static_assert(SameEstablishedOrder());

struct DmtMode {
  uint16_t width;
  uint16_t height;
  uint8_t refreshHz;  // as a standard timing code states it
  ListedTimingRates rates;
};

// VESA DMT modes that standard timing codes can name (width, height by aspect, nominal rate).
inline constexpr DmtMode kDmtModes[] = {
    {640, 480, 60, {31.469, 59.940, 25.175}},
    {640, 480, 72, {37.861, 72.809, 31.5}},
    {640, 480, 75, {37.5, 75.0, 31.5}},
    {640, 480, 85, {43.269, 85.008, 36.0}},
    {800, 600, 56, {35.156, 56.25, 36.0}},
    {800, 600, 60, {37.879, 60.317, 40.0}},
    {800, 600, 72, {48.077, 72.188, 50.0}},
    {800, 600, 75, {46.875, 75.0, 49.5}},
    {800, 600, 85, {53.674, 85.061, 56.25}},
    {1024, 768, 60, {48.363, 60.004, 65.0}},
    {1024, 768, 70, {56.476, 70.069, 75.0}},
    {1024, 768, 75, {60.023, 75.029, 78.75}},
    {1024, 768, 85, {68.677, 84.997, 94.5}},
    {1152, 864, 75, {67.5, 75.0, 108.0}},
    {1280, 720, 60, {45.0, 60.0, 74.25}},
    {1280, 800, 60, {49.702, 59.810, 83.5}},
    {1280, 960, 60, {60.0, 60.0, 108.0}},
    {1280, 960, 85, {85.938, 85.002, 148.5}},
    {1280, 1024, 60, {63.981, 60.020, 108.0}},
    {1280, 1024, 75, {79.976, 75.025, 135.0}},
    {1280, 1024, 85, {91.146, 85.024, 157.5}},
    {1400, 1050, 60, {65.317, 59.978, 121.75}},
    {1400, 1050, 75, {82.278, 74.867, 156.0}},
    {1440, 900, 60, {55.935, 59.887, 106.5}},
    {1440, 900, 75, {70.635, 74.984, 136.75}},
    {1600, 900, 60, {60.0, 60.0, 108.0}},
    {1600, 1200, 60, {75.0, 60.0, 162.0}},
    {1600, 1200, 65, {81.25, 65.0, 175.5}},
    {1600, 1200, 70, {87.5, 70.0, 189.0}},
    {1600, 1200, 75, {93.75, 75.0, 202.5}},
    {1600, 1200, 85, {106.25, 85.0, 229.5}},
    {1680, 1050, 60, {65.290, 59.954, 146.25}},
    {1680, 1050, 75, {82.306, 74.892, 187.0}},
    {1792, 1344, 60, {83.640, 60.0, 204.75}},
    {1856, 1392, 60, {86.333, 59.995, 218.25}},
    {1920, 1080, 60, {67.5, 60.0, 148.5}},
    {1920, 1200, 60, {74.556, 59.885, 193.25}},
    {1920, 1440, 60, {90.0, 60.0, 234.0}},
};

}  // namespace tolvex::check
