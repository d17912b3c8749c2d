#include "model/cvt_timing.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tolvex {

namespace {

constexpr double kMinVBlankUs = 460;
constexpr int kMinVBackPorch = 6;

struct RbConstants {
  int cellGranularity;
  int hBlank, hSync, hFront;
  int vFrontPorch;  // version 1: fixed; version 2: the least
  double clockStepKHz;
};
constexpr RbConstants kVersion1 = {8, 160, 32, 48, 3, 250};
constexpr RbConstants kVersion2 = {1, 80, 32, 8, 1, 1};
constexpr int kVersion2VSync = 8;

// Version 1 tells the aspect ratio by the sync width (CVT 1.2 table 3-2).
int Version1VSync(int width, int height) {
  struct Aspect {
    int w, h, lines;
  };
  constexpr std::array<Aspect, 5> kAspects = {{{4, 3, 4}, {16, 9, 5}, {16, 10, 6}, {5, 4, 7}, {15, 9, 7}}};
  for (const Aspect& a : kAspects) {
    if (height * a.w / a.h == width || (height * a.w + a.h - 1) / a.h == width) return a.lines;
  }
  return 10;
}

}  // namespace

double CvtTiming::RefreshHz() const { return pixelClockKHz * 1000.0 / (static_cast<double>(HTotal()) * VTotal()); }
double CvtTiming::HorizontalKHz() const { return static_cast<double>(pixelClockKHz) / HTotal(); }

std::optional<CvtTiming> ComputeCvtReducedBlanking(int width, int height, double hz, int version) {
  if (width < 8 || height < 8 || width > 32767 || height > 32767 || !(hz >= 1 && hz <= 1000)) return std::nullopt;
  const RbConstants& k = version == 2 ? kVersion2 : kVersion1;
  CvtTiming t;
  t.version = version == 2 ? 2 : 1;
  t.hActive = width / k.cellGranularity * k.cellGranularity;
  t.vActive = height;
  t.vSync = t.version == 2 ? kVersion2VSync : Version1VSync(width, height);

  const double hPeriodUs = (1000000.0 / hz - kMinVBlankUs) / t.vActive;
  if (hPeriodUs <= 0) return std::nullopt;
  const int vbiLines = static_cast<int>(std::floor(kMinVBlankUs / hPeriodUs)) + 1;
  const int minVbi = k.vFrontPorch + t.vSync + kMinVBackPorch;
  const int vbi = std::max(vbiLines, minVbi);
  if (t.version == 1) {
    t.vFront = k.vFrontPorch;
    t.vBack = vbi - t.vFront - t.vSync;
  } else {
    t.vBack = kMinVBackPorch;
    t.vFront = vbi - t.vSync - t.vBack;
  }
  t.hFront = k.hFront;
  t.hSync = k.hSync;
  t.hBack = k.hBlank - k.hFront - k.hSync;

  const double clockKHz = hz * t.VTotal() * t.HTotal() / 1000.0;
  t.pixelClockKHz = static_cast<int>(std::floor(clockKHz / k.clockStepKHz) * k.clockStepKHz);
  if (t.pixelClockKHz <= 0) return std::nullopt;
  return t;
}

}  // namespace tolvex
