// The desktop program on a simulated PC of today: the monitor on a kernel I2C bus, chosen in the
// toolbar, the channel menu or "Configuration Setup" and remembered by its connector; reading the
// kernel's copy of a connected display's EDID; and the safety rules' refusals and questions.
#include <QtTest>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QSettings>

#include "app/tolvex_view.h"
#include "document/config_dlg.h"
#include "gui/modal_support.h"
#include "gui/sim_app_support.h"
#include "ddc/sim/sim_edid.h"
#include "report/edid_report.h"

using namespace tolvex;
using namespace tolvex::testing;

namespace {

EdidBytes EepromBlock(sim::SimMonitor& monitor) {
  EdidBytes bytes{};
  std::copy_n(monitor.AnalogEeprom().Memory().begin(), kEdidSize, bytes.begin());
  return bytes;
}

// A block the conformance check finds nothing wrong with (EDID Write would ask first otherwise),
// and that differs from what the monitor holds.
void FillValidBlock(EdidBlock& block) {
  sim::FillSimulatedEdid(block, false);
  block.SetSerialNumber(4711);
  block.UpdateChecksum();
}

QStringList Items(const QComboBox& box) {
  QStringList items;
  for (int i = 0; i < box.count(); ++i) items << box.itemText(i);
  return items;
}

}  // namespace

class LinuxChannelTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { UseTemporarySettings(settingsFolder_); }
  void init() { QSettings(QSettings::NativeFormat, QSettings::UserScope, "Marvane", "Tolvex").clear(); }

  void readsAndWritesThroughTheKernelBusOfTheConnectedDisplay() {
    SimulatedProgram program(sim::MakeI2cDevHardware());
    CMainFrame& frame = program.Frame();
    QCOMPARE(program.Doc().Channel(), kChannelLinuxBus);
    const QStringList expected = {QStringLiteral("card0-HDMI-A-1: TOLVEX SIM17 (i2c-3)"),
                                  QStringLiteral("card0-DP-1: no display (i2c-4)"),
                                  QStringLiteral("SMBus I801 adapter at efa0 (i2c-0)")};
    QCOMPARE(Items(*frame.ChannelChoice()), expected);
    QCOMPARE(frame.ChannelChoice()->currentIndex(), 0);
    QCOMPARE(frame.ChannelOptionActions().size(), 3);
    QVERIFY(frame.ChannelOptionActions()[0]->isChecked());
    QVERIFY2(!frame.ChannelOptionActions()[2]->isEnabled(), "ee1004 owns its 0x50");
    for (CommandId id : {kCmdChannelBlackBox, kCmdChannelServiceKit, kCmdChannelS3}) QVERIFY(!frame.Action(id)->isEnabled());
    QVERIFY(frame.Action(kCmdEdidRead)->isEnabled());

    frame.Action(kCmdEdidRead)->trigger();
    QCOMPARE(frame.Block().Bytes(), EepromBlock(program.Monitor()));
    QCOMPARE(program.Doc().Title(), QStringLiteral("Untitled"));

    FillValidBlock(frame.Block());
    QVERIFY(frame.Action(kCmdEdidWrite)->isEnabled());
    ModalAnswerer answers({QMessageBox::Yes});  // to the question before another monitor's EDID goes
    frame.Action(kCmdEdidWrite)->trigger();
    QCOMPARE(answers.Texts().size(), 1);
    QVERIFY(answers.Texts()[0].startsWith(QStringLiteral("The monitor's EEPROM holds the EDID of another monitor.")));
    QCOMPARE(EepromBlock(program.Monitor()), frame.Block().Bytes());
  }

  // The one programmer plugged in is chosen; a base block alone and one with an extension go
  // into the EEPROM in its clip and are verified.
  void writesWholeEdidsThroughTheCh341a() {
    SimulatedProgram program(sim::MakeCh341aHardware());
    CMainFrame& frame = program.Frame();
    QCOMPARE(Items(*frame.ChannelChoice()), QStringList{QStringLiteral("CH341A USB programmer (bus 001 device 005)")});
    QCOMPARE(frame.ChannelChoice()->currentIndex(), 0);
    QCOMPARE(program.Doc().Channel(), kChannelLinuxBus);
    frame.Action(kCmdEdidRead)->trigger();
    QCOMPARE(frame.Block().Bytes(), EepromBlock(program.Monitor()));

    EdidBytes cta{};  // CTA-861 revision 3 without data blocks: nothing for the check to ask about
    cta[0] = 0x02;
    cta[1] = 0x03;
    cta[2] = 0x04;
    cta[kEdidSize - 1] = ComputeChecksum(cta);
    for (const std::vector<EdidBytes>& blocks : {std::vector<EdidBytes>{}, std::vector<EdidBytes>{cta}}) {
      FillValidBlock(frame.Block());
      frame.Block().Bytes()[kExtensionCountOffset] = static_cast<uint8_t>(blocks.size());
      frame.Block().UpdateChecksum();
      program.Doc().Extensions().blocks = blocks;
      const std::vector<uint8_t> whole = JoinWholeEdid(frame.Block().Bytes(), program.Doc().Extensions());
      // Asked the first time only: then the EEPROM holds this monitor's EDID.
      ModalAnswerer answers({QMessageBox::Yes});
      frame.Action(kCmdEdidWrite)->trigger();
      QCOMPARE(answers.Texts().size(), blocks.empty() ? 1 : 0);
      const auto& memory = program.Monitor().AnalogEeprom().Memory();
      QVERIFY(std::equal(whole.begin(), whole.end(), memory.begin()));
    }
    QVERIFY(program.Hardware().usb.First()->BulkOuts() > 0);
  }

  void theChoiceIsRememberedByConnector() {
    {
      SimulatedProgram program(sim::MakeI2cDevHardware());
      QComboBox& choice = *program.Frame().ChannelChoice();
      choice.setCurrentIndex(1);
      emit choice.activated(1);
      QVERIFY(program.Frame().ChannelOptionActions()[1]->isChecked());
    }
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, "Marvane", "Tolvex");
    QCOMPARE(store.value("Settings/Linux_Bus").toString(), QStringLiteral("card0-DP-1"));

    SimulatedProgram next(sim::MakeI2cDevHardware());
    QCOMPARE(next.Frame().ChannelChoice()->currentIndex(), 1);
    // Configuration Setup offers the same list and chooses from it on OK.
    ModalAnswerer answers;
    answers.SetDialogHandler([](QWidget* widget) {
      auto* dialog = qobject_cast<CConfigDlg*>(widget);
      QVERIFY(dialog);
      QCOMPARE(dialog->ChannelBox()->currentIndex(), 1);
      dialog->ChannelBox()->setCurrentIndex(0);
      dialog->accept();
    });
    next.Frame().Action(kCmdConfigSetup)->trigger();
    QCOMPARE(next.Frame().ChannelChoice()->currentIndex(), 0);
    QCOMPARE(QSettings(QSettings::NativeFormat, QSettings::UserScope, "Marvane", "Tolvex").value("Settings/Linux_Bus").toString(),
             QStringLiteral("card0-HDMI-A-1"));
  }

  void readsTheKernelsCopyOfTheConnectedDisplay() {
    SimulatedProgram program(sim::MakeI2cDevHardware());
    CMainFrame& frame = program.Frame();
    QVERIFY(frame.Action(kCmdReadFromDisplay)->isEnabled());
    const uint64_t before = program.Hardware().kernel.RdwrCalls();
    frame.Action(kCmdReadFromDisplay)->trigger();
    QCOMPARE(program.Hardware().kernel.RdwrCalls(), before);  // no bus traffic
    QCOMPARE(frame.Block().Bytes(), EepromBlock(program.Monitor()));
    QVERIFY(frame.IsCodeWindowShown());
    QCOMPARE(frame.MessagePane()->text(),
             QStringLiteral("The EDID was read from the kernel's copy /sys/class/drm/card0-HDMI-A-1/edid"));

    // Like EDID Read, it replaces the document: unsaved changes are offered for saving first, and
    // Cancel keeps them.
    frame.Block().SetSerialNumber(4711);
    const EdidBytes edited = frame.Block().Bytes();
    {
      ModalAnswerer cancel({QMessageBox::Cancel});
      frame.Action(kCmdReadFromDisplay)->trigger();
      QCOMPARE(cancel.Texts(), QStringList{QStringLiteral("Save changes to Untitled?")});
    }
    QCOMPARE(frame.Block().Bytes(), edited);

    // A bus the program may not open is read from that copy instead, saying so.
    auto denied = sim::MakeI2cDevHardware();
    denied->kernel.DenyAccess("/dev/i2c-3");
    SimulatedProgram fallback(std::move(denied));
    ModalAnswerer answers;
    fallback.Frame().Action(kCmdEdidRead)->trigger();
    QCOMPARE(fallback.Frame().Block().Bytes(), EepromBlock(fallback.Monitor()));
    QCOMPARE(answers.Seen().size(), size_t{1});
    QVERIFY2(answers.Seen()[0].text.startsWith(QStringLiteral("/dev/i2c-3: permission denied. Add your user to the i2c group")),
             qPrintable(answers.Seen()[0].text));
    QVERIFY2(answers.Seen()[0].text.endsWith(QStringLiteral("the EDID was read from the kernel's copy /sys/class/drm/card0-HDMI-A-1/edid instead")), qPrintable(answers.Seen()[0].text));
  }

  // A transfer paints its progress through the event loop; a channel chosen meanwhile waits, as
  // the commands do, and the transfer ends on the bus it started on.
  void noChannelIsChosenInTheMiddleOfATransfer() {
    SimulatedProgram program(sim::MakeI2cDevHardware());
    CMainFrame& frame = program.Frame();
    frame.show();
    ModalAnswerer answers;
    answers.SetDialogHandler([](QWidget* widget) {
      auto* dialog = qobject_cast<CConfigDlg*>(widget);
      QVERIFY(dialog);
      dialog->ProtocolButtons()->button(1)->click();  // byte by byte, with progress after each
      dialog->accept();
    });
    frame.Action(kCmdConfigSetup)->trigger();

    bool arrivedDuringTransfer = false;
    QTimer::singleShot(0, &frame, [&] {
      arrivedDuringTransfer = frame.IsWaitCursorShown();
      emit frame.ChannelChoice()->activated(1);
      frame.ChannelOptionActions()[1]->trigger();
    });
    frame.Action(kCmdEdidRead)->trigger();
    QVERIFY(arrivedDuringTransfer);
    QCOMPARE(frame.Block().Bytes(), EepromBlock(program.Monitor()));
    QCOMPARE(frame.ChannelChoice()->currentIndex(), 0);
    QVERIFY(frame.ChannelOptionActions()[0]->isChecked());
  }

  void refusalsAreOneMessageAndNothingIsWritten() {
    auto dimm = sim::MakeI2cDevHardware();
    dimm->namedBus = sim::kSimSmbus;
    SimulatedProgram program(std::move(dimm));
    CMainFrame& frame = program.Frame();
    frame.OnEdidCode();
    FillValidBlock(frame.Block());
    const EdidBytes before = frame.Block().Bytes();
    ModalAnswerer answers;
    frame.Action(kCmdEdidRead)->trigger();
    frame.Action(kCmdEdidWrite)->trigger();
    QCOMPARE(answers.Texts(), QStringList(2, QStringLiteral(
                                  "/dev/i2c-0 (SMBus I801 adapter at efa0): refused: memory modules' SPD EEPROMs are "
                                  "on this bus (address 0x50 belongs to the kernel driver ee1004), and writing one "
                                  "can leave the PC unable to boot")));
    QCOMPARE(answers.Seen()[0].title, QStringLiteral("Linux I2C bus"));
    QCOMPARE(frame.Block().Bytes(), before);
    QCOMPARE(program.Hardware().kernel.RdwrCalls(), 0u);
  }

  void aWriteOverWhatIsNoEdidIsAskedFirst() {
    for (QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
      SimulatedProgram program(sim::MakeI2cDevHardware());
      program.Monitor().AnalogEeprom().Memory()[0] = 0x42;
      const EdidBytes held = EepromBlock(program.Monitor());
      CMainFrame& frame = program.Frame();
      frame.OnEdidCode();
      FillValidBlock(frame.Block());
      ModalAnswerer answers({answer});
      frame.Action(kCmdEdidWrite)->trigger();
      QVERIFY(answers.Seen()[0].text.endsWith(QStringLiteral("neither an EDID header nor blank bytes\n\nWrite anyway?")));
      if (answer == QMessageBox::Yes) {
        QCOMPARE(answers.Seen().size(), size_t{1});
        QCOMPARE(EepromBlock(program.Monitor()), frame.Block().Bytes());
      } else {
        QCOMPARE(answers.Seen().size(), size_t{2});
        QCOMPARE(answers.Seen()[1].title, QStringLiteral("I2C bus refused"));
        QCOMPARE(EepromBlock(program.Monitor()), held);
      }
    }
  }

 private:
  QTemporaryDir settingsFolder_;
};

QTEST_MAIN(LinuxChannelTest)
#include "linux_channel_test.moc"
