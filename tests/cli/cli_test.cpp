#include "cli/cli.h"

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/edid_file.h"
#include "ddc/format_text.h"
#include "ddc/sim/sim_edid.h"
#include "file_faults.h"
#include "ddc/linux/linux_discovery.h"
#include "ddc/sim/sim_files.h"
#include "model/edid_extensions.h"
#include "report/edid_json.h"
#include "report/edid_report.h"
#include "report/report_reader.h"
#include "test_support.h"

namespace tolvex {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace fs = std::filesystem;

struct Result {
  int status;
  std::string out;
  std::string err;
};

Result RunTool(std::vector<std::string> args) {
  std::ostringstream out, err;
  const int status = RunCli(args, out, err);
  return {status, out.str(), err.str()};
}

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tolvex-cli-test-" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Write(const std::string& name, const std::string& content) {
    const fs::path path = dir_ / name;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::string Fifo(const std::string& name) const {
    EXPECT_EQ(mkfifo(Path(name).c_str(), 0666), 0);
    return Path(name);
  }

  // A block with settings that show in the report: decimal, swapped product code, ASCII serial.
  static std::string SampleReport(EdidBytes* bytes = nullptr) {
    EdidBlock block(test::FixedDate(2025, 6, 30));
    sim::FillSimulatedEdid(block, false);
    block.SetProductCodeFormat(kProductCodeDecimal | kProductCodeSwapped);
    block.SetSerialFormat(kSerialAscii);
    block.SetSerialText("AB12");
    block.UpdateChecksum();
    if (bytes) *bytes = block.Bytes();
    return FormatEdidReport(block);
  }

  fs::path dir_;
};

// ---- report and new ------------------------------------------------------------------------

TEST_F(CliTest, ReportOfADdcFileIsTheFileItself) {
  const std::string report = SampleReport();
  const Result r = RunTool({"report", Write("a.ddc", report)});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, report) << "block and both format settings come back";
  EXPECT_TRUE(r.err.empty());
}

TEST_F(CliTest, ReportOfBinaryEdidPrintsEveryBlock) {
  EdidBytes bytes{};
  SampleReport(&bytes);
  const EdidBytes cta = test::MakeCtaBlock();
  const std::vector<uint8_t> whole = test::MakeWholeEdid(bytes, {cta});  // as the kernel's file holds it
  const Result r = RunTool({"report", Write("card0-VGA-1", std::string(whole.begin(), whole.end()))});
  EXPECT_EQ(r.status, 0) << r.err;
  EdidBlock block;
  std::copy_n(whole.begin(), kEdidSize, block.Bytes().begin());
  EXPECT_EQ(r.out, FormatEdidReport(block, std::vector<EdidBytes>{cta}));
}

TEST_F(CliTest, ReportKeepsTheStoredChecksumUnlessAskedToFixIt) {
  EdidBytes bytes{};
  SampleReport(&bytes);
  bytes[127] ^= 0xFF;
  const std::string file = Write("bad.bin", std::string(bytes.begin(), bytes.end()));
  const Result asStored = RunTool({"report", file});
  const auto stored = ReadReport(asStored.out);
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->bytes[127], bytes[127]);

  const Result fixed = RunTool({"report", "--fix-checksum", file});
  const auto back = ReadReport(fixed.out);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->bytes[127], ComputeChecksum(bytes));
}

TEST_F(CliTest, BadFilesAreNamedAndTheOthersStillPrinted) {
  const std::string good = Write("good.ddc", SampleReport());
  const std::string text = Write("notes.txt", "no dump here\r\n");
  const std::string shortBinary = Write("short.bin", std::string("\x00\xFF\xFF\xFF\xFF\xFF\xFF\x00", 8));
  const std::string missing = Path("missing.ddc");
  const Result r = RunTool({"report", text, good, missing, shortBinary, good});
  EXPECT_EQ(r.status, 1);
  // The short binary is printed too, with what it lacks named.
  EXPECT_TRUE(r.out.starts_with(SampleReport()));
  EXPECT_TRUE(r.out.ends_with(SampleReport()));
  EXPECT_NE(r.out.find("  0: 00   1: ff", SampleReport().size()), std::string::npos);
  std::istringstream lines(r.err);
  std::string line;
  std::vector<std::string> errors;
  while (std::getline(lines, line)) errors.push_back(line);
  ASSERT_EQ(errors.size(), 3u) << r.err;
  EXPECT_EQ(errors[0], "tolvex-cli: " + text + ": neither an EDID report (no hex dump found) nor binary EDID");
  EXPECT_EQ(errors[1], "tolvex-cli: " + missing + ": No such file or directory");
  EXPECT_EQ(errors[2], "tolvex-cli: " + shortBinary +
                           ": incomplete EDID: 120 of its bytes are missing (a dump or file cut short, or fewer "
                           "extension blocks than byte 126 announces)");
}

TEST_F(CliTest, FilesOverTheSizeLimitAreRefused) {
  const std::string report = SampleReport();
  std::string padded = report + std::string(kMaxEdidFileSize - report.size(), ' ');
  ASSERT_EQ(padded.size(), 1'048'575u);
  Result r = RunTool({"report", Write("limit.ddc", padded)});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, report);

  padded += ' ';
  const std::string over = Write("over.ddc", padded);
  r = RunTool({"report", over});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "tolvex-cli: " + over + ": The file is too large to open.\n");
  EXPECT_TRUE(r.out.empty());
}

// Content without a size to go by (a pipe on standard input) is read to its end or to the limit.
// A named FIFO is refused at once, whether or not anything will ever write it: a pipe goes through
// standard input ("-").
TEST_F(CliTest, FilesWithoutASizeAreReadToTheirEndOrTheLimit) {
  const std::string report = SampleReport();
  const struct {
    std::string content;
    int status;
  } cases[] = {{report, 0}, {report + std::string(kMaxEdidFileSize, ' '), 1}};
  for (const auto& c : cases) {
    std::istringstream in(c.content);
    std::ostringstream out, err;
    CliEnvironment environment;
    environment.input = &in;
    EXPECT_EQ(RunCli({"report", "-"}, out, err, environment), c.status) << err.str();
    EXPECT_EQ(out.str(), c.status == 0 ? report : "");
  }
  // Named files without a size: InputsThatAreNotFilesAreRefusedWithoutWaiting.
}

TEST_F(CliTest, NewPrintsTheReportOfAFreshBlock) {
  const Result r = RunTool({"new"});
  EXPECT_EQ(r.status, 0);
  EdidBlock fresh;
  EXPECT_EQ(r.out, FormatEdidReport(fresh));
}

// ---- check and report --check --------------------------------------------------------------

