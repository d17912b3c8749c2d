// The free-space gauge of an extension block's row in the Structure panel: a bar with its text
// ("87/123 bytes"; its tip "87 of 123 bytes used, 36 free") in the row's value column, for a
// CTA-861 block's 123 bytes of data blocks and DTDs and a DisplayID block's section data
// (model/block_room.h).
#pragma once

#include <string>

#include "model/edid_edit.h"

class QProgressBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace tolvex {

// The block a block's node stands for ("blocks[2]" is 2), or -1.
int BlockOfPath(const std::string& path);

// Shows block `block`'s room in `row`: `gauge` made when it is null, set when it changed, and
// null again (the row without a gauge) when the block keeps no count.
void ShowBlockRoom(QTreeWidget& tree, QTreeWidgetItem& row, int column, const EdidData& edid, int block,
                   QProgressBar*& gauge);

}  // namespace tolvex
