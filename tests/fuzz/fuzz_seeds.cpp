// fuzz_seeds DIR: writes the starting inputs of every fuzz target into DIR/<target>/: reports
// rendered from the sample EDIDs (when present) and from built-in blocks, in both dump layouts
// and with a damaged row; raw blocks; bus transactions bit by bit; transfer set-ups; the
// extension blocks of the real whole EDIDs (when present) and a built-in one.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ddc/sim/sim_edid.h"
#include "report/edid_report.h"
#include "report/report_texts.h"
#include "test_support.h"

using namespace tolvex;
namespace fs = std::filesystem;

namespace {

void Put(const fs::path& dir, const std::string& target, const std::string& name, const std::string& bytes) {
  fs::create_directories(dir / target);
  std::ofstream(dir / target / name, std::ios::binary) << bytes;
}

std::vector<EdidBytes> Blocks() {
  std::vector<EdidBytes> blocks;
  EdidBlock block(test::FixedDate(2026, 12, 8));
  blocks.push_back(block.Bytes());
  for (const bool digital : {false, true}) {
    sim::FillSimulatedEdid(block, digital);
    blocks.push_back(block.Bytes());
  }
  for (const fs::path& file : test::SampleFiles()) blocks.push_back(test::ReadSample(file));
  return blocks;
}

// The dump rows as older files hold them: "%3d: %2x" cells two blanks apart.
std::string OlderLayout(const std::string& report, const EdidBytes& bytes) {
  std::string text = report.substr(0, report.find(report_text::kDumpFirstRow));
  for (int i = 0; i < kEdidSize; ++i) {
    char cell[16];
    std::snprintf(cell, sizeof cell, "%s%3d: %2x", i % 8 ? "  " : "", i, bytes[i]);
    text += cell;
    if (i % 8 == 7) text += "\r\n";
  }
  return text;
}

// The master's drive, one step a line change: bit 0 SCL, bit 1 SDA.
class Wire {
 public:
  void Drive(bool scl, bool sda) { steps_ += static_cast<char>((scl ? 1 : 0) | (sda ? 2 : 0)); }
  void Start() { Drive(true, true), Drive(true, false), Drive(false, false); }
  void Stop() { Drive(false, false), Drive(true, false), Drive(true, true); }
  void Bit(bool value) { Drive(false, value), Drive(true, value), Drive(false, value); }
  void Byte(uint8_t value) {
    for (int i = 7; i >= 0; --i) Bit((value >> i) & 1);
    Bit(true);  // the acknowledge clock, data released
  }
  const std::string& Steps() const { return steps_; }

