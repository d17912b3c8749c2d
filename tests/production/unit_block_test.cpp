#include "production/unit_block.h"

#include <gtest/gtest.h>

#include "ddc/sim/sim_edid.h"
#include "production/serial_template.h"
#include "test_support.h"

namespace tolvex {
namespace {

SerialTemplate Template(std::string_view text) {
  std::string error;
  std::optional<SerialTemplate> parsed = SerialTemplate::Parse(text, error);
  EXPECT_TRUE(parsed) << text << ": " << error;
  return parsed ? *parsed : SerialTemplate();
}

TEST(SerialTemplateTest, ExpandsFieldsAndFormats) {
  struct Row {
    const char* text;
    SerialFields fields;
    const char* expected;
  };
  const Row rows[] = {
      {"{}", {42, 2024, 9}, "42"},
      {"SN{:06d}", {123, 2024, 9}, "SN000123"},
      {"{year}{week:02d}{n:05d}", {42, 2024, 9}, "20240900042"},
      {"{n:X}-{n:x}", {0xBEEF, 0, 0}, "BEEF-beef"},
      {"{:4}|", {7, 0, 0}, "   7|"},
      {"{{{}}}", {5, 0, 0}, "{5}"},
      {"{:03d}", {123456, 0, 0}, "123456"},
      {"{}", {UINT64_MAX, 0, 0}, "18446744073709551615"},
  };
  for (const Row& row : rows) EXPECT_EQ(Template(row.text).Expand(row.fields), row.expected) << row.text;
}

TEST(SerialTemplateTest, RefusesWhatItCannotExpand) {
  for (const char* text : {"SN{", "SN}", "{serial}", "{:abc}", "{:21d}", "{:-3d}", "{n:06s}", "S\xC3\xA9{}", "a\tb"}) {
    std::string error;
    EXPECT_FALSE(SerialTemplate::Parse(text, error)) << text;
    EXPECT_FALSE(error.empty()) << text;
  }
}

class UnitBlockTest : public ::testing::Test {
 protected:
  UnitBlockTest() : block_(test::FixedDate(2020, 3, 1)) {
    sim::FillSimulatedEdid(block_, false);  // serial descriptor "SIM0012345" in block 4
    block_.UpdateChecksum();
  }

  std::optional<UnitBlock> Make(std::optional<uint64_t> number, SerialField field, std::string_view text,
                                uint8_t serialFormat = kSerialDecimal, bool stamp = false) {
    UnitPlan plan;
    plan.field = field;
    plan.text = Template(text);
    plan.stampDate = stamp;
    error_.clear();
    return MakeUnitBlock(block_.Bytes(), serialFormat, number, {2024, 3, 5}, plan, error_);
  }

  static uint8_t Sum(const EdidBytes& bytes) {
    uint8_t sum = 0;
    for (uint8_t b : bytes) sum = static_cast<uint8_t>(sum + b);
    return sum;
  }

