// Step 1 on real widgets: the hexadecimal/decimal entry rule, radix switches, byte swap, the
// unused serial, the date rules, the version choice, and loading a block from a report file.
#include <QtTest>

#include <QCheckBox>
#include <QFile>
#include <QRadioButton>
#include <QTemporaryDir>

#include "document/framework_texts.h"
#include "gui/modal_support.h"
#include "report/edid_report.h"
#include "wizard/s1_prod_page.h"
#include "wizard/wizard_texts.h"
#include "wizard_fixture.h"

using namespace tolvex;
using namespace tolvex::testing;

namespace {

const QString kProductMessage = QString::fromLatin1(wizard_text::kProductCodeWrongCharacter);
const QString kSerialMessage = QString::fromLatin1(wizard_text::kSerialWrongCharacter);

}  // namespace

class S1ProdPageTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    f_ = std::make_unique<WizardFixture>();
    f_->Start();
  }
  void cleanup() { f_.reset(); }

  void fillsFromTheBlockAndHighlightsItsBytes() {
    QCOMPARE(f_->Wizard().StructureVersion(), uint8_t{0x12});
    QVERIFY(f_->Find<QRadioButton>("version2")->isChecked());
    QCOMPARE(f_->Text("productCodeEdit"), QStringLiteral("0000"));
    QCOMPARE(f_->Text("serialEdit"), QStringLiteral("0"));
    QCOMPARE(f_->Text("yearEdit"), QStringLiteral("2024"));
    QCOMPARE(f_->Text("weekEdit"), QString::number(f_->Block().GetWeek()));
    QVERIFY(f_->Selects(8, 19));
  }

  void manufacturerIsUpperCasedAndWrittenAsTyped() {
    f_->Type("manufacturerEdit", "ab");
    QCOMPARE(f_->Text("manufacturerEdit"), QStringLiteral("AB"));
    QCOMPARE(f_->Bytes()[8], uint8_t{0x04});
    QCOMPARE(f_->Bytes()[9], uint8_t{0x40});
    QVERIFY(f_->ShowsBlock());
    QVERIFY(f_->Selects(8, 9));
  }

  void productCodeEntryRule() {
    ModalAnswerer answerer;
    f_->Type("productCodeEdit", "12g");
    QCOMPARE(f_->Text("productCodeEdit"), QStringLiteral("12"));
    QCOMPARE(answerer.Texts(), QStringList{kProductMessage});
    QCOMPARE(answerer.Seen()[0].title, QString::fromLatin1(texts::kApplicationTitle));
    QCOMPARE(answerer.Seen()[0].icon, QMessageBox::Warning);
    QCOMPARE(f_->Block().GetProductCode(), uint16_t{0x12});

    // A fifth hexadecimal digit is dropped without a word; lower case is taken as upper case.
    f_->TypeMore("productCodeEdit", "ab5");
    QCOMPARE(f_->Text("productCodeEdit"), QStringLiteral("12AB"));
    QCOMPARE(answerer.Texts().size(), 1);
    QCOMPARE(f_->Bytes()[10], uint8_t{0xAB});
    QCOMPARE(f_->Bytes()[11], uint8_t{0x12});
    QVERIFY(f_->ShowsBlock());

    // An empty field stores 0 and stays empty.
    f_->Find<QLineEdit>("productCodeEdit")->selectAll();
    QTest::keyClick(f_->Find<QLineEdit>("productCodeEdit"), Qt::Key_Backspace);
    QCOMPARE(f_->Text("productCodeEdit"), QString());
    QCOMPARE(f_->Block().GetProductCode(), uint16_t{0});
  }

  void decimalCeilingsAndLengths() {
    ModalAnswerer answerer;
    f_->Click("productDecRadio");
    f_->Type("productCodeEdit", "65536");
    QCOMPARE(f_->Text("productCodeEdit"), QStringLiteral("0"));
    QCOMPARE(f_->Block().GetProductCode(), uint16_t{0});
    f_->Type("productCodeEdit", "655351");
    QCOMPARE(f_->Text("productCodeEdit"), QStringLiteral("65535"));
    QCOMPARE(f_->Block().GetProductCode(), uint16_t{65535});
    f_->Type("productCodeEdit", "1A");
    QCOMPARE(f_->Text("productCodeEdit"), QStringLiteral("1"));
    QCOMPARE(answerer.Texts(), QStringList{kProductMessage});

    f_->Click("serialDecRadio");
    f_->Type("serialEdit", "4294967296");
    QCOMPARE(f_->Text("serialEdit"), QStringLiteral("0"));
    QCOMPARE(f_->Block().GetSerialNumber(), 0u);
    f_->Type("serialEdit", "4294967295");
    QCOMPARE(f_->Block().GetSerialNumber(), 4294967295u);
    QCOMPARE(f_->Block().GetSerialFormat(), kSerialDecimal);
  }

  void serialHexTakesLowerCaseAndRefusesOthers() {
    ModalAnswerer answerer;
    f_->Type("serialEdit", "abc");
    QCOMPARE(f_->Text("serialEdit"), QStringLiteral("abc"));
    QCOMPARE(f_->Block().GetSerialNumber(), 0xABCu);
    f_->TypeMore("serialEdit", "x");
    QCOMPARE(f_->Text("serialEdit"), QStringLiteral("abc"));
    QCOMPARE(answerer.Texts(), QStringList{kSerialMessage});
    f_->Type("serialEdit", "123456789");
    QCOMPARE(f_->Text("serialEdit"), QStringLiteral("12345678"));
    QCOMPARE(f_->Block().GetSerialNumber(), 0x12345678u);
    QVERIFY(f_->Selects(12, 15));
  }

  void radixSwitches() {
    f_->Type("productCodeEdit", "FFFF");
    f_->Click("productDecRadio");
    QCOMPARE(f_->Text("productCodeEdit"), QStringLiteral("65535"));
    QCOMPARE(f_->Block().GetProductCodeFormat(), kProductCodeDecimal);
    f_->Type("productCodeEdit", "255");
    f_->Click("productHexRadio");
    QCOMPARE(f_->Text("productCodeEdit"), QStringLiteral("FF"));
    QCOMPARE(f_->Block().GetProductCode(), uint16_t{0xFF});

    f_->Type("serialEdit", "1F");
    f_->Click("serialDecRadio");
    QCOMPARE(f_->Text("serialEdit"), QStringLiteral("31"));
    f_->Click("serialAsciiRadio");
    QCOMPARE(f_->Text("serialEdit"), QString());
    QCOMPARE(f_->Block().GetSerialNumber(), 0x20202020u);
    f_->Type("serialEdit", "AB");
    QCOMPARE(f_->Bytes()[15], uint8_t{'A'});
    QCOMPARE(f_->Bytes()[14], uint8_t{'B'});
    QCOMPARE(f_->Bytes()[13], uint8_t{' '});
    QCOMPARE(f_->Bytes()[12], uint8_t{' '});
    f_->TypeMore("serialEdit", "CDE");
    QCOMPARE(f_->Text("serialEdit"), QStringLiteral("ABCD"));
    QCOMPARE(f_->Block().GetSerialFormat(), kSerialAscii);
    // Leaving ASCII starts again from 0.
    f_->Click("serialHexRadio");
    QCOMPARE(f_->Text("serialEdit"), QStringLiteral("0"));
    QCOMPARE(f_->Block().GetSerialNumber(), 0u);
  }

  void byteSwap() {
    f_->Type("productCodeEdit", "1234");
    QCOMPARE(f_->Bytes()[10], uint8_t{0x34});
    QCOMPARE(f_->Bytes()[11], uint8_t{0x12});
    f_->Click("byteSwapCheck");
    QVERIFY(f_->Find<QCheckBox>("byteSwapCheck")->isChecked());
    QCOMPARE(f_->Bytes()[10], uint8_t{0x12});
    QCOMPARE(f_->Bytes()[11], uint8_t{0x34});
    QCOMPARE(f_->Block().GetProductCodeFormat(), kProductCodeSwapped);
    QVERIFY(f_->ShowsBlock());
  }

  void unusedSerial() {
    f_->Type("serialEdit", "1234");
    f_->Click("unusedCheck");
    QCOMPARE(f_->Block().GetSerialNumber(), 0x01010101u);
    QCOMPARE(f_->Block().GetSerialFormat(), uint8_t{kSerialUnused});
    QVERIFY(!f_->Find("serialEdit")->isEnabled());
    QVERIFY(!f_->Find("serialDecRadio")->isEnabled());
    QCOMPARE(f_->Text("serialEdit"), QStringLiteral("1234"));
    QVERIFY(f_->ShowsBlock());
    f_->Click("unusedCheck");
    QCOMPARE(f_->Block().GetSerialNumber(), 0x1234u);
    QCOMPARE(f_->Block().GetSerialFormat(), kSerialHex);
    QVERIFY(f_->Find("serialEdit")->isEnabled());
  }

  void serialSwitchesReadLowerCaseAndAsciiComesBackFromUnused() {
    f_->Type("serialEdit", "abc");
    f_->Click("serialDecRadio");
    QCOMPARE(f_->Text("serialEdit"), QStringLiteral("2748"));
    QCOMPARE(f_->Block().GetSerialNumber(), 2748u);
    f_->Click("serialHexRadio");
    QCOMPARE(f_->Text("serialEdit"), QStringLiteral("ABC"));
    // Clicking the mode already chosen changes nothing and only selects the bytes.
    f_->Code().ClearHighlight();
    f_->Click("serialHexRadio");
    QCOMPARE(f_->Text("serialEdit"), QStringLiteral("ABC"));
    QVERIFY(f_->Selects(12, 15));

    f_->Click("serialAsciiRadio");
    f_->Type("serialEdit", "XY");
    f_->Click("unusedCheck");
    QCOMPARE(f_->Block().GetSerialFormat(), uint8_t{kSerialUnused | kSerialAscii});
    QVERIFY(!f_->Find("serialAsciiRadio")->isEnabled());
    f_->Click("unusedCheck");
    QCOMPARE(f_->Block().GetSerialNumber(), 0x58592020u);
    QCOMPARE(f_->Block().GetSerialFormat(), kSerialAscii);

    // An empty product code switches as 0.
    f_->Find<QLineEdit>("productCodeEdit")->clear();
    f_->Click("productDecRadio");
    QCOMPARE(f_->Text("productCodeEdit"), QStringLiteral("0"));
    QCOMPARE(f_->Block().GetProductCode(), uint16_t{0});
    QVERIFY(f_->ShowsBlock());
  }

  void weekAndYearRanges() {
    ModalAnswerer answerer;
    const uint8_t yearByte = f_->Bytes()[17];
    f_->Type("yearEdit", "2054");
    QCOMPARE(f_->Bytes()[17], yearByte);
    QVERIFY(answerer.Texts().isEmpty());
    // Leaving the field reads the page.
    f_->Find("manufacturerEdit")->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(answerer.Texts(), QStringList{QStringLiteral("Please enter an integer between 1990 and 2053.")});
    // The offscreen platform does not reactivate the sheet after the box; the sheet's focus is what counts.
    QCOMPARE(f_->Wizard().focusWidget(), f_->Find("yearEdit"));
    f_->Type("yearEdit", "2053");
    QCOMPARE(f_->Bytes()[17], uint8_t{63});

    // The week is checked when it is left, not on every key, and then shows what the block holds.
    f_->Find("weekEdit")->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    const qsizetype messages = answerer.Texts().size();
    f_->Type("weekEdit", "54");
    QCOMPARE(answerer.Texts().size(), messages);
    QCOMPARE(f_->Bytes()[16], uint8_t{5});  // the "5" before it was taken
    QVERIFY(f_->Selects(16, 16));
    // Next is refused while the week is wrong.
    f_->Wizard().next();
    QCOMPARE(f_->Wizard().currentId(), 0);
    QCOMPARE(answerer.Texts().value(messages), QStringLiteral("Please enter an integer between 0 and 53."));
    QCOMPARE(f_->Text("weekEdit"), QStringLiteral("5"));
    f_->Type("weekEdit", "60");
    f_->Find("yearEdit")->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(f_->Text("weekEdit"), QStringLiteral("6"));
    QCOMPARE(f_->Bytes()[16], uint8_t{6});
  }

  // Bytes 8-9 code A-Z alone: any other character is refused with the framework's message.
  void manufacturerTakesLettersOnly_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("digit") << "S1M" << "SM";
    QTest::newRow("dot") << "0.9" << "";
    QTest::newRow("letters") << "tlx" << "TLX";
  }
  void manufacturerTakesLettersOnly() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    ModalAnswerer answerer;
    f_->Type("manufacturerEdit", typed);
    QCOMPARE(f_->Text("manufacturerEdit"), shown);
    const auto refused = std::count_if(typed.begin(), typed.end(), [](QChar c) { return !c.isLetter(); });
    QCOMPARE(answerer.Texts(), QStringList(refused, QStringLiteral("Please enter only the letters A to Z.")));
    QCOMPARE(answerer.Seen().empty() ? QMessageBox::Warning : answerer.Seen()[0].icon, QMessageBox::Warning);
    QCOMPARE(QString::fromStdString(f_->Block().GetManufacturerId()).left(shown.size()), shown);
  }

  void versionChoiceSetsTheSheetVersion() {
    f_->Click("version3");
    QCOMPARE(f_->Wizard().StructureVersion(), uint8_t{0x13});
    QCOMPARE(f_->Bytes()[18], uint8_t{1});
    QCOMPARE(f_->Bytes()[19], uint8_t{3});
    QVERIFY(f_->Selects(18, 19));
    QVERIFY(f_->ShowsBlock());
  }

  void loadsBothDumpLayouts_data() {
    QTest::addColumn<bool>("olderLayout");
    QTest::newRow("current") << false;
    QTest::newRow("older") << true;
  }
  void loadsBothDumpLayouts() {
    QFETCH(bool, olderLayout);
    EdidBlock source([] { return CalendarDate{2003, 3, 1}; });
    source.SetManufacturerId("QRS");
    source.SetProductCode(0x3412);
    source.SetProductCodeFormat(kProductCodeDecimal | kProductCodeSwapped);
    source.SetSerialText("XY");
    source.SetSerialFormat(kSerialAscii);
    source.SetVersion(1, 3);
    source.SetDigitalInput(true);
    source.SetGamma(2.2f);
    source.SetStdTimingWidth(0, 1280);
    source.UpdateChecksum();
    std::string report = FormatEdidReport(source);
    if (olderLayout) report = ToOlderDumpLayout(report);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("monitor.ddc"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(report.data(), static_cast<qint64>(report.size()));
    file.close();

    f_->Wizard().next();  // step 2 fills under version 1.2 ...
    f_->Wizard().back();
    f_->Wizard().ProductPage()->SetFileChooser([&path](QWidget*) { return path; });
    f_->Click("loadButton");
    QVERIFY(f_->Bytes() == source.Bytes());
    QCOMPARE(f_->Block().GetProductCodeFormat(), uint8_t{kProductCodeDecimal | kProductCodeSwapped});
    QCOMPARE(f_->Block().GetSerialFormat(), kSerialAscii);
    QCOMPARE(f_->Wizard().StructureVersion(), uint8_t{0x13});
    QVERIFY(f_->Find<QRadioButton>("version3")->isChecked());
    QCOMPARE(f_->Text("manufacturerEdit"), QStringLiteral("QRS"));
    QCOMPARE(f_->Text("productCodeEdit"), QStringLiteral("04660"));  // 0x1234 as entered
    QCOMPARE(f_->Text("serialEdit"), QStringLiteral("XY  "));
    QVERIFY(f_->ShowsBlock());
    // ... and refills from the loaded block on its next activation.
    f_->Wizard().next();
    QVERIFY(f_->Find<QCheckBox>("digitalCheck")->isChecked());
    QCOMPARE(f_->Text("gammaEdit"), QStringLiteral("2.2"));
  }

  void loadFailuresChangeNothing() {
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing.ddc"));
    const QString notReport = dir.filePath(QStringLiteral("notes.ddc"));
    QFile file(notReport);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("EDID log file\r\n  0: 01   1: ff\r\n");
    file.close();
    const EdidBytes before = f_->Bytes();

    ModalAnswerer answerer;
    QString chosen = missing;
    f_->Wizard().ProductPage()->SetFileChooser([&chosen](QWidget*) { return chosen; });
    f_->Click("loadButton");
    chosen = notReport;
    f_->Click("loadButton");
    chosen.clear();  // the user cancels the dialog
    f_->Click("loadButton");
    QCOMPARE(answerer.Seen().size(), size_t{2});
    QCOMPARE(answerer.Seen()[0].text, QStringLiteral("Cannot open file !"));
    QCOMPARE(answerer.Seen()[0].title, QStringLiteral("Open error"));
    QCOMPARE(answerer.Seen()[0].icon, QMessageBox::Critical);
    QCOMPARE(answerer.Seen()[1].text, QStringLiteral("Invalid ddc log file !"));
    QCOMPARE(answerer.Seen()[1].title, QStringLiteral("Data error"));
    QVERIFY(f_->Bytes() == before);
  }

 private:
  // The older dump layout: two blanks between cells and values padded with a blank, not a zero.
  static std::string ToOlderDumpLayout(const std::string& report) {
    const size_t dump = report.find("  0: 00   1: ff");
    std::string head = report.substr(0, dump);
    std::string rows;
    for (size_t line = dump; line < report.size();) {
      const size_t end = report.find("\r\n", line);
      const std::string row = report.substr(line, end - line);
      for (size_t cell = 0; cell + 7 <= row.size(); cell += 8) {
        const std::string index = row.substr(cell, 5);
        std::string value = row.substr(cell + 5, 2);
        if (value[0] == '0') value[0] = ' ';
        rows += index + value + (cell + 8 < row.size() ? "  " : "");
      }
      rows += "\r\n";
      line = end + 2;
    }
    return head + rows;
  }

  std::unique_ptr<WizardFixture> f_;
};

QTEST_MAIN(S1ProdPageTest)
#include "s1_prod_page_test.moc"
