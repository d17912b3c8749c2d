#include "model/block_map.h"

#include <cstdio>

#include "model/decode_texts.h"

namespace tolvex {

namespace {

constexpr int kFirstEntry = 1;
constexpr int kLastEntry = 126;
constexpr int kBlockSize = 128;

}  // namespace

BlockMap ParseBlockMap(std::span<const uint8_t, 128> bytes, int number) {
  BlockMap map;
  for (int i = kFirstEntry; i <= kLastEntry; ++i) {
    if (bytes[static_cast<size_t>(i)] == 0) continue;
    const int at = number * kBlockSize + i;
    map.entries.push_back({{at, at}, number + i, bytes[static_cast<size_t>(i)]});
  }
  return map;
}

void DescribeBlockMap(const BlockMap& map, Describer& out) {
  for (const BlockMapEntry& entry : map.entries) {
    char label[48];
    std::snprintf(label, sizeof label, decode_text::kBlockMapEntryLabel, entry.block, entry.tag);
    out.BeginEntry("entries", label, entry.bytes, true);
    out.DerivedNumber("block", decode_text::kMappedBlock, entry.block, entry.bytes);
    out.Number("tag", decode_text::kMappedTag, entry.tag, Bits(entry.bytes.first));
    out.End();
  }
}

}  // namespace tolvex
