#include "wizard/range_limits_dlg.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "document/edid_code_view.h"
#include "document/form_validation.h"
#include "model/edid_block.h"
#include "wizard/descriptor_texts.h"
#include "wizard/focus_watch.h"
#include "wizard/wizard_fields.h"

namespace tolvex {

namespace {

constexpr std::array<long, 10> kMaxima = {255, 255, 2550, 255, 255, 511, 255, 127, 65535, 127};
constexpr std::array<const char*, 10> kObjectNames = {"maxHorizontal", "minHorizontal", "maxPixelClock",
                                                      "maxVertical",   "minVertical",   "gtfStart",
                                                      "gtfK",          "gtfC",          "gtfM",
                                                      "gtfJ"};
// The labels of the fields, in Field order.
constexpr std::array<const char*, 10> kFieldLabels = {
    texts::kMaxHorizontalRate, texts::kMinHorizontalRate, texts::kMaxPixelClock, texts::kMaxVerticalRate,
    texts::kMinVerticalRate,   texts::kGtfStartFrequency, texts::kGtfK,          texts::kGtfC,
    texts::kGtfM,              texts::kGtfJ};

// A field's name in a message: its label without the range in brackets.
QString FieldName(const char* label) {
  const QString text = QString::fromLatin1(label);
  return text.left(text.indexOf(QLatin1Char('('))).trimmed();
}

// A pixel clock of 2550 MHz (byte 9 = 0xFF) is how versions before 1.3 say "not specified".
constexpr int kUnspecifiedPixelClock = 2550;
constexpr uint8_t kSecondaryGtfCode = 0x02;

}  // namespace

CRangeLimitsDlg::CRangeLimitsDlg(EdidBlock& block, EdidCodeView& codeWindow, int blockIndex, QWidget* parent)
    : QWidget(parent),
      block_(block),
      codeWindow_(codeWindow),
      offset_(kFirstDescriptorOffset + kDescriptorSize * blockIndex) {
  setObjectName(QStringLiteral("rangeLimitsEditor"));
  values_[kStart] = 20;
  values_[kK] = 128;
  values_[kC] = 40;
  values_[kM] = 600;
  values_[kJ] = 20;
  BuildForm();
  PushToForm();
  for (QWidget* widget : gtfWidgets_) widget->hide();
}

void CRangeLimitsDlg::BuildForm() {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->addWidget(new QLabel(QString::fromLatin1(texts::kRangeLimitsHeading), this), 0, 0, 1, 3);
  grid->addWidget(MakeRule(this), 1, 0, 1, 4);

  for (int f = 0; f < kFieldCount; ++f) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(kObjectNames[f]));
    FitToCharacters(edit, 6);
    edits_[f] = edit;
    connect(edit, &QLineEdit::textEdited, this, &CRangeLimitsDlg::Write);
    FocusWatch::Install(edit, [this] { codeWindow_.HighlightRange(offset_ + 5, offset_ + 17, true); });
  }
  // Rows top to bottom as the form reads; the label spans two columns unless it has a meaning column.
  struct Row {
    Field field;
    const char* label;
    const char* meaning;
  };
  const Row rows[] = {
      {kMinVertical, texts::kMinVerticalRate, nullptr},
      {kMaxVertical, texts::kMaxVerticalRate, nullptr},
      {kMinHorizontal, texts::kMinHorizontalRate, nullptr},
      {kMaxHorizontal, texts::kMaxHorizontalRate, nullptr},
      {kMaxPixelClock, texts::kMaxPixelClock, nullptr},
      {kStart, texts::kGtfStartFrequency, nullptr},
      {kC, texts::kGtfC, texts::kGtfCMeaning},
      {kM, texts::kGtfM, texts::kGtfMMeaning},
      {kK, texts::kGtfK, texts::kGtfKMeaning},
      {kJ, texts::kGtfJ, texts::kGtfJMeaning},
  };
  checkBox_ = new QCheckBox(QString::fromLatin1(texts::kNotSpecified), this);
  checkBox_->setObjectName(QStringLiteral("rangeCheckBox"));
  connect(checkBox_, &QCheckBox::clicked, this, &CRangeLimitsDlg::OnCheckBoxClicked);

  // A GTF constant's letter stands in a narrow column of its own, its meaning right after it, as a
  // tab would place them; the cell of both spans the label column like the other labels.
  const int letterWidth = QFontMetrics(font()).horizontalAdvance(QStringLiteral("M")) + 12;
  // The label column is as wide as its widest label, shown or not, so that the fields stay put when
  // the secondary curve's rows appear.
  int labelColumn = 0;
  int row = 2;
  for (const Row& r : rows) {
    if (r.field == kStart) grid->addWidget(checkBox_, row++, 0, 1, 3);
    auto* label = new QLabel(QString::fromLatin1(r.label), this);
    label->setBuddy(edits_[r.field]);
    QLabel* meaning = r.meaning ? new QLabel(QString::fromLatin1(r.meaning), this) : nullptr;
    if (meaning) {
      label->setFixedWidth(letterWidth);
      auto* cell = new QHBoxLayout;
      cell->setSpacing(0);
      cell->addWidget(label);
      cell->addWidget(meaning, 1);
      grid->addLayout(cell, row, 0, 1, 2);
      labelColumn = std::max(labelColumn, letterWidth + meaning->sizeHint().width());
    } else {
      grid->addWidget(label, row, 0, 1, 2);
      labelColumn = std::max(labelColumn, label->sizeHint().width());
    }
    grid->addWidget(edits_[r.field], row, 2);
    if (r.field >= kStart) {
      gtfWidgets_.push_back(label);
      if (meaning) gtfWidgets_.push_back(meaning);
      gtfWidgets_.push_back(edits_[r.field]);
    }
    ++row;
  }
  grid->setColumnMinimumWidth(0, labelColumn);
  grid->setColumnStretch(3, 1);
  grid->setRowStretch(row, 1);
  // Tab order follows the form from top to bottom.
  QWidget* previous = edits_[kMinVertical];
  for (Field f : {kMaxVertical, kMinHorizontal, kMaxHorizontal, kMaxPixelClock}) {
    setTabOrder(previous, edits_[f]);
    previous = edits_[f];
  }
  setTabOrder(previous, checkBox_);
  previous = checkBox_;
  for (Field f : {kStart, kC, kM, kK, kJ}) {
    setTabOrder(previous, edits_[f]);
    previous = edits_[f];
  }
}

