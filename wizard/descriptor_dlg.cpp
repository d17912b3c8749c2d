#include "wizard/descriptor_dlg.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "document/edid_code_view.h"
#include "document/form_validation.h"
#include "model/edid_block.h"
#include "wizard/color_point_dlg.h"
#include "wizard/descriptor_texts.h"
#include "wizard/focus_watch.h"
#include "wizard/range_limits_dlg.h"
#include "wizard/std_timing_id_dlg.h"
#include "wizard/wizard_fields.h"

namespace tolvex {

namespace {

constexpr int kTextLength = 13;

uint8_t TagOfKind(int kind) { return static_cast<uint8_t>(255 - kind); }

}  // namespace

CDescriptorDlg::CDescriptorDlg(EdidBlock& block, EdidCodeView& codeWindow, int blockIndex,
                               std::function<uint8_t()> pageVersion, QWidget* parent)
    : QWidget(parent),
      block_(block),
      codeWindow_(codeWindow),
      offset_(kFirstDescriptorOffset + kDescriptorSize * blockIndex),
      pageVersion_(std::move(pageVersion)) {
  setObjectName(QStringLiteral("descriptorEditor"));
  BuildForm();
  rangeLimits_ = new CRangeLimitsDlg(block, codeWindow, blockIndex, this);
  colorPoint_ = new CColorPointDlg(block, codeWindow, blockIndex, this);
  stdTimings_ = new CStdTimingIdDlg(block, codeWindow, blockIndex, this);
  // The three share one place; the kind decides which one is visible.
  auto* place = new QGridLayout;
  place->setContentsMargins(0, 0, 0, 0);
  for (QWidget* editor : {static_cast<QWidget*>(rangeLimits_), static_cast<QWidget*>(colorPoint_),
                          static_cast<QWidget*>(stdTimings_)}) {
    place->addWidget(editor, 0, 0);
    editor->hide();
  }
  static_cast<QVBoxLayout*>(layout())->addLayout(place, 1);
  PushToForm();
}

void CDescriptorDlg::BuildForm() {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* form = new QFormLayout;
  tagSelector_ = new QComboBox(this);
  tagSelector_->setObjectName(QStringLiteral("tagSelector"));
  for (const texts::DescriptorKindText& kind : texts::kDescriptorKinds)
    tagSelector_->addItem(QString::fromLatin1(kind.entry));
  form->addRow(QString::fromLatin1(texts::kDescriptorTagLabel), tagSelector_);
  textLabel_ = new QLabel(QString::fromLatin1(texts::kDescriptorKinds[kSerialNumber].textLabel), this);
  textLabel_->setObjectName(QStringLiteral("descriptorTextLabel"));
  textField_ = new QLineEdit(this);
  textField_->setObjectName(QStringLiteral("descriptorText"));
  textField_->setMaxLength(kTextLength);
  FitToCharacters(textField_, kTextLength + 5);  // letters are wider than digits
  textLabel_->setBuddy(textField_);
  form->addRow(textLabel_, textField_);
  layout->addLayout(form);

  connect(tagSelector_, &QComboBox::currentIndexChanged, this, &CDescriptorDlg::ShowSelectedKind);
  connect(textField_, &QLineEdit::textEdited, this, &CDescriptorDlg::OnTextEdited);
  FocusWatch::Install(textField_, [this] { codeWindow_.HighlightRange(offset_ + 5, offset_ + 17, false); });
}

void CDescriptorDlg::PushToForm() {
  const QSignalBlocker blocker(tagSelector_);
  tagSelector_->setCurrentIndex(selectedKind_);
  textField_->setText(text_);
}

bool CDescriptorDlg::IsTextKind() const {
  return selectedKind_ == kSerialNumber || selectedKind_ == kDataString || selectedKind_ == kMonitorName;
}

void CDescriptorDlg::FillForTag(uint8_t tag) {
  const int kind = 255 - tag;
  selectedKind_ = kind >= 0 && kind < kKindCount ? kind : -1;
  switch (tag) {
    case kTagStdTimings:
      stdTimings_->Fill(pageVersion_());
      break;
    case kTagColorPoint:
      colorPoint_->Fill();
      break;
    case kTagMonitorName:
    case kTagDataString:
    case kTagSerialNumber:
      text_ = QString::fromLatin1(block_.GetDescriptorText());
      break;
    case kTagRangeLimits:
      rangeLimits_->Fill(pageVersion_());
      break;
    default:
      // A kind this editor does not know: shown as no kind and kept as it is, also across a switch
      // of the page to a detailed timing and back.
      for (size_t i = 0; i < unlistedBytes_.size(); ++i)
        unlistedBytes_[i] = block_.Bytes()[static_cast<size_t>(offset_) + i];
      break;
  }
  PushToForm();
}

void CDescriptorDlg::ShowOnly(QWidget* editor) {
  const bool text = editor == nullptr;
  textLabel_->setVisible(text);
  textField_->setVisible(text);
  for (QWidget* sub : {static_cast<QWidget*>(rangeLimits_), static_cast<QWidget*>(colorPoint_),
                       static_cast<QWidget*>(stdTimings_)})
    if (sub != editor) sub->hide();
  if (editor) editor->show();
}

void CDescriptorDlg::ShowSelectedKind() {
  const std::optional<QString> text = ReadTextField(textField_, kTextLength);
  if (!text) return;
  text_ = *text;
  selectedKind_ = tagSelector_->currentIndex();
  if (selectedKind_ < 0) {
    // An unknown kind from the block: nothing to edit it with, so it stays as stored, or is put
    // back if the page wrote the block as a detailed timing meanwhile.
    textLabel_->hide();
    textField_->hide();
    for (QWidget* sub : {static_cast<QWidget*>(rangeLimits_), static_cast<QWidget*>(colorPoint_),
                         static_cast<QWidget*>(stdTimings_)})
      sub->hide();
    bool changed = false;
    for (size_t i = 0; i < unlistedBytes_.size(); ++i) {
      uint8_t& stored = block_.Bytes()[static_cast<size_t>(offset_) + i];
      changed = changed || stored != unlistedBytes_[i];
      stored = unlistedBytes_[i];
    }
    codeWindow_.HighlightRange(offset_, offset_ + kDescriptorSize - 1, changed);
    return;
  }
  block_.WriteDescriptorHeader(TagOfKind(selectedKind_));
  const uint8_t version = pageVersion_();
  switch (selectedKind_) {
    case kRangeLimits:
      ShowOnly(rangeLimits_);
      rangeLimits_->Write();
      if (rangeLimits_->StructureVersion() != version) rangeLimits_->Fill(version);
      break;
    case kColorPoint:
      ShowOnly(colorPoint_);
      colorPoint_->Write();
      break;
    case kStdTimings:
      ShowOnly(stdTimings_);
      stdTimings_->Write();
      if (stdTimings_->StructureVersion() != version) stdTimings_->Fill(version);
      break;
    default:
      ShowOnly(nullptr);
      textLabel_->setText(QString::fromLatin1(texts::kDescriptorKinds[static_cast<size_t>(selectedKind_)].textLabel));
      WriteText();
      break;
  }
  codeWindow_.HighlightRange(offset_, offset_ + kDescriptorSize - 1, true);
}

QStringList CDescriptorDlg::RestoreRefusedFields() {
  // The text field cannot take more than the block holds; the list editors' entry fields are
  // entries still to be added, not the block's contents.
  return selectedKind_ == kRangeLimits ? rangeLimits_->RestoreRefusedFields() : QStringList();
}

void CDescriptorDlg::OnTextEdited() {
  if (!IsTextKind()) return;
  WriteText();
}

void CDescriptorDlg::WriteText() {
  const std::optional<QString> text = ReadTextField(textField_, kTextLength);
  if (!text) return;
  text_ = *text;
  block_.SetDescriptorText(TagOfKind(selectedKind_), text_.toLatin1().toStdString());
  codeWindow_.HighlightRange(offset_ + 5, offset_ + 17, true);
}

}  // namespace tolvex
