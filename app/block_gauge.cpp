#include "app/block_gauge.h"

#include <QProgressBar>
#include <QTreeWidget>

#include <cstdio>

#include "app/task_texts.h"
#include "model/block_room.h"

namespace tolvex {

int BlockOfPath(const std::string& path) {
  int block = -1, length = 0;
  if (std::sscanf(path.c_str(), "blocks[%d]%n", &block, &length) != 1) return -1;
  return static_cast<size_t>(length) == path.size() ? block : -1;
}

void ShowBlockRoom(QTreeWidget& tree, QTreeWidgetItem& row, int column, const EdidData& edid, int block,
                   QProgressBar*& gauge) {
  const std::optional<BlockRoom> room = ReadBlockRoom(edid, block);
  if (!room) {
    if (gauge) tree.removeItemWidget(&row, column);
    gauge = nullptr;
    return;
  }
  const bool fresh = !gauge;
  if (fresh) {
    gauge = new QProgressBar;
    gauge->setObjectName(QStringLiteral("blockGauge%1").arg(block));
    gauge->setFormat(QString::fromUtf8(texts::kGaugeFormat));
    gauge->setTextVisible(true);
    // As tall as the row's text, so that the tree's rows keep their one height.
    gauge->setMaximumHeight(tree.fontMetrics().height() + 2);
    tree.setItemWidget(&row, column, gauge);
  }
  if (!fresh && gauge->maximum() == room->room && gauge->value() == room->used) return;
  gauge->setRange(0, room->room);
  gauge->setValue(room->used);
  gauge->setToolTip(QString::fromUtf8(texts::kGaugeTip).arg(room->used).arg(room->room).arg(room->Free()));
}

}  // namespace tolvex
