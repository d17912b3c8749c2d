// The "Check" pane in the whole program on simulated hardware: it lists the findings of the
// current block, follows opened files and monitor reads, selects a finding's bytes in the code
// window, is remembered open or closed, and EDID Write asks before sending a block with failures.
#include <QtTest>

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>

#include "app/check_pane.h"
#include "app/check_pane_texts.h"
#include "app/edid_code_dlg.h"
#include "check/edid_check.h"
#include "ddc/sim/sim_edid.h"
#include "gui/modal_support.h"
#include "gui/sim_app_support.h"
#include "report/code_dump.h"
#include "report/edid_report.h"
#include "test_support.h"

using namespace tolvex;
using namespace tolvex::testing;

namespace {

QStringList Rules(const CCheckPane& pane) {
  QStringList rules;
  for (const CheckFinding& finding : pane.Findings()) {
    rules << QString::fromLatin1(finding.rule.data(), static_cast<qsizetype>(finding.rule.size()));
  }
  return rules;
}

EdidBytes EepromBlock(sim::SimMonitor& monitor) {
  EdidBytes bytes{};
  std::copy_n(monitor.AnalogEeprom().Memory().begin(), bytes.size(), bytes.begin());
  return bytes;
}

// Opens a report of `block` in the program, as File Open does.
void OpenBlock(SimulatedProgram& program, EdidBlock& block, const QString& path) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(QByteArray::fromStdString(FormatEdidReport(block)));
  file.close();
  QVERIFY(program.Frame().OpenDocumentFile(path));
}

}  // namespace

class CheckPaneTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(settingsFolder_.isValid());
    UseTemporarySettings(settingsFolder_);
  }

  void aCleanBlockSaysSoFromTheStart() {
    EdidBlock block;
    sim::FillSimulatedEdid(block, false);
    const EdidExtensions extensions;
    CCheckPane pane(block, extensions, [] { return true; }, nullptr);
    QCOMPARE(pane.Summary()->text(), QString::fromLatin1(texts::kCheckClean));
    QCOMPARE(pane.List()->topLevelItemCount(), 0);
  }

  void listsTheFindingsAndChoosingOneSelectsItsBytes() {
    SimulatedProgram program;
    CMainFrame& frame = program.Frame();
    frame.show();
    CCheckPane& pane = frame.CheckPane();
    QVERIFY(pane.isVisible());
    // A new program's block, opened from a file: it has no manufacturer yet.
    EdidBlock blank;
    blank.Bytes() = frame.Block().Bytes();
    OpenBlock(program, blank, folder_.filePath("blank.ddc"));
    QCOMPARE(Rules(pane).value(0), QStringLiteral("manufacturer"));
    QCOMPARE(pane.List()->topLevelItemCount(), static_cast<int>(pane.Findings().size()));
    QCOMPARE(pane.List()->topLevelItem(0)->text(0), QStringLiteral("8-9"));
    QVERIFY(pane.Summary()->text().startsWith(QStringLiteral("1 failure(s)")));
    frame.Action(kCmdEdidCode)->trigger();  // the open showed the code window; the click shows it again
    QVERIFY(!frame.IsCodeWindowShown());

    QTreeWidgetItem* row = pane.List()->topLevelItem(0);
    QTest::mouseClick(pane.List()->viewport(), Qt::LeftButton, {}, pane.List()->visualItemRect(row).center());
    QVERIFY(frame.IsCodeWindowShown());
    QCOMPARE(frame.CodeWindow().SelectionStart(), CodeHexPosition(8));
    QCOMPARE(frame.CodeWindow().SelectionEnd(), CodeHexPosition(9) + 2);
  }

  void findingsInExtensionBlocksSelectTheirBytesByClickAndByArrowKey() {
    SimulatedProgram program;
    CMainFrame& frame = program.Frame();
    frame.show();
    EdidBlock base;
    sim::FillSimulatedEdid(base, false);
    std::vector<uint8_t> whole =
        test::MakeWholeEdid(base.Bytes(), {test::MakeCtaBlock(), test::MakeExtensionBlock(kTagDisplayId, 3)});
    whole[255] ^= 0x01;  // the CTA-861 block's checksum
    whole[383] ^= 0x01;  // the DisplayID block's
    const QString path = folder_.filePath("extensions.bin");
    WriteBytes(path, QByteArray(reinterpret_cast<const char*>(whole.data()), static_cast<qsizetype>(whole.size())));
    QVERIFY(frame.OpenDocumentFile(path));

    CCheckPane& pane = frame.CheckPane();
    QTreeWidget* list = pane.List();
    const auto selects = [&](int row) {
      const CheckFinding& finding = pane.Findings()[static_cast<size_t>(row)];
      return frame.CodeWindow().SelectionStart() == WholeCodeHexPosition(finding.first) &&
             frame.CodeWindow().SelectionEnd() == WholeCodeHexPosition(finding.last) + 2;
    };
    int inExtensions = 0;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
      if (pane.Findings()[static_cast<size_t>(row)].first < kEdidSize) continue;
      ++inExtensions;
      frame.CodeWindow().ClearHighlight();
      QTreeWidgetItem* item = list->topLevelItem(row);
      QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
      QVERIFY2(selects(row), qPrintable(item->text(2)));
      if (row == 0) continue;
      // From the row above, Down arrives here and selects these bytes.
      list->setCurrentItem(list->topLevelItem(row - 1));
      frame.CodeWindow().ClearHighlight();
      QTest::keyClick(list, Qt::Key_Down);
      QCOMPARE(list->currentItem(), item);
      QVERIFY2(selects(row), qPrintable(item->text(2)));
    }
    QVERIFY(inExtensions >= 2);
  }

  void followsAnOpenedFileAndAMonitorRead() {
    SimulatedProgram program;
    CMainFrame& frame = program.Frame();
    frame.show();
    EdidBlock block;
    sim::FillSimulatedEdid(block, false);
    block.Bytes()[126] = 1;  // an extension that is not there
    block.UpdateChecksum();
    {
      ModalAnswerer incomplete;  // the file lacks the announced block, and the program says so
      OpenBlock(program, block, folder_.filePath("extension.ddc"));
      QCOMPARE(incomplete.Seen().size(), size_t{1});
    }
    QCOMPARE(Rules(frame.CheckPane()), QStringList{QStringLiteral("extension-count")});

    ModalAnswerer answers;
    frame.Action(kCmdEdidRead)->trigger();
    QVERIFY(answers.Seen().empty());
    QVERIFY(frame.CheckPane().Findings().empty());
    QCOMPARE(frame.CheckPane().List()->topLevelItemCount(), 0);
    QVERIFY(!frame.CheckPane().Summary()->text().isEmpty());
  }

  void aClosedPaneCatchesUpWhenOpenedAndIsRememberedClosed() {
    {
      SimulatedProgram program;
      CMainFrame& frame = program.Frame();
      frame.show();
      frame.CheckPane().toggleViewAction()->trigger();
      QVERIFY(frame.CheckPane().isHidden());
      EdidBlock block;
      sim::FillSimulatedEdid(block, false);
      OpenBlock(program, block, folder_.filePath("clean.ddc"));
      // Not looked at while closed: it still shows the start, before any EDID.
      QCOMPARE(frame.CheckPane().Summary()->text(), QString::fromLatin1(texts::kCheckNothing));
    }
    SimulatedProgram next;
    next.Frame().show();
    QVERIFY(next.Frame().CheckPane().isHidden());
    QVERIFY(!next.Frame().CheckPane().toggleViewAction()->isChecked());
    EdidBlock block;
    sim::FillSimulatedEdid(block, false);
    OpenBlock(next, block, folder_.filePath("clean.ddc"));
    next.Frame().CheckPane().toggleViewAction()->trigger();
    QVERIFY(next.Frame().CheckPane().isVisible());
    QVERIFY(next.Frame().CheckPane().Findings().empty());

    // Closing the main window hides the pane with it, which is no choice to remember.
    {
      SimulatedProgram third;
      third.Frame().show();
      QVERIFY(third.Frame().CheckPane().isVisible());
      QVERIFY(third.Frame().close());
    }
    SimulatedProgram fourth;
    QVERIFY(!fourth.Frame().CheckPane().isHidden());
  }

  void edidWriteOfABlockWithFailuresAsksAndCancelIsTheDefault() {
    SimulatedProgram program;
    CMainFrame& frame = program.Frame();
    frame.show();
    frame.OnEdidCode();  // EDID Write is offered while the code window shows
    const EdidBytes eeprom = EepromBlock(program.Monitor());

    // Enter takes the default button.
    QString text;
    bool cancelIsDefault = false;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      text = box->text();
      cancelIsDefault = box->defaultButton() == box->button(QMessageBox::Cancel);
      QTest::keyClick(box, Qt::Key_Return);
    });
    frame.Action(kCmdEdidWrite)->trigger();
    QVERIFY(cancelIsDefault);
    QVERIFY(text.contains(QStringLiteral("failure: bytes 8-9: manufacturer: ")));
    QCOMPARE(EepromBlock(program.Monitor()), eeprom);

    // Extension blocks announced but not held: refused outright, no question first.
    frame.Block().Bytes()[126] = 3;
    frame.CodeWindow().HighlightRange(126, 126, true);
    {
      ModalAnswerer refused({QMessageBox::Yes});
      frame.Action(kCmdEdidWrite)->trigger();
      QCOMPARE(refused.Seen().size(), size_t{1});
      QCOMPARE(refused.Seen()[0].title, QStringLiteral("EDID write refused"));
    }
    QCOMPARE(EepromBlock(program.Monitor()), eeprom);
    frame.Block().Bytes()[126] = 0;
    frame.CodeWindow().HighlightRange(126, 126, true);

    ModalAnswerer writeAnyway({QMessageBox::Yes, QMessageBox::Yes});  // the failures, then another monitor
    frame.Action(kCmdEdidWrite)->trigger();
    QCOMPARE(writeAnyway.Seen().size(), size_t{2});
    QCOMPARE(writeAnyway.Seen()[0].title, QStringLiteral("EDID Write"));
    QCOMPARE(EepromBlock(program.Monitor()), frame.Block().Bytes());
  }

 private:
  QTemporaryDir settingsFolder_;
  QTemporaryDir folder_;
};

QTEST_MAIN(CheckPaneTest)
#include "check_pane_test.moc"
