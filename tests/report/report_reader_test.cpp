#include "report/report_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <string>

#include "report/edid_report.h"
#include "test_support.h"

namespace tolvex {
namespace {

constexpr std::string_view kFirstRow = "  0: 00   1: ff   2: ff   3: ff   4: ff   5: ff   6: ff   7: 00";
constexpr std::string_view kOlderFirstRow =
    "  0:  0    1: ff    2: ff    3: ff    4: ff    5: ff    6: ff    7:  0";

// The text in a heap block of exactly its size: a std::string keeps a NUL and often spare room
// behind its last character, which would hide a read past the end from the address sanitizer.
class ExactText {
 public:
  explicit ExactText(std::string_view text) : size_(text.size()), data_(new char[text.size()]) {
    std::copy(text.begin(), text.end(), data_.get());
  }
  std::string_view View() const { return {data_.get(), size_}; }

 private:
  size_t size_;
  std::unique_ptr<char[]> data_;
};

// Rewrites the dump rows of a report the way older files hold them: values blank-padded ("%2x")
// and two blanks between cells.
std::string ToOlderLayout(const std::string& report) {
  const size_t dumpStart = report.find(kFirstRow);
  std::string text = report.substr(0, dumpStart);
  for (size_t pos = dumpStart; pos < report.size();) {
    const size_t end = std::min(report.find("\r\n", pos), report.size());
    const std::string row = report.substr(pos, end - pos);
    pos = end + 2;
    const char* rest = row.c_str();
    const char* gap = "";
    int index = 0;
    int used = 0;
    unsigned value = 0;
    while (std::sscanf(rest, "%d: %x%n", &index, &value, &used) == 2) {
      char cell[32];
      std::snprintf(cell, sizeof cell, "%s%3d: %2x", gap, index, value);
      text += cell;
      rest += used;
      gap = "  ";
    }
    text += "\r\n";
  }
  return text;
}

int CountOf(std::string_view text, std::string_view part) {
  int count = 0;
  for (size_t pos = text.find(part); pos != std::string_view::npos; pos = text.find(part, pos + 1)) ++count;
  return count;
}

EdidBytes HeaderOnly() {
  EdidBytes bytes{};
  std::copy(kEdidHeader.begin(), kEdidHeader.end(), bytes.begin());
  return bytes;
}

// ---- Round trips ----------------------------------------------------------------------------

TEST(ReadReport, GivesBackEverySampleInBothLayouts) {
  const auto files = test::SampleFiles();
  if (files.empty()) GTEST_SKIP() << "no sample EDIDs beside the checkout";
  for (const auto& file : files) {
    const EdidBytes sample = test::ReadSample(file);
    EdidBlock block(test::FixedDate(2024, 3, 15));
    block.Bytes() = sample;

    const std::string report = FormatEdidReport(block);
    EXPECT_EQ(block.Bytes(), sample) << file;
    EXPECT_EQ(CountOf(report, "Detailed Timing #") + CountOf(report, "Monitor Descriptor #"), 4) << file;

    const auto content = ReadReport(report);
    ASSERT_TRUE(content.has_value()) << file;
    EXPECT_EQ(content->bytes, sample) << file;
    const auto older = ReadReport(ToOlderLayout(report));
    ASSERT_TRUE(older.has_value()) << file;
    EXPECT_EQ(older->bytes, sample) << file;
  }
}

TEST(ReadReport, FormatSettingsRoundTrip) {
  for (const uint8_t productFormat : {0x00, 0x01, 0x80, 0x81}) {
    for (const uint8_t serialFormat : {0x00, 0x01, 0x02, 0x80}) {
      EdidBlock block(test::FixedDate(2024, 3, 15));
      block.SetProductCode(0x1234);
      block.SetSerialNumber(0x41424344);
      block.SetProductCodeFormat(productFormat);
      block.SetSerialFormat(serialFormat);
      const auto content = ReadReport(FormatEdidReport(block));
      ASSERT_TRUE(content.has_value());
      EXPECT_EQ(content->productCodeFormat, productFormat) << "serial format " << int{serialFormat};
      EXPECT_EQ(content->serialFormat, serialFormat) << "product format " << int{productFormat};
    }
  }
}

// ---- Finding and parsing the dump -----------------------------------------------------------

TEST(FindDumpStart, PrefersTheCurrentLayoutWhereverItIs) {
  const std::string older = "x\r\n" + std::string(kOlderFirstRow);
  const std::string both = older + "\r\n" + std::string(kFirstRow);

  const auto inOlder = FindDumpStart(older);
  ASSERT_TRUE(inOlder.has_value());
  EXPECT_EQ(inOlder->position, 3u);
  EXPECT_EQ(inOlder->cellGap, 2);
  const auto inBoth = FindDumpStart(both);
  ASSERT_TRUE(inBoth.has_value());
  EXPECT_EQ(inBoth->position, older.size() + 2);
  EXPECT_EQ(inBoth->cellGap, 1);
  // A block without the header never opens.
  EXPECT_FALSE(FindDumpStart("  0: 01   1: ff   2: ff   3: ff   4: ff   5: ff   6: ff   7: 00").has_value());
}

// Row ends of every kind, trailing blanks, tabs and upper-case digits all read the same.
TEST(ParseDump, ForgivesLineEndsBlanksAndCase) {
  const char* kBreaks[] = {"\r\n", "\n", "\r", "   \r\n", "\t\n"};
  EdidBytes expected{};
  std::string current;
  std::string older;
  for (int i = 0; i < kEdidSize; ++i) {
    expected[i] = static_cast<uint8_t>(i * 2 + 1);
    const bool rowStart = i % 8 == 0;
    const char* format = i % 16 < 8 ? "%s%3d: %02x" : "%s%3d: %02X";
    char cell[32];
    std::snprintf(cell, sizeof cell, format, rowStart ? "" : " ", i, expected[i]);
    current += cell;
    std::snprintf(cell, sizeof cell, "%s%3d: %2x", rowStart ? "" : "  ", i, expected[i]);
    older += cell;
    if (i % 8 == 7) {
      current += kBreaks[i / 8 % 5];
      older += kBreaks[(i / 8 + 2) % 5];
    }
  }
  EXPECT_EQ(ParseDump(current, {0, 1}), expected);
  EXPECT_EQ(ParseDump(older, {0, 2}), expected);
}

TEST(ParseDump, CellWithoutDigitIsZeroAndTheNextRowStillReads) {
  const std::string text = std::string(kFirstRow.substr(0, kFirstRow.size() - 2)) + "zz\r\n" +
                           "  8: 12   9: 34  10: 56  11: 78  12: 9a  13: bc  14: de  15: f0\r\n";
  const EdidBytes bytes = ParseDump(text, {0, 1});
  EXPECT_EQ(bytes[7], 0x00);
  EXPECT_EQ(bytes[8], 0x12);
  EXPECT_EQ(bytes[15], 0xF0);
}

// ---- Format lines ---------------------------------------------------------------------------

TEST(ReadFormats, TakeTheFirstKeyedLineOnly) {
  EXPECT_EQ(ReadProductCodeFormat("\tID Product Code                 :  04660 (DEC. swap)\r\n"), 0x81);
  EXPECT_EQ(ReadProductCodeFormat("ID Product Code :  1234 (HEX.)\r\nDEC. swap"), 0x00);
  EXPECT_EQ(ReadProductCodeFormat("ID Product Code :  1234 (HEX.)\rDEC."), 0x00);
  EXPECT_EQ(ReadProductCodeFormat("ID Product Code 1\nID Product Code DEC."), 0x00);
  // Without the key the start of the text is read.
  EXPECT_EQ(ReadProductCodeFormat("swap\r\nDEC."), 0x80);
  EXPECT_EQ(ReadSerialFormat("ASCII\r\nID Serial Number :  Unused"), 0x80);
}

TEST(ReadFormats, LookAt255CharactersAtMost) {
  const std::string key = "ID Product Code";
  const std::string fits = key + std::string(255 - key.size() - 4, ' ') + "DEC.";
  const std::string beyond = key + std::string(255 - key.size() - 3, ' ') + "DEC.";
  EXPECT_EQ(ReadProductCodeFormat(fits), 0x01);
  EXPECT_EQ(ReadProductCodeFormat(beyond), 0x00);
}

TEST(ReadFormats, SerialMarksInOrderOfPrecedence) {
  EXPECT_EQ(ReadSerialFormat("ID Serial Number :  Unused ASCII DEC."), 0x01);
  EXPECT_EQ(ReadSerialFormat("ID Serial Number :  Unused ASCII"), 0x02);
  EXPECT_EQ(ReadSerialFormat("ID Serial Number :  Unused"), 0x80);
  EXPECT_EQ(ReadSerialFormat("ID Serial Number :  DEC (HEX.)"), 0x00);
}

// ---- Robustness -----------------------------------------------------------------------------

// Every cut through the dump: cells wholly inside the text keep their value, cells whose digits
// lie beyond the cut read 0x00.
TEST(ReadReport, TruncatedDumps) {
  EdidBlock block(test::FixedDate(2024, 3, 15));
  for (int i = 8; i < kEdidSize; ++i) block.Bytes()[i] = static_cast<uint8_t>(0xA5 ^ i);
  const std::string report = FormatEdidReport(block);
  const size_t start = report.find(kFirstRow);
  constexpr size_t kRowLength = 8 * 7 + 7 + 2;  // eight "%3d: %02x" cells, seven blanks, CR LF

  for (size_t cut = start + kFirstRow.size(); cut <= report.size(); ++cut) {
    const ExactText text(std::string_view(report).substr(0, cut));
    const auto content = ReadReport(text.View());
    ASSERT_TRUE(content.has_value()) << "cut " << cut;
    for (int i = 0; i < kEdidSize; ++i) {
      const size_t digits = start + i / 8 * kRowLength + i % 8 * 8 + 5;
      if (digits + 2 <= cut) {
        ASSERT_EQ(content->bytes[i], block.Bytes()[i]) << "cut " << cut << ", byte " << i;
      } else if (digits >= cut) {
        ASSERT_EQ(content->bytes[i], 0) << "cut " << cut << ", byte " << i;
      }
    }
  }
}

TEST(ReadReport, DumpRowAtTheVeryEnd) {
  for (const std::string_view row : {kFirstRow, kOlderFirstRow}) {
    const ExactText text("report text\r\n" + std::string(row));
    const auto content = ReadReport(text.View());
    ASSERT_TRUE(content.has_value());
    EXPECT_EQ(content->bytes, HeaderOnly());
  }
}

TEST(ReadReport, NoDumpRow) {
  EdidBlock block(test::FixedDate(2024, 3, 15));
  EXPECT_FALSE(ReadReport(FormatReport(block)).has_value());
  EXPECT_FALSE(ReadReport("").has_value());
  block.Bytes()[0] = 0x01;  // no header, no dump a reader will accept
  EXPECT_FALSE(ReadReport(FormatEdidReport(block)).has_value());
}

TEST(ReadReport, MegabyteOfBlanks) {
  const std::string blanks(1 << 20, ' ');
  EXPECT_FALSE(ReadReport(blanks).has_value());
  EXPECT_EQ(ParseDump(blanks, {0, 2}), EdidBytes{});
  EXPECT_EQ(ReadSerialFormat(blanks), 0);

  const ExactText text(std::string(kFirstRow) + blanks);
  const auto content = ReadReport(text.View());
  ASSERT_TRUE(content.has_value());
  EXPECT_EQ(content->bytes, HeaderOnly());
}

TEST(ParseDump, StartOutsideTheText) {
  const ExactText text(kFirstRow);
  EXPECT_EQ(ParseDump(text.View(), {text.View().size() + 100, 1}), EdidBytes{});
  EXPECT_EQ(ParseDump(text.View(), {0, -3}).at(0), 0x00);
}

// Random texts over an alphabet that makes dump-like runs likely, raw random bytes, and real
// dumps with bytes flipped and cut short. Whatever the text, a dump row found gives the header.
TEST(ReadReport, SurvivesRandomTexts) {
  const std::string alphabet("0123456789abcdefABCDEF:  \t\r\n\0xDEC.swap", 38);
  EdidBlock block(test::FixedDate(2024, 3, 15));
  const std::string dump = FormatHexDump(block);
  std::mt19937 random(20240315);

  for (int round = 0; round < 4000; ++round) {
    std::string text;
    if (round % 4 == 3) {
      text = dump.substr(0, random() % (dump.size() + 1));
      for (int flips = random() % 8; flips > 0 && !text.empty(); --flips) {
        text[random() % text.size()] = static_cast<char>(random());
      }
    } else {
      for (size_t length = random() % 700; text.size() < length;) {
        text += round % 4 == 0 ? static_cast<char>(random()) : alphabet[random() % alphabet.size()];
      }
      if (round % 3 == 0) text.insert(random() % (text.size() + 1), round % 2 ? kFirstRow : kOlderFirstRow);
    }

    const ExactText exact(text);
    const auto start = FindDumpStart(exact.View());
    const auto content = ReadReport(exact.View());
    ASSERT_EQ(content.has_value(), start.has_value()) << "round " << round;
    if (content) {
      // The older row ends in a one-digit value, which a hex digit right behind it extends.
      const auto headerEnd = kEdidHeader.begin() + (start->cellGap == 1 ? 8 : 7);
      ASSERT_TRUE(std::equal(kEdidHeader.begin(), headerEnd, content->bytes.begin())) << "round " << round;
    }
    ParseDump(exact.View(), {random() % (text.size() + 2), 1 + round % 2});
  }
}

// ---- Telling a damaged dump from a well-formed one ---------------------------------------

// The line (counted from 1) on which `part` starts.
size_t LineOf(const std::string& text, const std::string& part) {
  const size_t position = text.find(part);
  return static_cast<size_t>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(position), '\n')) + 1;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  const size_t position = text.find(from);
  return position == std::string::npos ? text : text.replace(position, from.size(), to);
}

