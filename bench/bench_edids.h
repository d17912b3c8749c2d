// The EDIDs the benchmarks measure with: the real whole EDIDs beside the checkout, and a 4-block
// EDID made of them (or of the simulated monitor's block where they are absent).
#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "ddc/sim/sim_edid.h"
#include "model/edid_block.h"
#include "model/edid_extensions.h"

namespace tolvex::bench {

namespace fs = std::filesystem;

// TOLVEX_EDID_WHOLE, else the folder the build was configured with (the shared folder beside the
// checkout).
inline std::vector<std::vector<uint8_t>> LoadWholeEdids() {
  const char* env = std::getenv("TOLVEX_EDID_WHOLE");
  const fs::path dir = env ? fs::path(env) : fs::path(TOLVEX_WHOLE_DIR);
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
inline std::vector<uint8_t> FourBlockEdid() {
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

}  // namespace tolvex::bench
