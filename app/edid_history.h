// Undo and redo of the changes a user action makes to the whole EDID (EDID Read, Read from
// connected display, a finished wizard run, an edit), one step per action, over snapshots of the
// whole EDID. Undoing or redoing a step puts its EDID back into the block and the extension blocks
// and shows it as an edit does (code window, Check pane, Structure panel, report view). The
// report view's own Ctrl+Z stays with its text.
#pragma once

#include <QObject>
#include <QUndoStack>

#include <functional>

#include "model/edid_block.h"
#include "model/edid_extensions.h"

namespace tolvex {

struct EdidSnapshot {
  EdidBytes base{};
  uint8_t productCodeFormat = 0;
  uint8_t serialFormat = 0;
  EdidExtensions extensions;
  bool operator==(const EdidSnapshot&) const = default;
};

class CEdidHistory : public QObject {
  Q_OBJECT

 public:
  // `show` makes a restored EDID visible everywhere.
  CEdidHistory(EdidBlock& block, EdidExtensions& extensions, std::function<void()> show, QObject* parent);

  // Runs `action` and keeps what it changed as one step named `name`; nothing when it changed nothing.
  // A step with a `mergeKey` joins the step before it when that one has the same key (the
  // keystrokes of one entry in one field are one step), and goes when the two changed nothing.
  void Record(const QString& name, const std::function<void()>& action, const QString& mergeKey = {});

  QUndoStack& Stack() { return stack_; }

 private:
  EdidSnapshot Take() const;
  void Restore(const EdidSnapshot& snapshot);

  friend class EdidStep;
  EdidBlock& block_;
  EdidExtensions& extensions_;
  std::function<void()> show_;
  QUndoStack stack_;
};

}  // namespace tolvex
