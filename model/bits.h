// Bit-range helpers for the EDID byte fields. Ranges are inclusive and counted from bit 0.
#pragma once

#include <cstdint>

namespace tolvex {

constexpr uint8_t BitMask(int high, int low) {
  return static_cast<uint8_t>(((1u << (high - low + 1)) - 1u) << low);
}

constexpr unsigned GetBits(uint8_t byte, int high, int low) {
  return (byte & BitMask(high, low)) >> low;
}

// Writes the low bits of value into bits high..low of byte; every other bit is kept.
constexpr void SetBits(uint8_t& byte, int high, int low, unsigned value) {
  const uint8_t mask = BitMask(high, low);
  byte = static_cast<uint8_t>((byte & ~mask) | ((value << low) & mask));
}

constexpr int GetBit(uint8_t byte, int bit) { return (byte >> bit) & 1; }

// Flags follow the usual rule: any non-zero value sets the bit.
constexpr void SetBit(uint8_t& byte, int bit, unsigned flag) { SetBits(byte, bit, bit, flag ? 1u : 0u); }

}  // namespace tolvex
