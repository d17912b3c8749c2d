// The document's files when things go wrong: a save that cannot be completed keeps the previous
// file byte for byte, a save writes back exactly the bytes that were read plus what was typed,
// an Open never waits on a FIFO or reads an endless device, and a damaged dump is named.
#include <QtTest>

#include <sys/stat.h>

#include "app/tolvex_view.h"
#include "file_faults.h"
#include "gui/modal_support.h"
#include "gui/sim_app_support.h"
#include "report/edid_report.h"

using namespace tolvex;
using namespace tolvex::testing;

namespace {

QByteArray Report() {
  EdidBlock block;
  block.SetManufacturerId("QRS");
  block.SetSerialNumber(987654);
  block.UpdateChecksum();
  return QByteArray::fromStdString(FormatEdidReport(block));
}

// Typed or pasted: the view takes it as the user's edit either way.
void TypeAtEnd(CTolvexView& view, const QString& text) {
  view.moveCursor(QTextCursor::End);
  view.insertPlainText(text);
}

}  // namespace

class FileSafetyTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(settingsFolder_.isValid());
    UseTemporarySettings(settingsFolder_);
  }

  void failedSaveKeepsThePreviousFile_data() {
    QTest::addColumn<bool>("fullDisk");
    QTest::newRow("full file system") << true;
    QTest::newRow("file size limit") << false;
  }
  void failedSaveKeepsThePreviousFile() {
    QFETCH(bool, fullDisk);
    QTemporaryDir folder;
    const QString small = folder.filePath("small");
    QVERIFY(QDir().mkpath(small));
    test::SmallTmpfs tmpfs(small.toStdString(), 64);
    if (fullDisk && !tmpfs.Mounted()) QSKIP("cannot mount a tmpfs here");
    const QString path = (fullDisk ? small : folder.path()) + QStringLiteral("/saved.ddc");
    WriteBytes(path, Report());

    SimulatedProgram program;
    QVERIFY(program.Frame().OpenDocumentFile(path));
    TypeAtEnd(program.Frame().View(), QStringLiteral("Checked on the bench"));
    if (fullDisk) tmpfs.Fill();
    ModalAnswerer answers;
    {
      std::optional<test::FileSizeLimit> limit;
      if (!fullDisk) limit.emplace(1000);
      program.Frame().Action(kCmdFileSave)->trigger();
    }
    QCOMPARE(answers.Texts(), QStringList{QStringLiteral("Failed to save document.")});
    QVERIFY(!answers.Seen()[0].informativeText.isEmpty());
    QVERIFY(program.Doc().IsModified());
    QCOMPARE(ReadBytes(path), Report());
    QCOMPARE(QDir(QFileInfo(path).path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("saved")),
             QStringList{QStringLiteral("saved.ddc")});
  }

  // Bytes no text view shows as they are (Latin-1 letters, NUL, nbsp, a lone CR, LF-only lines)
  // come back exactly; only the typed part is new, encoded as the file is.
  void savesTheBytesReadPlusWhatWasTyped_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("expected");
    static const char kOdd[] = "caf\xE9 \xA0nbsp\x00nul\rlone CR\nLF only\r\n";
    const QByteArray odd = QByteArray(kOdd, sizeof kOdd - 1) + Report();
    QTest::newRow("Latin-1 file, ASCII typed") << odd << QStringLiteral("ok") << odd + "ok";
    QTest::newRow("Latin-1 file, euro typed") << odd << QStringLiteral("\u20AC") << odd + "\xE2\x82\xAC";
    QTest::newRow("Latin-1 file, e acute typed") << odd << QStringLiteral("\u00E9") << odd + "\xE9";
    const QByteArray utf8 = "gr\xC3\xBC\xC3\x9F \xF0\x9F\x98\x80\r\n" + Report();
    QTest::newRow("UTF-8 file, line typed") << utf8 << QStringLiteral("\nx") << utf8 + "\r\nx";
    QTest::newRow("nothing typed") << odd << QString() << odd;
  }
  void savesTheBytesReadPlusWhatWasTyped() {
    QFETCH(QByteArray, file);
    QFETCH(QString, typed);
    QFETCH(QByteArray, expected);
    QTemporaryDir folder;
    const QString path = folder.filePath("bytes.ddc");
    WriteBytes(path, file);
    SimulatedProgram program;
    QVERIFY(program.Frame().OpenDocumentFile(path));
    if (!typed.isEmpty()) {
      TypeAtEnd(program.Frame().View(), typed);
      program.Frame().Action(kCmdFileSave)->trigger();
    } else {
      program.Frame().askSavePath = [&](const QString&) { return path; };
      program.Frame().Action(kCmdFileSaveAs)->trigger();
    }
    QCOMPARE(ReadBytes(path), expected);

    // A second edit after the save builds on what the file now holds.
    TypeAtEnd(program.Frame().View(), QStringLiteral("!"));
    program.Frame().Action(kCmdFileSave)->trigger();
    QCOMPARE(ReadBytes(path), expected + "!");
  }

  void openNeverWaitsOnAFifoOrReadsAnEndlessDevice() {
    QTemporaryDir folder;
    const QString fifo = folder.filePath("fifo.ddc");
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    SimulatedProgram program;
    const EdidBytes before = program.Frame().Block().Bytes();
    {
      ModalAnswerer answers;
      QVERIFY(!program.Frame().OpenDocumentFile(fifo));
      QCOMPARE(answers.Texts(), QStringList{QStringLiteral("Failed to open document.")});
      QCOMPARE(answers.Seen()[0].informativeText, QStringLiteral("not a regular file"));
    }
    {
      ModalAnswerer answers;
      QVERIFY(!program.Frame().OpenDocumentFile(QStringLiteral("/dev/zero")));
      QCOMPARE(answers.Texts(), QStringList{QStringLiteral("The file is too large to open.")});
    }
    QCOMPARE(program.Frame().Block().Bytes(), before);
    QCOMPARE(program.Frame().ViewText(), QString());
  }

  void aDamagedDumpAsksAndNamesTheLine() {
    QTemporaryDir folder;
    const QString good = folder.filePath("good.ddc");
    WriteBytes(good, Report());
    QByteArray damaged = Report();
    const qsizetype cell = damaged.indexOf("  28: 00");
    damaged.remove(cell, 8);
    const int line = damaged.left(cell).count('\n') + 1;
    const QString path = folder.filePath("damaged.ddc");
    WriteBytes(path, damaged);

    SimulatedProgram program;
    QVERIFY(program.Frame().OpenDocumentFile(good));
    const QString viewBefore = program.Frame().ViewText();
    const EdidBytes blockBefore = program.Frame().Block().Bytes();
    {
      ModalAnswerer answers({QMessageBox::No});
      QVERIFY(!program.Frame().OpenDocumentFile(path));
      QCOMPARE(answers.Texts(), QStringList{QStringLiteral("Invalid EDID hex file !\nDo you want to continue load file...")});
      QVERIFY(answers.Seen()[0].informativeText.startsWith(QStringLiteral("line %1: 7 cells where a dump row has 8\n").arg(line)));
    }
    QCOMPARE(program.Frame().ViewText(), viewBefore);
    QCOMPARE(program.Frame().Block().Bytes(), blockBefore);

    // The refused file did not change how the kept text saves: it still writes back as it was.
    program.Frame().askSavePath = [&](const QString&) { return folder.filePath("again.ddc"); };
    program.Frame().Action(kCmdFileSaveAs)->trigger();
    QCOMPARE(ReadBytes(folder.filePath("again.ddc")), Report());

    ModalAnswerer yes({QMessageBox::Yes});
    QVERIFY(program.Frame().OpenDocumentFile(path));
    QCOMPARE(yes.Seen().size(), size_t{1});
  }

  // A simulator state that is not a file of its own is one line and exit status 1, never an
  // abort or a wait, and the program does not start.
  void aBadSimulatorStateEndsTheStartWithOneLine() {
    QTemporaryDir folder;
    const QString fifo = folder.filePath("state.fifo");
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& state : {folder.path(), fifo}) {
      QProcess program;
      QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
      environment.insert("QT_QPA_PLATFORM", "offscreen");
      environment.insert("XDG_CONFIG_HOME", settingsFolder_.path());
      program.setProcessEnvironment(environment);
      program.start(QStringLiteral(TOLVEX_APP_PATH), {QStringLiteral("--simulate"), QStringLiteral("--sim-state"), state});
      QVERIFY(program.waitForFinished(30000));
      QCOMPARE(program.exitStatus(), QProcess::NormalExit);
      QCOMPARE(program.exitCode(), 1);
      const QString lines = QString::fromLocal8Bit(program.readAllStandardError());
      QVERIFY2(lines.contains(QStringLiteral("tolvex: ") + state + QStringLiteral(": ")), qPrintable(lines));
    }
  }

 private:
  QTemporaryDir settingsFolder_;
};

QTEST_MAIN(FileSafetyTest)
#include "file_safety_test.moc"
