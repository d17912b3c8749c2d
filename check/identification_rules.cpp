// Header, checksum and the identification bytes 8-19.
#include <algorithm>
#include <numeric>
#include <string>

#include "check/check_rules.h"
#include "check/check_texts.h"
#include "model/bits.h"

namespace tolvex::check {

namespace {

std::string HexBytes(const uint8_t* bytes, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += Sentence(i ? " %02X" : "%02X", bytes[i]);
  return text;
}

constexpr int kWeekModelYear = 0xFF;
constexpr int kFirstYear = 1990;

}  // namespace

// EDID 1.3 section 3.3: the fixed header pattern.
void CheckHeader(const BaseBlock& base, FindingList& findings) {
  if (std::equal(kEdidHeader.begin(), kEdidHeader.end(), base.bytes.begin())) return;
  findings.Fail(0, 7, check_text::kRuleHeader, Sentence(check_text::kHeaderWrong, HexBytes(base.bytes.data(), 8).c_str()));
}

// EDID 1.3 section 3.11 and every extension block: the 128 bytes sum to 0 modulo 256.
void CheckChecksum(std::span<const uint8_t> block, int offset, std::string_view rule, FindingList& findings) {
  const auto sum = static_cast<uint8_t>(std::accumulate(block.begin(), block.end(), 0u));
  if (sum == 0) return;
  const auto right = static_cast<uint8_t>(block[kEdidSize - 1] - sum);
  findings.Fail(offset + kEdidSize - 1, offset + kEdidSize - 1, rule,
                Sentence(check_text::kChecksumWrong, block[kEdidSize - 1], right));
}

// EDID 1.3 section 3.5: version 1; revisions 0-3, and 4 for E-EDID 1.4.
void CheckVersion(const BaseBlock& base, FindingList& findings) {
  if (base.bytes[18] != 1) {
    findings.Fail(18, 18, check_text::kRuleVersion, Sentence(check_text::kVersionWrong, base.bytes[18]));
  }
  if (base.Revision() > 4) {
    findings.Warn(19, 19, check_text::kRuleVersion, Sentence(check_text::kRevisionUnknown, base.Revision()));
  }
}

// EDID 1.3 section 3.4.1: three compressed ASCII letters A-Z (codes 1-26), byte 8 bit 7 zero.
void CheckManufacturer(const BaseBlock& base, FindingList& findings) {
  const uint8_t high = base.bytes[8];
  const uint8_t low = base.bytes[9];
  if (GetBit(high, 7)) findings.Fail(8, 8, check_text::kRuleManufacturer, check_text::kManufacturerBit7);
  const unsigned codes[3] = {GetBits(high, 6, 2), GetBits(high, 1, 0) << 3 | GetBits(low, 7, 5), GetBits(low, 4, 0)};
  if (codes[0] == 0 && codes[1] == 0 && codes[2] == 0) {
    findings.Fail(8, 9, check_text::kRuleManufacturer, check_text::kManufacturerEmpty);
    return;
  }
  for (unsigned code : codes) {
    if (code >= 1 && code <= 26) continue;
    findings.Fail(8, 9, check_text::kRuleManufacturer,
                  Sentence(check_text::kManufacturerLetters, codes[0], codes[1], codes[2]));
    return;
  }
}

// EDID 1.3 section 3.4.4; E-EDID 1.4 section 3.4.4 adds week 54, the model-year mark FF and
// reserves the years before 2006. The year byte counts on past 2053 although this program's
// field keeps six bits of it, so it is read whole here.
void CheckDate(const BaseBlock& base, FindingList& findings) {
  const int week = base.bytes[16];
  const int year = kFirstYear + base.bytes[17];
  if (base.Claims14()) {
    if (week > 54 && week != kWeekModelYear) {
      findings.Fail(16, 16, check_text::kRuleDate, Sentence(check_text::kWeekWrong14, week));
    }
    if (year < 2006) findings.Fail(17, 17, check_text::kRuleDate, Sentence(check_text::kYearBefore2006, year));
  } else if (week > 53) {
    findings.Fail(16, 16, check_text::kRuleDate, Sentence(check_text::kWeekWrong, week));
  }
  // A block may be made a little ahead of the year on its label, never more.
  if (year > base.currentYear + 1) {
    findings.Fail(17, 17, check_text::kRuleDate,
                  Sentence(check_text::kYearFuture, year, base.currentYear));
  }
}

}  // namespace tolvex::check