  EdidBlock block_;
  std::string error_;
};

TEST_F(UnitBlockTest, BinaryFieldTakesTheNumberAndNothingElseChanges) {
  const auto unit = Make(0x01020304, SerialField::kBinary, "SN{:06d}");
  ASSERT_TRUE(unit) << error_;
  EXPECT_EQ(unit->serialText, "SN16909060");
  for (int i = 0; i < 127; ++i) {
    const uint8_t expected = i >= 12 && i <= 15 ? static_cast<uint8_t>(0x04 - (i - 12)) : block_.Bytes()[i];
    EXPECT_EQ(unit->bytes[i], expected) << "byte " << i;
  }
  EXPECT_EQ(Sum(unit->bytes), 0) << "the checksum is the unit's own";
}

TEST_F(UnitBlockTest, SerialDescriptorKeepsItsLineEndAndPadding) {
  const auto unit = Make(42, SerialField::kDescriptor, "SN{:06d}");
  ASSERT_TRUE(unit) << error_;
  const uint8_t expected[18] = {0, 0, 0, 0xFF, 0, 'S', 'N', '0', '0', '0', '0', '4', '2', 0x0A, 0x20, 0x20, 0x20, 0x20};
  EXPECT_TRUE(std::equal(std::begin(expected), std::end(expected), unit->bytes.begin() + 108));
  EXPECT_TRUE(std::equal(block_.Bytes().begin(), block_.Bytes().begin() + 108, unit->bytes.begin()))
      << "the binary serial and the other descriptors stay";
  EXPECT_EQ(Sum(unit->bytes), 0);

  const auto full = Make(1234567890123, SerialField::kDescriptor, "{:013d}");
  ASSERT_TRUE(full) << error_;
  EXPECT_EQ(std::string(full->bytes.begin() + 113, full->bytes.begin() + 126), "1234567890123") << "13 characters, no 0x0A";
}

TEST_F(UnitBlockTest, BothFieldsAndTheAsciiSerialFormat) {
  const auto both = Make(7, SerialField::kBoth, "U{:03d}", kSerialAscii);
  ASSERT_TRUE(both) << error_;
  EXPECT_EQ(std::string(both->bytes.begin() + 12, both->bytes.begin() + 16), "700U") << "first character in byte 15";
  EXPECT_EQ(std::string(both->bytes.begin() + 113, both->bytes.begin() + 118), "U007\n");
}

TEST_F(UnitBlockTest, SerialsThatWouldBeCutAreRefused) {
  struct Row {
    uint64_t number;
    SerialField field;
    const char* text;
    uint8_t serialFormat;
  };
  const Row rows[] = {
      {uint64_t{1} << 32, SerialField::kBinary, "{}", kSerialHex},
      {1, SerialField::kDescriptor, "{:014d}", kSerialHex},
      {12345, SerialField::kBinary, "{}", kSerialAscii},
      {1, SerialField::kBoth, "{}", kSerialUnused | kSerialDecimal},
  };
  for (const Row& row : rows) {
    EXPECT_FALSE(Make(row.number, row.field, row.text, row.serialFormat)) << row.text;
    EXPECT_FALSE(error_.empty());
  }
  block_.SelectDescriptor(3);
  block_.SetDescriptorText(kTagDataString, "no serial");
  EXPECT_FALSE(Make(1, SerialField::kDescriptor, "{}"));
  EXPECT_TRUE(Make(1, SerialField::kBinary, "{}")) << "the binary field needs no descriptor";
}

TEST_F(UnitBlockTest, DateStampAndTheTemplatesDateFields) {
  const auto kept = Make(3, SerialField::kDescriptor, "{year}-{week:02d}-{}");
  ASSERT_TRUE(kept);
  EXPECT_EQ(kept->serialText, "2020-09-3") << "the block's own date without the stamp";
  EXPECT_EQ(kept->bytes[16], block_.Bytes()[16]);

  const auto stamped = Make(3, SerialField::kDescriptor, "{year}-{week:02d}-{}", kSerialDecimal, true);
  ASSERT_TRUE(stamped);
  EXPECT_EQ(stamped->serialText, "2024-10-3") << "5 March 2024 is day 64: week 10";
  EXPECT_EQ(stamped->bytes[16], 10);
  EXPECT_EQ(stamped->bytes[17], 2024 - 1990);
  EXPECT_EQ(Sum(stamped->bytes), 0);
}

TEST_F(UnitBlockTest, WithoutACounterTheBlockKeepsItsSerial) {
  const auto unit = Make(std::nullopt, SerialField::kBoth, "{}", kSerialDecimal, true);
  ASSERT_TRUE(unit);
  EXPECT_EQ(unit->serialText, "SIM0012345");
  EXPECT_EQ(unit->serialNumber, 0x12345u);
  EXPECT_TRUE(std::equal(block_.Bytes().begin() + 18, block_.Bytes().end() - 1, unit->bytes.begin() + 18));
}

}  // namespace
}  // namespace tolvex
