// The wire as a logic analyser sees it: tolvex-cli records the simulated lines with --sim-capture
// and sigrok's I2C decoder, which nobody here wrote, reads back the addresses and bytes. Skipped
// where sigrok-cli is not installed (scripts/setup.sh installs it).
#include <unistd.h>

#include <gtest/gtest.h>

#include "ddc/sim/sim_edid.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "cli/cli.h"
#include "cli/edid_file.h"
#include "test_support.h"

namespace tolvex {
namespace {

namespace fs = std::filesystem;

bool SigrokAvailable() { return std::system("sigrok-cli --version >/dev/null 2>&1") == 0; }

std::string RunCommand(const std::string& command) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return output;
  char chunk[4096];
  while (const size_t n = fread(chunk, 1, sizeof chunk, pipe)) output.append(chunk, n);
  pclose(pipe);
  return output;
}

// sigrok's annotations as tokens: "@A0+" an address (8-bit, direction included) and its
// acknowledge, ">12+" a byte written, "<12-" a byte read and the master's answer. Addresses
// nobody acknowledged are left out: how often the master polls a busy EEPROM is not fixed.
std::string Decode(const fs::path& capture) {
  // Idle stretches (the one-second calibration, the pauses) are squeezed to 1 µs; the decoder
  // follows edges, not time.
  const std::string annotations =
      RunCommand("sigrok-cli -I vcd:compress=1000 -i '" + capture.string() +
                 "' -P i2c:scl=scl:sda=sda:address_format=unshifted "
                 "-A i2c=address-read:address-write:data-read:data-write:ack:nack 2>&1");
  static const std::regex kLine(R"(i2c-1: (Address|Data) (read|write): ([0-9A-F]{2})\n.*i2c-1: (N?ACK))");
  std::string tokens;
  for (auto it = std::sregex_iterator(annotations.begin(), annotations.end(), kLine); it != std::sregex_iterator();
       ++it) {
    const std::smatch& m = *it;
    const bool acked = m[4] == "ACK";
    if (m[1] == "Address" && !acked) continue;
    const char kind = m[1] == "Address" ? '@' : m[2] == "write" ? '>' : '<';
    tokens += std::string(1, kind) + m[3].str() + (acked ? "+ " : "- ");
  }
  return tokens;
}

std::string Hex(uint8_t byte) {
  char text[3];
  std::snprintf(text, sizeof text, "%02X", byte);
  return text;
}

std::string Written(std::initializer_list<uint8_t> bytes) {
  std::string tokens;
  for (uint8_t b : bytes) tokens += ">" + Hex(b) + "+ ";
  return tokens;
}

// The DDC2B read: word address 0, then the whole block, the last byte not acknowledged; then the
// EEPROM answers its address once more, which shows it was there for the whole read.
std::string EepromRead(const EdidBytes& block) {
  std::string tokens = "@A0+ " + Written({0x00}) + "@A1+ ";
  for (int i = 0; i < kEdidSize; ++i) tokens += "<" + Hex(block[i]) + (i + 1 < kEdidSize ? "+ " : "- ");
  return tokens + "@A0+ ";
}

class SimCaptureTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    if (!SigrokAvailable()) GTEST_SKIP() << "sigrok-cli is not installed";
    dir_ = fs::temp_directory_path() / ("tolvex-capture-test-" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Runs tolvex-cli COMMAND on the simulated adapter of this test, recording the lines; the
  // decoded capture.
  std::string Capture(std::vector<std::string> args) {
    const fs::path capture = dir_ / "lines.vcd";
    args.insert(args.begin() + 1, {"--simulate", std::string("--sim-adapter=") + GetParam(),
                                   "--sim-capture=" + capture.string()});
    std::ostringstream out, err;
    EXPECT_EQ(RunCli(args, out, err), 0) << err.str();
    return Decode(capture);
  }

  // A block that differs from the simulated monitor's, as raw binary EDID.
  std::string BlockFile(EdidBytes& bytes) {
    EdidBlock block(test::FixedDate(2025, 6, 30));
    block.SetManufacturerId("QRS");
    block.SetProductCode(0xBEEF);
    block.UpdateChecksum();
    bytes = block.Bytes();
    const fs::path path = dir_ / "block.bin";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), kEdidSize);
    return path.string();
  }

  fs::path dir_;
};

