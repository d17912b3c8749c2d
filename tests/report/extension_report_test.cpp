// Whole EDIDs in the report: the extension sections after the base block's dump, and reading
// them back.
#include <gtest/gtest.h>

#include <string>

#include "model/edid_extensions.h"
#include "report/edid_report.h"
#include "report/report_reader.h"
#include "report_test_support.h"
#include "test_support.h"

namespace tolvex {
namespace {

struct Whole {
  EdidBlock block{test::FixedDate(2026, 12, 8)};
  std::vector<EdidBytes> extensions;

  explicit Whole(std::vector<EdidBytes> blocks) : extensions(std::move(blocks)) {
    block.Bytes()[126] = static_cast<uint8_t>(extensions.size());
    block.UpdateChecksum();
  }
  std::string Report() { return FormatEdidReport(block, extensions); }
};

TEST(ExtensionReport, FollowsTheUnchangedBaseReport) {
  Whole whole({test::MakeCtaBlock()});
  const std::string base = FormatEdidReport(whole.block);
  const std::string report = whole.Report();
  EXPECT_EQ(report.substr(0, base.size()), base);
  EXPECT_EQ(report.substr(base.size()), FormatExtensionSections(whole.extensions));
  // Without extensions nothing follows.
  EXPECT_EQ(FormatEdidReport(whole.block, {}), base);
}

TEST(ExtensionReport, SectionHeadingAndRows) {
  EdidBytes cta = test::MakeCtaBlock();
  const std::string section = FormatExtensionSections(std::vector<EdidBytes>{cta});
  char checksum[80];
  std::snprintf(checksum, sizeof checksum, "\tCheck sum                       :  %02X (HEX.), correct", cta[127]);
  EXPECT_EQ(section.substr(0, section.find("128:")),
            test::Lines({"", "**********************************************************************",
                         "EDID extension block 1 (128 bytes)", "\tBlock Kind                      :  CTA-861 revision 3",
                         checksum, "**********************************************************************", ""}));
  EXPECT_EQ(test::Between(section, "128:", "\r\n"), "128: 02 129: 03 130: 13 131: f1 132: 44 133: 90 134: 04 135: 03");
  // The rows end with the checksum cell; the decoded lines follow after an empty line.
  const std::string lastRow = "254: 00 255: " + [&] {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02x", cta[127]);
    return std::string(hex);
  }() + "\r\n";
  ASSERT_NE(section.find(lastRow), std::string::npos);
  EXPECT_EQ(section.substr(section.find(lastRow) + lastRow.size(), 11), "\r\n\tRevision");
}

TEST(ExtensionReport, NamesEachKindAndAWrongChecksum) {
  struct Case {
    uint8_t tag;
    const char* kind;
  };
  const Case cases[] = {{0x70, "DisplayID"}, {0xF0, "block map"}, {0x10, "VTB"}, {0x40, "unknown tag 0x40"}};
  for (const Case& c : cases) {
    const std::string section = FormatExtensionSections(std::vector<EdidBytes>{test::MakeExtensionBlock(c.tag, 3)});
    EXPECT_EQ(test::ValueAfter(section, "\tBlock Kind                      :  "), c.kind);
  }
  EdidBytes wrong = test::MakeExtensionBlock(0x70, 3);
  const uint8_t need = wrong[127];
  wrong[127] = static_cast<uint8_t>(need + 1);
  char expected[80];
  std::snprintf(expected, sizeof expected, "%02X (HEX.), wrong: the block's bytes need %02X (HEX.)", wrong[127], need);
  EXPECT_EQ(test::ValueAfter(FormatExtensionSections(std::vector<EdidBytes>{wrong}), "\tCheck sum                       :  "),
            expected);
}

TEST(ExtensionReport, OffsetsGrowPastThreeDigits) {
  std::vector<EdidBytes> blocks;
  for (int k = 1; k <= 9; ++k) blocks.push_back(test::MakeExtensionBlock(0xF0, static_cast<uint8_t>(k)));
  const std::string sections = FormatExtensionSections(blocks);
  EXPECT_NE(sections.find("\r\n1016: "), std::string::npos);
  EXPECT_NE(sections.find("\r\n1144: "), std::string::npos);
  EXPECT_NE(sections.find(" 1279: "), std::string::npos);
}

// ---- Reading back ---------------------------------------------------------------------------

TEST(ExtensionReader, GivesBackEveryBlock) {
  std::vector<EdidBytes> blocks = {test::MakeCtaBlock()};
  for (int k = 2; k <= 10; ++k) blocks.push_back(test::MakeExtensionBlock(k % 2 ? 0x70 : 0xF0, static_cast<uint8_t>(k * 7)));
  Whole whole(blocks);
  const std::optional<ReportContent> content = ReadReport(whole.Report());
  ASSERT_TRUE(content);
  EXPECT_EQ(content->bytes, whole.block.Bytes());
  EXPECT_EQ(content->extensions.blocks, blocks);
  EXPECT_EQ(content->extensions.missingBytes, 0);
}

TEST(ExtensionReader, ReadsLineEndsOfEveryKind) {
  Whole whole({test::MakeCtaBlock(), test::MakeExtensionBlock(0x70, 1)});
  std::string lf = whole.Report();
  for (size_t at = lf.find("\r\n"); at != std::string::npos; at = lf.find("\r\n", at)) lf.erase(at, 1);
  EXPECT_EQ(ReadReport(lf)->extensions.blocks, whole.extensions);
}

TEST(ExtensionReader, CountsWhatIsMissing) {
  Whole whole({test::MakeCtaBlock(), test::MakeExtensionBlock(0x70, 1)});
  const std::string report = whole.Report();
  struct Case {
    const char* name;
    std::string text;
    int blocks;
    int missing;
  };
  const size_t block2 = report.find("\r\n256: ") + 2;
  const Case cases[] = {
      {"whole", report, 2, 0},
      {"the second section gone", report.substr(0, report.find("\r\n\r\n***", block2 - 400)) , 1, 128},
      {"cut after the first row of block 2", report.substr(0, report.find("\r\n", block2) + 2), 2, 120},
      {"cut inside a cell", report.substr(0, block2 + 12), 2, 127},
      // Byte 126 itself is among the missing bytes.
      {"cut inside the base dump", report.substr(0, report.find("\r\n120: ")), 0, 8},
  };
  for (const Case& c : cases) {
    const std::optional<ReportContent> content = ReadReport(c.text);
    ASSERT_TRUE(content) << c.name;
    EXPECT_EQ(content->extensions.Count(), c.blocks) << c.name;
    EXPECT_EQ(content->extensions.missingBytes, c.missing) << c.name;
  }
  // A section whose cells were edited out of order ends its block there.
  std::string edited = report;
  edited.replace(edited.find("260: "), 3, "261");
  EXPECT_EQ(ReadReport(edited)->extensions.missingBytes, 124);
}

}  // namespace
}  // namespace tolvex
