// Whole EDIDs: raw bytes cut into blocks, what counts as missing, and what keeps one from a monitor.
#include "model/edid_extensions.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace tolvex {
namespace {

EdidBytes Base(uint8_t extensionCount) {
  EdidBlock block(test::FixedDate(2026, 12, 8));
  block.Bytes()[126] = extensionCount;
  block.UpdateChecksum();
  return block.Bytes();
}

std::vector<uint8_t> Bytes(const EdidBytes& base, size_t extraBytes) {
  std::vector<uint8_t> bytes(base.begin(), base.end());
  for (size_t i = 0; i < extraBytes; ++i) bytes.push_back(static_cast<uint8_t>(i));
  return bytes;
}

TEST(SplitWholeEdid, CountsTheBlocksAndWhatIsMissing) {
  struct Case {
    const char* name;
    uint8_t announced;
    size_t extraBytes;
    int blocks;
    int missing;
  };
  const Case cases[] = {
      {"base only", 0, 0, 0, 0},
      {"one extension", 1, 128, 1, 0},
      {"three extensions", 3, 384, 3, 0},
      {"an announced block never came", 2, 128, 1, 128},
      {"the last block cut short", 2, 200, 2, 56},
      {"more blocks than announced are kept", 0, 256, 2, 0},
      {"byte 126 beyond what a whole EDID holds", 255, 254 * 128, 254, 0},
  };
  for (const Case& c : cases) {
    const WholeEdid whole = SplitWholeEdid(Bytes(Base(c.announced), c.extraBytes));
    EXPECT_EQ(whole.extensions.Count(), c.blocks) << c.name;
    EXPECT_EQ(whole.extensions.missingBytes, c.missing) << c.name;
    EXPECT_EQ(whole.base, Base(c.announced)) << c.name;
  }
  // A block cut short keeps what it had, zeros after.
  const WholeEdid cut = SplitWholeEdid(Bytes(Base(1), 3));
  EXPECT_EQ(cut.extensions.blocks[0][2], 2);
  EXPECT_EQ(cut.extensions.blocks[0][3], 0);
  // Fewer than 128 bytes: the base block itself is short.
  EXPECT_EQ(SplitWholeEdid(std::vector<uint8_t>(100, 0xFF)).extensions.missingBytes, 28);
}

TEST(JoinWholeEdid, IsTheInverseOfSplit) {
  const std::vector<uint8_t> bytes = test::MakeWholeEdid(Base(0), {test::MakeCtaBlock(), test::MakeExtensionBlock(0x70, 9)});
  const WholeEdid whole = SplitWholeEdid(bytes);
  EXPECT_EQ(JoinWholeEdid(whole.base, whole.extensions), bytes);
}

TEST(FindWholeEdidFault, NamesTheFirstReasonNotToWrite) {
  const std::vector<uint8_t> good = test::MakeWholeEdid(Base(0), {test::MakeCtaBlock(), test::MakeExtensionBlock(0xF0, 1)});
  WholeEdid whole = SplitWholeEdid(good);
  EXPECT_EQ(FindWholeEdidFault(whole.base, whole.extensions), std::nullopt);

  WholeEdid incomplete = whole;
  incomplete.extensions.missingBytes = 40;
  EXPECT_EQ(FindWholeEdidFault(incomplete.base, incomplete.extensions),
            (WholeEdidFault{WholeEdidFault::kIncomplete, 0, 40, 0}));

  WholeEdid dropped = whole;
  dropped.extensions.blocks.pop_back();
  EXPECT_EQ(FindWholeEdidFault(dropped.base, dropped.extensions),
            (WholeEdidFault{WholeEdidFault::kCountMismatch, 0, 2, 1}));

  WholeEdid damaged = whole;
  const uint8_t need = damaged.extensions.blocks[1][127];
  damaged.extensions.blocks[1][127] ^= 0x5A;
  EXPECT_EQ(FindWholeEdidFault(damaged.base, damaged.extensions),
            (WholeEdidFault{WholeEdidFault::kChecksum, 2, need ^ 0x5A, need}));
  UpdateExtensionChecksums(damaged.extensions);
  EXPECT_EQ(FindWholeEdidFault(damaged.base, damaged.extensions), std::nullopt);

  WholeEdid base = whole;
  base.base[127] ^= 1;
  EXPECT_EQ(FindWholeEdidFault(base.base, base.extensions)->block, 0);
}

}  // namespace
}  // namespace tolvex
