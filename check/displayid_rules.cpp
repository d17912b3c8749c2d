// A DisplayID extension: its section (version, length, checksum, padding, product type), the
// tags of its data blocks, and its detailed timings.
#include <algorithm>
#include <array>

#include "check/check_rules.h"
#include "check/check_texts.h"

namespace tolvex::check {

namespace {

constexpr int kVersionByte = 1;
constexpr int kSectionBytesByte = 2;
constexpr int kProductTypeByte = 3;
constexpr int kFirstDataBlock = 5;
constexpr int kMaxSectionBytes = 121;
constexpr int kLastPaddingByte = 126;
constexpr int kCtaTag = 0x81;  // in both versions

// DisplayID 1.0-1.3 and 2.0-2.1 (byte 1: major in bits 7-4, minor in bits 3-0).
constexpr std::array<int, 6> kVersions = {0x10, 0x11, 0x12, 0x13, 0x20, 0x21};

const DisplayIdBlock& DisplayId(const ExtensionBlock& ext) { return *ext.block.As<DisplayIdBlock>(); }

// DisplayID 1.3 section 4 numbers its blocks 00-1F and 7F (vendor); 2.1 section 4 numbers
// its own 20-7E. 81 (CTA-861 data blocks) is both versions'.
bool TagOfVersion(int tag, int major) {
  if (tag == kCtaTag) return true;
  const bool v1 = tag <= 0x1F || tag == 0x7F;
  const bool v2 = tag >= 0x20 && tag <= 0x7E;
  return major >= 2 ? v2 : v1;
}

// The first byte from `from` to `last` (in the block) that is not 0, or -1.
int FirstNonZero(const DecodedBlock& block, int from, int last) {
  for (int i = from; i <= last; ++i) {
    if (block.stored[static_cast<size_t>(i)] != 0) return i;
  }
  return -1;
}

void CheckPadding(const ExtensionBlock& ext, const DisplayIdBlock& id, FindingList& findings) {
  const int offset = ext.block.bytes.first;
  const int checksumAt = id.section.last - offset;
  const int dataEnd = id.dataBlocks.empty() ? kFirstDataBlock : id.dataBlocks.back().bytes.last - offset + 1;
  for (const auto& [from, last] : {std::pair{dataEnd, checksumAt - 1}, std::pair{checksumAt + 1, kLastPaddingByte}}) {
    const int at = FirstNonZero(ext.block, from, last);
    if (at < 0) continue;
    findings.Warn(offset + at, offset + last, check_text::kRuleDisplayId,
                  Sentence(check_text::kDisplayIdPadding, offset + at, offset + last));
  }
}

bool IsFirstDisplayId(const ExtensionBlock& ext) {
  const auto first = std::find_if(ext.edid.blocks.begin(), ext.edid.blocks.end(),
                                  [](const DecodedBlock& b) { return b.kind == BlockKind::kDisplayId; });
  return &*first == &ext.block;
}

}  // namespace

// DisplayID 1.3 section 2 and 2.1 section 3: a known version, a section that fits the block and
// sums to 0 with its checksum, data blocks inside it, zeros after them; the first section names
// the product's type (0 is for extension sections); each data block's tag is its version's.
void CheckDisplayIdSection(const ExtensionBlock& ext, FindingList& findings) {
  const DisplayIdBlock& id = DisplayId(ext);
  const int offset = ext.block.bytes.first;
  if (std::find(kVersions.begin(), kVersions.end(), id.version) == kVersions.end()) {
    findings.Fail(offset + kVersionByte, offset + kVersionByte, check_text::kRuleDisplayId,
                  Sentence(check_text::kDisplayIdVersion, offset + kVersionByte, id.version >> 4, id.version & 0x0F));
  }
  if (id.sectionBytes > kMaxSectionBytes) {
    findings.Fail(offset + kSectionBytesByte, offset + kSectionBytesByte, check_text::kRuleDisplayId,
                  Sentence(check_text::kDisplayIdSectionLength, offset + kSectionBytesByte, id.sectionBytes));
  }
  if (!id.sectionChecksumRight) {
    unsigned sum = 0;
    for (int i = id.section.first; i <= id.section.last; ++i) sum += ext.block.stored[static_cast<size_t>(i - offset)];
    const auto right = static_cast<uint8_t>(id.sectionChecksum - sum);
    findings.Fail(id.section.last, id.section.last, check_text::kRuleDisplayIdChecksum,
                  Sentence(check_text::kDisplayIdSectionChecksum, id.section.last, id.sectionChecksum, right));
  }
  if (id.productType == 0 && IsFirstDisplayId(ext)) {
    findings.Warn(offset + kProductTypeByte, offset + kProductTypeByte, check_text::kRuleDisplayId,
                  Sentence(check_text::kDisplayIdProductType, offset + kProductTypeByte));
  }
  for (const DisplayIdDataBlock& data : id.dataBlocks) {
    const auto* unknown = std::get_if<DisplayIdUnknown>(&data.content);
    if (unknown && unknown->truncated) {
      findings.Fail(data.bytes.first, data.bytes.last, check_text::kRuleDisplayId,
                    Sentence(check_text::kDisplayIdDataBlockOverrun, data.bytes.first, id.section.last));
      continue;
    }
    if (!TagOfVersion(data.tag, id.Major())) {
      findings.Fail(data.bytes.first, data.bytes.first, check_text::kRuleDisplayId,
                    Sentence(check_text::kDisplayIdTagVersion, data.bytes.first, data.tag, id.Major() >= 2 ? "1.x" : "2.x",
                             id.version >> 4, id.version & 0x0F));
    }
  }
  CheckPadding(ext, id, findings);
}

// DisplayID 1.3 section 4.4 and 2.1 section 4.4: the sync ends inside the blanking, and the
// timings lie within the base block's range limits as its own do.
void CheckDisplayIdTimings(const ExtensionBlock& ext, FindingList& findings) {
  const std::vector<DisplayIdTiming> timings = DisplayId(ext).Timings();
  for (size_t i = 0; i < timings.size(); ++i) {
    const DisplayIdTiming& t = timings[i];
    const std::string name = Sentence(check_text::kDisplayIdTimingName, ext.block.index, static_cast<int>(i) + 1);
    if (t.hFront + t.hSync >= t.hBlank) {
      std::string text = Sentence(check_text::kDisplayIdTimingPorch, name.c_str(), t.hFront, t.hSync, t.hBlank);
      if (t.hFront + t.hSync > t.hBlank) findings.Fail(t.bytes.first, t.bytes.last, check_text::kRuleDetailedTiming, std::move(text));
      else findings.Warn(t.bytes.first, t.bytes.last, check_text::kRuleDetailedTiming, std::move(text));
    }
    const int hTotal = t.hActive + t.hBlank;
    if (!ext.limits || t.pixelClockKHz == 0 || hTotal == 0) continue;
    const double kHz = static_cast<double>(t.pixelClockKHz) / hTotal;
    CheckRatesAgainstLimits(name, t.bytes.first, t.bytes.last, {kHz, t.RefreshHz(), t.pixelClockKHz / 1000.0},
                            *ext.limits, findings);
  }
}

}  // namespace tolvex::check
