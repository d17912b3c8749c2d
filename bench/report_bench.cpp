// Speed of the report writer and reader. The view regenerates the report after every monitor
// read and the wizard after every finish, so a full report should stay well under 20 us.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "model/edid_block.h"
#include "report/edid_report.h"
#include "report/report_reader.h"

namespace tolvex {
namespace {

// A version 1.3 block with every section as long as it gets: all established and standard
// timings, a detailed timing, range limits with the secondary GTF block, a name and six more
// standard timings.
void FillBlock(EdidBlock& block) {
  block.SetManufacturerId("TLX");
  block.SetProductCode(0x1234);
  block.SetSerialNumber(12345678);
  block.SetSerialFormat(kSerialDecimal);
  block.SetVersion(1, 3);
  block.SetSignalLevel(1);
  block.SetSeparateSync(1);
  block.SetMaxImageWidth(34);
  block.SetMaxImageHeight(27);
  block.SetGamma(2.2f);
  block.SetStandby(1);
  block.SetDisplayType(1);
  block.SetPreferredTiming(1);
  block.SetChromaticity({0.64f, 0.33f, 0.30f, 0.60f, 0.15f, 0.06f, 0.313f, 0.329f});
  block.SetEstablishedTimings(0xFF, 0xFF, 0x80);
  for (int slot = 0; slot < 8; ++slot) {
    block.SetStdTimingWidth(slot, 640 + 160 * static_cast<unsigned>(slot));
    block.SetStdTimingAspect(slot, static_cast<unsigned>(slot % 4));
    block.SetStdTimingRefresh(slot, 60 + static_cast<unsigned>(slot));
  }

  block.SelectDescriptor(0);
  block.SetPixelClock(108.0f);
  block.SetHActive(1280);
  block.SetHBlanking(408);
  block.SetVActive(1024);
  block.SetVBlanking(42);
  block.SetHSyncOffset(48);
  block.SetHSyncWidth(112);
  block.SetVSyncOffset(1);
  block.SetVSyncWidth(3);
  block.SetHImageSize(338);
  block.SetVImageSize(270);
  block.SetStereoMode(2);
  block.SetSyncMode(0x0F);
  block.SelectDescriptor(1);
  block.SetRangeLimits(30, 82, 50, 75, 140);
  block.SetSecondaryGtf(2, 30, 40, 600, 128, 20);
  block.SelectDescriptor(2);
  block.SetDescriptorText(kTagMonitorName, "TOLVEX 17");
  block.SelectDescriptor(3);
  block.WriteDescriptorHeader(kTagStdTimings);
  for (int slot = 8; slot < 14; ++slot) {
    block.SetStdTimingWidth(slot, 800 + 128 * static_cast<unsigned>(slot));
    block.SetStdTimingAspect(slot, 1);
    block.SetStdTimingRefresh(slot, 75);
  }
  block.UpdateChecksum();
}

// TOLVEX_EDID_SAMPLES, else the shared folder beside the checkout.
std::vector<EdidBytes> LoadSamples() {
  namespace fs = std::filesystem;
  const char* env = std::getenv("TOLVEX_EDID_SAMPLES");
  const fs::path checkout = fs::path(__FILE__).parent_path().parent_path();
  const fs::path dir = env ? fs::path(env) : checkout.parent_path() / "shared" / "edid-samples";
  std::vector<EdidBytes> samples;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(dir, error)) {
    if (entry.path().extension() != ".bin") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (data.size() < static_cast<size_t>(kEdidSize)) continue;
    EdidBytes bytes;
    std::copy_n(data.begin(), kEdidSize, bytes.begin());
    samples.push_back(bytes);
  }
  return samples;
}

void BM_FormatReportAndDump(benchmark::State& state) {
  EdidBlock block;
  FillBlock(block);
  for (auto _ : state) {
    std::string report = FormatReport(block);
    std::string dump = FormatHexDump(block);
    benchmark::DoNotOptimize(report.data());
    benchmark::DoNotOptimize(dump.data());
  }
}
BENCHMARK(BM_FormatReportAndDump);

void BM_ReadReport(benchmark::State& state) {
  EdidBlock block;
  FillBlock(block);
  const std::string text = FormatEdidReport(block);
  for (auto _ : state) {
    auto content = ReadReport(text);
    benchmark::DoNotOptimize(content);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadReport);

// A base block with three extension blocks (what a monitor with HDMI and DisplayID carries),
// rendered and read back: a read of such a monitor regenerates this report.
void BM_WholeEdidReportAndReadBack(benchmark::State& state) {
  EdidBlock block;
  FillBlock(block);
  block.Bytes()[126] = 3;
  block.UpdateChecksum();
  std::vector<EdidBytes> extensions(3);
  for (size_t k = 0; k < extensions.size(); ++k) {
    for (int i = 0; i < kEdidSize; ++i) extensions[k][i] = static_cast<uint8_t>(i * 7 + k);
    extensions[k][127] = ComputeChecksum(extensions[k]);
  }
  for (auto _ : state) {
    const std::string report = FormatEdidReport(block, extensions);
    auto content = ReadReport(report);
    benchmark::DoNotOptimize(content);
  }
}
BENCHMARK(BM_WholeEdidReportAndReadBack);

// Every real sample rendered and read back; the time is per sample.
void BM_AllSamplesRoundTrip(benchmark::State& state) {
  static const std::vector<EdidBytes> samples = LoadSamples();
  if (samples.empty()) {
    state.SkipWithError("no sample EDIDs beside the checkout");
    return;
  }
  EdidBlock block;
  for (auto _ : state) {
    for (const EdidBytes& sample : samples) {
      block.Bytes() = sample;
      const std::string report = FormatEdidReport(block);
      auto content = ReadReport(report);
      benchmark::DoNotOptimize(content);
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * samples.size()));
}
BENCHMARK(BM_AllSamplesRoundTrip)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tolvex
