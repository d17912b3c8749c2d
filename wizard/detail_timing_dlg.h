// Edits one descriptor block as an 18-byte detailed timing. Every change rewrites the bytes of the
// changed field's group at once and re-renders them in the EDID code window.
#pragma once

#include <QWidget>

#include <array>

#include <QStringList>

class QButtonGroup;
class QCheckBox;
class QLineEdit;

namespace tolvex {

class EdidCodeView;
class EdidBlock;

class CDetailTimingDlg : public QWidget {
  Q_OBJECT

 public:
  // blockIndex 0-3: the block at offset 54 + 18 * blockIndex, which must be the block's current
  // descriptor whenever the editor writes.
  CDetailTimingDlg(EdidBlock& block, EdidCodeView& codeWindow, int blockIndex, QWidget* parent = nullptr);

  // Reads every field from the current descriptor and shows it; writes nothing.
  void FillFromBlock();
  // Writes all 18 bytes from the fields, as when the editor becomes visible.
  void WriteAll();
  // Reads the form into the values; the first invalid field shows the framework message.
  bool ValidateFields();
  // Every field shows what the block holds again when one of them does not: an entry its check
  // refused, or a valid one that a refused entry kept from being written. Returns the names of
  // those fields, empty when all agree; shows no message.
  QStringList RestoreRefusedFields();

 private:
  // The byte groups that one change rewrites, in the order WriteAll writes them.
  enum Group { kClockGroup, kHorizontalGroup, kVerticalGroup, kSyncGroup, kImageGroup, kBorderGroup, kFlagsGroup };
  // The numeric fields in form order.
  enum Field {
    kPixelClock,
    kHActive,
    kHBlanking,
    kVActive,
    kVBlanking,
    kHSyncOffset,
    kHSyncWidth,
    kVSyncOffset,
    kVSyncWidth,
    kHImageSize,
    kVImageSize,
    kHBorder,
    kVBorder,
    kFieldCount
  };

  // The numeric fields as the block holds them (the pixel clock's slot unused).
  std::array<int, kFieldCount> StoredValues() const;
  void BuildForm();
  QWidget* BuildFieldColumn();
  QWidget* BuildFlagColumn();
  void PushToForm();
  void ApplySyncCaptions();
  void OnFieldEdited(Field field);
  void OnFlagsClicked();
  void OnSyncTypeClicked();
  void WriteGroup(Group group);
  void StoreGroup(Group group);
  void Highlight(Group group, bool refresh);

  EdidBlock& block_;
  EdidCodeView& codeWindow_;
  int offset_;

  float pixelClock_ = 0;
  std::array<int, kFieldCount> values_{};  // kPixelClock's slot unused: the clock is a float
  int interlaced_ = 0;
  int stereoMode_ = 0;
  int syncType_ = 0;
  int secondSyncFlag_ = 0;  // "On RGB" box, bit 0 of the sync code
  int firstSyncFlag_ = 0;   // "Serrate" box, bit 1 of the sync code

  std::array<QLineEdit*, kFieldCount> edits_{};
  QCheckBox* interlacedBox_ = nullptr;
  QButtonGroup* stereoGroup_ = nullptr;
  QButtonGroup* syncGroup_ = nullptr;
  QCheckBox* firstFlagBox_ = nullptr;
  QCheckBox* secondFlagBox_ = nullptr;
};

}  // namespace tolvex
