// Steps 4 and 5 on real widgets: the established-timing bytes, and the standard-timing list with
// its lines, the Add rule and Add/Replace/Remove keeping the list and slots 0-7 in step.
#include <QtTest>

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>

#include "gui/modal_support.h"
#include "gui/render_support.h"
#include "wizard/s5_stim_page.h"
#include "wizard_fixture.h"

using namespace tolvex;
using namespace tolvex::testing;

namespace {

void SetSlot(EdidBlock& block, int slot, unsigned width, unsigned aspect, unsigned refresh) {
  block.SetStdTimingWidth(slot, width);
  block.SetStdTimingAspect(slot, aspect);
  block.SetStdTimingRefresh(slot, refresh);
}

}  // namespace

class TimingPagesTest : public QObject {
  Q_OBJECT

 private slots:
  void establishedTimingClickWritesAllThreeBytes() {
    WizardFixture f;
    f.Block().SetEstablishedTimings(0x21, 0x00, 0x7F);  // manufacturer bits 6-0 set
    f.Start();
    f.GoToStep(4);
    QVERIFY(f.Find<QAbstractButton>("establishedTiming2")->isChecked());
    QVERIFY(f.Find<QAbstractButton>("establishedTiming7")->isChecked());
    QVERIFY(!f.Find<QAbstractButton>("establishedTiming16")->isChecked());
    QVERIFY(f.Selects(35, 37));
    f.Click("establishedTiming15");
    f.Click("establishedTiming16");
    QCOMPARE(f.Bytes()[35], uint8_t{0x21});
    QCOMPARE(f.Bytes()[36], uint8_t{0x01});
    // Box 17 is bit 7; bits 6-0 have no box and are written as zero on any click.
    QCOMPARE(f.Bytes()[37], uint8_t{0x80});
    f.Click("establishedTiming2");
    QCOMPARE(f.Bytes()[35], uint8_t{0x01});
    QCOMPARE(f.Bytes()[37], uint8_t{0x80});
    f.Click("establishedTiming16");
    QCOMPARE(f.Bytes()[37], uint8_t{0x00});
    QVERIFY(f.ShowsBlock());
  }

  // Every box stands for exactly one bit, in the order of the labels.
  void eachBoxSetsItsOwnBit() {
    WizardFixture f;
    f.Start();
    f.GoToStep(4);
    for (int box = 0; box < 17; ++box) {
      const QByteArray name = "establishedTiming" + QByteArray::number(box);
      f.Click(name.constData());
      const std::array<uint8_t, 3> bytes = f.Block().GetEstablishedTimings();
      const uint32_t bits = uint32_t{bytes[0]} << 16 | uint32_t{bytes[1]} << 8 | bytes[2];
      QCOMPARE(bits, uint32_t{1} << (23 - box));
      f.Click(name.constData());
    }
    QVERIFY(f.ShowsBlock());
  }

