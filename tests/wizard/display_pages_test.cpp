// Steps 2 and 3 on real widgets: the video input byte with its analog and DFP rules, image size
// and gamma refusals, the feature byte by version, and the chromaticity coordinates.
#include <QtTest>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>

#include "gui/modal_support.h"
#include "gui/render_support.h"
#include "wizard_fixture.h"

using namespace tolvex;
using namespace tolvex::testing;

class DisplayPagesTest : public QObject {
  Q_OBJECT

 private slots:
  // "Phosphor\t(0.000 - 0.999)": the tab keeps the two apart on the screen.
  void phosphorLabelKeepsItsTab() {
    WizardFixture f;
    f.Start();
    f.GoToStep(3);
    auto* group = f.Find<QGroupBox>("chromaticityGroup");
    QLabel* phosphor = nullptr;
    for (QLabel* label : group->findChildren<QLabel*>())
      if (label->text().startsWith(QStringLiteral("Phosphor"))) phosphor = label;
    QVERIFY(phosphor);
    const QRect row(0, phosphor->y(), group->width(), phosphor->height());
    const double blank = 1.5 * QFontMetricsF(phosphor->font()).horizontalAdvance(QLatin1Char(' '));
    QCOMPARE(CountWords(group->grab(row).toImage(), blank), 2);
  }

  void digitalInputGreysTheAnalogGroupAndUntickingRestoresIt() {
    WizardFixture f;
    f.Block().Bytes()[20] = 0x6F;
    f.Start();
    f.GoToStep(2);
    QVERIFY(f.Find<QAbstractButton>("signalLevel3")->isChecked());
    QVERIFY(f.Find("serrationCheck")->isEnabled());
    f.Click("digitalCheck");
    QCOMPARE(f.Bytes()[20], uint8_t{0x80});
    QVERIFY(!f.Find("analogGroup")->isEnabled());
    QVERIFY(f.Find("dfpCheck")->isHidden());
    QVERIFY(f.Selects(20, 20));
    f.Click("digitalCheck");
    QCOMPARE(f.Bytes()[20], uint8_t{0x6F});
    QVERIFY(f.Find("analogGroup")->isEnabled());
    QVERIFY(f.ShowsBlock());
  }

  void serrationNeedsCompositeSyncOrSyncOnGreen() {
    WizardFixture f;
    f.Block().Bytes()[20] = 0x07;  // composite sync, sync on green, serration
    f.Start();
    f.GoToStep(2);
    f.Click("compositeSyncCheck");
    QVERIFY(f.Find("serrationCheck")->isEnabled());
    QCOMPARE(f.Bytes()[20], uint8_t{0x03});
    f.Click("syncOnGreenCheck");
    QVERIFY(!f.Find("serrationCheck")->isEnabled());
    QVERIFY(!f.Find<QCheckBox>("serrationCheck")->isChecked());
    QCOMPARE(f.Bytes()[20], uint8_t{0x00});
    f.Click("signalLevel2");
    QCOMPARE(f.Bytes()[20], uint8_t{0x40});
  }

  void dfpChoiceOnlyForDigitalUnderVersion13() {
    WizardFixture f;
    f.Block().SetVersion(1, 3);
    f.Start();
    f.GoToStep(2);
    QVERIFY(f.Find("dfpCheck")->isHidden());
    f.Click("digitalCheck");
    QVERIFY(!f.Find("dfpCheck")->isHidden());
    f.Click("dfpCheck");
    QCOMPARE(f.Bytes()[20], uint8_t{0x81});
    f.Click("dfpCheck");
    QCOMPARE(f.Bytes()[20], uint8_t{0x80});
  }

