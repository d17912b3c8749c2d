// The four 18-byte blocks as display descriptors: header, kind, order, the kinds a version
// requires, and each kind's payload.
#include <algorithm>
#include <array>

#include "check/check_rules.h"
#include "check/check_texts.h"
#include "model/bits.h"

namespace tolvex::check {

namespace {

constexpr uint8_t kTagDummy = 0x10;
constexpr uint8_t kLastManufacturerTag = 0x0F;
constexpr uint8_t kLineFeed = 0x0A;
constexpr uint8_t kSpace = 0x20;
constexpr int kPayload = 5;  // the payload's first byte in a descriptor
constexpr int kPayloadSize = kDescriptorSize - kPayload;

// Range limits byte 10: the timing formula the display supports besides its limits.
constexpr uint8_t kNoSecondaryFormula = 0x00;
constexpr uint8_t kRangeLimitsOnly = 0x01;  // E-EDID 1.4
constexpr uint8_t kSecondaryGtf = 0x02;
constexpr uint8_t kCvt = 0x04;  // E-EDID 1.4

// What the loop over the four blocks learns for the rules that look at all of them.
struct DescriptorSurvey {
  bool sawDisplayDescriptor = false;
  bool sawDummy = false;
  bool hasName = false;
  bool hasRangeLimits = false;
  // The first range limits that the timing rules can compare against.
  std::optional<RangeLimitValues> limits;
};

struct Descriptor {
  int number;  // 1-4
  int offset;
  uint8_t tag;
};

using KindCheck = void (*)(const BaseBlock&, const Descriptor&, DescriptorSurvey&, FindingList&);

// EDID 1.3 section 3.10.3: text up to 13 characters, ended by 0A and padded with 20 when shorter.
void CheckText(const BaseBlock& base, const Descriptor& d, DescriptorSurvey& survey, FindingList& findings) {
  const char* kind = d.tag == kTagMonitorName    ? check_text::kNameKind
                     : d.tag == kTagSerialNumber ? check_text::kSerialKind
                                                 : check_text::kDataStringKind;
  if (d.tag == kTagMonitorName) survey.hasName = true;
  const auto payload = base.bytes.begin() + d.offset + kPayload;
  const auto end = std::find(payload, payload + kPayloadSize, kLineFeed);
  const int first = d.offset + kPayload;
  const int last = d.offset + kDescriptorSize - 1;
  const auto unprintable = std::find_if(payload, end, [](uint8_t c) { return c < 0x20 || c > 0x7E; });
  if (unprintable != end) {
    const int at = first + static_cast<int>(unprintable - payload);
    findings.Fail(at, at, check_text::kRuleDescriptorText, Sentence(check_text::kTextUnprintable, d.number, kind, *unprintable, at));
  }
  if (end == payload + kPayloadSize) {
    if (payload[kPayloadSize - 1] == kSpace) {
      findings.Fail(first, last, check_text::kRuleDescriptorText, Sentence(check_text::kTextNoLineFeed, d.number, kind));
    }
  } else {
    const auto padding = std::find_if(end + 1, payload + kPayloadSize, [](uint8_t c) { return c != kSpace; });
    if (padding != payload + kPayloadSize) {
      const int at = first + static_cast<int>(padding - payload);
      findings.Fail(at, last, check_text::kRuleDescriptorText, Sentence(check_text::kTextPadding, d.number, kind, at, *padding));
    }
  }
  if (end == payload) {
    // The name EDID 1.3 requires is one in name only when it is empty.
    if (d.tag == kTagMonitorName && base.FromRevision3() && !base.Claims14()) {
      findings.Fail(first, last, check_text::kRuleDescriptorText, Sentence(check_text::kTextEmptyName, d.number));
    } else {
      findings.Warn(first, last, check_text::kRuleDescriptorText, Sentence(check_text::kTextEmpty, d.number, kind));
    }
  } else if (end != payload + kPayloadSize && end[-1] == kSpace) {
    findings.Warn(first, last, check_text::kRuleDescriptorText, Sentence(check_text::kTextTrailingSpaces, d.number, kind));
  }
}

// EDID 1.3 section 3.10.3.3 (E-EDID 1.4 section 3.10.3.3 adds the +255 offsets of byte 4 and the
// formulas 01 and 04): rates, clock, and the formula byte with its padding.
void CheckRangeLimits(const BaseBlock& base, const Descriptor& d, DescriptorSurvey& survey, FindingList& findings) {
  const auto at = [&](int n) { return base.bytes[d.offset + n]; };
  const uint8_t offsets = base.Claims14() ? at(4) : 0;
  const int minV = at(5) + (GetBits(offsets, 1, 0) == 3 ? 255 : 0);
  const int maxV = at(6) + (GetBit(offsets, 1) ? 255 : 0);
  const int minH = at(7) + (GetBits(offsets, 3, 2) == 3 ? 255 : 0);
  const int maxH = at(8) + (GetBit(offsets, 3) ? 255 : 0);
  // Before 1.3 a clock byte of FF means "not given".
  const int clock = at(9) == 0xFF && !base.FromRevision3() ? 0 : at(9) * 10;
  const int first = d.offset;
  const int last = d.offset + kDescriptorSize - 1;

  const bool rates = minV > 0 && maxV > 0 && minH > 0 && maxH > 0;
  if (!rates) findings.Fail(d.offset + 5, d.offset + 8, check_text::kRuleRangeLimits, Sentence(check_text::kRangeZeroRate, d.number));
  if (minV > maxV) {
    findings.Fail(d.offset + 5, d.offset + 6, check_text::kRuleRangeLimits, Sentence(check_text::kRangeVerticalOrder, d.number, minV, maxV));
  }
  if (minH > maxH) {
    findings.Fail(d.offset + 7, d.offset + 8, check_text::kRuleRangeLimits, Sentence(check_text::kRangeHorizontalOrder, d.number, minH, maxH));
  }
  if (at(9) == 0) findings.Warn(d.offset + 9, d.offset + 9, check_text::kRuleRangeLimits, Sentence(check_text::kRangeNoClock, d.number));

  const uint8_t formula = at(10);
  const bool known = formula == kNoSecondaryFormula || formula == kSecondaryGtf ||
                     (base.Claims14() && (formula == kRangeLimitsOnly || formula == kCvt));
  if (!known) {
    findings.Fail(d.offset + 10, d.offset + 10, check_text::kRuleRangeLimits,
                  Sentence(base.Claims14() ? check_text::kRangeFormula14 : check_text::kRangeFormula, d.number, d.offset + 10, formula));
  } else if (formula == kNoSecondaryFormula || formula == kRangeLimitsOnly) {
    static constexpr std::array<uint8_t, 7> kPadding = {kLineFeed, kSpace, kSpace, kSpace, kSpace, kSpace, kSpace};
    if (!std::equal(kPadding.begin(), kPadding.end(), base.bytes.begin() + d.offset + 11)) {
      findings.Fail(d.offset + 11, last, check_text::kRuleRangeLimits, Sentence(check_text::kRangePadding, d.number, d.offset + 11, last));
    }
  } else if (formula == kSecondaryGtf && at(11) != 0) {
    findings.Fail(d.offset + 11, d.offset + 11, check_text::kRuleRangeLimits,
                  Sentence(check_text::kRangeGtfReserved, d.number, d.offset + 11, at(11)));
  }
  if (!survey.hasRangeLimits && rates && minV <= maxV && minH <= maxH) {
    survey.limits = RangeLimitValues{minV, maxV, minH, maxH, clock, first, last, base.Claims14()};
  }
  survey.hasRangeLimits = true;
}

// EDID 1.3 section 3.10.3.4: two white points (index 0 = unused), then 0A 20 20.
void CheckColorPoint(const BaseBlock& base, const Descriptor& d, DescriptorSurvey&, FindingList& findings) {
  base.block.SelectDescriptor(static_cast<unsigned>(d.number - 1));
  bool any = false;
  for (unsigned w = 0; w < 2; ++w) {
    const ColorPoint point = base.block.GetColorPoint(w);
    if (point.index == 0) continue;
    any = true;
    if (point.x > 0 && point.y > 0 && point.x + point.y <= 1.0f) continue;
    const int first = d.offset + 5 + 5 * static_cast<int>(w);
    findings.Fail(first, first + 4, check_text::kRuleColorPoint,
                  Sentence(check_text::kColorPointNoColour, d.number, w + 1, point.x, point.y));
  }
  if (!any) {
    findings.Warn(d.offset, d.offset + kDescriptorSize - 1, check_text::kRuleColorPoint, Sentence(check_text::kColorPointEmpty, d.number));
  }
  const uint8_t* end = base.bytes.data() + d.offset + 15;
  if (end[0] != kLineFeed || end[1] != kSpace || end[2] != kSpace) {
    findings.Fail(d.offset + 15, d.offset + 17, check_text::kRuleColorPoint,
                  Sentence(check_text::kColorPointEnd, d.number, d.offset + 15, d.offset + 17, end[0], end[1], end[2]));
  }
}

// EDID 1.3 section 3.10.3.5: six standard timing codes, then 0A.
void CheckStdTimingIds(const BaseBlock& base, const Descriptor& d, DescriptorSurvey&, FindingList& findings) {
  CheckStandardTimingCodes(base, d.offset + 5, 6, findings);
  const auto codes = base.bytes.begin() + d.offset + 5;
  if (std::all_of(codes, codes + 12, [](uint8_t b) { return b == 0x01; })) {
    findings.Warn(d.offset, d.offset + kDescriptorSize - 1, check_text::kRuleStandardTiming,
                  Sentence(check_text::kStdTimingIdsEmpty, d.number));
  }
  const int last = d.offset + kDescriptorSize - 1;
  if (base.bytes[last] != kLineFeed) {
    findings.Fail(last, last, check_text::kRuleStandardTiming, Sentence(check_text::kStdTimingIdsEnd, d.number, last, base.bytes[last]));
  }
}

// EDID 1.3 section 3.10.3.6 (E-EDID 1.4 section 3.10.3.11): the dummy descriptor holds zeros.
void CheckDummy(const BaseBlock& base, const Descriptor& d, DescriptorSurvey& survey, FindingList& findings) {
  survey.sawDummy = true;
  const auto payload = base.bytes.begin() + d.offset + kPayload;
  if (std::all_of(payload, payload + kPayloadSize, [](uint8_t b) { return b == 0; })) return;
  findings.Fail(d.offset + kPayload, d.offset + kDescriptorSize - 1, check_text::kRuleUnusedDescriptor,
                Sentence(check_text::kDummyPayload, d.number));
}

// E-EDID 1.4 section 3.10.3: colour management data, CVT 3-byte codes and established timings
// III exist only from 1.4 on; their content is left to the peers that read them.
void CheckTagFrom14(const BaseBlock& base, const Descriptor& d, DescriptorSurvey&, FindingList& findings) {
  if (base.Claims14()) return;
  findings.Fail(d.offset + 3, d.offset + 3, check_text::kRuleDescriptorKind, Sentence(check_text::kTagFrom14, d.number, d.tag));
}

struct Kind {
  uint8_t tag;
  KindCheck check;
};

constexpr Kind kKinds[] = {
    {kTagSerialNumber, &CheckText},        // FF display serial number
    {kTagDataString, &CheckText},          // FE alphanumeric data string
    {kTagRangeLimits, &CheckRangeLimits},  // FD display range limits
    {kTagMonitorName, &CheckText},         // FC display (monitor) name
    {kTagColorPoint, &CheckColorPoint},    // FB colour point data
    {kTagStdTimings, &CheckStdTimingIds},  // FA standard timing identifiers
    {0xF9, &CheckTagFrom14},               // F9 display colour management (1.4)
    {0xF8, &CheckTagFrom14},               // F8 CVT 3-byte timing codes (1.4)
    {0xF7, &CheckTagFrom14},               // F7 established timings III (1.4)
    {kTagDummy, &CheckDummy},              // 10 dummy descriptor
};

// EDID 1.3 section 3.10.3: bytes 0-2 and 4 of a display descriptor are 0 (E-EDID 1.4 lets the
// range limits use byte 4 for rate offsets); tags 00-0F are the manufacturer's, 11-F6 reserved.
void CheckDisplayDescriptor(const BaseBlock& base, const Descriptor& d, DescriptorSurvey& survey, FindingList& findings) {
  if (base.bytes[d.offset + 2] != 0) {
    findings.Fail(d.offset + 2, d.offset + 2, check_text::kRuleDescriptorHeader,
                  Sentence(check_text::kDescriptorHeaderByte, d.number, d.offset + 2, base.bytes[d.offset + 2]));
  }
  if (base.bytes[d.offset + 4] != 0 && !(base.Claims14() && d.tag == kTagRangeLimits)) {
    findings.Fail(d.offset + 4, d.offset + 4, check_text::kRuleDescriptorHeader,
                  Sentence(check_text::kDescriptorHeaderByte, d.number, d.offset + 4, base.bytes[d.offset + 4]));
  }
  // Hosts commonly stop at the first dummy, so what follows one may never be read.
  if (survey.sawDummy && d.tag != kTagDummy) {
    findings.Warn(d.offset, d.offset + kDescriptorSize - 1, check_text::kRuleDescriptorOrder,
                  Sentence(check_text::kDescriptorAfterDummy, d.number));
  }
  const auto kind = std::find_if(std::begin(kKinds), std::end(kKinds), [&](const Kind& k) { return k.tag == d.tag; });
  if (kind != std::end(kKinds)) {
    kind->check(base, d, survey, findings);
  } else if (d.tag > kLastManufacturerTag) {
    findings.Fail(d.offset + 3, d.offset + 3, check_text::kRuleDescriptorKind, Sentence(check_text::kTagReserved, d.number, d.tag));
  }
}

// EDID 1.3 section 3.10.3 requires a monitor name and range limits; E-EDID 1.4 requires range
// limits from a display that claims continuous frequencies, and only recommends the name.
void CheckRequiredKinds(const BaseBlock& base, const DescriptorSurvey& survey, FindingList& findings) {
  const int first = DescriptorOffset(0);
  const int last = DescriptorLast(kDescriptorCount - 1);
  const bool continuous = base.block.GetGtfSupported();
  if (base.Claims14()) {
    if (!survey.hasName) findings.Warn(first, last, check_text::kRuleRequiredDescriptor, check_text::kNameRecommended14);
    if (!survey.hasRangeLimits && continuous) findings.Fail(first, last, check_text::kRuleRequiredDescriptor, check_text::kRangeRequired14);
  } else if (base.FromRevision3()) {
    if (!survey.hasName) findings.Fail(first, last, check_text::kRuleRequiredDescriptor, check_text::kNameRequired);
    if (!survey.hasRangeLimits) findings.Fail(first, last, check_text::kRuleRequiredDescriptor, check_text::kRangeRequired);
  } else if (!survey.hasRangeLimits && continuous && !base.IsVersion10()) {
    findings.Warn(first, last, check_text::kRuleRequiredDescriptor, check_text::kRangeForGtf);
  }
}

}  // namespace

std::optional<RangeLimitValues> CheckDescriptors(const BaseBlock& base, FindingList& findings) {
  DescriptorSurvey survey;
  for (int n = 0; n < kDescriptorCount; ++n) {
    const int first = DescriptorOffset(n);
    const int last = DescriptorLast(n);
    if (!IsDisplayDescriptor(base.bytes, n)) {
      // E-EDID 1.3 section 3.10: detailed timings come first, display descriptors after them.
      if (survey.sawDisplayDescriptor) {
        findings.Fail(first, last, check_text::kRuleDescriptorOrder, Sentence(check_text::kTimingAfterDescriptor, n + 1));
      }
      continue;
    }
    survey.sawDisplayDescriptor = true;
    const auto begin = base.bytes.begin() + first;
    if (std::all_of(begin, begin + kDescriptorSize, [](uint8_t b) { return b == 0; })) {
      // Legal as a manufacturer's descriptor (tag 00) and common as an empty slot; still a trap.
      findings.Warn(first, last, check_text::kRuleUnusedDescriptor, Sentence(check_text::kDescriptorAllZero, n + 1));
      continue;
    }
    // EDID 1.0 knows detailed timings only; display descriptors came with 1.1.
    if (base.IsVersion10()) {
      findings.Fail(first, last, check_text::kRuleDescriptorKind, Sentence(check_text::kDescriptorIn10, n + 1));
      continue;
    }
    CheckDisplayDescriptor(base, {n + 1, first, base.bytes[first + 3]}, survey, findings);
  }
  CheckRequiredKinds(base, survey, findings);
  return survey.limits;
}

}  // namespace tolvex::check
