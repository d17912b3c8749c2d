// Steps 6 to 9: one 18-byte descriptor block each, edited as a detailed timing or a monitor
// descriptor.
#pragma once

#include <QWizardPage>

#include "wizard/wizard_state.h"

class QCheckBox;

namespace tolvex {

class CDescriptorDlg;
class CDetailTimingDlg;
class EdidCodeView;
class EdidBlock;

class CS6Dtim : public QWizardPage {
  Q_OBJECT

 public:
  // blockIndex 0-3: the descriptor at offset 54 + 18 * blockIndex.
  CS6Dtim(WizardState& sheet, EdidBlock& block, EdidCodeView& codeWindow, int blockIndex, const QString& title,
          QWidget* parent = nullptr);

  // The page refills from the block on its next activation.
  void Invalidate() {
    rememberedVersion_ = 0;
    refillPending_ = true;
  }

  // Makes the page's block the current descriptor, refills the editors when the structure version
  // changed or a refill was requested, shows the editor of the block's kind and selects the block
  // in the EDID code window. Runs whenever the page becomes the current one, forward or back.
  void Activate();

  void initializePage() override;
  // Leaving the page: the editors have written every valid change already, and their entry fields
  // (a white point or a timing still to be added) are no reason to stay. A field that shows an
  // entry the block refused is set back to the stored value, with a message, and the page stays
  // so that the user sees it.
  bool validatePage() override;

 private:
  void CreateEditors();
  void Refill(uint8_t version);
  void ShowChosenEditor(bool writeEvenIfShown);
  void OnMonitorDescriptorClicked();
  void OnWizardPageChanged();
  int Offset() const;

  WizardState& sheet_;
  EdidBlock& block_;
  EdidCodeView& codeWindow_;
  int blockIndex_;
  int monitorDescriptor_ = 0;
  uint8_t rememberedVersion_ = 0;
  // The structure version the block had when the sheet opened.
  uint8_t openedVersion_;
  // Set until the first refill and by Invalidate: a version of 0 alone cannot tell "never filled".
  bool refillPending_ = true;
  // initializePage has just activated the page; the page change that follows must not again.
  bool activatedByInitialize_ = false;
  bool followsWizard_ = false;

  QCheckBox* monitorDescriptorBox_ = nullptr;
  QWidget* editorPlace_ = nullptr;
  CDetailTimingDlg* detailTiming_ = nullptr;
  CDescriptorDlg* descriptor_ = nullptr;
};

}  // namespace tolvex
