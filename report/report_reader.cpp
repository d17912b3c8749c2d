#include "report/report_reader.h"

#include <algorithm>
#include <array>
#include <functional>

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
  uint8_t ReadHexByte() {
    unsigned value = 0;
    for (int digits = 0; digits < 2 && pos_ < text_.size(); ++digits) {
      const int digit = HexDigitValue(text_[pos_]);
      if (digit < 0) break;
      value = value * 16 + static_cast<unsigned>(digit);
      ++pos_;
    }
    return static_cast<uint8_t>(value & 0xFF);
  }

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

// Both layouts, with or without trailing blanks, are read by one forgiving rule: skip the index,
// skip white space, take up to two hex digits. Bytes the text does not supply (a dump cut short,
// a cell without a hexadecimal digit) stay 0x00.
EdidBytes ParseDump(std::string_view text, DumpStart start) {
  EdidBytes bytes{};
  DumpCursor cursor(text, start.position);
  const size_t cellGap = static_cast<size_t>(std::max(start.cellGap, 0));
  for (int row = 0; row < kDumpRows; ++row) {
    for (int cell = 0; cell < rt::kDumpCellsPerRow; ++cell) {
      cursor.Skip(kCellIndexWidth);
      cursor.SkipWhiteSpace();
      bytes[row * rt::kDumpCellsPerRow + cell] = cursor.ReadHexByte();
      if (cell + 1 < rt::kDumpCellsPerRow) {
        cursor.Skip(cellGap);
      } else {
        cursor.SkipRestOfLine();
      }
    }
  }
  return bytes;
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
  return ReportContent{ParseDump(text, *start), ReadProductCodeFormat(text), ReadSerialFormat(text)};
}

}  // namespace tolvex
