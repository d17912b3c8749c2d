#include "production/production_log.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

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
                      "Verify error: EDID code verified error detail,0C:07>FF 7F:0B>3C\n");
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

}  // namespace
}  // namespace tolvex
