// Step 2: video input definition (byte 20), maximum image size (bytes 21-22) and gamma (byte 23).
#pragma once

#include <array>

#include "wizard/edid_wizard_page.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;

namespace tolvex {

class CS2Disp : public CEdidWizardPage {
  Q_OBJECT

 public:
  CS2Disp(WizardState& sheet, EdidBlock& block, EdidCodeView& codeWindow, QWidget* parent = nullptr);

 protected:
  void OnActivate(bool firstTime) override;
  bool ReadFields() override;

 private:
  void BuildForm();
  void Fill();
  void OnDigitalClicked();
  void OnDfpClicked();
  void OnAnalogClicked();
  void OnWidthEdited();
  void OnHeightEdited();
  void OnGammaEdited();
  // The DFP choice shows only for a digital input under version 1.3; the analog group works only
  // for an analog input, and its serration choice only with composite sync or sync on green.
  void UpdateControls();

  QCheckBox* digitalCheck_;
  QCheckBox* dfpCheck_;
  QWidget* analogBox_;
  QButtonGroup* levelGroup_;
  QCheckBox* blankToBlackCheck_;
  QCheckBox* separateSyncCheck_;
  QCheckBox* compositeSyncCheck_;
  QCheckBox* syncOnGreenCheck_;
  QCheckBox* serrationCheck_;
  QLineEdit* widthEdit_;
  QLineEdit* heightEdit_;
  QLineEdit* gammaEdit_;
};

}  // namespace tolvex
