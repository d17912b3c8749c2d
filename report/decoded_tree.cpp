#include "report/decoded_tree.h"

#include <algorithm>
#include <map>

namespace tolvex {

namespace {

class TreeBuilder : public DecodeVisitor {
 public:
  explicit TreeBuilder(std::vector<DecodedNode>& nodes) : nodes_(nodes) { counts_.emplace_back(); }

  void BeginItem(const DecodedItem& item) override {
    std::string step(item.key);
    if (item.listEntry) step += "[" + std::to_string(counts_.back()[step]++) + "]";
    DecodedNode& node = Add(open_.empty() ? step : nodes_[static_cast<size_t>(open_.back())].path + "." + step);
    node.label = item.label;
    node.bytes = item.bytes;
    open_.push_back(static_cast<int>(nodes_.size()) - 1);
    counts_.emplace_back();
  }

  void Field(const DecodedField& field) override {
    const std::string key(field.key);
    DecodedNode& node = Add(open_.empty() ? key : nodes_[static_cast<size_t>(open_.back())].path + "." + key);
    node.label = field.label;
    node.value = FormatFieldValue(field.value);
    node.bytes = field.bytes;
    node.field = field;
  }

  void EndItem() override {
    open_.pop_back();
    counts_.pop_back();
  }

 private:
  DecodedNode& Add(std::string path) {
    DecodedNode& node = nodes_.emplace_back();
    node.parent = open_.empty() ? -1 : open_.back();
    node.depth = static_cast<int>(open_.size());
    node.path = std::move(path);
    return node;
  }

  std::vector<DecodedNode>& nodes_;
  std::vector<int> open_;  // the items begun and not yet ended, outermost first
  std::vector<std::map<std::string, int>> counts_;  // per open item: entries so far of each list
};

}  // namespace

DecodedTree::DecodedTree(const DecodedEdid& edid) {
  TreeBuilder builder(nodes_);
  WalkDecodedEdid(edid, builder);
}

bool DecodedTree::SameShape(const DecodedTree& other) const {
  return std::equal(nodes_.begin(), nodes_.end(), other.nodes_.begin(), other.nodes_.end(),
                    [](const DecodedNode& a, const DecodedNode& b) { return a.SamePlace(b); });
}

int DecodedTree::Find(std::string_view path) const {
  const auto found = std::find_if(nodes_.begin(), nodes_.end(), [path](const DecodedNode& n) { return n.path == path; });
  return found == nodes_.end() ? -1 : static_cast<int>(found - nodes_.begin());
}

}  // namespace tolvex
