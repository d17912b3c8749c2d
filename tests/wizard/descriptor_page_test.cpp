// The descriptor block page over a real block and code window: which editor a block gets under
// each structure version, the rewrite when an editor becomes visible, the kind switch, when the
// page refills, and activation both ways through a real QWizard.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QWizard>
#include <QtTest>

#include "gui/modal_support.h"
#include "wizard/block_fixture.h"
#include "wizard/s6_dtim_page.h"

using namespace tolvex;
using namespace tolvex::testing;

namespace {

const QString kTitle = QStringLiteral("Step 6 of 9 : Detailed timing and Descriptor description (BLOCK 1)");

// 00 00 00 FC 00 "TOLVEX" 0A and six blanks: a monitor name at 54-71.
void PutMonitorName(BlockFixture& fx, int offset) {
  fx.Put(offset, {0x00, 0x00, 0x00, 0xFC, 0x00, 'T', 'O', 'L', 'V', 'E', 'X', 0x0A, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20});
}

}  // namespace

class DescriptorPageTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    fx_ = std::make_unique<BlockFixture>();
    fx_->SetVersion(0x13);
    state_.version = 0x13;
    PutMonitorName(*fx_, 54);
    page_ = std::make_unique<CS6Dtim>(state_, *fx_->block, *fx_->code, 0, kTitle);
    page_->show();
  }
  void cleanup() {
    page_.reset();
    fx_.reset();
  }

  void monitorNameUnder13ShowsTheDescriptorEditor() {
    const EdidBytes before = fx_->block->Bytes();
    page_->Activate();
    QVERIFY(Box()->isChecked());
    QVERIFY(Box()->isEnabled());
    QVERIFY(Visible("descriptorEditor"));
    QVERIFY(!Visible("detailTimingEditor"));
    QCOMPARE(Child<QComboBox>("tagSelector")->currentText(), QStringLiteral("Monitor Name"));
    QCOMPARE(Child<QLineEdit>("descriptorText")->text(), QStringLiteral("TOLVEX"));
    QCOMPARE(Child<QLabel>("descriptorTextLabel")->text(), QStringLiteral("Monitor Name :"));
    QCOMPARE(fx_->block->Bytes(), before);  // rewritten from what was read: the same bytes
    QVERIFY(fx_->Selects(54, 71));
    QCOMPARE(page_->title(), kTitle);
  }

  void sameBlockUnder10IsRewrittenAsDetailedTiming() {
    fx_->SetVersion(0x10);
    state_.version = 0x10;
    fx_->block->Bytes()[63] = 0x20;  // changed behind the code window's back: stale until rewritten
    page_->Activate();
    QVERIFY(!Box()->isChecked());
    QVERIFY(!Box()->isEnabled());
    QVERIFY(Visible("detailTimingEditor"));
    QVERIFY(!Visible("descriptorEditor"));
    QCOMPARE(Child<QLineEdit>("pixelClock")->text(), QStringLiteral("0"));
    QCOMPARE(Child<QLineEdit>("hActive")->text(), QStringLiteral("0"));
    QCOMPARE(Child<QLineEdit>("hBlanking")->text(), QStringLiteral("252"));
    QVERIFY(fx_->ChecksumAndDumpCurrent());
    QVERIFY(fx_->Selects(54, 71));
  }

  void uncheckingMakesADetailedTimingAndCheckingRestoresTheName() {
    page_->Activate();
    Box()->click();
    QVERIFY(Visible("detailTimingEditor"));
    for (int b = 54; b <= 71; ++b) QCOMPARE(fx_->At(b), uint8_t{0});  // the editor was never filled
    QVERIFY(fx_->ChecksumAndDumpCurrent());
    QVERIFY(fx_->Selects(54, 71));

    Box()->click();
    QVERIFY(Visible("descriptorEditor"));
    fx_->block->SelectDescriptor(0);
    QVERIFY(fx_->block->GetDescriptorTag().isDescriptor);
    QCOMPARE(fx_->block->GetDescriptorTag().tag, kTagMonitorName);
    QCOMPARE(fx_->block->GetDescriptorText(), std::string("TOLVEX"));
    QVERIFY(fx_->ChecksumAndDumpCurrent());
  }

  void reentryKeepsTheEditorsUntilTheVersionChanges() {
    page_->Activate();
    PutMonitorName(*fx_, 54);
    fx_->Put(59, {'O', 'T', 'H', 'E', 'R'});
    fx_->block->SelectDescriptor(2);
    page_->Activate();
    QCOMPARE(fx_->block->CurrentDescriptorIndex(), 0u);
    QCOMPARE(fx_->At(59), uint8_t{'O'});  // neither refilled nor rewritten
    QCOMPARE(Child<QLineEdit>("descriptorText")->text(), QStringLiteral("TOLVEX"));

    state_.version = 0x12;
    page_->Activate();
    QCOMPARE(Child<QLineEdit>("descriptorText")->text(), QStringLiteral("OTHERX"));

    fx_->Put(59, {'A', 'B', 'C', 0x0A});
    page_->Invalidate();
    page_->Activate();
    QCOMPARE(Child<QLineEdit>("descriptorText")->text(), QStringLiteral("ABC"));
  }

  void refillSwitchesTheVisibleSubEditorToTheBlocksKind() {
    page_->Activate();
    // Page 1 loads a report whose block 1 is a range limits descriptor.
    fx_->Put(54, {0x00, 0x00, 0x00, 0xFD, 0x00, 0x32, 0xA0, 0x1E, 0x5F, 0x17, 0x00, 0x0A});
    page_->Invalidate();
    page_->Activate();
    QCOMPARE(Child<QComboBox>("tagSelector")->currentText(), QStringLiteral("Monitor Range Limits"));
    QVERIFY(Visible("rangeLimitsEditor"));
    QVERIFY(!Visible("descriptorText"));
    QCOMPARE(Child<QLineEdit>("maxVertical")->text(), QStringLiteral("160"));
    fx_->block->SelectDescriptor(0);
    QCOMPARE(fx_->block->GetDescriptorTag().tag, kTagRangeLimits);
    QCOMPARE(fx_->block->GetRangeLimits().maxPixelClockMHz, uint16_t{230});
  }

  void unknownTagIsKeptUntilAKindIsChosen() {
    fx_->Put(54, {0x00, 0x00, 0x00, 0x10, 0x00, 0x12, 0x34, 0x56});
    const EdidBytes before = fx_->block->Bytes();
    page_->Activate();
    QVERIFY(Box()->isChecked());
    QCOMPARE(Child<QComboBox>("tagSelector")->currentIndex(), -1);
    QCOMPARE(fx_->block->Bytes(), before);
    Child<QComboBox>("tagSelector")->setCurrentIndex(3);
    QCOMPARE(fx_->At(57), kTagMonitorName);
    QVERIFY(Visible("descriptorText"));
  }

  void unknownTagComesBackAfterADetailedTiming() {
    fx_->Put(54, {0x00, 0x00, 0x00, 0x10, 0x00, 0x12, 0x34, 0x56, 0x78, 0x9A});
    const EdidBytes before = fx_->block->Bytes();
    page_->Activate();
    Box()->click();  // a detailed timing from the never-filled editor: all zero
    QCOMPARE(fx_->At(57), uint8_t{0});
    Box()->click();
    QVERIFY(Visible("descriptorEditor"));
    QCOMPARE(Child<QComboBox>("tagSelector")->currentIndex(), -1);
    QCOMPARE(fx_->block->Bytes(), before);
    QVERIFY(fx_->ChecksumAndDumpCurrent());
    QVERIFY(fx_->Selects(54, 71));
    fx_->block->SelectDescriptor(0);
    QCOMPARE(fx_->block->GetDescriptorTag().tag, uint8_t{0x10});
  }

  // The list editors' entry fields are no reason to stay on a page. A field that shows an entry
  // the block refused is set back to the stored value when the page is left, with a message, and
  // the page stays once so that the user sees it.
  void leavingSetsRefusedEntriesBack() {
    page_.reset();
    // Block 1 a detailed timing, block 2 a colour point whose entry fields still hold index 0,
    // block 3 range limits of 50-75 Hz, 30-83 kHz, 170 MHz.
    fx_->Put(54, {0x30, 0x2A, 0x00, 0x98, 0x51});
    fx_->Put(72, {0x00, 0x00, 0x00, 0xFB, 0x00, 0x01, 0x05, 0x50, 0x54, 0x78, 0, 0, 0, 0, 0, 0x0A, 0x20, 0x20});
    fx_->Put(90, {0x00, 0x00, 0x00, 0xFD, 0x00, 50, 75, 30, 83, 17, 0x00, 0x0A, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20});
    QWizard wizard;
    std::array<CS6Dtim*, 3> pages{};
    for (int i = 0; i < 3; ++i) {
      pages[i] = new CS6Dtim(state_, *fx_->block, *fx_->code, i, kTitle);
      wizard.addPage(pages[i]);
    }
    wizard.show();
    ModalAnswerer answerer;

    QLineEdit* hActive = pages[0]->findChild<QLineEdit*>("hActive");
    Retype(hActive, QStringLiteral("5000"));
    QCOMPARE(answerer.Texts(), QStringList{QStringLiteral("Please enter an integer between 0 and 4095.")});
    const EdidBytes before = fx_->block->Bytes();
    wizard.next();
    QCOMPARE(wizard.currentId(), 0);
    QCOMPARE(answerer.Texts().value(1), QStringLiteral("Set back to the value the EDID block holds: H. Active"));
    QCOMPARE(hActive->text(), QStringLiteral("500"));
    QCOMPARE(fx_->block->Bytes(), before);
    wizard.next();
    QCOMPARE(wizard.currentId(), 1);

    QCOMPARE(pages[1]->findChild<QLineEdit*>("whitePointIndex")->text(), QStringLiteral("0"));
    wizard.next();
    QCOMPARE(wizard.currentId(), 2);
    QCOMPARE(answerer.Texts().size(), 2);

    QLineEdit* minVertical = pages[2]->findChild<QLineEdit*>("minVertical");
    Retype(minVertical, QStringLiteral("300"));
    QCOMPARE(answerer.Texts().size(), 3);
    QVERIFY(!wizard.validateCurrentPage());
    QCOMPARE(answerer.Texts().value(3), QStringLiteral("Set back to the value the EDID block holds: Min. Vertical Rate"));
    QCOMPARE(minVertical->text(), QStringLiteral("30"));  // "3" and "30" were written as typed
    QCOMPARE(fx_->block->GetRangeLimits().minVerticalHz, 30);
    QVERIFY(wizard.validateCurrentPage());
  }

  void activatesOnNextAndOnBack() {
    page_.reset();
    fx_->Put(72, {0x30, 0x2A, 0x00, 0x98, 0x51});  // block 2 a detailed timing
    QWizard wizard;
    auto* first = new CS6Dtim(state_, *fx_->block, *fx_->code, 0, kTitle);
    auto* second = new CS6Dtim(state_, *fx_->block, *fx_->code, 1, kTitle);
    wizard.addPage(first);
    wizard.addPage(second);
    wizard.show();
    QVERIFY(fx_->Selects(54, 71));
    wizard.next();
    QCOMPARE(fx_->block->CurrentDescriptorIndex(), 1u);
    QVERIFY(fx_->Selects(72, 89));
    QCOMPARE(second->findChild<QLineEdit*>("pixelClock")->text(), QStringLiteral("108"));
    wizard.back();
    QCOMPARE(fx_->block->CurrentDescriptorIndex(), 0u);
    QVERIFY(fx_->Selects(54, 71));
    QCOMPARE(first->findChild<QLineEdit*>("descriptorText")->text(), QStringLiteral("TOLVEX"));
  }

 private:
  template <typename T>
  T* Child(const QString& name) {
    T* child = page_->findChild<T*>(name);
    if (!child) qFatal("no child %s", qPrintable(name));
    return child;
  }
  QCheckBox* Box() { return Child<QCheckBox>("monitorDescriptor"); }
  bool Visible(const QString& name) { return Child<QWidget>(name)->isVisible(); }

  FakeWizardState state_;
  std::unique_ptr<BlockFixture> fx_;
  std::unique_ptr<CS6Dtim> page_;
};

QTEST_MAIN(DescriptorPageTest)
#include "descriptor_page_test.moc"
