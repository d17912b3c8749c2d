#include "report/report_reader.h"

#include <algorithm>
#include <array>
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
// What is left of a row after its eighth value is skipped up to this many characters; longer
// lines are not ours, and the next row simply starts where the skip stopped.
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
    const size_t limit = pos_ + std::min(kMaxRowRest, text_.size() - pos_);
    while (pos_ < limit && text_[pos_] != '\n' && text_[pos_] != '\r') ++pos_;
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

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

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

uint8_t ReadProductCodeFormat(std::string_view text) {
  const std::string_view line = FormatLine(text, rt::kProductCodeLineKey);
  uint8_t format = 0;
  if (Contains(line, rt::kFormatLineDecimal)) format |= kProductCodeDecimal;
  if (Contains(line, rt::kFormatLineSwap)) format |= kProductCodeSwapped;
  return format;
}

uint8_t ReadSerialFormat(std::string_view text) {
  const std::string_view line = FormatLine(text, rt::kSerialNumberLineKey);
  for (const SerialFormatMark& mark : kSerialFormatMarks) {
    if (Contains(line, mark.mark)) return mark.format;
  }
  return kSerialHex;
}

std::optional<ReportContent> ReadReport(std::string_view text) {
  const std::optional<DumpStart> start = FindDumpStart(text);
  if (!start) return std::nullopt;
  WholeDump dump = ParseWholeDump(text, *start);
  return ReportContent{dump.base, ReadProductCodeFormat(text), ReadSerialFormat(text), std::move(dump.extensions)};
}

}  // namespace tolvex
