// The EDID code window on real widgets: the exact dump text, the selections of HighlightRange and
// the in-place re-render that keeps the text's geometry.
#include <QtTest>

#include "app/edid_code_dlg.h"
#include "model/edid_block.h"
#include "model/edid_extensions.h"
#include "report/code_dump.h"
#include "test_support.h"

using namespace tolvex;

class EdidCodeDlgTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    block_ = std::make_unique<EdidBlock>();
    dlg_ = std::make_unique<CEdidCodeDlg>(*block_, nullptr);
    dlg_->Initialise();
  }
  void cleanup() {
    dlg_.reset();
    block_.reset();
  }

  void showsTheWholeBlockInTheFixedLayout() {
    const QString text = dlg_->Text();
    QCOMPARE(text.size(), 638);
    QCOMPARE(text.left(40), QStringLiteral("00x  00 FF FF FF FF FF FF 00  ........\r\n"));
    QCOMPARE(text, QString::fromLatin1(FormatCodeDump(block_->Bytes())));
  }

  void selectsWithoutChangingTextWhenNotRefreshing() {
    const QString before = dlg_->Text();
    dlg_->HighlightRange(54, 71, false);
    QCOMPARE(dlg_->SelectionStart(), 263);
    QCOMPARE(dlg_->SelectionEnd(), 348);
    QCOMPARE(dlg_->Text(), before);
    dlg_->ClearHighlight();
    QCOMPARE(dlg_->SelectionStart(), dlg_->SelectionEnd());
  }

  void refreshRewritesTheBytesAndTheChecksum() {
    block_->SetManufacturerId("XYZ");
    block_->SetProductCode(0x7F80);  // bytes 10-11: 0x80 (shown as ".") and 0x7F (shown as itself)
    dlg_->HighlightRange(8, 11, true);
    QCOMPARE(block_->GetChecksum(), ComputeExpectedChecksum());
    QCOMPARE(dlg_->Text(), QString::fromLatin1(FormatCodeDump(block_->Bytes())));
    QCOMPARE(dlg_->SelectionStart(), CodeHexPosition(8));
    QCOMPARE(dlg_->SelectionEnd(), CodeHexPosition(11) + 2);
  }

  void manyPartialRendersKeepTheGeometry() {
    // Ranges that start and end mid-row, span rows, and touch the checksum byte itself.
    const int ranges[][2] = {{17, 17}, {35, 37}, {38, 53}, {54, 71}, {60, 100}, {120, 127}, {0, 127}, {126, 126}};
    uint8_t value = 0x1F;
    for (const auto& range : ranges) {
      for (int b = std::max(range[0], 8); b <= std::min(range[1], 126); ++b) SetByte(b, value++);
      dlg_->HighlightRange(range[0], range[1], true);
      QCOMPARE(dlg_->Text().size(), 638);
      QCOMPARE(dlg_->Text(), QString::fromLatin1(FormatCodeDump(block_->Bytes())));
      QCOMPARE(dlg_->SelectionStart(), 40 * (range[0] / 8) + 3 * (range[0] % 8) + 5);
      QCOMPARE(dlg_->SelectionEnd(), 40 * (range[1] / 8) + 3 * (range[1] % 8) + 7);
    }
  }

  void refreshBeforeInitialisationOnlyKeepsTheChecksum() {
    EdidBlock block;
    CEdidCodeDlg dlg(block, nullptr);
    block.SetWeek(3);
    dlg.HighlightRange(16, 16, true);
    QCOMPARE(dlg.Text(), QString());
    uint8_t sum = 0;
    for (uint8_t b : block.Bytes()) sum += b;
    QCOMPARE(sum, uint8_t{0});
    dlg.Initialise();
    QCOMPARE(dlg.Text(), QString::fromLatin1(FormatCodeDump(block.Bytes())));
  }

  void showsEveryBlockOfAWholeEdidAndSelectsInAnyOfThem() {
    EdidExtensions extensions;
    CEdidCodeDlg dlg(*block_, extensions, nullptr);
    dlg.Initialise();
    QCOMPARE(dlg.Text(), QString::fromLatin1(FormatCodeDump(block_->Bytes())));
    const auto whole = [&] {
      return QString::fromLatin1(FormatCodeDump(block_->Bytes()) + FormatExtensionCodes(extensions.blocks));
    };

    // New blocks arrive the way a file or a monitor brings them: the bytes, then a refresh.
    extensions.blocks = {test::MakeCtaBlock(), test::MakeExtensionBlock(kTagDisplayId, 7),
                         test::MakeExtensionBlock(0x42, 9)};
    dlg.HighlightRange(0, 127, true);
    QCOMPARE(dlg.Text(), whole());
    QCOMPARE(dlg.Text().size(), WholeCodeDumpLength(3));
    QCOMPARE(dlg.Text().mid(WholeCodeHexPosition(128) - 5 - kCodeRowLength, kCodeRowLength),
             QStringLiteral("Block 1 (128-255): CTA-861 revision 3 \r\n"));
    QVERIFY(dlg.Text().contains(QStringLiteral("Block 3 (384-511): unknown tag 0x42")));

    // Ranges inside one block, across a heading, and an edit of an extension's bytes.
    const int ranges[][2] = {{128, 128}, {130, 140}, {250, 260}, {384, 511}, {0, 511}, {300, 301}};
    for (const auto& range : ranges) {
      extensions.blocks[1][range[0] % kEdidSize] ^= 0x5A;
      dlg.HighlightRange(range[0], range[1], true);
      QCOMPARE(dlg.Text(), whole());
      QCOMPARE(dlg.SelectionStart(), WholeCodeHexPosition(range[0]));
      QCOMPARE(dlg.SelectionEnd(), WholeCodeHexPosition(range[1]) + 2);
    }

    extensions.Clear();
    dlg.HighlightRange(17, 17, true);
    QCOMPARE(dlg.Text(), QString::fromLatin1(FormatCodeDump(block_->Bytes())));
  }

  void closingHidesAndTellsTheOwner() {
    int closed = 0;
    connect(dlg_.get(), &CEdidCodeDlg::closedByUser, this, [&closed] { ++closed; });
    dlg_->show();
    QVERIFY(QTest::qWaitForWindowExposed(dlg_.get()));
    dlg_->close();
    QCOMPARE(closed, 1);
    QVERIFY(!dlg_->isVisible());
    QCOMPARE(dlg_->Text().size(), 638);
  }

 private:
  // Writes a byte straight into the block, as a field operation would; never through the window.
  void SetByte(int b, uint8_t value) {
    block_->Bytes()[b] = value;
  }
  uint8_t ComputeExpectedChecksum() const {
    uint8_t sum = 0;
    for (int i = 0; i < 127; ++i) sum += block_->Bytes()[i];
    return static_cast<uint8_t>(0x100 - sum);
  }

  std::unique_ptr<EdidBlock> block_;
  std::unique_ptr<CEdidCodeDlg> dlg_;
};

QTEST_MAIN(EdidCodeDlgTest)
#include "edid_code_dlg_test.moc"
