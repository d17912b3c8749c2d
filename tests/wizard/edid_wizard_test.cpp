// The sheet: caption, page titles and buttons, placement against the frame, the checks on Back
// as well as Next, and Cancel.
#include <QtTest>

#include <QListWidget>

#include "gui/modal_support.h"
#include "wizard/wizard_texts.h"
#include "wizard_fixture.h"

using namespace tolvex;
using namespace tolvex::testing;

class EdidWizardTest : public QObject {
  Q_OBJECT

 private slots:
  void titlesAndButtonsStepByStep() {
    WizardFixture f;
    f.Start();
    QCOMPARE(f.Wizard().windowTitle(), QStringLiteral("Wizard"));
    const QStringList titles = {
        QStringLiteral("Step 1 of 9 : EDID Structure version / Production Identification"),
        QStringLiteral("Step 2 of 9 : Basic Display Parameters and Features"),
        QStringLiteral("Step 3 of 9 : DPMS and Color Characteristics"),
        QStringLiteral("Step 4 of 9 : Established Timings"),
        QStringLiteral("Step 5 of 9 : Standard Timing Identification"),
        QStringLiteral("Step 6 of 9 : Detailed timing and Descriptor description (BLOCK 1)"),
        QStringLiteral("Step 7 of 9 : Detailed timing and Descriptor description (BLOCK 2)"),
        QStringLiteral("Step 8 of 9 : Detailed timing and Descriptor description (BLOCK 3)"),
        QStringLiteral("Step 9 of 9 : Detailed timing and Descriptor description (BLOCK 4)"),
    };
    const int firstBytes[] = {8, 20, 24, 35, 38};
    const int lastBytes[] = {19, 23, 34, 37, 53};
    QWizard& w = f.Wizard();
    for (int step = 1; step <= 9; ++step) {
      QCOMPARE(w.currentId(), step - 1);
      QCOMPARE(w.currentPage()->title(), titles[step - 1]);
      QCOMPARE(w.button(QWizard::BackButton)->isVisible(), step > 1);
      QCOMPARE(w.button(QWizard::NextButton)->isVisible(), step < 9);
      QCOMPARE(w.button(QWizard::FinishButton)->isVisible(), step == 9);
      QVERIFY(w.button(QWizard::CancelButton)->isVisible());
      if (step <= 5) QVERIFY(f.Selects(firstBytes[step - 1], lastBytes[step - 1]));
      f.ClickButton(w.button(QWizard::NextButton));
    }
  }

  void placesItselfBelowTheFrameCorner() {
    EdidBlock block;
    CEdidCodeDlg code(block, nullptr);
    QWidget frame;
    frame.setGeometry(120, 90, 800, 600);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    CEdidWizard wizard(block, code, &frame);
    wizard.show();
    QVERIFY(QTest::qWaitForWindowExposed(&wizard));
    QCOMPARE(wizard.frameGeometry().topLeft(), frame.frameGeometry().topLeft() + QPoint(5, 72));
  }

  void backIsRefusedLikeNextWhileAFieldFails() {
    WizardFixture f;
    f.Start();
    f.GoToStep(2);
    ModalAnswerer answerer;
    const uint8_t gammaByte = f.Bytes()[23];
    f.Type("gammaEdit", "3.6");
    QCOMPARE(answerer.Texts().last(), QStringLiteral("Please enter a number between 1 and 3.55."));
    const qsizetype messages = answerer.Texts().size();
    f.ClickButton(f.Wizard().button(QWizard::BackButton));
    QCOMPARE(f.Wizard().currentId(), 1);
    QCOMPARE(answerer.Texts().size(), messages + 1);
    QCOMPARE(f.Wizard().focusWidget(), f.Find("gammaEdit"));
    f.ClickButton(f.Wizard().button(QWizard::NextButton));
    QCOMPARE(f.Wizard().currentId(), 1);
    QCOMPARE(f.Bytes()[23], static_cast<uint8_t>(gammaByte + 200));  // the "3" typed on the way

    f.Type("gammaEdit", "2.2");
    f.ClickButton(f.Wizard().button(QWizard::BackButton));
    QCOMPARE(f.Wizard().currentId(), 0);
    QCOMPARE(f.Bytes()[23], uint8_t{120});
  }

  void cancelRejects() {
    WizardFixture f;
    f.Start();
    f.GoToStep(3);
    f.ClickButton(f.Wizard().button(QWizard::CancelButton));
    QCOMPARE(f.Wizard().result(), int{QDialog::Rejected});
    QVERIFY(!f.Wizard().isVisible());
  }

