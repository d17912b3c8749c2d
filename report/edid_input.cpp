#include "report/edid_input.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <span>

#include "report/report_reader.h"

namespace tolvex {

namespace {

constexpr std::array<std::string_view, 3> kBinaryEdidSuffixes = {".bin", ".edid", ".raw"};

bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         std::equal(suffix.begin(), suffix.end(), text.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                    [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b)); });
}

bool StartsWithHeader(std::string_view content) {
  return content.size() >= kEdidHeader.size() &&
         std::equal(kEdidHeader.begin(), kEdidHeader.end(), content.begin(),
                    [](uint8_t h, char c) { return h == static_cast<uint8_t>(c); });
}

EdidInput BinaryInput(std::string_view content) {
  EdidInput input;
  if (content.size() > kMaxWholeEdidSize) {
    input.kind = EdidInput::kOversized;
    return input;
  }
  const auto* first = reinterpret_cast<const uint8_t*>(content.data());
  WholeEdid whole = SplitWholeEdid(std::span<const uint8_t>(first, content.size()));
  input.kind = EdidInput::kBinary;
  input.bytes = whole.base;
  input.extensions = std::move(whole.extensions);
  return input;
}

}  // namespace

bool HasBinaryEdidName(std::string_view name) {
  return std::any_of(kBinaryEdidSuffixes.begin(), kBinaryEdidSuffixes.end(),
                     [name](std::string_view suffix) { return EndsWithIgnoringCase(name, suffix); });
}

EdidInput ReadEdidInput(std::string_view content, std::string_view name) {
  if (StartsWithHeader(content)) return BinaryInput(content);
  if (std::optional<ReportContent> report = ReadReport(content)) {
    EdidInput input;
    input.kind = EdidInput::kReport;
    input.bytes = report->bytes;
    input.productCodeFormat = report->productCodeFormat;
    input.serialFormat = report->serialFormat;
    input.extensions = std::move(report->extensions);
    input.damage = report->damage;
    return input;
  }
  if (HasBinaryEdidName(name)) return BinaryInput(content);
  return {};
}

}  // namespace tolvex
