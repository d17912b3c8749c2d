#include "model/dmt_table.h"

#include <algorithm>

namespace tolvex {

const DmtEntry* FindDmt(int id) {
  const auto* entry = std::find_if(kDmtTable.begin(), kDmtTable.end(), [id](const DmtEntry& e) { return e.id == id; });
  return entry == kDmtTable.end() ? nullptr : entry;
}

}  // namespace tolvex
