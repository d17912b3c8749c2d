#include "model/field_paths.h"

#include <map>

namespace tolvex {

namespace {

class PathCollector : public DecodeVisitor {
 public:
  explicit PathCollector(std::vector<FieldAtPath>& out) : out_(out) { counts_.emplace_back(); }

  bool WantsLabels() const override { return false; }

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

std::vector<FieldAtPath> FieldPaths(const DecodedEdid& edid) {
  std::vector<FieldAtPath> paths;
  PathCollector collector(paths);
  WalkDecodedEdid(edid, collector);
  return paths;
}

}  // namespace tolvex