void CRangeLimitsDlg::PushToForm() {
  for (int f = 0; f < kFieldCount; ++f) edits_[f]->setText(QString::number(values_[f]));
  checkBox_->setChecked(checked_ != 0);
}

bool CRangeLimitsDlg::ValidateFields() {
  std::array<int, kFieldCount> read{};
  for (int f = 0; f < kFieldCount; ++f) {
    const std::optional<long> value = ReadIntegerField(edits_[f], 0, kMaxima[f]);
    if (!value) return false;
    read[f] = static_cast<int>(*value);
  }
  values_ = read;
  checked_ = checkBox_->isChecked() ? 1 : 0;
  return true;
}

QStringList CRangeLimitsDlg::RestoreRefusedFields() {
  // Most fields are stored scaled or halved, so a valid entry may differ from what the block reads
  // back; only a refused one means the block does not hold what the form shows.
  QStringList names;
  for (int f = 0; f < kFieldCount; ++f) {
    if (edits_[f]->isHidden()) continue;
    const std::optional<long> value = ParseInteger(edits_[f]->text());
    if (!value || *value < 0 || *value > kMaxima[f]) names << FieldName(kFieldLabels[f]);
  }
  if (!names.isEmpty()) Fill(structureVersion_);
  return names;
}

void CRangeLimitsDlg::Fill(uint8_t version) {
  structureVersion_ = version;
  const RangeLimits limits = block_.GetRangeLimits();
  values_[kMinHorizontal] = limits.minHorizontalKHz;
  values_[kMaxHorizontal] = limits.maxHorizontalKHz;
  values_[kMinVertical] = limits.minVerticalHz;
  values_[kMaxVertical] = limits.maxVerticalHz;
  values_[kMaxPixelClock] = limits.maxPixelClockMHz;
  if (IsVersion13()) {
    const SecondaryGtf gtf = block_.GetSecondaryGtf();
    checked_ = gtf.code == kSecondaryGtfCode ? 1 : 0;
    if (checked_) {
      values_[kStart] = static_cast<int>(gtf.startKHz);
      values_[kC] = static_cast<int>(gtf.c);
      values_[kM] = gtf.m;
      values_[kK] = static_cast<int>(gtf.k);
      values_[kJ] = static_cast<int>(gtf.j);
    }
    // Unchecked: the GTF fields keep what the form shows, the values the user last saw.
  } else {
    checked_ = values_[kMaxPixelClock] == kUnspecifiedPixelClock ? 1 : 0;
  }
  PushToForm();
  checkBox_->setText(QString::fromLatin1(IsVersion13() ? texts::kSecondaryGtfSupport : texts::kNotSpecified));
  OnCheckBoxClicked();
}

void CRangeLimitsDlg::OnCheckBoxClicked() {
  if (!ValidateFields()) return;
  const bool showGtf = IsVersion13() && checked_;
  for (QWidget* widget : gtfWidgets_) widget->setVisible(showGtf);
  Write();
}

void CRangeLimitsDlg::Write() {
  if (!ValidateFields()) return;
  const bool unspecified = checked_ && !IsVersion13();
  edits_[kMaxPixelClock]->setEnabled(!unspecified);
  if (unspecified && values_[kMaxPixelClock] != kUnspecifiedPixelClock) {
    values_[kMaxPixelClock] = kUnspecifiedPixelClock;
    edits_[kMaxPixelClock]->setText(QString::number(kUnspecifiedPixelClock));
  }
  block_.SetRangeLimits(static_cast<uint8_t>(values_[kMinHorizontal]), static_cast<uint8_t>(values_[kMaxHorizontal]),
                        static_cast<uint8_t>(values_[kMinVertical]), static_cast<uint8_t>(values_[kMaxVertical]),
                        static_cast<uint16_t>(values_[kMaxPixelClock]));
  if (IsVersion13() && checked_) {
    block_.SetSecondaryGtf(kSecondaryGtfCode, static_cast<unsigned>(values_[kStart]), static_cast<unsigned>(values_[kC]),
                           static_cast<uint16_t>(values_[kM]), static_cast<unsigned>(values_[kK]),
                           static_cast<unsigned>(values_[kJ]));
  }
  codeWindow_.HighlightRange(offset_ + 5, offset_ + 17, true);
}

}  // namespace tolvex
