#include "model/decoded_item.h"

#include <charconv>
#include <cmath>

#include "model/decode_texts.h"

namespace tolvex {

namespace dt = decode_text;

std::optional<uint32_t> RawOf(const BitCode& code, double value) {
  if (code.scale == 0 || !std::isfinite(value)) return std::nullopt;
  const double exact = (value - code.add) / code.scale;
  const double raw = std::round(exact);
  if (std::fabs(raw - exact) > 1e-9 || raw < 0 || raw >= std::ldexp(1.0, code.Width())) return std::nullopt;
  return static_cast<uint32_t>(raw);
}

void Describer::Open(std::string_view key, bool entry, std::string label, ByteRange bytes, bool compact) {
  DecodedItem item;
  item.key = key;
  item.listEntry = entry;
  item.label = std::move(label);
  item.bytes = bytes;
  item.compact = compact;
  visitor_.BeginItem(item);
}

void Describer::Emit(std::string_view key, std::string_view label, FieldValue value, ByteRange bytes,
                     std::optional<BitCode> code, FieldRole role) {
  DecodedField field;
  field.key = key;
  field.label = label;
  field.value = std::move(value);
  field.bytes = bytes;
  field.code = code;
  field.role = role;
  visitor_.Field(field);
}

namespace {

FieldValue Valued(FieldValue::Kind kind, double number) {
  FieldValue value;
  value.kind = kind;
  value.number = number;
  return value;
}

}  // namespace

void Describer::Identity(std::string_view key, std::string_view word, ByteRange bytes) {
  FieldValue value = Valued(FieldValue::Kind::kText, 0);
  value.text = word;
  Emit(key, key, std::move(value), bytes, std::nullopt, FieldRole::kIdentity);
}

void Describer::IdentityNumber(std::string_view key, int number, ByteRange bytes) {
  Emit(key, key, Valued(FieldValue::Kind::kInteger, number), bytes, std::nullopt, FieldRole::kIdentity);
}

void Describer::Flag(std::string_view key, std::string_view label, bool value, const BitCode& placed, FieldRole role) {
  Emit(key, label, Valued(FieldValue::Kind::kFlag, value ? 1 : 0), placed.Range(), placed, role);
}

void Describer::Number(std::string_view key, std::string_view label, double value, const BitCode& placed) {
  Emit(key, label, Valued(FieldValue::Kind::kInteger, value), placed.Range(), placed);
}

void Describer::Real(std::string_view key, std::string_view label, double value, const BitCode& placed) {
  Emit(key, label, Valued(FieldValue::Kind::kReal, value), placed.Range(), placed);
}

void Describer::Enum(std::string_view key, std::string_view label, uint32_t raw, const BitCode& placed) {
  FieldValue value = Valued(FieldValue::Kind::kEnum, raw);
  value.name = placed.Name(raw);
  Emit(key, label, std::move(value), placed.Range(), placed);
}

void Describer::DerivedNumber(std::string_view key, std::string_view label, double value, ByteRange bytes) {
  Emit(key, label, Valued(FieldValue::Kind::kInteger, value), bytes, std::nullopt);
}

void Describer::DerivedReal(std::string_view key, std::string_view label, double value, ByteRange bytes) {
  Emit(key, label, Valued(FieldValue::Kind::kReal, value), bytes, std::nullopt);
}

void Describer::DerivedFlag(std::string_view key, std::string_view label, bool value, ByteRange bytes) {
  Emit(key, label, Valued(FieldValue::Kind::kFlag, value ? 1 : 0), bytes, std::nullopt);
}

void Describer::Text(std::string_view key, std::string_view label, std::string text, ByteRange bytes) {
  FieldValue value = Valued(FieldValue::Kind::kText, 0);
  value.text = std::move(text);
  Emit(key, label, std::move(value), bytes, std::nullopt);
}

void Describer::Hex(std::string_view key, std::string_view label, std::span<const uint8_t> bytes, ByteRange range) {
  constexpr std::string_view kDigits = "0123456789abcdef";
  FieldValue value = Valued(FieldValue::Kind::kHex, 0);
  value.text.reserve(bytes.size() * 3);
  for (const uint8_t b : bytes) {
    if (!value.text.empty()) value.text.push_back(' ');
    value.text.push_back(kDigits[b >> 4]);
    value.text.push_back(kDigits[b & 0x0F]);
  }
  Emit(key, label, std::move(value), range, std::nullopt);
}

void Describer::List(std::string_view key, std::string_view label, std::vector<double> values, ByteRange bytes) {
  FieldValue value = Valued(FieldValue::Kind::kList, 0);
  value.list = std::move(values);
  Emit(key, label, std::move(value), bytes, std::nullopt);
}

void Describer::BitFlags(std::span<const EnumName> names, uint32_t mask, int firstByte, int firstBit, FieldRole role) {
  for (size_t i = 0; i < names.size(); ++i) {
    const int bit = firstBit + static_cast<int>(i);
    Flag(names[i].id, names[i].text, (mask >> i) & 1, Bit(firstByte + bit / 8, bit % 8), role);
  }
}

namespace {

// "%g" with up to six significant digits, as the base report prints reals.
void AppendNumber(std::string& out, double number) {
  char digits[32];
  const auto end = std::to_chars(digits, digits + sizeof digits, number, std::chars_format::general, 6).ptr;
  out.append(digits, static_cast<size_t>(end - digits));
}

}  // namespace

std::string FormatFieldValue(const FieldValue& value) {
  std::string text;
  switch (value.kind) {
    case FieldValue::Kind::kFlag:
      text = value.number != 0 ? dt::kYes : dt::kNo;
      break;
    case FieldValue::Kind::kInteger: {
      char digits[24];
      const auto end = std::to_chars(digits, digits + sizeof digits, static_cast<long long>(value.number)).ptr;
      text.assign(digits, static_cast<size_t>(end - digits));
      break;
    }
    case FieldValue::Kind::kReal:
      AppendNumber(text, value.number);
      break;
    case FieldValue::Kind::kEnum:
      if (value.name) {
        text = value.name->text;
      } else {
        text = dt::kReservedValue;
        AppendNumber(text, value.number);
        text += dt::kReservedValueEnd;
      }
      break;
    case FieldValue::Kind::kText:
    case FieldValue::Kind::kHex:
      text = value.text;
      break;
    case FieldValue::Kind::kList:
      for (const double number : value.list) {
        if (!text.empty()) text.push_back(' ');
        AppendNumber(text, number);
      }
      if (value.list.empty()) text = dt::kNone;
      break;
  }
  return text;
}

std::string PrintableText(std::span<const uint8_t> bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (const uint8_t b : bytes) text.push_back(b >= 0x20 && b <= 0x7E ? static_cast<char>(b) : '.');
  return text;
}

}  // namespace tolvex
