// The decoded walk of a whole EDID as a tree of nodes: every item and every field, in walk order,
// each with its JSON path (as `tolvex-cli info --json` nests it), its label, its value as text and
// its bytes in the whole EDID. The structure panel shows it and selects a node's bytes; a field
// setter and an editor for the selected node find the field by its path.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/decoded_edid.h"

namespace tolvex {

struct DecodedNode {
  int parent = -1;  // the enclosing item's index; -1 for a block's entry
  int depth = 0;
  std::string path;  // "blocks[1].data_blocks[2]", a field's "blocks[1].data_blocks[2].max_tmds_mhz"
  std::string label;
  std::string value;  // a field's value as the report prints it; empty for an item
  ByteRange bytes;
  std::optional<DecodedField> field;  // none for an item

  bool IsField() const { return field.has_value(); }
  // The same place in the walk: path, bytes and kind alike (label and value may differ).
  bool SamePlace(const DecodedNode& other) const {
    return path == other.path && bytes == other.bytes && IsField() == other.IsField();
  }
};

class DecodedTree {
 public:
  DecodedTree() = default;
  explicit DecodedTree(const DecodedEdid& edid);

  const std::vector<DecodedNode>& Nodes() const { return nodes_; }
  // Every node in the same place as in `other`: only labels and values can have changed.
  bool SameShape(const DecodedTree& other) const;
  // The node at `path`, or -1.
  int Find(std::string_view path) const;

 private:
  std::vector<DecodedNode> nodes_;
};

}  // namespace tolvex
