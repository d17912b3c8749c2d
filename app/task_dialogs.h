// The small modal dialogs of the Tasks menu: one form per task edit (model/task_edits.h) and per
// block command that needs a choice. OK reads the form (a field that fails its check says why
// and keeps the focus), runs the edit as one undoable step, and closes only when it is done; a
// refusal is shown inside the dialog, which stays open with nothing changed. Cancel changes
// nothing. Fields are checked when the user leaves them and on OK, never per keystroke.
#pragma once

#include <QDialog>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "app/command_table.h"
#include "model/edid_edit.h"

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QTreeWidget;

namespace tolvex {

using EdidEdit = std::function<EditResult(EdidData&)>;
// Runs an edit as one undoable step named `name` (CMainFrame::ApplyEdit).
using ApplyEditFn = std::function<EditResult(const QString& name, const EdidEdit& edit)>;

// What a dialog starts from: the whole EDID as it is and the Structure panel's selection.
struct TaskContext {
  EdidData edid;
  int selectedBlock = -1;      // the block of the selected row, or -1
  int selectedDataBlock = -1;  // the CTA-861 data block of the selected row, or -1
};

class CTaskDialog : public QDialog {
  Q_OBJECT

 public:
  CTaskDialog(const QString& title, ApplyEditFn apply, QWidget* parent);
  ~CTaskDialog() override;

  // Rows of the form, top to bottom. A field's check runs when the user leaves it and on OK.
  QLineEdit* AddField(const char* label, const char* objectName, std::function<bool(QLineEdit*)> check);
  QCheckBox* AddCheck(const char* label, const char* objectName);
  QComboBox* AddChoice(const char* label, const char* objectName);
  QTreeWidget* AddList(const QStringList& columns, const char* objectName);
  QLabel* AddNote(const QString& text);

  // What OK runs: the form read into an edit, or nothing when a check failed (and said why).
  void SetReader(std::function<std::optional<EdidEdit>()> reader) { reader_ = std::move(reader); }
  // The Structure panel's row to select once the edit is done (a moved or added block).
  void SetSelectAfter(std::string path) { selectAfter_ = std::move(path); }
  const std::string& SelectAfter() const { return selectAfter_; }

  // Why the last OK changed nothing; hidden while there is no refusal.
  QLabel* Refusal() const { return refusal_; }
  QDialogButtonBox* Buttons() const { return buttons_; }
  // The done edit's result (its notes), once the dialog is accepted.
  const EditResult& Result() const { return result_; }

 protected:
  void accept() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  ApplyEditFn apply_;
  QFormLayout* form_;
  QLabel* refusal_;
  QDialogButtonBox* buttons_;
  std::function<std::optional<EdidEdit>()> reader_;
  std::map<QObject*, std::function<bool()>> checks_;
  std::string selectAfter_;
  EditResult result_;
  bool checking_ = false;
};

// The dialog of a Tasks command (the task edits, Add Data Block, Add and Remove Extension Block),
// or null for a command that has none.
std::unique_ptr<CTaskDialog> MakeTaskDialog(CommandId id, const TaskContext& context, ApplyEditFn apply,
                                            QWidget* parent);
// The edits of model/task_edits.h.
std::unique_ptr<CTaskDialog> MakeEditDialog(CommandId id, const TaskContext& context, ApplyEditFn apply,
                                            QWidget* parent);
// The block commands' dialogs (app/block_commands.cpp).
std::unique_ptr<CTaskDialog> MakeBlockDialog(CommandId id, const TaskContext& context, ApplyEditFn apply,
                                             QWidget* parent);

// The undo step of a command: its label without the "&" and the "...".
QString StepName(CommandId id);
// The notes of an edit, for the status bar.
std::string JoinNotes(const EditResult& result);

}  // namespace tolvex
