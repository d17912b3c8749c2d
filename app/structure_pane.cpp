#include "app/structure_pane.h"

#include <QHeaderView>
#include <QShowEvent>
#include <QSplitter>
#include <QTreeWidget>

#include <set>

#include "app/block_gauge.h"
#include "app/structure_pane_texts.h"
#include "model/decoded_edid.h"

namespace tolvex {

namespace {

QString Text(const char* text) { return QString::fromLatin1(text); }
QString Text(const std::string& text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

enum Column { kItemColumn, kValueColumn, kBytesColumn };

// A field that only names its item's kind says what the item's own label says already.
bool Shown(const DecodedNode& node) { return !node.IsField() || node.field->role != FieldRole::kIdentity; }

QString BytesText(const ByteRange& bytes) {
  return bytes.first == bytes.last ? Text(texts::kStructureByte).arg(bytes.first)
                                   : Text(texts::kStructureBytes).arg(bytes.first).arg(bytes.last);
}

void SetTexts(QTreeWidgetItem& row, const DecodedNode& node) {
  row.setText(kItemColumn, Text(node.label));
  row.setText(kValueColumn, Text(node.value));
  row.setText(kBytesColumn, BytesText(node.bytes));
}

}  // namespace

CStructurePane::CStructurePane(const EdidBlock& block, const EdidExtensions& extensions, QWidget* parent)
    : QDockWidget(Text(texts::kStructurePaneTitle), parent),
      block_(block),
      extensions_(extensions),
      tree_(new QTreeWidget) {
  setObjectName(QStringLiteral("structurePane"));
  setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
  toggleViewAction()->setText(Text(texts::kStructurePaneMenuLabel));
  toggleViewAction()->setStatusTip(Text(texts::kStructurePanePrompt));

  tree_->setObjectName(QStringLiteral("structureTree"));
  tree_->setColumnCount(3);
  tree_->setHeaderLabels(
      {Text(texts::kStructureColumnItem), Text(texts::kStructureColumnValue), Text(texts::kStructureColumnBytes)});
  tree_->setUniformRowHeights(true);
  tree_->setSelectionMode(QAbstractItemView::SingleSelection);
  tree_->header()->setStretchLastSection(false);
  tree_->header()->setSectionResizeMode(kItemColumn, QHeaderView::Interactive);
  tree_->header()->setSectionResizeMode(kValueColumn, QHeaderView::Stretch);
  tree_->header()->setSectionResizeMode(kBytesColumn, QHeaderView::ResizeToContents);
  tree_->setColumnWidth(kItemColumn, 260);
  connect(tree_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* row) { ChooseRow(row); });
  connect(tree_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* row) { ChooseRow(row); });
  // The arrow keys choose the row they move to; a tree rebuilt by an edit chooses nothing.
  connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* row) {
    if (row && !rebuilding_) ChooseRow(row);
  });
  setWidget(tree_);
  Redecode();
}

void CStructurePane::EdidChanged() {
  // A closed panel costs an edit nothing; it catches up when it opens.
  if (isHidden()) {
    stale_ = true;
    return;
  }
  Redecode();
}

void CStructurePane::showEvent(QShowEvent* event) {
  QDockWidget::showEvent(event);
  if (stale_) Redecode();
}

int CStructurePane::NodeOf(const QTreeWidgetItem* row) const {
  if (!row) return -1;
  bool ok = false;
  const int node = row->data(kItemColumn, Qt::UserRole).toInt(&ok);
  return ok ? node : -1;
}

int CStructurePane::CurrentNode() const { return NodeOf(tree_->currentItem()); }

void CStructurePane::SetEditor(QWidget* editor) {
  auto* splitter = new QSplitter(Qt::Vertical);
  splitter->setObjectName(QStringLiteral("structureSplitter"));
  splitter->addWidget(tree_);
  splitter->addWidget(editor);
  splitter->setStretchFactor(0, 3);
  splitter->setStretchFactor(1, 2);
  splitter->setSizes({600, 400});  // in proportion: the tree a little more than the form
  setWidget(splitter);
}

void CStructurePane::Redecode() {
  stale_ = false;
  DecodedTree previous = std::move(structure_);
  structure_ = DecodedTree(DecodeEdid(block_.Bytes(), extensions_.blocks));
  const bool sameShape = !rows_.empty() && structure_.SameShape(previous);
  if (sameShape) UpdateTexts(previous);
  else Rebuild(previous);
  UpdateGauges(!sameShape);
  emit decoded(sameShape);
}

