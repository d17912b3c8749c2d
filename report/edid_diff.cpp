#include "report/edid_diff.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "model/decoded_edid.h"
#include "model/field_paths.h"
#include "report/report_texts.h"

namespace tolvex {

namespace {

namespace rt = report_text;

std::string ByteText(int value) {
  if (value < 0) return std::string(rt::kDiffAbsent);
  char hex[3];
  std::snprintf(hex, sizeof hex, "%02x", value);
  return hex;
}

std::string FieldLines(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  std::map<std::string, std::string> before;
  std::vector<std::string> order;
  for (const FieldAtPath& at : FieldPaths(DecodeEdid(a))) {
    if (before.emplace(at.path, FormatFieldValue(at.field.value)).second) order.push_back(at.path);
  }
  std::map<std::string, std::string> after;
  for (const FieldAtPath& at : FieldPaths(DecodeEdid(b))) {
    if (after.emplace(at.path, FormatFieldValue(at.field.value)).second && !before.count(at.path)) order.push_back(at.path);
  }
  std::string fields;
  for (const std::string& path : order) {
    const auto old = before.find(path), now = after.find(path);
    const std::string from = old == before.end() ? std::string(rt::kDiffAbsent) : old->second;
    const std::string to = now == after.end() ? std::string(rt::kDiffAbsent) : now->second;
    if (from == to) continue;
    fields.append("  ").append(path).append(rt::kDiffPathEnd);
    fields.append(from).append(rt::kDiffArrow).append(to).append("\n");
  }
  return fields;
}

std::string ByteLines(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  std::string bytes;
  for (size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
    const int x = i < a.size() ? a[i] : -1, y = i < b.size() ? b[i] : -1;
    if (x == y) continue;
    bytes.append("  ").append(std::to_string(i)).append(rt::kDiffPathEnd);
    bytes.append(ByteText(x)).append(rt::kDiffArrow).append(ByteText(y)).append("\n");
  }
  return bytes;
}

}  // namespace

EdidDifference DiffEdids(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  const std::string fields = FieldLines(a, b);
  const std::string bytes = ByteLines(a, b);
  if (fields.empty() && bytes.empty()) return {true, std::string(rt::kDiffSame).append("\n")};
  std::string text(rt::kDiffFields);
  text.append("\n").append(fields).append(rt::kDiffBytes).append("\n").append(bytes);
  return {false, text};
}

}  // namespace tolvex
