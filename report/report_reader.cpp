#include "report/report_reader.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <string>

#include "model/hex_digit.h"
#include "report/report_texts.h"

namespace tolvex {

namespace {

namespace rt = report_text;

constexpr int kDumpRows = kEdidSize / rt::kDumpCellsPerRow;
// The right-aligned three-column index and ": " in front of every value.
constexpr size_t kCellIndexWidth = 5;
// What is left of a row after its eighth value is skipped up to this many characters besides
// blanks (any number of those pad a row, as the strict reader allows); longer lines are not ours,
// and the next row simply starts where the skip stopped.
constexpr size_t kMaxRowRest = 79;
// The widest offset of a whole EDID, 32639, has five digits.
constexpr size_t kMaxCellIndexDigits = 5;
// A format line is looked at for this many characters at most.
constexpr size_t kMaxFormatLine = 255;

// The dump sits at the end of a report several kilobytes long, behind lines padded with blanks;
// a skipping search crosses that in a few hundred steps where a plain one stops at every blank.
size_t Find(std::string_view text, std::string_view pattern) {
  const auto found = std::search(text.begin(), text.end(),
                                 std::boyer_moore_horspool_searcher(pattern.begin(), pattern.end()));
  return found == text.end() ? std::string_view::npos : static_cast<size_t>(found - text.begin());
}

bool IsWhiteSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A position in the text that no step can move past its end, so nothing the text holds (a dump
// cut short, NUL bytes, binary garbage) makes the parse read outside it.
class DumpCursor {
 public:
  DumpCursor(std::string_view text, size_t position) : text_(text), pos_(std::min(position, text.size())) {}

  void Skip(size_t count) { pos_ += std::min(count, text_.size() - pos_); }

  void SkipWhiteSpace() {
    while (pos_ < text_.size() && IsWhiteSpace(text_[pos_])) ++pos_;
  }

  // At most two hexadecimal digits of either case; 0x00, and nothing consumed, when there is none.
  uint8_t ReadHexByte() { return TakeHexByte().value_or(0); }

  std::optional<uint8_t> TakeHexByte() {
    unsigned value = 0;
    int digits = 0;
    for (; digits < 2 && pos_ < text_.size(); ++digits) {
      const int digit = HexDigitValue(text_[pos_]);
      if (digit < 0) break;
      value = value * 16 + static_cast<unsigned>(digit);
      ++pos_;
    }
    if (digits == 0) return std::nullopt;
    return static_cast<uint8_t>(value & 0xFF);
  }

  size_t Position() const { return pos_; }

  // Up to and including the line break, whichever kind the file was saved with: LF, CR LF or a
  // lone CR.
  void SkipRestOfLine() {
    for (size_t rest = 0; pos_ < text_.size() && text_[pos_] != '\n' && text_[pos_] != '\r'; ++pos_) {
      if (!IsBlank(text_[pos_]) && ++rest > kMaxRowRest) break;
    }
    if (pos_ < text_.size() && text_[pos_] == '\r') ++pos_;
    if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
  }

 private:
  std::string_view text_;
  size_t pos_;
};

// The line holding the key, or the start of the text when no line does, cut at its line break.
std::string_view FormatLine(std::string_view text, std::string_view key) {
  size_t start = text.find(key);
  if (start == std::string_view::npos) start = 0;
  const std::string_view line = text.substr(start, kMaxFormatLine);
  return line.substr(0, line.find_first_of("\r\n"));
}

bool Contains(std::string_view text, std::string_view mark) { return text.find(mark) != std::string_view::npos; }

struct SerialFormatMark {
  std::string_view mark;
  uint8_t format;
};
// The first mark found decides; a line with none of them is a hexadecimal serial.
constexpr std::array<SerialFormatMark, 3> kSerialFormatMarks = {{
    {rt::kFormatLineDecimal, kSerialDecimal},
    {rt::kFormatLineAscii, kSerialAscii},
    {rt::kFormatLineUnused, kSerialUnused},
}};

}  // namespace

std::optional<DumpStart> FindDumpStart(std::string_view text) {
  if (const size_t position = Find(text, rt::kDumpFirstRow); position != std::string_view::npos) {
    return DumpStart{position, 1};
  }
  if (const size_t position = Find(text, rt::kOlderDumpFirstRow); position != std::string_view::npos) {
    return DumpStart{position, 2};
  }
  return std::nullopt;
}

namespace {

struct ParsedDump {
  EdidBytes bytes{};
  int supplied = 0;  // cells that held a hexadecimal digit
  size_t end = 0;    // where the line after the last row starts
};

// Both layouts, with or without trailing blanks, are read by one forgiving rule: skip the index,
// skip white space, take up to two hex digits. Bytes the text does not supply (a dump cut short,
// a cell without a hexadecimal digit) stay 0x00.
ParsedDump ParseBaseDump(std::string_view text, DumpStart start) {
  ParsedDump dump;
  DumpCursor cursor(text, start.position);
  const size_t cellGap = static_cast<size_t>(std::max(start.cellGap, 0));
  for (int row = 0; row < kDumpRows; ++row) {
    for (int cell = 0; cell < rt::kDumpCellsPerRow; ++cell) {
      cursor.Skip(kCellIndexWidth);
      cursor.SkipWhiteSpace();
      if (const std::optional<uint8_t> value = cursor.TakeHexByte()) {
        dump.bytes[row * rt::kDumpCellsPerRow + cell] = *value;
        ++dump.supplied;
      }
      if (cell + 1 < rt::kDumpCellsPerRow) {
        cursor.Skip(cellGap);
      } else {
        cursor.SkipRestOfLine();
      }
    }
  }
  dump.end = cursor.Position();
  return dump;
}

// ---- Extension sections --------------------------------------------------------------------

// The next CR or LF from `from` on, or the end of the text. A plain loop: find_first_of asks
// memchr about the two line-break characters once for every character of the text.
size_t LineBreakFrom(std::string_view text, size_t from) {
  while (from < text.size() && text[from] != '\r' && text[from] != '\n') ++from;
  return from;
}

// The index as the writer prints it: "%3d", wider from 1000 on.
std::string CellIndex(int offset) {
  std::string digits = std::to_string(offset);
  if (digits.size() < 3) digits.insert(0, 3 - digits.size(), ' ');
  return digits;
}

// The line from `from` on that begins with the first cell of the block at `offset`.
std::optional<size_t> FindBlockRows(std::string_view text, size_t from, int offset) {
  const std::string cell = CellIndex(offset).append(rt::kDumpIndexEnd);
  for (size_t line = from; line < text.size();) {
    if (text.substr(line, cell.size()) == cell) return line;
    line = LineBreakFrom(text, line) + 1;
  }
  return std::nullopt;
}

// Reads the cells "offset: xx" of one line, the offsets counting on from `offset`, into `bytes`
// until one is not such a cell or eight are read; blanks between cells may be any number. Returns
// the cells read.
int ReadExtensionRow(std::string_view line, int offset, uint8_t* bytes) {
  size_t i = 0;
  const auto skipBlanks = [&] {
    while (i < line.size() && IsBlank(line[i])) ++i;
  };
  // At most `limit` digits in the radix; how many were read.
  const auto number = [&](int radix, size_t limit, int& value) {
    size_t digits = 0;
    value = 0;
    for (; digits < limit && i < line.size(); ++digits, ++i) {
      const int digit = radix == 16 ? HexDigitValue(line[i]) : (line[i] >= '0' && line[i] <= '9' ? line[i] - '0' : -1);
      if (digit < 0) break;
      value = value * radix + digit;
    }
    return digits;
  };
  for (int cell = 0; cell < rt::kDumpCellsPerRow; ++cell) {
    skipBlanks();
    int index = 0;
    if (number(10, kMaxCellIndexDigits, index) == 0 || index != offset + cell) return cell;
    if (i >= line.size() || line[i] != rt::kDumpIndexEnd[0]) return cell;
    ++i;
    skipBlanks();
    int value = 0;
    if (number(16, 2, value) == 0 || (i < line.size() && !IsBlank(line[i]))) return cell;
    bytes[cell] = static_cast<uint8_t>(value);
  }
  return rt::kDumpCellsPerRow;
}

struct ExtensionDump {
  EdidBytes bytes{};
  int supplied = 0;
  size_t end = 0;
};

// The 16 rows of the block from `rows` on; the block ends at the first cell that is not there.
ExtensionDump ReadExtensionDump(std::string_view text, size_t rows, int offset) {
  ExtensionDump dump;
  size_t line = rows;
  for (int row = 0; row < kDumpRows && line < text.size(); ++row) {
    const size_t lineBreak = LineBreakFrom(text, line);
    const int first = row * rt::kDumpCellsPerRow;
    const int cells = ReadExtensionRow(text.substr(line, lineBreak - line), offset + first, dump.bytes.data() + first);
    dump.supplied += cells;
    line = lineBreak;
    if (line < text.size() && text[line] == '\r') ++line;
    if (line < text.size() && text[line] == '\n') ++line;
    if (cells < rt::kDumpCellsPerRow) break;
  }
  dump.end = line;
  return dump;
}

// Every extension section that follows, block 1 first, until one is not found. Bytes a section
// lacks, and blocks that byte 126 announces beyond the last one found, count as missing.
EdidExtensions ReadExtensionSections(std::string_view text, size_t from, const EdidBytes& base) {
  EdidExtensions extensions;
  for (int number = 1; number <= kMaxExtensionBlocks; ++number) {
    const int offset = number * kEdidSize;
    const std::optional<size_t> rows = FindBlockRows(text, from, offset);
    if (!rows) break;
    const ExtensionDump dump = ReadExtensionDump(text, *rows, offset);
    extensions.blocks.push_back(dump.bytes);
    extensions.missingBytes += kEdidSize - dump.supplied;
    from = dump.end;
  }
  extensions.missingBytes += MissingBlockBytes(base, extensions.Count());
  return extensions;
}

}  // namespace

EdidBytes ParseDump(std::string_view text, DumpStart start) { return ParseBaseDump(text, start).bytes; }

WholeDump ParseWholeDump(std::string_view text, DumpStart start) {
  const ParsedDump base = ParseBaseDump(text, start);
  WholeDump whole{base.bytes, ReadExtensionSections(text, base.end, base.bytes)};
  whole.extensions.missingBytes += kEdidSize - base.supplied;
  return whole;
}

// ---- The strict reader ---------------------------------------------------------------------

namespace {

bool IsHexDigit(char c) { return HexDigitValue(c) >= 0; }

// The index as the writer prints it ("%3d", so wider from 1000 on) followed by ": ", without
// allocating: a report is read at every Open and every wizard Load.
struct IndexField {
  explicit IndexField(int offset) {
    char digits[12];
    size_t count = 0;
    for (unsigned value = static_cast<unsigned>(offset); count == 0 || value > 0; value /= 10) {
      digits[count++] = static_cast<char>('0' + value % 10);
    }
    while (count < 3) digits[count++] = ' ';
    for (size_t i = 0; i < count; ++i) text[i] = digits[count - 1 - i];
    text[count] = rt::kDumpIndexEnd[0];
    text[count + 1] = rt::kDumpIndexEnd[1];
    size = count + 2;
  }
  std::string_view View() const { return {text, size}; }

