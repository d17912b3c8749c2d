#pragma once

namespace tolvex {

// The value of a hexadecimal digit in either case, or -1 for any other character.
constexpr int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace tolvex

namespace tolvex {

// The upper-case digit of a value 0-15.
constexpr char UpperHexDigit(unsigned value) { return "0123456789ABCDEF"[value & 0x0F]; }

}  // namespace tolvex
