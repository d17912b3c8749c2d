// The raw white-point bytes and the standard timing descriptor's end byte that the list editors
// use to move entries without decoding them.
#include <gtest/gtest.h>

#include "model/edid_block.h"

namespace tolvex {
namespace {

TEST(DescriptorEntryBytes, WhitePointMovesUnchangedAndTheEndIsWritten) {
  EdidBlock block([] { return CalendarDate{2024, 3, 1}; });
  block.SelectDescriptor(3);
  block.SetColorPoint(1, 7, 0.28f, 0.3f, 1.8f);
  const std::array<uint8_t, 5> second = block.GetColorPointBytes(1);
  EXPECT_EQ(second, (std::array<uint8_t, 5>{7, 0x0F, 71, 76, 80}));

  block.Bytes()[108 + 15] = 0;
  block.SetColorPointBytes(0, second);
  block.SetColorPointBytes(1, {});
  EXPECT_EQ(block.GetColorPointBytes(0), second);
  EXPECT_EQ(block.GetColorPoint(1).index, 0);
  EXPECT_EQ(block.Bytes()[108 + 15], 0x0A);
  EXPECT_EQ(block.Bytes()[108 + 16], 0x20);
  EXPECT_EQ(block.Bytes()[108 + 17], 0x20);
  EXPECT_EQ(block.Bytes()[108 + 3], 0xFB);  // the header is the caller's
}

TEST(DescriptorEntryBytes, StdTimingTerminatorIsByte17OfTheCurrentDescriptor) {
  EdidBlock block([] { return CalendarDate{2024, 3, 1}; });
  block.SelectDescriptor(1);
  const EdidBytes before = block.Bytes();
  block.SetStdTimingIdTerminator();
  for (int i = 0; i < kEdidSize; ++i)
    EXPECT_EQ(block.Bytes()[static_cast<size_t>(i)], i == 89 ? 0x0A : before[static_cast<size_t>(i)]) << i;
}

}  // namespace
}  // namespace tolvex
