// The decoded model of a whole EDID: the base block's reading and one decoded block per
// extension, each by the codec of its tag (CTA-861, DisplayID, block map; any other tag kept as
// bytes). This is what the report's decoded sections, `tolvex-cli info`, the check's extension
// rules and the structure panel read; WalkDecodedEdid is the one walk over all of it.
#pragma once

#include <span>
#include <string_view>
#include <variant>
#include <vector>

#include "model/base_reading.h"
#include "model/block_map.h"
#include "model/cta_block.h"
#include "model/decoded_item.h"
#include "model/displayid_block.h"
#include "model/edid_block.h"

namespace tolvex {

enum class BlockKind : uint8_t { kBase, kCta, kDisplayId, kBlockMap, kUnknown };

struct UnknownBlock {};

struct DecodedBlock {
  int index = 0;  // 0 = the base block
  BlockKind kind = BlockKind::kUnknown;
  ByteRange bytes;
  EdidBytes stored{};
  std::variant<UnknownBlock, BaseReading, CtaBlock, DisplayIdBlock, BlockMap> content;

  template <typename T>
  const T* As() const {
    return std::get_if<T>(&content);
  }
};

struct DecodedEdid {
  std::vector<DecodedBlock> blocks;

  const BaseReading& Base() const { return std::get<BaseReading>(blocks.front().content); }
};

DecodedEdid DecodeEdid(const EdidBytes& base, std::span<const EdidBytes> extensions);
// Raw bytes: every whole block the bytes hold (a block cut short is left out).
DecodedEdid DecodeEdid(std::span<const uint8_t> whole);
// One extension block, number `index` (from 1), alone.
DecodedBlock DecodeExtension(const EdidBytes& bytes, int index);

// "base", "cta-861", "displayid", "block-map", "unknown".
std::string_view BlockKindId(BlockKind kind);

// Every block as an entry of "blocks", in order.
void WalkDecodedEdid(const DecodedEdid& edid, DecodeVisitor& visitor);
// One block's content without its entry: with DecodeScope::kReportSection what its section of
// the report shows.
void WalkBlockContent(const DecodedBlock& block, DecodeScope scope, DecodeVisitor& visitor);
// "Block 1: CTA-861 Extension Block, revision 3".
std::string BlockLabel(const DecodedBlock& block);

}  // namespace tolvex