TEST(ReadDump, WellFormedDumpsOfBothLayoutsHaveNoDamage) {
  EdidBlock block(test::FixedDate(2024, 3, 15));
  for (int i = 8; i < kEdidSize; ++i) block.Bytes()[i] = static_cast<uint8_t>(i * 37);
  const std::string report = FormatEdidReport(block);
  std::string lf = report;
  lf.erase(std::remove(lf.begin(), lf.end(), '\r'), lf.end());
  // Upper-case digits after the first row (which readers find by its exact text), blanks after a row.
  std::string upperAndBlanks = Replace(report, "\r\n 16:", "  \t\r\n 16:");
  const auto secondRow = upperAndBlanks.begin() + static_cast<std::ptrdiff_t>(report.find(kFirstRow) + kFirstRow.size());
  std::transform(secondRow, upperAndBlanks.end(), secondRow,
                 [](char c) { return c >= 'a' && c <= 'f' ? static_cast<char>(c - 32) : c; });
  for (const std::string& text : {report, ToOlderLayout(report), lf, upperAndBlanks}) {
    const auto content = ReadReport(text);
    ASSERT_TRUE(content.has_value());
    EXPECT_FALSE(content->damage.has_value()) << DescribeDumpDamage(*content->damage);
    EXPECT_EQ(content->bytes, block.Bytes());
  }
}