TEST_F(CliTest, CheckExitsWithOneOnlyWhenAFileHasAFailureOrCannotBeRead) {
  EdidBytes bytes{};
  SampleReport(&bytes);
  const std::string clean = Write("clean.ddc", SampleReport());
  bytes[108 + 3] = 0x00;  // the serial number descriptor becomes the maker's own: legal, but a warning
  std::fill(bytes.begin() + 108, bytes.begin() + 126, 0);
  bytes[127] = ComputeChecksum(bytes);
  const std::string warned = Write("warned.bin", std::string(bytes.begin(), bytes.end()));
  bytes[126] = 1;  // an extension the file does not hold
  bytes[127] = ComputeChecksum(bytes);
  const std::string failed = Write("failed.bin", std::string(bytes.begin(), bytes.end()));

  Result r = RunTool({"check", clean, warned});
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out, clean + ": ok\n" + warned +
                       ": warning: bytes 108-125: unused-descriptor: Descriptor 4 is all zeros; mark an unused block "
                       "as a dummy descriptor (00 00 00 10 00, then zeros).\n");
  r = RunTool({"check", failed, clean});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find(failed + ": failure: bytes 126-126: extension-count: "), std::string::npos) << r.out;
  r = RunTool({"check", clean, Path("missing.bin")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "tolvex-cli: " + Path("missing.bin") + ": No such file or directory\n");
  EXPECT_EQ(RunTool({"check"}).status, 2);
  EXPECT_EQ(RunTool({"check", "--fix-checksum", clean}).status, 2);
}

TEST_F(CliTest, CheckTakesABinaryFileWholeWithItsExtensionBlocks) {
  EdidBytes bytes{};
  SampleReport(&bytes);
  bytes[126] = 1;
  bytes[127] = ComputeChecksum(bytes);
  std::string binary(bytes.begin(), bytes.end());
  binary += std::string(1, '\x02') + std::string(127, '\0');  // a CTA-861 block with a wrong revision and checksum
  const Result r = RunTool({"check", Write("card0-HDMI-A-1.edid", binary)});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find(": failure: bytes 129-129: cta-861: "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(": failure: bytes 255-255: extension-checksum: "), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("extension-count"), std::string::npos) << r.out;
}

TEST_F(CliTest, ReportCheckAppendsTheFindingsAfterEachReport) {
  const std::string report = SampleReport();
  const std::string clean = Write("clean.ddc", report);
  Result r = RunTool({"report", "--check", clean});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, report + clean + ": ok\r\n");

  EdidBytes bytes{};
  SampleReport(&bytes);
  bytes[127] ^= 0x01;
  const std::string bad = Write("bad.bin", std::string(bytes.begin(), bytes.end()));
  r = RunTool({"report", "--check", bad});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find(bad + ": failure: bytes 127-127: checksum: "), std::string::npos) << r.out;
  // The fixed checksum is the one checked.
  r = RunTool({"report", "--check", "--fix-checksum", "--lf", bad});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("\n" + bad + ": ok\n"), std::string::npos) << r.out;
}

TEST_F(CliTest, BadUsageNamesTheMistakeOnStderrAndExitsWithTwo) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{},
                                             {"print"},
                                             {"--frobnicate"},
                                             {"report"},
                                             {"new", "x"},
                                             {"report", "--simulate", "x"},
                                             {"report", "--fix-checksum=yes", "x"},
                                             {"read", "--protocol", "3", "x"},
                                             {"read", "--protocol"},
                                             {"write", "--factory", "XY", "x"},
                                             {"read", "--factory", "F8", "x"},
                                             {"read", "--simulate", "--sim-fault=smoke", "x"},
                                             {"read", "a", "b"}}) {
    const Result r = RunTool(args);
    const std::string shown = args.empty() ? "(nothing)" : args.back();
    EXPECT_EQ(r.status, 2) << shown;
    EXPECT_EQ(r.err.rfind("tolvex-cli: ", 0), 0u) << shown << ": " << r.err;
    EXPECT_NE(r.err.find("--help"), std::string::npos) << "points to the help: " << r.err;
    EXPECT_TRUE(r.out.empty());
  }
  EXPECT_NE(RunTool({"report", "--simulate", "x"}).err.find("--simulate is not an option of report"),
            std::string::npos);
  EXPECT_NE(RunTool({"read", "--protocol"}).err.find("Usage: tolvex-cli read [OPTION]... FILE"), std::string::npos);
}

TEST_F(CliTest, HelpAndVersionGoToStdoutWithStatusZero) {
  const Result general = RunTool({"--help"});
  EXPECT_EQ(general.status, 0);
  EXPECT_TRUE(general.err.empty());
  for (const char* command : {"report", "new", "read", "write", "probe"}) {
    EXPECT_NE(general.out.find(std::string("\n  ") + command + " "), std::string::npos) << command;
    for (const std::vector<std::string>& ask : std::vector<std::vector<std::string>>{
             {command, "--help"}, {command, "-h"}, {"help", command}}) {
      const Result r = RunTool(ask);
      EXPECT_EQ(r.status, 0) << command;
      EXPECT_EQ(r.out.rfind(std::string("Usage: tolvex-cli ") + command, 0), 0u) << r.out;
    }
  }
  const Result writeHelp = RunTool({"write", "-h"});
  EXPECT_NE(writeHelp.out.find("--factory=PAGE"), std::string::npos);
  EXPECT_EQ(writeHelp.out.find("--lf"), std::string::npos) << "only the command's own options";

  const Result version = RunTool({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "tolvex-cli (Tolvex) 3.01\n");
}

TEST_F(CliTest, OptionValuesAfterAnEqualsSignAndFilesAfterADoubleDash) {
  const std::string report = SampleReport();
  Write("--odd.ddc", report);
  const fs::path before = fs::current_path();
  fs::current_path(dir_);
  const Result r = RunTool({"report", "--fix-checksum", "--", "--odd.ddc"});
  fs::current_path(before);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, report);

  const Result equals = RunTool({"read", "--simulate", "--sim-adapter=service-kit", "--protocol=1", Path("o.bin")});
  EXPECT_EQ(equals.status, 0) << equals.err;
  EXPECT_NE(equals.err.find("Reading... 100%"), std::string::npos) << "the AOC protocol ran";
}

TEST_F(CliTest, ReportReadsStandardInputAndPrintsLfLinesOnRequest) {
  const std::string report = SampleReport();
  std::istringstream in(report);
  std::ostringstream out, err;
  CliEnvironment environment;
  environment.input = &in;
  EXPECT_EQ(RunCli({"report", "--lf", "-"}, out, err, environment), 0) << err.str();
  std::string lf = report;
  for (size_t at; (at = lf.find("\r\n")) != std::string::npos;) lf.erase(at, 1);
  EXPECT_EQ(out.str(), lf);

  std::ostringstream out2, err2;
  std::istringstream empty;
  environment.input = &empty;
  EXPECT_EQ(RunCli({"report", "-"}, out2, err2, environment), 1);
  EXPECT_EQ(err2.str(), "tolvex-cli: (standard input): neither an EDID report (no hex dump found) nor binary EDID\n");
}

// ---- read and write on the simulated monitor -----------------------------------------------

TEST_F(CliTest, ReadWritesAReportOrRawBytes) {
  const Result r = RunTool({"read", "--simulate", Path("monitor.ddc")});
  EXPECT_EQ(r.status, 0) << r.err;
  const auto report = ReadReport(test::ReadFile(Path("monitor.ddc")));
  ASSERT_TRUE(report);
  EdidBlock expected;
  sim::FillSimulatedEdid(expected, false);
  EXPECT_EQ(report->bytes, expected.Bytes());

  const Result raw = RunTool({"read", "--simulate", "--sim-adapter", "s3", Path("monitor.bin")});
  EXPECT_EQ(raw.status, 0) << raw.err;
  const std::string bytes = test::ReadFile(Path("monitor.bin"));
  EXPECT_EQ(bytes, std::string(expected.Bytes().begin(), expected.Bytes().end()));
  EXPECT_NE(raw.err.find("Vendor ID = 0x8A01"), std::string::npos) << "the S3 probe shows the chip";
}

