// The text a unit's serial number gets: a template of literal characters and fields in braces,
// "SN{:06d}" or "{year}{week:02d}{n:05d}". The fields are the counter's number (n, also the
// unnamed field), the year and the week of manufacture; a format after the colon is an optional
// 0 (pad with zeros), a width and d, x or X. "{{" and "}}" stand for the braces themselves. A
// template must hold the number: without it every unit would get the same serial.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tolvex {

struct SerialFields {
  uint64_t number = 0;
  int year = 0;
  int week = 0;
};

class SerialTemplate {
 public:
  // The template, or nothing with the reason in `error`.
  static std::optional<SerialTemplate> Parse(std::string_view text, std::string& error);

  std::string Expand(const SerialFields& fields) const;
  const std::string& Text() const { return text_; }

 private:
  enum class Field : uint8_t { kNone, kNumber, kYear, kWeek };
  struct Piece {
    std::string literal;  // printed before the field
    Field field = Field::kNone;
    int width = 0;
    bool zeroPad = false;
    char conversion = 'd';
  };

  static std::optional<Piece> ParseField(std::string_view inside, std::string& error);

  std::string text_;
  std::vector<Piece> pieces_;
};

}  // namespace tolvex
