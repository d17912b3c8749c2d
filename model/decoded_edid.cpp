#include "model/decoded_edid.h"

#include <cstdio>

#include "model/base_texts.h"
#include "model/cta_texts.h"
#include "model/decode_texts.h"
#include "model/displayid_texts.h"
#include "model/edid_extensions.h"

namespace tolvex {

namespace {

namespace dt = decode_text;

ByteRange BlockBytes(int index) { return {index * kEdidSize, index * kEdidSize + kEdidSize - 1}; }

void DescribeExtensionChecksum(const DecodedBlock& block, Describer& out) {
  out.Number("checksum", dt::kBlockChecksum, block.stored[kEdidSize - 1], Bits(block.bytes.last));
  out.DerivedFlag("checksum_right", dt::kBlockChecksumRight, IsChecksumRight(block.stored), block.bytes);
}

void DescribeContent(const DecodedBlock& block, DecodeScope scope, Describer& out) {
  if (const auto* base = block.As<BaseReading>()) {
    DescribeBaseReading(*base, scope, out);
    return;
  }
  if (const auto* cta = block.As<CtaBlock>()) {
    DescribeCtaBlock(*cta, out);
  } else if (const auto* displayId = block.As<DisplayIdBlock>()) {
    DescribeDisplayIdBlock(*displayId, out);
  } else if (const auto* map = block.As<BlockMap>()) {
    DescribeBlockMap(*map, out);
  } else if (scope == DecodeScope::kAll) {
    out.Number("tag", dt::kBlockTag, block.stored[0], Bits(block.bytes.first));
    out.Hex("hex", dt::kBlockBytes, std::span(block.stored).subspan(1, kEdidSize - 2), {block.bytes.first + 1, block.bytes.last - 1});
  }
  if (scope == DecodeScope::kAll) DescribeExtensionChecksum(block, out);
}

}  // namespace

DecodedBlock DecodeExtension(const EdidBytes& bytes, int index) {
  DecodedBlock block;
  block.index = index;
  block.bytes = BlockBytes(index);
  block.stored = bytes;
  const std::span<const uint8_t, kEdidSize> view(bytes);
  switch (bytes[0]) {
    case kTagCta861:
      block.kind = BlockKind::kCta;
      block.content = ParseCtaBlock(view, block.bytes.first);
      break;
    case kTagDisplayId:
      block.kind = BlockKind::kDisplayId;
      block.content = ParseDisplayIdBlock(view, block.bytes.first);
      break;
    case kTagBlockMap:
      block.kind = BlockKind::kBlockMap;
      block.content = ParseBlockMap(view, index);
      break;
    default: break;
  }
  return block;
}

DecodedEdid DecodeEdid(const EdidBytes& base, std::span<const EdidBytes> extensions) {
  DecodedEdid edid;
  edid.blocks.reserve(1 + extensions.size());
  DecodedBlock& first = edid.blocks.emplace_back();
  first.kind = BlockKind::kBase;
  first.bytes = BlockBytes(0);
  first.stored = base;
  first.content = ParseBaseReading(base);
  for (size_t i = 0; i < extensions.size(); ++i) edid.blocks.push_back(DecodeExtension(extensions[i], static_cast<int>(i) + 1));
  return edid;
}

DecodedEdid DecodeEdid(std::span<const uint8_t> whole) {
  EdidBytes base{};
  std::copy_n(whole.begin(), std::min<size_t>(whole.size(), kEdidSize), base.begin());
  std::vector<EdidBytes> extensions;
  for (size_t at = kEdidSize; at + kEdidSize <= whole.size(); at += kEdidSize) {
    std::copy_n(whole.begin() + static_cast<std::ptrdiff_t>(at), kEdidSize, extensions.emplace_back().begin());
  }
  return DecodeEdid(base, extensions);
}

std::string_view BlockKindId(BlockKind kind) {
  switch (kind) {
    case BlockKind::kBase: return "base";
    case BlockKind::kCta: return "cta-861";
    case BlockKind::kDisplayId: return "displayid";
    case BlockKind::kBlockMap: return "block-map";
    case BlockKind::kUnknown: break;
  }
  return "unknown";
}

std::string BlockLabel(const DecodedBlock& block) {
  char head[32];
  std::snprintf(head, sizeof head, dt::kBlockLabel, block.index);
  char kind[96];
  if (const auto* base = block.As<BaseReading>()) {
    std::snprintf(kind, sizeof kind, base_text::kBlockLabel, base->version, base->revision);
  } else if (const auto* cta = block.As<CtaBlock>()) {
    std::snprintf(kind, sizeof kind, cta_text::kBlockLabel, cta->revision);
  } else if (const auto* displayId = block.As<DisplayIdBlock>()) {
    std::snprintf(kind, sizeof kind, displayid_text::kBlockLabel, displayId->version >> 4, displayId->version & 0x0F);
  } else if (block.As<BlockMap>()) {
    return std::string(head) + dt::kBlockMapLabel;
  } else {
    std::snprintf(kind, sizeof kind, dt::kUnknownBlockLabel, block.stored[0]);
  }
  return std::string(head) + kind;
}

void WalkBlockContent(const DecodedBlock& block, DecodeScope scope, DecodeVisitor& visitor) {
  Describer out(visitor);
  DescribeContent(block, scope, out);
}

void WalkDecodedEdid(const DecodedEdid& edid, DecodeVisitor& visitor) {
  Describer out(visitor);
  for (const DecodedBlock& block : edid.blocks) {
    out.BeginEntry("blocks", [&] { return BlockLabel(block); }, block.bytes);
    out.Identity("kind", BlockKindId(block.kind), block.bytes);
    out.IdentityNumber("index", block.index, block.bytes);
    DescribeContent(block, DecodeScope::kAll, out);
    out.End();
  }
}

}  // namespace tolvex