// Any run of blanks pads a row for the strict reader, so the forgiving one (whose bytes a damaged
// dump gets, and whose count of supplied cells says what is missing) must read the same.
TEST(ReadDump, BothReadersTakeAnyRunOfBlanksAfterARow) {
  EdidBlock block(test::FixedDate(2024, 3, 15));
  for (int i = 8; i < kEdidSize; ++i) block.Bytes()[i] = static_cast<uint8_t>(i * 53);
  block.Bytes()[126] = 0;  // no extension blocks to miss
  const std::string report = FormatEdidReport(block);
  for (const std::string& layout : {report, ToOlderLayout(report)}) {
    for (const char* next : {"\r\n  8:", "\r\n 16:", "\r\n120:"}) {
      for (const size_t run : {1, 78, 79, 80, 81, 200, 5000}) {
        for (const char blank : {' ', '\t'}) {
          const std::string text = Replace(layout, next, std::string(run, blank) + next);
          const std::string where = std::string(next + 2) + " after " + std::to_string(run) + " blanks";
          const auto content = ReadReport(text);
          ASSERT_TRUE(content.has_value()) << where;
          EXPECT_FALSE(content->damage.has_value()) << where;
          EXPECT_EQ(content->bytes, block.Bytes()) << where;
          EXPECT_EQ(ParseDump(text, *FindDumpStart(text)), block.Bytes()) << where;
          EXPECT_EQ(content->extensions.missingBytes, 0) << where;
        }
      }
    }
  }
}

