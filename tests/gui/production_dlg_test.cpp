// "Production Write" on the simulated monitor: three units come one after another and are
// programmed while the window stays responsive, the display and the log follow, Stop ends the
// run between units, and the choices are there again next time.
#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "app/command_table.h"
#include "ddc/sim/sim_production_line.h"
#include "document/production_dlg.h"
#include "gui/modal_support.h"
#include "gui/sim_app_support.h"

using namespace tolvex;
using namespace tolvex::testing;

namespace {

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A counter file holding `number`.
QString Counter(const QTemporaryDir& folder, const char* name, const QByteArray& number) {
  const QString path = folder.filePath(QLatin1String(name));
  QFile file(path);
  if (file.open(QIODevice::WriteOnly)) file.write(number + '\n');
  return path;
}

}  // namespace

class ProductionDlgTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { UseTemporarySettings(settings_); }

  void runsThreeUnitsAndStopsBetweenUnits() {
    SimulatedProgram program;
    EdidBlock& block = program.Frame().Block();
    block.SetSerialFormat(kSerialDecimal);
    sim::SimProductionLine line(program.Monitor(), program.Hardware().time, 3);
    const ProductionStation station(program.Doc().Bus(), program.Doc().Settings(), program.Doc().GetHardware());
    const QString counter = Counter(files_, "counter", "500");
    const QString log = files_.filePath(QStringLiteral("units.csv"));

    CProductionDlg dialog(station, block.Bytes(), program.Doc().Extensions(), block.GetSerialFormat());
    dialog.show();
    dialog.CounterEdit()->setText(counter);
    dialog.FieldCombo()->setCurrentIndex(static_cast<int>(SerialField::kBinary));
    dialog.TemplateEdit()->setText(QStringLiteral("U{:04d}"));
    dialog.StampDateBox()->setChecked(true);
    dialog.LogEdit()->setText(log);
    QCOMPARE(dialog.NextUnit()->text(), QStringLiteral("Next unit: U0500"));
    QVERIFY(!QFile::exists(log));  // typing a path creates nothing

    QTest::mouseClick(dialog.StartButton(), Qt::LeftButton);
    QVERIFY(dialog.Running());
    QVERIFY(!dialog.CounterEdit()->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(dialog.Counts()->text(), QStringLiteral("Passed: 3    Failed: 0"), 60000);
    QCOMPARE(dialog.Verdict()->text(), QStringLiteral("PASS"));
    QCOMPARE(dialog.LastSerial()->text(), QStringLiteral("Last serial: U0502"));
    QCOMPARE(ReadFile(counter), QByteArray("503\n"));
    QCOMPARE(ReadFile(log).count('\n'), 4);
    QCOMPARE(line.UnitsPlugged(), 3);

    // The loop now waits for a fourth monitor that never comes.
    QTest::mouseClick(dialog.StartButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.Running(), 20000);
    QCOMPARE(dialog.Status()->text(), QStringLiteral("Stopped."));
    QVERIFY(dialog.CounterEdit()->isEnabled());
    QCOMPARE(dialog.NextUnit()->text(), QStringLiteral("Next unit: U0503"));
    dialog.close();
    QVERIFY(!dialog.isVisible());

    CProductionDlg again(station, block.Bytes(), program.Doc().Extensions(), block.GetSerialFormat());
    QCOMPARE(again.CounterEdit()->text(), counter);
    QCOMPARE(again.TemplateEdit()->text(), QStringLiteral("U{:04d}"));
    QVERIFY(again.StampDateBox()->isChecked());
    QCOMPARE(again.LogEdit()->text(), log);
  }

  void closingWhileRunningWaitsForTheUnitAndAFailureShows() {
    SimulatedProgram program;
    program.Monitor().SetWriteProtectStuck(true);
    EdidBlock& block = program.Frame().Block();
    const ProductionStation station(program.Doc().Bus(), program.Doc().Settings(), program.Doc().GetHardware());
    const QString counter = Counter(files_, "counter2", "77");
    CProductionDlg dialog(station, block.Bytes(), program.Doc().Extensions(), kSerialHex);
    dialog.show();
    dialog.CounterEdit()->setText(counter);
    dialog.LogEdit()->clear();
    QTest::mouseClick(dialog.StartButton(), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(dialog.Verdict()->text(), QStringLiteral("FAIL"), 60000);
    QVERIFY(dialog.LastSerial()->text().contains(QStringLiteral("EDID code verified error")));
    dialog.close();
    QVERIFY(dialog.isVisible());  // the run ends first
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.isVisible(), 20000);
    QCOMPARE(ReadFile(counter), QByteArray("77\n"));
  }

  void theI2cMenuOffersItWhereAChannelWasFound() {
    SimulatedProgram program;
    QAction* action = program.Frame().Action(kCmdProductionWrite);
    QVERIFY(action->isEnabled());
    QCOMPARE(action->text(), QStringLiteral("&Production Write..."));
    ModalAnswerer answers;
    QString seen;
    answers.SetDialogHandler([&](QWidget* widget) {
      seen = widget->windowTitle();
      widget->close();
    });
    action->trigger();
    QCOMPARE(seen, QStringLiteral("Production Write"));

    SimulatedProgram bare(sim::MakeBareHardware());
    QVERIFY(!bare.Frame().Action(kCmdProductionWrite)->isEnabled());
  }

 private:
  QTemporaryDir settings_;
  QTemporaryDir files_;
};

QTEST_MAIN(ProductionDlgTest)
#include "production_dlg_test.moc"
