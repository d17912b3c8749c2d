// The nine-step EDID wizard, run by File New over the frame's EDID block. Every page writes its
// changes into the block at once; the caller keeps a copy of the bytes for Cancel.
#pragma once

#include <QWizard>

#include "wizard/wizard_state.h"

namespace tolvex {

class CEdidCodeDlg;
class EdidBlock;
class CS6Dtim;

class CEdidWizard : public QWizard, public WizardState {
  Q_OBJECT

 public:
  // `frame` is the main window: the sheet is modal over it, 5 px right of and 72 px below its
  // top-left corner. exec() gives QDialog::Accepted for Finish.
  CEdidWizard(EdidBlock& block, CEdidCodeDlg& codeWindow, QWidget* frame);

  uint8_t StructureVersion() const override { return structureVersion_; }
  void SetStructureVersion(uint8_t version) override { structureVersion_ = version; }
  // Pages 2-9 refill from the block on their next activation.
  void InvalidatePages();

 private:
  uint8_t structureVersion_ = 0;
};

}  // namespace tolvex
