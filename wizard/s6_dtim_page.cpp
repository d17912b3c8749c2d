#include "wizard/s6_dtim_page.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QVBoxLayout>
#include <QWizard>

#include "document/edid_code_view.h"
#include "model/edid_block.h"
#include "wizard/descriptor_dlg.h"
#include "wizard/descriptor_texts.h"
#include "wizard/detail_timing_dlg.h"
#include "wizard/edid_wizard_page.h"
#include "wizard/wizard_fields.h"

namespace tolvex {

namespace {

constexpr uint8_t kVersion10 = 0x10;

}  // namespace

CS6Dtim::CS6Dtim(WizardState& sheet, EdidBlock& block, EdidCodeView& codeWindow, int blockIndex, const QString& title,
                 QWidget* parent)
    : QWizardPage(parent), sheet_(sheet), block_(block), codeWindow_(codeWindow), blockIndex_(blockIndex),
      openedVersion_(StructureVersionOf(block)) {
  setTitle(title);
  auto* layout = new QVBoxLayout(this);
  monitorDescriptorBox_ = new QCheckBox(QString::fromLatin1(texts::kMonitorDescriptor), this);
  monitorDescriptorBox_->setObjectName(QStringLiteral("monitorDescriptor"));
  layout->addWidget(monitorDescriptorBox_);
  editorPlace_ = new QWidget(this);
  editorPlace_->setObjectName(QStringLiteral("editorPlace"));
  auto* place = new QGridLayout(editorPlace_);
  place->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(editorPlace_, 1);
  connect(monitorDescriptorBox_, &QCheckBox::clicked, this, &CS6Dtim::OnMonitorDescriptorClicked);
  // The editors exist hidden from the start, so that the page can reserve the room of the larger
  // one; they are filled and shown only when the page is activated.
  CreateEditors();
  editorPlace_->setMinimumSize(detailTiming_->sizeHint().expandedTo(descriptor_->sizeHint()));
}

int CS6Dtim::Offset() const { return kFirstDescriptorOffset + kDescriptorSize * blockIndex_; }

void CS6Dtim::initializePage() {
  // QWizard initialises a page only on the way forward; coming back with Back it only changes the
  // current page, so the page also follows that change to activate itself.
  if (!followsWizard_ && wizard()) {
    connect(wizard(), &QWizard::currentIdChanged, this, &CS6Dtim::OnWizardPageChanged);
    followsWizard_ = true;
  }
  Activate();
  activatedByInitialize_ = true;
}

void CS6Dtim::OnWizardPageChanged() {
  const bool current = wizard() && wizard()->currentPage() == this;
  if (current && !activatedByInitialize_) Activate();
  activatedByInitialize_ = false;
}

void CS6Dtim::CreateEditors() {
  if (detailTiming_) return;
  auto* place = static_cast<QGridLayout*>(editorPlace_->layout());
  detailTiming_ = new CDetailTimingDlg(block_, codeWindow_, blockIndex_, editorPlace_);
  detailTiming_->hide();
  place->addWidget(detailTiming_, 0, 0);
  descriptor_ = new CDescriptorDlg(block_, codeWindow_, blockIndex_, [this] { return rememberedVersion_; },
                                   editorPlace_);
  descriptor_->hide();
  place->addWidget(descriptor_, 0, 0);
  setTabOrder(monitorDescriptorBox_, detailTiming_);
  setTabOrder(detailTiming_, descriptor_);
}

void CS6Dtim::Activate() {
  const EdidBytes shown = block_.Bytes();
  block_.SelectDescriptor(static_cast<unsigned>(blockIndex_));
  CreateEditors();
  const uint8_t version = sheet_.StructureVersion();
  const bool refill = refillPending_ || version != rememberedVersion_;
  if (refill) Refill(version);
  monitorDescriptorBox_->setEnabled(rememberedVersion_ != kVersion10);
  ShowChosenEditor(refill);
  codeWindow_.HighlightRange(Offset(), Offset() + kDescriptorSize - 1, false);
  KeepShownBytes(block_, codeWindow_, shown, version != openedVersion_, Offset(), Offset() + kDescriptorSize - 1);
}

void CS6Dtim::Refill(uint8_t version) {
  rememberedVersion_ = version;
  refillPending_ = false;
  const DescriptorTag tag = block_.GetDescriptorTag();
  const bool isDescriptor = version != kVersion10 && tag.isDescriptor;
  if (isDescriptor)
    descriptor_->FillForTag(tag.tag);
  else
    detailTiming_->FillFromBlock();
  monitorDescriptor_ = isDescriptor ? 1 : 0;
  monitorDescriptorBox_->setChecked(isDescriptor);
}

// After a refill the shown editor writes even when it was visible already: its kind and values
// were just taken from the block, and writing them makes the visible sub-editor (or text field)
// match the block's kind again.
void CS6Dtim::ShowChosenEditor(bool writeEvenIfShown) {
  monitorDescriptor_ = monitorDescriptorBox_->isChecked() ? 1 : 0;
  QWidget* shown = monitorDescriptor_ ? static_cast<QWidget*>(descriptor_) : static_cast<QWidget*>(detailTiming_);
  QWidget* hidden = monitorDescriptor_ ? static_cast<QWidget*>(detailTiming_) : static_cast<QWidget*>(descriptor_);
  const bool becomesVisible = shown->isHidden();
  hidden->hide();
  shown->show();
  if (!becomesVisible && !writeEvenIfShown) return;
  if (monitorDescriptor_)
    descriptor_->ShowSelectedKind();
  else
    detailTiming_->WriteAll();
}

bool CS6Dtim::validatePage() {
  const QStringList restored =
      monitorDescriptor_ ? descriptor_->RestoreRefusedFields() : detailTiming_->RestoreRefusedFields();
  if (restored.isEmpty()) return true;
  ShowEntryWarning(this, QString::fromLatin1(texts::kFieldsSetBack).arg(restored.join(QLatin1String(", "))));
  return false;
}

void CS6Dtim::OnMonitorDescriptorClicked() {
  block_.SelectDescriptor(static_cast<unsigned>(blockIndex_));
  ShowChosenEditor(false);
}

}  // namespace tolvex