TEST_F(CliTest, WriteThenReadBackThroughEveryProtocolKeepsTheMonitorBetweenRuns) {
  EdidBytes bytes{};
  const std::string source = Write("source.ddc", SampleReport(&bytes));
  const std::string state = Path("monitor.state");

  Result r = RunTool({"write", "--force", "--simulate", "--sim-state", state, source});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("written to the monitor and verified"), std::string::npos);
  EXPECT_EQ(fs::file_size(state), 512u);

  for (const char* protocol : {"0", "1", "2"}) {
    r = RunTool({"read", "--simulate", "--sim-state", state, "--protocol", protocol, Path("back.bin")});
    EXPECT_EQ(r.status, 0) << protocol << ": " << r.err;
    const std::string back = test::ReadFile(Path("back.bin"));
    EXPECT_EQ(back, std::string(bytes.begin(), bytes.end())) << protocol;
  }
  EXPECT_NE(r.err.find("Reading... 49%\n"), std::string::npos) << "progress texts on stderr";
  EXPECT_NE(r.err.find("Ready\n"), std::string::npos);

  r = RunTool({"write", "--force", "--simulate", "--sim-state", state, "--protocol", "2", "--factory", "F8", source});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("Writing... 100%\nReady\n"), std::string::npos);
}

TEST_F(CliTest, ReadNotesAChecksumTheMonitorGotWrong) {
  const std::string state = Path("monitor.state");
  EdidBlock block;
  sim::FillSimulatedEdid(block, false);
  std::string memory(block.Bytes().begin(), block.Bytes().end());
  memory[127] = static_cast<char>(memory[127] ^ 0x11);
  memory += std::string(128, '\xFF') + memory + std::string(128, '\xFF');
  Write("monitor.state", memory);
  const Result r = RunTool({"read", "--simulate", "--sim-state", state, Path("read.ddc")});
  EXPECT_EQ(r.status, 0) << r.err;
  char note[96];
  std::snprintf(note, sizeof note, "tolvex-cli: the base block's checksum byte 0x%02X is now 0x%02X\n",
                block.GetChecksum() ^ 0x11, block.GetChecksum());
  EXPECT_NE(r.err.find(note), std::string::npos) << r.err;
}

TEST_F(CliTest, TransferErrorsPrintTheProgramsMessageAndExitWithOne) {
  const std::string source = Write("source.ddc", SampleReport());
  Result r = RunTool({"write", "--force", "--simulate", "--sim-fault", "write-protect", source});
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.err, HasSubstr("tolvex-cli: Verify error: EDID code verified error\n"));
  r = RunTool({"read", "--simulate", "--sim-fault", "unplugged", Path("o.ddc")});
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.err, StartsWith("tolvex-cli: I2C read error: I2C transfer error (0x0A)\n"));
  r = RunTool({"write", "--force", "--simulate", "--sim-fault", "no-controller", "--protocol", "1", source});
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.err, HasSubstr("tolvex-cli: I2C write error: Addr(0x00), Data(0xFA), Error(0x0A)\n"));
  EXPECT_EQ(RunTool({"read", "--simulate", "--sim-fault", "smoke", Path("o.ddc")}).status, 2) << "bad usage";

  const Result garbage = RunTool({"write", "--simulate", Write("x.txt", "nothing")});
  EXPECT_EQ(garbage.status, 1);

  // A simulated monitor that cannot be set up is a hardware error, as on real ports.
  const Result badState = RunTool({"read", "--simulate", "--sim-state", Write("s", "short"), Path("o.ddc")});
  EXPECT_EQ(badState.status, 1);
  EXPECT_FALSE(fs::exists(Path("o.ddc")));
}

// The Black Box's probe senses SDA, so a monitor that holds it low hides the adapter; the other
// two are found without looking at SDA, and every START then fails.
TEST_F(CliTest, SdaHeldLowHidesTheBlackBoxAndFailsEveryStartOnTheOthers) {
  const struct {
    const char* adapter;
    const char* error;
  } cases[] = {
      {"black-box", "tolvex-cli: no I2C adapter found (Black Box, Service Kit or S3 ViRGE card)\n"},
      {"service-kit", "tolvex-cli: I2C read error: I2C transfer error (0x84)\n"},
      {"s3", "tolvex-cli: I2C read error: I2C transfer error (0x84)\n"},
  };
  for (const auto& c : cases) {
    const Result r = RunTool({"read", "--simulate", "--sim-fault=sda-low", std::string("--sim-adapter=") + c.adapter,
                              Path("o.ddc")});
    EXPECT_EQ(r.status, 1) << c.adapter;
    EXPECT_THAT(r.err, HasSubstr(c.error)) << c.adapter;
  }
}

// ---- real ports without the privilege ------------------------------------------------------

TEST_F(CliTest, WithoutPortAccessReadSaysSoOnce) {
  const std::string output = Path("never.ddc");
  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(pipeFds[0]);
    if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) _exit(77);
    if (geteuid() == 0) _exit(77);
    std::ostringstream out, err;
    const int status = RunCli({"read", output}, out, err);
    const std::string text = err.str();
    (void)!write(pipeFds[1], text.data(), text.size());
    _exit(status);
  }
  close(pipeFds[1]);
  std::string err;
  char buffer[512];
  for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;) err.append(buffer, static_cast<size_t>(n));
  close(pipeFds[0]);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "cannot drop root privilege here";
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(err.rfind("tolvex-cli: no port access: ", 0), 0u) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
  EXPECT_FALSE(fs::exists(output));
}

// ---- the program itself --------------------------------------------------------------------

TEST_F(CliTest, TheProgramWritesCrLfReportsToStdoutAndErrorsToStderr) {
  const std::string good = Write("good.ddc", SampleReport());
  const std::string command = std::string(TOLVEX_CLI_PATH) + " report " + good + " " + Path("missing") + " >" +
                              Path("stdout") + " 2>" + Path("stderr");
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(test::ReadFile(Path("stdout")), SampleReport());
  EXPECT_EQ(test::ReadFile(Path("stderr")), "tolvex-cli: " + Path("missing") + ": No such file or directory\n");

  const int usage = std::system((std::string(TOLVEX_CLI_PATH) + " >/dev/null 2>&1").c_str());
  EXPECT_EQ(WEXITSTATUS(usage), 2);
}

TEST_F(CliTest, ProbeNamesTheChannelDiscoveryFinds) {
  const Result blackBox = RunTool({"probe", "--simulate"});
  EXPECT_EQ(blackBox.status, 0);
  EXPECT_EQ(blackBox.out, "Black Box\n");
  const Result serviceKit = RunTool({"probe", "--simulate", "--sim-adapter", "service-kit"});
  EXPECT_EQ(serviceKit.status, 0);
  EXPECT_EQ(serviceKit.out, "Service Kit\n");
}

// ---- hostile files: each gives one line naming the file and exit status 1, and keeps what was there

size_t Lines(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }

