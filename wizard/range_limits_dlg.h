// The monitor range limits descriptor (tag 0xFD): rates, the maximum pixel clock and, from EDID
// 1.3 on, the secondary GTF curve. Before 1.3 the check box marks the pixel clock "Not Specified".
#pragma once

#include <QWidget>

#include <array>
#include <cstdint>
#include <vector>

#include <QStringList>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace tolvex {

class EdidCodeView;
class EdidBlock;

class CRangeLimitsDlg : public QWidget {
  Q_OBJECT

 public:
  CRangeLimitsDlg(EdidBlock& block, EdidCodeView& codeWindow, int blockIndex, QWidget* parent = nullptr);

  // The structure version the editor was last filled for (0 before the first fill).
  uint8_t StructureVersion() const { return structureVersion_; }
  // Reads the descriptor for structure version `version` and writes it back in that version's form.
  void Fill(uint8_t version);
  // Writes the descriptor from the fields.
  void Write();
  bool ValidateFields();
  // Refills the form from the block when a shown field holds an entry its check refused (the
  // block kept its previous bytes); returns the names of those fields, empty when none. Shows no
  // message.
  QStringList RestoreRefusedFields();

 private:
  // The fields in the order a form transfer checks them.
  enum Field { kMaxHorizontal, kMinHorizontal, kMaxPixelClock, kMaxVertical, kMinVertical, kStart, kK, kC, kM, kJ, kFieldCount };

  void BuildForm();
  void PushToForm();
  void OnCheckBoxClicked();
  bool IsVersion13() const { return structureVersion_ == 0x13; }

  uint8_t structureVersion_ = 0;
  std::array<int, kFieldCount> values_{};
  int checked_ = 0;

  EdidBlock& block_;
  EdidCodeView& codeWindow_;
  int offset_;

  std::array<QLineEdit*, kFieldCount> edits_{};
  std::vector<QWidget*> gtfWidgets_;  // the labels and fields shown for the secondary GTF only
  QCheckBox* checkBox_ = nullptr;
};

}  // namespace tolvex
