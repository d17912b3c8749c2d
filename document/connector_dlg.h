// The dialog of "Apply to Connector..." and "Install as Firmware...": the connector, for Apply
// whether this EDID goes there or the override is reset, and, before anything runs, what will be
// written where and the command line that will run as root.
#pragma once

#include <QDialog>
#include <QStringList>

#include <functional>

class QComboBox;
class QLabel;
class QRadioButton;

namespace tolvex {

enum class ConnectorAction { kApply, kReset, kInstallFirmware };

class CConnectorDlg : public QDialog {
  Q_OBJECT

 public:
  struct Choice {
    int connector = 0;  // index into the labels
    ConnectorAction action = ConnectorAction::kApply;
  };
  // The preview's text for a choice, shown again whenever the choice changes.
  using Preview = std::function<QString(const Choice&)>;

  // `firmware`: Install as Firmware (no apply/reset choice); `current` is chosen first.
  CConnectorDlg(bool firmware, const QStringList& connectors, int current, Preview preview, QWidget* parent);

  Choice Chosen() const;

  // The controls, for tests.
  QComboBox* ConnectorBox() const { return connectorBox_; }
  QRadioButton* ApplyButton() const { return applyButton_; }  // nullptr for firmware
  QRadioButton* ResetButton() const { return resetButton_; }  // nullptr for firmware
  QLabel* PreviewLabel() const { return preview_; }

 private:
  void ShowPreview();

  bool firmware_;
  Preview describe_;
  QComboBox* connectorBox_ = nullptr;
  QRadioButton* applyButton_ = nullptr;
  QRadioButton* resetButton_ = nullptr;
  QLabel* preview_ = nullptr;
};

}  // namespace tolvex
