// Where a decoded field is stored, when it is stored as plain bits: up to four bit ranges of
// bytes, the most significant first, and how the stored number maps to the value callers read
// (value = raw x scale + add, or an entry of a name table). The same code reads the field and,
// later, writes it back; a table of codes is the byte layout of a block kind.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "model/bits.h"

namespace tolvex {

// Offsets in the whole EDID (block n starts at 128 x n), both ends included.
struct ByteRange {
  int first = 0;
  int last = -1;

  constexpr bool Empty() const { return last < first; }
  constexpr bool Within(const ByteRange& outer) const { return first >= outer.first && last <= outer.last; }
  bool operator==(const ByteRange&) const = default;
};

// One value of an enumerated field: `id` is its stable spelling in JSON, `text` what people read.
struct EnumName {
  std::string_view id;
  std::string_view text;
};

struct BitPart {
  int16_t offset;  // from the start of the item the code belongs to, or absolute once placed
  uint8_t high;
  uint8_t low;

  constexpr int Width() const { return high - low + 1; }
};

struct BitCode {
  std::array<BitPart, 4> parts{};
  uint8_t count = 0;
  double scale = 1;
  double add = 0;
  std::span<const EnumName> names;

  constexpr int Width() const {
    int width = 0;
    for (int i = 0; i < count; ++i) width += parts[i].Width();
    return width;
  }
  constexpr int FirstOffset() const {
    int first = parts[0].offset;
    for (int i = 1; i < count; ++i) first = parts[i].offset < first ? parts[i].offset : first;
    return first;
  }
  constexpr int LastOffset() const {
    int last = parts[0].offset;
    for (int i = 1; i < count; ++i) last = parts[i].offset > last ? parts[i].offset : last;
    return last;
  }
  // The code with its offsets counted from `base` on.
  constexpr BitCode Placed(int base) const {
    BitCode placed = *this;
    for (int i = 0; i < count; ++i) placed.parts[i].offset = static_cast<int16_t>(parts[i].offset + base);
    return placed;
  }
  constexpr BitCode Scaled(double factor, double offset = 0) const {
    BitCode scaled = *this;
    scaled.scale = factor;
    scaled.add = offset;
    return scaled;
  }
  constexpr BitCode Named(std::span<const EnumName> table) const {
    BitCode named = *this;
    named.names = table;
    return named;
  }
  // The stored number; the caller makes sure every part's byte is inside `bytes`.
  constexpr uint32_t Read(std::span<const uint8_t> bytes) const {
    uint32_t raw = 0;
    for (int i = 0; i < count; ++i) {
      raw = raw << parts[i].Width() | GetBits(bytes[static_cast<size_t>(parts[i].offset)], parts[i].high, parts[i].low);
    }
    return raw;
  }
  // Writes the low Width() bits of `raw`; every other bit stays.
  constexpr void Write(std::span<uint8_t> bytes, uint32_t raw) const {
    for (int i = count - 1; i >= 0; --i) {
      SetBits(bytes[static_cast<size_t>(parts[i].offset)], parts[i].high, parts[i].low, raw);
      raw >>= parts[i].Width();
    }
  }
  constexpr double Value(uint32_t raw) const { return raw * scale + add; }
  // The name of a stored number, or nothing when the table has no entry for it.
  constexpr const EnumName* Name(uint32_t raw) const { return raw < names.size() ? &names[raw] : nullptr; }
  constexpr ByteRange Range() const { return {FirstOffset(), LastOffset()}; }
};

// Bits high..low of the byte at `offset`.
constexpr BitCode Bits(int offset, int high = 7, int low = 0) {
  BitCode code;
  code.parts[0] = {static_cast<int16_t>(offset), static_cast<uint8_t>(high), static_cast<uint8_t>(low)};
  code.count = 1;
  return code;
}
constexpr BitCode Bit(int offset, int bit) { return Bits(offset, bit, bit); }

// `high` above `low`: the parts of both, the more significant first.
constexpr BitCode Join(BitCode high, BitCode low) {
  for (int i = 0; i < low.count; ++i) high.parts[high.count++] = low.parts[i];
  return high;
}

// An unsigned number of `bytes` bytes (2 to 4) stored least significant byte first.
constexpr BitCode LittleEndian(int offset, int bytes) {
  BitCode code = Bits(offset + bytes - 1);
  for (int i = bytes - 2; i >= 0; --i) code = Join(code, Bits(offset + i));
  return code;
}

}  // namespace tolvex
