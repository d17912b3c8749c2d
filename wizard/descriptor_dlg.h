// Edits one descriptor block as a monitor descriptor: a tag selector, a 13-character text field for
// the three text kinds, and the sub-editors of the range limits, colour point and standard timing
// identifier kinds, all in one place with the one for the selected kind visible.
#pragma once

#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>

#include <QStringList>

class QComboBox;
class QLabel;
class QLineEdit;

namespace tolvex {

class CColorPointDlg;
class EdidCodeView;
class CRangeLimitsDlg;
class CStdTimingIdDlg;
class EdidBlock;

class CDescriptorDlg : public QWidget {
  Q_OBJECT

 public:
  // `pageVersion` gives the owning page's last seen structure version.
  CDescriptorDlg(EdidBlock& block, EdidCodeView& codeWindow, int blockIndex, std::function<uint8_t()> pageVersion,
                 QWidget* parent = nullptr);

  // Shows the descriptor of the current block, whose tag is `tag`; writes nothing except the range
  // limits, which their sub-editor normalises on filling. A tag outside the selector leaves the
  // selector empty and keeps the descriptor's bytes until a kind is chosen.
  void FillForTag(uint8_t tag);
  // Shows the selected kind's editor and rewrites the whole block in that kind, as when the editor
  // becomes visible or the tag selector changes. With no kind selected, the descriptor of a kind the
  // editor does not know is put back as it was filled.
  void ShowSelectedKind();

  // The range limits' fields refilled from the block where an entry was refused; their names.
  QStringList RestoreRefusedFields();

  // The selected kind (index into the tag selector; -1 for none); tag = 255 - kind.
  int SelectedKind() const { return selectedKind_; }

 private:
  enum Kind { kSerialNumber, kDataString, kRangeLimits, kMonitorName, kColorPoint, kStdTimings, kKindCount };

  void BuildForm();
  void PushToForm();
  void ShowOnly(QWidget* editor);
  void OnTextEdited();
  void WriteText();
  bool IsTextKind() const;

  int selectedKind_ = 0;
  QString text_;
  EdidBlock& block_;
  EdidCodeView& codeWindow_;
  int offset_;
  std::function<uint8_t()> pageVersion_;
  CRangeLimitsDlg* rangeLimits_ = nullptr;
  CColorPointDlg* colorPoint_ = nullptr;
  CStdTimingIdDlg* stdTimings_ = nullptr;
  // The 18 bytes of the last filled descriptor whose kind the selector does not list.
  std::array<uint8_t, 18> unlistedBytes_{};

  QComboBox* tagSelector_ = nullptr;
  QLabel* textLabel_ = nullptr;
  QLineEdit* textField_ = nullptr;
};

}  // namespace tolvex