TEST_F(CliTest, InputsThatAreNotFilesAreRefusedWithoutWaiting) {
  const std::string fifo = Fifo("fifo.ddc");
  const std::pair<std::string, std::string> inputs[] = {
      {fifo, "not a regular file"},
      {dir_.string(), "Is a directory"},
      {"/dev/zero", "The file is too large to open."},
  };
  for (const auto& [input, reason] : inputs) {
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"report", input}, std::vector<std::string>{"write", "--simulate", input}}) {
      const Result r = RunTool(command);
      EXPECT_EQ(r.status, 1) << input;
      EXPECT_EQ(r.err, "tolvex-cli: " + input + ": " + reason + "\n") << command[0];
      EXPECT_TRUE(r.out.empty());
    }
  }
}

TEST_F(CliTest, ADamagedDumpIsRefusedNamingTheLine) {
  std::string damaged = SampleReport();
  const size_t cell = damaged.find("  28: ");
  damaged.erase(cell, 8);
  const size_t line = static_cast<size_t>(std::count(damaged.begin(), damaged.begin() + static_cast<long>(cell), '\n')) + 1;
  const std::string file = Write("damaged.ddc", damaged);
  const std::string expected =
      "tolvex-cli: " + file + ": line " + std::to_string(line) + ": 7 cells where a dump row has 8\n";

  const Result report = RunTool({"report", file});
  EXPECT_EQ(report.status, 1);
  EXPECT_EQ(report.err, expected);
  EXPECT_TRUE(report.out.empty());
  const Result write = RunTool({"write", "--simulate", "--fix-checksum", "--sim-state", Path("state"), file});
  EXPECT_EQ(write.status, 1);
  EXPECT_EQ(write.err, expected);
  EXPECT_FALSE(fs::exists(Path("state"))) << "the monitor was not touched";
}

TEST_F(CliTest, WriteRefusesAStoredChecksumThatDoesNotMatchUnlessFixed) {
  EdidBytes bytes{};
  std::string report = SampleReport(&bytes);
  // A byte changed in a well-formed dump: only the checksum can tell.
  const size_t cell = report.find(" 12: ");
  report.replace(cell + 5, 2, "ee");
  const std::string file = Write("edited.ddc", report);

  Result r = RunTool({"write", "--force", "--simulate", "--sim-state", Path("state"), file});
  EXPECT_EQ(r.status, 1);
  char expected[160];
  std::snprintf(expected, sizeof expected,
                "the stored checksum 0x%02X does not match the block's bytes (0x%02X); --fix-checksum writes it anyway\n",
                bytes[127], static_cast<uint8_t>(bytes[127] + bytes[12] - 0xEE));
  EXPECT_EQ(r.err, "tolvex-cli: " + file + ": " + expected);
  EXPECT_FALSE(fs::exists(Path("state")));

  r = RunTool({"write", "--force", "--simulate", "--fix-checksum", file});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("written to the monitor and verified"), std::string::npos);
}

TEST_F(CliTest, ReadKeepsAnOutputTheUserMayNotWrite) {
  const std::string output = Write("kept.ddc", "previous");
  ASSERT_EQ(chmod(output.c_str(), 0444), 0);
  std::string err;
  const int status = test::RunAsNobody(
      [&] {
        std::ostringstream out, messages;
        const int result = RunCli({"read", "--simulate", output}, out, messages);
        std::cerr << messages.str();
        return result;
      },
      &err);
  if (status == 77) GTEST_SKIP() << "cannot drop root privilege here";
  EXPECT_EQ(status, 1);
  EXPECT_EQ(err, "tolvex-cli: " + output + ": the existing file is not writable; it stays as it was\n");
  EXPECT_EQ(test::ReadFile(output), "previous");
}

TEST_F(CliTest, ABadSimulatorStateIsNamedAndKept) {
  const std::string fifo = Fifo("state.fifo");
  const std::pair<std::string, std::string> states[] = {
      {dir_.string(), "Is a directory"},
      {"/dev/zero", "not a regular file"},
      {fifo, "not a regular file"},
      {Write("short", "short"), "not a simulated monitor state (512 bytes expected)"},
  };
  for (const auto& [state, reason] : states) {
    const Result r = RunTool({"read", "--simulate", "--sim-state", state, Path("o.ddc")});
    EXPECT_EQ(r.status, 1) << state;
    EXPECT_EQ(r.err, "tolvex-cli: " + state + ": " + reason + "\n");
    EXPECT_FALSE(fs::exists(Path("o.ddc")));
  }
  EXPECT_EQ(test::ReadFile(Path("short")), "short");

  // One the user may not read is not a first run: it is named, and not overwritten.
  const std::string locked = Write("locked", std::string(512, '\x01'));
  ASSERT_EQ(chmod(locked.c_str(), 0200), 0);
  const std::string source = Write("in.ddc", SampleReport());
  std::string err;
  const int status = test::RunAsNobody(
      [&] {
        std::ostringstream out, messages;
        const int result = RunCli({"write", "--simulate", "--sim-state", locked, source}, out, messages);
        std::cerr << messages.str();
        return result;
      },
      &err);
  if (status == 77) GTEST_SKIP() << "cannot drop root privilege here";
  EXPECT_EQ(status, 1);
  EXPECT_EQ(err, "tolvex-cli: " + locked + ": Permission denied\n");
  ASSERT_EQ(chmod(locked.c_str(), 0600), 0);
  EXPECT_EQ(test::ReadFile(locked), std::string(512, '\x01'));
}

TEST_F(CliTest, AStateThatCannotBeSavedStaysWhole) {
  const std::string state = Path("state");
  ASSERT_EQ(RunTool({"read", "--simulate", "--sim-state", state, Path("first.bin")}).status, 0);
  const std::string before = test::ReadFile(state);
  ASSERT_EQ(before.size(), 512u);
  const std::string source = Write("in.ddc", SampleReport());
  Result r;
  {
    test::FileSizeLimit limit(100);
    r = RunTool({"write", "--force", "--no-backup", "--simulate", "--sim-state", state, source});
  }
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("written to the monitor and verified\n"), std::string::npos) << "the write's own line: " << r.err;
  EXPECT_TRUE(r.err.ends_with(state + ": cannot save the simulated monitor state: File too large\n")) << r.err;
  EXPECT_EQ(test::ReadFile(state), before);
}

TEST_F(CliTest, AMonitorLeavingInTheMiddleOfAReadIsAReadError) {
  for (const char* adapter : {"black-box", "i2c-dev"}) {
    for (const char* protocol : {"0", "1", "2"}) {
      const Result r = RunTool({"read", "--simulate", "--sim-adapter", adapter, "--sim-fault", "unplug-during",
                                "--protocol", protocol, Path("o.ddc")});
      EXPECT_EQ(r.status, 1) << adapter << " " << protocol;
      EXPECT_NE(r.err.find("tolvex-cli: I2C read error: "), std::string::npos) << r.err;
      EXPECT_FALSE(fs::exists(Path("o.ddc")));
    }
  }
}


// ---- Whole EDIDs ---------------------------------------------------------------------------

