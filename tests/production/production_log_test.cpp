#include "production/production_log.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "file_faults.h"
#include "production/production_texts.h"
#include "test_support.h"

namespace tolvex {
namespace {

namespace fs = std::filesystem;

UnitRecord Failed() {
  UnitRecord record;
  record.time = 0;
  record.channel = "Black Box";
  record.bus = "0x378";
  record.protocol = "DDC2B, factory page F8";
  record.serialText = "SN \"7\"";
  record.serialNumber = 7;
  record.checksum = 0x0B;
  record.result = "Verify error: EDID code verified error\ndetail";
  record.differences = {{12, 0x07, 0xFF}, {127, 0x0B, 0x3C}};
  return record;
}

TEST(ProductionLogTest, OneLinePerUnitWithQuotedFields) {
  const std::string line = FormatLogLine(Failed());
  const std::string time = IsoLocalTime(0);
  EXPECT_EQ(line, time +
                      ",Black Box,0x378,\"DDC2B, factory page F8\",\"SN \"\"7\"\"\",7,0x0B,FAIL,"
                      "Verify error: EDID code verified error detail,0C:07>FF 7F:0B>3C,\n");
  ASSERT_EQ(time.size(), 25u) << time;
  EXPECT_EQ(time[10], 'T');
  EXPECT_EQ(time[22], ':') << "the offset from UTC as +hh:mm";
}

TEST(ProductionLogTest, AppendsAfterTheHeaderAndNeverRewrites) {
  const fs::path path = fs::temp_directory_path() / ("tolvex-log-test-" + std::to_string(getpid()) + ".csv");
  fs::remove(path);
  ProductionLog log(path.string());
  UnitRecord passed = Failed();
  passed.verified = true;
  passed.result = production_texts::kVerified;
  passed.differences.clear();
  std::string error;
  ASSERT_TRUE(log.Append(passed, error)) << error;
  ASSERT_TRUE(ProductionLog(path.string()).Append(Failed(), error)) << error;
  EXPECT_EQ(test::ReadFile(path),
            std::string(production_texts::kLogHeader) + FormatLogLine(passed) + FormatLogLine(Failed()));
  fs::remove(path);

  EXPECT_FALSE(ProductionLog(fs::temp_directory_path().string()).Append(passed, error)) << "a folder";
  EXPECT_NE(error.find("cannot write the log"), std::string::npos) << error;
}

// A record is on a line of its own, whole, or not there at all: a write that cannot finish (the
// disk full, here a file-size limit) leaves the file as it was, so the next record is not glued
// to a fragment, and a fragment someone else left does not swallow the record.
TEST(ProductionLogTest, ARecordGoesInWholeOrNotAtAll) {
  const fs::path path = fs::temp_directory_path() / ("tolvex-log-torn-" + std::to_string(getpid()) + ".csv");
  const std::string header = production_texts::kLogHeader;
  const std::string line = FormatLogLine(Failed());
  const std::string earlier = header.substr(0, header.rfind(",backup")) + "\n";
  const std::string oldLine = FormatLogLine(Failed(), false);
  ASSERT_EQ(oldLine.substr(0, oldLine.size() - 1) + ",\n", line) << "the same fields but the (empty) backup";
  const struct {
    const char* name;
    std::string before;
    std::optional<size_t> room;  // bytes the file may still grow by
    std::string after;
  } rows[] = {
      {"a new file", "", std::nullopt, header + line},
      {"after a whole line", header + line, std::nullopt, header + line + line},
      {"after a fragment", header + "2024-03-05T1", std::nullopt, header + "2024-03-05T1\n" + line},
      {"no room for the whole line", header + line, line.size() / 2, header + line},
      {"no room for the header", "", header.size() - 1, ""},
      // A log begun before the backup column keeps as many fields on every line as its header.
      {"a log without the backup column", earlier + oldLine, std::nullopt, earlier + oldLine + oldLine},
  };
  for (const auto& row : rows) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << row.before;
    std::string error;
    bool appended = false;
    {
      std::optional<test::FileSizeLimit> limit;
      if (row.room) limit.emplace(row.before.size() + *row.room);
      appended = ProductionLog(path.string()).Append(Failed(), error);
    }
    EXPECT_EQ(appended, !row.room) << row.name << ": " << error;
    EXPECT_EQ(test::ReadFile(path), row.after) << row.name;
  }
  fs::remove(path);
}

}  // namespace
}  // namespace tolvex
