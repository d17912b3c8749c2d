// The EDID report: the text rendering of the block, which is also the .ddc file format.
// CR LF lines, 8-bit text; the report is FormatReport followed directly by FormatHexDump.
#pragma once

#include <string>

#include "model/edid_block.h"

namespace tolvex {

// Every field, section by section, ending with the check sum line. Walks the four descriptor
// blocks with SelectDescriptor and leaves the current descriptor at index 3; no byte changes.
std::string FormatReport(EdidBlock& block);
// The hex dump section: an empty line, the heading, then 16 rows of 8 bytes.
std::string FormatHexDump(const EdidBlock& block);
// FormatReport followed by FormatHexDump: what the view shows and a .ddc file holds.
std::string FormatEdidReport(EdidBlock& block);

}  // namespace tolvex
