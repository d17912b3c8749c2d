#include "wizard/std_timing_id_dlg.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <climits>

#include "document/edid_code_view.h"
#include "document/form_validation.h"
#include "document/framework_texts.h"
#include "model/edid_block.h"
#include "wizard/descriptor_texts.h"
#include "wizard/std_timing_text.h"
#include "wizard/wizard_fields.h"

namespace tolvex {

namespace {

// What an unused slot holds: 256 pixels, code 0, 61 Hz (stored as 01 01).
constexpr int kUnusedRefresh = 61;

}  // namespace

CStdTimingIdDlg::CStdTimingIdDlg(EdidBlock& block, EdidCodeView& codeWindow, int blockIndex, QWidget* parent)
    : QWidget(parent),
      block_(block),
      codeWindow_(codeWindow),
      offset_(kFirstDescriptorOffset + kDescriptorSize * blockIndex) {
  setObjectName(QStringLiteral("stdTimingEditor"));
  BuildForm();
  PushToForm();
}

void CStdTimingIdDlg::BuildForm() {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(new QLabel(QString::fromLatin1(texts::kStdTimingHeading), this));
  layout->addWidget(MakeRule(this));
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("stdTimingList"));
  UseFixedPitchColumns(list_);
  layout->addWidget(list_, 1);
  layout->addWidget(MakeRule(this));

  auto* fields = new QGridLayout;
  pixelsEdit_ = new QLineEdit(this);
  pixelsEdit_->setObjectName(QStringLiteral("activePixels"));
  aspectBox_ = new QComboBox(this);
  aspectBox_->setObjectName(QStringLiteral("aspectRatio"));
  for (int code = 0; code < 4; ++code) aspectBox_->addItem(AspectChoiceText(code, false));
  // Wide enough for "16:10", which code 0 reads under EDID 1.3.
  aspectBox_->setMinimumContentsLength(5);
  aspectBox_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  refreshEdit_ = new QLineEdit(this);
  refreshEdit_->setObjectName(QStringLiteral("refreshRate"));
  FitToCharacters(pixelsEdit_, 5);
  FitToCharacters(refreshEdit_, 5);
  const std::pair<const char*, QWidget*> rows[] = {
      {texts::kStdTimingWidthLabel, pixelsEdit_},
      {texts::kStdTimingAspectLabel, aspectBox_},
      {texts::kStdTimingRefreshLabel, refreshEdit_}};
  int row = 0;
  for (const auto& [text, field] : rows) {
    auto* label = new QLabel(QString::fromLatin1(text), this);
    label->setBuddy(field);
    fields->addWidget(label, row, 0);
    fields->addWidget(field, row, 1);
    ++row;
  }
  fields->setColumnStretch(2, 1);
  layout->addLayout(fields);

  const ListButtons buttons = AddListButtons(this, layout, QStringLiteral("stdTiming"));
  removeButton_ = buttons.remove;
  addButton_ = buttons.add;
  replaceButton_ = buttons.replace;

  connect(pixelsEdit_, &QLineEdit::textEdited, this, &CStdTimingIdDlg::OnFieldEdited);
  connect(refreshEdit_, &QLineEdit::textEdited, this, &CStdTimingIdDlg::OnFieldEdited);
  connect(aspectBox_, &QComboBox::activated, this, &CStdTimingIdDlg::OnFieldEdited);
  connect(list_, &QListWidget::itemSelectionChanged, this, &CStdTimingIdDlg::OnSelectionChanged);
  connect(addButton_, &QPushButton::clicked, this, &CStdTimingIdDlg::OnAdd);
  connect(replaceButton_, &QPushButton::clicked, this, &CStdTimingIdDlg::OnReplace);
  connect(removeButton_, &QPushButton::clicked, this, &CStdTimingIdDlg::OnRemove);
}

void CStdTimingIdDlg::PushToForm() {
  pixelsEdit_->setText(QString::number(pixels_));
  refreshEdit_->setText(QString::number(refresh_));
  aspectBox_->setCurrentIndex(aspect_);
}

bool CStdTimingIdDlg::ValidateFields() {
  // Only the integer form is checked here; the ranges gate the buttons. A number too large for an
  // integer is no integer either.
  int read[2] = {};
  QLineEdit* const fields[2] = {pixelsEdit_, refreshEdit_};
  for (int i = 0; i < 2; ++i) {
    const std::optional<long> value = ParseInteger(fields[i]->text());
    if (!value || *value < INT_MIN || *value > INT_MAX) {
      ShowValidationMessage(fields[i], QString::fromLatin1(texts::kEnterInteger));
      return false;
    }
    read[i] = static_cast<int>(*value);
  }
  pixels_ = read[0];
  refresh_ = read[1];
  aspect_ = std::max(aspectBox_->currentIndex(), 0);
  return true;
}

void CStdTimingIdDlg::ApplyVersionAspect() {
  const bool wide = structureVersion_ == 0x13;
  aspectBox_->setItemText(0, AspectChoiceText(0, wide));
}

QString CStdTimingIdDlg::FormatLine(int pixels, int refresh, int aspect) const {
  return FormatStdTimingLine(pixels, aspect, refresh, structureVersion_ == 0x13);
}

