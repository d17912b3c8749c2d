// The detailed timing editor on real widgets over a real block: what a fill shows, which bytes
// each field group rewrites, the sync-type captions and the stereo code 001, and that a failed
// check writes nothing.
#include <QButtonGroup>
#include <QCheckBox>
#include <QRadioButton>
#include <QtTest>

#include "gui/modal_support.h"
#include "wizard/block_fixture.h"
#include "wizard/detail_timing_dlg.h"

using namespace tolvex;
using namespace tolvex::testing;

namespace {

constexpr int kBlockIndex = 1;
constexpr int kOffset = 72;

}  // namespace

class DetailTimingTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    fx_ = std::make_unique<BlockFixture>();
    // 1280 x 1024 at 108 MHz, 376 x 301 mm, digital separate sync with both polarities positive.
    fx_->Put(kOffset, {0x30, 0x2A, 0x00, 0x98, 0x51, 0x00, 0x2A, 0x40, 0x30, 0x70, 0x13, 0x00, 0x78, 0x2D, 0x11,
                       0x00, 0x00, 0x1E});
    fx_->block->SelectDescriptor(kBlockIndex);
    dlg_ = std::make_unique<CDetailTimingDlg>(*fx_->block, *fx_->code, kBlockIndex);
    dlg_->FillFromBlock();
    dlg_->show();
    dlg_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dlg_.get()));
  }
  void cleanup() {
    dlg_.reset();
    fx_.reset();
  }

  void fillShowsTheBlock() {
    QCOMPARE(Edit("pixelClock")->text(), QStringLiteral("108"));
    QCOMPARE(Edit("hActive")->text(), QStringLiteral("1280"));
    QCOMPARE(Edit("hBlanking")->text(), QStringLiteral("408"));
    QCOMPARE(Edit("vSyncWidth")->text(), QStringLiteral("3"));
    QCOMPARE(Edit("vImageSize")->text(), QStringLiteral("301"));
    QVERIFY(Child<QRadioButton>("syncType3")->isChecked());
    QCOMPARE(Child<QCheckBox>("firstSyncFlag")->text(), QStringLiteral("Vsync Positive"));
    QCOMPARE(Child<QCheckBox>("secondSyncFlag")->text(), QStringLiteral("Hsync Positive"));
    QVERIFY(Child<QCheckBox>("firstSyncFlag")->isChecked());
  }

  void pixelClockShowsItsShortestForm_data() {
    QTest::addColumn<int>("units");
    QTest::addColumn<QString>("shown");
    QTest::newRow("whole") << 10800 << "108";
    QTest::newRow("two decimals") << 2518 << "25.18";
    QTest::newRow("one decimal") << 15750 << "157.5";
    QTest::newRow("largest") << 65535 << "655.35";
  }
  void pixelClockShowsItsShortestForm() {
    QFETCH(int, units);
    QFETCH(QString, shown);
    fx_->Put(kOffset, {static_cast<uint8_t>(units & 0xFF), static_cast<uint8_t>(units >> 8)});
    dlg_->FillFromBlock();
    QCOMPARE(Edit("pixelClock")->text(), shown);
  }

  void typingRewritesOnlyItsGroup_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::newRow("pixel clock") << "pixelClock" << "25.175" << 0 << 1;
    QTest::newRow("H. active") << "hActive" << "1024" << 2 << 4;
    QTest::newRow("H. blanking") << "hBlanking" << "4095" << 2 << 4;
    QTest::newRow("V. blanking") << "vBlanking" << "300" << 5 << 7;
    QTest::newRow("H. sync width") << "hSyncWidth" << "1000" << 8 << 11;
    QTest::newRow("V. sync offset") << "vSyncOffset" << "63" << 8 << 11;
    QTest::newRow("H. image size") << "hImageSize" << "2000" << 12 << 14;
    QTest::newRow("V. border") << "vBorder" << "7" << 15 << 16;
  }
  void typingRewritesOnlyItsGroup() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(int, first);
    QFETCH(int, last);
    const EdidBytes before = fx_->block->Bytes();
    Retype(Edit(field), text);
    const QList<int> changed = fx_->ChangedSince(before);
    QVERIFY(!changed.isEmpty());
    for (int b : changed) QVERIFY2(b >= kOffset + first && b <= kOffset + last, qPrintable(QString::number(b)));
    QVERIFY(fx_->ChecksumAndDumpCurrent());
    QVERIFY(fx_->Selects(kOffset + first, kOffset + last));
  }

  void typedValuesReadBackThroughTheCodec() {
    Retype(Edit("pixelClock"), QStringLiteral("25.175"));
    Retype(Edit("hSyncOffset"), QStringLiteral("1023"));
    Retype(Edit("vSyncWidth"), QStringLiteral("47"));
    QCOMPARE(fx_->block->GetHSyncOffset(), 1023u);
    QCOMPARE(fx_->block->GetVSyncWidth(), 47u);
    QCOMPARE(fx_->block->GetHSyncWidth(), 112u);  // the untouched neighbours of byte 11 kept
    dlg_->FillFromBlock();
    QCOMPARE(Edit("pixelClock")->text(), QStringLiteral("25.18"));
  }

  void syncTypeChangesCaptionsAndOnlyByte17() {
    const EdidBytes before = fx_->block->Bytes();
    QTest::mouseClick(Child<QRadioButton>("syncType0"), Qt::LeftButton);
    QCOMPARE(Child<QCheckBox>("firstSyncFlag")->text(), QStringLiteral("Serrate"));
    QCOMPARE(Child<QCheckBox>("secondSyncFlag")->text(), QStringLiteral("On RGB"));
    QCOMPARE(fx_->ChangedSince(before), QList<int>{kOffset + 17});
    QCOMPARE(fx_->block->GetSyncMode(), 0x3u);  // both flags kept, type 0
    QVERIFY(fx_->ChecksumAndDumpCurrent());
    QVERIFY(fx_->Selects(kOffset + 17, kOffset + 17));

    QTest::mouseClick(Child<QRadioButton>("syncType2"), Qt::LeftButton);
    QCOMPARE(Child<QCheckBox>("firstSyncFlag")->text(), QStringLiteral("Serrate"));
    QCOMPARE(Child<QCheckBox>("secondSyncFlag")->text(), QStringLiteral("Composite H+Vsync"));
    QTest::mouseClick(Child<QCheckBox>("secondSyncFlag"), Qt::LeftButton);
    QCOMPARE(fx_->block->GetSyncMode(), 0xAu);
  }

  void stereoCode001IsShownOnlyByTheHiddenButton() {
    fx_->Put(kOffset + 17, {0x01});
    dlg_->FillFromBlock();
    auto* hidden = Child<QRadioButton>("stereo1");
    QVERIFY(hidden->isChecked());
    QVERIFY(hidden->isHidden());
    QVERIFY(!Child<QRadioButton>("stereo0")->isChecked());
    QTest::mouseClick(Child<QRadioButton>("stereo7"), Qt::LeftButton);
    QCOMPARE(fx_->block->GetStereoMode(), 7u);
    QCOMPARE(fx_->At(kOffset + 17), uint8_t{0x61});
  }

  void invalidFieldBlocksEveryWrite() {
    ModalAnswerer answerer;
    Retype(Edit("hActive"), QStringLiteral("5000"));  // "500" is written, "5000" is refused
    QCOMPARE(answerer.Texts(), QStringList{QStringLiteral("Please enter an integer between 0 and 4095.")});
    QCOMPARE(answerer.Seen().front().title, QStringLiteral("tolvex3.01"));
    QCOMPARE(fx_->block->GetHActive(), 500u);
    const EdidBytes before = fx_->block->Bytes();
    Retype(Edit("vBorder"), QStringLiteral("9"));  // the whole form is checked: H. active still fails
    QCOMPARE(answerer.Texts().size(), 2);
    QCOMPARE(fx_->block->Bytes(), before);

    Retype(Edit("hActive"), QStringLiteral("640"));
    Retype(Edit("pixelClock"), QStringLiteral("x"));
    QCOMPARE(answerer.Texts().last(), QStringLiteral("Please enter a number."));
    Retype(Edit("pixelClock"), QStringLiteral("700"));
    QCOMPARE(answerer.Texts().last(), QStringLiteral("Please enter a number between 0 and 655.35."));
    QCOMPARE(fx_->block->GetPixelClock(), 70.0);  // the "70" typed on the way
  }

  void focusSelectsTheGroupWithoutWriting() {
    const EdidBytes before = fx_->block->Bytes();
    Edit("vSyncOffset")->setFocus();
    QTRY_VERIFY(fx_->Selects(kOffset + 8, kOffset + 11));
    QCOMPARE(fx_->block->Bytes(), before);
  }

 private:
  template <typename T>
  T* Child(const QString& name) {
    T* child = dlg_->findChild<T*>(name);
    if (!child) qFatal("no child %s", qPrintable(name));
    return child;
  }
  QLineEdit* Edit(const QString& name) { return Child<QLineEdit>(name); }

  std::unique_ptr<BlockFixture> fx_;
  std::unique_ptr<CDetailTimingDlg> dlg_;
};

QTEST_MAIN(DetailTimingTest)
#include "detail_timing_test.moc"
