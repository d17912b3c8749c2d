#include "wizard/detail_timing_dlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "document/edid_code_view.h"
#include "document/form_validation.h"
#include "model/edid_block.h"
#include "wizard/descriptor_texts.h"
#include "wizard/focus_watch.h"
#include "wizard/wizard_fields.h"

namespace tolvex {

namespace {

struct GroupBytes {
  int first;
  int last;
};
// Descriptor bytes of each group, in Group order.
constexpr std::array<GroupBytes, 7> kGroupBytes = {{{0, 1}, {2, 4}, {5, 7}, {8, 11}, {12, 14}, {15, 16}, {17, 17}}};

struct FieldRule {
  long max;  // every field starts at 0
  int group;
  const char* objectName;
};
// In Field order; the pixel clock's bound is the decimal 655.35, checked apart.
constexpr std::array<FieldRule, 13> kFieldRules = {{
    {0, 0, "pixelClock"},
    {4095, 1, "hActive"},
    {4095, 1, "hBlanking"},
    {4095, 2, "vActive"},
    {4095, 2, "vBlanking"},
    {1023, 3, "hSyncOffset"},
    {1023, 3, "hSyncWidth"},
    {63, 3, "vSyncOffset"},
    {63, 3, "vSyncWidth"},
    {4095, 4, "hImageSize"},
    {4095, 4, "vImageSize"},
    {255, 5, "hBorder"},
    {255, 5, "vBorder"},
}};
constexpr double kMaxPixelClock = 655.35;

// The clock as the form shows it: up to six significant digits, shortest form (108, 25.18).
QString FormatPixelClock(float mhz) { return QString::number(static_cast<double>(mhz), 'g', 6); }

}  // namespace

CDetailTimingDlg::CDetailTimingDlg(EdidBlock& block, EdidCodeView& codeWindow, int blockIndex, QWidget* parent)
    : QWidget(parent),
      block_(block),
      codeWindow_(codeWindow),
      offset_(kFirstDescriptorOffset + kDescriptorSize * blockIndex) {
  setObjectName(QStringLiteral("detailTimingEditor"));
  BuildForm();
  PushToForm();
}

void CDetailTimingDlg::BuildForm() {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(BuildFieldColumn(), 3);
  layout->addWidget(BuildFlagColumn(), 2);
}

QWidget* CDetailTimingDlg::BuildFieldColumn() {
  auto* column = new QWidget(this);
  auto* grid = new QGridLayout(column);
  grid->setContentsMargins(0, 0, 0, 0);
  for (int f = 0; f < kFieldCount; ++f) {
    const auto field = static_cast<Field>(f);
    auto* name = new QLabel(QString::fromLatin1(texts::kTimingFields[f].name), column);
    auto* range = new QLabel(QString::fromLatin1(texts::kTimingFields[f].range), column);
    auto* edit = new QLineEdit(column);
    edit->setObjectName(QString::fromLatin1(kFieldRules[f].objectName));
    FitToCharacters(edit, 7);
    name->setBuddy(edit);
    grid->addWidget(name, f, 0);
    grid->addWidget(range, f, 1);
    grid->addWidget(edit, f, 2);
    edits_[f] = edit;
    connect(edit, &QLineEdit::textEdited, this, [this, field] { OnFieldEdited(field); });
    const auto group = static_cast<Group>(kFieldRules[f].group);
    FocusWatch::Install(edit, [this, group] { Highlight(group, false); });
  }
  // Names and range texts are two columns; a gap keeps the longest name off its range text.
  grid->setColumnMinimumWidth(0, QFontMetrics(font()).horizontalAdvance(QStringLiteral("H. SyncPWidth")) + 12);
  grid->setColumnStretch(3, 1);
  grid->setRowStretch(kFieldCount, 1);
  return column;
}

QWidget* CDetailTimingDlg::BuildFlagColumn() {
  auto* column = new QWidget(this);
  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);

  auto* scan = new QGroupBox(QString::fromLatin1(texts::kScanMode), column);
  auto* scanLayout = new QVBoxLayout(scan);
  interlacedBox_ = new QCheckBox(QString::fromLatin1(texts::kInterlaced), scan);
  interlacedBox_->setObjectName(QStringLiteral("interlaced"));
  scanLayout->addWidget(interlacedBox_);
  layout->addWidget(scan);
  connect(interlacedBox_, &QCheckBox::clicked, this, &CDetailTimingDlg::OnFlagsClicked);

