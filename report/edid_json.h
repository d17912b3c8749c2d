// `tolvex-cli info --json`: the decoded whole EDID as one JSON object. Its "blocks" hold every
// item and field of the walk (model/decoded_item.h) under their keys, each item with its
// "bytes": [first, last] in the whole EDID; each CTA-861 and DisplayID block adds summary keys
// gathered from its data blocks ("video", "audio", "hdmi", "timings", ...), which scripts rely
// on. cli/man/tolvex-cli.1 documents the keys; they do not change.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "model/decoded_edid.h"
#include "model/field_paths.h"

namespace tolvex {

// With a `file` name, "file" comes first.
nlohmann::ordered_json EdidJson(const DecodedEdid& edid, std::string_view file = {});

}  // namespace tolvex
