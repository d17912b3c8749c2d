#include "model/displayid_timing.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "model/decode_texts.h"
#include "model/displayid_texts.h"
#include "model/video_timing.h"

namespace tolvex {

namespace {

namespace dt = displayid_text;
using T = DisplayIdTiming;

// DisplayID 1.3 table 4-2 and DisplayID 2.1 table 4-11: every size is stored minus one, the
// front porches share their last byte with the sync polarity.
constexpr auto kRows = std::to_array<FieldRow<T>>({
    FlagRow<T>("preferred", dt::kPreferred, Bit(3, 7), &T::preferred),
    EnumRow<T>("stereo", dt::kStereo, Bits(3, 6, 5).Named(dt::kStereoModes), &T::stereo),
    FlagRow<T>("interlaced", dt::kInterlaced, Bit(3, 4), &T::interlaced),
    EnumRow<T>("aspect", dt::kAspect, Bits(3, 3, 0).Named(dt::kAspects), &T::aspect),
    NumberRow<T>("h_active", dt::kHActive, LittleEndian(4, 2).Scaled(1, 1), &T::hActive),
    NumberRow<T>("h_blank", dt::kHBlank, LittleEndian(6, 2).Scaled(1, 1), &T::hBlank),
    NumberRow<T>("h_front", dt::kHFront, Join(Bits(9, 6, 0), Bits(8)).Scaled(1, 1), &T::hFront),
    FlagRow<T>("h_sync_positive", dt::kHSyncPositive, Bit(9, 7), &T::hSyncPositive),
    NumberRow<T>("h_sync", dt::kHSync, LittleEndian(10, 2).Scaled(1, 1), &T::hSync),
    NumberRow<T>("v_active", dt::kVActive, LittleEndian(12, 2).Scaled(1, 1), &T::vActive),
    NumberRow<T>("v_blank", dt::kVBlank, LittleEndian(14, 2).Scaled(1, 1), &T::vBlank),
    NumberRow<T>("v_front", dt::kVFront, Join(Bits(17, 6, 0), Bits(16)).Scaled(1, 1), &T::vFront),
    FlagRow<T>("v_sync_positive", dt::kVSyncPositive, Bit(17, 7), &T::vSyncPositive),
    NumberRow<T>("v_sync", dt::kVSync, LittleEndian(18, 2).Scaled(1, 1), &T::vSync),
});
// Type I counts the clock in 10 kHz, Type VII in kHz; both store it minus one unit.
constexpr BitCode kClockType1 = LittleEndian(0, 3).Scaled(10, 10);
constexpr BitCode kClockType7 = LittleEndian(0, 3).Scaled(1, 1);

}  // namespace

double DisplayIdTiming::RefreshHz() const {
  const double pixels = static_cast<double>(hActive + hBlank) * (vActive + vBlank);
  if (pixels <= 0) return 0;
  return pixelClockKHz * 1000.0 / pixels * (interlaced ? 2 : 1);
}

std::string DisplayIdTiming::Name() const { return DescribeTiming(hActive, vActive, interlaced != 0, RefreshHz()); }

DisplayIdTiming ParseDisplayIdTiming(std::span<const uint8_t, kDisplayIdTimingSize> bytes, int offset, bool type7) {
  DisplayIdTiming timing;
  timing.bytes = {offset, offset + kDisplayIdTimingSize - 1};
  timing.type7 = type7;
  const BitCode& clock = type7 ? kClockType7 : kClockType1;
  timing.pixelClockKHz = static_cast<int>(clock.Value(clock.Read(bytes)));
  ReadRows(std::span(kRows), bytes, timing);
  return timing;
}

bool EncodeDisplayIdTiming(const DisplayIdTiming& timing, std::span<uint8_t, kDisplayIdTimingSize> bytes) {
  std::array<uint8_t, kDisplayIdTimingSize> encoded{};
  const BitCode& clock = timing.type7 ? kClockType7 : kClockType1;
  const std::optional<uint32_t> raw = RawOf(clock, timing.pixelClockKHz);
  if (!raw || WriteRows(std::span(kRows), timing, encoded)) return false;
  clock.Write(encoded, *raw);
  std::copy(encoded.begin(), encoded.end(), bytes.begin());
  return true;
}

void DescribeDisplayIdTiming(const DisplayIdTiming& timing, int number, Describer& out) {
  out.BeginEntry("timings", [&] {
    char head[32];
    std::snprintf(head, sizeof head, dt::kTimingLabel, number);
    return head + timing.Name();
  }, timing.bytes);
  out.Identity("type", timing.type7 ? "VII" : "I", timing.bytes);
  const BitCode& clock = timing.type7 ? kClockType7 : kClockType1;
  out.Number("pixel_clock_khz", dt::kPixelClockKHz, timing.pixelClockKHz, clock.Placed(timing.bytes.first));
  out.Rows(std::span(kRows), timing, timing.bytes);
  out.DerivedReal("refresh_hz", dt::kRefreshHz, timing.RefreshHz(), timing.bytes);
  out.End();
}

}  // namespace tolvex
