// Whole EDIDs in the desktop program: raw binary files opened and exported, extension blocks
// read from and written to the simulated monitor, and an incomplete file kept from the monitor.
#include <QtTest>

#include <QLabel>

#include "app/edid_code_dlg.h"
#include "gui/modal_support.h"
#include "gui/sim_app_support.h"
#include "model/edid_extensions.h"
#include "report/edid_report.h"
#include "test_support.h"

using namespace tolvex;
using namespace tolvex::testing;

namespace {

// Extension blocks that the check passes beside this test's 1.2 base block, so that writing
// them asks nothing: the test CTA-861 block with its HDMI block made another maker's (HDMI
// asks for a 1.3 base block), and an empty DisplayID 1.3 section.
EdidBytes CtaBlockWithoutHdmi() {
  EdidBytes block = test::MakeCtaBlock();
  block[14] = block[15] = block[16] = 0x00;
  block[127] = ComputeChecksum(block);
  return block;
}

EdidBytes EmptyDisplayId() {
  EdidBytes block{};
  block[0] = kTagDisplayId;
  block[1] = 0x13;  // version 1.3, no data blocks
  block[3] = 0x03;  // a monitor
  block[5] = static_cast<uint8_t>(0u - block[1] - block[3]);  // the section checksum
  block[127] = ComputeChecksum(block);
  return block;
}

QString ViewForm(const std::string& report) {
  return QString::fromLatin1(report.data(), static_cast<qsizetype>(report.size()))
      .replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

QByteArray Bytes(const std::vector<uint8_t>& bytes) {
  return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::vector<uint8_t> Eeprom(SimulatedProgram& program, size_t count) {
  const std::vector<uint8_t>& memory = program.Monitor().AnalogEeprom().Memory();
  return {memory.begin(), memory.begin() + static_cast<std::ptrdiff_t>(count)};
}

}  // namespace

class WholeEdidTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(settingsFolder_.isValid());
    UseTemporarySettings(settingsFolder_);
    EdidBlock base(test::FixedDate(2026, 12, 8));
    base.SetManufacturerId("QRS");
    whole_ = test::MakeWholeEdid(base.Bytes(), blocks_);
    std::copy_n(whole_.begin(), kEdidSize, base_.begin());
  }

  void opensRawBinaryAndExportsItBack() {
    SimulatedProgram program;
    CMainFrame& frame = program.Frame();
    const QString path = folder_.filePath("monitor.bin");
    WriteFile(path, Bytes(whole_));
    frame.askOpenPath = [&] { return path; };
    frame.Action(kCmdFileOpen)->trigger();

    QCOMPARE(frame.Block().Bytes(), base_);
    QVERIFY(program.Doc().Extensions().blocks == blocks_);
    EdidBlock shown;
    shown.Bytes() = base_;
    QCOMPARE(frame.ViewText(), ViewForm(FormatEdidReport(shown, blocks_)));
    QCOMPARE(frame.windowTitle(), QStringLiteral("monitor - Tolvex 3.01"));
    QVERIFY2(program.Doc().PathName().isEmpty(), "Save must not overwrite the binary file with text");
    QVERIFY(!program.Doc().IsModified());
    QVERIFY(frame.IsCodeWindowShown());

    QString suggested;
    frame.askExportPath = [&](const QString& name) {
      suggested = name;
      return folder_.filePath("exported.bin");
    };
    frame.Action(kCmdFileExportBinary)->trigger();
    QCOMPARE(QFileInfo(suggested).fileName(), QStringLiteral("monitor.bin"));
    QCOMPARE(ReadFile(folder_.filePath("exported.bin")), Bytes(whole_));
    QCOMPARE(frame.MessagePane()->text(), QStringLiteral("Exported %1 block(s), %2 bytes to %3")
                                              .arg(whole_.size() / 128).arg(whole_.size()).arg(folder_.filePath("exported.bin")));

    // Saved as a report and opened again, the extension blocks come back from its sections.
    frame.askSavePath = [&](const QString&) { return folder_.filePath("monitor.ddc"); };
    frame.Action(kCmdFileSave)->trigger();
    program.Doc().Extensions().Clear();
    QVERIFY(frame.OpenDocumentFile(folder_.filePath("monitor.ddc")));
    QVERIFY(program.Doc().Extensions().blocks == blocks_);

    // The kernel's connector file has no name to go by: its header says what it is.
    const QString sysfs = folder_.filePath("edid");
    WriteFile(sysfs, Bytes(whole_));
    QVERIFY(frame.OpenDocumentFile(sysfs));
    QCOMPARE(program.Doc().Extensions().Count(), 2);
  }

