// Speed of the conformance check. The Check pane re-checks the EDID on every keystroke of the
// wizard, so one check must stay far below the 2 ms budget of the whole keystroke path, with a
// 4-block EDID (whose extensions are decoded for their rules) as with a base block alone.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/bench_edids.h"
#include "check/edid_check.h"
#include "ddc/sim/sim_edid.h"

namespace tolvex {
namespace {

// The simulated monitor's EDID: clean, so the check runs every rule and finds nothing.
void BM_CheckCleanEdid(benchmark::State& state) {
  const EdidBytes bytes = sim::SimulatedEdid(false);
  for (auto _ : state) benchmark::DoNotOptimize(CheckEdid(bytes, 2026));
}
BENCHMARK(BM_CheckCleanEdid);

// The same block with something wrong in every region, so that many sentences are built.
void BM_CheckFaultyEdid(benchmark::State& state) {
  EdidBytes bytes = sim::SimulatedEdid(false);
  bytes[8] = 0xFF;                                   // manufacturer
  bytes[20] = 0xFE;                                  // digital reserved bits
  bytes[24] |= 0x04;                                 // sRGB, but not its primaries
  bytes[27] = 0x20;
  bytes[36] = 0xFF;                                  // established timings beyond the limits
  bytes[48] = bytes[49] = 0;                         // reserved standard timing code
  bytes[77] = 80;                                    // narrower vertical range
  bytes[107] = 0x20;                                 // name without its end mark
  bytes[126] = 2;                                    // extensions that are not there
  for (auto _ : state) benchmark::DoNotOptimize(CheckEdid(bytes, 2026));
}
BENCHMARK(BM_CheckFaultyEdid);

// A 4-block EDID (base, CTA-861, DisplayID, CTA-861): every extension decoded and checked.
void BM_CheckFourBlockEdid(benchmark::State& state) {
  const std::vector<uint8_t> whole = bench::FourBlockEdid();
  for (auto _ : state) benchmark::DoNotOptimize(CheckEdid(whole, 2026));
}
BENCHMARK(BM_CheckFourBlockEdid);

}  // namespace
}  // namespace tolvex
