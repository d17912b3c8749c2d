// Step 1: structure version, manufacturer, product code, serial number and date of manufacture
// (bytes 8-19), how the report writes the product code and serial number, and "&Load ..." of a
// whole block from a report file.
#pragma once

#include <functional>

#include <QString>

#include "wizard/edid_wizard_page.h"

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tolvex {

class CS1Prod : public CEdidWizardPage {
  Q_OBJECT

 public:
  // Asks the user for a report file to load; an empty path means the user cancelled.
  using FileChooser = std::function<QString(QWidget* parent)>;

  CS1Prod(WizardState& sheet, EdidBlock& block, EdidCodeView& codeWindow, QWidget* parent = nullptr);

  // Replaces the open-file dialog of "&Load ..." (tests answer it without a dialog).
  void SetFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

 protected:
  void OnActivate(bool firstTime) override;
  bool ReadFields() override;

 private:
  void BuildForm();
  void Fill();

  void OnVersionClicked(int choice);
  void OnManufacturerEdited();
  void OnProductCodeEdited();
  void OnProductModeClicked(int mode);
  void StoreProductCode();
  void OnSerialEdited();
  void OnSerialModeClicked(int mode);
  void OnUnusedClicked();
  void StoreSerial();
  void OnWeekEdited();
  void OnYearEdited();
  void OnLoadClicked();

  void EnableSerialControls();
  bool SerialIsAscii() const;
  int SerialRadix() const;
  int ProductRadix() const { return productMode_ == 1 ? 10 : 16; }

  QButtonGroup* versionGroup_;
  QLineEdit* manufacturerEdit_;
  QLineEdit* productEdit_;
  QButtonGroup* productModeGroup_;
  QCheckBox* byteSwapCheck_;
  QLineEdit* serialEdit_;
  QButtonGroup* serialModeGroup_;
  QCheckBox* unusedCheck_;
  QLineEdit* weekEdit_;
  QLineEdit* yearEdit_;
  QPushButton* loadButton_;

  // The report settings as the page last read them: bit 0 decimal, bit 7 byte-swapped; the
  // serial mode in the low bits, bit 7 unused.
  uint8_t productCodeFormat_ = 0;
  uint8_t serialFormat_ = 0;
  int productMode_ = 0;
  int serialMode_ = 0;
  // The texts as of the last accepted change: a refused entry goes back to them.
  bool ReadWeekField();

  QString previousManufacturerText_;
  QString previousProductText_;
  QString previousSerialText_;
  FileChooser chooseFile_;
};

}  // namespace tolvex
