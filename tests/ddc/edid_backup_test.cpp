// The backups a write keeps of what an EEPROM held: where they go, what they are called, and
// that a backup is whole or absent, never replacing another.
#include "ddc/edid_backup.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "ddc/sim/sim_edid.h"
#include "file_faults.h"
#include "test_support.h"

namespace tolvex {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> Bytes(const EdidBytes& block) { return {block.begin(), block.end()}; }

// 2026-12-09 14:25:30 UTC.
constexpr std::time_t kWhen = 1796826330;

// A folder of the test's own, gone again with it.
class TempFolder {
 public:
  TempFolder() {
    std::string name = (fs::temp_directory_path() / "tolvex-backup-test.XXXXXX").string();
    path_ = ::mkdtemp(name.data()) ? name : "";
  }
  ~TempFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

void WriteText(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::vector<std::string> FilesIn(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(EdidBackup, NamedAfterTimeAndMonitorWholeOrNotAtAllNeverOverwriting) {
  ::setenv("TZ", "UTC0", 1);
  ::tzset();
  const std::vector<uint8_t> sim = Bytes(sim::SimulatedEdid(false));
  // Manufacturer bits that are no letters, in a block that is still an EDID.
  EdidBytes odd = sim::SimulatedEdid(false);
  odd[8] = 0xFF;
  odd[9] = 0xFF;
  odd[127] = 0;
  odd[127] = ComputeChecksum(odd);
  std::vector<uint8_t> garbage(kEdidSize, 0x5A);
  std::vector<uint8_t> withExtension = sim;
  withExtension.insert(withExtension.end(), kEdidSize, 0x02);

  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    std::function<void(const fs::path&)> prepare;  // the folder before the save
    std::string subfolder;                          // saved into folder/subfolder
    std::vector<std::string> files;                 // what the folder holds afterwards
    std::string error;                              // the start of the error; empty: saved
  };
  const std::vector<Case> cases = {
      {"a monitor's EDID", sim, {}, "", {"20261209-142530-TLV-0301-00012345.bin"}, ""},
      {"every block the EEPROM gave", withExtension, {}, "", {"20261209-142530-TLV-0301-00012345.bin"}, ""},
      {"letters that are none", Bytes(odd), {}, "", {"20261209-142530-___-0301-00012345.bin"}, ""},
      {"not an EDID", garbage, {}, "", {"20261209-142530-unknown.bin"}, ""},
      {"blank 0xFF", std::vector<uint8_t>(256, 0xFF), {}, "", {}, ""},
      {"blank 0x00", std::vector<uint8_t>(kEdidSize, 0x00), {}, "", {}, ""},
      {"a name taken twice",
       sim,
       [](const fs::path& f) {
         WriteText(f / "20261209-142530-TLV-0301-00012345.bin", "first");
         WriteText(f / "20261209-142530-TLV-0301-00012345-2.bin", "second");
       },
       "",
       {"20261209-142530-TLV-0301-00012345-2.bin", "20261209-142530-TLV-0301-00012345-3.bin",
        "20261209-142530-TLV-0301-00012345.bin"},
       ""},
      {"folders made on the way", sim, {}, "state/tolvex/backups", {"state"}, ""},
      {"the folder is a file", sim, [](const fs::path& f) { WriteText(f / "taken", "x"); }, "taken",
       {"taken"}, "/"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TempFolder temp;
    const fs::path& folder = temp.Path();
    if (c.prepare) c.prepare(folder);
    const fs::path target = c.subfolder.empty() ? folder : folder / c.subfolder;
    const BackupResult result = SaveEdidBackup(target.string(), c.bytes, kWhen);
    EXPECT_EQ(FilesIn(folder), c.files);
    EXPECT_EQ(result.blank, c.name == std::string("blank 0xFF") || c.name == std::string("blank 0x00"));
    if (!c.error.empty()) {
      EXPECT_EQ(result.error.rfind(c.error, 0), 0u) << result.error;
      EXPECT_TRUE(result.path.empty());
    } else if (!result.blank) {
      ASSERT_TRUE(result.error.empty()) << result.error;
      EXPECT_EQ(test::ReadFile(result.path), std::string(c.bytes.begin(), c.bytes.end()));
      struct stat info {};
      ASSERT_EQ(::stat(target.c_str(), &info), 0);
      if (!c.subfolder.empty()) EXPECT_EQ(info.st_mode & 0777, 0700u) << "a folder made for backups is private";
    }
    if (c.prepare && c.error.empty()) {
      EXPECT_EQ(test::ReadFile(folder / "20261209-142530-TLV-0301-00012345.bin"), "first") << "never overwritten";
    }
  }

  // A disk that takes no more: the save fails, and neither the backup nor a part of it is left.
  const TempFolder fullTemp;
  const fs::path& full = fullTemp.Path();
  BackupResult result;
  {
    test::FileSizeLimit limit(100);
    result = SaveEdidBackup(full.string(), sim, kWhen);
  }
  EXPECT_EQ(result.error.rfind(full.string() + "/20261209-142530-TLV-0301-00012345.bin: ", 0), 0u) << result.error;
  EXPECT_EQ(FilesIn(full), std::vector<std::string>{});
}

TEST(EdidBackup, FolderFromTheEnvironment) {
  const struct {
    BackupEnvironment environment;
    std::string configured;
    std::string folder;
  } cases[] = {
      {{"/b", "/state", "/home/u"}, "/set", "/b"},
      {{"", "/state", "/home/u"}, "/set", "/set"},
      {{"", "/state", "/home/u"}, "", "/state/tolvex/backups"},
      {{"", "relative", "/home/u"}, "", "/home/u/.local/state/tolvex/backups"},
      {{"", "", "/home/u"}, "", "/home/u/.local/state/tolvex/backups"},
      {{"", "", ""}, "", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(BackupFolder(c.environment, c.configured), c.folder) << c.folder;
}

}  // namespace
}  // namespace tolvex
