#include "report/edid_json.h"

#include <algorithm>
#include <cmath>
#include <iterator>
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

using Members = std::vector<std::pair<std::string, Json>>;

const Json* Find(const Members& members, std::string_view key) {
  const auto found = std::find_if(members.begin(), members.end(), [&](const auto& m) { return m.first == key; });
  return found == members.end() ? nullptr : &found->second;
}

// A block's members gain its summary keys, after everything else.
void AddSummaries(Members& block) {
  const Json* kind = Find(block, "kind");
  if (!kind) return;
  static const Json kNone = Json::array();
  const Json* found = Find(block, "data_blocks");
  const Json& dataBlocks = found ? *found : kNone;
  Members summaries;
  for (const Summary& summary : kSummaries) {
    if (*kind != summary.blockKind) continue;
    auto slot = std::find_if(summaries.begin(), summaries.end(), [&](const auto& m) { return m.first == summary.key; });
    if (!summary.member.empty() && slot == summaries.end()) {
      summaries.emplace_back(std::string(summary.key), Json::array());
      slot = summaries.end() - 1;
    }
    for (const Json& data : dataBlocks) {
      if (data["kind"] != summary.dataBlockKind) continue;
      if (summary.member.empty()) {
        if (slot == summaries.end()) summaries.emplace_back(std::string(summary.key), data);
        break;
      }
      const std::string member(summary.member);
      if (!data.contains(member)) continue;
      for (const Json& entry : data[member]) {
        if (NamesAFormat(entry)) slot->second.push_back(entry);
      }
    }
  }
  for (auto& member : summaries) block.push_back(std::move(member));
}

// Each item's members are gathered in a frame and become its object when it ends, in one
// allocation; a list entry joins the list of that key in the enclosing frame. Frames stay
// allocated as the walk goes deeper and back, so their member lists keep their room.
class JsonBuilder : public DecodeVisitor {
 public:
  JsonBuilder() : frames_(1) {}

  bool WantsLabels() const override { return false; }

  void BeginItem(const DecodedItem& item) override {
    if (++depth_ == frames_.size()) frames_.emplace_back();
    Frame& frame = frames_[depth_];
    frame.key = item.key;
    frame.listEntry = item.listEntry;
    frame.members.clear();
    frame.members.emplace_back("bytes", Json::array_t{item.bytes.first, item.bytes.last});
  }

  void Field(const DecodedField& field) override {
    frames_[depth_].members.emplace_back(std::string(field.key), Value(field.value));
  }

  void EndItem() override {
    Frame& done = frames_[depth_--];
    if (depth_ == 0) AddSummaries(done.members);
    Json object = ObjectOf(done.members);
    Members& parent = frames_[depth_].members;
    if (!done.listEntry) {
      parent.emplace_back(std::string(done.key), std::move(object));
      return;
    }
    const auto list = std::find_if(parent.begin(), parent.end(), [&](const auto& m) { return m.first == done.key; });
    if (list == parent.end()) {
      parent.emplace_back(std::string(done.key), Json::array_t{std::move(object)});
    } else {
      list->second.push_back(std::move(object));
    }
  }

  // The root object, `first` (when given) its first members.
  Json Root(Members first) {
    for (auto& member : frames_.front().members) first.push_back(std::move(member));
    if (!Find(first, "blocks")) first.emplace_back("blocks", Json::array());
    return ObjectOf(first);
  }

 private:
  struct Frame {
    std::string_view key;
    bool listEntry = false;
    Members members;
  };

  static Json ObjectOf(Members& members) {
    return Json(Json::object_t(std::make_move_iterator(members.begin()), std::make_move_iterator(members.end())));
  }

  std::vector<Frame> frames_;
  size_t depth_ = 0;
};

}  // namespace

nlohmann::ordered_json EdidJson(const DecodedEdid& edid, std::string_view file) {
  JsonBuilder builder;
  WalkDecodedEdid(edid, builder);
  Members first;
  if (!file.empty()) first.emplace_back("file", std::string(file));
  return builder.Root(std::move(first));
}

}  // namespace tolvex
