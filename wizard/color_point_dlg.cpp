#include "wizard/color_point_dlg.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "document/edid_code_view.h"
#include "document/form_validation.h"
#include "model/edid_block.h"
#include "wizard/descriptor_texts.h"
#include "wizard/wizard_fields.h"
#include "wizard/focus_watch.h"
#include "wizard/std_timing_text.h"

namespace tolvex {

CColorPointDlg::CColorPointDlg(EdidBlock& block, EdidCodeView& codeWindow, int blockIndex, QWidget* parent)
    : QWidget(parent),
      block_(block),
      codeWindow_(codeWindow),
      offset_(kFirstDescriptorOffset + kDescriptorSize * blockIndex) {
  setObjectName(QStringLiteral("colorPointEditor"));
  BuildForm();
  PushToForm();
}

void CColorPointDlg::BuildForm() {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(new QLabel(QString::fromLatin1(texts::kColorPointHeading), this));
  layout->addWidget(MakeRule(this));
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("colorPointList"));
  layout->addWidget(list_, 1);
  layout->addWidget(MakeRule(this));

  auto* fields = new QGridLayout;
  const std::pair<const char*, QLineEdit**> rows[] = {{texts::kWhitePointIndex, &indexEdit_},
                                                      {texts::kWhiteX, &xEdit_},
                                                      {texts::kWhiteY, &yEdit_},
                                                      {texts::kWhiteGamma, &gammaEdit_}};
  const char* names[] = {"whitePointIndex", "whiteX", "whiteY", "whiteGamma"};
  int row = 0;
  for (const auto& [label, edit] : rows) {
    *edit = new QLineEdit(this);
    (*edit)->setObjectName(QString::fromLatin1(names[row]));
    FitToCharacters(*edit, 6);
    auto* caption = new QLabel(QString::fromLatin1(label), this);
    caption->setBuddy(*edit);
    fields->addWidget(caption, row, 0);
    fields->addWidget(*edit, row, 1);
    connect(*edit, &QLineEdit::textEdited, this, &CColorPointDlg::OnFieldEdited);
    ++row;
  }
  fields->setColumnStretch(2, 1);
  layout->addLayout(fields);

  const ListButtons buttons = AddListButtons(this, layout, QStringLiteral("colorPoint"));
  removeButton_ = buttons.remove;
  addButton_ = buttons.add;
  replaceButton_ = buttons.replace;

  connect(list_, &QListWidget::itemSelectionChanged, this, &CColorPointDlg::OnSelectionChanged);
  connect(addButton_, &QPushButton::clicked, this, &CColorPointDlg::OnAdd);
  connect(replaceButton_, &QPushButton::clicked, this, &CColorPointDlg::OnReplace);
  connect(removeButton_, &QPushButton::clicked, this, &CColorPointDlg::OnRemove);
}

void CColorPointDlg::PushToForm() {
  indexEdit_->setText(QString::number(index_));
  xEdit_->setText(QString::number(x_, 'g', 6));
  yEdit_->setText(QString::number(y_, 'g', 6));
  gammaEdit_->setText(QString::number(gamma_, 'g', 6));
}

bool CColorPointDlg::ValidateFields() {
  const std::optional<long> index = ReadIntegerField(indexEdit_, 1, 255);
  if (!index) return false;
  const std::optional<double> x = ReadNumberField(xEdit_, 0, 0.999);
  if (!x) return false;
  const std::optional<double> y = ReadNumberField(yEdit_, 0, 0.999);
  if (!y) return false;
  const std::optional<double> gamma = ReadNumberField(gammaEdit_, 1, 3.55);
  if (!gamma) return false;
  index_ = static_cast<int>(*index);
  x_ = *x;
  y_ = *y;
  gamma_ = *gamma;
  return true;
}

QString CColorPointDlg::FormatLine(int index, double x, double y, double gamma) const {
  return QString::asprintf(texts::kColorPointLine, index, x, y, gamma);
}

int CColorPointDlg::SelectedEntry() const {
  const QList<QListWidgetItem*> selected = list_->selectedItems();
  return selected.isEmpty() ? -1 : list_->row(selected.first());
}

