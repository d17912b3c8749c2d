#include "wizard/edid_wizard_page.h"

#include <QApplication>
#include <QFocusEvent>

#include "document/edid_code_view.h"

namespace tolvex {

CEdidWizardPage::CEdidWizardPage(WizardState& sheet, EdidBlock& block, EdidCodeView& codeWindow,
                                 const QString& title, QWidget* parent)
    : QWizardPage(parent), sheet_(sheet), block_(block), codeWindow_(codeWindow),
      openedVersion_(StructureVersionOf(block)) {
  setTitle(title);
}

uint8_t StructureVersionOf(const EdidBlock& block) {
  const EdidVersion version = block.GetVersion();
  return static_cast<uint8_t>((version.version << 4) + version.revision);
}

void KeepShownBytes(EdidBlock& block, EdidCodeView& codeWindow, const EdidBytes& shown, bool versionChosen,
                    int selectFirst, int selectLast) {
  if (versionChosen || block.Bytes() == shown) return;
  block.Bytes() = shown;
  codeWindow.HighlightRange(0, kEdidSize - 1, true);
  codeWindow.HighlightRange(selectFirst, selectLast, false);
}

void CEdidWizardPage::Activate() {
  const bool firstTime = !activatedBefore_;
  activatedBefore_ = true;
  const EdidBytes shown = block_.Bytes();
  OnActivate(firstTime);
  KeepShownBytes(block_, codeWindow_, shown, sheet_.StructureVersion() != openedVersion_, selected_.first,
                 selected_.last);
}

bool CEdidWizardPage::TakeVersionChange() {
  if (sheet_.StructureVersion() == rememberedVersion_) return false;
  rememberedVersion_ = sheet_.StructureVersion();
  return true;
}

void CEdidWizardPage::Highlight(int first, int last, bool refresh) {
  if (!refresh) selected_ = {first, last};
  codeWindow_.HighlightRange(first, last, refresh);
}

void CEdidWizardPage::HighlightOnFocus(QWidget* field, int first, int last) {
  focusRanges_[field] = {first, last};
  field->installEventFilter(this);
}

void CEdidWizardPage::OnLeave(QWidget* field, std::function<void()> action) {
  leaveActions_[field] = std::move(action);
  field->installEventFilter(this);
}

bool CEdidWizardPage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) {
    if (auto found = focusRanges_.find(watched); found != focusRanges_.end()) {
      Highlight(found->second.first, found->second.last, false);
    }
  } else if (event->type() == QEvent::FocusOut) {
    // A message box or another window taking the focus is not the user leaving the field, and a
    // check's own message must not start the check again.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    const bool movedWithinPage = reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
    if (auto found = leaveActions_.find(watched); found != leaveActions_.end() && movedWithinPage && !leaving_) {
      // Runs once the focus has arrived, so that a failed check can take it back. Leaving for the
      // sheet's buttons is left to them: Back and Next check the page themselves, Cancel needs none.
      QMetaObject::invokeMethod(
          this,
          [this, action = found->second] {
            QWidget* focus = QApplication::focusWidget();
            if (leaving_ || !focus || !isAncestorOf(focus)) return;
            leaving_ = true;
            action();
            leaving_ = false;
          },
          Qt::QueuedConnection);
    }
  }
  return QWizardPage::eventFilter(watched, event);
}

}  // namespace tolvex
