// Step 3: DPMS states, display type and default features (byte 24) and the chromaticity
// coordinates (bytes 25-34).
#pragma once

#include <array>

#include "wizard/edid_wizard_page.h"

class QButtonGroup;
class QCheckBox;
class QLineEdit;

namespace tolvex {

class CS3Feat : public CEdidWizardPage {
  Q_OBJECT

 public:
  CS3Feat(WizardState& sheet, EdidBlock& block, EdidCodeView& codeWindow, QWidget* parent = nullptr);

 protected:
  void OnActivate(bool firstTime) override;
  bool ReadFields() override;

 private:
  void BuildForm();
  void Fill();
  void OnFeatureClicked();
  void OnCoordinateEdited();
  bool HasDefaultFeatures() const;

  QCheckBox* standbyCheck_;
  QCheckBox* suspendCheck_;
  QCheckBox* activeOffCheck_;
  QButtonGroup* displayTypeGroup_;
  QCheckBox* colorSpaceCheck_;
  QCheckBox* preferredTimingCheck_;
  QCheckBox* gtfCheck_;
  // Red x, red y, green x, green y, blue x, blue y, white x, white y.
  std::array<QLineEdit*, 8> coordinateEdits_{};
};

}  // namespace tolvex
