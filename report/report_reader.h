// Reading a block back from an EDID report text (a .ddc file): the 128 bytes from the hex dump,
// the two display settings from the "ID Product Code" and "ID Serial Number" lines, and the
// extension blocks from the sections after the dump.
// The reader never reads outside the text it is given, whatever that text holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "model/edid_block.h"
#include "model/edid_extensions.h"

namespace tolvex {

struct DumpStart {
  size_t position;  // offset of the first dump row in the text
  int cellGap;      // 1 for the current layout, 2 for the older one
};

// The first dump row of the current layout, else of the older layout.
std::optional<DumpStart> FindDumpStart(std::string_view text);
// 16 rows of 8 cells from the start. Bytes the text does not supply (a dump cut short, a cell
// without a hexadecimal digit) are 0x00.
EdidBytes ParseDump(std::string_view text, DumpStart start);

// The whole EDID of a report: the base block as ParseDump reads it, then the blocks of the
// extension sections after its dump, found by their first row ("128: ", "256: ", ...) and read
// cell by cell until a cell is not there. Cells of the base dump without a hexadecimal digit,
// cells an extension section lacks, and blocks byte 126 announces beyond the sections found are
// counted as missing.
struct WholeDump {
  EdidBytes base;
  EdidExtensions extensions;
};
WholeDump ParseWholeDump(std::string_view text, DumpStart start);

uint8_t ReadProductCodeFormat(std::string_view text);
uint8_t ReadSerialFormat(std::string_view text);

struct ReportContent {
  EdidBytes bytes;
  uint8_t productCodeFormat;
  uint8_t serialFormat;
  EdidExtensions extensions;
};

// All of the above (the whole dump); nothing when the text has no dump row.
std::optional<ReportContent> ReadReport(std::string_view text);

}  // namespace tolvex