TEST(ReadDump, DamageNamesTheLineAndWhatIsWrong) {
  EdidBlock block(test::FixedDate(2024, 3, 15));
  const std::string report = FormatEdidReport(block);
  const std::string older = ToOlderLayout(report);
  const std::string row3 = " 24: 00  25: 00  26: 00  27: 00  28: 00  29: 00  30: 00  31: 00\r\n";
  const std::string row4 = " 32: 00  33: 00  34: 00  35: 00  36: 00  37: 00  38: 01  39: 01\r\n";
  ASSERT_NE(report.find(row3 + row4), std::string::npos);
  const size_t line3 = LineOf(report, row3);
  const std::string firstOlder(kOlderFirstRow);

  struct Case {
    const char* what;
    std::string text;
    DumpDamage expected;
  };
  const Case cases[] = {
      {"a missing cell", Replace(report, "  28: 00", ""), {DumpDamage::kCellCount, line3, 24, 7}},
      {"two rows on one line, one cell lost", Replace(report, "  31: 00\r\n", " "), {DumpDamage::kCellCount, line3, 24, 15}},
      {"seventeen cells", Replace(report, "  31: 00\r\n", "  31: 00  99: 00 "), {DumpDamage::kCellCount, line3, 24, 17}},
      {"a NUL inside a cell", Replace(report, " 26: 00", std::string(" 26: 0\0", 7)), {DumpDamage::kCellValue, line3, 26}},
      {"an offset out of step", Replace(report, " 27: 00", " 72: 00"), {DumpDamage::kCellOffset, line3, 27}},
      {"a cell moved by a blank", Replace(report, "  27: 00", "   27: 00"), {DumpDamage::kCellOffset, line3, 27}},
      {"text after the eighth cell", Replace(report, " 31: 00\r\n", " 31: 00 x\r\n"), {DumpDamage::kTrailing, line3, 24}},
      {"the dump cut after three rows", report.substr(0, report.find(row3)), {DumpDamage::kRowMissing, line3, 24}},
      {"an older first row and one more digit", Replace(older, firstOlder, firstOlder + "5"),
       {DumpDamage::kCellValue, LineOf(older, firstOlder), 7}},
      {"an older row in the current layout", Replace(report, row3, " 24:  0   25: 00  26: 00  27: 00  28: 00  29: 00  30: 00  31: 00\r\n"),
       {DumpDamage::kCellValue, line3, 24}},
  };
  for (const Case& c : cases) {
    const auto content = ReadReport(c.text);
    ASSERT_TRUE(content.has_value()) << c.what;
    ASSERT_TRUE(content->damage.has_value()) << c.what;
    EXPECT_EQ(content->damage->kind, c.expected.kind) << c.what << ": " << DescribeDumpDamage(*content->damage);
    EXPECT_EQ(content->damage->line, c.expected.line) << c.what;
    EXPECT_EQ(content->damage->offset, c.expected.offset) << c.what;
    EXPECT_EQ(content->damage->cells, c.expected.cells) << c.what;
    EXPECT_EQ(content->bytes, ParseDump(c.text, *FindDumpStart(c.text))) << c.what << ": the forgiving bytes";
  }
  EXPECT_EQ(DescribeDumpDamage({DumpDamage::kCellCount, 12, 24, 7}), "line 12: 7 cells where a dump row has 8");
}

