// Extension blocks: how many there are, their checksums and tags, the block map, and the frame
// of a CTA-861 block (revision, data block collection, detailed timings, padding); then the
// rules of each kind over the decoded blocks, in one table.
#include <algorithm>
#include <array>

#include "check/check_rules.h"
#include "check/check_texts.h"

namespace tolvex::check {

namespace {

constexpr uint8_t kTagCta861 = 0x02;
constexpr uint8_t kTagBlockMap = 0xF0;

// The extension tags VESA and CTA assign (E-EDID 1.4 section 2.2.4).
constexpr std::array<uint8_t, 11> kKnownTags = {
    0x02,  // CTA-861 timing extension
    0x10,  // video timing block
    0x20,  // EDID 2.0 extension
    0x40,  // display information
    0x50,  // localised string
    0x60,  // digital packet video link
    0x70,  // DisplayID
    0xA7,  // display transfer characteristics
    0xAF,
    0xBF,
    0xF0,  // block map
};
constexpr uint8_t kTagManufacturer = 0xFF;

bool IsKnownTag(uint8_t tag) {
  return tag == kTagManufacturer || std::find(kKnownTags.begin(), kKnownTags.end(), tag) != kKnownTags.end();
}

// E-EDID 1.3 section 2.2.4 (block map): with a block map in block 1, its byte n gives the tag of
// block n + 1, and 00 past the last block.
void CheckBlockMap(std::span<const uint8_t> edid, int count, FindingList& findings) {
  for (int block = 2; block <= count + 1 && block <= kEdidSize - 1; ++block) {
    const int at = kEdidSize + block - 1;
    const uint8_t expected = block <= count ? edid[kEdidSize * static_cast<size_t>(block)] : 0;
    if (edid[at] == expected) continue;
    findings.Fail(at, at, check_text::kRuleBlockMap, Sentence(check_text::kBlockMapEntry, at, edid[at], block, expected));
  }
}

// CTA-861-H section 7.5: revision, the offset d of the first detailed timing, the data blocks
// between byte 4 and d (revision 3), the detailed timings from d, zeros after them.
void CheckCta861(std::span<const uint8_t> block, int offset, FindingList& findings) {
  const uint8_t revision = block[1];
  if (revision < 1 || revision > 3) {
    findings.Fail(offset + 1, offset + 1, check_text::kRuleCta861, Sentence(check_text::kCtaRevision, offset + 1, revision));
  }
  const int d = block[2];
  if (d == 0) return;
  if (d < 4 || d > kEdidSize - 1) {
    findings.Fail(offset + 2, offset + 2, check_text::kRuleCta861, Sentence(check_text::kCtaOffset, offset + 2, d));
    return;
  }
  if (revision >= 3) {
    int p = 4;
    while (p < d) {
      const int length = block[p] & 0x1F;
      if (p + 1 + length > d) {
        findings.Fail(offset + p, offset + d - 1, check_text::kRuleCta861, Sentence(check_text::kCtaDataBlockOverrun, offset + p, offset + d));
        break;
      }
      p += 1 + length;
    }
  }
  int p = d;
  while (p + kDescriptorSize <= kEdidSize - 1 && (block[p] != 0 || block[p + 1] != 0)) p += kDescriptorSize;
  const auto padding = std::find_if(block.begin() + p, block.begin() + kEdidSize - 1, [](uint8_t b) { return b != 0; });
  if (padding != block.begin() + kEdidSize - 1) {
    const int at = offset + static_cast<int>(padding - block.begin());
    findings.Warn(at, offset + kEdidSize - 2, check_text::kRuleCta861, Sentence(check_text::kCtaPadding, at, offset + kEdidSize - 2));
  }
}

// The rules of each block kind over its decoded content, in the order they run.
struct ExtensionRule {
  BlockKind kind;
  void (*check)(const ExtensionBlock&, FindingList&);
};
constexpr std::array<ExtensionRule, 7> kExtensionRules = {{
    {BlockKind::kCta, &CheckCtaDataBlocks},
    {BlockKind::kCta, &CheckCtaVideo},
    {BlockKind::kCta, &CheckCtaHdmi},
    {BlockKind::kCta, &CheckCtaVideoCapability},
    {BlockKind::kCta, &CheckCtaTimingRanges},
    {BlockKind::kDisplayId, &CheckDisplayIdSection},
    {BlockKind::kDisplayId, &CheckDisplayIdTimings},
}};

void CheckDecodedExtensions(std::span<const uint8_t> edid, const std::optional<RangeLimitValues>& limits,
                            FindingList& findings) {
  const DecodedEdid decoded = DecodeEdid(edid);
  for (const DecodedBlock& block : decoded.blocks) {
    const ExtensionBlock ext{decoded, block, limits};
    for (const ExtensionRule& rule : kExtensionRules) {
      if (rule.kind == block.kind && block.index > 0) rule.check(ext, findings);
    }
  }
}

}  // namespace

// EDID 1.3 section 3.11 (byte 126) and E-EDID 1.4 section 2.2: the count of the blocks that
// follow, and each block's checksum and tag.
void CheckExtensions(std::span<const uint8_t> edid, const std::optional<RangeLimitValues>& limits,
                     FindingList& findings) {
  const int count = static_cast<int>(edid.size() / kEdidSize) - 1;
  if (edid[126] != count) {
    findings.Fail(126, 126, check_text::kRuleExtensionCount, Sentence(check_text::kExtensionCount, edid[126], count, count));
  }
  for (int n = 1; n <= count; ++n) {
    const int offset = kEdidSize * n;
    const auto block = edid.subspan(static_cast<size_t>(offset), kEdidSize);
    CheckChecksum(block, offset, check_text::kRuleExtensionChecksum, findings);
    const uint8_t tag = block[0];
    if (!IsKnownTag(tag)) {
      findings.Fail(offset, offset, check_text::kRuleExtensionTag, Sentence(check_text::kExtensionTagUnknown, n, tag));
    } else if (tag == kTagBlockMap && n != 1 && n != 128) {
      findings.Fail(offset, offset, check_text::kRuleBlockMap, Sentence(check_text::kBlockMapPlace, n));
    } else if (tag == kTagCta861) {
      CheckCta861(block, offset, findings);
    }
  }
  if (count >= 1 && edid[kEdidSize] == kTagBlockMap) CheckBlockMap(edid, count, findings);
  if (count >= 1) CheckDecodedExtensions(edid, limits, findings);
}

}  // namespace tolvex::check
