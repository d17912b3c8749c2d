#include "app/block_commands.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QTreeWidget>
#include <QUndoStack>

#include <algorithm>
#include <cstdio>

#include "app/edid_history.h"
#include "app/main_frame.h"
#include "app/structure_pane.h"
#include "app/task_texts.h"
#include "model/decoded_edid.h"
#include "model/edid_extensions.h"

namespace tolvex {

namespace {

QString Text(const char* text) { return QString::fromUtf8(text); }
QString Text(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

bool IsCta(const EdidData& edid, int block) {
  return block >= 1 && block < BlockCount(edid) && BlockBytes(edid, block)[0] == kTagCta861;
}

// The data blocks of CTA-861 block `block`; 0 when it has none or is no CTA-861 block.
int DataBlockCount(const EdidData& edid, int block) {
  if (!IsCta(edid, block)) return 0;
  std::string error;
  const std::optional<CtaLayout> layout = ReadCtaLayout(edid, block, error);
  return layout ? static_cast<int>(layout->dataBlocks.size()) : 0;
}

// "Video Data Block": the label of data block `position` of block `block`.
std::string DataBlockLabelAt(const EdidData& edid, int block, int position) {
  std::string error;
  const std::optional<CtaLayout> layout = ReadCtaLayout(edid, block, error);
  if (!layout || position < 0 || position >= static_cast<int>(layout->dataBlocks.size())) return {};
  const std::vector<uint8_t>& bytes = layout->dataBlocks[static_cast<size_t>(position)].bytes;
  const std::vector<CtaDataBlock> parsed = ParseCtaDataBlocks(bytes, 0, bytes.size());
  return parsed.empty() ? std::string() : DataBlockLabel(parsed.front());
}

std::string BlockPath(int block) { return "blocks[" + std::to_string(block) + "]"; }
std::string DataBlockPath(int block, int position) {
  return BlockPath(block) + ".data_blocks[" + std::to_string(position) + "]";
}

// The block and data block a node's path lies in: "blocks[1].data_blocks[2].svds[0]" is in
// data block 2 of block 1.
void ReadSelection(const std::string& path, TaskContext& context) {
  int block = -1, dataBlock = -1, length = 0;
  if (std::sscanf(path.c_str(), "blocks[%d]%n", &block, &length) != 1) return;
  context.selectedBlock = block;
  if (std::sscanf(path.c_str() + length, ".data_blocks[%d]", &dataBlock) == 1 && IsCta(context.edid, block)) {
    context.selectedDataBlock = dataBlock;
  }
}

std::unique_ptr<CTaskDialog> MakeAddDataBlockDialog(const TaskContext& context, ApplyEditFn apply, QWidget* parent) {
  auto dialog = std::make_unique<CTaskDialog>(StepName(kCmdAddDataBlock), std::move(apply), parent);
  const int block = IsCta(context.edid, context.selectedBlock) ? context.selectedBlock
                                                                : FindExtension(context.edid, kTagCta861);
  const int count = DataBlockCount(context.edid, block);
  const int position = block == context.selectedBlock && context.selectedDataBlock >= 0 ? context.selectedDataBlock + 1
                                                                                         : count;
  QComboBox* kind = dialog->AddChoice(texts::kDataBlockKind, "dataBlockKind");
  // Every kind that has a fresh block with valid defaults.
  for (int k = 0; k <= static_cast<int>(CtaKind::kUnknown); ++k) {
    const std::optional<std::vector<uint8_t>> bytes = NewDataBlock(static_cast<CtaKind>(k));
    if (!bytes) continue;
    const std::vector<CtaDataBlock> parsed = ParseCtaDataBlocks(*bytes, 0, bytes->size());
    kind->addItem(Text(parsed.empty() ? std::string() : DataBlockLabel(parsed.front())), k);
  }
  if (block < 0) dialog->AddNote(Text(texts::kNeedsCtaBlock));
  else dialog->AddNote(Text(texts::kDataBlockWhere).arg(block).arg(position + 1).arg(count + 1));
  CTaskDialog* self = dialog.get();
  dialog->SetReader([=]() -> std::optional<EdidEdit> {
    const std::vector<uint8_t> bytes = *NewDataBlock(static_cast<CtaKind>(kind->currentData().toInt()));
    const std::string label = kind->currentText().toStdString();
    self->SetSelectAfter(DataBlockPath(block, position));
    return [=](EdidData& edid) {
      EditResult result = InsertDataBlock(edid, block, position, bytes);
      if (result.Ok()) result.notes.push_back(EditText(texts::kDataBlockAdded, label.c_str(), position + 1, block));
      return result;
    };
  });
  return dialog;
}

std::unique_ptr<CTaskDialog> MakeAddExtensionDialog(const TaskContext& context, ApplyEditFn apply, QWidget* parent) {
  auto dialog = std::make_unique<CTaskDialog>(StepName(kCmdAddExtensionBlock), std::move(apply), parent);
  QComboBox* kind = dialog->AddChoice(texts::kExtensionKind, "extensionKind");
  kind->addItem(Text(texts::kExtensionCta), kTagCta861);
  kind->addItem(Text(texts::kExtensionDisplayId), kTagDisplayId);
  const int block = BlockCount(context.edid);
  dialog->AddNote(Text(texts::kExtensionWhere).arg(block));
  CTaskDialog* self = dialog.get();
  dialog->SetReader([=]() -> std::optional<EdidEdit> {
    const std::array<uint8_t, 128> bytes = kind->currentData().toInt() == kTagCta861 ? NewCtaBlock() : NewDisplayIdBlock();
    self->SetSelectAfter(BlockPath(block));
    return [=](EdidData& edid) {
      EditResult result = AddExtensionBlock(edid, bytes);
      if (result.Ok()) {
        result.notes.push_back(EditText(texts::kBlockAdded, BlockLabel(DecodeEdid(edid).blocks.back()).c_str()));
      }
      return result;
    };
  });
  return dialog;
}

std::unique_ptr<CTaskDialog> MakeRemoveExtensionDialog(const TaskContext& context, ApplyEditFn apply,
                                                       QWidget* parent) {
  auto dialog = std::make_unique<CTaskDialog>(StepName(kCmdRemoveExtensionBlock), std::move(apply), parent);
  QTreeWidget* list = dialog->AddList({Text(texts::kRemoveWhich).remove(QLatin1Char('&'))}, "blockList");
  const DecodedEdid decoded = DecodeEdid(context.edid);
  for (size_t i = 1; i < decoded.blocks.size(); ++i) {
    auto* row = new QTreeWidgetItem(list, {Text(BlockLabel(decoded.blocks[i]))});
    row->setData(0, Qt::UserRole, static_cast<int>(i));
    if (static_cast<int>(i) == context.selectedBlock) list->setCurrentItem(row);
  }
  CTaskDialog* self = dialog.get();
  dialog->SetReader([=]() -> std::optional<EdidEdit> {
    if (!list->currentItem()) {
      self->Refusal()->setText(Text(texts::kChooseBlock));
      self->Refusal()->show();
      return std::nullopt;
    }
    const int block = list->currentItem()->data(0, Qt::UserRole).toInt();
    const std::string label = list->currentItem()->text(0).toStdString();
    self->SetSelectAfter(BlockPath(std::min(block, static_cast<int>(decoded.blocks.size()) - 2)));
    return [=](EdidData& edid) {
      EditResult result = RemoveExtensionBlock(edid, block);
      if (result.Ok()) result.notes.push_back(EditText(texts::kBlockRemoved, label.c_str()));
      return result;
    };
  });
  return dialog;
}

// Remove Data Block and the two moves: the selected data block, at once.
EditResult RunDataBlockEdit(CMainFrame& frame, CommandId id, const TaskContext& context, std::string& select) {
  const int block = context.selectedBlock, from = context.selectedDataBlock;
  const std::string label = DataBlockLabelAt(context.edid, block, from);
  const int count = DataBlockCount(context.edid, block);
  if (id == kCmdRemoveDataBlock) {
    select = count > 1 ? DataBlockPath(block, std::min(from, count - 2)) : BlockPath(block);
    return frame.ApplyEdit(StepName(id), [&](EdidData& edid) {
      EditResult result = RemoveDataBlock(edid, block, from);
      if (result.Ok()) result.notes.push_back(EditText(texts::kDataBlockRemoved, from + 1, block, label.c_str()));
      return result;
    });
  }
  const int to = id == kCmdMoveDataBlockUp ? from - 1 : from + 1;
  select = DataBlockPath(block, to);
  return frame.ApplyEdit(StepName(id), [&](EdidData& edid) {
    EditResult result = MoveDataBlock(edid, block, from, to);
    if (result.Ok()) result.notes.push_back(EditText(texts::kDataBlockMoved, label.c_str(), to + 1, block));
    return result;
  });
}

}  // namespace

std::unique_ptr<CTaskDialog> MakeBlockDialog(CommandId id, const TaskContext& context, ApplyEditFn apply,
                                             QWidget* parent) {
  switch (id) {
    case kCmdAddDataBlock: return MakeAddDataBlockDialog(context, std::move(apply), parent);
    case kCmdAddExtensionBlock: return MakeAddExtensionDialog(context, std::move(apply), parent);
    case kCmdRemoveExtensionBlock: return MakeRemoveExtensionDialog(context, std::move(apply), parent);
    default: return nullptr;
  }
}

const std::vector<int>& TaskMenuLayout() {
  static const std::vector<int> layout = {
      kCmdTaskVrr, kCmdTaskRgbOnly, kCmdTaskMaxTmds, 0,
      kCmdTaskAddVic, kCmdTaskRemoveVic, kCmdTaskHdrLuminance, kCmdTaskAddTiming, 0,
      kCmdAddDataBlock, kCmdRemoveDataBlock, kCmdMoveDataBlockUp, kCmdMoveDataBlockDown, 0,
      kCmdAddExtensionBlock, kCmdRemoveExtensionBlock,
  };
  return layout;
}

bool IsTaskCommand(CommandId id) {
  const std::vector<int>& layout = TaskMenuLayout();
  return id != 0 && std::find(layout.begin(), layout.end(), int{id}) != layout.end();
}

TaskContext CurrentTaskContext(CMainFrame& frame) {
  TaskContext context;
  context.edid = frame.CurrentEdid();
  // A closed panel has no selection the user can see.
  const CStructurePane& pane = frame.StructurePane();
  const int node = pane.isHidden() ? -1 : pane.CurrentNode();
  if (node >= 0 && node < static_cast<int>(pane.Structure().Nodes().size())) {
    ReadSelection(pane.Structure().Nodes()[static_cast<size_t>(node)].path, context);
  }
  return context;
}

std::vector<CommandState> TaskCommandStates(CMainFrame& frame) {
  const TaskContext context = CurrentTaskContext(frame);
  const bool selected = context.selectedDataBlock >= 0;
  const int count = selected ? DataBlockCount(context.edid, context.selectedBlock) : 0;
  const QString noSelection = Text(texts::kNoDataBlockSelected);
  const auto moveReason = [&](const char* why) { return selected ? Text(why) : noSelection; };
  return {
      {kCmdAddDataBlock, FindExtension(context.edid, kTagCta861) >= 0, Text(texts::kNeedsCtaBlock)},
      {kCmdRemoveDataBlock, selected, noSelection},
      {kCmdMoveDataBlockUp, selected && context.selectedDataBlock > 0, moveReason(texts::kFirstDataBlock)},
      {kCmdMoveDataBlockDown, selected && context.selectedDataBlock + 1 < count, moveReason(texts::kLastDataBlock)},
      {kCmdRemoveExtensionBlock, BlockCount(context.edid) > 1, Text(texts::kNoExtensionBlock)},
  };
}

void RunTaskCommand(CMainFrame& frame, CommandId id) {
  const TaskContext context = CurrentTaskContext(frame);
  std::string select;
  EditResult result;
  if (id == kCmdRemoveDataBlock || id == kCmdMoveDataBlockUp || id == kCmdMoveDataBlockDown) {
    // Greyed without a data block; a stale selection is refused by the edit and said so.
    if (context.selectedDataBlock < 0) return;
    result = RunDataBlockEdit(frame, id, context, select);
    if (!result.Ok()) {
      frame.ShowError(result.error, StepName(id).toStdString());
      return;
    }
  } else {
    const ApplyEditFn apply = [&frame](const QString& name, const EdidEdit& edit) { return frame.ApplyEdit(name, edit); };
    std::unique_ptr<CTaskDialog> dialog = MakeTaskDialog(id, context, apply, &frame);
    if (!dialog || dialog->exec() != QDialog::Accepted) return;
    result = dialog->Result();
    select = dialog->SelectAfter();
  }
  frame.SetStatusText(JoinNotes(result));
  if (!select.empty()) frame.StructurePane().SelectPath(select);
}

void InstallBlockCommands(CMainFrame& frame) {
  QTreeWidget* tree = frame.StructurePane().Tree();
  tree->setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(tree, &QTreeWidget::customContextMenuRequested, &frame, [&frame, tree](const QPoint& at) {
    QTreeWidgetItem* row = tree->itemAt(at);
    if (!row) return;
    tree->setCurrentItem(row);
    frame.UpdateCommandUi();
    QMenu menu(tree);
    for (CommandId id : {kCmdAddDataBlock, kCmdRemoveDataBlock, kCmdMoveDataBlockUp, kCmdMoveDataBlockDown}) {
      menu.addAction(frame.Action(id));
    }
    menu.addSeparator();
    menu.addAction(frame.Action(kCmdAddExtensionBlock));
    menu.addAction(frame.Action(kCmdRemoveExtensionBlock));
    menu.exec(tree->viewport()->mapToGlobal(at));
  });
  QObject::connect(tree, &QTreeWidget::currentItemChanged, &frame, [&frame] { frame.UpdateCommandUi(); });
  QObject::connect(&frame.EdidHistory().Stack(), &QUndoStack::indexChanged, &frame, [&frame] { frame.UpdateCommandUi(); });
}

}  // namespace tolvex
