// The structure panel: the decoded whole EDID as a tree (block, data block or descriptor, field)
// with each node's value and bytes. Choosing a node asks for its bytes to be selected in the
// code window. It follows the EDID whenever its bytes change (the code window reports every
// refresh), and only while it is open; when an edit leaves the shape of the tree as it was, only
// the texts that changed are rewritten, so that a keystroke costs little and the user's place
// in the tree is kept.
#pragma once

#include <QDockWidget>

#include <map>

#include "model/edid_block.h"
#include "model/edid_extensions.h"
#include "report/decoded_tree.h"

class QProgressBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace tolvex {

class CStructurePane : public QDockWidget {
  Q_OBJECT

 public:
  CStructurePane(const EdidBlock& block, const EdidExtensions& extensions, QWidget* parent);

  // The EDID's bytes changed: decode again now if the panel is open, else when it opens.
  void EdidChanged();

  // The nodes the tree shows, and the node a row stands for (-1 for none).
  const DecodedTree& Structure() const { return structure_; }
  int NodeOf(const QTreeWidgetItem* row) const;
  // The node selected in the tree, or -1: what an editor beside the tree edits.
  int CurrentNode() const;
  QTreeWidget* Tree() const { return tree_; }
  // Makes the row of the node at `path` current, choosing its bytes; nothing when there is none.
  void SelectPath(const std::string& path);
  // The free-space gauge in the row of extension block `block`, or null (app/block_gauge.h).
  QProgressBar* Gauge(int block) const;
  // The editor of the selected node, below the tree.
  void SetEditor(QWidget* editor);
  // The tree is being rebuilt: its rows come and go, and the current one is not yet the user's.
  bool IsRebuilding() const { return rebuilding_; }

 signals:
  // The user chose a node about bytes first..last of the whole EDID.
  void bytesChosen(int first, int last);
  // The EDID was decoded again; `sameShape`: only labels and values can have changed.
  void decoded(bool sameShape);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Redecode();
  void Rebuild(const DecodedTree& previous);
  void UpdateTexts(const DecodedTree& previous);
  void ChooseRow(const QTreeWidgetItem* row);
  void UpdateGauges(bool rebuilt);

  const EdidBlock& block_;
  const EdidExtensions& extensions_;
  QTreeWidget* tree_;
  DecodedTree structure_;
  std::vector<QTreeWidgetItem*> rows_;  // per node; null for a node the tree does not show
  std::map<int, QProgressBar*> gauges_;  // per extension block that keeps a count of its room
  std::vector<EdidBytes> gaugedBlocks_;  // the extension blocks the gauges show
  bool stale_ = true;
  bool rebuilding_ = false;
};

}  // namespace tolvex