void CColorPointDlg::Fill() {
  list_->clear();
  remembered_ = {};
  for (int i = 0; i < kMaxEntries; ++i) {
    const ColorPoint point = block_.GetColorPoint(static_cast<unsigned>(i));
    if (point.index == 0) break;
    list_->insertItem(i, FormatLine(point.index, point.x, point.y, point.gamma));
    remembered_[static_cast<size_t>(i)] = block_.GetColorPointBytes(static_cast<unsigned>(i));
  }
  PushToForm();
  // Nothing is selected in a new list, and what the buttons offered belonged to the old one.
  for (QPushButton* button : {removeButton_, addButton_, replaceButton_}) button->setEnabled(false);
}

void CColorPointDlg::Write() {
  for (int i = 0; i < kMaxEntries; ++i)
    block_.SetColorPointBytes(static_cast<unsigned>(i), remembered_[static_cast<size_t>(i)]);
  codeWindow_.HighlightRange(offset_ + 5, offset_ + 17, true);
}

void CColorPointDlg::OnFieldEdited() {
  if (!ValidateFields()) return;
  const int count = list_->count();
  addButton_->setEnabled(count <= 1 && index_ != remembered_[0][0]);
  const int selected = SelectedEntry();
  replaceButton_->setEnabled(selected >= 0 && index_ != remembered_[static_cast<size_t>(1 - selected)][0]);
}

void CColorPointDlg::OnSelectionChanged() {
  const int selected = SelectedEntry();
  if (selected < 0) return;
  codeWindow_.HighlightRange(offset_ + 5, offset_ + 17, false);
  const ColorPoint point = block_.GetColorPoint(static_cast<unsigned>(selected));
  index_ = point.index;
  x_ = point.x;
  y_ = point.y;
  gamma_ = point.gamma;
  PushToForm();
  removeButton_->setEnabled(true);
}

void CColorPointDlg::OnAdd() {
  // Two entries fill the descriptor; a third would overwrite the first white point.
  if (list_->count() >= kMaxEntries || !ValidateFields()) return;
  if (index_ == remembered_[0][0]) return;
  InsertEntry(list_->count());
}

void CColorPointDlg::OnReplace() {
  const int position = SelectedEntry();
  if (position < 0) return;
  // Checked before the line goes, so a refused entry leaves the list as the block holds it.
  if (!ValidateFields()) return;
  TakeLine(position);
  InsertEntry(position);
}

void CColorPointDlg::TakeLine(int position) {
  // Without the list's signals: the selection moving to a neighbour would load the fields from a
  // block that does not yet reflect the change.
  const QSignalBlocker blocker(list_);
  delete list_->takeItem(position);
  list_->clearSelection();
}

void CColorPointDlg::InsertEntry(int position) {
  list_->insertItem(position, FormatLine(index_, x_, y_, gamma_));
  list_->clearSelection();
  block_.SetColorPoint(static_cast<unsigned>(position), static_cast<uint8_t>(index_), static_cast<float>(x_),
                       static_cast<float>(y_), static_cast<float>(gamma_));
  codeWindow_.HighlightRange(offset_ + 5, offset_ + 17, true);
  remembered_[static_cast<size_t>(position)] = block_.GetColorPointBytes(static_cast<unsigned>(position));
  for (QPushButton* button : {removeButton_, addButton_, replaceButton_}) button->setEnabled(false);
}

void CColorPointDlg::OnRemove() {
  const int removed = SelectedEntry();
  if (removed < 0) return;
  TakeLine(removed);
  for (int i = removed; i + 1 < kMaxEntries; ++i) remembered_[static_cast<size_t>(i)] = remembered_[static_cast<size_t>(i + 1)];
  for (int i = list_->count(); i < kMaxEntries; ++i) remembered_[static_cast<size_t>(i)] = {};
  Write();
  removeButton_->setEnabled(false);
  replaceButton_->setEnabled(false);
  addButton_->setEnabled(true);
}

}  // namespace tolvex