class WholeEdidCli : public CliTest {
 protected:
  // The sample block with byte 126 counting the blocks, and the report of it all.
  std::string WholeReport(const std::vector<EdidBytes>& blocks, std::vector<uint8_t>* whole = nullptr) {
    EdidBytes bytes{};
    SampleReport(&bytes);
    const std::vector<uint8_t> all = test::MakeWholeEdid(bytes, blocks);
    if (whole) *whole = all;
    EdidBlock block;
    std::copy_n(all.begin(), kEdidSize, block.Bytes().begin());
    return FormatEdidReport(block, blocks);
  }
  const std::vector<EdidBytes> blocks_ = {test::MakeCtaBlock(), test::MakeExtensionBlock(kTagDisplayId, 7)};
};

TEST_F(WholeEdidCli, ExportWritesEveryBlockAndReportReadsThemBack) {
  std::vector<uint8_t> whole;
  const std::string report = Write("whole.ddc", WholeReport(blocks_, &whole));
  const Result exported = RunTool({"export", report, Path("whole.bin")});
  EXPECT_EQ(exported.status, 0) << exported.err;
  EXPECT_EQ(test::ReadFile(Path("whole.bin")), std::string(whole.begin(), whole.end()));
  const Result printed = RunTool({"report", Path("whole.bin")});
  EXPECT_EQ(printed.status, 0) << printed.err;
  EXPECT_EQ(printed.out, test::ReadFile(report));
}

// A report and its binary decode alike; text or one JSON object per file, a bad file named.
TEST_F(WholeEdidCli, InfoPrintsTheDecodedBlocksAsTextOrOneJsonObjectPerFile) {
  std::vector<uint8_t> whole;
  const std::string report = Write("whole.ddc", WholeReport(blocks_, &whole));
  const std::string binary = Write("whole.bin", std::string(whole.begin(), whole.end()));
  const Result text = RunTool({"info", binary});
  EXPECT_EQ(text.status, 0) << text.err;
  EXPECT_NE(text.out.find("\nBlock 1: CTA-861 Extension Block, revision 3 (bytes 128-255)\n"), std::string::npos);
  EXPECT_NE(text.out.find("\t\tVIC  16: 1920x1080 60.000 Hz 16:9, native (byte 133)\n"), std::string::npos);

  const Result json = RunTool({"info", "--json", report, binary});
  EXPECT_EQ(json.status, 0) << json.err;
  std::istringstream lines(json.out);
  std::string first, second, more;
  ASSERT_TRUE(std::getline(lines, first) && std::getline(lines, second));
  EXPECT_FALSE(std::getline(lines, more));
  const auto a = nlohmann::json::parse(first), b = nlohmann::json::parse(second);
  EXPECT_EQ(a["file"], report);
  EXPECT_EQ(b["file"], binary);
  EXPECT_EQ(a["blocks"], b["blocks"]);
  EXPECT_EQ(a["blocks"][1]["video"][0]["vic"], 16);
  EXPECT_EQ(a["blocks"][2]["kind"], "displayid");

  // A name that is not UTF-8 still makes valid JSON.
  const Result oddName = RunTool({"info", "--json", Write("odd\xff.bin", std::string(whole.begin(), whole.end()))});
  EXPECT_EQ(oddName.status, 0) << oddName.err;
  EXPECT_EQ(nlohmann::json::parse(oddName.out)["blocks"], b["blocks"]);

  const Result bad = RunTool({"info", Path("missing.bin"), binary});
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("missing.bin"), std::string::npos);
  EXPECT_EQ(bad.out, binary + ":\n" + text.out);
}

TEST_F(WholeEdidCli, ExportAndWriteRefuseWhatIsNotWholeAndWriteNothing) {
  const std::string good = WholeReport(blocks_);
  std::string uncounted = WholeReport({blocks_[0]});
  uncounted.replace(uncounted.find("126: 01"), 7, "126: 00");
  std::string badChecksum = good;
  const size_t lastCell = badChecksum.rfind("383: ") + 5;
  badChecksum.replace(lastCell, 2, badChecksum.substr(lastCell, 2) == "00" ? "01" : "00");
  struct Case {
    const char* name;
    std::string file;
    bool fixChecksumMends;
    const char* reason;
  };
  const Case cases[] = {
      {"a dump cut short", good.substr(0, good.find("\r\n320: ")), false,
       "incomplete EDID: 64 of its bytes are missing (a dump or file cut short, or fewer extension blocks than byte "
       "126 announces)"},
      {"byte 126 against the sections", uncounted, false,
       "Byte 126 of the base block announces 0 extension blocks, but the EDID holds 1."},
      {"a wrong extension checksum", badChecksum, true, "The checksum byte of extension block 2 is 0x"},
  };
  for (const Case& c : cases) {
    const std::string file = Write("bad.ddc", c.file);
    const std::string state = Path("monitor.state");
    fs::remove(state);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"export", file, Path("out.bin")},
          std::vector<std::string>{"write", "--simulate", "--sim-state", state, file}}) {
      fs::remove(Path("out.bin"));
      const Result r = RunTool(args);
      EXPECT_EQ(r.status, 1) << c.name << ": " << args[0];
      EXPECT_NE(r.err.find(c.reason), std::string::npos) << c.name << ": " << r.err;
      EXPECT_FALSE(fs::exists(Path("out.bin"))) << c.name;
      EXPECT_FALSE(fs::exists(state)) << c.name << ": the simulated monitor was not even started";
    }
    if (!c.fixChecksumMends) continue;
    EXPECT_EQ(RunTool({"export", "--fix-checksum", file, Path("out.bin")}).status, 0) << c.name;
    EXPECT_EQ(RunTool({"write", "--force", "--simulate", "--sim-eeprom-size=512", "--fix-checksum", file}).status, 0) << c.name;
  }
}

