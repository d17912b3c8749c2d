#include "wizard/s5_stim_page.h"

#include <array>
#include <limits>

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "document/form_validation.h"
#include "model/edid_block.h"
#include "wizard/wizard_fields.h"
#include "wizard/std_timing_text.h"
#include "wizard/wizard_texts.h"

namespace tolvex {

namespace {

namespace wt = wizard_text;

constexpr int kSlots = kBaseStdTimingSlots;
constexpr int kFirstSlotByte = 38;
constexpr int kLastSlotByte = 53;
constexpr uint8_t kVersion13 = 0x13;

int SlotByte(int slot) { return kFirstSlotByte + 2 * slot; }

}  // namespace

CS5Stim::CS5Stim(WizardState& sheet, EdidBlock& block, EdidCodeView& codeWindow, QWidget* parent)
    : CEdidWizardPage(sheet, block, codeWindow, QString::fromLatin1(wt::kStep5Title), parent) {
  BuildForm();
  connect(widthEdit_, &QLineEdit::textChanged, this, &CS5Stim::UpdateAddButton);
  connect(refreshEdit_, &QLineEdit::textChanged, this, &CS5Stim::UpdateAddButton);
  connect(aspectCombo_, &QComboBox::currentIndexChanged, this, &CS5Stim::UpdateAddButton);
  connect(list_, &QListWidget::itemSelectionChanged, this, &CS5Stim::OnSelectionChanged);
  connect(addButton_, &QPushButton::clicked, this, &CS5Stim::OnAdd);
  connect(replaceButton_, &QPushButton::clicked, this, &CS5Stim::OnReplace);
  connect(removeButton_, &QPushButton::clicked, this, &CS5Stim::OnRemove);
}

void CS5Stim::BuildForm() {
  auto* group = new QGroupBox(QString::fromLatin1(texts::kStdTimingHeading), this);
  list_ = new QListWidget(group);
  list_->setObjectName(QStringLiteral("timingList"));
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  UseFixedPitchColumns(list_);
  widthEdit_ = MakeEdit(group, "timingWidthEdit");
  widthEdit_->setText(QStringLiteral("0"));
  aspectCombo_ = new QComboBox(group);
  aspectCombo_->setObjectName(QStringLiteral("aspectCombo"));
  for (int code = 0; code < 4; ++code) aspectCombo_->addItem(AspectChoiceText(code, false));
  // Wide enough for "16:10", which code 0 reads under EDID 1.3.
  aspectCombo_->setMinimumContentsLength(5);
  aspectCombo_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  aspectCombo_->setCurrentIndex(0);
  aspectCombo_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);  // four short entries
  refreshEdit_ = MakeEdit(group, "timingRefreshEdit");
  refreshEdit_->setText(QStringLiteral("0"));
  FitToCharacters(widthEdit_, 5);
  FitToCharacters(refreshEdit_, 5);

  auto makeButton = [group](const char* label, const char* objectName) {
    auto* button = new QPushButton(QString::fromLatin1(label), group);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setEnabled(false);
    return button;
  };
  addButton_ = makeButton(texts::kAdd, "addButton");
  replaceButton_ = makeButton(texts::kReplace, "replaceButton");
  removeButton_ = makeButton(texts::kRemove, "removeButton");

  auto* fields = new QFormLayout;
  fields->addRow(QString::fromLatin1(texts::kStdTimingWidthLabel), widthEdit_);
  fields->addRow(QString::fromLatin1(texts::kStdTimingAspectLabel), aspectCombo_);
  fields->addRow(QString::fromLatin1(texts::kStdTimingRefreshLabel), refreshEdit_);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(addButton_);
  buttons->addWidget(replaceButton_);
  buttons->addWidget(removeButton_);
  buttons->addStretch();

  auto* groupLayout = new QVBoxLayout(group);
  groupLayout->addWidget(list_);
  groupLayout->addLayout(fields);
  groupLayout->addLayout(buttons);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
}

QString CS5Stim::TimingLine(unsigned width, unsigned aspect, unsigned refresh, uint8_t structureVersion) {
  return FormatStdTimingLine(static_cast<int>(width), static_cast<int>(aspect & 3), static_cast<int>(refresh),
                             structureVersion == kVersion13);
}

void CS5Stim::OnActivate(bool firstTime) {
  if (TakeVersionChange()) Fill();
  // The framework puts the page's values back into the form on every later activation, which
  // selects the remembered aspect code again.
  if (!firstTime) aspectCombo_->setCurrentIndex(aspect_);
  Highlight(kFirstSlotByte, kLastSlotByte, false);
}

void CS5Stim::Fill() {
  QuietlyChangeList([this] { list_->clear(); });
  aspectCombo_->setItemText(0, AspectChoiceText(0, Version() == kVersion13));
  aspectCombo_->setCurrentIndex(-1);
  for (int slot = 0; slot < kSlots && !block_.IsStdTimingUnused(slot); ++slot) AppendLine(slot, ReadSlot(slot));
  replaceButton_->setEnabled(false);
  removeButton_->setEnabled(false);
  UpdateAddButton();
}

