// The block map (tag 0xF0): byte n names the tag of the block n after the map; 00 past the last
// block. A map in block 1 covers blocks 2-127, one in block 128 blocks 129-254.
#pragma once

#include <span>
#include <vector>

#include "model/decoded_item.h"

namespace tolvex {

struct BlockMapEntry {
  ByteRange bytes;
  int block = 0;
  int tag = 0;
};
struct BlockMap {
  std::vector<BlockMapEntry> entries;  // the non-zero ones
};

// The map at `bytes`, which is block `number` (its first byte at 128 x number).
BlockMap ParseBlockMap(std::span<const uint8_t, 128> bytes, int number);
void DescribeBlockMap(const BlockMap& map, Describer& out);

}  // namespace tolvex
