// Helpers for the report tests: cutting a rendered report into the pieces a test looks at.
#pragma once

#include <regex>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

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

// The node at a path of the decoded model's JSON ("blocks[1].data_blocks[2].max_tmds_mhz"), or
// nothing.
inline const nlohmann::ordered_json* JsonAt(const nlohmann::ordered_json& root, const std::string& path) {
  static const std::regex kStep(R"(([a-z0-9_]+)(?:\[(\d+)\])?)");
  const nlohmann::ordered_json* node = &root;
  for (auto it = std::sregex_iterator(path.begin(), path.end(), kStep); it != std::sregex_iterator(); ++it) {
    const std::string key = (*it)[1];
    if (!node->is_object() || !node->contains(key)) return nullptr;
    node = &(*node)[key];
    if ((*it)[2].matched) {
      const size_t index = std::stoul((*it)[2]);
      if (!node->is_array() || index >= node->size()) return nullptr;
      node = &(*node)[index];
    }
  }
  return node;
}

}  // namespace tolvex::test