TEST_P(SimCaptureTest, Ddc2bReadDecodesToTheAddressesAndTheBlockRead) {
  const std::string decoded = Capture({"read", (dir_ / "read.bin").string()});
  const EdidFile read = LoadEdidFile(dir_ / "read.bin");
  ASSERT_TRUE(read.ok) << read.error;
  EXPECT_EQ(decoded, EepromRead(read.bytes));
}

TEST_P(SimCaptureTest, Ddc2bWriteDecodesToEightBytePagesAndTheVerifyingRead) {
  EdidBytes block{};
  const std::string file = BlockFile(block);
  // The read before the write, of what the monitor held, comes first.
  std::string expected = EepromRead(sim::SimulatedEdid(false));
  for (int page = 0; page < kEdidSize; page += 8) {
    expected += "@A0+ " + Written({static_cast<uint8_t>(page)});
    for (int i = page; i < page + 8; ++i) expected += Written({block[i]});
  }
  expected += EepromRead(block);
  EXPECT_EQ(Capture({"write", "--force", file}), expected);
}

TEST_P(SimCaptureTest, AocWriteDecodesToCommandFramesAndFiveByteReplies) {
  EdidBytes block{};
  const std::string file = BlockFile(block);
  std::string expected = EepromRead(sim::SimulatedEdid(false));
  for (int i = 0; i < kEdidSize; ++i) {
    const auto offset = static_cast<uint8_t>(i + 0x78);
    const uint8_t data = block[i];
    expected += "@A8+ " + Written({0x07, offset, data, 0x00, static_cast<uint8_t>(0x07 + offset + data)});
    expected += "@A8+ " + Written({0x67, offset}) + "@A9+ ";
    expected += "<" + Hex(data) + "+ <" + Hex(data ^ 0xFF) + "+ <5A+ <A5+ <" + Hex(data) + "- ";
  }
  EXPECT_EQ(Capture({"write", "--force", "--protocol=2", file}), expected);
}

INSTANTIATE_TEST_SUITE_P(Adapters, SimCaptureTest, ::testing::Values("black-box", "service-kit", "s3"),
                         [](const auto& info) { return std::regex_replace(info.param, std::regex("-"), ""); });

// The kernel's bit-banging master on the same monitor: its wires decode to the same read.
TEST(SimCapture, TheKernelBusReadDecodesAsTheAdaptersDo) {
  if (!SigrokAvailable()) GTEST_SKIP() << "sigrok-cli is not installed";
  const fs::path dir = fs::temp_directory_path() / ("tolvex-capture-kernel-" + std::to_string(getpid()));
  fs::create_directories(dir);
  std::ostringstream out, err;
  ASSERT_EQ(RunCli({"read", "--simulate", "--sim-adapter=i2c-dev", "--sim-capture=" + (dir / "lines.vcd").string(),
                    (dir / "read.bin").string()},
                   out, err),
            0)
      << err.str();
  const EdidFile read = LoadEdidFile(dir / "read.bin");
  ASSERT_TRUE(read.ok) << read.error;
  EXPECT_EQ(Decode(dir / "lines.vcd"), EepromRead(read.bytes));
  fs::remove_all(dir);
}

TEST(SimCapture, AFileThatCannotBeCreatedIsRefusedBeforeTheBusIsTouched) {
  std::ostringstream out, err;
  const int status = RunCli({"probe", "--simulate", "--sim-capture=/nonexistent/folder/lines.vcd"}, out, err);
  EXPECT_EQ(status, 1);
  EXPECT_NE(err.str().find("/nonexistent/folder/lines.vcd: cannot write the capture"), std::string::npos) << err.str();
  EXPECT_TRUE(out.str().empty());
}

}  // namespace
}  // namespace tolvex