  void readsAndWritesEveryBlockOfTheMonitor() {
    SimulatedProgram program;
    CMainFrame& frame = program.Frame();
    program.Monitor().SetEepromSize(512);
    program.Monitor().AnalogEeprom().Load(whole_);
    frame.Action(kCmdEdidRead)->trigger();
    QCOMPARE(JoinWholeEdid(frame.Block().Bytes(), program.Doc().Extensions()), whole_);
    QVERIFY(frame.ViewText().contains(QStringLiteral("EDID extension block 2 (128 bytes)")));

    // Back into a blank EEPROM, every block verified.
    std::fill(program.Monitor().AnalogEeprom().Memory().begin(), program.Monitor().AnalogEeprom().Memory().end(), 0xFF);
    {
      ModalAnswerer answers;
      frame.Action(kCmdEdidWrite)->trigger();
      QVERIFY2(answers.Seen().empty(), qPrintable(answers.Texts().join(" | ")));
      QCOMPARE(Eeprom(program, whole_.size()), whole_);
    }

    // A block whose checksum is wrong is read as it is, and the status bar names it.
    std::vector<uint8_t> damaged = whole_;
    damaged[383] ^= 0x01;
    program.Monitor().AnalogEeprom().Load(damaged);
    ModalAnswerer discard({QMessageBox::No});  // the unsaved read before it is not kept
    frame.Action(kCmdEdidRead)->trigger();
    QCOMPARE(program.Doc().Extensions().blocks[1][127], damaged[383]);
    QVERIFY2(frame.MessagePane()->text().startsWith(
                 QStringLiteral("EDID read: 3 block(s), 384 bytes; extension block 2 has the checksum")),
             qPrintable(frame.MessagePane()->text()));
  }

  void anIncompleteDumpWarnsAndIsWrittenOnlyOnceSaved() {
    SimulatedProgram program;
    CMainFrame& frame = program.Frame();
    EdidBlock source;
    source.SetManufacturerId("CUT");
    source.UpdateChecksum();
    const std::string report = FormatEdidReport(source);
    const QString path = folder_.filePath("cut.ddc");
    WriteFile(path, QByteArray::fromStdString(report.substr(0, report.find("\r\n120: "))));
    {
      // A dump cut short is a damaged dump: one question names the line and the bytes missing.
      ModalAnswerer question({QMessageBox::Yes});
      QVERIFY(frame.OpenDocumentFile(path));
      QCOMPARE(question.Seen().size(), size_t{1});
      QVERIFY2(question.Seen()[0].informativeText.contains(QStringLiteral("8 bytes of the EDID are missing from this file")),
               qPrintable(question.Seen()[0].informativeText));
    }
    const std::vector<uint8_t> before = Eeprom(program, kEdidSize);
    {
      ModalAnswerer refusal;
      frame.Action(kCmdEdidWrite)->trigger();
      QCOMPARE(refusal.Seen().size(), size_t{1});
      QCOMPARE(refusal.Seen()[0].title, QStringLiteral("EDID write refused"));
    }
    QCOMPARE(Eeprom(program, kEdidSize), before);

    frame.askSavePath = [&](const QString&) { return folder_.filePath("taken.ddc"); };
    frame.Action(kCmdFileSaveAs)->trigger();
    ModalAnswerer none({QMessageBox::Yes});  // only the question before another monitor's EDID goes
    frame.Action(kCmdEdidWrite)->trigger();
    QCOMPARE(none.Texts().size(), 1);
    QVERIFY(none.Texts()[0].startsWith(QStringLiteral("The monitor's EEPROM holds the EDID of another monitor.")));
    QCOMPARE(Eeprom(program, kEdidSize), std::vector<uint8_t>(frame.Block().Bytes().begin(), frame.Block().Bytes().end()));
  }

 private:
  QTemporaryDir settingsFolder_;
  QTemporaryDir folder_;
  const std::vector<EdidBytes> blocks_ = {CtaBlockWithoutHdmi(), EmptyDisplayId()};
  std::vector<uint8_t> whole_;
  EdidBytes base_{};
};

QTEST_MAIN(WholeEdidTest)
#include "whole_edid_test.moc"