void CS5Stim::UpdateAddButton() {
  const long width = ParseInteger(widthEdit_->text()).value_or(0);
  const long refresh = ParseInteger(refreshEdit_->text()).value_or(0);
  addButton_->setEnabled(IsStdTimingInRange(width, refresh) && list_->count() < kSlots);
}

int CS5Stim::SelectedRow() const {
  const QList<QListWidgetItem*> selected = list_->selectedItems();
  return selected.isEmpty() ? -1 : list_->row(selected.first());
}

void CS5Stim::OnSelectionChanged() {
  if (listChanging_) return;
  const int row = SelectedRow();
  if (row < 0) return;
  Highlight(SlotByte(row), SlotByte(row) + 1, false);
  const StdTimingEntry entry = UnpackStdTiming(list_->item(row)->data(Qt::UserRole).toUInt());
  aspect_ = entry.aspect;
  widthEdit_->setText(QString::number(entry.width));
  refreshEdit_->setText(QString::number(entry.refresh));
  aspectCombo_->setCurrentIndex(aspect_);
  replaceButton_->setEnabled(true);
  removeButton_->setEnabled(true);
}

std::optional<CS5Stim::Timing> CS5Stim::ReadTiming() {
  constexpr long kAny = std::numeric_limits<long>::max();
  const std::optional<long> width = ReadIntegerField(widthEdit_, -kAny, kAny);
  if (!width) return std::nullopt;
  const std::optional<long> refresh = ReadIntegerField(refreshEdit_, -kAny, kAny);
  if (!refresh) return std::nullopt;
  if (aspectCombo_->currentIndex() < 0) aspectCombo_->setCurrentIndex(0);
  aspect_ = aspectCombo_->currentIndex();
  return Timing{static_cast<int>(*width), aspect_, static_cast<int>(*refresh)};
}

void CS5Stim::OnAdd() {
  const int position = list_->count();
  if (position >= kSlots) return;
  if (const std::optional<Timing> timing = ReadTiming()) StoreAt(position, *timing);
}

void CS5Stim::OnReplace() {
  const int row = SelectedRow();
  if (row < 0) return;
  const std::optional<Timing> timing = ReadTiming();
  if (!timing) return;
  QuietlyChangeList([this, row] { delete list_->takeItem(row); });
  StoreAt(row, *timing);
}

// The block's own limits (clamping, widths in steps of 8) decide what the slot holds, so the
// line is built from the slot as written: line and bytes always agree.
void CS5Stim::StoreAt(int p, const Timing& timing) {
  WriteSlot(p, timing);
  AppendLine(p, ReadSlot(p));
  QuietlyChangeList([this, p] { list_->setCurrentRow(p); });
  OnSelectionChanged();
  Highlight(SlotByte(p), SlotByte(p) + 1, true);
  if (p >= kSlots - 1) addButton_->setEnabled(false);
}

void CS5Stim::OnRemove() {
  const int removed = SelectedRow();
  if (removed < 0) return;
  QuietlyChangeList([this, removed] {
    delete list_->takeItem(removed);
    list_->clearSelection();
    list_->setCurrentRow(-1);
  });
  for (int slot = removed; slot < list_->count(); ++slot) {
    WriteSlot(slot, UnpackStdTiming(list_->item(slot)->data(Qt::UserRole).toUInt()));
  }
  // 01 01 marks a slot unused.
  for (int slot = list_->count(); slot < kSlots; ++slot) WriteSlot(slot, {256, 0, 61});
  Highlight(SlotByte(removed), kLastSlotByte, true);
  Highlight(SlotByte(removed), SlotByte(removed) + 1, false);
  replaceButton_->setEnabled(false);
  removeButton_->setEnabled(false);
  addButton_->setEnabled(true);
}

void CS5Stim::WriteSlot(int slot, const Timing& timing) {
  block_.SetStdTimingWidth(slot, static_cast<unsigned>(timing.width));
  block_.SetStdTimingAspect(slot, static_cast<unsigned>(timing.aspect));
  block_.SetStdTimingRefresh(slot, static_cast<unsigned>(timing.refresh));
}

CS5Stim::Timing CS5Stim::ReadSlot(int slot) const {
  return {static_cast<int>(block_.GetStdTimingWidth(slot)), static_cast<int>(block_.GetStdTimingAspect(slot)),
          static_cast<int>(block_.GetStdTimingRefresh(slot))};
}

void CS5Stim::AppendLine(int position, const Timing& timing) {
  auto* item = new QListWidgetItem(FormatStdTimingLine(timing.width, timing.aspect, timing.refresh,
                                                       Version() == kVersion13));
  item->setData(Qt::UserRole, PackStdTiming(timing));
  QuietlyChangeList([this, position, item] { list_->insertItem(position, item); });
}

template <typename Change>
void CS5Stim::QuietlyChangeList(Change change) {
  listChanging_ = true;
  change();
  listChanging_ = false;
}

}  // namespace tolvex