  auto* stereo = new QGroupBox(QString::fromLatin1(texts::kStereoMode), column);
  auto* stereoLayout = new QVBoxLayout(stereo);
  stereoGroup_ = new QButtonGroup(this);
  for (int code = 0; code < static_cast<int>(texts::kStereoButtons.size()); ++code) {
    auto* button = new QRadioButton(QString::fromLatin1(texts::kStereoButtons[code]), stereo);
    button->setObjectName(QStringLiteral("stereo%1").arg(code));
    stereoGroup_->addButton(button, code);
    stereoLayout->addWidget(button);
    // Code 1 also means no stereo: only a block can select it, so its button stays out of sight.
    if (code == 1) {
      button->setEnabled(false);
      button->hide();
    }
  }
  layout->addWidget(stereo);
  connect(stereoGroup_, &QButtonGroup::idClicked, this, &CDetailTimingDlg::OnFlagsClicked);

  auto* sync = new QGroupBox(QString::fromLatin1(texts::kSyncSignal), column);
  auto* syncLayout = new QVBoxLayout(sync);
  syncGroup_ = new QButtonGroup(this);
  for (int type = 0; type < static_cast<int>(texts::kSyncTypes.size()); ++type) {
    auto* button = new QRadioButton(QString::fromLatin1(texts::kSyncTypes[type]), sync);
    button->setObjectName(QStringLiteral("syncType%1").arg(type));
    syncGroup_->addButton(button, type);
    syncLayout->addWidget(button);
  }
  firstFlagBox_ = new QCheckBox(sync);
  firstFlagBox_->setObjectName(QStringLiteral("firstSyncFlag"));
  secondFlagBox_ = new QCheckBox(sync);
  secondFlagBox_->setObjectName(QStringLiteral("secondSyncFlag"));
  syncLayout->addWidget(firstFlagBox_);
  syncLayout->addWidget(secondFlagBox_);
  layout->addWidget(sync);
  layout->addStretch(1);
  connect(syncGroup_, &QButtonGroup::idClicked, this, &CDetailTimingDlg::OnSyncTypeClicked);
  connect(firstFlagBox_, &QCheckBox::clicked, this, &CDetailTimingDlg::OnFlagsClicked);
  connect(secondFlagBox_, &QCheckBox::clicked, this, &CDetailTimingDlg::OnFlagsClicked);
  return column;
}

std::array<int, CDetailTimingDlg::kFieldCount> CDetailTimingDlg::StoredValues() const {
  std::array<int, kFieldCount> stored{};
  stored[kHActive] = static_cast<int>(block_.GetHActive());
  stored[kHBlanking] = static_cast<int>(block_.GetHBlanking());
  stored[kVActive] = static_cast<int>(block_.GetVActive());
  stored[kVBlanking] = static_cast<int>(block_.GetVBlanking());
  stored[kHSyncOffset] = static_cast<int>(block_.GetHSyncOffset());
  stored[kHSyncWidth] = static_cast<int>(block_.GetHSyncWidth());
  stored[kVSyncOffset] = static_cast<int>(block_.GetVSyncOffset());
  stored[kVSyncWidth] = static_cast<int>(block_.GetVSyncWidth());
  stored[kHImageSize] = static_cast<int>(block_.GetHImageSize());
  stored[kVImageSize] = static_cast<int>(block_.GetVImageSize());
  stored[kHBorder] = static_cast<int>(block_.GetHBorder());
  stored[kVBorder] = static_cast<int>(block_.GetVBorder());
  return stored;
}

void CDetailTimingDlg::FillFromBlock() {
  pixelClock_ = static_cast<float>(block_.GetPixelClock());
  values_ = StoredValues();
  interlaced_ = block_.GetInterlaced();
  stereoMode_ = static_cast<int>(block_.GetStereoMode());
  const unsigned sync = block_.GetSyncMode();
  syncType_ = static_cast<int>(sync >> 2);
  firstSyncFlag_ = static_cast<int>((sync >> 1) & 1);
  secondSyncFlag_ = static_cast<int>(sync & 1);
  PushToForm();
}

void CDetailTimingDlg::PushToForm() {
  edits_[kPixelClock]->setText(FormatPixelClock(pixelClock_));
  for (int f = kHActive; f < kFieldCount; ++f) edits_[f]->setText(QString::number(values_[f]));
  interlacedBox_->setChecked(interlaced_ != 0);
  stereoGroup_->button(stereoMode_)->setChecked(true);
  syncGroup_->button(syncType_)->setChecked(true);
  firstFlagBox_->setChecked(firstSyncFlag_ != 0);
  secondFlagBox_->setChecked(secondSyncFlag_ != 0);
  ApplySyncCaptions();
}

void CDetailTimingDlg::ApplySyncCaptions() {
  const texts::SyncFlagCaptions& captions = texts::kSyncFlagCaptions[static_cast<size_t>(syncType_)];
  firstFlagBox_->setText(QString::fromLatin1(captions.first));
  secondFlagBox_->setText(QString::fromLatin1(captions.second));
}