TEST_F(WholeEdidCli, WriteAndReadBackThroughTheSegmentPointerBetweenRuns) {
  std::vector<uint8_t> whole;
  const std::string source = Write("whole.ddc", WholeReport(blocks_, &whole));
  const std::string state = Path("monitor.state");
  Result r = RunTool({"write", "--force", "--simulate", "--sim-eeprom-size", "512", "--sim-state", state, source});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(fs::file_size(state), 1024u) << "both EEPROMs whole";
  // The state file's size says how large the EEPROMs are.
  r = RunTool({"read", "--simulate", "--sim-state", state, Path("back.bin")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(test::ReadFile(Path("back.bin")), std::string(whole.begin(), whole.end()));

  r = RunTool({"read", "--simulate", "--sim-eeprom-size", "1024", "--sim-state", state, Path("x.bin")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("not a simulated monitor state (2048 bytes expected)"), std::string::npos) << r.err;
  EXPECT_EQ(RunTool({"read", "--simulate", "--sim-eeprom-size", "300", Path("x.bin")}).status, 2) << "bad usage";

  // A 256-byte monitor has no segment pointer: it is asked before anything is written.
  r = RunTool({"write", "--force", "--simulate", source});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("does not answer the E-DDC segment pointer"), std::string::npos) << r.err;
}


// Each unit's EEPROM, read back: its own serial in the base block (the file's hexadecimal serial
// format puts the counter's number in bytes 12-15, least significant first), every extension block
// as the file has it.
TEST_F(WholeEdidCli, ProductionUnitsGetTheirOwnBaseBlockAndEveryExtensionBlockUnchanged) {
  const auto expectedUnit = [](const std::vector<uint8_t>& whole, const std::vector<EdidBytes>& blocks,
                               int serial) {
    EdidBytes base{};
    std::copy_n(whole.begin(), kEdidSize, base.begin());
    for (int i = 0; i < 4; ++i) base[12 + i] = static_cast<uint8_t>(serial >> (8 * i));
    const std::vector<uint8_t> unit = test::MakeWholeEdid(base, blocks);
    return std::string(unit.begin(), unit.end());
  };
  const std::string counter = Write("counter", "7000\n");
  const std::vector<EdidBytes> cta = {blocks_[0]};
  std::vector<uint8_t> whole;
  const std::string twoBlocks = Write("two.ddc", WholeReport(cta, &whole));
  for (int unit = 0; unit < 3; ++unit) {
    const std::string state = Path("unit" + std::to_string(unit) + ".state");
    Result r = RunTool({"write", "--simulate", "--serial-counter", counter, "--sim-state", state, twoBlocks});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "PASS " + std::to_string(7000 + unit) + "\n");
    r = RunTool({"read", "--simulate", "--sim-state", state, Path("back.bin")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::ReadFile(Path("back.bin")), expectedUnit(whole, cta, 7000 + unit)) << "unit " << unit;
  }
  EXPECT_EQ(test::ReadFile(counter), "7003\n");

  // Three blocks need the segment pointer of a larger EEPROM; the loop of --repeat writes them alike.
  const std::string threeBlocks = Write("three.ddc", WholeReport(blocks_, &whole));
  const std::string state = Path("large.state");
  Result r = RunTool({"write", "--simulate", "--sim-adapter", "i2c-dev", "--sim-eeprom-size", "512", "--repeat",
                      "--serial-counter", counter, "--log", Path("log.csv"), "--sim-state", state, threeBlocks});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "PASS 7003\n");
  EXPECT_NE(test::ReadFile(Path("log.csv")).find(",7003,7003,"), std::string::npos);
  r = RunTool({"read", "--simulate", "--sim-adapter", "i2c-dev", "--sim-state", state, Path("back.bin")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(test::ReadFile(Path("back.bin")), expectedUnit(whole, blocks_, 7003));
  EXPECT_EQ(test::ReadFile(counter), "7004\n");
}

// A CH341A with the EEPROM in its clip takes a base block alone and one with an extension, named
// or as the only programmer plugged in, and gives back every byte.
TEST_F(WholeEdidCli, TheCh341aWritesAndVerifiesWholeEdids) {
  const Result list = RunTool({"list", "--simulate", "--sim-adapter", "ch341a"});
  EXPECT_EQ(list.status, 0) << list.err;
  EXPECT_EQ(list.out, "ch341a:1.5\tCH341A USB programmer (bus 001 device 005)\t-\n");
  const std::string state = Path("clip.state");
  for (const auto& [blocks, bus] : {std::pair{std::vector<EdidBytes>{}, "ch341a"},
                                    std::pair{std::vector<EdidBytes>{test::MakeCtaBlock()}, "ch341a:1.5"}}) {
    std::vector<uint8_t> whole;
    WholeReport(blocks, &whole);
    SCOPED_TRACE(whole.size());
    const std::string source = Write("whole.bin", std::string(whole.begin(), whole.end()));
    const std::vector<std::string> programmer = {"--simulate", "--sim-adapter", "ch341a", "--sim-state", state};
    auto with = [&](std::vector<std::string> args) {
      args.insert(args.begin() + 1, programmer.begin(), programmer.end());
      return RunTool(args);
    };
    const Result write = with({"write", "--force", "--bus", bus, source});
    ASSERT_EQ(write.status, 0) << write.err;
    EXPECT_TRUE(write.err.ends_with("tolvex-cli: " + source + ": written to the monitor and verified\n")) << write.err;
    const Result read = with({"read", Path("back.bin")});
    ASSERT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(test::ReadFile(Path("back.bin")), std::string(whole.begin(), whole.end()));
  }
  const Result absent = RunTool({"read", "--simulate", "--sim-adapter", "ch341a", "--bus", "ch341a:2.1", Path("x.bin")});
  EXPECT_EQ(absent.status, 1);
  EXPECT_EQ(absent.err, "tolvex-cli: ch341a:2.1: there is no CH341A USB programmer at this bus and device\n");
}

// ---- Linux I2C buses, ppdev and the kernel's EDID copies -----------------------------------

TEST_F(CliTest, ListShowsTheSimulatedPcWithItsSmbusRefused) {
  const Result r = RunTool({"list", "--simulate", "--sim-adapter", "i2c-dev"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "/dev/i2c-3\tcard0-HDMI-A-1\tTOLVEX SIM17\n"
            "/dev/i2c-4\tcard0-DP-1\t(no display)\n"
            "/dev/i2c-0\tSMBus I801 adapter at efa0\t-\trefused: memory modules' SPD EEPROMs are on this bus (address "
            "0x50 belongs to the kernel driver ee1004), and writing one can leave the PC unable to boot\n");
  EXPECT_TRUE(r.err.empty()) << r.err;

  // A CP2112 is offered by model and USB port without --force, and says how it got round its limits.
  const Result usb = RunTool({"list", "--simulate", "--sim-adapter", "cp2112"});
  EXPECT_NE(usb.out.find("/dev/i2c-7\tCP2112 USB I2C adapter at USB 1-2\t-\n"), std::string::npos) << usb.out;
  const Result read = RunTool({"read", "--simulate", "--sim-adapter", "cp2112", Path("usb.bin")});
  EXPECT_EQ(read.status, 0) << read.err;
  EXPECT_EQ(read.err,
            "tolvex-cli: /dev/i2c-7: a one-byte read asked for the device at 0xA0: the adapter refused a zero-length "
            "write (Operation not supported)\n");

  const Result parallel = RunTool({"list", "--simulate", "--sim-access", "ppdev"});
  EXPECT_EQ(parallel.out, "/dev/parport0\t0x378\tBlack Box\n");
}

TEST_F(CliTest, ASysfsTreeOnDiskIsListedAndItsConnectorsFallBackToTheKernelsCopy) {
  sim::SimFiles files;
  test::BuildDesktopTree(files);
  test::WriteTree(files, dir_ / "root");
  const std::vector<std::string> tree = {"--simulate", "--sim-adapter", "i2c-dev", "--sysfs-root",
                                         (dir_ / "root" / "sys").string()};
  auto with = [&](std::vector<std::string> args) {
    args.insert(args.begin() + 1, tree.begin(), tree.end());
    return RunTool(args);
  };

  const Result list = with({"list"});
  EXPECT_EQ(list.status, 0) << list.err;
  EXPECT_EQ(list.out.rfind("/dev/i2c-3\tcard0-HDMI-A-1\tDELL P2415Q\n/dev/i2c-5\tcard0-DP-1\tDELL U2720Q\n", 0), 0u)
      << list.out;
  for (const char* refused : {"/dev/i2c-0\tSMBus I801 adapter at efa0\t-\trefused: ",
                              "/dev/i2c-1\tSynopsys DesignWare I2C adapter\t-\trefused: "}) {
    EXPECT_NE(list.out.find(refused), std::string::npos) << refused;
  }
  EXPECT_NE(list.out.find("/dev/i2c-7\ti2c-tiny-usb USB I2C adapter at USB 1-2\t-\n"), std::string::npos)
      << "an external programmer is offered";
  EXPECT_NE(list.out.find("/dev/i2c-8\tNVIDIA i2c adapter 1 at 1:00.0\t-\n"), std::string::npos);

  // card1-DP-2 has no bus; card0-DP-1's bus does not exist on this (simulated) machine.
  for (const char* connector : {"card1-DP-2", "card0-DP-1"}) {
    const Result read = with({"read", "--connector", connector, Path("c.bin")});
    EXPECT_EQ(read.status, 0) << read.err;
    EXPECT_NE(read.err.find("the EDID was read from the kernel's copy " + (dir_ / "root/sys/class/drm").string() + "/" +
                            connector + "/edid instead"),
              std::string::npos)
        << read.err;
  }
  EXPECT_EQ(test::ReadFile(Path("c.bin")), test::EdidNamed("DELL U2720Q"));
  const Result sysfs = with({"read", "--connector", "card1-DP-2", "--sysfs", Path("m.bin")});
  EXPECT_EQ(sysfs.status, 0) << sysfs.err;
  EXPECT_TRUE(sysfs.err.empty()) << sysfs.err;
  EXPECT_EQ(test::ReadFile(Path("m.bin")), test::EdidNamed("MATCHED"));

  const Result write = with({"write", "--connector", "card1-DP-2", Write("w.ddc", SampleReport())});
  EXPECT_EQ(write.status, 1);
  EXPECT_EQ(write.err, "tolvex-cli: card1-DP-2: no I2C bus reaches this connector\n");
}

TEST_F(CliTest, TheKernelBusWritesVerifiesAndRefusesWithNothingWritten) {
  const std::string state = Path("monitor.bin");
  const std::vector<std::string> kernel = {"--simulate", "--sim-adapter", "i2c-dev", "--sim-state", state};
  auto with = [&](std::vector<std::string> args) {
    args.insert(args.begin() + 1, kernel.begin(), kernel.end());
    return RunTool(args);
  };
  EdidBytes bytes{};
  const std::string source = Write("w.ddc", SampleReport(&bytes));
  for (const char* protocol : {"0", "1", "2"}) {
    const Result write = with({"write", "--force", "--protocol", protocol, source});
    EXPECT_EQ(write.status, 0) << protocol << ": " << write.err;
  }
  ASSERT_EQ(with({"read", Path("back.bin")}).status, 0);
  EXPECT_EQ(test::ReadFile(Path("back.bin")), std::string(bytes.begin(), bytes.end()));
  const std::string kept = test::ReadFile(state);

  const std::string fresh = Write("fresh.ddc", RunTool({"new"}).out);
  Result r = with({"write", "--force", "--sim-fault", "write-protect", fresh});
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.err, HasSubstr("tolvex-cli: EEPROM write-protected: The EEPROM still holds its previous EDID: many "
                               "monitors lock their DDC EEPROM against writes\n"));
  for (bool force : {false, true}) {
    std::vector<std::string> args = {"write", "--sim-fault", "dimm", fresh};
    if (force) args.insert(args.begin() + 1, "--force");
    r = with(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "tolvex-cli: /dev/i2c-0 (SMBus I801 adapter at efa0): refused: memory modules' SPD EEPROMs are on this "
              "bus (address 0x50 belongs to the kernel driver ee1004), and writing one can leave the PC unable to "
              "boot\n");
  }
  EXPECT_EQ(test::ReadFile(state), kept) << "nothing was written";

  EXPECT_EQ(with({"probe"}).out, "card0-HDMI-A-1: " + MonitorName(std::string(bytes.begin(), bytes.end())) + " (i2c-3)\n");
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"read", "--bus", "five", Path("x")}, {"read", "--bus", "3", "--connector", "card0-DP-1", Path("x")},
           {"read", "--sysfs", Path("x")}}) {
    EXPECT_EQ(with(args).status, 2) << args[1];
  }
}