  char text[16];
  size_t size;
};

// Line breaks of any kind before `position`, plus one.
size_t LineNumberAt(std::string_view text, size_t position) {
  size_t line = 1;
  for (size_t i = 0; i < position && i < text.size(); ++i) {
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) ++line;
  }
  return line;
}

}  // namespace

std::string DescribeDumpDamage(const DumpDamage& damage) {
  const char* format = rt::kDumpRowMissing;
  int number = damage.offset;
  switch (damage.kind) {
    case DumpDamage::kRowMissing: format = rt::kDumpRowMissing; break;
    case DumpDamage::kCellCount:
      format = rt::kDumpCellCount;
      number = damage.cells;
      break;
    case DumpDamage::kCellOffset: format = rt::kDumpCellOffset; break;
    case DumpDamage::kCellValue: format = rt::kDumpCellValue; break;
    case DumpDamage::kTrailing: format = rt::kDumpTrailing; break;
  }
  char text[160];
  std::snprintf(text, sizeof text, format, damage.line, number);
  return text;
}

DumpRowReader::DumpRowReader(std::string_view text, DumpStart start)
    : text_(text), pos_(std::min(start.position, text.size())), cellGap_(std::max(start.cellGap, 1)) {}

DumpRowReader::RowEnd DumpRowReader::FindRowEnd() const {
  const size_t end = std::min(text_.find_first_of("\r\n", pos_), text_.size());
  size_t next = end;
  if (next < text_.size() && text_[next] == '\r') ++next;
  if (next < text_.size() && text_[next] == '\n') ++next;
  return {end, next};
}

// A colon right behind a digit starts a cell's end, whatever else the cell holds.
int DumpRowReader::CountCells(size_t end) const {
  int cells = 0;
  for (size_t i = pos_ + 1; i < end; ++i) {
    if (text_[i] == ':' && text_[i - 1] >= '0' && text_[i - 1] <= '9') ++cells;
  }
  return cells;
}

// A line without any cell is the end of the dump, a line with another number of cells a row that
// lost or gained some; only a row of eight is judged cell by cell.
std::optional<DumpDamage> DumpRowReader::Damage(int firstOffset, DumpDamage::Kind kind, int offset) const {
  const int found = CountCells(FindRowEnd().contentEnd);
  const size_t line = LineNumberAt(text_, pos_);
  if (found == 0) return DumpDamage{DumpDamage::kRowMissing, line, firstOffset};
  if (found != rt::kDumpCellsPerRow) return DumpDamage{DumpDamage::kCellCount, line, firstOffset, found};
  return DumpDamage{kind, line, offset};
}

std::optional<DumpDamage> DumpRowReader::ReadRow(int firstOffset, uint8_t* bytes) {
  const RowEnd end = FindRowEnd();
  const std::string_view row = text_.substr(pos_, end.contentEnd - pos_);
  const auto at = [&](size_t i) { return i < row.size() ? row[i] : '\n'; };
  size_t i = 0;
  for (int cell = 0; cell < rt::kDumpCellsPerRow; ++cell) {
    const int offset = firstOffset + cell;
    if (cell > 0) {
      if (!IsBlank(at(i)) && at(i) != '\n') return Damage(firstOffset, DumpDamage::kCellValue, offset - 1);
      for (int gap = 0; gap < cellGap_; ++gap, ++i) {
        if (at(i) != ' ') return Damage(firstOffset, DumpDamage::kCellOffset, offset);
      }
    }
    const IndexField index(offset);
    if (row.substr(i, index.size) != index.View()) return Damage(firstOffset, DumpDamage::kCellOffset, offset);
    i += index.size;
    // The older layout pads a one-digit value with a blank in front.
    const bool padded = cellGap_ > 1 && at(i) == ' ';
    if (!(padded || IsHexDigit(at(i))) || !IsHexDigit(at(i + 1))) return Damage(firstOffset, DumpDamage::kCellValue, offset);
    bytes[cell] = static_cast<uint8_t>((padded ? 0 : HexDigitValue(at(i)) * 16) + HexDigitValue(at(i + 1)));
    i += 2;
  }
  if (i < row.size() && !IsBlank(row[i])) return Damage(firstOffset, DumpDamage::kCellValue, firstOffset + rt::kDumpCellsPerRow - 1);
  while (i < row.size() && IsBlank(row[i])) ++i;
  if (i < row.size()) return Damage(firstOffset, DumpDamage::kTrailing, firstOffset);
  pos_ = end.next;
  return std::nullopt;
}

namespace {

// The first offset a line's leading cell names ("  8: ..." gives 8), when it has one.
std::optional<int> LeadingOffset(std::string_view line) {
  size_t i = 0;
  while (i < line.size() && line[i] == ' ') ++i;
  const size_t digits = i;
  int offset = 0;
  for (; i < line.size() && line[i] >= '0' && line[i] <= '9' && i - digits < 6; ++i) offset = offset * 10 + (line[i] - '0');
  if (i == digits || i >= line.size() || line[i] != ':') return std::nullopt;
  return offset;
}

// The cell gap (1 or 2) of the layout in which `line` is a whole dump row starting at `offset`.
std::optional<int> RowLayout(std::string_view line, int offset) {
  uint8_t bytes[rt::kDumpCellsPerRow];
  for (int gap : {1, 2}) {
    if (!DumpRowReader(line, DumpStart{0, gap}).ReadRow(offset, bytes)) return gap;
  }
  return std::nullopt;
}

}  // namespace

std::vector<DumpRowRun> FindDumpRowRuns(std::span<const std::string_view> lines) {
  std::vector<DumpRowRun> runs;
  size_t line = 0;
  while (line < lines.size()) {
    const std::optional<int> first = LeadingOffset(lines[line]);
    const std::optional<int> gap =
        first && *first % rt::kDumpCellsPerRow == 0 ? RowLayout(lines[line], *first) : std::nullopt;
    if (!gap) {
      ++line;
      continue;
    }
    DumpRowRun run{line, 1};
    for (int next = *first + rt::kDumpCellsPerRow; run.firstLine + run.lineCount < lines.size();
         next += rt::kDumpCellsPerRow, ++run.lineCount) {
      const std::string_view row = lines[run.firstLine + run.lineCount];
      if (LeadingOffset(row) != next || RowLayout(row, next) != gap) break;
    }
    runs.push_back(run);
    line = run.firstLine + run.lineCount;
  }
  return runs;
}

DumpRead ReadDump(std::string_view text, DumpStart start) {
  DumpRead read{};
  DumpRowReader reader(text, start);
  for (int row = 0; row < kDumpRows; ++row) {
    const int offset = row * rt::kDumpCellsPerRow;
    read.damage = reader.ReadRow(offset, read.bytes.data() + offset);
    if (read.damage) {
      read.bytes = ParseDump(text, start);
      break;
    }
  }
  return read;
}

// ---- Format lines --------------------------------------------------------------------------

uint8_t ReadProductCodeFormat(std::string_view text) {
  const std::string_view line = FormatLine(text, rt::kProductCodeLineKey);
  uint8_t format = 0;
  if (Contains(line, rt::kFormatLineDecimal)) format |= kProductCodeDecimal;
  if (Contains(line, rt::kFormatLineSwap)) format |= kProductCodeSwapped;
  return format;
}

uint8_t ReadSerialFormat(std::string_view text) {
  const std::string_view line = FormatLine(text, rt::kSerialNumberLineKey);
  // Four ASCII serial characters may spell a mark themselves ("DEC."); the writer puts the
  // ASCII mark last, so a line that ends in it is ASCII whatever the characters say.
  const size_t end = line.find_last_not_of(" \t");
  if (end != std::string_view::npos && line.substr(0, end + 1).ends_with(rt::kSerialAsciiMark)) return kSerialAscii;
  for (const SerialFormatMark& mark : kSerialFormatMarks) {
    if (Contains(line, mark.mark)) return mark.format;
  }
  return kSerialHex;
}

std::optional<ReportContent> ReadReport(std::string_view text) {
  const std::optional<DumpStart> start = FindDumpStart(text);
  if (!start) return std::nullopt;
  DumpRead dump = ReadDump(text, *start);
  WholeDump whole = ParseWholeDump(text, *start);
  return ReportContent{dump.bytes, ReadProductCodeFormat(text), ReadSerialFormat(text),
                       std::move(whole.extensions), dump.damage};
}

}  // namespace tolvex
