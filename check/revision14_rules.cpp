// E-EDID 1.4's reading of GTF in the range limits descriptor.
#include "check/check_rules.h"
#include "check/check_texts.h"

namespace tolvex::check {

namespace {

constexpr int kFormulaByte = 10;  // in the range limits descriptor
constexpr uint8_t kDefaultGtf = 0x00;
constexpr uint8_t kSecondaryGtf = 0x02;

}  // namespace

// E-EDID 1.4 section 3.10.3.3: GTF (byte 10 = 00 or 02) is offered only with continuous
// frequencies (byte 24 bit 0); it stays for older hosts, CVT being the formula of 1.4 displays.
void CheckGtf14(const BaseBlock& base, const std::optional<RangeLimitValues>& limits, FindingList& findings) {
  if (!base.Claims14() || !limits) return;
  const int at = limits->first + kFormulaByte;
  const uint8_t formula = base.bytes[static_cast<size_t>(at)];
  if (formula != kDefaultGtf && formula != kSecondaryGtf) return;
  if (!base.block.GetGtfSupported()) {
    findings.Fail(at, at, check_text::kRuleRangeLimits, Sentence(check_text::kGtfNotContinuous, at, formula));
  } else {
    findings.Warn(at, at, check_text::kRuleRangeLimits, Sentence(check_text::kGtfDeprecated, at, formula));
  }
}

}  // namespace tolvex::check
