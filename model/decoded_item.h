// The one walk over a decoded EDID. Every codec describes what it decoded as items (a block, a
// data block, a descriptor, one entry of a list) holding fields, each with its JSON key, its
// label, its value and its bytes in the whole EDID, and for a field stored as plain bits the
// code that reads and writes it. The report's decoded lines, `tolvex-cli info --json`, the
// structure tree and the field setter all follow this walk, so they name and place every field
// alike.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "model/bit_code.h"

namespace tolvex {

struct FieldValue {
  enum class Kind : uint8_t {
    kFlag,     // number is 0 or 1
    kInteger,  // number is whole
    kReal,
    kEnum,  // number is the stored code; name its entry, when the table has one
    kText,
    kHex,   // text holds the bytes as two hexadecimal digits each, blank-separated
    kList,  // numbers in list, in their stored order
  };
  Kind kind = Kind::kInteger;
  double number = 0;
  const EnumName* name = nullptr;
  std::string text;
  std::vector<double> list;
};

enum class FieldRole : uint8_t {
  kFact,
  kIdentity,  // what kind of item this is (its tag or kind word): the label says it already
  kQuiet,     // one of a set of flags: the report lists the set ones only
  kDetail,    // one bit of a value a list field states as a whole: not in the report's lines
};

struct DecodedField {
  std::string_view key;
  std::string_view label;
  FieldValue value;
  ByteRange bytes;
  std::optional<BitCode> code;  // placed in the whole EDID; none for a value derived from others
  FieldRole role = FieldRole::kFact;
};

struct DecodedItem {
  std::string_view key;  // its member name in the enclosing JSON object
  bool listEntry = false;  // one of the array at `key`, in order
  std::string label;
  ByteRange bytes;
  bool compact = false;  // the label tells everything its fields hold
};

class DecodeVisitor {
 public:
  virtual ~DecodeVisitor() = default;
  // A visitor that reads no labels (the JSON) spares the codecs formatting them.
  virtual bool WantsLabels() const { return true; }
  // Everything between BeginItem and the matching EndItem belongs to that item.
  virtual void BeginItem(const DecodedItem& item) = 0;
  virtual void Field(const DecodedField& field) = 0;
  virtual void EndItem() = 0;
};

enum class FieldKind : uint8_t { kFlag, kNumber, kReal, kEnum };

// A field read by table: its code counts from the item's first byte, and the value goes to one
// member of the item's struct (an int for flags, whole numbers and codes; a double for reals).
// A row whose bytes lie beyond a shorter item is absent from it.
template <typename S>
struct FieldRow {
  std::string_view key;
  std::string_view label;
  BitCode code;
  FieldKind kind = FieldKind::kNumber;
  int S::*number = nullptr;
  double S::*real = nullptr;
};

template <typename S>
constexpr FieldRow<S> FlagRow(std::string_view key, std::string_view label, BitCode code, int S::*member) {
  return {key, label, code, FieldKind::kFlag, member, nullptr};
}
template <typename S>
constexpr FieldRow<S> NumberRow(std::string_view key, std::string_view label, BitCode code, int S::*member) {
  return {key, label, code, FieldKind::kNumber, member, nullptr};
}
template <typename S>
constexpr FieldRow<S> RealRow(std::string_view key, std::string_view label, BitCode code, double S::*member) {
  return {key, label, code, FieldKind::kReal, nullptr, member};
}
template <typename S>
constexpr FieldRow<S> EnumRow(std::string_view key, std::string_view label, BitCode code, int S::*member) {
  return {key, label, code, FieldKind::kEnum, member, nullptr};
}

template <typename S>
constexpr bool RowPresent(const FieldRow<S>& row, size_t itemSize) {
  return row.code.LastOffset() < static_cast<int>(itemSize);
}

// Fills the members of every row present in `item` (the item's bytes, its first byte at 0).
template <typename S, size_t N>
void ReadRows(std::span<const FieldRow<S>, N> rows, std::span<const uint8_t> item, S& out) {
  for (const FieldRow<S>& row : rows) {
    if (!RowPresent(row, item.size())) continue;
    const uint32_t raw = row.code.Read(item);
    if (row.kind == FieldKind::kReal) {
      out.*row.real = row.code.Value(raw);
    } else {
      out.*row.number = static_cast<int>(std::lround(row.kind == FieldKind::kNumber ? row.code.Value(raw) : raw));
    }
  }
}

// The stored number of `value` in `code`, or nothing when the code cannot hold it (out of its
// bits, or between two of its steps).
std::optional<uint32_t> RawOf(const BitCode& code, double value);

// The inverse of ReadRows: every row present in `item` gets the member's value; a value a row
// cannot hold is left as stored and its key is returned.
template <typename S, size_t N>
std::optional<std::string_view> WriteRows(std::span<const FieldRow<S>, N> rows, const S& values, std::span<uint8_t> item) {
  std::optional<std::string_view> refused;
  for (const FieldRow<S>& row : rows) {
    if (!RowPresent(row, item.size())) continue;
    // Flags and codes keep the stored number in their member; numbers and reals the value.
    const std::optional<uint32_t> raw =
        row.kind == FieldKind::kReal     ? RawOf(row.code, values.*row.real)
        : row.kind == FieldKind::kNumber ? RawOf(row.code, values.*row.number)
                                         : RawOf(row.code.Scaled(1), values.*row.number);
    if (!raw) {
      if (!refused) refused = row.key;
      continue;
    }
    row.code.Write(item, *raw);
  }
  return refused;
}

// The calls a codec makes to describe what it decoded; they become the visitor's events.
class Describer {
 public:
  explicit Describer(DecodeVisitor& visitor) : visitor_(visitor) {}

