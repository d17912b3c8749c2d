#include "wizard/s3_feat_page.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
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

constexpr double kMaxCoordinate = 0.999;

QCheckBox* MakeCheck(const char* label, const char* objectName, QWidget* parent) {
  auto* check = new QCheckBox(QString::fromLatin1(label), parent);
  check->setObjectName(QString::fromLatin1(objectName));
  return check;
}

}  // namespace

CS3Feat::CS3Feat(WizardState& sheet, EdidBlock& block, EdidCodeView& codeWindow, QWidget* parent)
    : CEdidWizardPage(sheet, block, codeWindow, QString::fromLatin1(wt::kStep3Title), parent) {
  BuildForm();
  for (QCheckBox* check : {standbyCheck_, suspendCheck_, activeOffCheck_, colorSpaceCheck_, preferredTimingCheck_, gtfCheck_}) {
    connect(check, &QCheckBox::clicked, this, &CS3Feat::OnFeatureClicked);
  }
  connect(displayTypeGroup_, &QButtonGroup::idClicked, this, &CS3Feat::OnFeatureClicked);
  for (QLineEdit* edit : coordinateEdits_) {
    connect(edit, &QLineEdit::textEdited, this, &CS3Feat::OnCoordinateEdited);
    HighlightOnFocus(edit, 25, 34);
  }
}

void CS3Feat::BuildForm() {
  auto* featureBox = new QGroupBox(QString::fromLatin1(wt::kFeatureGroup), this);
  auto* featureLayout = new QGridLayout(featureBox);
  standbyCheck_ = MakeCheck(wt::kStandby, "standbyCheck", featureBox);
  suspendCheck_ = MakeCheck(wt::kSuspend, "suspendCheck", featureBox);
  activeOffCheck_ = MakeCheck(wt::kActiveOff, "activeOffCheck", featureBox);
  featureLayout->addWidget(new QLabel(QString::fromLatin1(wt::kDpmsLabel), featureBox), 0, 0);
  featureLayout->addWidget(standbyCheck_, 0, 1);
  featureLayout->addWidget(suspendCheck_, 0, 2);
  featureLayout->addWidget(activeOffCheck_, 0, 3);

  featureLayout->addWidget(new QLabel(QString::fromLatin1(wt::kDisplayTypeLabel), featureBox), 1, 0, Qt::AlignTop);
  displayTypeGroup_ = new QButtonGroup(this);
  for (int code = 0; code < static_cast<int>(wt::kDisplayTypes.size()); ++code) {
    auto* radio = new QRadioButton(QString::fromLatin1(wt::kDisplayTypes[code]), featureBox);
    radio->setObjectName(QStringLiteral("displayType%1").arg(code));
    displayTypeGroup_->addButton(radio, code);
    featureLayout->addWidget(radio, 1 + code / 2, 1 + (code % 2) * 2, 1, 2);
  }
  displayTypeGroup_->button(1)->setChecked(true);

  featureLayout->addWidget(new QLabel(QString::fromLatin1(wt::kDefaultFeatureLabel), featureBox), 3, 0);
  colorSpaceCheck_ = MakeCheck(wt::kStandardColorSpace, "colorSpaceCheck", featureBox);
  preferredTimingCheck_ = MakeCheck(wt::kPreferredTiming, "preferredTimingCheck", featureBox);
  gtfCheck_ = MakeCheck(wt::kGtfSupported, "gtfCheck", featureBox);
  featureLayout->addWidget(colorSpaceCheck_, 3, 1);
  featureLayout->addWidget(preferredTimingCheck_, 3, 2);
  featureLayout->addWidget(gtfCheck_, 3, 3);

  auto* colorBox = new QGroupBox(QString::fromLatin1(wt::kChromaticityGroup), this);
  colorBox->setObjectName(QStringLiteral("chromaticityGroup"));
  auto* colorLayout = new QGridLayout(colorBox);
  // The labels' tabs are columns of the grid: the range lines up with the X letters.
  AddTabbedLabel(colorLayout, wt::kPhosphorLabel, 0, 0, 2);
  for (int i = 0; i < static_cast<int>(coordinateEdits_.size()); ++i) {
    QLineEdit* edit = MakeEdit(colorBox, "");
    edit->setObjectName(QStringLiteral("coordinate%1").arg(i));
    edit->setText(FormatDecimal(0));
    coordinateEdits_[i] = edit;
    // One colour per row: its name, X and the x field, then Y and the y field.
    const int row = 1 + i / 2;
    const int column = (i % 2) * 3;
    AddTabbedLabel(colorLayout, wt::kCoordinateLabels[i], row, column);
    colorLayout->addWidget(edit, row, column + 2);
  }

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(featureBox);
  layout->addWidget(colorBox);
  layout->addStretch();
}

bool CS3Feat::HasDefaultFeatures() const { return Version() == 0x12 || Version() == 0x13; }

void CS3Feat::OnActivate(bool /*firstTime*/) {
  if (TakeVersionChange()) Fill();
  Highlight(24, 34, false);
}

bool CS3Feat::ReadFields() {
  return std::all_of(coordinateEdits_.begin(), coordinateEdits_.end(),
                     [](QLineEdit* edit) { return ReadNumberField(edit, 0, kMaxCoordinate).has_value(); });
}

void CS3Feat::Fill() {
  standbyCheck_->setChecked(block_.GetStandby());
  suspendCheck_->setChecked(block_.GetSuspend());
  activeOffCheck_->setChecked(block_.GetActiveOff());
  displayTypeGroup_->button(static_cast<int>(block_.GetDisplayType()))->setChecked(true);
  colorSpaceCheck_->setChecked(block_.GetStandardColorSpace());
  preferredTimingCheck_->setChecked(block_.GetPreferredTiming());
  gtfCheck_->setChecked(block_.GetGtfSupported());
  const Chromaticity xy = block_.GetChromaticity();
  for (size_t i = 0; i < xy.size(); ++i) coordinateEdits_[i]->setText(FormatDecimal(xy[i]));

  // Versions 1.0 and 1.1 have neither feature bit.
  if (Version() == 0x10 || Version() == 0x11) {
    colorSpaceCheck_->setChecked(false);
    gtfCheck_->setChecked(false);
    block_.SetStandardColorSpace(false);
    block_.SetGtfSupported(false);
    Highlight(24, 24, true);
  }
  colorSpaceCheck_->setEnabled(HasDefaultFeatures());
  gtfCheck_->setEnabled(HasDefaultFeatures());
}

void CS3Feat::OnFeatureClicked() {
  ReadFields();
  block_.SetStandby(standbyCheck_->isChecked());
  block_.SetSuspend(suspendCheck_->isChecked());
  block_.SetActiveOff(activeOffCheck_->isChecked());
  block_.SetDisplayType(static_cast<unsigned>(std::max(displayTypeGroup_->checkedId(), 0)));
  block_.SetPreferredTiming(preferredTimingCheck_->isChecked());
  block_.SetStandardColorSpace(colorSpaceCheck_->isChecked());
  block_.SetGtfSupported(gtfCheck_->isChecked());
  Highlight(24, 24, true);
}

void CS3Feat::OnCoordinateEdited() {
  ReadFields();
  Chromaticity xy{};
  for (size_t i = 0; i < xy.size(); ++i) {
    const std::optional<double> value = ParseNumber(coordinateEdits_[i]->text());
    if (!value || *value < 0 || *value > kMaxCoordinate) return;
    xy[i] = static_cast<float>(*value);
  }
  block_.SetChromaticity(xy);
  Highlight(25, 34, true);
}

}  // namespace tolvex