  void versionChangeReachesLaterPagesOnTheirNextActivation() {
    WizardFixture f;
    f.Block().SetDigitalInput(true);
    f.Block().SetSerration(true);
    f.Block().SetVersion(1, 3);
    f.Start();
    f.GoToStep(2);
    QVERIFY(!f.Find("dfpCheck")->isHidden());
    QVERIFY(f.Find<QAbstractButton>("dfpCheck")->isChecked());
    f.Wizard().back();
    f.Click("version2");
    f.Wizard().next();
    QVERIFY(f.Find("dfpCheck")->isHidden());
    QCOMPARE(f.Bytes()[20], uint8_t{0x80});
    QVERIFY(f.ShowsBlock());
  }

  // Revision 4 is no version the sheet knows: no choice is marked, and every later page takes the
  // reading of a version other than 1.0, 1.1 and 1.3.
  void anUnknownRevisionMarksNoChoiceAndClearsNothing() {
    WizardFixture f;
    f.Block().SetVersion(1, 4);
    f.Block().Bytes()[20] = 0x81;  // digital, DFP bit set
    f.Block().Bytes()[24] = 0x05;  // sRGB and GTF
    f.Block().SetStdTimingWidth(0, 1280);
    f.Block().SetStdTimingAspect(0, 0);
    f.Block().SetStdTimingRefresh(0, 60);
    f.Start();
    QCOMPARE(f.Wizard().StructureVersion(), uint8_t{0x14});
    for (const char* choice : {"version0", "version1", "version2", "version3"}) {
      QVERIFY(!f.Find<QAbstractButton>(choice)->isChecked());
    }
    f.GoToStep(2);
    QVERIFY(f.Find("dfpCheck")->isHidden());
    // 1.4 reads bits 0-6 of a digital input as its interface and bit depth: they stay as they are.
    QCOMPARE(f.Bytes()[20], uint8_t{0x81});
    f.GoToStep(3);
    QVERIFY(!f.Find("colorSpaceCheck")->isEnabled());
    QVERIFY(!f.Find("gtfCheck")->isEnabled());
    QCOMPARE(f.Bytes()[24], uint8_t{0x05});
    f.GoToStep(5);
    QVERIFY(f.Find<QListWidget>("timingList")->item(0)->text().startsWith(QStringLiteral("1280 x 1280")));
    QVERIFY(f.ShowsBlock());
  }

  // Version bytes 0 0: the sheet's version stays unknown, so step 1 refills on every activation
  // and the later steps keep their first values until a version is chosen.
  void anUnknownVersionLeavesLaterPagesUnfilled() {
    WizardFixture f;
    f.Block().SetVersion(0, 0);
    f.Block().SetMaxImageWidth(40);
    f.Start();
    QCOMPARE(f.Wizard().StructureVersion(), uint8_t{0});
    f.Type("weekEdit", "9");
    f.GoToStep(2);
    QCOMPARE(f.Text("widthEdit"), QStringLiteral("0"));
    QCOMPARE(f.Bytes()[21], uint8_t{40});
    f.Block().SetWeek(33);  // what step 1 shows next comes from the block, not from the field
    f.ClickButton(f.Wizard().button(QWizard::BackButton));
    QCOMPARE(f.Text("weekEdit"), QStringLiteral("33"));
    f.Click("version1");
    QCOMPARE(f.Wizard().StructureVersion(), uint8_t{0x11});
    f.GoToStep(2);
    QCOMPARE(f.Text("widthEdit"), QStringLiteral("40"));
  }

  // Each field selects its own bytes in the code window when it gets the focus.
  void focusedFieldsSelectTheirBytes_data() {
    QTest::addColumn<int>("step");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::newRow("manufacturer") << 1 << "manufacturerEdit" << 8 << 9;
    QTest::newRow("product code") << 1 << "productCodeEdit" << 10 << 11;
    QTest::newRow("serial") << 1 << "serialEdit" << 12 << 15;
    QTest::newRow("week") << 1 << "weekEdit" << 16 << 16;
    QTest::newRow("year") << 1 << "yearEdit" << 17 << 17;
    QTest::newRow("width") << 2 << "widthEdit" << 21 << 21;
    QTest::newRow("height") << 2 << "heightEdit" << 22 << 22;
    QTest::newRow("gamma") << 2 << "gammaEdit" << 23 << 23;
    QTest::newRow("red x") << 3 << "coordinate0" << 25 << 34;
    QTest::newRow("white y") << 3 << "coordinate7" << 25 << 34;
  }
  void focusedFieldsSelectTheirBytes() {
    QFETCH(int, step);
    QFETCH(QString, field);
    QFETCH(int, first);
    QFETCH(int, last);
    WizardFixture f;
    f.Start();
    f.GoToStep(step);
    f.Code().ClearHighlight();
    f.Find(field.toLatin1().constData())->setFocus(Qt::TabFocusReason);
    QVERIFY(f.Selects(first, last));
  }
};

QTEST_MAIN(EdidWizardTest)
#include "edid_wizard_test.moc"
