// The colour point descriptor (tag 0xFB): up to two white points, listed in stored order and
// edited one at a time with Add, Replace and Remove.
#pragma once

#include <QWidget>

#include <array>
#include <cstdint>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace tolvex {

class EdidCodeView;
class EdidBlock;

class CColorPointDlg : public QWidget {
  Q_OBJECT

 public:
  CColorPointDlg(EdidBlock& block, EdidCodeView& codeWindow, int blockIndex, QWidget* parent = nullptr);

  // Lists the white points of the current descriptor and remembers their stored bytes.
  void Fill();
  // Stores the remembered white points (the list) into the current descriptor.
  void Write();
  bool ValidateFields();

 private:
  static constexpr int kMaxEntries = 2;
  using StoredEntry = std::array<uint8_t, 5>;  // index, low bits, x, y, gamma as stored

  void BuildForm();
  void PushToForm();
  void OnFieldEdited();
  void OnSelectionChanged();
  void OnAdd();
  void OnReplace();
  void OnRemove();
  void TakeLine(int position);
  void InsertEntry(int position);
  QString FormatLine(int index, double x, double y, double gamma) const;
  int SelectedEntry() const;

  QListWidget* list_ = nullptr;
  int index_ = 0;
  double x_ = 0;
  double y_ = 0;
  double gamma_ = 1.0;
  EdidBlock& block_;
  EdidCodeView& codeWindow_;
  int offset_;
  std::array<StoredEntry, kMaxEntries> remembered_{};

  QLineEdit* indexEdit_ = nullptr;
  QLineEdit* xEdit_ = nullptr;
  QLineEdit* yEdit_ = nullptr;
  QLineEdit* gammaEdit_ = nullptr;
  QPushButton* removeButton_ = nullptr;
  QPushButton* addButton_ = nullptr;
  QPushButton* replaceButton_ = nullptr;
};

}  // namespace tolvex