// Rows go on past the base block in the same layout, wider from offset 1000 on.
TEST(DumpRowReader, ReadsRowsBeyondTheBaseBlock) {
  const std::string text =
      "128: 02 129: 03 130: 0a 131: 0B 132: 10 133: 20 134: 30 135: ff\r\n"
      "1000: 01 1001: 02 1002: 03 1003: 04 1004: 05 1005: 06 1006: 07 1007: 08\n";
  DumpRowReader reader(text, {0, 1});
  uint8_t bytes[8] = {};
  EXPECT_FALSE(reader.ReadRow(128, bytes).has_value());
  EXPECT_EQ(bytes[3], 0x0B);
  EXPECT_EQ(bytes[7], 0xFF);
  const auto damage = reader.ReadRow(999, bytes);
  ASSERT_TRUE(damage.has_value());
  EXPECT_EQ(damage->line, 2u);
  EXPECT_FALSE(reader.ReadRow(1000, bytes).has_value());
  EXPECT_EQ(bytes[7], 0x08);
  EXPECT_EQ(reader.Position(), text.size());
}

// An ASCII serial that holds a line break, or spells a format mark, keeps its format.
TEST(ReadReport, AsciiSerialSurvivesLineBreaksAndMarks) {
  for (const char* serial : {"A\rB\n", "\n\n\n\n", "DEC.", "swap"}) {
    EdidBlock block(test::FixedDate(2024, 3, 15));
    block.SetSerialText(serial);
    block.SetSerialFormat(kSerialAscii);
    const auto content = ReadReport(FormatEdidReport(block));
    ASSERT_TRUE(content.has_value());
    EXPECT_EQ(content->serialFormat, kSerialAscii) << serial;
    EXPECT_EQ(content->bytes, block.Bytes()) << serial;
  }
}

}  // namespace
}  // namespace tolvex
