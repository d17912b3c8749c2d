// The standard timing identifiers descriptor (tag 0xFA): up to six standard timings in slots 8-13,
// listed in slot order and edited one at a time with Add, Replace and Remove.
#pragma once

#include <QWidget>

#include <cstdint>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tolvex {

class EdidCodeView;
class EdidBlock;

class CStdTimingIdDlg : public QWidget {
  Q_OBJECT

 public:
  CStdTimingIdDlg(EdidBlock& block, EdidCodeView& codeWindow, int blockIndex, QWidget* parent = nullptr);

  uint8_t StructureVersion() const { return structureVersion_; }
  // Lists the used slots 8-13 of the current descriptor (up to the first unused one), naming aspect
  // code 0 as structure version `version` reads it.
  void Fill(uint8_t version);
  // Stores the list into slots 8-13, the rest marked unused.
  void Write();
  bool ValidateFields();

 private:
  static constexpr int kMaxEntries = 6;
  static constexpr int kFirstSlot = 8;

  void BuildForm();
  void PushToForm();
  void ApplyVersionAspect();
  void OnFieldEdited();
  void OnSelectionChanged();
  void OnAdd();
  void OnReplace();
  void OnRemove();
  void StoreEntry(int position);
  bool FieldsInRange() const;
  QString FormatLine(int pixels, int refresh, int aspect) const;
  int SelectedEntry() const;
  void HighlightSlot(int position, bool refresh);

  uint8_t structureVersion_ = 0;
  QComboBox* aspectBox_ = nullptr;
  QListWidget* list_ = nullptr;
  int pixels_ = 0;
  int refresh_ = 0;
  int aspect_ = 0;
  EdidBlock& block_;
  EdidCodeView& codeWindow_;
  int offset_;

  QLineEdit* pixelsEdit_ = nullptr;
  QLineEdit* refreshEdit_ = nullptr;
  QPushButton* removeButton_ = nullptr;
  QPushButton* addButton_ = nullptr;
  QPushButton* replaceButton_ = nullptr;
};

}  // namespace tolvex
