// The editors of the Structure panel for items whose fields alone do not say how to change
// them: a Video Data Block's list of VICs (picked from the VIC table), an Audio Data Block's
// descriptors, HDR static metadata's luminance in cd/m², and a detailed timing descriptor of the
// base block or a CTA-861 block (the wizard's timing editor on a copy of its 18 bytes). Each
// change is one edit through the node editor.
#pragma once

#include <QWidget>

namespace tolvex {

class CNodeEditor;
class DecodedTree;

class DataBlockEditor : public QWidget {
 public:
  using QWidget::QWidget;
  // The item at `item` of `tree` as it now reads (the same item the editor was made for).
  virtual void Refresh(const DecodedTree& tree, int item) = 0;
};

// The editor of the item's kind, or null when its fields say everything. Owned by `parent`.
DataBlockEditor* MakeDataBlockEditor(CNodeEditor& owner, const DecodedTree& tree, int item, QWidget* parent);

}  // namespace tolvex
