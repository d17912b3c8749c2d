#include "model/detailed_timing.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "model/decode_texts.h"

namespace tolvex {

namespace {

namespace dt = decode_text;
using T = DetailedTiming;

// E-EDID 1.4 table 3.21: each size splits into a low byte and a nibble (or two bits) of a shared
// byte that holds the upper bits.
constexpr auto kRows = std::to_array<FieldRow<T>>({
    NumberRow<T>("pixel_clock_khz", dt::kPixelClockKHz, LittleEndian(0, 2).Scaled(10), &T::pixelClockKHz),
    NumberRow<T>("h_active", dt::kHActive, Join(Bits(4, 7, 4), Bits(2)), &T::hActive),
    NumberRow<T>("h_blank", dt::kHBlank, Join(Bits(4, 3, 0), Bits(3)), &T::hBlank),
    NumberRow<T>("v_active", dt::kVActive, Join(Bits(7, 7, 4), Bits(5)), &T::vActive),
    NumberRow<T>("v_blank", dt::kVBlank, Join(Bits(7, 3, 0), Bits(6)), &T::vBlank),
    NumberRow<T>("h_front", dt::kHFront, Join(Bits(11, 7, 6), Bits(8)), &T::hFront),
    NumberRow<T>("h_sync", dt::kHSync, Join(Bits(11, 5, 4), Bits(9)), &T::hSync),
    NumberRow<T>("v_front", dt::kVFront, Join(Bits(11, 3, 2), Bits(10, 7, 4)), &T::vFront),
    NumberRow<T>("v_sync", dt::kVSync, Join(Bits(11, 1, 0), Bits(10, 3, 0)), &T::vSync),
    NumberRow<T>("h_size_mm", dt::kHSizeMm, Join(Bits(14, 7, 4), Bits(12)), &T::hSizeMm),
    NumberRow<T>("v_size_mm", dt::kVSizeMm, Join(Bits(14, 3, 0), Bits(13)), &T::vSizeMm),
    NumberRow<T>("h_border", dt::kHBorder, Bits(15), &T::hBorder),
    NumberRow<T>("v_border", dt::kVBorder, Bits(16), &T::vBorder),
    FlagRow<T>("interlaced", dt::kInterlaced, Bit(17, 7), &T::interlaced),
    EnumRow<T>("stereo", dt::kStereo, Join(Bits(17, 6, 5), Bit(17, 0)).Named(dt::kStereoModes), &T::stereo),
});
constexpr BitCode kSyncType = Bits(17, 4, 3).Named(dt::kSyncTypes);
constexpr BitCode kSyncBit2 = Bit(17, 2);
constexpr BitCode kSyncBit1 = Bit(17, 1);
constexpr int kDigitalComposite = 2;
constexpr int kDigitalSeparate = 3;

}  // namespace

double DetailedTiming::RefreshHz() const {
  const double lines = vActive + vBlank + (interlaced ? 0.5 : 0.0);
  const int pixels = hActive + hBlank;
  return lines > 0 && pixels > 0 ? pixelClockKHz * 1000.0 / (pixels * lines) : 0;
}

std::string DetailedTiming::Name() const {
  return DescribeTiming(hActive, interlaced ? 2 * vActive : vActive, interlaced != 0, RefreshHz());
}

DetailedTiming ParseDetailedTiming(std::span<const uint8_t, kDetailedTimingSize> bytes, int offset) {
  DetailedTiming timing;
  timing.bytes = {offset, offset + kDetailedTimingSize - 1};
  ReadRows(std::span(kRows), bytes, timing);
  timing.syncType = static_cast<int>(kSyncType.Read(bytes));
  timing.syncBit2 = static_cast<int>(kSyncBit2.Read(bytes));
  timing.syncBit1 = static_cast<int>(kSyncBit1.Read(bytes));
  return timing;
}

bool EncodeDetailedTiming(const DetailedTiming& timing, std::span<uint8_t, kDetailedTimingSize> bytes) {
  std::array<uint8_t, kDetailedTimingSize> encoded{};
  if (WriteRows(std::span(kRows), timing, encoded)) return false;
  kSyncType.Write(encoded, static_cast<uint32_t>(timing.syncType));
  kSyncBit2.Write(encoded, static_cast<uint32_t>(timing.syncBit2));
  kSyncBit1.Write(encoded, static_cast<uint32_t>(timing.syncBit1));
  std::copy(encoded.begin(), encoded.end(), bytes.begin());
  return true;
}

std::string DetailedTimingLabel(const DetailedTiming& timing, std::string_view label, int number) {
  char heading[48];
  std::snprintf(heading, sizeof heading, dt::kNumberedLabel, static_cast<int>(label.size()), label.data(), number);
  return heading + (timing.pixelClockKHz ? timing.Name() : std::string(dt::kDtdUnused));
}

void DescribeDetailedTimingFields(const DetailedTiming& timing, Describer& out) {
  out.Rows(std::span(kRows), timing, timing.bytes);
  const int base = timing.bytes.first;
  out.Enum("sync", dt::kSync, static_cast<uint32_t>(timing.syncType), kSyncType.Placed(base));
  if (timing.syncType == kDigitalSeparate) {
    out.Flag("v_sync_positive", dt::kVSyncPositive, timing.syncBit2, kSyncBit2.Placed(base));
  } else {
    out.Flag("serrations", dt::kSerrations, timing.syncBit2, kSyncBit2.Placed(base));
  }
  if (timing.syncType >= kDigitalComposite) {
    out.Flag("h_sync_positive", dt::kHSyncPositive, timing.syncBit1, kSyncBit1.Placed(base));
  } else {
    out.Flag("sync_on_rgb", dt::kSyncOnRgb, timing.syncBit1, kSyncBit1.Placed(base));
  }
  out.DerivedReal("refresh_hz", dt::kRefreshHz, timing.RefreshHz(), timing.bytes);
}

void DescribeDetailedTiming(const DetailedTiming& timing, std::string_view key, std::string_view label, int number,
                            Describer& out) {
  out.BeginEntry(key, [&] { return DetailedTimingLabel(timing, label, number); }, timing.bytes);
  DescribeDetailedTimingFields(timing, out);
  out.End();
}

}  // namespace tolvex
