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
// FormatReport followed by FormatHexDump, and for E-EDID 1.4 the 1.4 section: what the view
// shows and a .ddc file holds.
std::string FormatEdidReport(EdidBlock& block);

// One section per extension block, to follow the base block's dump: a heading with the block's
// number (from 1), its kind by tag and whether its checksum is right, then its 128 bytes in the
// rows of the base dump with offsets counting on from 128 x number, then what the block's codec
// decodes (model/decoded_edid.h), one line per item and field.
std::string FormatExtensionSections(std::span<const EdidBytes> extensions);
// An extension block's kind as its section names it: "CTA-861 revision 3", "DisplayID",
// "unknown tag 0x42".
std::string ExtensionKindText(const EdidBytes& block);
// The report of a whole EDID: the base block's report and dump, for an E-EDID 1.4 block its 1.4
// reading as a section of its own, then the extension sections. The base block's report and
// dump come first byte for byte, whatever follows.
std::string FormatEdidReport(EdidBlock& block, std::span<const EdidBytes> extensions);

}  // namespace tolvex
