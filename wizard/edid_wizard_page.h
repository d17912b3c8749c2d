// What steps 1 to 5 share: the block, the code window and the sheet's structure version; the
// activation the sheet triggers each time a page becomes current; the code-window highlight
// when a field gets the focus; and the hook for a field that the user leaves.
#pragma once

#include <functional>
#include <map>

#include <QWizardPage>

#include "model/edid_block.h"
#include "wizard/wizard_state.h"

namespace tolvex {

class EdidCodeView;

// Showing a step fills its fields from the block, and some steps then write their fields back,
// which can change bytes the fields only show another way (text padding, bits that another
// revision reads otherwise). While the structure version is still the one the block came with,
// that rewrite is taken back: a step the user only looks at changes no byte. Give it the bytes
// from before the step was shown; `select` is the step's own range, selected again afterwards.
// The sheet's form of the block's version bytes (0x13 for 1.3).
uint8_t StructureVersionOf(const EdidBlock& block);
void KeepShownBytes(EdidBlock& block, EdidCodeView& codeWindow, const EdidBytes& shown, bool versionChosen,
                    int selectFirst, int selectLast);

class CEdidWizardPage : public QWizardPage {
  Q_OBJECT

 public:
  CEdidWizardPage(WizardState& sheet, EdidBlock& block, EdidCodeView& codeWindow, const QString& title,
                  QWidget* parent = nullptr);

  // The sheet calls this whenever the page becomes the current one.
  void Activate();
  // The page refills from the block on its next activation.
  void Invalidate() { rememberedVersion_ = 0; }

  // Back and Next: every field must pass its check before the page may be left.
  bool validatePage() override { return ReadFields(); }

 protected:
  // Fill when needed, then highlight the page's bytes; `firstTime` is true on the first call only.
  virtual void OnActivate(bool firstTime) = 0;
  // Checks every field in form order; the first failing one shows its message, takes the focus
  // and makes the result false.
  virtual bool ReadFields() = 0;

  // True when the sheet's structure version differs from the one the page last filled from; the
  // page then remembers the new one.
  bool TakeVersionChange();
  uint8_t Version() const { return sheet_.StructureVersion(); }

  void Highlight(int first, int last, bool refresh);
  // Selects bytes first..last in the code window whenever `field` gets the keyboard focus.
  void HighlightOnFocus(QWidget* field, int first, int last);
  // Runs `action` when the focus moves from `field` to another control of the page.
  void OnLeave(QWidget* field, std::function<void()> action);

  bool eventFilter(QObject* watched, QEvent* event) override;

  WizardState& sheet_;
  EdidBlock& block_;
  EdidCodeView& codeWindow_;

 private:
  struct ByteRange {
    int first;
    int last;
  };
  std::map<QObject*, ByteRange> focusRanges_;
  std::map<QObject*, std::function<void()>> leaveActions_;
  uint8_t rememberedVersion_ = 0;
  // The structure version the block had when the sheet opened.
  uint8_t openedVersion_ = 0;
  // The range the page selected last without rewriting it.
  ByteRange selected_{0, 0};
  bool activatedBefore_ = false;
  bool leaving_ = false;
};

}  // namespace tolvex