int CStdTimingIdDlg::SelectedEntry() const {
  const QList<QListWidgetItem*> selected = list_->selectedItems();
  return selected.isEmpty() ? -1 : list_->row(selected.first());
}

void CStdTimingIdDlg::HighlightSlot(int position, bool refresh) {
  codeWindow_.HighlightRange(offset_ + 5 + 2 * position, offset_ + 6 + 2 * position, refresh);
}

void CStdTimingIdDlg::Fill(uint8_t version) {
  list_->clear();
  structureVersion_ = version;
  ApplyVersionAspect();
  for (int j = 0; j < kMaxEntries; ++j) {
    const int slot = kFirstSlot + j;
    if (block_.IsStdTimingUnused(slot)) break;
    const int pixels = static_cast<int>(block_.GetStdTimingWidth(slot));
    const int aspect = static_cast<int>(block_.GetStdTimingAspect(slot));
    const int refresh = static_cast<int>(block_.GetStdTimingRefresh(slot));
    auto* item = new QListWidgetItem(FormatLine(pixels, refresh, aspect));
    item->setData(Qt::UserRole, PackStdTiming({pixels, aspect, refresh}));
    list_->insertItem(j, item);
  }
  // Nothing is selected in a new list, and what the buttons offered belonged to the old one.
  removeButton_->setEnabled(false);
  replaceButton_->setEnabled(false);
  addButton_->setEnabled(FieldsInRange() && list_->count() < kMaxEntries);
}

void CStdTimingIdDlg::Write() {
  for (int j = 0; j < kMaxEntries; ++j) {
    const int slot = kFirstSlot + j;
    if (j < list_->count()) {
      const StdTimingEntry entry = UnpackStdTiming(list_->item(j)->data(Qt::UserRole).toUInt());
      block_.SetStdTimingWidth(slot, static_cast<unsigned>(entry.width));
      block_.SetStdTimingAspect(slot, static_cast<unsigned>(entry.aspect));
      block_.SetStdTimingRefresh(slot, static_cast<unsigned>(entry.refresh));
    } else {
      block_.SetStdTimingWidth(slot, kStdTimingMinWidth);
      block_.SetStdTimingAspect(slot, 0);
      block_.SetStdTimingRefresh(slot, kUnusedRefresh);
    }
  }
  block_.SetStdTimingIdTerminator();
  codeWindow_.HighlightRange(offset_ + 5, offset_ + 17, true);
}

bool CStdTimingIdDlg::FieldsInRange() const {
  // Compared as read: cut to an int first, 4294967552 would pass for 256.
  const long pixels = ParseInteger(pixelsEdit_->text()).value_or(0);
  const long refresh = ParseInteger(refreshEdit_->text()).value_or(0);
  return IsStdTimingInRange(pixels, refresh);
}

void CStdTimingIdDlg::OnFieldEdited() {
  const bool inRange = FieldsInRange();
  addButton_->setEnabled(inRange && list_->count() < kMaxEntries);
  // Replace is held to the same ranges, so that a line never shows what the codec would not store.
  replaceButton_->setEnabled(inRange && SelectedEntry() >= 0);
}

void CStdTimingIdDlg::OnSelectionChanged() {
  const int selected = SelectedEntry();
  if (selected < 0) return;
  HighlightSlot(selected, false);
  const StdTimingEntry entry = UnpackStdTiming(list_->item(selected)->data(Qt::UserRole).toUInt());
  pixels_ = entry.width;
  refresh_ = entry.refresh;
  aspect_ = entry.aspect;
  PushToForm();
  replaceButton_->setEnabled(true);
  removeButton_->setEnabled(true);
}

void CStdTimingIdDlg::OnAdd() {
  const int position = list_->count();
  if (position >= kMaxEntries) return;
  StoreEntry(position);
}

void CStdTimingIdDlg::OnReplace() {
  const int position = SelectedEntry();
  if (position < 0) return;
  StoreEntry(position);
}

void CStdTimingIdDlg::StoreEntry(int position) {
  if (!ValidateFields() || !FieldsInRange()) return;
  ApplyVersionAspect();
  auto* item = new QListWidgetItem(FormatLine(pixels_, refresh_, aspect_));
  item->setData(Qt::UserRole, PackStdTiming({pixels_, aspect_, refresh_}));
  {
    const QSignalBlocker blocker(list_);
    if (position < list_->count()) delete list_->takeItem(position);
    list_->insertItem(position, item);
  }
  list_->setCurrentRow(position);
  const int slot = kFirstSlot + position;
  block_.SetStdTimingWidth(slot, static_cast<unsigned>(pixels_));
  block_.SetStdTimingAspect(slot, static_cast<unsigned>(aspect_));
  block_.SetStdTimingRefresh(slot, static_cast<unsigned>(refresh_));
  HighlightSlot(position, true);
  if (position >= kMaxEntries - 1) addButton_->setEnabled(false);
}

void CStdTimingIdDlg::OnRemove() {
  const int removed = SelectedEntry();
  if (removed < 0) return;
  {
    const QSignalBlocker blocker(list_);
    delete list_->takeItem(removed);
    list_->clearSelection();
  }
  Write();
  HighlightSlot(removed, false);
  removeButton_->setEnabled(false);
  replaceButton_->setEnabled(false);
  addButton_->setEnabled(FieldsInRange());
}

}  // namespace tolvex
