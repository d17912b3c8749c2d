// Standard timing codes and detailed timings: their own sense, and their agreement with the
// range limits and the image size of the base block.
#include <algorithm>
#include <cmath>
#include <vector>

#include "check/check_rules.h"
#include "check/check_texts.h"
#include "check/timing_tables.h"

namespace tolvex::check {

namespace {

constexpr uint8_t kUnusedCode = 0x01;
constexpr double kLowestRefreshHz = 10.0;
constexpr double kPixelClockStepMHz = 10.0;

// A detailed timing in the units the rules compare.
struct Timing {
  int number;  // 1-4, as the report counts descriptors
  int first;
  int last;
  double pixelClockMHz;
  unsigned hActive, hBlanking, vActive, vBlanking;
  unsigned hSyncOffset, hSyncWidth, vSyncOffset, vSyncWidth;
  unsigned hImageMm, vImageMm;
  bool interlaced;

  double HorizontalKHz() const { return pixelClockMHz * 1000.0 / (hActive + hBlanking); }
  // An interlaced timing gives the lines of one field; fields alternate half a line apart.
  double VerticalHz() const {
    return HorizontalKHz() * 1000.0 / (vActive + vBlanking + (interlaced ? 0.5 : 0.0));
  }
};

Timing ReadTiming(EdidBlock& block, int n) {
  block.SelectDescriptor(static_cast<unsigned>(n));
  return {n + 1,
          DescriptorOffset(n),
          DescriptorLast(n),
          block.GetPixelClock(),
          block.GetHActive(),
          block.GetHBlanking(),
          block.GetVActive(),
          block.GetVBlanking(),
          block.GetHSyncOffset(),
          block.GetHSyncWidth(),
          block.GetVSyncOffset(),
          block.GetVSyncWidth(),
          block.GetHImageSize(),
          block.GetVImageSize(),
          block.GetInterlaced() != 0};
}

bool IsFiller(const EdidBytes& bytes, int n) {
  const auto begin = bytes.begin() + DescriptorOffset(n);
  return std::all_of(begin, begin + kDescriptorSize, [&](uint8_t b) { return b == *begin; });
}

// One direction's sync: it must exist and end inside the blanking; starting or ending right at
// the blanking's edges is legal but rarely meant.
void CheckSyncPlacement(const Timing& t, unsigned offset, unsigned width, unsigned blanking, const char* direction,
                        FindingList& findings) {
  if (width == 0) {
    findings.Fail(t.first, t.last, check_text::kRuleDetailedTiming, Sentence(check_text::kTimingNoSync, t.number, direction));
    return;
  }
  if (offset + width > blanking) {
    findings.Fail(t.first, t.last, check_text::kRuleDetailedTiming,
                  Sentence(check_text::kTimingSyncPastBlanking, t.number, direction, offset, width, blanking));
  } else if (offset + width == blanking) {
    findings.Warn(t.first, t.last, check_text::kRuleDetailedTiming,
                  Sentence(check_text::kTimingNoBackPorch, t.number, direction));
  }
  if (offset == 0) {
    findings.Warn(t.first, t.last, check_text::kRuleDetailedTiming,
                  Sentence(check_text::kTimingNoFrontPorch, t.number, direction));
  }
}

// EDID 1.3 section 3.10.2: the fields of a detailed timing. Returns whether the timing is one
// that the range and size rules can judge.
bool CheckTimingFields(const EdidBytes& bytes, const Timing& t, FindingList& findings) {
  if (IsFiller(bytes, t.number - 1)) {
    findings.Fail(t.first, t.last, check_text::kRuleDetailedTiming,
                  Sentence(check_text::kTimingFiller, t.number, bytes[t.first]));
    return false;
  }
  if (t.hActive == 0 || t.vActive == 0 || t.hBlanking == 0 || t.vBlanking == 0) {
    findings.Fail(t.first, t.last, check_text::kRuleDetailedTiming,
                  Sentence(check_text::kTimingEmptyField, t.number, t.hActive, t.vActive, t.hBlanking, t.vBlanking));
    return false;
  }
  CheckSyncPlacement(t, t.hSyncOffset, t.hSyncWidth, t.hBlanking, check_text::kHorizontal, findings);
  CheckSyncPlacement(t, t.vSyncOffset, t.vSyncWidth, t.vBlanking, check_text::kVertical, findings);
  if (t.VerticalHz() < kLowestRefreshHz) {
    findings.Fail(t.first, t.last, check_text::kRuleDetailedTiming,
                  Sentence(check_text::kTimingRefreshTooLow, t.number, t.pixelClockMHz, t.VerticalHz()));
    return false;
  }
  return true;
}

// How far a value lies outside [low, high]; 0 inside.
double Outside(double value, double low, double high) {
  if (value < low) return low - value;
  if (value > high) return value - high;
  return 0;
}

// EDID 1.3 sections 3.6.2 and 3.10.2: the timing's image size in mm and the maximum image size in
// cm describe the same screen. A CRT may show a timing smaller than its maximum; a fixed-pixel
// (digital) panel may not.
void CheckImageSize(const BaseBlock& base, const Timing& t, FindingList& findings) {
  const int first = t.first + 12;
  const int last = t.first + 14;
  const int widthCm = base.block.GetMaxImageWidth();
  const int heightCm = base.block.GetMaxImageHeight();
  if (t.hImageMm == 0 && t.vImageMm == 0) {
    if (widthCm || heightCm) findings.Warn(first, last, check_text::kRuleImageSize, Sentence(check_text::kImageSizeMissing, t.number));
    return;
  }
  if (widthCm == 0 && heightCm == 0) {
    findings.Warn(first, last, check_text::kRuleImageSize, Sentence(check_text::kImageSizeNoScreenSize, t.number));
    return;
  }
  // E-EDID 1.4 gives an aspect ratio instead of a size when one of the two is 0.
  if (widthCm == 0 || heightCm == 0) return;
  const int dx = static_cast<int>(t.hImageMm) - 10 * widthCm;
  const int dy = static_cast<int>(t.vImageMm) - 10 * heightCm;
  const unsigned roundedWidth = (t.hImageMm + 5) / 10;
  const unsigned roundedHeight = (t.vImageMm + 5) / 10;
  // Less than a quarter of the screen in either direction is no overscan but a slip of units.
  if (4 * t.hImageMm < 10u * widthCm || 4 * t.vImageMm < 10u * heightCm) {
    findings.Fail(first, last, check_text::kRuleImageSize,
                  Sentence(check_text::kImageSizeTiny, t.number, t.hImageMm, t.vImageMm, widthCm, heightCm));
  } else if (dx >= 10 || dy >= 10) {
    findings.Fail(first, last, check_text::kRuleImageSize,
                  Sentence(check_text::kImageSizeLarger, t.number, t.hImageMm, t.vImageMm, widthCm, heightCm,
                           roundedWidth, roundedHeight));
  } else if (dx <= -10 || dy <= -10) {
    std::string text = Sentence(check_text::kImageSizeSmaller, t.number, t.hImageMm, t.vImageMm, widthCm, heightCm,
                                roundedWidth, roundedHeight);
    if (base.block.IsDigitalInput()) findings.Fail(first, last, check_text::kRuleImageSize, std::move(text));
    else findings.Warn(first, last, check_text::kRuleImageSize, std::move(text));
  }
}

unsigned AspectHeight(unsigned width, unsigned code, bool from13) {
  switch (code) {
    case 0: return from13 ? width * 10 / 16 : width;
    case 1: return width * 3 / 4;
    case 2: return width * 4 / 5;
    default: return width * 9 / 16;
  }
}

// VESA GTF with its default parameters (C 40, M 600, K 128, J 20): the rates a host derives for
// a standard timing that no DMT mode matches.
ListedTimingRates GtfRates(unsigned width, unsigned height, double refreshHz) {
  constexpr double kCellGranularity = 8, kMinPorch = 1, kMinVSyncBackPorchUs = 550;
  constexpr double kC = (40.0 - 20.0) * 128.0 / 256.0 + 20.0, kM = 128.0 / 256.0 * 600.0;
  const double pixels = std::round(width / kCellGranularity) * kCellGranularity;
  const double periodEstimate = (1.0 / refreshHz - kMinVSyncBackPorchUs / 1e6) / (height + kMinPorch) * 1e6;
  const double totalLines = height + std::round(kMinVSyncBackPorchUs / periodEstimate) + kMinPorch;
  const double fieldRateEstimate = 1.0 / periodEstimate / totalLines * 1e6;
  const double periodUs = periodEstimate / (refreshHz / fieldRateEstimate);
  const double duty = kC - kM * periodUs / 1000.0;
  const double blanking = std::round(pixels * duty / (100.0 - duty) / (2 * kCellGranularity)) * 2 * kCellGranularity;
  return {1000.0 / periodUs, refreshHz, (pixels + blanking) / periodUs};
}

ListedTimingRates StandardTimingRates(unsigned width, unsigned height, unsigned refreshHz) {
  for (const DmtMode& mode : kDmtModes) {
    if (mode.width == width && mode.height == height && mode.refreshHz == refreshHz) return mode.rates;
  }
  return GtfRates(width, height, refreshHz);
}

// Where the block keeps standard timing codes: bytes 38-53 and each standard timing identifier
// descriptor's bytes 5-16.
std::vector<int> StandardTimingPlaces(const BaseBlock& base) {
  std::vector<int> places;
  for (int i = 0; i < kBaseStdTimingSlots; ++i) places.push_back(38 + 2 * i);
  if (base.IsVersion10()) return places;
  for (int n = 0; n < kDescriptorCount; ++n) {
    if (!IsDisplayDescriptor(base.bytes, n) || base.bytes[DescriptorOffset(n) + 3] != kTagStdTimings) continue;
    for (int i = 0; i < 6; ++i) places.push_back(DescriptorOffset(n) + 5 + 2 * i);
  }
  return places;
}

// The established and standard timings against the range limits, as the detailed ones.
void CheckListedTimings(const BaseBlock& base, const RangeLimitValues& limits, FindingList& findings) {
  for (size_t i = 0; i < kEstablishedTimings.size(); ++i) {
    const EstablishedTiming& timing = kEstablishedTimings[i];
    if (!((base.bytes[timing.offset] >> timing.bit) & 1)) continue;
    CheckRatesAgainstLimits(Sentence(check_text::kEstablishedTimingName, static_cast<int>(timing.text.size()),
                                     timing.text.data(), timing.offset, timing.bit),
                            timing.offset, timing.offset, kEstablishedTimingRates[i].rates, limits, findings);
  }
  for (int at : StandardTimingPlaces(base)) {
    const uint8_t code = base.bytes[at];
    if (code == 0x00 || code == kUnusedCode) continue;  // unused, or reported by the code rules
    const uint8_t rate = base.bytes[at + 1];
    // Before 1.3, code 0 (1:1) is almost always a 16:10 mode written too early; the code rules
    // say so, and no height can be trusted for the rates.
    if (rate >> 6 == 0 && !base.FromRevision3()) continue;
    const unsigned width = (code + 31u) * 8;
    const unsigned height = AspectHeight(width, rate >> 6, base.FromRevision3());
    const unsigned refresh = (rate & 0x3Fu) + 60;
    CheckRatesAgainstLimits(Sentence(check_text::kStandardTimingName, width, height, refresh, at, at + 1), at, at + 1,
                            StandardTimingRates(width, height, refresh), limits, findings);
  }
}

}  // namespace

// EDID 1.3 section 3.10.3.3: every timing the display lists lies within its range limits. The
// rates are whole kHz and Hz, rounded to the nearest; a timing up to one step beyond them is a
// rounding trap, further a contradiction (unless the limits are only advisory). The clock limit
// counts in 10 MHz steps.
void CheckRatesAgainstLimits(const std::string& name, int first, int last, const ListedTimingRates& rates,
                             const RangeLimitValues& limits, FindingList& findings) {
  constexpr double kRounding = 0.5, kRateStep = 1.0;
  const auto report = [&](double outside, double step, std::string text) {
    if (outside <= step || limits.advisory) findings.Warn(first, last, check_text::kRuleTimingRange, std::move(text));
    else findings.Fail(first, last, check_text::kRuleTimingRange, std::move(text));
  };
  if (const double out = Outside(rates.horizontalKHz, limits.minHorizontalKHz, limits.maxHorizontalKHz); out > kRounding) {
    report(out, kRateStep, Sentence(check_text::kHorizontalOutside, name.c_str(), rates.horizontalKHz,
                                    limits.minHorizontalKHz, limits.maxHorizontalKHz, limits.first, limits.last));
  }
  if (const double out = Outside(rates.verticalHz, limits.minVerticalHz, limits.maxVerticalHz); out > kRounding) {
    report(out, kRateStep, Sentence(check_text::kVerticalOutside, name.c_str(), rates.verticalHz, limits.minVerticalHz,
                                    limits.maxVerticalHz, limits.first, limits.last));
  }
  if (limits.maxPixelClockMHz > 0 && rates.pixelClockMHz > limits.maxPixelClockMHz) {
    const int needed = static_cast<int>(std::ceil(rates.pixelClockMHz / kPixelClockStepMHz) * kPixelClockStepMHz);
    report(rates.pixelClockMHz - limits.maxPixelClockMHz, kPixelClockStepMHz,
           Sentence(check_text::kClockAbove, name.c_str(), rates.pixelClockMHz, limits.maxPixelClockMHz, limits.first + 9, needed));
  }
}

// EDID 1.3 section 3.9: 01 01 marks an unused entry; a first byte of 00 is reserved.
void CheckStandardTimingCodes(const BaseBlock& base, int offset, int count, FindingList& findings) {
  for (int i = 0; i < count; ++i) {
    const int at = offset + 2 * i;
    const uint8_t code = base.bytes[at];
    const uint8_t rate = base.bytes[at + 1];
    if (code == kUnusedCode && rate == kUnusedCode) continue;
    if (code == 0x00 || code == kUnusedCode) {
      findings.Fail(at, at + 1, check_text::kRuleStandardTiming,
                    Sentence(code == 0x00 ? check_text::kStdTimingReserved : check_text::kStdTimingBrokenUnused, at,
                             at + 1, code, rate));
      continue;
    }
    const unsigned width = (code + 31u) * 8;
    const unsigned aspect = rate >> 6;
    const unsigned refresh = (rate & 0x3Fu) + 60;
    // Before 1.3, code 0 is 1:1, which hardly any display means; 1.3 reads the same bytes as 16:10.
    if (aspect == 0 && !base.FromRevision3()) {
      findings.Warn(at, at + 1, check_text::kRuleStandardTiming,
                    Sentence(check_text::kStdTimingSquare, at, at + 1, width, width, refresh, width,
                             AspectHeight(width, 0, true)));
    }
    for (int j = 0; j < i; ++j) {
      const int earlier = offset + 2 * j;
      if (base.bytes[earlier] != code || base.bytes[earlier + 1] != rate) continue;
      findings.Warn(at, at + 1, check_text::kRuleStandardTiming,
                    Sentence(check_text::kStdTimingRepeated, at, at + 1, width, AspectHeight(width, aspect, base.FromRevision3()),
                             refresh, earlier, earlier + 1));
      break;
    }
  }
}

void CheckStandardTimings(const BaseBlock& base, FindingList& findings) {
  CheckStandardTimingCodes(base, 38, kBaseStdTimingSlots, findings);
}

void CheckListedTimingRanges(const BaseBlock& base, const std::optional<RangeLimitValues>& limits, FindingList& findings) {
  if (limits) CheckListedTimings(base, *limits, findings);
}

void CheckDetailedTimings(const BaseBlock& base, const std::optional<RangeLimitValues>& limits, FindingList& findings) {
  for (int n = 0; n < kDescriptorCount; ++n) {
    if (IsDisplayDescriptor(base.bytes, n)) continue;
    const Timing timing = ReadTiming(base.block, n);
    if (!CheckTimingFields(base.bytes, timing, findings)) continue;
    if (limits) {
      CheckRatesAgainstLimits(Sentence(check_text::kDescriptorTimingName, timing.number), timing.first, timing.last,
                              {timing.HorizontalKHz(), timing.VerticalHz(), timing.pixelClockMHz}, *limits, findings);
    }
    CheckImageSize(base, timing, findings);
  }
}

}  // namespace tolvex::check
