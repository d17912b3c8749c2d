// The EDID report: the text rendering of the block, which is also the .ddc file format.
// CR LF lines, 8-bit text; the report is FormatReport followed directly by FormatHexDump.
#pragma once

#include <span>
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

// One section per extension block, to follow the base block's dump: a heading with the block's
// number (from 1), its kind by tag and whether its checksum is right, then its 128 bytes in the
// rows of the base dump with offsets counting on from 128 x number.
std::string FormatExtensionSections(std::span<const EdidBytes> extensions);
// The report of a whole EDID: the base block's report and dump, then the extension sections.
// Without extensions it is the base block's report byte for byte.
std::string FormatEdidReport(EdidBlock& block, std::span<const EdidBytes> extensions);

}  // namespace tolvex