// An EDID on a connector without flashing: the debugfs override (older kernels name the card's
// folder by its minor, newer ones by its PCI address), its reset, the refusals, and a firmware
// file with the initramfs step of the tool the root holds. Fake trees on disk stand for the
// kernel's.
TEST_F(CliTest, ApplyAndInstallFirmwareWriteTheKernelsFilesOrSayWhy) {
  sim::SimFiles files;
  test::BuildDesktopTree(files);
  test::WriteTree(files, dir_ / "root");
  const std::string sysfs = (dir_ / "root/sys").string();
  const std::string status = sysfs + "/class/drm/card0-HDMI-A-1/status";
  const std::vector<uint8_t> whole = test::MakeWholeEdid(ParseEdidFile(test::EdidNamed("APPLIED")).bytes,
                                                         {test::MakeCtaBlock()});
  const std::string edid = Write("applied.bin", std::string(whole.begin(), whole.end()));
  std::string broken = test::EdidNamed("BROKEN");
  broken[127] = static_cast<char>(broken[127] + 1);
  const std::string wrong = Write("wrong.bin", broken);

  struct Case {
    const char* name;
    const char* debugfsFolder;  // the connector's folder below debugfs/dri; nullptr: debugfs not mounted
    std::vector<std::string> args;
    int status;
    std::string override;  // what edid_override then holds
    std::string message;   // part of stderr
  };
  const std::string applied(whole.begin(), whole.end());
  const std::vector<Case> cases = {
      {"by minor", "0/HDMI-A-1", {"--connector", "card0-HDMI-A-1", edid}, 0, applied, "the EDID (256 bytes) went to "},
      {"by PCI address", "0000:00:02.0/HDMI-A-1", {"--connector", "card0-HDMI-A-1", edid}, 0, applied,
       "/dri/0000:00:02.0/HDMI-A-1/edid_override; the kernel probes the connector again"},
      {"reset", "0/HDMI-A-1", {"--connector", "card0-HDMI-A-1", "--reset"}, 0, "reset", "the override is reset"},
      {"wrong checksum", "0/HDMI-A-1", {"--connector", "card0-HDMI-A-1", wrong}, 1, "", "does not match"},
      {"no such connector", "0/HDMI-A-1", {"--connector", "card0-DP-9", edid}, 1, "", "there is no connector card0-DP-9"},
      {"no override", "0/DP-1", {"--connector", "card0-HDMI-A-1", edid}, 1, "", "offers no edid_override"},
      {"not mounted", nullptr, {"--connector", "card0-HDMI-A-1", edid}, 1, "",
       "debugfs is not mounted at " + Path("debug") + ": run sudo mount -t debugfs none /sys/kernel/debug, then: sudo "
       "tolvex-cli apply --debugfs-root " + Path("debug")},
  };
  for (const Case& c : cases) {
    fs::remove_all(Path("debug"));
    fs::create_directories(Path("debug"));
    const std::string override = Path("debug") + "/dri/" + (c.debugfsFolder ? c.debugfsFolder : "") + "/edid_override";
    if (c.debugfsFolder) Write("debug/dri/" + std::string(c.debugfsFolder) + "/edid_override", "");
    Write("root/sys/devices/pci0000:00/0000:00:02.0/drm/card0/card0-HDMI-A-1/status", "connected\n");
    std::vector<std::string> args = {"apply", "--debugfs-root", Path("debug"), "--sysfs-root", sysfs};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const Result r = RunTool(args);
    EXPECT_EQ(r.status, c.status) << c.name << ": " << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.name << ": " << r.err;
    if (c.debugfsFolder) EXPECT_EQ(test::ReadFile(override), c.override) << c.name;
    EXPECT_EQ(test::ReadFile(status), c.status == 0 ? "detect" : "connected\n") << c.name;
  }

  struct Firmware {
    const char* marker;  // what the root holds of an initramfs tool; nullptr: none
    std::string step;    // part of the last line
  };
  const std::vector<Firmware> tools = {
      {"etc/initramfs-tools/initramfs.conf", "copy_file firmware /lib/firmware/edid/card0-HDMI-A-1.bin"},
      {"etc/dracut.conf.d/10-local.conf", "install_items+=\" /lib/firmware/edid/card0-HDMI-A-1.bin \""},
      {"etc/mkinitcpio.conf", "to FILES=(...) in /etc/mkinitcpio.conf, then run: sudo mkinitcpio -P"},
      {nullptr, "No initramfs tool was found under "},
  };
  for (const Firmware& tool : tools) {
    fs::remove_all(Path("target"));
    if (tool.marker) Write("target/" + std::string(tool.marker), "");
    if (!tool.marker) fs::create_directories(Path("target"));
    const Result r = RunTool({"install-firmware", "--root", Path("target"), "--connector", "card0-HDMI-A-1", edid});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::ReadFile(Path("target/lib/firmware/edid/card0-HDMI-A-1.bin")), applied);
    EXPECT_NE(r.out.find("\nKernel parameter (add it to the boot loader's command line): "
                         "drm.edid_firmware=HDMI-A-1:edid/card0-HDMI-A-1.bin\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find(tool.step), std::string::npos) << r.out;
  }
  const Result bad = RunTool({"install-firmware", "--root", Path("target"), "--connector", "../../etc/x", edid});
  EXPECT_EQ(bad.status, 1);
  EXPECT_FALSE(fs::exists(Path("etc/x.bin")));
  EXPECT_EQ(RunTool({"install-firmware", "--root", Path("target"), "--connector", "HDMI-A-1", wrong}).status, 1);
  EXPECT_EQ(RunTool({"apply", "--connector", "card0-HDMI-A-1", "--reset", edid}).status, 2);
}

TEST_F(CliTest, ParallelAdaptersThroughPpdevReadWhatRawPortsRead) {
  for (const char* adapter : {"black-box", "service-kit"}) {
    std::string read[2];
    for (const char* access : {"raw", "ppdev"}) {
      const std::string file = Path(std::string(access) + ".ddc");
      const Result r = RunTool({"read", "--simulate", "--sim-adapter", adapter, "--sim-access", access, file});
      EXPECT_EQ(r.status, 0) << adapter << " " << access << ": " << r.err;
      read[std::string(access) == "ppdev"] = test::ReadFile(file);
    }
    EXPECT_EQ(read[0], read[1]) << adapter;
    EXPECT_FALSE(read[0].empty());
  }
}

// edit: each case's exit status, what stdout and stderr say, the decoded OUT; IN is never
// touched, and OUT is written only when every edit was done.
TEST_F(CliTest, EditWritesOutOnlyWhenEveryEditIsDoneAndNeverTouchesIn) {
  const EdidBlock base(test::FixedDate(2024, 5, 1));
  const std::vector<uint8_t> whole = test::MakeWholeEdid(base.Bytes(), {test::MakeCtaBlock()});
  const std::string original(whole.begin(), whole.end());
  const std::string in = Write("in.bin", original);
  const struct {
    std::vector<std::string> edits;
    std::string out;
    int status;
    std::string says;  // in stdout (status 0) or stderr
    std::string decoded;  // in OUT's info --json, when written
  } cases[] = {
      {{"--add-vic", "97", "--remove-vic", "4"}, "a.bin", 0, "block 1: VIC 97 added", "\"vic\":97"},
      {{"--set", "blocks[0].week=60"}, "b.bin", 0, "b.bin: failure: bytes 16-16: manufacture-date", "\"week\":60"},
      {{"--vrr", "48-75,amd"}, "c.ddc", 0, "AMD block added: 48-75 Hz", "\"max_hz\":75"},
      {{"--add-vic", "97", "--add-vic", "97"}, "d.bin", 1, "--add-vic refused: VIC 97 is already in the Video Data Block", ""},
      {{"--max-tmds", "500"}, "e.bin", 1, "only an HDMI Forum block states", ""},
      {{"--remove-block", "2"}, "f.bin", 1, "there is no block 2", ""},
      {{"--add-vic", "x"}, "g.bin", 2, "--add-vic takes a VIC number, not 'x'", ""},
      {{"--add-timing", "1920x1080"}, "h.bin", 2, "--add-timing takes WxH@HZ", ""},
      {{}, "i.bin", 2, "give at least one edit", ""},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"edit", in, Path(c.out)};
    args.insert(args.end(), c.edits.begin(), c.edits.end());
    const Result r = RunTool(args);
    const std::string shown = c.out + ": " + r.out + r.err;
    EXPECT_EQ(r.status, c.status) << shown;
    EXPECT_NE((c.status == 0 ? r.out : r.err).find(c.says), std::string::npos) << shown;
    EXPECT_EQ(test::ReadFile(in), original) << shown;
    EXPECT_EQ(fs::exists(Path(c.out)), c.status == 0) << shown;
    if (c.status != 0) continue;
    const Result info = RunTool({"info", "--json", Path(c.out)});
    EXPECT_NE(info.out.find(c.decoded), std::string::npos) << shown << info.out;
    EXPECT_EQ(RunTool({"check", Path(c.out)}).err, "") << "OUT is whole, its checksums right";
  }
  // A refused edit leaves an OUT that was there as it was.
  const std::string kept = Write("kept.bin", "kept");
  EXPECT_EQ(RunTool({"edit", in, kept, "--remove-vic", "99"}).status, 1);
  EXPECT_EQ(test::ReadFile(kept), "kept");
  EXPECT_EQ(RunTool({"edit", in, in, "--rgb-only"}).status, 2);
}

