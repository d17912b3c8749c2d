// Steps 6 to 9: one 18-byte descriptor block each, edited as a detailed timing or a monitor
// descriptor.
#pragma once

#include <QWizardPage>

#include "wizard/wizard_state.h"

namespace tolvex {

class CEdidCodeDlg;
class EdidBlock;

class CS6Dtim : public QWizardPage {
  Q_OBJECT

 public:
  // blockIndex 0-3: the descriptor at offset 54 + 18 * blockIndex.
  CS6Dtim(WizardState& sheet, EdidBlock& block, CEdidCodeDlg& codeWindow, int blockIndex, const QString& title,
          QWidget* parent = nullptr);

  // The page refills from the block on its next activation.
  void Invalidate() { rememberedVersion_ = 0; }

 private:
  WizardState& sheet_;
  EdidBlock& block_;
  CEdidCodeDlg& codeWindow_;
  int blockIndex_;
  uint8_t rememberedVersion_ = 0;
};

}  // namespace tolvex
