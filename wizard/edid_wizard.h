// The nine-step EDID wizard, run by File New over the frame's EDID block. Every page writes its
// changes into the block at once; the caller keeps a copy of the bytes for Cancel.
#pragma once

#include <array>
#include <functional>

#include <QWizard>

#include "wizard/wizard_state.h"

namespace tolvex {

class EdidCodeView;
class EdidBlock;
class CS1Prod;
class CS2Disp;
class CS3Feat;
class CS4Etim;
class CS5Stim;
class CS6Dtim;

class CEdidWizard : public QWizard, public WizardState {
  Q_OBJECT

 public:
  // `frame` is the main window: the sheet is modal over it, 5 px right of and 72 px below its
  // top-left corner. exec() gives QDialog::Accepted for Finish.
  CEdidWizard(EdidBlock& block, EdidCodeView& codeWindow, QWidget* frame);

  uint8_t StructureVersion() const override { return structureVersion_; }
  void SetStructureVersion(uint8_t version) override { structureVersion_ = version; }
  // Pages 2-9 refill from the block on their next activation.
  void InvalidatePages();

  CS1Prod* ProductPage() const { return s1Prod_; }

  // Asked when Finish is pressed and the last page has passed its checks; false keeps the wizard
  // open.
  void SetFinishCheck(std::function<bool()> check) { finishCheck_ = std::move(check); }

  void done(int result) override;

 private:
  void OnPageChanged(int id);
  // QWizard's own Back skips the page's checks; the page must pass them before it is left.
  void OnBack();

  uint8_t structureVersion_ = 0;
  std::function<bool()> finishCheck_;
  CS1Prod* s1Prod_;
  CS2Disp* s2Disp_;
  CS3Feat* s3Feat_;
  CS4Etim* s4Etim_;
  CS5Stim* s5Stim_;
  std::array<CS6Dtim*, 4> descriptorPages_{};
};

}  // namespace tolvex
