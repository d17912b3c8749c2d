#include "report/code_dump.h"

#include "model/hex_digit.h"
#include "report/edid_report.h"
#include "report/report_texts.h"

namespace tolvex {

namespace {

void AppendHex(std::string& out, uint8_t value) {
  out += UpperHexDigit(value >> 4);
  out += UpperHexDigit(value & 0x0F);
}

void AppendRowLabel(std::string& out, int row) {
  AppendHex(out, static_cast<uint8_t>(8 * row));
  out += "x  ";
}

}  // namespace

std::string FormatCodeDump(const EdidBytes& bytes) {
  std::string text;
  text.reserve(kCodeDumpLength);
  AppendRowLabel(text, 0);
  text += FormatCodeRange(bytes, 0, 127);
  return text;
}

std::string FormatCodeRange(const EdidBytes& bytes, int first, int last) {
  std::string out;
  const int firstRow = first / 8;
  const int lastRow = last / 8;
  out.reserve((lastRow - firstRow + 1) * kCodeRowLength);
  for (int row = firstRow; row <= lastRow; ++row) {
    for (int column = row == firstRow ? first % 8 : 0; column < 8; ++column) {
      AppendHex(out, bytes[8 * row + column]);
      out += ' ';
    }
    out += ' ';
    const int lastColumn = row == lastRow ? last % 8 : 7;
    for (int column = 0; column <= lastColumn; ++column) out += CodeChar(bytes[8 * row + column]);
    if (row != lastRow) {
      out += "\r\n";
      AppendRowLabel(out, row + 1);
    }
  }
  return out;
}

std::string FormatCodeHeading(int block, const EdidBytes& bytes) {
  const int first = block * kEdidSize;
  std::string heading(report_text::kCodeBlockHeading);
  heading.append(std::to_string(block)).append(report_text::kCodeBlockBytesOpen);
  heading.append(std::to_string(first)).append(1, '-').append(std::to_string(first + kEdidSize - 1));
  heading.append(report_text::kCodeBlockBytesClose).append(ExtensionKindText(bytes));
  heading.resize(kCodeHeadingLength, ' ');
  return heading;
}

std::string FormatExtensionCodes(std::span<const EdidBytes> extensions) {
  std::string text;
  text.reserve(extensions.size() * (kCodeDumpLength + 2 + kCodeRowLength));
  for (size_t k = 0; k < extensions.size(); ++k) {
    text += "\r\n";
    text += FormatCodeHeading(static_cast<int>(k) + 1, extensions[k]);
    text += "\r\n";
    text += FormatCodeDump(extensions[k]);
  }
  return text;
}

}  // namespace tolvex