TEST_F(CliTest, DiffListsTheChangedFieldsThenTheBytes) {
  const EdidBlock base(test::FixedDate(2024, 5, 1));
  const std::vector<uint8_t> whole = test::MakeWholeEdid(base.Bytes(), {test::MakeCtaBlock()});
  const std::string a = Write("a.bin", std::string(whole.begin(), whole.end()));
  ASSERT_EQ(RunTool({"edit", a, Path("b.bin"), "--set", "blocks[0].week=9"}).status, 0);
  const Result same = RunTool({"diff", a, a});
  EXPECT_EQ(same.status, 0);
  EXPECT_EQ(same.out, "no difference\n");
  const Result d = RunTool({"diff", a, Path("b.bin")});
  EXPECT_EQ(d.status, 1);
  const std::string week = FormatText("  blocks[0].week: %d -> 9\n", base.Bytes()[16]);
  EXPECT_NE(d.out.find("Fields:\n" + week), std::string::npos) << d.out;
  EXPECT_NE(d.out.find(FormatText("Bytes:\n  16: %02x -> 09\n  127: ", base.Bytes()[16])), std::string::npos) << d.out;
  EXPECT_EQ(RunTool({"diff", a, Path("missing.bin")}).status, 1);
}

}  // namespace
}  // namespace tolvex
