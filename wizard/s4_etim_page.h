// Step 4: the 17 established-timing bits of bytes 35-37, one check box each.
#pragma once

#include <array>

#include "wizard/edid_wizard_page.h"

class QCheckBox;

namespace tolvex {

class CS4Etim : public CEdidWizardPage {
  Q_OBJECT

 public:
  CS4Etim(WizardState& sheet, EdidBlock& block, EdidCodeView& codeWindow, QWidget* parent = nullptr);

 protected:
  void OnActivate(bool firstTime) override;
  // The boxes cannot hold a wrong value.
  bool ReadFields() override { return true; }

 private:
  void OnBoxClicked();

  std::array<QCheckBox*, 17> boxes_{};
};

}  // namespace tolvex
