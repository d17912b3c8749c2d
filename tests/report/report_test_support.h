// Helpers for the report tests: cutting a rendered report into the pieces a test looks at.
#pragma once

#include <string>
#include <string_view>

namespace tolvex::test {

// From the first occurrence of `from` up to (not including) the next occurrence of `to`.
inline std::string Between(std::string_view text, std::string_view from, std::string_view to) {
  const size_t begin = text.find(from);
  if (begin == std::string_view::npos) return "<" + std::string(from) + " missing>";
  return std::string(text.substr(begin, text.find(to, begin) - begin));
}

// The rest of the line that starts with `label`, without its line break.
inline std::string ValueAfter(std::string_view text, std::string_view label) {
  const size_t begin = text.find(label);
  if (begin == std::string_view::npos) return "<" + std::string(label) + " missing>";
  const size_t valueBegin = begin + label.size();
  return std::string(text.substr(valueBegin, text.find("\r\n", valueBegin) - valueBegin));
}

}  // namespace tolvex::test
