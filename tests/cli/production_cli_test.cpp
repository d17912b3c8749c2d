// tolvex-cli write as a production line on the simulated monitors: a serial per unit, the
// counter, the log, --repeat with monitors that come and go.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <set>
#include <sstream>

#include "cli/cli.h"
#include "file_faults.h"
#include "production/production_texts.h"
#include "test_support.h"

namespace tolvex {
namespace {

namespace fs = std::filesystem;

class ProductionCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tolvex-production-cli-" + std::to_string(getpid()));
    fs::create_directories(dir_);
    ASSERT_EQ(Run({"read", "--simulate", Path("monitor.ddc")}), 0) << err_;
    std::ofstream(Path("counter")) << "7000\n";
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  int Run(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int status = RunCli(args, out, err);
    out_ = out.str();
    err_ = err.str();
    return status;
  }
  std::vector<std::string> LogLines() const {
    std::ifstream in(Path("log.csv"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  fs::path dir_;
  std::string out_;
  std::string err_;
};

TEST_F(ProductionCliTest, ThreeUnitsGetThreeNumbersThreeLogLinesAndTheCounterMovesOnByThree) {
  for (const char* adapter : {"black-box", "s3", "i2c-dev"}) {
    std::ofstream(Path("counter")) << "7000\n";
    fs::remove(Path("log.csv"));
    ASSERT_EQ(Run({"write", "--simulate", "--sim-adapter", adapter, "--sim-units", "3", "--repeat",
                   "--serial-counter", Path("counter"), "--serial-field", "both", "--serial-format", "SN{:06d}",
                   "--log", Path("log.csv"), "--sim-state", Path("state.bin"), Path("monitor.ddc")}),
              0)
        << err_;
    EXPECT_EQ(out_, "PASS SN007000\nPASS SN007001\nPASS SN007002\n") << adapter;
    EXPECT_EQ(test::ReadFile(Path("counter")), "7003\n");
    const std::vector<std::string> lines = LogLines();
    ASSERT_EQ(lines.size(), 4u) << adapter;
    EXPECT_EQ(lines[0] + "\n", production_texts::kLogHeader);
    for (int unit = 0; unit < 3; ++unit) {
      EXPECT_NE(lines[1 + unit].find(",SN00700" + std::to_string(unit) + ",700" + std::to_string(unit) + ","),
                std::string::npos)
          << lines[1 + unit];
      EXPECT_NE(lines[1 + unit].find(",PASS,verified,"), std::string::npos) << lines[1 + unit];
    }
    EXPECT_NE(err_.find("3 passed, 0 failed"), std::string::npos) << err_;
    // The last unit keeps its serial: the state file holds it.
    ASSERT_EQ(Run({"read", "--simulate", "--sim-adapter", adapter, "--sim-state", Path("state.bin"), Path("back.bin")}),
              0);
    const std::string back = test::ReadFile(Path("back.bin"));
    EXPECT_EQ(back.substr(12, 4), std::string("\x5A\x1B\0\0", 4)) << "7002 in the binary field";
    fs::remove(Path("state.bin"));
  }
}

TEST_F(ProductionCliTest, AWriteProtectedUnitIsLoggedAsFailedAndKeepsItsNumber) {
  EXPECT_EQ(Run({"write", "--simulate", "--sim-fault", "write-protect", "--serial-counter", Path("counter"), "--log",
                 Path("log.csv"), Path("monitor.ddc")}),
            1);
  EXPECT_EQ(out_, "FAIL 7000 (Verify error: EDID code verified error)\n");
  EXPECT_EQ(test::ReadFile(Path("counter")), "7000\n");
  const std::vector<std::string> lines = LogLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[1].find(",FAIL,Verify error: EDID code verified error,0C:58>"), std::string::npos)
      << "the serial bytes that did not take: " << lines[1];
}

TEST_F(ProductionCliTest, MistakesAreRefusedBeforeAnyMonitorIsTouched) {
  const struct {
    std::vector<std::string> args;
    int status;
    const char* says;
  } cases[] = {
      {{"--serial-format", "SN{}"}, 2, "need --serial-counter"},
      {{"--serial-counter", Path("counter"), "--serial-format", "SN{x}"}, 2, "unknown field {x}"},
      {{"--serial-counter", Path("counter"), "--serial-field", "middle"}, 2, "--serial-field takes binary, descriptor, both"},
      {{"--sim-units", "0"}, 2, "--sim-units takes a number from 1"},
      {{"--serial-counter", Path("no-counter")}, 1, "no such counter file"},
      {{"--serial-counter", Path("counter"), "--serial-field", "descriptor", "--serial-format", "{:014d}"}, 1,
       "longer than the 13 characters"},
      {{"--serial-counter", Path("counter"), "--log", dir_.string()}, 1, "cannot write the log"},
      {{"--serial-counter", Path("counter"), "--software-ddc", "--protocol", "0", "--page", "F0"}, 0, ""},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"write", "--simulate"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    args.push_back(Path("monitor.ddc"));
    EXPECT_EQ(Run(args), c.status) << c.says << "\n" << err_;
    EXPECT_NE(err_.find(c.says), std::string::npos) << err_;
    if (c.status != 0) {
      EXPECT_EQ(test::ReadFile(Path("counter")), "7000\n");
    }
  }
}

// However the counter is named or fails, no number reaches a second unit: the run goes on from the
// real counter, or ends before the unit that would have shared one is programmed.
TEST_F(ProductionCliTest, ACounterProblemNeverHandsOutANumberTwice) {
  std::unique_ptr<test::SmallTmpfs> tmpfs;
  const std::string counter = Path("counter");
  const struct {
    const char* name;
    std::function<std::string()> arrange;  // the counter's name for the run; empty to skip the row
    std::vector<std::string> args;
    int status;
    const char* says;
    const char* out;
    bool asNobody = false;
  } cases[] = {
      {"a symbolic link advances the real counter and stays a link",
       [&] {
         fs::create_symlink(counter, Path("link"));
         return Path("link");
       },
       {}, 0, "", "PASS 7000\n"},
      {"a hard link is refused",
       [&] {
         fs::create_hard_link(counter, Path("hard"));
         return Path("hard");
       },
       {}, 1, "the counter has 2 names (hard links)", ""},
      {"a directory says so", [&] { return dir_.string(); }, {}, 1, "is a directory, not a counter file", ""},
      {"a template without the number", [&] { return counter; }, {"--serial-format", "SN-FIXED"}, 2,
       "no {} or {n}", ""},
      {"a template of date fields alone", [&] { return counter; }, {"--serial-format", "{year}{week}"}, 2,
       "no {} or {n}", ""},
      {"a template of printf fields", [&] { return counter; }, {"--serial-format", "%s%n"}, 2, "no {} or {n}", ""},
      {"a full disk is found before the unit",
       [&]() -> std::string {
         fs::create_directories(Path("small"));
         tmpfs = std::make_unique<test::SmallTmpfs>(Path("small"), 64);
         if (!tmpfs->Mounted()) return {};
         std::ofstream(Path("small/counter")) << "7000\n";
         tmpfs->Fill();
         return Path("small/counter");
       },
       {}, 1, "No space left on device (no unit was programmed with serial 7000)", ""},
      {"a read-only counter is refused",
       [&] {
         fs::permissions(counter, fs::perms(0444));
         return counter;
       },
       {}, 1, ": the existing file is not writable; it stays as it was", "", true},
      {"another user's counter in a writable folder is refused", [&] { return counter; }, {}, 1,
       ": the existing file is not writable; it stays as it was", "", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(Path("link"));
    fs::remove(Path("hard"));
    fs::permissions(counter, fs::perms(0644));
    std::ofstream(counter) << "7000\n";
    const std::string name = c.arrange();
    if (name.empty()) continue;  // no tmpfs without privilege
    std::vector<std::string> args = {"write", "--simulate", "--serial-counter", name};
    args.insert(args.end(), c.args.begin(), c.args.end());
    args.push_back(Path("monitor.ddc"));
    int status = 0;
    if (c.asNobody) {
      err_.clear();
      fs::permissions(dir_, fs::perms::all);
      status = test::RunAsNobody(
          [&] {
            const int result = Run(args);
            std::cerr << err_;
            return result;
          },
          &err_);
      fs::permissions(dir_, fs::perms(0755));
      if (status == 77) continue;  // cannot drop root privilege here
      out_.clear();
    } else {
      status = Run(args);
    }
    EXPECT_EQ(status, c.status) << err_;
    EXPECT_NE(err_.find(c.says), std::string::npos) << err_;
    EXPECT_EQ(out_, c.out);
    const std::string real = tmpfs && tmpfs->Mounted() ? Path("small/counter") : counter;
    EXPECT_EQ(test::ReadFile(real), c.status == 0 ? "7001\n" : "7000\n");
    if (name == Path("link")) EXPECT_TRUE(fs::is_symlink(name)) << "the link stays a link";
    tmpfs.reset();
  }
}

// Two stations on one counter and one log, at the same time, one of them through a symbolic link
// to the counter: enough units each that the runs overlap whatever the start of a process costs.
TEST_F(ProductionCliTest, TwoProgramsOnOneCounterNeverShareANumber) {
  constexpr int kUnits = 25;
  fs::create_symlink(Path("counter"), Path("link"));
  std::string command;
  for (int station = 0; station < 2; ++station) {
    command += std::string(TOLVEX_CLI_PATH) + " write --simulate --sim-units " + std::to_string(kUnits) + " --repeat --serial-counter " +
               Path(station == 0 ? "counter" : "link") + " --log " + Path("log.csv") + " " + Path("monitor.ddc") + " >" +
               Path("out" + std::to_string(station)) + " 2>&1 & ";
  }
  ASSERT_EQ(std::system((command + "wait").c_str()), 0);
  std::set<std::string> serials;
  for (int station = 0; station < 2; ++station) {
    std::istringstream out(test::ReadFile(Path("out" + std::to_string(station))));
    for (std::string line; std::getline(out, line);) {
      if (line.rfind("PASS ", 0) == 0) {
        EXPECT_TRUE(serials.insert(line.substr(5)).second) << line << " twice";
      }
    }
  }
  EXPECT_EQ(serials.size(), 2u * kUnits);
  EXPECT_EQ(test::ReadFile(Path("counter")), std::to_string(7000 + 2 * kUnits) + "\n");
  EXPECT_EQ(LogLines().size(), 1u + 2 * kUnits) << "one header and a line per unit, none torn";
}

}  // namespace
}  // namespace tolvex
