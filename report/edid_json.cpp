#include "report/edid_json.h"

#include <cmath>
#include <map>
#include <string_view>
#include <vector>

namespace tolvex {

namespace {

using Json = nlohmann::ordered_json;

// Whole numbers print as integers, others as they are.
Json Number(double value) {
  if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 9.0e15) return static_cast<int64_t>(value);
  return value;
}

bool AllDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

Json Value(const FieldValue& value) {
  switch (value.kind) {
    case FieldValue::Kind::kFlag: return value.number != 0;
    case FieldValue::Kind::kInteger:
    case FieldValue::Kind::kReal: return Number(value.number);
    case FieldValue::Kind::kEnum:
      // An enumeration of numbers (bits per colour) stays a number; a code no entry names is
      // its number too.
      if (!value.name) return Number(value.number);
      if (AllDigits(value.name->id)) return std::stoi(std::string(value.name->id));
      return std::string(value.name->id);
    case FieldValue::Kind::kText:
    case FieldValue::Kind::kHex: return value.text;
    case FieldValue::Kind::kList: {
      Json list = Json::array();
      for (const double number : value.list) list.push_back(Number(number));
      return list;
    }
  }
  return nullptr;
}

class JsonBuilder : public DecodeVisitor {
 public:
  explicit JsonBuilder(Json& root) { stack_.push_back(&root); }

  void BeginItem(const DecodedItem& item) override {
    Json& parent = *stack_.back();
    Json* node;
    const std::string key(item.key);
    if (item.listEntry) {
      Json& list = parent[key];
      if (!list.is_array()) list = Json::array();
      list.push_back(Json::object());
      node = &list.back();
    } else {
      node = &parent[key];
      *node = Json::object();
    }
    (*node)["bytes"] = {item.bytes.first, item.bytes.last};
    stack_.push_back(node);
  }

  void Field(const DecodedField& field) override { (*stack_.back())[std::string(field.key)] = Value(field.value); }

  void EndItem() override { stack_.pop_back(); }

 private:
  std::vector<Json*> stack_;
};

// The summary keys: from the data blocks of `kind`, the member `member` of each gathered into
// one list, or (no member) the first such data block as a whole.
struct Summary {
  std::string_view blockKind;
  std::string_view key;
  std::string_view dataBlockKind;
  std::string_view member;
};
constexpr Summary kSummaries[] = {
    {"cta-861", "video", "video", "svds"},
    {"cta-861", "audio", "audio", "sads"},
    {"cta-861", "ycbcr420_only_vics", "ycbcr420-video", "vics"},
    {"cta-861", "ycbcr420_capability_vics", "ycbcr420-map", "vics"},
    {"cta-861", "hdmi", "hdmi", ""},
    {"cta-861", "hdmi_forum", "hdmi-forum", ""},
    {"cta-861", "freesync", "amd", ""},
    {"cta-861", "hdr_static", "hdr-static", ""},
    {"displayid", "timings", "type-1-timings", "timings"},
    {"displayid", "timings", "type-7-timings", "timings"},
};

// SVD bytes 0 and 128 are reserved: an entry of the structure, no video format.
bool NamesAFormat(const Json& entry) {
  return !entry.is_object() || !entry.contains("vic") || (entry["vic"] != 0 && entry["vic"] != 128);
}

void AddSummaries(Json& block) {
  // Gathered aside: adding to `block` while its data blocks are read would move them.
  Json summaries = Json::object();
  const Json& dataBlocks = block.contains("data_blocks") ? block["data_blocks"] : Json::array();
  for (const Summary& summary : kSummaries) {
    if (block["kind"] != summary.blockKind) continue;
    const std::string key(summary.key);
    if (!summary.member.empty() && !summaries.contains(key)) summaries[key] = Json::array();
    for (const Json& data : dataBlocks) {
      if (data["kind"] != summary.dataBlockKind) continue;
      if (summary.member.empty()) {
        if (!summaries.contains(key)) summaries[key] = data;
        break;
      }
      const std::string member(summary.member);
      if (!data.contains(member)) continue;
      for (const Json& entry : data[member]) {
        if (!NamesAFormat(entry)) continue;
        summaries[key].push_back(entry);
      }
    }
  }
  for (auto& [key, value] : summaries.items()) block[key] = std::move(value);
}

class PathCollector : public DecodeVisitor {
 public:
  explicit PathCollector(std::vector<FieldAtPath>& out) : out_(out) { counts_.emplace_back(); }

  void BeginItem(const DecodedItem& item) override {
    std::string step(item.key);
    if (item.listEntry) step += "[" + std::to_string(counts_.back()[std::string(item.key)]++) + "]";
    prefix_.push_back(prefix_.empty() ? step : prefix_.back() + "." + step);
    counts_.emplace_back();
  }

  void Field(const DecodedField& field) override {
    const std::string& at = prefix_.empty() ? empty_ : prefix_.back();
    out_.push_back({at.empty() ? std::string(field.key) : at + "." + std::string(field.key), field});
  }

  void EndItem() override {
    prefix_.pop_back();
    counts_.pop_back();
  }

 private:
  std::vector<FieldAtPath>& out_;
  std::vector<std::string> prefix_;
  std::vector<std::map<std::string, int>> counts_;
  const std::string empty_;
};

}  // namespace

nlohmann::ordered_json EdidJson(const DecodedEdid& edid) {
  Json root = Json::object();
  root["blocks"] = Json::array();
  JsonBuilder builder(root);
  WalkDecodedEdid(edid, builder);
  for (Json& block : root["blocks"]) AddSummaries(block);
  return root;
}

std::vector<FieldAtPath> FieldPaths(const DecodedEdid& edid) {
  std::vector<FieldAtPath> paths;
  PathCollector collector(paths);
  WalkDecodedEdid(edid, collector);
  return paths;
}

}  // namespace tolvex