  // `label` is the label's text, or a callable that makes it (called only when the visitor reads
  // labels).
  template <typename Label>
  void BeginEntry(std::string_view key, Label&& label, ByteRange bytes, bool compact = false) {
    Open(key, true, MakeLabel(std::forward<Label>(label)), bytes, compact);
  }
  void End() { visitor_.EndItem(); }

  // The kind word (and tag) of the item just begun, for JSON and the setter; people see the label.
  void Identity(std::string_view key, std::string_view word, ByteRange bytes);
  void IdentityNumber(std::string_view key, int number, ByteRange bytes);

  void Flag(std::string_view key, std::string_view label, bool value, const BitCode& placed,
            FieldRole role = FieldRole::kFact);
  void Number(std::string_view key, std::string_view label, double value, const BitCode& placed);
  void Real(std::string_view key, std::string_view label, double value, const BitCode& placed);
  void Enum(std::string_view key, std::string_view label, uint32_t raw, const BitCode& placed);
  // Values that no single bit range holds (a sum, a lookup, a formula of other fields).
  void DerivedNumber(std::string_view key, std::string_view label, double value, ByteRange bytes);
  void DerivedReal(std::string_view key, std::string_view label, double value, ByteRange bytes);
  void DerivedFlag(std::string_view key, std::string_view label, bool value, ByteRange bytes);
  void Text(std::string_view key, std::string_view label, std::string value, ByteRange bytes);
  void Hex(std::string_view key, std::string_view label, std::span<const uint8_t> bytes, ByteRange range);
  void List(std::string_view key, std::string_view label, std::vector<double> values, ByteRange bytes);
  // One flag per name: flag i is bit `firstBit` + i counted on from bit 0 of the byte at
  // `firstByte` (whole-EDID offset, least significant byte first), its value bit i of `mask`;
  // the ids are the keys, the texts the labels.
  void BitFlags(std::span<const EnumName> names, uint32_t mask, int firstByte, int firstBit = 0,
                FieldRole role = FieldRole::kQuiet);

  // Every row present in the item at `item` (its bytes in the whole EDID), from the struct's members.
  template <typename S, size_t N>
  void Rows(std::span<const FieldRow<S>, N> rows, const S& values, ByteRange item) {
    const size_t size = static_cast<size_t>(item.last - item.first + 1);
    for (const FieldRow<S>& row : rows) {
      if (!RowPresent(row, size)) continue;
      const BitCode placed = row.code.Placed(item.first);
      switch (row.kind) {
        case FieldKind::kFlag: Flag(row.key, row.label, values.*row.number != 0, placed); break;
        case FieldKind::kNumber: Number(row.key, row.label, values.*row.number, placed); break;
        case FieldKind::kReal: Real(row.key, row.label, values.*row.real, placed); break;
        case FieldKind::kEnum: Enum(row.key, row.label, static_cast<uint32_t>(values.*row.number), placed); break;
      }
    }
  }

 private:
  template <typename Label>
  std::string MakeLabel(Label&& label) const {
    if constexpr (std::is_invocable_v<Label>) {
      return visitor_.WantsLabels() ? std::string(label()) : std::string();
    } else {
      return std::string(label);
    }
  }
  void Open(std::string_view key, bool entry, std::string label, ByteRange bytes, bool compact);
  void Emit(std::string_view key, std::string_view label, FieldValue value, ByteRange bytes,
            std::optional<BitCode> code, FieldRole role = FieldRole::kFact);

  DecodeVisitor& visitor_;
};

// The text of a value as the report and the tree print it: "yes"/"no", the number, the enum's
// text (or "reserved (N)"), the text itself, the hex digits, the list blank-separated.
std::string FormatFieldValue(const FieldValue& value);

// Text from the EDID as one printable line: anything outside 0x20-0x7E becomes '.', so that a
// line break inside a string can never start a line a report reader would take for a dump row.
std::string PrintableText(std::span<const uint8_t> bytes);

}  // namespace tolvex
