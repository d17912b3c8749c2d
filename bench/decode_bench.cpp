// Speed of the decoded model. The report view and `tolvex-cli info` decode every extension block
// of a whole EDID; the structure panel and the check's extension rules will do so on every edit,
// so decoding and walking a 4-block EDID must stay far below the 2 ms of a keystroke.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ddc/sim/sim_edid.h"
#include "model/decoded_edid.h"
#include "model/edid_extensions.h"
#include "report/decoded_lines.h"
#include "report/edid_json.h"
#include "report/edid_report.h"

namespace tolvex {
namespace {

namespace fs = std::filesystem;

// TOLVEX_EDID_WHOLE, else the shared folder beside the checkout.
std::vector<std::vector<uint8_t>> LoadWholeEdids() {
  const char* env = std::getenv("TOLVEX_EDID_WHOLE");
  const fs::path checkout = fs::path(__FILE__).parent_path().parent_path();
  const fs::path dir = env ? fs::path(env) : checkout.parent_path() / "shared" / "edid-whole";
  std::vector<fs::path> paths;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(dir, error)) {
    if (entry.path().extension() == ".bin") paths.push_back(entry.path());
  }
  std::sort(paths.begin(), paths.end());
  std::vector<std::vector<uint8_t>> edids;
  for (const fs::path& path : paths) {
    std::ifstream in(path, std::ios::binary);
    edids.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return edids;
}

// A 4-block EDID as a DisplayPort monitor with HDMI carries it: the first real 3-block EDID
// (base, CTA-861, DisplayID) and the CTA-861 block of another after them. Without the real
// EDIDs, the simulated monitor's base block and three copies of a CTA-861 block.
std::vector<uint8_t> FourBlockEdid() {
  const auto edids = LoadWholeEdids();
  const auto three = std::find_if(edids.begin(), edids.end(), [](const auto& e) { return e.size() == 3 * kEdidSize; });
  const auto two = std::find_if(edids.begin(), edids.end(), [](const auto& e) { return e.size() == 2 * kEdidSize && e[kEdidSize] == kTagCta861; });
  std::vector<uint8_t> whole;
  if (three != edids.end() && two != edids.end()) {
    whole = *three;
    whole.insert(whole.end(), two->begin() + kEdidSize, two->end());
  } else {
    const EdidBytes base = sim::SimulatedEdid(true);
    whole.assign(base.begin(), base.end());
    EdidBytes cta{0x02, 0x03, 0x12, 0xF1, 0x44, 0x90, 0x04, 0x03, 0x02, 0x23, 0x09, 0x07, 0x07, 0x65, 0x03, 0x0C, 0x00, 0x10};
    cta[127] = ComputeChecksum(cta);
    for (int k = 0; k < 3; ++k) whole.insert(whole.end(), cta.begin(), cta.end());
  }
  whole[126] = 3;
  EdidBytes base;
  std::copy_n(whole.begin(), kEdidSize, base.begin());
  whole[127] = ComputeChecksum(base);
  return whole;
}

void BM_DecodeFourBlockEdid(benchmark::State& state) {
  const std::vector<uint8_t> whole = FourBlockEdid();
  for (auto _ : state) benchmark::DoNotOptimize(DecodeEdid(whole));
}
BENCHMARK(BM_DecodeFourBlockEdid);

// What `tolvex-cli report` and the report view render.
void BM_ReportOfFourBlockEdid(benchmark::State& state) {
  const WholeEdid whole = SplitWholeEdid(FourBlockEdid());
  EdidBlock block;
  block.Bytes() = whole.base;
  for (auto _ : state) benchmark::DoNotOptimize(FormatEdidReport(block, whole.extensions.blocks));
}
BENCHMARK(BM_ReportOfFourBlockEdid);

// `tolvex-cli info`, decode included.
void BM_InfoTextOfFourBlockEdid(benchmark::State& state) {
  const std::vector<uint8_t> whole = FourBlockEdid();
  for (auto _ : state) {
    std::string text;
    AppendDecodedEdid(text, DecodeEdid(whole), "\n");
    benchmark::DoNotOptimize(text.data());
  }
}
BENCHMARK(BM_InfoTextOfFourBlockEdid);

// `tolvex-cli info --json`, decode included.
void BM_InfoJsonOfFourBlockEdid(benchmark::State& state) {
  const std::vector<uint8_t> whole = FourBlockEdid();
  for (auto _ : state) benchmark::DoNotOptimize(EdidJson(DecodeEdid(whole)).dump());
}
BENCHMARK(BM_InfoJsonOfFourBlockEdid);

// Every real whole EDID decoded; the time is per EDID.
void BM_DecodeAllWholeEdids(benchmark::State& state) {
  static const auto edids = LoadWholeEdids();
  if (edids.empty()) {
    state.SkipWithError("no whole EDIDs beside the checkout");
    return;
  }
  for (auto _ : state) {
    for (const auto& edid : edids) benchmark::DoNotOptimize(DecodeEdid(edid));
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * edids.size()));
}
BENCHMARK(BM_DecodeAllWholeEdids);

}  // namespace
}  // namespace tolvex
