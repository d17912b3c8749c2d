// What the rule families of the conformance check share: the list they add findings to, the
// block they read, and the facts that more than one family needs. One function per family.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "check/edid_check.h"
#include "check/timing_tables.h"
#include "model/decoded_edid.h"
#include "model/edid_block.h"

namespace tolvex::check {

// printf into a string; every finding's sentence is built with it from a format of check_texts.h.
__attribute__((format(printf, 1, 2))) std::string Sentence(const char* format, ...);

class FindingList {
 public:
  explicit FindingList(CheckFindings& out) : out_(out) {}
  void Fail(int first, int last, std::string_view rule, std::string text);
  void Warn(int first, int last, std::string_view rule, std::string text);

 private:
  CheckFindings& out_;
};

// The range limits descriptor as the timing rules compare against it.
struct RangeLimitValues {
  int minVerticalHz;
  int maxVerticalHz;
  int minHorizontalKHz;
  int maxHorizontalKHz;
  int maxPixelClockMHz;  // 0 when not given
  int first;             // the descriptor's bytes
  int last;
  // E-EDID 1.4: the limits bound the timings a host derives (GTF, CVT); a timing the EDID lists
  // is supported by being listed, so one beyond the limits is a warning, not a contradiction.
  bool advisory = false;
};

// The base block under check: a working copy in an EdidBlock (so the model's decoding serves the
// rules; its descriptor selection is the rules' to move), and the version facts rules depend on.
struct BaseBlock {
  EdidBlock& block;
  const EdidBytes& bytes;
  int currentYear;

  int Revision() const { return bytes[19]; }
  bool IsVersion10() const { return block.IsVersion10(); }
  // E-EDID 1.3 added requirements (monitor name, range limits, preferred timing).
  bool FromRevision3() const { return Revision() >= 3; }
  // The block claims E-EDID 1.4 (or a later revision, read as 1.4).
  bool Claims14() const { return Revision() >= 4; }
};

// Descriptor n (0-3): its first byte in the block.
constexpr int DescriptorOffset(int n) { return kFirstDescriptorOffset + kDescriptorSize * n; }
constexpr int DescriptorLast(int n) { return DescriptorOffset(n) + kDescriptorSize - 1; }
// Bytes 0-1 zero make an 18-byte block a display descriptor; anything else is a detailed timing.
bool IsDisplayDescriptor(const EdidBytes& bytes, int n);

// ---- The rule families -----------------------------------------------------------------------
void CheckHeader(const BaseBlock& base, FindingList& findings);
void CheckChecksum(std::span<const uint8_t> block, int offset, std::string_view rule, FindingList& findings);
void CheckVersion(const BaseBlock& base, FindingList& findings);
void CheckManufacturer(const BaseBlock& base, FindingList& findings);
void CheckDate(const BaseBlock& base, FindingList& findings);
void CheckVideoInput(const BaseBlock& base, FindingList& findings);
void CheckScreenSize(const BaseBlock& base, FindingList& findings);
void CheckFeatureSupport(const BaseBlock& base, FindingList& findings);
void CheckChromaticity(const BaseBlock& base, FindingList& findings);
void CheckStandardTimings(const BaseBlock& base, FindingList& findings);
// Descriptor layout, order, required kinds and the payload of every display descriptor; returns
// the first range limits descriptor for the timing rules.
std::optional<RangeLimitValues> CheckDescriptors(const BaseBlock& base, FindingList& findings);
void CheckDetailedTimings(const BaseBlock& base, const std::optional<RangeLimitValues>& limits,
                          FindingList& findings);
// The established and standard timings against the range limits.
void CheckListedTimingRanges(const BaseBlock& base, const std::optional<RangeLimitValues>& limits,
                             FindingList& findings);
// E-EDID 1.4: the range limits' GTF against byte 24's continuous frequency.
void CheckGtf14(const BaseBlock& base, const std::optional<RangeLimitValues>& limits, FindingList& findings);
// Every extension block: its frame, then the rules of its kind (extension_rules.cpp's table).
void CheckExtensions(std::span<const uint8_t> edid, const std::optional<RangeLimitValues>& limits,
                     FindingList& findings);

// A timing's rates against the range limits; `name` starts the sentences.
void CheckRatesAgainstLimits(const std::string& name, int first, int last, const ListedTimingRates& rates,
                             const RangeLimitValues& limits, FindingList& findings);

// ---- The rules of one extension block, over its decoded content ---------------------------------
struct ExtensionBlock {
  const DecodedEdid& edid;
  const DecodedBlock& block;
  const std::optional<RangeLimitValues>& limits;  // the base block's

  const BaseReading& Base() const { return edid.Base(); }
};

// cta_rules.cpp
void CheckCtaDataBlocks(const ExtensionBlock& ext, FindingList& findings);
void CheckCtaVideo(const ExtensionBlock& ext, FindingList& findings);
void CheckCtaHdmi(const ExtensionBlock& ext, FindingList& findings);
void CheckCtaVideoCapability(const ExtensionBlock& ext, FindingList& findings);
void CheckCtaTimingRanges(const ExtensionBlock& ext, FindingList& findings);
// displayid_rules.cpp
void CheckDisplayIdSection(const ExtensionBlock& ext, FindingList& findings);
void CheckDisplayIdTimings(const ExtensionBlock& ext, FindingList& findings);

// The standard timing codes at `offset` (`count` two-byte entries), in the base block or in a
// standard timing identifier descriptor: shared by the base-block and the descriptor rules.
void CheckStandardTimingCodes(const BaseBlock& base, int offset, int count, FindingList& findings);

}  // namespace tolvex::check
