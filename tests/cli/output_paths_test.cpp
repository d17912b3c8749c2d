// tolvex-cli as a process, where what lies around it can go wrong: an output that does not take
// what is printed, sysfs trees with FIFOs, hostile names and links out of the tree, files cut
// short, and names on one command line that reach one file. Each row runs the real program under
// a shell (with a time limit, since a fault here is often a hang).
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "cli/cli.h"
#include "ddc/sim/sim_files.h"
#include "test_support.h"

namespace tolvex {
namespace {

namespace fs = std::filesystem;

class OutputPathsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tolvex-output-paths-" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::string Write(const std::string& name, const std::string& content) const {
    std::ofstream(Path(name), std::ios::binary) << content;
    return Path(name);
  }
  // The desktop PC's sysfs on disk below NAME; its sys folder, relative to the test's folder.
  std::string Tree(const std::string& name) const {
    sim::SimFiles files;
    test::BuildDesktopTree(files);
    test::WriteTree(files, dir_ / name);
    return name + "/sys";
  }
  void Fifo(const std::string& name) const {
    fs::remove(Path(name));
    ASSERT_EQ(mkfifo(Path(name).c_str(), 0666), 0) << name;
  }
  std::string InProcess(std::vector<std::string> args) const {
    std::ostringstream out, err;
    RunCli(args, out, err);
    return out.str();
  }

  fs::path dir_;
};

