// Speed of the decoded model. The report view and `tolvex-cli info` decode every extension block
// of a whole EDID; the structure panel and the check's extension rules will do so on every edit,
// so decoding and walking a 4-block EDID must stay far below the 2 ms of a keystroke.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/bench_edids.h"
#include "model/decoded_edid.h"
#include "model/edid_extensions.h"
#include "report/decoded_lines.h"
#include "report/edid_json.h"
#include "report/edid_report.h"

namespace tolvex {
namespace {

using bench::FourBlockEdid;
using bench::LoadWholeEdids;

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
