// The text of the EDID code window: 16 rows of 8 bytes, each row
//   "08x  01 02 03 04 05 06 07 08  ........\r\n"
// (label, hex cells, characters; the last row has no line end), 638 characters in all, and the
// pieces that re-render part of it in place. Positions are character offsets into that text.
// A whole EDID adds, per extension block, a line end, a heading row naming the block and the
// same 16 rows of the block's own bytes (labels counting from 00 in each block), so that every
// row of the text stays 40 characters long and a byte's position is simple arithmetic.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "model/edid_block.h"

namespace tolvex {

inline constexpr int kCodeRowLength = 40;  // including the carriage return and line feed
inline constexpr int kCodeDumpLength = 15 * kCodeRowLength + 38;

// Where byte b's first hex digit and its character stand.
constexpr int CodeHexPosition(int b) { return kCodeRowLength * (b / 8) + 3 * (b % 8) + 5; }
constexpr int CodeCharPosition(int b) { return kCodeRowLength * (b / 8) + 30 + b % 8; }

// A byte as the character column shows it: "." below 0x20 and above 0x7F.
constexpr char CodeChar(uint8_t value) { return value < 0x20 || value > 0x7F ? '.' : static_cast<char>(value); }

std::string FormatCodeDump(const EdidBytes& bytes);

// The text that replaces positions CodeHexPosition(first) up to CodeCharPosition(last) + 1 when
// bytes first..last are re-rendered: the hex cells from byte `first` on, every row's characters
// (the first row's from its column 0, the last row's up to byte `last`), with the line ends and
// row labels in between. Requires 0 <= first <= last <= 127.
std::string FormatCodeRange(const EdidBytes& bytes, int first, int last);

// ---- The whole EDID ----
inline constexpr int kCodeBlockRows = 16;
inline constexpr int kCodeHeadingLength = kCodeRowLength - 2;

// The row of block `block`'s first byte: the base block's rows, then per extension its heading
// and its rows.
constexpr int CodeBlockFirstRow(int block) { return block == 0 ? 0 : (kCodeBlockRows + 1) * block; }
// Positions of whole-EDID byte w (block w / 128).
constexpr int WholeCodeHexPosition(int w) {
  return kCodeRowLength * CodeBlockFirstRow(w / kEdidSize) + CodeHexPosition(w % kEdidSize);
}
constexpr int WholeCodeCharPosition(int w) {
  return kCodeRowLength * CodeBlockFirstRow(w / kEdidSize) + CodeCharPosition(w % kEdidSize);
}
constexpr int WholeCodeDumpLength(int extensions) { return kCodeDumpLength + extensions * (kCodeDumpLength + 2 + kCodeRowLength); }

// "Block 1 (128-255): CTA-861 revision 3", blank-padded or cut to kCodeHeadingLength.
std::string FormatCodeHeading(int block, const EdidBytes& bytes);
// What follows the base block's dump for each extension: line end, heading, line end, rows.
std::string FormatExtensionCodes(std::span<const EdidBytes> extensions);

}  // namespace tolvex
