// The decoded model as report lines: each item's label on a line of its own with its bytes,
// each field below it one tab deeper as "<label>:  <value>" with the labels in the column the
// base report uses. The extension sections of the report, the base block's E-EDID 1.4 section
// and `tolvex-cli info` print with it.
#pragma once

#include <string>
#include <string_view>

#include "model/decoded_edid.h"

namespace tolvex {

// One block's decoded lines (its content, not its own heading), fields `depth` tabs in.
void AppendDecodedLines(std::string& text, const DecodedBlock& block, DecodeScope scope, std::string_view lineEnd,
                        int depth = 1);
// Every block: its label as a heading, then its lines.
void AppendDecodedEdid(std::string& text, const DecodedEdid& edid, std::string_view lineEnd);

}  // namespace tolvex
