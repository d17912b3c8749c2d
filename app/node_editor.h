// The editor below the Structure panel's tree: a form of the selected item's fields (a field
// chosen in the tree is edited within its item's form), built from the decoded fields
// themselves, so every item the decoder describes can be edited: a flag as a check box, a
// number as an entry checked by the forms' rules (its range from the field's bits), an
// enumerated field as a list of its names; a value worked out from others is shown only. Data
// blocks that fields alone cannot change (a list of VICs, audio descriptors, HDR luminance in
// cd/m², a detailed timing) get an editor of their own above the fields.
//
// Every change is one edit of the whole EDID through the frame; a number applies at each
// keystroke that leaves a valid value, and one entry's keystrokes are one undo step. A refused
// value is reported in the form and changes nothing.
#pragma once

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

#include "model/edid_edit.h"

class QFormLayout;
class QLabel;
class QLineEdit;
class QScrollArea;
class QVBoxLayout;

namespace tolvex {

class CStructurePane;
class DecodedTree;
class DataBlockEditor;

// Where the editor's changes go and where it reads the EDID: the main frame's ApplyEdit.
struct EdidEditTarget {
  std::function<EditResult(const QString& name, const std::function<EditResult(EdidData&)>& edit,
                           const QString& mergeKey)>
      apply;
  std::function<EdidData()> current;
};

class CNodeEditor : public QWidget {
  Q_OBJECT

 public:
  CNodeEditor(CStructurePane& pane, EdidEditTarget target, QWidget* parent = nullptr);

  // Runs `edit` as one step; a refusal is shown in the form. `source` is the widget the user
  // changed (its text is left as typed while the form follows the edit).
  EditResult Apply(const QString& name, const std::function<EditResult(EdidData&)>& edit,
                   QWidget* source = nullptr, const QString& mergeKey = {});
  EdidData CurrentEdid() const { return target_.current(); }
  // Shows a refusal or a bad entry in the form; an empty text clears it.
  void ShowMessage(const QString& text);

  // The widget of the field at `path` in the form shown, or null; the item the form edits (-1).
  QWidget* FieldWidget(const std::string& path) const;
  int ShownItem() const { return item_; }
  QLabel* Message() const { return message_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Row {
    int node;
    std::string path;
    QWidget* widget;  // QCheckBox, QLineEdit, QComboBox or a read-only QLabel
  };

  const Row* RowOf(const QWidget* widget) const;
  void Follow(bool sameShape);
  void ShowCurrent();
  void Build(int item);
  void AddFieldRow(int node);
  void Refresh();
  void OnNumberEdited(const Row& row, bool finished);
  void ApplyField(const Row& row, const QString& value, const QString& mergeKey);
  const DecodedTree& Tree() const;

  CStructurePane& pane_;
  EdidEditTarget target_;
  QScrollArea* scroll_;
  QWidget* form_ = nullptr;
  QVBoxLayout* formLayout_ = nullptr;
  QLabel* heading_ = nullptr;
  QFormLayout* fields_ = nullptr;
  QLabel* message_;
  DataBlockEditor* special_ = nullptr;
  std::vector<Row> rows_;
  int item_ = -1;
  std::string itemPath_;
  std::string chosenPath_;  // the field chosen in the tree
  bool stale_ = true;
  // The field being typed into while its own edit is shown everywhere.
  QWidget* editing_ = nullptr;
  // One entry in a number field: from the moment it gets the focus to the moment it loses it.
  int entry_ = 0;
  bool refocusing_ = false;
};

}  // namespace tolvex