 private:
  std::string steps_;
};

void ReportSeeds(const fs::path& dir, const std::vector<EdidBytes>& blocks) {
  for (size_t n = 0; n < blocks.size(); ++n) {
    EdidBlock block(test::FixedDate(2026, 12, 8));
    block.Bytes() = blocks[n];
    block.SetProductCodeFormat(static_cast<uint8_t>(n % 2 ? 0x81 : 0x00));
    block.SetSerialFormat(static_cast<uint8_t>(n % 3 == 2 ? kSerialAscii : n % 3));
    const std::string report = FormatEdidReport(block);
    const std::string name = "block" + std::to_string(n);
    Put(dir, "report_reader_fuzz", name + ".ddc", report);
    Put(dir, "report_reader_fuzz", name + "-older.ddc", OlderLayout(report, blocks[n]));
    Put(dir, "cli_report_fuzz", name + ".ddc", report);
    Put(dir, "cli_report_fuzz", name + ".bin", std::string(blocks[n].begin(), blocks[n].end()));
    if (n < 3) {
      std::string damaged = report;
      damaged.erase(damaged.find(" 28: "), 8);
      Put(dir, "report_reader_fuzz", name + "-damaged.ddc", damaged);
    }
    std::string raw = {static_cast<char>(n), static_cast<char>(n / 4)};
    raw.append(blocks[n].begin() + 8, blocks[n].end());
    Put(dir, "render_roundtrip_fuzz", name, raw);
  }
}

void BusSeeds(const fs::path& dir, const EdidBytes& block) {
  for (const bool eepromsOnly : {true, false}) {
    Wire wire;
    wire.Start();
    for (const uint8_t byte : {uint8_t{0xA0}, uint8_t{0x00}, block[8], block[9], block[10]}) wire.Byte(byte);
    wire.Stop();
    wire.Start();
    wire.Byte(0xA0);
    wire.Byte(0x00);
    wire.Start();
    wire.Byte(0xA1);
    for (int i = 0; i < 4; ++i) wire.Byte(0xFF);  // data released: the monitor drives the bits
    wire.Stop();
    Put(dir, "sim_monitor_fuzz", eepromsOnly ? "eeproms" : "all", std::string(1, eepromsOnly ? 1 : 0) + '\x7d' + wire.Steps());
  }
}

// Mostly the S3 card (a first byte below 0xC0): the parallel adapters pace every bit with about
// seventy times the port accesses, so they get one seed each (0xC0 and up choose by the row).
void TransferSeeds(const fs::path& dir, const EdidBytes& block) {
  const auto seed = [&](uint8_t adapter, uint8_t path, uint8_t write, uint32_t at, uint8_t fault, uint8_t argument) {
    std::string bytes = {static_cast<char>(adapter), static_cast<char>(path), static_cast<char>(write), 125};
    bytes.append(block.begin() + 8, block.end());
    bytes.append(reinterpret_cast<const char*>(&at), sizeof at);
    bytes += static_cast<char>(fault);
    bytes += static_cast<char>(argument);
    char name[48];
    std::snprintf(name, sizeof name, "a%02xp%02xw%d-f%d-%u", adapter, path, write, fault, at);
    Put(dir, "transfer_fault_fuzz", name, bytes);
  };
  for (uint8_t path = 0; path < 5; ++path) {
    for (uint8_t write = 0; write < 2; ++write) {
      for (uint8_t fault = 0; fault < 7; ++fault) seed(0x00, path, write, 3000u + 9000u * fault, fault, 40);
    }
  }
  seed(0xF0, 0xF1, 1, 100'000, 6, 200);  // a factory write on the card, cut short
  seed(0xC0, 0x00, 0, 400'000, 0, 0);     // a Black Box read, unplugged
  seed(0xC1, 0x00, 1, 900'000, 2, 0);     // a Service Kit write, write-protected
}

// The extension blocks of the real whole EDIDs (when present) and a built-in CTA-861 block, each
// with the tag byte that keeps its own tags.
void ExtensionSeeds(const fs::path& dir) {
  std::vector<std::string> inputs;
  const EdidBytes cta = test::MakeCtaBlock();
  inputs.push_back(std::string(1, '\0') + std::string(cta.begin(), cta.end()));
  for (const fs::path& file : test::WholeEdidFiles()) {
    const std::string bytes = test::ReadFile(file);
    if (bytes.size() > static_cast<size_t>(kEdidSize)) inputs.push_back(std::string(1, '\0') + bytes.substr(kEdidSize));
  }
  for (size_t n = 0; n < inputs.size(); ++n) Put(dir, "extension_decode_fuzz", "whole" + std::to_string(n), inputs[n]);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_seeds DIR\n");
    return 2;
  }
  const fs::path dir = argv[1];
  const std::vector<EdidBytes> blocks = Blocks();
  ReportSeeds(dir, blocks);
  BusSeeds(dir, blocks[1]);
  TransferSeeds(dir, blocks[1]);
  ExtensionSeeds(dir);
  std::printf("fuzz seeds from %zu blocks (%zu samples) in %s\n", blocks.size(), blocks.size() - 3, dir.c_str());
  return 0;
}
