// The monitor descriptor editor and its sub-editors over a real block: text kinds, the switch of
// kind, range limits before and in EDID 1.3, and the two list editors' buttons and stored entries.
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "gui/modal_support.h"
#include "wizard/block_fixture.h"
#include "wizard/descriptor_dlg.h"

using namespace tolvex;
using namespace tolvex::testing;

namespace {

constexpr int kBlockIndex = 2;
constexpr int o = 90;

}  // namespace

class MonitorDescriptorTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    fx_ = std::make_unique<BlockFixture>();
    fx_->block->SelectDescriptor(kBlockIndex);
    version_ = 0x12;
    dlg_ = std::make_unique<CDescriptorDlg>(*fx_->block, *fx_->code, kBlockIndex, [this] { return version_; });
    dlg_->show();
  }
  void cleanup() {
    dlg_.reset();
    fx_.reset();
  }

  void typedNameIsStoredAfterEveryKey() {
    Load({0x00, 0x00, 0x00, 0xFC, 0x00, 0x0A});
    for (const char* typed : {"A", "AB", "ABC"}) {
      QTest::keyClick(Edit("descriptorText"), typed[strlen(typed) - 1]);
      QVERIFY(fx_->Selects(o + 5, o + 17));
    }
    const EdidBytes& b = fx_->block->Bytes();
    const std::vector<uint8_t> expected = {0,   0,    0,    0xFC, 0,    'A',  'B',  'C',  0x0A,
                                           ' ', ' ',  ' ',  ' ',  ' ',  ' ',  ' ',  ' ',  ' '};
    QCOMPARE(std::vector<uint8_t>(b.begin() + o, b.begin() + o + 18), expected);
    QVERIFY(fx_->ChecksumAndDumpCurrent());

    Retype(Edit("descriptorText"), QStringLiteral("THIRTEEN-CHARS"));  // the 14th key is refused
    QCOMPARE(Edit("descriptorText")->text(), QStringLiteral("THIRTEEN-CHAR"));
    QCOMPARE(fx_->At(o + 17), uint8_t{'R'});
    fx_->block->SelectDescriptor(kBlockIndex);
    QCOMPARE(fx_->block->GetDescriptorText(), std::string("THIRTEEN-CHAR"));
  }

  void choosingRangeLimitsRewritesTheWholeBlock() {
    Load({0x00, 0x00, 0x00, 0xFC, 0x00, 'N', 'A', 'M', 'E', 0x0A});
    Child<QComboBox>("tagSelector")->setCurrentIndex(2);
    QVERIFY(Child<QWidget>("rangeLimitsEditor")->isVisible());
    QVERIFY(!Edit("descriptorText")->isVisible());
    const std::vector<uint8_t> expected = {0, 0, 0, 0xFD, 0, 0, 0, 0, 0, 0, 0x00, 0x0A, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20};
    const EdidBytes& b = fx_->block->Bytes();
    QCOMPARE(std::vector<uint8_t>(b.begin() + o, b.begin() + o + 18), expected);
    QVERIFY(fx_->Selects(o, o + 17));
    QVERIFY(fx_->ChecksumAndDumpCurrent());

    // Back to the name: the text field kept its value and writes it again.
    Child<QComboBox>("tagSelector")->setCurrentIndex(3);
    fx_->block->SelectDescriptor(kBlockIndex);
    QCOMPARE(fx_->block->GetDescriptorText(), std::string("NAME"));
    QCOMPARE(fx_->At(o + 3), kTagMonitorName);
  }

  void rangeLimitsBefore13MarkTheClockNotSpecified() {
    Load({0x00, 0x00, 0x00, 0xFD, 0x00, 0x32, 0xA0, 0x1E, 0x5F, 0xFF, 0x00, 0x0A});
    auto* box = Child<QCheckBox>("rangeCheckBox");
    QCOMPARE(box->text(), QStringLiteral("Not Specified"));
    QVERIFY(box->isChecked());
    QVERIFY(!Edit("maxPixelClock")->isEnabled());
    QCOMPARE(Edit("maxPixelClock")->text(), QStringLiteral("2550"));
    QVERIFY(!Edit("gtfStart")->isVisible());

    box->click();
    QVERIFY(Edit("maxPixelClock")->isEnabled());
    QCOMPARE(Edit("maxPixelClock")->text(), QStringLiteral("2550"));
    QCOMPARE(fx_->At(o + 9), uint8_t{0xFF});
    Retype(Edit("maxPixelClock"), QStringLiteral("135"));
    QCOMPARE(fx_->At(o + 9), uint8_t{14});

    ModalAnswerer answerer;
    Retype(Edit("minVertical"), QStringLiteral("256"));
    QCOMPARE(answerer.Texts(), QStringList{QStringLiteral("Please enter an integer between 0 and 255.")});
    QCOMPARE(fx_->At(o + 5), uint8_t{25});  // the "25" on the way
  }

  void rangeLimitsIn13OfferTheSecondaryCurve() {
    version_ = 0x13;
    Load({0x00, 0x00, 0x00, 0xFD, 0x00, 0x32, 0xA0, 0x1E, 0x5F, 0x17, 0x00, 0x0A});
    auto* box = Child<QCheckBox>("rangeCheckBox");
    QCOMPARE(box->text(), QStringLiteral("Secondary GTF timing formula support"));
    QVERIFY(!box->isChecked());
    QVERIFY(!Edit("gtfStart")->isVisible());
    QVERIFY(Edit("maxPixelClock")->isEnabled());
    const auto fieldColumn = [this] {
      QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
      return Edit("minVertical")->mapTo(dlg_.get(), QPoint()).x();
    };
    const int columnBefore = fieldColumn();

    box->click();
    QCOMPARE(fieldColumn(), columnBefore);  // the longer labels of the curve were reserved room
    const QStringList shown = {Edit("gtfStart")->text(), Edit("gtfC")->text(), Edit("gtfM")->text(),
                               Edit("gtfK")->text(), Edit("gtfJ")->text()};
    QCOMPARE(shown, (QStringList{"20", "40", "600", "128", "20"}));
    QVERIFY(Edit("gtfJ")->isVisible());
    const std::vector<uint8_t> gtf = {0x02, 0x00, 0x0A, 0x50, 0x58, 0x02, 0x80, 0x28};
    const EdidBytes& b = fx_->block->Bytes();
    QCOMPARE(std::vector<uint8_t>(b.begin() + o + 10, b.begin() + o + 18), gtf);
    QCOMPARE(fx_->At(o + 9), uint8_t{0x17});

    Retype(Edit("gtfM"), QStringLiteral("700"));
    QCOMPARE(fx_->At(o + 14), uint8_t{0xBC});
    QCOMPARE(fx_->At(o + 15), uint8_t{0x02});
  }

  void colorPointButtonsFollowTheOtherEntrysIndex() {
    // White point 1 with index 1 at 0.313, 0.329, gamma 2.2; the second is unused.
    Load({0x00, 0x00, 0x00, 0xFB, 0x00, 0x01, 0x05, 0x50, 0x54, 0x78, 0, 0, 0, 0, 0, 0x0A, 0x20, 0x20});
    auto* list = Child<QListWidget>("colorPointList");
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->item(0)->text(), QStringLiteral("# 1\tWhite(0.313  0.329)\tGamma(2.20)"));
    auto* add = Child<QPushButton>("colorPointAdd");
    auto* replace = Child<QPushButton>("colorPointReplace");
    auto* remove = Child<QPushButton>("colorPointRemove");

    Retype(Edit("whitePointIndex"), QStringLiteral("1"));
    QVERIFY(!add->isEnabled());
    Retype(Edit("whitePointIndex"), QStringLiteral("2"));
    Retype(Edit("whiteX"), QStringLiteral("0.28"));
    Retype(Edit("whiteY"), QStringLiteral("0.3"));
    Retype(Edit("whiteGamma"), QStringLiteral("1.8"));
    QVERIFY(add->isEnabled());
    add->click();
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->item(1)->text(), QStringLiteral("# 2\tWhite(0.280  0.300)\tGamma(1.80)"));
    QVERIFY(!add->isEnabled() && !replace->isEnabled() && !remove->isEnabled());
    QCOMPARE(fx_->At(o + 10), uint8_t{2});
    QCOMPARE(fx_->At(o + 14), uint8_t{80});
    QCOMPARE(fx_->At(o + 5), uint8_t{1});  // the first white point stays

    list->setCurrentRow(0);
    QVERIFY(remove->isEnabled());
    Retype(Edit("whitePointIndex"), QStringLiteral("2"));
    QVERIFY(!replace->isEnabled());
    Retype(Edit("whitePointIndex"), QStringLiteral("3"));
    QVERIFY(replace->isEnabled());

    list->setCurrentRow(0);
    remove->click();
    QCOMPARE(list->count(), 1);
    QVERIFY(list->item(0)->text().startsWith(QStringLiteral("# 2\t")));
    // 0.28 and 0.3 are stored as 287 and 307: low bits 3 and 3, high bytes 71 and 76.
    const std::vector<uint8_t> moved = {2, 0x0F, 71, 76, 80, 0, 0, 0, 0, 0, 0x0A, 0x20, 0x20};
    const EdidBytes& b = fx_->block->Bytes();
    QCOMPARE(std::vector<uint8_t>(b.begin() + o + 5, b.begin() + o + 18), moved);
    QVERIFY(fx_->ChecksumAndDumpCurrent());
    QVERIFY(add->isEnabled() && !remove->isEnabled());
  }

  void standardTimingsTakeSixAndCloseTheGapOnRemove() {
    Load({0x00, 0x00, 0x00, 0xFA, 0x00, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0x00});
    auto* list = Child<QListWidget>("stdTimingList");
    QCOMPARE(list->count(), 0);
    auto* add = Child<QPushButton>("stdTimingAdd");
    const int widths[] = {1280, 640, 800, 1024, 1152, 1600};
    for (int width : widths) {
      Retype(Edit("activePixels"), QString::number(width));
      Retype(Edit("refreshRate"), QStringLiteral("85"));
      auto* aspect = Child<QComboBox>("aspectRatio");
      aspect->setCurrentIndex(width == 1280 ? 2 : 1);
      emit aspect->activated(aspect->currentIndex());
      QVERIFY(add->isEnabled());
      add->click();
    }
    QCOMPARE(list->count(), 6);
    QCOMPARE(list->item(0)->text(), QStringLiteral("1280 x 1024\t 85Hz\tAspect ratio =  5:4"));
    QVERIFY(!add->isEnabled());
    Retype(Edit("refreshRate"), QStringLiteral("75"));
    QVERIFY(!add->isEnabled());  // six entries are all there is

    fx_->block->SelectDescriptor(kBlockIndex);
    list->setCurrentRow(1);
    Child<QPushButton>("stdTimingRemove")->click();
    QCOMPARE(list->count(), 5);
    const int remaining[] = {1280, 800, 1024, 1152, 1600};
    for (int j = 0; j < 5; ++j) QCOMPARE(fx_->block->GetStdTimingWidth(8 + j), static_cast<unsigned>(remaining[j]));
    QCOMPARE(fx_->At(o + 15), uint8_t{0x01});
    QCOMPARE(fx_->At(o + 16), uint8_t{0x01});
    QCOMPARE(fx_->At(o + 17), uint8_t{0x0A});
    QVERIFY(fx_->ChecksumAndDumpCurrent());
    QVERIFY(add->isEnabled());
  }

  void standardTimingsIn13CallCodeZeroSixteenTen() {
    version_ = 0x13;
    // 1280 pixels, aspect code 0, 60 Hz; then an unused pair ends the list before a used one.
    Load({0x00, 0x00, 0x00, 0xFA, 0x00, 0x81, 0x00, 0x01, 0x01, 0x61, 0x40, 1, 1, 1, 1, 1, 1, 0x0A});
    auto* list = Child<QListWidget>("stdTimingList");
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->item(0)->text(), QStringLiteral("1280 x  800\t 60Hz\tAspect ratio = 16:10"));
    QCOMPARE(Child<QComboBox>("aspectRatio")->itemText(0), QStringLiteral("16:10"));
  }

  void standardTimingNumberBeyondAnIntegerIsNoInteger() {
    Load({0x00, 0x00, 0x00, 0xFA, 0x00, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0x0A});
    auto* add = Child<QPushButton>("stdTimingAdd");
    Retype(Edit("refreshRate"), QStringLiteral("60"));
    // 2^32 + 256: cut to 32 bits it would read as 256 pixels.
    Retype(Edit("activePixels"), QStringLiteral("4294967552"));
    QVERIFY(!add->isEnabled());
    Retype(Edit("activePixels"), QStringLiteral("256"));
    QVERIFY(add->isEnabled());

    const EdidBytes before = fx_->block->Bytes();
    Edit("activePixels")->setText(QStringLiteral("4294967552"));  // set, not typed: no gating ran
    ModalAnswerer answerer;
    add->click();
    QCOMPARE(answerer.Texts(), QStringList{QStringLiteral("Please enter an integer.")});
    QCOMPARE(Child<QListWidget>("stdTimingList")->count(), 0);
    QCOMPARE(fx_->block->Bytes(), before);
  }

 private:
  // Puts a descriptor into the page's block, fills the editor for its tag and shows the kind, as
  // the page does on its first activation.
  void Load(std::initializer_list<uint8_t> bytes) {
    fx_->Put(o, bytes);
    fx_->block->SelectDescriptor(kBlockIndex);
    dlg_->FillForTag(fx_->At(o + 3));
    dlg_->ShowSelectedKind();
  }
  template <typename T>
  T* Child(const QString& name) {
    T* child = dlg_->findChild<T*>(name);
    if (!child) qFatal("no child %s", qPrintable(name));
    return child;
  }
  QLineEdit* Edit(const QString& name) { return Child<QLineEdit>(name); }

  uint8_t version_ = 0x12;
  std::unique_ptr<BlockFixture> fx_;
  std::unique_ptr<CDescriptorDlg> dlg_;
};

QTEST_MAIN(MonitorDescriptorTest)
#include "monitor_descriptor_test.moc"
