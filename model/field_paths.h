// The JSON path of every decoded field, in walk order: "blocks[1].data_blocks[2].max_tmds_mhz".
// `tolvex-cli info --json` prints the same keys, so the field setter and the comparison of two
// EDIDs find and name a field by the path scripts read off it.
#pragma once

#include <string>
#include <vector>

#include "model/decoded_edid.h"

namespace tolvex {

struct FieldAtPath {
  std::string path;
  DecodedField field;
};
std::vector<FieldAtPath> FieldPaths(const DecodedEdid& edid);

}  // namespace tolvex
