// Reading a block back from an EDID report text (a .ddc file): the 128 bytes from the hex dump,
// the two display settings from the "ID Product Code" and "ID Serial Number" lines, and the
// extension blocks from the sections after the dump.
// The reader never reads outside the text it is given, whatever that text holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/edid_block.h"
#include "model/edid_extensions.h"

namespace tolvex {

// The largest report file a reader takes, as the view takes no more.
inline constexpr size_t kMaxReportFileSize = 1'048'575;

struct DumpStart {
  size_t position;  // offset of the first dump row in the text
  int cellGap;      // 1 for the current layout, 2 for the older one
};

// The first dump row of the current layout, else of the older layout.
std::optional<DumpStart> FindDumpStart(std::string_view text);
// 16 rows of 8 cells from the start, forgiving whatever the text holds. Bytes the text does not
// supply (a dump cut short, a cell without a hexadecimal digit) are 0x00.
EdidBytes ParseDump(std::string_view text, DumpStart start);

// The first place where a dump leaves the layout it started in.
struct DumpDamage {
  enum Kind : uint8_t {
    kRowMissing,  // the line holds no cell at all: the dump ends early
    kCellCount,   // the line holds `cells` cells, not eight
    kCellOffset,  // the cell of `offset` is not where the layout puts it, or carries another offset
    kCellValue,   // the cell of `offset` is not two hexadecimal digits
    kTrailing,    // more follows the row's eighth cell on its line
  };
  Kind kind;
  size_t line;  // in the whole text, counted from 1
  int offset;   // the row's first offset (kRowMissing, kCellCount, kTrailing) or the cell's
  int cells = 0;
};

// One line for the user, naming the line.
std::string DescribeDumpDamage(const DumpDamage& damage);

// Dump rows one after another, strictly in the layout of the start: each row is eight cells
// "%3d: xx" whose offsets count on from the row's first, one blank apart in the current layout
// and two in the older one (where a value may be a blank and one digit), then nothing but blanks
// up to the line break. Offsets may go on past 127 (wider than three columns from 1000 on).
class DumpRowReader {
 public:
  DumpRowReader(std::string_view text, DumpStart start);

  // Reads the row at the reader's position into bytes[0..7] and moves to the next line; on
  // damage the position stays and the bytes are unspecified.
  std::optional<DumpDamage> ReadRow(int firstOffset, uint8_t* bytes);
  size_t Position() const { return pos_; }

 private:
  struct RowEnd {
    size_t contentEnd;  // where the line break (or the text) starts
    size_t next;        // the next line's start
  };
  RowEnd FindRowEnd() const;
  std::optional<DumpDamage> Damage(int firstOffset, DumpDamage::Kind kind, int offset) const;
  int CountCells(size_t end) const;

  std::string_view text_;
  size_t pos_;
  int cellGap_;
};

// Runs of dump rows among the lines of a text (line ends removed), in the current layout or the
// older one: a run is rows whose first offsets count on by eight, the first a multiple of eight.
// Whatever the text around them, a line is a row only when DumpRowReader reads it whole.
struct DumpRowRun {
  size_t firstLine;
  size_t lineCount;
};
std::vector<DumpRowRun> FindDumpRowRuns(std::span<const std::string_view> lines);

// The 128-byte dump strictly; when it is damaged, the bytes are those of ParseDump.
struct DumpRead {
  EdidBytes bytes;
  std::optional<DumpDamage> damage;
};
DumpRead ReadDump(std::string_view text, DumpStart start);

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
  // Set when the dump is not well formed: the bytes may then not be the ones that were saved.
  std::optional<DumpDamage> damage;
};

// All of the above (the whole dump); nothing when the text has no dump row.
std::optional<ReportContent> ReadReport(std::string_view text);

}  // namespace tolvex