void CStructurePane::UpdateGauges(bool rebuilt) {
  // A keystroke in the base block leaves the extension blocks, and so the gauges, as they were.
  if (!rebuilt && gaugedBlocks_ == extensions_.blocks) return;
  gaugedBlocks_ = extensions_.blocks;
  if (rebuilt) gauges_.clear();  // the rows went, and their widgets with them
  const EdidData whole = JoinWholeEdid(block_.Bytes(), extensions_);
  const std::vector<DecodedNode>& nodes = structure_.Nodes();
  for (size_t i = 0; i < nodes.size(); ++i) {
    if (nodes[i].depth != 0 || !rows_[i]) continue;
    const int block = BlockOfPath(nodes[i].path);
    if (block < 1) continue;
    QProgressBar*& gauge = gauges_[block];
    ShowBlockRoom(*tree_, *rows_[i], kValueColumn, whole, block, gauge);
    if (!gauge) gauges_.erase(block);
  }
}

QProgressBar* CStructurePane::Gauge(int block) const {
  const auto found = gauges_.find(block);
  return found == gauges_.end() ? nullptr : found->second;
}

void CStructurePane::SelectPath(const std::string& path) {
  if (stale_) return;
  const int node = structure_.Find(path);
  if (node < 0 || !rows_[static_cast<size_t>(node)]) return;
  QTreeWidgetItem* row = rows_[static_cast<size_t>(node)];
  tree_->scrollToItem(row);
  // The row may be current already: the path stayed where the edit put another block.
  if (tree_->currentItem() == row) ChooseRow(row);
  else tree_->setCurrentItem(row);
}

void CStructurePane::UpdateTexts(const DecodedTree& previous) {
  const std::vector<DecodedNode>& nodes = structure_.Nodes();
  for (size_t i = 0; i < nodes.size(); ++i) {
    const DecodedNode& before = previous.Nodes()[i];
    if (rows_[i] && (nodes[i].label != before.label || nodes[i].value != before.value)) SetTexts(*rows_[i], nodes[i]);
  }
}

void CStructurePane::Rebuild(const DecodedTree& previous) {
  // The user's place survives a change of shape where the same paths are still there.
  std::set<std::string> expanded;
  std::string current;
  for (size_t i = 0; i < rows_.size(); ++i) {
    if (!rows_[i]) continue;
    if (rows_[i]->isExpanded()) expanded.insert(previous.Nodes()[i].path);
    if (rows_[i] == tree_->currentItem()) current = previous.Nodes()[i].path;
  }
  const bool first = rows_.empty();

  rebuilding_ = true;
  tree_->setUpdatesEnabled(false);
  tree_->clear();
  const std::vector<DecodedNode>& nodes = structure_.Nodes();
  rows_.assign(nodes.size(), nullptr);
  QList<QTreeWidgetItem*> blocks;
  QTreeWidgetItem* currentRow = nullptr;
  for (size_t i = 0; i < nodes.size(); ++i) {
    const DecodedNode& node = nodes[i];
    QTreeWidgetItem* parent = node.parent >= 0 ? rows_[static_cast<size_t>(node.parent)] : nullptr;
    if (!Shown(node) || (node.parent >= 0 && !parent)) continue;
    auto* row = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem;
    SetTexts(*row, node);
    row->setData(kItemColumn, Qt::UserRole, static_cast<int>(i));
    rows_[i] = row;
    if (!parent) blocks << row;
    if (node.path == current) currentRow = row;
  }
  tree_->addTopLevelItems(blocks);
  for (size_t i = 0; i < nodes.size(); ++i) {
    if (!rows_[i]) continue;
    // Blocks open the first time, showing their data blocks and descriptors.
    const bool open = first ? nodes[i].depth == 0 : expanded.count(nodes[i].path) > 0;
    if (open) rows_[i]->setExpanded(true);
  }
  if (currentRow) tree_->setCurrentItem(currentRow);
  tree_->setUpdatesEnabled(true);
  rebuilding_ = false;
}

void CStructurePane::ChooseRow(const QTreeWidgetItem* row) {
  const int node = NodeOf(row);
  if (node < 0 || node >= static_cast<int>(structure_.Nodes().size())) return;
  const ByteRange& bytes = structure_.Nodes()[static_cast<size_t>(node)].bytes;
  if (!bytes.Empty()) emit bytesChosen(bytes.first, bytes.last);
}

}  // namespace tolvex