  void sizesAndGammaRefuseOutOfRangeValues() {
    WizardFixture f;
    f.Start();
    f.GoToStep(2);
    ModalAnswerer answerer;
    f.Type("widthEdit", "300");
    QCOMPARE(answerer.Texts(), QStringList{QStringLiteral("Please enter an integer between 0 and 255.")});
    QCOMPARE(f.Bytes()[21], uint8_t{30});
    QCOMPARE(f.Wizard().focusWidget(), f.Find("widthEdit"));
    f.Type("widthEdit", "52");
    f.Type("heightEdit", "29");
    QCOMPARE(f.Bytes()[21], uint8_t{52});
    QCOMPARE(f.Bytes()[22], uint8_t{29});
    QVERIFY(f.Selects(22, 22));

    f.Type("gammaEdit", "2.2");
    QCOMPARE(f.Bytes()[23], uint8_t{120});
    f.Type("gammaEdit", "0.5");
    QCOMPARE(answerer.Texts().last(), QStringLiteral("Please enter a number between 1 and 3.55."));
    QCOMPARE(f.Bytes()[23], uint8_t{120});
    f.Type("gammaEdit", "3.55");
    QCOMPARE(f.Bytes()[23], uint8_t{255});
    QVERIFY(f.ShowsBlock());
  }

  void featureChoicesFollowTheVersion_data() {
    QTest::addColumn<int>("revision");
    QTest::addColumn<bool>("free");
    QTest::newRow("1.0") << 0 << false;
    QTest::newRow("1.1") << 1 << false;
    QTest::newRow("1.2") << 2 << true;
    QTest::newRow("1.3") << 3 << true;
  }
  void featureChoicesFollowTheVersion() {
    QFETCH(int, revision);
    QFETCH(bool, free);
    WizardFixture f;
    f.Block().SetVersion(1, static_cast<uint8_t>(revision));
    f.Block().Bytes()[24] = 0xEF;
    f.Start();
    f.GoToStep(3);
    // Showing the step leaves the byte alone; the first change writes it by the version's rules.
    QCOMPARE(f.Bytes()[24], uint8_t{0xEF});
    QCOMPARE(f.Find("colorSpaceCheck")->isEnabled(), free);
    QCOMPARE(f.Find("gtfCheck")->isEnabled(), free);
    QVERIFY(f.ShowsBlock());
    f.Click("standbyCheck");
    f.Click("displayType0");
    QCOMPARE(f.Bytes()[24], uint8_t{free ? 0x67 : 0x62});
  }

  void coordinatesAreWrittenTogetherWhenAllAreValid() {
    WizardFixture f;
    f.Block().SetChromaticity({0.64f, 0.33f, 0.30f, 0.60f, 0.15f, 0.06f, 0.313f, 0.329f});
    f.Start();
    f.GoToStep(3);
    QCOMPARE(f.Text("coordinate0"), QStringLiteral("0.64"));
    QCOMPARE(f.Text("coordinate6"), QStringLiteral("0.313"));

    ModalAnswerer answerer;
    f.Type("coordinate1", "0");
    QCOMPARE(f.Block().GetChromaticity()[kRedY], 0.0f);
    const EdidBytes before = f.Bytes();
    // A zero must start with the digit 0: ".0" is not a number.
    QTest::keyClick(f.Find("coordinate1"), Qt::Key_Home);
    QTest::keyClicks(f.Find("coordinate1"), ".");
    QCOMPARE(answerer.Texts(), QStringList{QStringLiteral("Please enter a number.")});
    f.Type("coordinate1", "1");
    QCOMPARE(answerer.Texts().last(), QStringLiteral("Please enter a number between 0 and 0.999."));
    QVERIFY(std::equal(before.begin() + 25, before.begin() + 35, f.Bytes().begin() + 25));

    f.Type("coordinate1", "0.5");
    QTest::keyClick(f.Find("coordinate1"), Qt::Key_Home);
    QTest::keyClick(f.Find("coordinate1"), Qt::Key_Delete);
    QCOMPARE(f.Text("coordinate1"), QStringLiteral(".5"));
    QCOMPARE(f.Block().GetChromaticity()[kRedY], 0.5f);
    QCOMPARE(f.Block().GetChromaticity()[kRedX], 0.64f);
    QCOMPARE(answerer.Texts().size(), 2);
    QVERIFY(f.Selects(25, 34));
    QVERIFY(f.ShowsBlock());
  }
};

QTEST_MAIN(DisplayPagesTest)
#include "display_pages_test.moc"
