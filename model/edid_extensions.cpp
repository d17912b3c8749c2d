#include "model/edid_extensions.h"

#include <algorithm>
#include <numeric>

namespace tolvex {

bool IsChecksumRight(const EdidBytes& block) {
  return static_cast<uint8_t>(std::accumulate(block.begin(), block.end(), 0u)) == 0;
}

int AnnouncedExtensions(const EdidBytes& base) {
  return std::min<int>(base[kExtensionCountOffset], kMaxExtensionBlocks);
}

int MissingBlockBytes(const EdidBytes& base, int held) {
  return std::max(AnnouncedExtensions(base) - held, 0) * kEdidSize;
}

WholeEdid SplitWholeEdid(std::span<const uint8_t> bytes) {
  WholeEdid whole;
  const size_t baseBytes = std::min<size_t>(bytes.size(), kEdidSize);
  std::copy_n(bytes.begin(), baseBytes, whole.base.begin());
  int missing = static_cast<int>(kEdidSize - baseBytes);

  std::span<const uint8_t> rest = bytes.subspan(baseBytes);
  while (!rest.empty() && whole.extensions.Count() < kMaxExtensionBlocks) {
    const size_t taken = std::min<size_t>(rest.size(), kEdidSize);
    EdidBytes& block = whole.extensions.blocks.emplace_back();
    std::copy_n(rest.begin(), taken, block.begin());
    missing += static_cast<int>(kEdidSize - taken);
    rest = rest.subspan(taken);
  }
  whole.extensions.missingBytes = missing + MissingBlockBytes(whole.base, whole.extensions.Count());
  return whole;
}

std::vector<uint8_t> JoinWholeEdid(const EdidBytes& base, const EdidExtensions& extensions) {
  std::vector<uint8_t> bytes;
  bytes.reserve(kEdidSize * (1 + extensions.blocks.size()));
  bytes.insert(bytes.end(), base.begin(), base.end());
  for (const EdidBytes& block : extensions.blocks) bytes.insert(bytes.end(), block.begin(), block.end());
  return bytes;
}

void UpdateExtensionChecksums(EdidExtensions& extensions) {
  for (EdidBytes& block : extensions.blocks) block[kEdidSize - 1] = ComputeChecksum(block);
}

std::optional<WholeEdidFault> FindWholeEdidFault(const EdidBytes& base, const EdidExtensions& extensions) {
  if (extensions.missingBytes > 0) return WholeEdidFault{WholeEdidFault::kIncomplete, 0, extensions.missingBytes};
  if (base[kExtensionCountOffset] != extensions.Count()) {
    return WholeEdidFault{WholeEdidFault::kCountMismatch, 0, base[kExtensionCountOffset], extensions.Count()};
  }
  for (int number = 0; number <= extensions.Count(); ++number) {
    const EdidBytes& block = number == 0 ? base : extensions.blocks[number - 1];
    if (!IsChecksumRight(block)) {
      return WholeEdidFault{WholeEdidFault::kChecksum, number, block[kEdidSize - 1], ComputeChecksum(block)};
    }
  }
  return std::nullopt;
}

}  // namespace tolvex
