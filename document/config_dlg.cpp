#include "document/config_dlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QVBoxLayout>

#include "ddc/config_texts.h"
#include "document/form_validation.h"

namespace tolvex {

namespace {

constexpr int kPageTextLimit = 4;

QString Text(const char* text) { return QString::fromLatin1(text); }

// The leading run of hexadecimal digits.
QString HexPrefix(const QString& text) {
  qsizetype n = 0;
  while (n < text.size() && QStringLiteral("0123456789abcdefABCDEF").contains(text[n])) ++n;
  return text.left(n);
}

}  // namespace

CConfigDlg::CConfigDlg(QWidget* parent)
    : QDialog(parent),
      protocolButtons_(new QButtonGroup(this)),
      factoryGroup_(new QGroupBox(Text(texts::kFactoryGroup))),
      factoryEnableBox_(new QCheckBox(Text(texts::kFactoryEnable))),
      pageLabel_(new QLabel(Text(texts::kMappedPageLabel))),
      pageEdit_(new QLineEdit),
      softwareDdcBox_(new QCheckBox(Text(texts::kSoftwareDdcOnly))),
      channelBox_(new QComboBox) {
  setWindowTitle(Text(texts::kConfigCaption));

  auto* choiceGroup = new QGroupBox(Text(texts::kChannelChoiceGroup));
  auto* choiceLayout = new QVBoxLayout(choiceGroup);
  channelBox_->setObjectName(QStringLiteral("channelChoice"));
  choiceLayout->addWidget(channelBox_);

  auto* channelGroup = new QGroupBox(Text(texts::kChannelGroup));
  auto* channelLayout = new QVBoxLayout(channelGroup);
  for (int i = 0; i < 3; ++i) {
    auto* radio = new QRadioButton(Text(texts::kProtocolNames[i]));
    radio->setObjectName(QStringLiteral("protocol%1").arg(i));
    protocolButtons_->addButton(radio, i);
    channelLayout->addWidget(radio);
  }

  factoryEnableBox_->setObjectName(QStringLiteral("factoryEnable"));
  pageEdit_->setObjectName(QStringLiteral("mappedPage"));
  pageEdit_->setMaxLength(kPageTextLimit);
  softwareDdcBox_->setObjectName(QStringLiteral("softwareDdcOnly"));
  // Letters show in upper case.
  connect(pageEdit_, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (text != text.toUpper()) {
      const int cursor = pageEdit_->cursorPosition();
      pageEdit_->setText(text.toUpper());
      pageEdit_->setCursorPosition(cursor);
    }
  });
  pageEdit_->setMaximumWidth(pageEdit_->fontMetrics().horizontalAdvance(QStringLiteral("WWWWWW")) + 12);
  pageLabel_->setBuddy(pageEdit_);

  auto* factoryLayout = new QGridLayout(factoryGroup_);
  factoryLayout->addWidget(factoryEnableBox_, 0, 0, 1, 2);
  factoryLayout->addWidget(pageLabel_, 1, 0);
  factoryLayout->addWidget(pageEdit_, 1, 1);

  auto* softwareGroup = new QGroupBox(Text(texts::kSoftwareDdcGroup));
  auto* softwareLayout = new QVBoxLayout(softwareGroup);
  softwareLayout->addWidget(softwareDdcBox_);

  auto* buttons = new QDialogButtonBox;
  okButton_ = buttons->addButton(Text(texts::kOk), QDialogButtonBox::AcceptRole);
  okButton_->setObjectName(QStringLiteral("okButton"));
  cancelButton_ = buttons->addButton(Text(texts::kCancel), QDialogButtonBox::RejectRole);
  cancelButton_->setObjectName(QStringLiteral("cancelButton"));
  connect(buttons, &QDialogButtonBox::accepted, this, &CConfigDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CConfigDlg::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(choiceGroup);
  layout->addWidget(channelGroup);
  layout->addWidget(factoryGroup_);
  layout->addWidget(softwareGroup);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  // Tab order as the form lists its controls: the channel, the protocols, the factory write, OK and
  // Cancel, and last Software DDC only, although it stands above the buttons. The button box passes
  // the focus on to its default button, so it goes before OK; after Software DDC only it would send
  // Tab back to OK instead of round to the channel.
  QWidget* const tabOrder[] = {channelBox_, protocolButtons_->button(0), protocolButtons_->button(1),
                               protocolButtons_->button(2), factoryEnableBox_, pageEdit_, buttons, okButton_,
                               cancelButton_, softwareDdcBox_};
  for (size_t i = 1; i < std::size(tabOrder); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);

  connect(protocolButtons_, &QButtonGroup::idClicked, this, &CConfigDlg::OnProtocolClicked);
  connect(factoryEnableBox_, &QCheckBox::clicked, this, &CConfigDlg::OnFactoryEnableClicked);
  connect(softwareDdcBox_, &QCheckBox::clicked, this, &CConfigDlg::OnSoftwareDdcClicked);
  connect(pageEdit_, &QLineEdit::textChanged, this, &CConfigDlg::OnPageTextChanged);
}

void CConfigDlg::accept() {
  if (ReadForm()) QDialog::accept();
}

void CConfigDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // The dialog object outlives each run: a Cancel pressed last time kept the focus, and with it the
  // default role, which would make Return cancel. Every opening starts on the first control with OK
  // as the default.
  okButton_->setDefault(true);
  FillForm();
  EnableFactoryGroup(protocol == 0 && !softwareDdcOnly);
  EnablePage(protocol == 0 && !softwareDdcOnly && factoryEnable);
  if (QAbstractButton* first = protocolButtons_->checkedButton()) first->setFocus(Qt::TabFocusReason);
}

