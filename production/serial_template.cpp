#include "production/serial_template.h"

#include <algorithm>
#include <charconv>

#include "ddc/format_text.h"
#include "production/production_texts.h"

namespace tolvex {

namespace {

// Wider than the largest counter value in decimal; a wider field only pads.
constexpr int kMaxWidth = 20;

bool IsPrintableAscii(char c) { return c >= 0x20 && c <= 0x7E; }

}  // namespace

std::optional<SerialTemplate::Piece> SerialTemplate::ParseField(std::string_view inside, std::string& error) {
  struct NamedField {
    std::string_view name;
    Field field;
  };
  static constexpr NamedField kFields[] = {
      {"", Field::kNumber},
      {"n", Field::kNumber},
      {"year", Field::kYear},
      {"week", Field::kWeek},
  };

  const size_t colon = inside.find(':');
  const std::string_view name = inside.substr(0, colon);
  Piece piece;
  for (const NamedField& row : kFields) {
    if (row.name == name) piece.field = row.field;
  }
  if (piece.field == Field::kNone) {
    error = FormatText(production_texts::kUnknownField, std::string(name).c_str());
    return std::nullopt;
  }
  if (colon == std::string_view::npos) return piece;

  std::string_view format = inside.substr(colon + 1);
  const auto bad = [&] {
    error = FormatText(production_texts::kBadFormat, std::string(inside.substr(colon + 1)).c_str());
    return std::nullopt;
  };
  if (!format.empty() && format.front() == '0') {
    piece.zeroPad = true;
    format.remove_prefix(1);
  }
  if (!format.empty() && (format.back() == 'd' || format.back() == 'x' || format.back() == 'X')) {
    piece.conversion = format.back();
    format.remove_suffix(1);
  }
  if (!format.empty()) {
    const auto [end, status] = std::from_chars(format.data(), format.data() + format.size(), piece.width);
    if (status != std::errc() || end != format.data() + format.size()) return bad();
  }
  if (piece.width < 0 || piece.width > kMaxWidth) return bad();
  return piece;
}

std::optional<SerialTemplate> SerialTemplate::Parse(std::string_view text, std::string& error) {
  SerialTemplate parsed;
  parsed.text_ = std::string(text);
  std::string literal;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (!IsPrintableAscii(c)) {
      error = production_texts::kNotPrintable;
      return std::nullopt;
    }
    const bool doubled = i + 1 < text.size() && text[i + 1] == c;
    if ((c == '{' || c == '}') && doubled) {
      literal += c;
      ++i;
      continue;
    }
    if (c == '}') {
      error = production_texts::kUnmatchedClose;
      return std::nullopt;
    }
    if (c != '{') {
      literal += c;
      continue;
    }
    const size_t close = text.find('}', i + 1);
    if (close == std::string_view::npos) {
      error = production_texts::kUnmatchedOpen;
      return std::nullopt;
    }
    std::optional<Piece> piece = ParseField(text.substr(i + 1, close - i - 1), error);
    if (!piece) return std::nullopt;
    piece->literal = std::move(literal);
    literal.clear();
    parsed.pieces_.push_back(std::move(*piece));
    i = close;
  }
  if (!literal.empty()) parsed.pieces_.push_back({std::move(literal)});
  if (std::none_of(parsed.pieces_.begin(), parsed.pieces_.end(), [](const Piece& p) { return p.field == Field::kNumber; })) {
    error = production_texts::kNoNumberField;
    return std::nullopt;
  }
  return parsed;
}

std::string SerialTemplate::Expand(const SerialFields& fields) const {
  std::string text;
  for (const Piece& piece : pieces_) {
    text += piece.literal;
    uint64_t value = 0;
    switch (piece.field) {
      case Field::kNone: continue;
      case Field::kNumber: value = fields.number; break;
      case Field::kYear: value = static_cast<uint64_t>(fields.year); break;
      case Field::kWeek: value = static_cast<uint64_t>(fields.week); break;
    }
    char digits[24];
    const int base = piece.conversion == 'd' ? 10 : 16;
    std::string number(digits, std::to_chars(digits, digits + sizeof digits, value, base).ptr);
    if (piece.conversion == 'X') {
      for (char& c : number) c = static_cast<char>(c >= 'a' && c <= 'f' ? c - 'a' + 'A' : c);
    }
    if (static_cast<int>(number.size()) < piece.width) {
      number.insert(0, static_cast<size_t>(piece.width) - number.size(), piece.zeroPad ? '0' : ' ');
    }
    text += number;
  }
  return text;
}

}  // namespace tolvex
