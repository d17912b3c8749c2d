#include "model/vic_table.h"

namespace tolvex {

namespace {

constexpr int kFirstHighVic = 193;
constexpr int kLowVics = 127;

constexpr bool VicsInOrder() {
  for (size_t i = 0; i < kVicTable.size(); ++i) {
    const int expected = i < kLowVics ? static_cast<int>(i) + 1 : kFirstHighVic + static_cast<int>(i) - kLowVics;
    if (kVicTable[i].vic != expected) return false;
  }
  return true;
}
static_assert(VicsInOrder(), "the VIC table is indexed by VIC");

}  // namespace

const VideoTiming* FindVic(int vic) {
  if (vic >= 1 && vic <= kLowVics) return &kVicTable[static_cast<size_t>(vic - 1)].timing;
  const int high = vic - kFirstHighVic + kLowVics;
  if (vic >= kFirstHighVic && high < static_cast<int>(kVicTable.size())) return &kVicTable[static_cast<size_t>(high)].timing;
  return nullptr;
}

int HdmiVicToVic(int hdmiVic) {
  return hdmiVic >= 1 && hdmiVic <= static_cast<int>(kHdmiVicToVic.size()) ? kHdmiVicToVic[static_cast<size_t>(hdmiVic - 1)] : 0;
}

}  // namespace tolvex