bool CDetailTimingDlg::ValidateFields() {
  const std::optional<double> clock = ReadNumberField(edits_[kPixelClock], 0, kMaxPixelClock);
  if (!clock) return false;
  std::array<int, kFieldCount> read{};
  for (int f = kHActive; f < kFieldCount; ++f) {
    const std::optional<long> value = ReadIntegerField(edits_[f], 0, kFieldRules[f].max);
    if (!value) return false;
    read[f] = static_cast<int>(*value);
  }
  pixelClock_ = static_cast<float>(*clock);
  values_ = read;
  interlaced_ = interlacedBox_->isChecked() ? 1 : 0;
  stereoMode_ = std::max(stereoGroup_->checkedId(), 0);
  syncType_ = std::max(syncGroup_->checkedId(), 0);
  firstSyncFlag_ = firstFlagBox_->isChecked() ? 1 : 0;
  secondSyncFlag_ = secondFlagBox_->isChecked() ? 1 : 0;
  return true;
}

QStringList CDetailTimingDlg::RestoreRefusedFields() {
  QStringList names;
  // The clock is stored in 10 kHz steps, so only a refused entry can disagree with the block; the
  // other fields are stored exactly.
  const std::optional<double> clock = ParseNumber(edits_[kPixelClock]->text());
  if (!clock || *clock < 0 || *clock > kMaxPixelClock) names << QString::fromLatin1(texts::kTimingFields[kPixelClock].name);
  const std::array<int, kFieldCount> stored = StoredValues();
  for (int f = kHActive; f < kFieldCount; ++f) {
    const std::optional<long> value = ParseInteger(edits_[f]->text());
    if (!value || *value != stored[f]) names << QString::fromLatin1(texts::kTimingFields[f].name);
  }
  if (!names.isEmpty()) FillFromBlock();
  return names;
}

void CDetailTimingDlg::OnFieldEdited(Field field) { WriteGroup(static_cast<Group>(kFieldRules[field].group)); }

void CDetailTimingDlg::OnFlagsClicked() { WriteGroup(kFlagsGroup); }

void CDetailTimingDlg::OnSyncTypeClicked() {
  syncType_ = std::max(syncGroup_->checkedId(), 0);
  ApplySyncCaptions();
  WriteGroup(kFlagsGroup);
}

void CDetailTimingDlg::WriteGroup(Group group) {
  if (!ValidateFields()) return;
  StoreGroup(group);
  Highlight(group, true);
}

void CDetailTimingDlg::WriteAll() {
  if (!ValidateFields()) return;
  for (int g = kClockGroup; g <= kFlagsGroup; ++g) {
    StoreGroup(static_cast<Group>(g));
    Highlight(static_cast<Group>(g), true);
  }
  codeWindow_.HighlightRange(offset_, offset_ + kDescriptorSize - 1, false);
}

void CDetailTimingDlg::StoreGroup(Group group) {
  switch (group) {
    case kClockGroup:
      block_.SetPixelClock(pixelClock_);
      break;
    case kHorizontalGroup:
      block_.SetHActive(static_cast<unsigned>(values_[kHActive]));
      block_.SetHBlanking(static_cast<unsigned>(values_[kHBlanking]));
      break;
    case kVerticalGroup:
      block_.SetVActive(static_cast<unsigned>(values_[kVActive]));
      block_.SetVBlanking(static_cast<unsigned>(values_[kVBlanking]));
      break;
    case kSyncGroup:
      block_.SetHSyncOffset(static_cast<unsigned>(values_[kHSyncOffset]));
      block_.SetHSyncWidth(static_cast<unsigned>(values_[kHSyncWidth]));
      block_.SetVSyncOffset(static_cast<unsigned>(values_[kVSyncOffset]));
      block_.SetVSyncWidth(static_cast<unsigned>(values_[kVSyncWidth]));
      break;
    case kImageGroup:
      block_.SetHImageSize(static_cast<unsigned>(values_[kHImageSize]));
      block_.SetVImageSize(static_cast<unsigned>(values_[kVImageSize]));
      break;
    case kBorderGroup:
      block_.SetHBorder(static_cast<uint8_t>(values_[kHBorder]));
      block_.SetVBorder(static_cast<uint8_t>(values_[kVBorder]));
      break;
    case kFlagsGroup:
      block_.SetInterlaced(interlaced_);
      block_.SetStereoMode(static_cast<unsigned>(stereoMode_));
      block_.SetSyncMode(static_cast<unsigned>(syncType_ << 2 | firstSyncFlag_ << 1 | secondSyncFlag_));
      break;
  }
}

void CDetailTimingDlg::Highlight(Group group, bool refresh) {
  codeWindow_.HighlightRange(offset_ + kGroupBytes[group].first, offset_ + kGroupBytes[group].last, refresh);
}

}  // namespace tolvex
