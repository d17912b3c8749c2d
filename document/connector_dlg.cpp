#include "document/connector_dlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "document/connector_dlg_texts.h"

namespace tolvex {

namespace {

QString Text(const char* text) { return QString::fromLatin1(text); }

}  // namespace

CConnectorDlg::CConnectorDlg(bool firmware, const QStringList& connectors, int current, Preview preview,
                             QWidget* parent)
    : QDialog(parent), firmware_(firmware), describe_(std::move(preview)) {
  setWindowTitle(Text(firmware ? texts::kFirmwareCaption : texts::kApplyCaption));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  connectorBox_ = new QComboBox;
  connectorBox_->addItems(connectors);
  connectorBox_->setCurrentIndex(current);
  form->addRow(Text(texts::kConnectorLabel), connectorBox_);
  layout->addLayout(form);
  connect(connectorBox_, &QComboBox::currentIndexChanged, this, &CConnectorDlg::ShowPreview);
  if (!firmware) {
    applyButton_ = new QRadioButton(Text(texts::kApplyThisEdid));
    resetButton_ = new QRadioButton(Text(texts::kResetToMonitor));
    applyButton_->setChecked(true);
    layout->addWidget(applyButton_);
    layout->addWidget(resetButton_);
    connect(applyButton_, &QRadioButton::toggled, this, &CConnectorDlg::ShowPreview);
  }
  layout->addWidget(new QLabel(Text(texts::kWhatHappens)));
  preview_ = new QLabel;
  preview_->setObjectName(QStringLiteral("preview"));
  preview_->setTextFormat(Qt::PlainText);
  preview_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  preview_->setFrameShape(QFrame::StyledPanel);
  preview_->setMargin(6);
  layout->addWidget(preview_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  ShowPreview();
}

CConnectorDlg::Choice CConnectorDlg::Chosen() const {
  Choice choice;
  choice.connector = connectorBox_->currentIndex();
  choice.action = firmware_                  ? ConnectorAction::kInstallFirmware
                  : resetButton_->isChecked() ? ConnectorAction::kReset
                                              : ConnectorAction::kApply;
  return choice;
}

void CConnectorDlg::ShowPreview() { preview_->setText(describe_(Chosen())); }

}  // namespace tolvex
