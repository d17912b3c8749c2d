// The desktop program on simulated hardware, driven through its real menus and widgets: opening
// and saving reports, the I2C commands with their enabling rules, progress and error boxes, the
// EDID code window, the configuration dialog and its stored settings, closing with changes.
#include <QtTest>

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QComboBox>
#include <QFontDatabase>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRadioButton>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>

#include "app/check_pane.h"
#include "app/edid_code_dlg.h"
#include "app/report_printer.h"
#include "app/tolvex_view.h"
#include "ddc/sim/sim_edid.h"
#include "document/config_dlg.h"
#include "gui/modal_support.h"
#include "gui/sim_app_support.h"
#include "report/code_dump.h"
#include "report/edid_report.h"

using namespace tolvex;
using namespace tolvex::testing;

namespace {

// A block with recognisable content and a correct checksum.
void FillBlock(EdidBlock& block) {
  block.SetManufacturerId("QRS");
  block.SetProductCode(0x1234);
  block.SetSerialNumber(987654);
  block.SetWeek(17);
  block.SetYear(2004);
  block.SetMaxImageWidth(47);
  block.SetMaxImageHeight(30);
  block.UpdateChecksum();
}

QString ViewForm(const std::string& report) {
  return QString::fromLatin1(report.data(), static_cast<qsizetype>(report.size())).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

// The dump as older files hold it: "%3d: %2x" cells two blanks apart, no report above it.
QByteArray OlderLayoutDump(const EdidBytes& bytes) {
  QByteArray text;
  for (int row = 0; row < 16; ++row) {
    for (int column = 0; column < 8; ++column) {
      text += QByteArray(column ? "  " : "") +
              QString::asprintf("%3d: %2x", 8 * row + column, bytes[8 * row + column]).toLatin1();
    }
    text += "\r\n";
  }
  return text;
}

EdidBytes EepromBlock(sim::SimMonitor& monitor) {
  EdidBytes bytes{};
  std::copy_n(monitor.AnalogEeprom().Memory().begin(), bytes.size(), bytes.begin());
  return bytes;
}

}  // namespace

class MainFrameTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(settingsFolder_.isValid());
    UseTemporarySettings(settingsFolder_);
  }
  void init() {
    QSettings(QSettings::NativeFormat, QSettings::UserScope, "Marvane", "Tolvex").clear();
    QSettings(QSettings::NativeFormat, QSettings::UserScope, "Marvane", "tolvex3.01").clear();
  }

  void opensAReportWrittenByTheReportWriter() {
    SimulatedProgram program;
    EdidBlock source;
    FillBlock(source);
    const std::string report = FormatEdidReport(source);
    const QString path = folder_.filePath("monitor.ddc");
    WriteBytes(path, QByteArray::fromStdString(report));

    QVERIFY(program.Frame().OpenDocumentFile(path));
    QCOMPARE(program.Frame().Block().Bytes(), source.Bytes());
    QCOMPARE(program.Frame().ViewText(), ViewForm(report));
    QCOMPARE(program.Frame().CodeWindow().Text(), QString::fromLatin1(FormatCodeDump(source.Bytes())));
    QVERIFY(program.Frame().IsCodeWindowShown());
    QVERIFY(program.Frame().Action(kCmdEdidCode)->isChecked());
    QCOMPARE(program.Frame().windowTitle(), QStringLiteral("monitor.ddc - Tolvex 3.01"));
    QVERIFY(!program.Doc().IsModified());
    // An edit marks the title until the document is saved.
    QTest::keyClicks(&program.Frame().View(), "x");
    QCOMPARE(program.Frame().windowTitle(), QStringLiteral("monitor.ddc* - Tolvex 3.01"));
    QVERIFY(program.Doc().DoFileSave());
    QCOMPARE(program.Frame().windowTitle(), QStringLiteral("monitor.ddc - Tolvex 3.01"));
    QCOMPARE(program.Frame().RecentFiles().value(0), QFileInfo(path).absoluteFilePath());

    // The list survives the run, and a file that has gone away leaves it when chosen.
    SimulatedProgram next;
    QCOMPARE(next.Frame().RecentFiles(), QStringList{QFileInfo(path).absoluteFilePath()});
    QVERIFY(QFile::remove(path));
    ModalAnswerer answers;
    QVERIFY(!next.Frame().OpenDocumentFile(path));
    QVERIFY(answers.Texts().value(0).endsWith(QStringLiteral("Cannot find this file.\nPlease verify that the correct path and file name are given.")));
    QVERIFY(next.Frame().RecentFiles().isEmpty());
  }

  void opensTheFileNamedOnTheCommandLine() {
    EdidBlock source;
    FillBlock(source);
    const QString path = folder_.filePath("argument.ddc");
    WriteBytes(path, QByteArray::fromStdString(FormatEdidReport(source)));
    SimulatedProgram program(sim::MakeBlackBoxHardware(), path);
    QVERIFY(program.Started());
    QCOMPARE(program.Frame().Block().Bytes(), source.Bytes());
    QCOMPARE(program.Frame().windowTitle(), QStringLiteral("argument.ddc - Tolvex 3.01"));

    // A file that is not there ends the start, after the framework's message.
    SimulatedProgram missing(sim::MakeBlackBoxHardware(), folder_.filePath("not-there.ddc"));
    QVERIFY(!missing.Started());
    QCOMPARE(missing.StartupMessages().size(), 1);
    QVERIFY(missing.StartupMessages()[0].contains(QStringLiteral("Cannot find this file.")));
  }

  void openingAFileWithoutADumpAsks() {
    SimulatedProgram program;
    EdidBlock source;
    FillBlock(source);
    const QString reportPath = folder_.filePath("first.ddc");
    WriteBytes(reportPath, QByteArray::fromStdString(FormatEdidReport(source)));
    QVERIFY(program.Frame().OpenDocumentFile(reportPath));
    const QString viewBefore = program.Frame().ViewText();

    // No: the previous text and block stay, and the open fails.
    const QString notes = folder_.filePath("notes.txt");
    WriteBytes(notes, "just some notes\r\n");
    {
      ModalAnswerer answers({QMessageBox::No});
      QVERIFY(!program.Frame().OpenDocumentFile(notes));
      QCOMPARE(answers.Seen().size(), size_t{1});
      QCOMPARE(answers.Seen()[0].title, QStringLiteral("Open error"));
      QCOMPARE(answers.Seen()[0].text, QStringLiteral("Invalid EDID hex file !\nDo you want to continue load file..."));
      QCOMPARE(answers.Seen()[0].icon, QMessageBox::Question);
    }
    QCOMPARE(program.Frame().ViewText(), viewBefore);
    QCOMPARE(program.Frame().Block().Bytes(), source.Bytes());
    QCOMPARE(program.Frame().windowTitle(), QStringLiteral("first.ddc - Tolvex 3.01"));

    // Yes on a bare dump in the older layout at the start of the file: it is read from there.
    EdidBlock other;
    FillBlock(other);
    other.Bytes()[0] = 0x01;  // not the header, so neither row pattern matches
    other.UpdateChecksum();
    const QString older = folder_.filePath("older.ddc");
    WriteBytes(older, OlderLayoutDump(other.Bytes()));
    {
      ModalAnswerer answers({QMessageBox::Yes});
      QVERIFY(program.Frame().OpenDocumentFile(older));
      QCOMPARE(answers.Seen().size(), size_t{1});
    }
    QCOMPARE(program.Frame().Block().Bytes(), other.Bytes());
  }

  // No at the question keeps the open document as it was: a later Save still writes its CR LF
  // lines and its encoding, not those of the refused LF-only UTF-8 file; its undo history survives.
  void aRefusedOpenLeavesHowTheDocumentIsSaved() {
    SimulatedProgram program;
    EdidBlock source;
    FillBlock(source);
    const QByteArray report = QByteArray::fromStdString(FormatEdidReport(source));
    const QString path = folder_.filePath("crlf.ddc");
    WriteBytes(path, report);
    QVERIFY(program.Frame().OpenDocumentFile(path));
    CTolvexView& view = program.Frame().View();
    view.moveCursor(QTextCursor::End);
    QTest::keyClicks(&view, "ok");

    const QString refused = folder_.filePath("lf-notes.txt");
    WriteBytes(refused, "caf\xc3\xa9 notes\nsecond line\n");
    {
      // Not saved now, then the file without a dump refused.
      ModalAnswerer answers({QMessageBox::No, QMessageBox::No});
      QVERIFY(!program.Frame().OpenDocumentFile(refused));
      QCOMPARE(answers.Seen().size(), size_t{2});
    }
    QVERIFY(program.Doc().IsModified());
    QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(program.Frame().ViewText(), ViewForm(report.toStdString()));
    QTest::keyClicks(&view, "!");
    program.Frame().Action(kCmdFileSave)->trigger();
    QCOMPARE(ReadBytes(path), report + "!");
  }

  void opensTheOlderLayoutBelowAReportWithoutAsking() {
    SimulatedProgram program;
    EdidBlock source;
    FillBlock(source);
    const QString path = folder_.filePath("old-report.ddc");
    WriteBytes(path, "EDID log file\r\n\r\n" + OlderLayoutDump(source.Bytes()));
    ModalAnswerer answers;
    QVERIFY(program.Frame().OpenDocumentFile(path));
    QVERIFY(answers.Seen().empty());
    QCOMPARE(program.Frame().Block().Bytes(), source.Bytes());
  }

  void refusesAFileTooLargeToOpen() {
    SimulatedProgram program;
    const EdidBytes before = program.Frame().Block().Bytes();
    const QString path = folder_.filePath("huge.ddc");
    WriteBytes(path, QByteArray(1'048'576, 'x'));
    {
      ModalAnswerer answers;
      QVERIFY(!program.Frame().OpenDocumentFile(path));
      QCOMPARE(answers.Texts(), QStringList{QStringLiteral("The file is too large to open.")});
    }
    QCOMPARE(program.Frame().Block().Bytes(), before);
    QCOMPARE(program.Frame().ViewText(), QString());

    WriteBytes(path, QByteArray(1'048'575, 'x'));  // the largest file the view takes
    ModalAnswerer no({QMessageBox::No});
    QVERIFY(!program.Frame().OpenDocumentFile(path));
    QCOMPARE(no.Seen().size(), size_t{1});
    QCOMPARE(no.Seen()[0].title, QStringLiteral("Open error"));
  }

  void savesTheViewTextAndKeepsTheOldFileWhenSavingFails() {
    SimulatedProgram program;
    EdidBlock source;
    FillBlock(source);
    const std::string report = FormatEdidReport(source);
    const QString path = folder_.filePath("saved.ddc");
    WriteBytes(path, QByteArray::fromStdString(report));
    QVERIFY(program.Frame().OpenDocumentFile(path));

    // Typing changes the text and marks the document, never the block.
    CTolvexView& view = program.Frame().View();
    view.moveCursor(QTextCursor::End);
    QTest::keyClicks(&view, "Checked on the bench");
    QVERIFY(program.Doc().IsModified());
    QCOMPARE(program.Frame().Block().Bytes(), source.Bytes());

    program.Frame().Action(kCmdFileSave)->trigger();
    QVERIFY(!program.Doc().IsModified());
    QCOMPARE(ReadBytes(path), QByteArray::fromStdString(report) + "Checked on the bench");

    // Save As into a folder that does not exist: the message, and nothing is lost.
    QTest::keyClicks(&view, "!");
    program.Frame().askSavePath = [this](const QString&) { return folder_.filePath("missing/folder/x.ddc"); };
    ModalAnswerer answers;
    program.Frame().Action(kCmdFileSaveAs)->trigger();
    QCOMPARE(answers.Texts(), QStringList{QStringLiteral("Failed to save document.")});
    QVERIFY(program.Doc().IsModified());
    QCOMPARE(program.Doc().PathName(), path);
    QCOMPARE(ReadBytes(path), QByteArray::fromStdString(report) + "Checked on the bench");
  }

  void edidReadReplacesTheDocument() {
    SimulatedProgram program;
    EdidBlock monitorBlock;
    FillBlock(monitorBlock);
    std::copy(monitorBlock.Bytes().begin(), monitorBlock.Bytes().end(), program.Monitor().AnalogEeprom().Memory().begin());

    program.Frame().Action(kCmdEdidRead)->trigger();

    QCOMPARE(program.Frame().Block().Bytes(), monitorBlock.Bytes());
    QCOMPARE(program.Frame().ViewText(), ViewForm(FormatEdidReport(monitorBlock)));
    QCOMPARE(program.Frame().CodeWindow().Text(), QString::fromLatin1(FormatCodeDump(monitorBlock.Bytes())));
    QCOMPARE(program.Frame().windowTitle(), QStringLiteral("Untitled* - Tolvex 3.01"));
    QVERIFY(program.Doc().IsModified());
    QVERIFY(program.Doc().PathName().isEmpty());
    QVERIFY(!program.Frame().IsWaitCursorShown());
    QVERIFY(program.Frame().IsCodeWindowShown());

    // Through the command protocol the read reports progress byte by byte, and each text must
    // reach the screen while the command still runs.
    program.Frame().show();
    QVERIFY(QTest::qWaitForWindowExposed(&program.Frame()));
    SetProtocol(program, 1);
    QStringList painted;
    auto* pane = program.Frame().MessagePane();
    PaintCounter counter(pane, [&] {
      if (painted.isEmpty() || painted.last() != pane->text()) painted << pane->text();
    });
    ModalAnswerer notSaved({QMessageBox::No});
    program.Frame().Action(kCmdEdidRead)->trigger();
    QCOMPARE(program.Frame().Block().Bytes(), monitorBlock.Bytes());
    QVERIFY2(painted.size() > 20, qPrintable(painted.join(" | ")));
    QVERIFY(painted.contains(QStringLiteral("Reading... 49%")));
    QCOMPARE(painted.last(), QStringLiteral("EDID read: 1 block(s), 128 bytes"));
  }

  // A read replaces the document, so unsaved edits are offered for saving first; Cancel reads
  // nothing.
  void edidReadOffersToSaveAnEditedDocumentFirst() {
    SimulatedProgram program;
    EdidBlock source;
    FillBlock(source);
    const QString path = folder_.filePath("before-read.ddc");
    WriteBytes(path, QByteArray::fromStdString(FormatEdidReport(source)));
    QVERIFY(program.Frame().OpenDocumentFile(path));
    program.Frame().View().moveCursor(QTextCursor::End);
    QTest::keyClicks(&program.Frame().View(), "bench notes");
    const QString view = program.Frame().ViewText();
    EdidBlock monitorBlock;
    monitorBlock.SetManufacturerId("MON");
    monitorBlock.UpdateChecksum();
    std::copy(monitorBlock.Bytes().begin(), monitorBlock.Bytes().end(), program.Monitor().AnalogEeprom().Memory().begin());

    {
      ModalAnswerer answers({QMessageBox::Cancel});
      program.Frame().Action(kCmdEdidRead)->trigger();
      QCOMPARE(answers.Texts(), QStringList{QStringLiteral("Save changes to before-read.ddc?")});
    }
    QCOMPARE(program.Frame().ViewText(), view);
    QCOMPARE(program.Frame().Block().Bytes(), source.Bytes());
    QVERIFY(program.Doc().IsModified());

    {
      ModalAnswerer answers({QMessageBox::Yes});
      program.Frame().Action(kCmdEdidRead)->trigger();
      QCOMPARE(answers.Seen().size(), size_t{1});
    }
    QCOMPARE(ReadBytes(path), QByteArray::fromStdString(FormatEdidReport(source)) + "bench notes");
    QCOMPARE(program.Frame().Block().Bytes(), monitorBlock.Bytes());
    QCOMPARE(program.Frame().windowTitle(), QStringLiteral("Untitled* - Tolvex 3.01"));
  }

  void failedReadLeavesBlockAndDocument() {
    SimulatedProgram program;
    EdidBlock source;
    FillBlock(source);
    const QString path = folder_.filePath("kept.ddc");
    WriteBytes(path, QByteArray::fromStdString(FormatEdidReport(source)));
    QVERIFY(program.Frame().OpenDocumentFile(path));
    const QString view = program.Frame().ViewText();

    program.Hardware().machine.UnplugMonitor();
    ModalAnswerer answers;
    program.Frame().Action(kCmdEdidRead)->trigger();
    QCOMPARE(answers.Seen().size(), size_t{1});
    QCOMPARE(answers.Seen()[0].title, QStringLiteral("I2C read error"));
    QVERIFY(answers.Seen()[0].text.startsWith(QStringLiteral("I2C transfer error (0x")));
    QCOMPARE(answers.Seen()[0].icon, QMessageBox::Critical);
    QCOMPARE(program.Frame().Block().Bytes(), source.Bytes());
    QCOMPARE(program.Frame().ViewText(), view);
    QCOMPARE(program.Frame().windowTitle(), QStringLiteral("kept.ddc - Tolvex 3.01"));
    QVERIFY(!program.Doc().IsModified());
    QVERIFY(!program.Frame().IsWaitCursorShown());

    // A command's prompt covers the pane while the pointer is on it; then the pane shows again what
    // the last command left there, until the next command.
    program.Frame().SetStatusText("EDID written and verified");
    program.Frame().statusBar()->showMessage(program.Frame().Action(kCmdEdidRead)->statusTip());
    program.Frame().statusBar()->clearMessage();
    QCOMPARE(program.Frame().MessagePane()->text(), QStringLiteral("EDID written and verified"));
    program.Frame().Action(kCmdViewToolbar)->trigger();
    QCOMPARE(program.Frame().MessagePane()->text(), QStringLiteral("Ready"));
    program.Frame().Action(kCmdViewToolbar)->trigger();
  }

  // Loading puts the right checksum into byte 127; what the file or the monitor stored stays on
  // show, in the status bar and in the check.
  void aWrongStoredChecksumStaysOnShow_data() {
    QTest::addColumn<QString>("source");
    QTest::newRow("report") << "file.ddc";
    QTest::newRow("binary") << "file.bin";
    QTest::newRow("monitor") << "monitor";
  }
  void aWrongStoredChecksumStaysOnShow() {
    QFETCH(QString, source);
    SimulatedProgram program;
    EdidBlock block;
    FillBlock(block);
    const uint8_t right = block.Bytes()[127];
    block.Bytes()[127] ^= 0x04;
    const uint8_t stored = block.Bytes()[127];
    ModalAnswerer answers;
    if (source == QLatin1String("monitor")) {
      program.Monitor().AnalogEeprom().Load(block.Bytes());
      program.Frame().Action(kCmdEdidRead)->trigger();
    } else {
      const QString path = folder_.filePath(source);
      WriteBytes(path, source.endsWith(QLatin1String(".bin"))
                           ? QByteArray(reinterpret_cast<const char*>(block.Bytes().data()), kEdidSize)
                           : QByteArray::fromStdString(FormatEdidReport(block)));
      QVERIFY(program.Frame().OpenDocumentFile(path));
    }
    QCOMPARE(program.Frame().Block().Bytes()[127], right);
    const QString note = QString::asprintf("the base block's checksum byte 0x%02X is now 0x%02X", stored, right);
    QVERIFY2(program.Frame().MessagePane()->text().contains(note), qPrintable(program.Frame().MessagePane()->text()));
    QStringList found;
    for (const CheckFinding& finding : program.Frame().CheckPane().Findings()) found << QString::fromStdString(finding.text);
    const QString said = QString::asprintf("The %s stored %02X in byte 127; the block's bytes give %02X",
                                           source == QLatin1String("monitor") ? "monitor" : "file", stored, right);
    QVERIFY2(found.filter(said).size() == 1, qPrintable(found.join('\n')));
  }

  // A greyed command's prompts say why it is greyed; an enabled one's are the command's own.
  void greyedCommandsSayWhy() {
    SimulatedProgram program;  // a Black Box, the code window hidden, no display connector
    CMainFrame& frame = program.Frame();
    const struct {
      CommandId id;
      const char* why;
    } greyed[] = {
        {kCmdEdidWrite, "EDID Write waits for the \"EDID codes\" window"},
        {kCmdReadFromDisplay, "needs a Linux display connector"},
        {kCmdApplyToConnector, "needs a display connector of the PC's own kernel"},
        {kCmdInstallFirmware, "needs a display connector of the PC's own kernel"},
        {kCmdChannelServiceKit, "Service Kit was not found at start-up"},
        {kCmdChannelS3, "S3 ViRGE card was not found at start-up"},
    };
    for (const auto& row : greyed) {
      QAction* action = frame.Action(row.id);
      QVERIFY2(!action->isEnabled(), row.why);
      QVERIFY2(action->statusTip().contains(QString::fromLatin1(row.why)), qPrintable(action->statusTip()));
      QVERIFY2(action->toolTip().contains(QString::fromLatin1(row.why)), qPrintable(action->toolTip()));
    }
    frame.Action(kCmdEdidCode)->trigger();
    QVERIFY(frame.Action(kCmdEdidWrite)->isEnabled());
    QCOMPARE(frame.Action(kCmdEdidWrite)->statusTip(), QStringLiteral("Write EDID to monitor"));
    QCOMPARE(frame.Action(kCmdEdidWrite)->toolTip(), QStringLiteral("Write EDID"));
  }

  void edidWriteProgramsAndVerifiesTheMonitor() {
    SimulatedProgram program;
    EdidBlock source;
    FillBlock(source);
    const QString path = folder_.filePath("to-write.ddc");
    WriteBytes(path, QByteArray::fromStdString(FormatEdidReport(source)));
    QVERIFY(program.Frame().OpenDocumentFile(path));

    // The simulated monitor holds another monitor's EDID: asked first, Cancel the default.
    ModalAnswerer answers({QMessageBox::Yes});
    program.Frame().Action(kCmdEdidWrite)->trigger();
    QCOMPARE(answers.Seen().size(), size_t{1});
    QVERIFY(answers.Seen()[0].text.startsWith(QStringLiteral("The monitor's EEPROM holds the EDID of another monitor.")));
    QVERIFY(answers.Seen()[0].text.endsWith(QStringLiteral("\n\nReplace it?")));
    QCOMPARE(answers.Seen()[0].buttons, QMessageBox::Yes | QMessageBox::Cancel);
    QCOMPARE(answers.Seen()[0].defaultButton, QMessageBox::Cancel);
    QCOMPARE(EepromBlock(program.Monitor()), source.Bytes());
    // The status bar names where the old EDID went.
    const QString status = program.Frame().MessagePane()->text();
    QVERIFY2(status.startsWith(QStringLiteral("EDID written and verified; the old EDID was kept in /")), qPrintable(status));
    const QString backup = status.mid(status.indexOf(QLatin1Char('/')));
    QFile kept(backup);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray(reinterpret_cast<const char*>(sim::SimulatedEdid(false).data()), kEdidSize));
    QVERIFY(!program.Doc().IsModified());
    QVERIFY(!program.Frame().IsWaitCursorShown());

    // A write-protected EEPROM keeps its bytes, and the verify says so.
    program.Frame().Block().SetWeek(30);
    program.Frame().CodeWindow().HighlightRange(16, 16, true);
    program.Monitor().SetWriteProtectStuck(true);
    program.Frame().Action(kCmdEdidWrite)->trigger();
    QCOMPARE(answers.Seen().size(), size_t{2});
    QCOMPARE(answers.Seen()[1].title, QStringLiteral("Verify error"));
    QVERIFY(answers.Seen()[1].text.startsWith(QStringLiteral("EDID code verified error\nWhat was read back differs")));
    QCOMPARE(EepromBlock(program.Monitor()), source.Bytes());
    QVERIFY(!program.Frame().IsWaitCursorShown());
    QVERIFY(program.Frame().MessagePane()->text() != QStringLiteral("EDID written and verified"));

    // The DVI switch has no reply; what it leaves is whether the monitor took the command.
    program.Frame().Action(kCmdDviDigital)->trigger();
    QCOMPARE(program.Frame().MessagePane()->text(), QStringLiteral("DVI-D EEPROM selected"));
    program.Frame().Action(kCmdDviAuto)->trigger();
    QCOMPARE(program.Frame().MessagePane()->text(), QStringLiteral("DVI-I automatic EEPROM switch selected"));
    program.Hardware().machine.UnplugMonitor();
    program.Frame().Action(kCmdDviAnalog)->trigger();
    QVERIFY(program.Frame().MessagePane()->text().startsWith(QStringLiteral("DVI EEPROM switch not acknowledged (0x")));
  }

  // A transfer lets the event loop run to paint its progress. A close request or a command that
  // arrives meanwhile must not run in the middle of it; the close follows once the transfer ends.
  void nothingInterruptsATransfer() {
    SimulatedProgram program;
    CMainFrame& frame = program.Frame();
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    SetProtocol(program, 1);  // byte by byte, with progress after each
    EdidBlock monitorBlock;
    FillBlock(monitorBlock);
    std::copy(monitorBlock.Bytes().begin(), monitorBlock.Bytes().end(), program.Monitor().AnalogEeprom().Memory().begin());

    bool arrivedDuringTransfer = false;
    bool closedDuringTransfer = true;
    QTimer::singleShot(0, &frame, [&] {
      arrivedDuringTransfer = frame.IsWaitCursorShown();
      closedDuringTransfer = frame.close();
      frame.Action(kCmdFileNew)->trigger();  // would run the wizard over the block being read
      frame.Action(kCmdDviAnalog)->trigger();
    });
    ModalAnswerer answers({QMessageBox::Cancel});
    bool wizardRan = false;
    answers.SetDialogHandler([&](QWidget* dialog) {
      wizardRan = true;
      QTest::keyClick(dialog, Qt::Key_Escape);
    });
    frame.Action(kCmdEdidRead)->trigger();
    QVERIFY(arrivedDuringTransfer);
    QVERIFY(!closedDuringTransfer);
    QVERIFY(!wizardRan);
    QVERIFY(frame.isVisible());
    QCOMPARE(frame.Block().Bytes(), monitorBlock.Bytes());
    // No DVI switch ran after the read.
    QCOMPARE(frame.MessagePane()->text(), QStringLiteral("EDID read: 1 block(s), 128 bytes"));

    // The close comes afterwards and asks about the document the read made; Cancel keeps it.
    QTRY_COMPARE(answers.Texts(), QStringList{QStringLiteral("Save changes to Untitled?")});
    QVERIFY(frame.isVisible());
  }

  void i2cCommandsFollowTheChannelAndTheCodeWindow() {
    {
      SimulatedProgram program(sim::MakeBareHardware());
      CMainFrame& frame = program.Frame();
      QCOMPARE(program.Doc().Channel(), -1);
      QCOMPARE(program.StartupMessages().size(), 1);  // the S3 probe shows what it read
      QVERIFY(program.StartupMessages()[0].startsWith(QStringLiteral("Vendor ID = 0x")));
      for (CommandId id : {kCmdEdidRead, kCmdEdidWrite, kCmdChannelBlackBox, kCmdChannelServiceKit, kCmdChannelS3}) {
        QVERIFY2(!frame.Action(id)->isEnabled(), frame.Action(id)->text().toLatin1());
      }
      frame.OnEdidCode();
      QVERIFY(!frame.Action(kCmdEdidWrite)->isEnabled());
      for (CommandId id : {kCmdConfigSetup, kCmdDviDigital, kCmdDviAnalog, kCmdDviAuto}) {
        QVERIFY(frame.Action(id)->isEnabled());
      }
    }
    SimulatedProgram program(sim::MakeServiceKitHardware());
    CMainFrame& frame = program.Frame();
    QCOMPARE(program.Doc().Channel(), 1);
    QVERIFY(frame.Action(kCmdEdidRead)->isEnabled());
    QVERIFY(!frame.Action(kCmdEdidWrite)->isEnabled());  // until the code window shows
    QVERIFY(frame.Action(kCmdChannelServiceKit)->isEnabled());
    QVERIFY(frame.Action(kCmdChannelServiceKit)->isChecked());
    for (CommandId id : {kCmdChannelBlackBox, kCmdChannelS3}) {
      QVERIFY(!frame.Action(id)->isEnabled());
      QVERIFY(!frame.Action(id)->isChecked());
    }

    // The code window: toggled by the command, its check mark following; the close box hides it.
    frame.setGeometry(100, 80, 900, 700);
    frame.show();
    frame.Action(kCmdEdidCode)->trigger();
    CEdidCodeDlg& code = frame.CodeWindow();
    QVERIFY(code.isVisible());
    QVERIFY(frame.Action(kCmdEdidCode)->isChecked());
    QVERIFY(frame.Action(kCmdEdidWrite)->isEnabled());
    QCOMPARE(code.frameGeometry().top(), frame.frameGeometry().top() + 72);
    QCOMPARE(code.frameGeometry().right(), frame.frameGeometry().right() - 20);
    frame.Action(kCmdEdidCode)->trigger();
    QVERIFY(!code.isVisible());
    QVERIFY(!frame.Action(kCmdEdidCode)->isChecked());
    QVERIFY(!frame.Action(kCmdEdidWrite)->isEnabled());
    frame.Action(kCmdEdidCode)->trigger();
    code.close();
    QVERIFY(!code.isVisible());
    QVERIFY(!frame.Action(kCmdEdidCode)->isChecked());
    frame.Action(kCmdEdidCode)->trigger();
    QVERIFY(code.isVisible());
    QVERIFY(frame.Action(kCmdEdidCode)->isChecked());

    // A menu draws the check box of a checkable item only where it shows no icon.
    for (QMenu* menu : frame.menuBar()->findChildren<QMenu*>()) {
      for (QAction* action : menu->actions()) {
        if (action->isCheckable()) QVERIFY2(!action->isIconVisibleInMenu() || action->icon().isNull(), qPrintable(action->text()));
      }
    }
  }

  void configurationDialogRulesAndStoredSettings() {
    {
      SimulatedProgram program;
      // First run: defaults, nothing stored.
      QCOMPARE(program.Doc().Settings().protocol, 0u);
      QCOMPARE(program.Doc().Settings().mappedPage, std::string("F8"));

      RunConfigDialog(program, [](CConfigDlg& dialog) {
        QVERIFY(dialog.FactoryEnableBox()->isEnabled());
        QVERIFY(!dialog.PageEdit()->isEnabled());
        Click(dialog.FactoryEnableBox());
        QVERIFY(dialog.PageEdit()->isEnabled());
        // The page takes hexadecimal digits only, at most four.
        dialog.PageEdit()->setFocus();
        dialog.PageEdit()->end(false);
        QTest::keyClicks(dialog.PageEdit(), "G");
        QCOMPARE(dialog.PageEdit()->text(), QStringLiteral("F8"));
        dialog.PageEdit()->clear();
        QTest::keyClicks(dialog.PageEdit(), "g");
        QCOMPARE(dialog.PageEdit()->text(), QString());
        QTest::keyClicks(dialog.PageEdit(), "e0a1b");
        QCOMPARE(dialog.PageEdit()->text(), QStringLiteral("E0A1"));
        // An AOC protocol greys the factory group; the box keeps its mark.
        Click(dialog.ProtocolButtons()->button(1));
        QVERIFY(!dialog.FactoryEnableBox()->isEnabled());
        QVERIFY(dialog.FactoryEnableBox()->isChecked());
        QVERIFY(!dialog.PageEdit()->isEnabled());
        // Software DDC only: page F0 with the factory write on; unchecking re-enables the page
        // field even though an AOC protocol is chosen.
        Click(dialog.SoftwareDdcBox());
        QCOMPARE(dialog.PageEdit()->text(), QStringLiteral("F0"));
        QVERIFY(dialog.FactoryEnableBox()->isChecked());
        Click(dialog.SoftwareDdcBox());
        QVERIFY(dialog.PageEdit()->isEnabled());
        QVERIFY(!dialog.FactoryEnableBox()->isEnabled());
        Click(dialog.SoftwareDdcBox());
        QTest::keyClick(&dialog, Qt::Key_Return);
      });
      const TransferSettings& settings = program.Doc().Settings();
      QCOMPARE(settings.protocol, 1u);
      QCOMPARE(settings.factoryEnable, 1u);
      QCOMPARE(settings.mappedPage, std::string("F0"));
      QVERIFY(settings.softwareDdcOnly);

      // Cancel changes nothing and stores nothing; the next opening shows the document's values.
      RunConfigDialog(program, [](CConfigDlg& dialog) {
        QVERIFY(dialog.ProtocolButtons()->button(1)->isChecked());
        Click(dialog.ProtocolButtons()->button(0));
        QTest::keyClick(&dialog, Qt::Key_Escape);
      });
      QCOMPARE(program.Doc().Settings().protocol, 1u);
    }
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, "Marvane", "Tolvex");
    QCOMPARE(store.value("Settings/Channel_Type").toUInt(), 1u);
    QCOMPARE(store.value("Settings/Factory_Enable").toUInt(), 1u);
    QCOMPARE(store.value("Settings/Factory_Mapped").toString(), QStringLiteral("F0"));

    // The next run starts with the stored three and Software DDC only off.
    SimulatedProgram next;
    QCOMPARE(next.Doc().Settings().protocol, 1u);
    QCOMPARE(next.Doc().Settings().factoryEnable, 1u);
    QCOMPARE(next.Doc().Settings().mappedPage, std::string("F0"));
    QVERIFY(!next.Doc().Settings().softwareDdcOnly);
  }

  // The dialog object lives as long as the document: a Cancel taken with the keyboard last time
  // must not make Return cancel now. Tab walks the controls in the form's order.
  void configurationDialogTakesReturnAsOkOnEveryOpening() {
    SimulatedProgram program;
    QStringList walked;
    RunConfigDialog(program, [&walked](CConfigDlg& dialog) {
      for (int i = 0; i < 6; ++i) {
        walked << QApplication::focusWidget()->objectName();

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      }
      // Cancel chosen from the keyboard after a change.
      Click(dialog.ProtocolButtons()->button(2));
      for (int i = 0; i < 8 && QApplication::focusWidget()->objectName() != QLatin1String("cancelButton"); ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    QCOMPARE(walked, QStringList({"protocol0", "factoryEnable", "okButton", "cancelButton", "softwareDdcOnly", "protocol0"}));
    QCOMPARE(program.Doc().Settings().protocol, 0u);

    RunConfigDialog(program, [](CConfigDlg& dialog) {
      QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.ProtocolButtons()->button(0)));
      Click(dialog.ProtocolButtons()->button(1));
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    QCOMPARE(program.Doc().Settings().protocol, 1u);
  }

  void closingWithChangesAsksToSave() {
    SimulatedProgram program;
    program.Frame().show();
    program.Frame().Action(kCmdEdidRead)->trigger();
    QVERIFY(program.Doc().IsModified());
    {
      ModalAnswerer answers({QMessageBox::Cancel});
      QVERIFY(!program.Frame().close());
      QCOMPARE(answers.Texts(), QStringList{QStringLiteral("Save changes to Untitled?")});
      QCOMPARE(answers.Seen()[0].title, QStringLiteral("tolvex3.01"));
    }
    QVERIFY(program.Frame().isVisible());
    ModalAnswerer answers({QMessageBox::No});
    QVERIFY(program.Frame().close());
  }

  void splashGoesAtTheFirstKeyAndSwallowsIt() {
    auto hardware = std::make_unique<SimulatedProgram>();
    // A frame of its own, with the splash on.
    CMainFrame frame(hardware->Doc(), true);
    QVERIFY(frame.Splash() != nullptr);
    frame.show();
    QTest::keyClick(&frame.View(), Qt::Key_A);
    QVERIFY(frame.Splash() == nullptr);
    QCOMPARE(frame.ViewText(), QString());
    QTest::keyClick(&frame.View(), Qt::Key_A);
    QCOMPARE(frame.ViewText(), QStringLiteral("a"));
    hardware->Doc().AttachFrame(hardware->Frame());
  }

  void keyboardAndDropAsTheUserUsesThem() {
    SimulatedProgram program;
    CMainFrame& frame = program.Frame();
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    CTolvexView& view = frame.View();
    view.setFocus();
    QTest::keyClicks(&view, "abc def");

    // The view's editing keys: Shift+Del cuts, Shift+Ins pastes, Alt+Backspace undoes.
    view.moveCursor(QTextCursor::End);
    view.moveCursor(QTextCursor::WordLeft, QTextCursor::KeepAnchor);
    QTest::keyClick(&view, Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(frame.ViewText(), QStringLiteral("abc "));
    view.moveCursor(QTextCursor::Start);
    QTest::keyClick(&view, Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(frame.ViewText(), QStringLiteral("defabc "));
    QTest::keyClick(&view, Qt::Key_Backspace, Qt::AltModifier);
    QCOMPARE(frame.ViewText(), QStringLiteral("abc "));

    // Without keyboard LEDs to read, each press of a lock key flips its pane, once per press.
    if (!QDir(QStringLiteral("/sys/class/leds")).exists()) {
      QLabel* caps = frame.LockPane(Qt::Key_CapsLock);
      const bool before = caps->isEnabled();
      QTest::keyClick(frame.windowHandle(), Qt::Key_CapsLock);
      QCOMPARE(caps->isEnabled(), !before);
      QTest::keyClick(frame.windowHandle(), Qt::Key_CapsLock);
      QCOMPARE(caps->isEnabled(), before);
      QVERIFY(!frame.LockPane(Qt::Key_NumLock)->isEnabled());
    }

    // Ctrl+S saves, although the I2C menu shows it beside "Config Setup...".
    QString asked;
    frame.askSavePath = [&](const QString& suggested) {
      asked = suggested;
      return folder_.filePath("keyed.ddc");
    };
    QTest::keyClick(&view, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(asked, QStringLiteral("Untitled.ddc"));
    QCOMPARE(ReadBytes(folder_.filePath("keyed.ddc")), QByteArray("abc "));
    QCOMPARE(frame.windowTitle(), QStringLiteral("keyed.ddc - Tolvex 3.01"));

    // A report dropped on the window opens as File Open would.
    EdidBlock source;
    FillBlock(source);
    const QString path = folder_.filePath("dropped.ddc");
    WriteBytes(path, QByteArray::fromStdString(FormatEdidReport(source)));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&frame, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&frame, &drop);
    QCOMPARE(frame.Block().Bytes(), source.Bytes());
    QCOMPARE(frame.windowTitle(), QStringLiteral("dropped.ddc - Tolvex 3.01"));
  }

  void printsTheReportText() {
    SimulatedProgram program;
    program.Frame().SetViewText(QStringLiteral("EDID log file\nline two"));
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder_.filePath("report.pdf"));
    program.Frame().View().Print(printer, program.Doc().Title());
    QVERIFY(ReadBytes(folder_.filePath("report.pdf")).startsWith("%PDF"));
  }

  // Printed as the view shows it: the view's tab stops, and a line too wide for the paper goes on
  // under its first word, never back at the margin; pages break between rows.
  void printedLinesKeepTheirColumns() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(13);
    const qreal advance = QFontMetricsF(font).horizontalAdvance(QLatin1Char('0'));
    const qreal rowHeight = QFontMetricsF(font).lineSpacing();
    const QString timing = QStringLiteral("\t\t\t\t\t   720 x 400 @70Hz (IBM,VGA)");
    const ReportPrintLayout layout(QStringLiteral("Established Timings\n") + timing, font, 80,
                                   QSizeF(600, 100 * rowHeight), nullptr);  // the line needs 619
    const std::vector<ReportPrintLayout::Row>& rows = layout.Rows();
    QVERIFY(rows.size() >= 3);
    QCOMPARE(rows[0].text, QStringLiteral("Established Timings"));
    QString printed;
    for (size_t i = 1; i < rows.size(); ++i) {
      printed += rows[i].text;
      // Five tab stops of 80 pixels and three blanks: the column where the timing begins.
      if (i > 1) QVERIFY2(qAbs(rows[i].position.x() - (400 + 3 * advance)) < 0.5, qPrintable(rows[i].text));
    }
    QCOMPARE(printed, timing);

    QString many;
    for (int i = 0; i < 25; ++i) many += QStringLiteral("row %1\n").arg(i);
    const ReportPrintLayout pages(many, font, 80, QSizeF(300, 10 * rowHeight), nullptr);
    QCOMPARE(pages.PageCount(), 3);
    for (const ReportPrintLayout::Row& row : pages.Rows()) QVERIFY(row.position.y() + rowHeight <= 10 * rowHeight + 0.5);
  }

  // Page Down in the preview turns the page and its counter with it.
  void printPreviewCountsThePagesItTurns() {
    SimulatedProgram program;
    QString text;
    for (int i = 0; i < 300; ++i) text += QStringLiteral("line %1\n").arg(i);
    program.Frame().SetViewText(text);
    QString counter;
    ModalAnswerer answers;
    answers.SetDialogHandler([&](QWidget* dialog) {
      auto* pages = dialog->findChild<QPrintPreviewWidget*>();
      if (!pages || !QTest::qWaitFor([pages] { return pages->pageCount() > 2; })) return;
      QTest::keyClick(dialog, Qt::Key_PageDown);
      for (QLineEdit* edit : dialog->findChildren<QLineEdit*>())
        if (!qobject_cast<QComboBox*>(edit->parentWidget())) counter = edit->text();
      QCOMPARE(pages->currentPage(), 2);
      QTest::keyClick(dialog, Qt::Key_Escape);
    });
    program.Frame().Action(kCmdFilePrintPreview)->trigger();
    QCOMPARE(counter, QStringLiteral("2"));
  }

 private:
  // Clicks a check box or radio button on its indicator, as a user would.
  static void Click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
  }

  // Calls back on every paint of a widget.
  class PaintCounter : public QObject {
   public:
    PaintCounter(QWidget* widget, std::function<void()> onPaint) : onPaint_(std::move(onPaint)) {
      widget->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Paint) onPaint_();
      return false;
    }

   private:
    std::function<void()> onPaint_;
  };

  static void SetProtocol(SimulatedProgram& program, int protocol) {
    RunConfigDialog(program, [protocol](CConfigDlg& dialog) {
      Click(dialog.ProtocolButtons()->button(protocol));
      QTest::keyClick(&dialog, Qt::Key_Return);
    });
  }

  // Opens Config Setup through its command and hands the shown dialog to `act` once.
  static void RunConfigDialog(SimulatedProgram& program, std::function<void(CConfigDlg&)> act) {
    ModalAnswerer answers;
    bool done = false;
    answers.SetDialogHandler([&](QWidget* modal) {
      auto* dialog = qobject_cast<CConfigDlg*>(modal);
      if (!dialog || done) return;
      done = true;
      act(*dialog);
      if (dialog->isVisible()) QTest::keyClick(dialog, Qt::Key_Escape);
    });
    program.Frame().Action(kCmdConfigSetup)->trigger();
    QVERIFY(done);
  }

  QTemporaryDir settingsFolder_;
  QTemporaryDir folder_;
};

QTEST_MAIN(MainFrameTest)
#include "main_frame_test.moc"
