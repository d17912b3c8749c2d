// "Apply to Connector..." and "Install as Firmware..." on the simulated PC of today, with a fake
// in place of pkexec: what the dialog shows before anything runs, the command line run as root,
// the temporary file it names, and what each way the run can end leaves the user with.
#include <QtTest>

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QRadioButton>
#include <QSettings>

#include <optional>

#include "ddc/sim/sim_edid.h"
#include "document/connector_dlg.h"
#include "gui/modal_support.h"
#include "gui/sim_app_support.h"

using namespace tolvex;
using namespace tolvex::testing;

namespace {

struct RunnerCall {
  QString program;
  QStringList arguments;
  QByteArray edidFile;  // what the file the command names held while it ran
};

class FakeRunner final : public CommandRunner {
 public:
  FakeRunner(CommandResult answer, std::optional<RunnerCall>& call) : answer_(std::move(answer)), call_(call) {}
  CommandResult Run(const QString& program, const QStringList& arguments) override {
    call_ = RunnerCall{program, arguments, arguments.size() > 4 ? ReadBytes(arguments.last()) : QByteArray()};
    return answer_;
  }

 private:
  CommandResult answer_;
  std::optional<RunnerCall>& call_;
};

enum class Dialog { kAccept, kCancel };

struct Row {
  const char* name;
  CommandId command;
  bool reset = false;
  bool breakChecksum = false;
  Dialog dialog = Dialog::kAccept;
  CommandResult answer;
  QStringList arguments;  // after tolvex-cli; "FILE" is the temporary file; empty: nothing runs
  QStringList previewHas;
  QString boxTitle;  // empty: no box
  QStringList boxHas;
  QString status = QStringLiteral("Ready");
};

constexpr char kOverride[] = "/sys/kernel/debug/dri/0000:00:02.0/HDMI-A-1/edid_override";

// The monitor's block with a CTA-861 block behind it, checksums right.
void MakeWholeEdid(EdidBlock& block, EdidExtensions& extensions) {
  sim::FillSimulatedEdid(block, false);
  EdidBytes cta{};
  cta[0] = 0x02;
  cta[1] = 0x03;
  cta[2] = 0x04;
  cta[kEdidSize - 1] = ComputeChecksum(cta);
  extensions.Clear();
  extensions.blocks = {cta};
  block.Bytes()[kExtensionCountOffset] = 1;
  block.UpdateChecksum();
}

QString Joined(const QStringList& words) { return words.join(QLatin1Char(' ')); }

}  // namespace

class ConnectorCommandTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { UseTemporarySettings(settingsFolder_); }
  void init() { QSettings(QSettings::NativeFormat, QSettings::UserScope, "Marvane", "Tolvex").clear(); }

  void showsWhatGoesWhereThenRunsTolvexCliAsRoot() {
    const QString cli = QCoreApplication::applicationDirPath() + QStringLiteral("/tolvex-cli");
    QVERIFY2(QFileInfo(cli).isExecutable(), qPrintable(cli));
    const QString connector = QStringLiteral("card0-HDMI-A-1");
    const QStringList applyEdid = {"apply", "--connector", connector, "FILE"};
    const QStringList edidPreview = {QStringLiteral("Writes the whole EDID: 256 bytes, 2 blocks"),
                                     QStringLiteral("Into the kernel's override: ") + kOverride,
                                     QStringLiteral("Then \"detect\" into: /sys/class/drm/card0-HDMI-A-1/status")};
    const Row rows[] = {
        {"apply", kCmdApplyToConnector, false, false, Dialog::kAccept,
         {true, 0, {}, "tolvex-cli: card0-HDMI-A-1: the EDID (256 bytes) went to X; the kernel probes the connector again\n"},
         applyEdid, edidPreview, {}, {},
         "card0-HDMI-A-1: the EDID (256 bytes) went to X; the kernel probes the connector again"},
        {"reset", kCmdApplyToConnector, true, false, Dialog::kAccept, {true, 0, {}, {}},
         {"apply", "--connector", connector, "--reset"},
         {QStringLiteral("Writes \"reset\""), QStringLiteral("Into the kernel's override: ") + kOverride},
         {}, {},
         QStringLiteral("card0-HDMI-A-1: the override is reset (") + kOverride +
             "); the kernel probes the connector again"},
        {"install firmware", kCmdInstallFirmware, false, false, Dialog::kAccept,
         {true, 0,
          "The EDID is in /lib/firmware/edid/card0-HDMI-A-1.bin\n"
          "Kernel parameter (add it to the boot loader's command line): drm.edid_firmware=HDMI-A-1:edid/card0-HDMI-A-1.bin\n"
          "initramfs-tools: ... sudo update-initramfs -u\n",
          {}},
         {"install-firmware", "--connector", connector, "FILE"},
         {"Writes the whole EDID: 256 bytes, 2 blocks", "Into the firmware file: /lib/firmware/edid/card0-HDMI-A-1.bin",
          "Kernel parameter that loads it at boot: drm.edid_firmware=HDMI-A-1:edid/card0-HDMI-A-1.bin"},
         "Install as Firmware",
         {"installed as firmware for card0-HDMI-A-1", "drm.edid_firmware=HDMI-A-1:edid/card0-HDMI-A-1.bin",
          "sudo update-initramfs -u"},
         "The EDID is in /lib/firmware/edid/card0-HDMI-A-1.bin"},
        {"password dialog dismissed", kCmdApplyToConnector, false, false, Dialog::kAccept, {true, 126, {}, {}},
         applyEdid, edidPreview, "Not authorised", {"Not authorised", "(pkexec ended with 126)", "nothing was changed"}},
        {"tolvex-cli refuses", kCmdApplyToConnector, false, false, Dialog::kAccept,
         {true, 1, {}, "tolvex-cli: debugfs is not mounted at /sys/kernel/debug: run sudo mount -t debugfs none\n"},
         applyEdid, edidPreview, "tolvex-cli failed", {"debugfs is not mounted at /sys/kernel/debug: run sudo mount"}},
        {"pkexec missing", kCmdApplyToConnector, false, false, Dialog::kAccept, {false, 0, {}, {}}, applyEdid,
         edidPreview, "pkexec is needed",
         {"polkitd", "In a root shell, run instead:\n\n" + cli + " apply --connector card0-HDMI-A-1 FILE",
          "The EDID stays in FILE"}},
        {"broken checksum", kCmdInstallFirmware, false, true, Dialog::kAccept, {}, {}, {}, "Install as Firmware",
         {"The checksum byte of extension block 1 is 0x"}},
        {"cancelled", kCmdApplyToConnector, false, false, Dialog::kCancel, {}, {}, edidPreview},
    };
    for (const Row& row : rows) {
      SimulatedProgram program(sim::MakeI2cDevHardware());
      // Newer kernels name the card's debugfs folder after its PCI address; root would see this.
      program.Hardware().files.AddFile(kOverride, std::string());
      CMainFrame& frame = program.Frame();
      MakeWholeEdid(frame.Block(), program.Doc().Extensions());
      if (row.breakChecksum) program.Doc().Extensions().blocks[0][kEdidSize - 1] ^= 0x5A;
      const QByteArray whole = [&] {
        const std::vector<uint8_t> bytes = JoinWholeEdid(frame.Block().Bytes(), program.Doc().Extensions());
        return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
      }();
      std::optional<RunnerCall> call;
      program.Doc().SetCommandRunner(std::make_unique<FakeRunner>(row.answer, call));
      frame.UpdateCommandUi();
      QVERIFY2(frame.Action(row.command)->isEnabled(), row.name);

      QString preview;
      bool dialogShown = false;
      ModalAnswerer answers;
      answers.SetDialogHandler([&](QWidget* widget) {
        auto* dialog = qobject_cast<CConnectorDlg*>(widget);
        QVERIFY(dialog);
        dialogShown = true;
        QCOMPARE(dialog->ConnectorBox()->currentText(), QStringLiteral("card0-HDMI-A-1 (connected)"));
        QCOMPARE(dialog->ConnectorBox()->count(), 2);
        if (row.reset) dialog->ResetButton()->setChecked(true);
        preview = dialog->PreviewLabel()->text();
        if (row.dialog == Dialog::kAccept) dialog->accept();
        else dialog->reject();
      });
      frame.Action(row.command)->trigger();
      QVERIFY2(dialogShown, row.name);

      // The preview names the file the command then gets.
      const QString lastWord = preview.section(QLatin1Char(' '), -1);
      const QString file = lastWord.startsWith(QDir::tempPath()) ? lastWord : QStringLiteral("FILE");
      const auto withFile = [&](QString text) { return text.replace(QStringLiteral("FILE"), file); };
      for (const QString& line : row.previewHas) QVERIFY2(preview.contains(line), qPrintable(preview));
      if (!row.previewHas.isEmpty()) {
        QStringList expected = {QStringLiteral("pkexec"), cli};
        for (const QString& word : row.arguments.isEmpty() ? applyEdid : row.arguments) expected << word;
        const QString command = Joined(expected);
        QVERIFY2(preview.endsWith(withFile(command)), qPrintable(preview));
      }
      if (row.arguments.isEmpty()) {
        QVERIFY2(!call, row.name);
        QVERIFY2(!QFileInfo::exists(file), qPrintable(file));
      } else {
        QVERIFY2(call, row.name);
        QCOMPARE(call->program, QStringLiteral("pkexec"));
        QStringList expected = {cli};
        for (const QString& word : row.arguments) expected << withFile(word);
        QCOMPARE(call->arguments, expected);
        if (row.arguments.last() == QLatin1String("FILE")) {
          QVERIFY2(file.startsWith(QDir::tempPath() + QStringLiteral("/tolvex-edid-")), qPrintable(file));
          QCOMPARE(call->edidFile, whole);
          // Gone once the run is over, unless the message tells the user to run it by hand.
          const bool kept = !row.answer.started;
          QCOMPARE(QFileInfo::exists(file), kept);
          if (kept) QFile::remove(file);
        }
      }
      if (row.boxTitle.isEmpty()) {
        QVERIFY2(answers.Seen().empty(), qPrintable(answers.Texts().join('\n')));
      } else {
        QCOMPARE(answers.Seen().size(), size_t{1});
        const SeenBox& box = answers.Seen()[0];
        QCOMPARE(box.title, row.boxTitle);
        for (const QString& part : row.boxHas) {
          QVERIFY2((box.text + box.informativeText).contains(withFile(part)),
                   qPrintable(row.name + QStringLiteral(": ") + box.text + '\n' + box.informativeText));
        }
      }
      QCOMPARE(frame.MessagePane()->text(), row.status);
    }
  }

  // The real runner: what the program said and how it ended, and a program not in PATH told
  // apart from one that failed.
  void theProcessRunnerReportsHowTheProgramEnded() {
    ProcessRunner runner;
    const CommandResult ran = runner.Run(QStringLiteral("sh"), {"-c", "echo said; echo refused >&2; exit 3"});
    QVERIFY(ran.started);
    QCOMPARE(ran.exitCode, 3);
    QCOMPARE(ran.out, QStringLiteral("said\n"));
    QCOMPARE(ran.err, QStringLiteral("refused\n"));
    QVERIFY(!runner.Run(QStringLiteral("tolvex-no-such-program"), {}).started);
  }

 private:
  QTemporaryDir settingsFolder_;
};

QTEST_MAIN(ConnectorCommandTest)
#include "connector_command_test.moc"
