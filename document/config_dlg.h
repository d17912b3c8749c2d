// "Configuration Setup": the DDC protocol, the factory memory write with its mapped EDID page, and
// Software DDC only. The document fills the fields before each run and takes them after OK.
#pragma once

#include <QDialog>
#include <QString>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tolvex {

class CConfigDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CConfigDlg(QWidget* parent = nullptr);

  // The fields, copied to and from the controls around a run.
  int protocol = 0;
  bool factoryEnable = false;
  QString pageText = QStringLiteral("F8");
  bool softwareDdcOnly = false;
  // The channels found, each with why it cannot be chosen (empty when it can), and the one chosen.
  QStringList channelLabels;
  QStringList channelRefusals;
  int channel = -1;

  // The controls, for the frame's layout and for tests.
  QButtonGroup* ProtocolButtons() const { return protocolButtons_; }
  QGroupBox* FactoryGroup() const { return factoryGroup_; }
  QCheckBox* FactoryEnableBox() const { return factoryEnableBox_; }
  QLabel* PageLabel() const { return pageLabel_; }
  QLineEdit* PageEdit() const { return pageEdit_; }
  QCheckBox* SoftwareDdcBox() const { return softwareDdcBox_; }
  QComboBox* ChannelBox() const { return channelBox_; }

 public slots:
  void accept() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // Copies the controls into the fields, and back. Reading refuses a page text over 4 characters.
  bool ReadForm();
  void FillForm();
  void FillChannelChoices();
  void EnableFactoryGroup(bool enable);
  void EnablePage(bool enable);

  void OnProtocolClicked();
  void OnFactoryEnableClicked();
  void OnSoftwareDdcClicked();
  void OnPageTextChanged();

  QButtonGroup* protocolButtons_;
  QGroupBox* factoryGroup_;
  QCheckBox* factoryEnableBox_;
  QLabel* pageLabel_;
  QLineEdit* pageEdit_;
  QCheckBox* softwareDdcBox_;
  QPushButton* okButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  QComboBox* channelBox_;
  bool filling_ = false;
};

}  // namespace tolvex
