#include "wizard/s2_disp_page.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "document/form_validation.h"
#include "model/edid_block.h"
#include "wizard/wizard_fields.h"
#include "wizard/wizard_texts.h"

namespace tolvex {

namespace {

namespace wt = wizard_text;

constexpr long kMaxImageSize = 255;
constexpr double kMinGamma = 1.0;
constexpr double kMaxGamma = 3.55;
constexpr uint8_t kVersion13 = 0x13;

QCheckBox* MakeCheck(const char* label, const char* objectName, QWidget* parent) {
  auto* check = new QCheckBox(QString::fromLatin1(label), parent);
  check->setObjectName(QString::fromLatin1(objectName));
  return check;
}

std::optional<double> GammaIn(const QString& text) {
  const std::optional<double> gamma = ParseNumber(text);
  if (!gamma || *gamma < kMinGamma || *gamma > kMaxGamma) return std::nullopt;
  return gamma;
}

std::optional<long> SizeIn(const QString& text) {
  const std::optional<long> size = ParseInteger(text);
  if (!size || *size < 0 || *size > kMaxImageSize) return std::nullopt;
  return size;
}

}  // namespace

CS2Disp::CS2Disp(WizardState& sheet, EdidBlock& block, EdidCodeView& codeWindow, QWidget* parent)
    : CEdidWizardPage(sheet, block, codeWindow, QString::fromLatin1(wt::kStep2Title), parent) {
  BuildForm();
  connect(digitalCheck_, &QCheckBox::clicked, this, &CS2Disp::OnDigitalClicked);
  connect(dfpCheck_, &QCheckBox::clicked, this, &CS2Disp::OnDfpClicked);
  connect(levelGroup_, &QButtonGroup::idClicked, this, &CS2Disp::OnAnalogClicked);
  for (QCheckBox* check : {blankToBlackCheck_, separateSyncCheck_, compositeSyncCheck_, syncOnGreenCheck_, serrationCheck_}) {
    connect(check, &QCheckBox::clicked, this, &CS2Disp::OnAnalogClicked);
  }
  connect(widthEdit_, &QLineEdit::textEdited, this, &CS2Disp::OnWidthEdited);
  connect(heightEdit_, &QLineEdit::textEdited, this, &CS2Disp::OnHeightEdited);
  connect(gammaEdit_, &QLineEdit::textEdited, this, &CS2Disp::OnGammaEdited);
  HighlightOnFocus(widthEdit_, 21, 21);
  HighlightOnFocus(heightEdit_, 22, 22);
  HighlightOnFocus(gammaEdit_, 23, 23);
  OnLeave(gammaEdit_, [this] { ReadFields(); });
}

void CS2Disp::BuildForm() {
  auto* inputBox = new QGroupBox(QString::fromLatin1(wt::kVideoInputGroup), this);
  auto* inputLayout = new QVBoxLayout(inputBox);
  digitalCheck_ = MakeCheck(wt::kDigitalInput, "digitalCheck", inputBox);
  dfpCheck_ = MakeCheck(wt::kDfpCompatible, "dfpCheck", inputBox);
  dfpCheck_->setVisible(false);
  auto* digitalRow = new QHBoxLayout;
  digitalRow->addWidget(digitalCheck_);
  digitalRow->addWidget(dfpCheck_);
  digitalRow->addStretch();
  inputLayout->addLayout(digitalRow);

  auto* analogBox = new QGroupBox(QString::fromLatin1(wt::kAnalogGroup), inputBox);
  analogBox->setObjectName(QStringLiteral("analogGroup"));
  analogBox_ = analogBox;
  auto* analogLayout = new QGridLayout(analogBox);
  levelGroup_ = new QButtonGroup(this);
  analogLayout->addWidget(new QLabel(QString::fromLatin1(wt::kSignalLevelLabel), analogBox), 0, 0, Qt::AlignTop);
  auto* levels = new QVBoxLayout;
  for (int code = 0; code < static_cast<int>(wt::kSignalLevels.size()); ++code) {
    auto* radio = new QRadioButton(QString::fromLatin1(wt::kSignalLevels[code]), analogBox);
    radio->setObjectName(QStringLiteral("signalLevel%1").arg(code));
    levelGroup_->addButton(radio, code);
    levels->addWidget(radio);
  }
  levelGroup_->button(0)->setChecked(true);
  analogLayout->addLayout(levels, 0, 1);
  analogLayout->addWidget(new QLabel(QString::fromLatin1(wt::kSetupLabel), analogBox), 1, 0);
  blankToBlackCheck_ = MakeCheck(wt::kBlankToBlack, "blankToBlackCheck", analogBox);
  analogLayout->addWidget(blankToBlackCheck_, 1, 1);
  analogLayout->addWidget(new QLabel(QString::fromLatin1(wt::kSyncLabel), analogBox), 2, 0, Qt::AlignTop);
  separateSyncCheck_ = MakeCheck(wt::kSeparateSync, "separateSyncCheck", analogBox);
  compositeSyncCheck_ = MakeCheck(wt::kCompositeSync, "compositeSyncCheck", analogBox);
  syncOnGreenCheck_ = MakeCheck(wt::kSyncOnGreen, "syncOnGreenCheck", analogBox);
  serrationCheck_ = MakeCheck(wt::kSerration, "serrationCheck", analogBox);
  auto* syncs = new QVBoxLayout;
  for (QCheckBox* check : {separateSyncCheck_, compositeSyncCheck_, syncOnGreenCheck_, serrationCheck_}) {
    syncs->addWidget(check);
  }
  analogLayout->addLayout(syncs, 2, 1);
  analogLayout->setColumnStretch(1, 1);
  inputLayout->addWidget(analogBox);

  auto* sizeBox = new QGroupBox(QString::fromLatin1(wt::kSizeGroup), this);
  auto* sizeLayout = new QFormLayout(sizeBox);
  widthEdit_ = MakeEdit(sizeBox, "widthEdit", true);
  heightEdit_ = MakeEdit(sizeBox, "heightEdit", true);
  gammaEdit_ = MakeEdit(sizeBox, "gammaEdit");
  FitToCharacters(widthEdit_, 4);
  FitToCharacters(heightEdit_, 4);
  FitToCharacters(gammaEdit_, 6);
  widthEdit_->setText(QStringLiteral("0"));
  heightEdit_->setText(QStringLiteral("0"));
  gammaEdit_->setText(FormatDecimal(1.0));
  auto* sizeRow = new QHBoxLayout;
  sizeRow->addWidget(widthEdit_);
  sizeRow->addWidget(new QLabel(QStringLiteral("x"), sizeBox));
  sizeRow->addWidget(heightEdit_);
  sizeRow->addStretch();
  sizeLayout->addRow(QString::fromLatin1(wt::kImageSizeLabel), sizeRow);
  sizeLayout->addRow(QString::fromLatin1(wt::kGammaLabel), gammaEdit_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(inputBox);
  layout->addWidget(sizeBox);
  layout->addStretch();
  UpdateControls();
}

void CS2Disp::OnActivate(bool /*firstTime*/) {
  if (TakeVersionChange()) Fill();
  Highlight(20, 23, false);
}

bool CS2Disp::ReadFields() {
  return ReadIntegerField(widthEdit_, 0, kMaxImageSize) && ReadIntegerField(heightEdit_, 0, kMaxImageSize) &&
         ReadNumberField(gammaEdit_, kMinGamma, kMaxGamma);
}

void CS2Disp::UpdateControls() {
  const bool digital = digitalCheck_->isChecked();
  dfpCheck_->setVisible(digital && Version() == kVersion13);
  analogBox_->setEnabled(!digital);
  serrationCheck_->setEnabled(compositeSyncCheck_->isChecked() || syncOnGreenCheck_->isChecked());
}

void CS2Disp::Fill() {
  const bool digital = block_.IsDigitalInput();
  digitalCheck_->setChecked(digital);
  if (digital) {
    dfpCheck_->setChecked(Version() == kVersion13 && block_.GetSerration());
    if (Version() != kVersion13) {
      block_.SetSerration(false);
      Highlight(20, 20, true);
    }
  } else {
    levelGroup_->button(static_cast<int>(block_.GetSignalLevel()))->setChecked(true);
    blankToBlackCheck_->setChecked(block_.GetBlankToBlackSetup());
    separateSyncCheck_->setChecked(block_.GetSeparateSync());
    compositeSyncCheck_->setChecked(block_.GetCompositeSync());
    syncOnGreenCheck_->setChecked(block_.GetSyncOnGreen());
    serrationCheck_->setChecked(block_.GetSerration());
  }
  UpdateControls();
  widthEdit_->setText(QString::number(block_.GetMaxImageWidth()));
  heightEdit_->setText(QString::number(block_.GetMaxImageHeight()));
  gammaEdit_->setText(FormatDecimal(block_.GetGamma()));
}

void CS2Disp::OnDigitalClicked() {
  ReadFields();
  UpdateControls();
  const bool digital = digitalCheck_->isChecked();
  block_.SetDigitalInput(digital);
  if (Version() == kVersion13) {
    ReadFields();
    block_.SetSerration(dfpCheck_->isChecked());
    Highlight(20, 20, true);
  }
  Highlight(20, 20, true);
  if (!digital) OnAnalogClicked();
}

void CS2Disp::OnDfpClicked() {
  ReadFields();
  block_.SetSerration(dfpCheck_->isChecked());
  Highlight(20, 20, true);
}

void CS2Disp::OnAnalogClicked() {
  ReadFields();
  if (!compositeSyncCheck_->isChecked() && !syncOnGreenCheck_->isChecked()) serrationCheck_->setChecked(false);
  UpdateControls();
  block_.SetSignalLevel(static_cast<unsigned>(std::max(levelGroup_->checkedId(), 0)));
  block_.SetBlankToBlackSetup(blankToBlackCheck_->isChecked());
  block_.SetSeparateSync(separateSyncCheck_->isChecked());
  block_.SetCompositeSync(compositeSyncCheck_->isChecked());
  block_.SetSyncOnGreen(syncOnGreenCheck_->isChecked());
  block_.SetSerration(serrationCheck_->isChecked());
  Highlight(20, 20, true);
}

void CS2Disp::OnWidthEdited() {
  ReadFields();
  if (const std::optional<long> width = SizeIn(widthEdit_->text())) {
    block_.SetMaxImageWidth(static_cast<uint8_t>(*width));
    Highlight(21, 21, true);
  }
}

void CS2Disp::OnHeightEdited() {
  ReadFields();
  if (const std::optional<long> height = SizeIn(heightEdit_->text())) {
    block_.SetMaxImageHeight(static_cast<uint8_t>(*height));
    Highlight(22, 22, true);
  }
}

void CS2Disp::OnGammaEdited() {
  ReadFields();
  if (const std::optional<double> gamma = GammaIn(gammaEdit_->text())) {
    block_.SetGamma(static_cast<float>(*gamma));
    Highlight(23, 23, true);
  }
}

}  // namespace tolvex