bool CConfigDlg::ReadForm() {
  protocol = std::max(0, protocolButtons_->checkedId());
  factoryEnable = factoryEnableBox_->isChecked();
  const std::optional<QString> page = ReadTextField(pageEdit_, kPageTextLimit);
  if (!page) return false;
  pageText = *page;
  softwareDdcOnly = softwareDdcBox_->isChecked();
  channel = channelBox_->currentIndex();
  return true;
}

void CConfigDlg::FillForm() {
  filling_ = true;
  if (QAbstractButton* radio = protocolButtons_->button(protocol)) radio->setChecked(true);
  factoryEnableBox_->setChecked(factoryEnable);
  pageEdit_->setText(pageText);
  softwareDdcBox_->setChecked(softwareDdcOnly);
  FillChannelChoices();
  filling_ = false;
}

// A channel the rules refuse is listed greyed, its reason as the tip.
void CConfigDlg::FillChannelChoices() {
  channelBox_->clear();
  for (qsizetype i = 0; i < channelLabels.size(); ++i) {
    channelBox_->addItem(channelLabels[i]);
    const QString refusal = i < channelRefusals.size() ? channelRefusals[i] : QString();
    if (refusal.isEmpty()) continue;
    channelBox_->setItemData(static_cast<int>(i), refusal, Qt::ToolTipRole);
    if (auto* model = qobject_cast<QStandardItemModel*>(channelBox_->model())) model->item(static_cast<int>(i))->setEnabled(false);
  }
  channelBox_->setCurrentIndex(channel);
  channelBox_->setEnabled(channelLabels.size() > 1);
}

void CConfigDlg::EnableFactoryGroup(bool enable) {
  // The group's title and its check box follow the rule; the page field has its own, so the group
  // itself stays enabled (a disabled group would disable the field with it) and only looks greyed.
  factoryGroup_->setStyleSheet(enable ? QString() : QStringLiteral("QGroupBox { color: palette(mid); }"));
  factoryEnableBox_->setEnabled(enable);
}

void CConfigDlg::EnablePage(bool enable) {
  pageLabel_->setEnabled(enable);
  pageEdit_->setEnabled(enable);
}

void CConfigDlg::OnProtocolClicked() {
  if (!ReadForm()) return;
  EnableFactoryGroup(protocol == 0);
  EnablePage(protocol == 0 && factoryEnable);
}

void CConfigDlg::OnFactoryEnableClicked() {
  if (!ReadForm()) return;
  EnablePage(factoryEnable);
}

void CConfigDlg::OnSoftwareDdcClicked() {
  if (!ReadForm()) return;
  if (softwareDdcOnly) {
    EnableFactoryGroup(false);
    EnablePage(false);
    pageText = Text(texts::kSoftwareDdcPage);
    factoryEnable = true;
  } else {
    EnableFactoryGroup(protocol == 0);
    EnablePage(factoryEnable);
  }
  FillForm();
}

void CConfigDlg::OnPageTextChanged() {
  if (filling_) return;
  const QString kept = HexPrefix(pageEdit_->text());
  if (kept == pageEdit_->text()) return;
  const int cursor = std::min<int>(pageEdit_->cursorPosition(), static_cast<int>(kept.size()));
  pageEdit_->setText(kept);
  pageEdit_->setCursorPosition(cursor);
}

}  // namespace tolvex
