#include "check/edid_check.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "check/check_rules.h"
#include "check/check_texts.h"
#include "model/local_date.h"

namespace tolvex {

namespace check {

// Measured first, so that no sentence is ever cut.
std::string Sentence(const char* format, ...) {
  va_list args;
  va_list measure;
  va_start(args, format);
  va_copy(measure, args);
  const int length = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  std::string text(static_cast<size_t>(std::max(length, 0)), '\0');
  if (length > 0) std::vsnprintf(text.data(), text.size() + 1, format, args);
  va_end(args);
  return text;
}

void FindingList::Fail(int first, int last, std::string_view rule, std::string text) {
  out_.push_back({CheckLevel::kFailure, first, last, rule, std::move(text)});
}

void FindingList::Warn(int first, int last, std::string_view rule, std::string text) {
  out_.push_back({CheckLevel::kWarning, first, last, rule, std::move(text)});
}

bool IsDisplayDescriptor(const EdidBytes& bytes, int n) {
  return bytes[DescriptorOffset(n)] == 0 && bytes[DescriptorOffset(n) + 1] == 0;
}

}  // namespace check

namespace {

using check::BaseBlock;
using check::FindingList;

// The date of a working copy is never used: the bytes are replaced before any rule reads them.
CalendarDate AnyDate() { return {2000, 1, 1}; }

// Returns the range limits that the extensions' timings are held to.
std::optional<check::RangeLimitValues> CheckBaseBlock(std::span<const uint8_t> edid, int currentYear,
                                                      FindingList& findings) {
  EdidBlock block(&AnyDate);
  std::copy_n(edid.begin(), kEdidSize, block.Bytes().begin());
  const BaseBlock base{block, block.Bytes(), currentYear};

  check::CheckHeader(base, findings);
  check::CheckChecksum(edid.first(kEdidSize), 0, check_text::kRuleChecksum, findings);
  check::CheckVersion(base, findings);
  check::CheckManufacturer(base, findings);
  check::CheckDate(base, findings);
  check::CheckVideoInput(base, findings);
  check::CheckScreenSize(base, findings);
  check::CheckFeatureSupport(base, findings);
  check::CheckChromaticity(base, findings);
  check::CheckStandardTimings(base, findings);
  const auto limits = check::CheckDescriptors(base, findings);
  check::CheckDetailedTimings(base, limits, findings);
  check::CheckListedTimingRanges(base, limits, findings);
  check::CheckGtf14(base, limits, findings);
  return limits;
}

}  // namespace

CheckFindings CheckEdid(std::span<const uint8_t> edid, int currentYear) {
  CheckFindings out;
  FindingList findings(out);
  if (edid.size() < kEdidSize) {
    findings.Fail(0, edid.empty() ? 0 : static_cast<int>(edid.size()) - 1, check_text::kRuleEdidSize,
                  check::Sentence(check_text::kEdidTooShort, edid.size()));
    return out;
  }
  // Trailing bytes that make no whole block are reported and left out of every other rule.
  const size_t whole = edid.size() / kEdidSize * kEdidSize;
  if (whole != edid.size()) {
    findings.Fail(static_cast<int>(whole), static_cast<int>(edid.size()) - 1, check_text::kRuleEdidSize,
                  check::Sentence(check_text::kEdidPartialBlock, edid.size() - whole));
  }
  const auto limits = CheckBaseBlock(edid, currentYear, findings);
  check::CheckExtensions(edid.first(whole), limits, findings);

  std::stable_sort(out.begin(), out.end(), [](const CheckFinding& a, const CheckFinding& b) {
    if (a.first != b.first) return a.first < b.first;
    return a.level == CheckLevel::kFailure && b.level != CheckLevel::kFailure;
  });
  return out;
}

CheckFindings CheckEdid(std::span<const uint8_t> edid) { return CheckEdid(edid, TodayLocal().year); }

CheckFindings CheckEdid(std::span<const uint8_t> edid, std::optional<uint8_t> storedChecksum, bool fromMonitor) {
  CheckFindings out = CheckEdid(edid);
  if (!storedChecksum || edid.size() < kEdidSize) return out;
  EdidBytes base{};
  std::copy_n(edid.begin(), kEdidSize, base.begin());
  const uint8_t given = ComputeChecksum(base);
  if (*storedChecksum == given) return out;
  CheckFinding finding{CheckLevel::kWarning, kEdidSize - 1, kEdidSize - 1, check_text::kRuleStoredChecksum,
                       check::Sentence(check_text::kStoredChecksumWrong,
                                       fromMonitor ? check_text::kMonitorSource : check_text::kFileSource,
                                       *storedChecksum, given)};
  const auto place = std::find_if(out.begin(), out.end(), [](const CheckFinding& f) { return f.first >= kEdidSize; });
  out.insert(place, std::move(finding));
  return out;
}

bool HasFailure(const CheckFindings& findings) {
  return std::any_of(findings.begin(), findings.end(),
                     [](const CheckFinding& f) { return f.level == CheckLevel::kFailure; });
}

std::string FormatFinding(const CheckFinding& finding) {
  const char* level = finding.level == CheckLevel::kFailure ? check_text::kFailure : check_text::kWarning;
  return check::Sentence(check_text::kFindingPlace, level, finding.first, finding.last) + std::string(finding.rule) +
         check_text::kFindingSeparator + finding.text;
}

}  // namespace tolvex
