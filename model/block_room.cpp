#include "model/block_room.h"

#include <algorithm>

#include "model/edid_extensions.h"

namespace tolvex {

std::optional<BlockRoom> ReadBlockRoom(const EdidData& edid, int block) {
  if (block < 1 || block >= BlockCount(edid)) return std::nullopt;
  const std::span<const uint8_t, 128> bytes = BlockBytes(edid, block);
  if (bytes[0] == kTagCta861) {
    std::string error;
    const std::optional<CtaLayout> layout = ReadCtaLayout(edid, block, error);
    if (!layout) return std::nullopt;
    return BlockRoom{layout->UsedBytes(), kCtaRoom};
  }
  // Byte 2 counts the section's data bytes; a count past the block is shown as the block full.
  if (bytes[0] == kTagDisplayId) return BlockRoom{std::min<int>(bytes[2], kDisplayIdSectionRoom), kDisplayIdSectionRoom};
  return std::nullopt;
}

}  // namespace tolvex