  void listLinesFollowTheVersion_data() {
    QTest::addColumn<int>("revision");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("item0");
    QTest::newRow("1.2") << 2 << "1280 x 1280\t 75Hz\tAspect ratio =  1:1" << "1:1";
    QTest::newRow("1.3") << 3 << "1280 x  800\t 75Hz\tAspect ratio = 16:10" << "16:10";
  }
  void listLinesFollowTheVersion() {
    QFETCH(int, revision);
    QFETCH(QString, line);
    QFETCH(QString, item0);
    WizardFixture f;
    f.Block().SetVersion(1, static_cast<uint8_t>(revision));
    SetSlot(f.Block(), 0, 1280, 0, 75);
    SetSlot(f.Block(), 1, 1280, 2, 85);
    // Slot 2 unused, slot 3 used: the list stops at slot 2.
    SetSlot(f.Block(), 3, 640, 1, 60);
    f.Start();
    f.GoToStep(5);
    auto* list = f.Find<QListWidget>("timingList");
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->item(0)->text(), line);
    QCOMPARE(list->item(1)->text(), QStringLiteral("1280 x 1024\t 85Hz\tAspect ratio =  5:4"));
    QCOMPARE(f.Find<QComboBox>("aspectCombo")->itemText(0), item0);
    QCOMPARE(f.Find<QComboBox>("aspectCombo")->currentIndex(), -1);
    QVERIFY(f.Selects(38, 53));
  }

  // The list's tabs are column stops: "1024 x 1024" and "100Hz" stay apart however wide the
  // characters are, also where eleven of them end just short of a stop every 80 pixels.
  void listColumnsStayApart() {
    WizardFixture f;
    f.Block().SetVersion(1, 2);
    SetSlot(f.Block(), 0, 1024, 0, 100);
    f.Start();
    f.GoToStep(5);
    auto* list = f.Find<QListWidget>("timingList");
    list->clearSelection();
    QFont font = list->font();
    font.setPixelSize(12);
    for (int hundredths = -80; hundredths <= 0; hundredths += 2) {
      font.setLetterSpacing(QFont::AbsoluteSpacing, hundredths / 100.0);
      list->setFont(font);
      const QImage line = list->viewport()->grab(list->visualItemRect(list->item(0))).toImage();
      const double advance = QFontMetricsF(font).horizontalAdvance(QLatin1Char('0'));
      // 1024 | x | 1024 | 100Hz | Aspect | ratio | = | 1:1
      QVERIFY2(CountWords(line, 0.75 * advance) == 8, qPrintable(QStringLiteral("spacing %1 px").arg(hundredths / 100.0)));
    }
  }

  void addRuleAndAdd() {
    WizardFixture f;
    f.Start();
    f.GoToStep(5);
    auto* list = f.Find<QListWidget>("timingList");
    auto* add = f.Find<QPushButton>("addButton");
    QCOMPARE(list->count(), 0);
    QVERIFY(!add->isEnabled());
    f.Type("timingWidthEdit", "255");
    f.Type("timingRefreshEdit", "85");
    QVERIFY(!add->isEnabled());
    f.Type("timingWidthEdit", "1280");
    QVERIFY(add->isEnabled());
    f.Type("timingRefreshEdit", "124");
    QVERIFY(!add->isEnabled());
    f.Type("timingRefreshEdit", "85");
    f.Find<QComboBox>("aspectCombo")->setCurrentIndex(2);
    f.ClickButton(add);
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->item(0)->text(), QStringLiteral("1280 x 1024\t 85Hz\tAspect ratio =  5:4"));
    QCOMPARE(f.Bytes()[38], uint8_t{0x81});
    QCOMPARE(f.Bytes()[39], uint8_t{0x99});
    QCOMPARE(list->currentRow(), 0);
    QVERIFY(f.Selects(38, 39));
    QVERIFY(f.ShowsBlock());
  }

  void addWithoutAnAspectChoiceTakesCode0AndShowsIt() {
    WizardFixture f;
    f.Start();
    f.GoToStep(5);
    f.Type("timingWidthEdit", "1024");
    f.Type("timingRefreshEdit", "60");
    QCOMPARE(f.Find<QComboBox>("aspectCombo")->currentIndex(), -1);
    f.ClickButton(f.Find<QPushButton>("addButton"));
    QCOMPARE(f.Find<QComboBox>("aspectCombo")->currentIndex(), 0);
    QCOMPARE(f.Block().GetStdTimingAspect(0), 0u);
    QVERIFY(f.Find<QListWidget>("timingList")->item(0)->text().endsWith(QStringLiteral(" 1:1")));
  }

  void fullListAndRemove() {
    WizardFixture f;
    f.Start();
    f.GoToStep(5);
    auto* list = f.Find<QListWidget>("timingList");
    auto* add = f.Find<QPushButton>("addButton");
    f.Find<QComboBox>("aspectCombo")->setCurrentIndex(1);
    for (int i = 0; i < 8; ++i) {
      f.Type("timingWidthEdit", QString::number(640 + 8 * i));
      f.Type("timingRefreshEdit", "60");
      f.ClickButton(add);
    }
    QCOMPARE(list->count(), 8);
    QVERIFY(!add->isEnabled());

    list->setCurrentRow(0);
    QVERIFY(f.Selects(38, 39));
    QCOMPARE(f.Text("timingWidthEdit"), QStringLiteral("640"));
    f.ClickButton(f.Find<QPushButton>("removeButton"));
    QCOMPARE(list->count(), 7);
    for (int slot = 0; slot < 7; ++slot) QCOMPARE(f.Block().GetStdTimingWidth(slot), 648u + 8 * slot);
    QCOMPARE(f.Bytes()[52], uint8_t{0x01});
    QCOMPARE(f.Bytes()[53], uint8_t{0x01});
    QVERIFY(add->isEnabled());
    QVERIFY(!f.Find("removeButton")->isEnabled());
    QVERIFY(!f.Find("replaceButton")->isEnabled());
    QVERIFY(f.Selects(38, 39));
    QVERIFY(f.ShowsBlock());
  }

  void removeRewritesAnUnlistedTail() {
    WizardFixture f;
    SetSlot(f.Block(), 0, 800, 1, 75);
    SetSlot(f.Block(), 1, 1024, 1, 70);
    SetSlot(f.Block(), 3, 640, 1, 60);  // behind the unused slot 2: not listed
    f.Start();
    f.GoToStep(5);
    auto* list = f.Find<QListWidget>("timingList");
    list->setCurrentRow(0);
    f.ClickButton(f.Find<QPushButton>("removeButton"));
    QCOMPARE(f.Block().GetStdTimingWidth(0), 1024u);
    for (int slot = 1; slot < 8; ++slot) QVERIFY(f.Block().IsStdTimingUnused(slot));
  }

  void replaceKeepsLineAndSlotInStep() {
    WizardFixture f;
    SetSlot(f.Block(), 0, 800, 1, 75);
    SetSlot(f.Block(), 1, 1024, 1, 70);
    f.Start();
    f.GoToStep(5);
    auto* list = f.Find<QListWidget>("timingList");
    list->setCurrentRow(1);
    // Replace is not bound by the Add rule: the slot takes the clamped width and rate, and the
    // line shows what the slot holds.
    f.Type("timingWidthEdit", "4000");
    f.Type("timingRefreshEdit", "30");
    f.ClickButton(f.Find<QPushButton>("replaceButton"));
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->currentRow(), 1);
    QCOMPARE(f.Block().GetStdTimingWidth(1), 2288u);
    QCOMPARE(f.Block().GetStdTimingRefresh(1), 60u);
    QCOMPARE(list->item(1)->text(), CS5Stim::TimingLine(2288, 1, 60, 0x12));
    QCOMPARE(f.Text("timingWidthEdit"), QStringLiteral("2288"));
    QVERIFY(f.Selects(40, 41));

    // A width the slot cannot hold exactly is listed as stored.
    f.Type("timingWidthEdit", "1366");
    f.Type("timingRefreshEdit", "60");
    f.ClickButton(f.Find<QPushButton>("replaceButton"));
    QVERIFY(list->item(1)->text().startsWith(QStringLiteral("1360 x 1020")));

    // Not a number: refused with the message, nothing written, the line stays.
    ModalAnswerer answerer;
    const EdidBytes before = f.Bytes();
    f.Type("timingWidthEdit", "x");
    f.ClickButton(f.Find<QPushButton>("replaceButton"));
    QCOMPARE(answerer.Texts(), QStringList{QStringLiteral("Please enter an integer.")});
    QVERIFY(f.Bytes() == before);
    QCOMPARE(list->count(), 2);
  }

  void leavingThePageRemembersTheAspectAndReplaceNeedsASelection() {
    WizardFixture f;
    SetSlot(f.Block(), 0, 800, 1, 75);
    f.Start();
    f.GoToStep(5);
    auto* combo = f.Find<QComboBox>("aspectCombo");
    f.Type("timingWidthEdit", "1024");
    f.Type("timingRefreshEdit", "70");
    combo->setCurrentIndex(3);
    f.ClickButton(f.Wizard().button(QWizard::BackButton));
    f.ClickButton(f.Wizard().button(QWizard::NextButton));
    QCOMPARE(f.Wizard().currentId(), 4);
    QCOMPARE(combo->currentIndex(), 3);
    QCOMPARE(f.Text("timingWidthEdit"), QStringLiteral("1024"));

    // Nothing selected: Replace and Remove do nothing.
    const EdidBytes before = f.Bytes();
    auto* replace = f.Find<QPushButton>("replaceButton");
    auto* remove = f.Find<QPushButton>("removeButton");
    replace->setEnabled(true);
    remove->setEnabled(true);
    f.ClickButton(replace);
    f.ClickButton(remove);
    QVERIFY(f.Bytes() == before);
    QCOMPARE(f.Find<QListWidget>("timingList")->count(), 1);
  }

  void versionChangeRebuildsTheList() {
    WizardFixture f;
    SetSlot(f.Block(), 0, 1280, 0, 60);
    f.Start();
    f.GoToStep(5);
    auto* list = f.Find<QListWidget>("timingList");
    QVERIFY(list->item(0)->text().startsWith(QStringLiteral("1280 x 1280")));
    while (f.Wizard().currentId() > 0) f.Wizard().back();
    f.Click("version3");
    f.GoToStep(5);
    QVERIFY(list->item(0)->text().startsWith(QStringLiteral("1280 x  800")));
    QCOMPARE(f.Find<QComboBox>("aspectCombo")->itemText(0), QStringLiteral("16:10"));
    // A later activation selects the remembered aspect code again.
    QCOMPARE(f.Find<QComboBox>("aspectCombo")->currentIndex(), 0);
  }
};

QTEST_MAIN(TimingPagesTest)
#include "timing_pages_test.moc"
