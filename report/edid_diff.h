// The decoded fields and the bytes in which two whole EDIDs differ, as text: tolvex-cli diff
// prints it, and the desktop program's "Compare with..." window shows it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tolvex {

struct EdidDifference {
  bool same;
  // "no difference", or "Fields:" with one "  PATH: OLD -> NEW" line per field (the paths of
  // info --json, in A's order, then the fields only B has) and "Bytes:" with one
  // "  OFFSET: xx -> yy" line per byte; a side lacking a field or byte shows "(absent)". LF lines.
  std::string text;
};

EdidDifference DiffEdids(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b);

}  // namespace tolvex
