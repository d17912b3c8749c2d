// The EDID code window's text: fixed rows of label, hex cells and characters.
#include "report/code_dump.h"

#include <gtest/gtest.h>

namespace tolvex {
namespace {

TEST(CodeDump, RowsHaveTheFixedLayoutAndPrintableCharactersOnly) {
  EdidBytes bytes{};
  for (int i = 0; i < 128; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 0x19);
  bytes[8] = 0x7F;   // shown as itself
  bytes[9] = 0x80;   // "."
  bytes[10] = 0x1F;  // "."
  bytes[11] = 0x20;  // a blank
  const std::string text = FormatCodeDump(bytes);
  ASSERT_EQ(text.size(), 638u);
  EXPECT_EQ(text.substr(40, 40), "08x  7F 80 1F 20 " + std::string("6D 74 7B 82") + "  \x7F.. mt{.\r\n");
  EXPECT_EQ(text.substr(600), "78x  " + text.substr(605, 24) + " " + text.substr(630));
  EXPECT_EQ(text.substr(630).find('\r'), std::string::npos);  // the last row has no line end
  for (int b = 0; b < 128; ++b) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", bytes[b]);
    EXPECT_EQ(text.substr(CodeHexPosition(b), 2), hex) << b;
    EXPECT_EQ(text[CodeCharPosition(b)], CodeChar(bytes[b])) << b;
  }
}

TEST(CodeDump, ARangeRendersExactlyTheTextItReplaces) {
  EdidBytes bytes{};
  for (int i = 0; i < 128; ++i) bytes[i] = static_cast<uint8_t>(255 - i);
  const std::string whole = FormatCodeDump(bytes);
  for (auto [first, last] : {std::pair{17, 17}, {54, 71}, {7, 8}, {0, 127}, {120, 127}, {38, 53}}) {
    const int from = CodeHexPosition(first);
    const int to = CodeCharPosition(last) + 1;
    EXPECT_EQ(FormatCodeRange(bytes, first, last), whole.substr(from, to - from)) << first << "-" << last;
  }
}

}  // namespace
}  // namespace tolvex