TEST_F(OutputPathsTest, EveryCommandEndsAndSaysWhatWentWrong) {
  const std::string report = InProcess({"new"});
  Write("report.ddc", report);
  Write("counter", "7000\n");
  EdidBlock block(test::FixedDate(2024, 3, 5));
  const std::vector<uint8_t> single = test::MakeWholeEdid(block.Bytes(), {});
  const std::vector<uint8_t> whole = test::MakeWholeEdid(block.Bytes(), {test::MakeCtaBlock(), test::MakeCtaBlock()});
  Write("big.bin", std::string(whole.begin(), whole.end()));
  Write("t127.bin", std::string(single.begin(), single.begin() + 127));
  Write("t0.bin", "");
  Write("t255.bin", std::string(whole.begin(), whole.begin() + 255));
  InProcess({"read", "--simulate", "--sim-state", Path("state.bin"), Path("first.ddc")});
  const std::string state = test::ReadFile(Path("state.bin"));
  const std::string simulatedPc = "--simulate --sim-adapter i2c-dev --sysfs-root ";
  const std::string absoluteList =
      InProcess({"list", "--simulate", "--sim-adapter", "i2c-dev", "--sysfs-root", Path(Tree("absolute"))});
  int heldLock = -1;

  const struct {
    const char* name;
    std::function<void()> arrange;
    std::string args;
    const char* stdoutTo;  // a redirection; none captures it
    int status;
    std::string out;  // expected when captured; "*" for any
    const char* says;
    std::function<void(const std::string&)> check = {};  // of what was captured
    int seconds = 30;
  } rows[] = {
      // Standard output that does not take what is printed.
      {"report to a full device", {}, "report report.ddc", ">/dev/full", 1, "", "standard output: No space left on device"},
      {"a long report to a full device", {}, "report big.bin", ">/dev/full", 1, "", "tolvex-cli: standard output: "},
      {"check to a full device", {}, "check report.ddc", ">/dev/full", 1, "", "standard output"},
      {"new to a full device", {}, "new", ">/dev/full", 1, "", "standard output"},
      {"list to a full device", {}, "list --simulate --sim-adapter i2c-dev", ">/dev/full", 1, "", "standard output"},
      {"probe to a full device", {}, "probe --simulate", ">/dev/full", 1, "", "standard output"},
      {"PASS lines to a full device", {}, "write --simulate --serial-counter counter report.ddc", ">/dev/full", 1, "",
       "standard output"},
      {"the version to a full device", {}, "--version", ">/dev/full", 1, "", "standard output"},
      {"report with standard output closed", {}, "report report.ddc", ">&-", 1, "",
       "standard output: Bad file descriptor"},
      {"a capture with standard output closed", {}, "list --simulate --sim-capture lines.vcd", ">&-", 1, "",
       "standard output: Bad file descriptor"},
      // FIFOs anywhere in a sysfs tree.
      {"a connector's edid, a status and an adapter's name as FIFOs",
       [&] {
         Tree("fifo");
         Fifo("fifo/sys/class/drm/card0-HDMI-A-1/edid");
         Fifo("fifo/sys/class/drm/card0-DP-1/status");
         Fifo("fifo/sys/class/i2c-dev/i2c-8/name");
       },
       "list " + simulatedPc + "fifo/sys", nullptr, 0, "*", ""},
      {"probe past the FIFOs", {}, "probe " + simulatedPc + "fifo/sys --connector card0-HDMI-A-1", nullptr, 0, "*", ""},
      {"the kernel's copy as a FIFO", {}, "read " + simulatedPc + "fifo/sys --connector card0-HDMI-A-1 --sysfs o.bin",
       nullptr, 1, "", "card0-HDMI-A-1"},
      // The sysfs root: relative to the working folder, and nothing read from outside it.
      {"a relative root", [&] { Tree("relative"); }, "list " + simulatedPc + "relative/sys", nullptr, 0, absoluteList, ""},
      {"a connector whose link climbs out of the root",
       [&] {
         Tree("climb");
         fs::create_directories(Path("outside/card9-HDMI-A-9"));
         Write("outside/card9-HDMI-A-9/status", "connected\n");
         Write("outside/card9-HDMI-A-9/edid", test::EdidNamed("OUTSIDE"));
         fs::create_symlink("../../../../outside/card9-HDMI-A-9", Path("climb/sys/class/drm/card9-HDMI-A-9"));
       },
       "read " + simulatedPc + "climb/sys --connector card9-HDMI-A-9 --sysfs o.bin", nullptr, 1, "", "card9-HDMI-A-9"},
      // Names from the kernel are printed so that they cannot forge a line.
      {"control characters in an adapter's name and a monitor's",
       [&] {
         Tree("names");
         Write("names/sys/class/i2c-dev/i2c-8/name", "NVIDIA\n/dev/i2c-99\tforged\\\n");
         Write("names/sys/class/drm/card0-HDMI-A-1/edid", test::EdidNamed("DELL\x7f"));
       },
       "list " + simulatedPc + "names/sys", nullptr, 0, "*", "",
       [](const std::string& out) {
         EXPECT_NE(out.find("\n/dev/i2c-8\tNVIDIA\\x0A/dev/i2c-99\\x09forged\\\\\t-\n"), std::string::npos) << out;
         EXPECT_NE(out.find("/dev/i2c-3\tcard0-HDMI-A-1\tDELL\\x7F\n"), std::string::npos) << out;
         EXPECT_EQ(out.find("\n/dev/i2c-99"), std::string::npos) << out;
       }},
      // Files cut short fail the check as they fail report and export.
      {"a check of 127 bytes", {}, "check t127.bin", nullptr, 1, "",
       "t127.bin: incomplete EDID: 1 of its bytes are missing"},
      {"a check of no bytes", {}, "check t0.bin", nullptr, 1, "", "t0.bin: incomplete EDID: 128 of its bytes are missing"},
      {"a check of 255 bytes", {}, "check t255.bin", nullptr, 1, "", "t255.bin: incomplete EDID: 129 of its bytes"},
      // One file reached by two names of one command line.
      {"export over its input", {}, "export report.ddc report.ddc", nullptr, 2, "", "IN and OUT name the same file"},
      {"export over its input through a link", [&] { fs::create_symlink("report.ddc", Path("link.ddc")); },
       "export report.ddc link.ddc", nullptr, 2, "", "IN and OUT name the same file"},
      {"export to standard output", {}, "export big.bin -", nullptr, 0, std::string(whole.begin(), whole.end()), ""},
      {"a read into its own state", {}, "read --simulate --sim-state state.bin state.bin", nullptr, 2, "",
       "FILE and --sim-state name the same file"},
      {"an EEPROM size the chips do not come in", {}, "read --simulate --sim-eeprom-size 768 o.ddc", nullptr, 2, "",
       "--sim-eeprom-size takes 256, 512"},
      {"a state another program holds",
       [&] {
         heldLock = ::open(Path("state.bin.lock").c_str(), O_RDWR | O_CREAT, 0666);
         ASSERT_EQ(::flock(heldLock, LOCK_EX), 0);
       },
       "read --simulate --sim-state state.bin o.ddc", nullptr, 124, "", "waiting for it to end", {}, 2},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.arrange) row.arrange();
    const std::string command = "cd " + dir_.string() + " && timeout " + std::to_string(row.seconds) + " " +
                                TOLVEX_CLI_PATH + " " + row.args + " " + (row.stdoutTo ? row.stdoutTo : ">out") +
                                " 2>err";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status)) << command;
    EXPECT_EQ(WEXITSTATUS(status), row.status) << command << "\n" << test::ReadFile(Path("err"));
    if (!row.stdoutTo && row.out != "*") EXPECT_EQ(test::ReadFile(Path("out")), row.out);
    if (row.check) row.check(test::ReadFile(Path("out")));
    EXPECT_NE(test::ReadFile(Path("err")).find(row.says), std::string::npos) << test::ReadFile(Path("err"));
    fs::remove(Path("out"));
  }
  EXPECT_EQ(test::ReadFile(Path("report.ddc")), report) << "no input was overwritten";
  EXPECT_EQ(test::ReadFile(Path("state.bin")), state);
  EXPECT_FALSE(fs::exists(Path("o.bin")));
  EXPECT_FALSE(fs::exists(Path("o.ddc")));
  EXPECT_EQ(test::ReadFile(Path("lines.vcd")).find("Black Box"), std::string::npos) << "no output in the capture";
  if (heldLock >= 0) ::close(heldLock);
}

}  // namespace
}  // namespace tolvex
