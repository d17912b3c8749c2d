// A wizard over a fresh block and an initialised code window, shown and active, with helpers that
// act on the real widgets as a user would.
#pragma once

#include <memory>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QtTest>

#include "app/edid_code_dlg.h"
#include "model/edid_block.h"
#include "report/code_dump.h"
#include "wizard/edid_wizard.h"

namespace tolvex::testing {

class WizardFixture {
 public:
  WizardFixture() : block_([] { return CalendarDate{2024, 6, 15}; }), code_(block_, nullptr) {}

  // Changes to the block made before Start are what the pages fill from.
  EdidBlock& Block() { return block_; }
  const EdidBytes& Bytes() const { return block_.Bytes(); }
  CEdidCodeDlg& Code() { return code_; }
  CEdidWizard& Wizard() { return *wizard_; }

  void Start() {
    block_.UpdateChecksum();
    code_.Initialise();
    wizard_ = std::make_unique<CEdidWizard>(block_, code_, nullptr);
    wizard_->show();
    wizard_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(wizard_.get()));
  }

  // The offscreen platform leaves no window active after a message box closes.
  void Reactivate() {
    if (wizard_->isActiveWindow()) return;
    wizard_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(wizard_.get()));
  }

  // Step numbers count from 1 as the titles do.
  void GoToStep(int step) {
    while (wizard_->currentId() + 1 < step) wizard_->next();
    QCOMPARE(wizard_->currentId() + 1, step);
  }

  template <typename T = QWidget>
  T* Find(const char* name) {
    T* widget = wizard_->findChild<T*>(QString::fromLatin1(name));
    if (!widget) qFatal("no widget %s", name);
    return widget;
  }

  // Focuses the field, selects its text and types over it.
  void Type(const char* field, const QString& text) {
    Reactivate();
    QLineEdit* edit = Find<QLineEdit>(field);
    edit->setFocus(Qt::TabFocusReason);
    edit->selectAll();
    QTest::keyClicks(edit, text);
  }
  void TypeMore(const char* field, const QString& text) {
    Reactivate();
    QLineEdit* edit = Find<QLineEdit>(field);
    edit->setFocus(Qt::TabFocusReason);
    edit->end(false);
    QTest::keyClicks(edit, text);
  }
  QString Text(const char* field) { return Find<QLineEdit>(field)->text(); }

  // Clicks a button, check box or radio button on its indicator/label.
  void Click(const char* name) {
    auto* button = Find<QAbstractButton>(name);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
  }
  void ClickButton(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

  // Whether the code window selects exactly bytes first..last.
  bool Selects(int first, int last) {
    return code_.SelectionStart() == CodeHexPosition(first) && code_.SelectionEnd() == CodeHexPosition(last) + 2;
  }
  // Whether the code window shows the block as it now is (bytes and checksum).
  bool ShowsBlock() {
    uint8_t sum = 0;
    for (uint8_t b : block_.Bytes()) sum = static_cast<uint8_t>(sum + b);
    return sum == 0 && code_.Text() == QString::fromLatin1(FormatCodeDump(block_.Bytes()));
  }

 private:
  EdidBlock block_;
  CEdidCodeDlg code_;
  std::unique_ptr<CEdidWizard> wizard_;
};

}  // namespace tolvex::testing
