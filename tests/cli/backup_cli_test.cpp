// tolvex-cli write over what the simulated monitor holds: nobody can be asked, so another
// monitor's EDID is replaced only with --force, and the old one is kept where TOLVEX_BACKUP_DIR
// says unless --no-backup.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "model/edid_extensions.h"
#include "test_support.h"

namespace tolvex {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

TEST(BackupCli, ForceReplacesAnotherMonitorAndTheOldEdidIsKept) {
  const fs::path dir = fs::temp_directory_path() / ("tolvex-backup-cli-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const std::string kept = getenv("TOLVEX_BACKUP_DIR") ? getenv("TOLVEX_BACKUP_DIR") : "";
  const fs::path backups = dir / "backups";
  setenv("TOLVEX_BACKUP_DIR", backups.c_str(), 1);
  const std::string state = (dir / "sim.state").string();
  std::ostringstream out, err;
  ASSERT_EQ(RunCli({"read", "--simulate", "--sim-state", state, (dir / "held.bin").string()}, out, err), 0) << err.str();
  const std::string held = test::ReadFile(dir / "held.bin");
  ASSERT_EQ(held.size(), 128u);
  // The same model with the next serial number.
  EdidBytes other{};
  std::copy(held.begin(), held.end(), other.begin());
  ++other[12];
  other[127] = ComputeChecksum(other);
  const std::string source = (dir / "other.bin").string();
  std::ofstream(source, std::ios::binary).write(reinterpret_cast<const char*>(other.data()), 128);

  const struct {
    std::vector<std::string> options;
    int status;
    bool written;
    bool backup;
  } cases[] = {
      {{}, 1, false, false},
      {{"--force", "--no-backup"}, 0, true, false},
      {{"--force"}, 0, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.options.size());
    std::error_code ec;
    fs::remove_all(backups, ec);
    fs::remove(state, ec);  // every case starts from the simulated monitor's own EDID
    std::vector<std::string> args = {"write", "--simulate", "--sim-state", state};
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.push_back(source);
    std::ostringstream o, e;
    EXPECT_EQ(RunCli(args, o, e), c.status) << e.str();
    EXPECT_THAT(e.str(), HasSubstr("  It holds: TLV 0x0301, serial 0x00012345, \"TOLVEX SIM17\"\n"
                                   "  To be written: TLV 0x0301, serial 0x00012346, \"TOLVEX SIM17\"\n"));
    if (!c.written) EXPECT_THAT(e.str(), HasSubstr("tolvex-cli: --force overrides this\n"));
    std::ostringstream o2, e2;
    ASSERT_EQ(RunCli({"read", "--simulate", "--sim-state", state, (dir / "now.bin").string()}, o2, e2), 0);
    EXPECT_EQ(test::ReadFile(dir / "now.bin"), c.written ? std::string(other.begin(), other.end()) : held);
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(backups, ec)) files.push_back(entry.path());
    ASSERT_EQ(files.size(), c.backup ? 1u : 0u);
    if (c.backup) {
      EXPECT_EQ(test::ReadFile(files[0]), held);
      EXPECT_THAT(e.str(), HasSubstr("tolvex-cli: the old EDID was kept in " + files[0].string() + "\n"));
    }
  }
  if (kept.empty()) {
    unsetenv("TOLVEX_BACKUP_DIR");
  } else {
    setenv("TOLVEX_BACKUP_DIR", kept.c_str(), 1);
  }
  fs::remove_all(dir);
}

}  // namespace
}  // namespace tolvex
