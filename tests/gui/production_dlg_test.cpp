// "Production Write" on the simulated monitor: three units come one after another and are
// programmed while the window stays responsive, the display and the log follow, Stop ends the
// run between units, and the choices are there again next time.
#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
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
    QVERIFY(dialog.LastSerial()->text().startsWith(QStringLiteral("Last serial: U0502\nthe old EDID was kept in /")));
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
    ModalAnswerer answers;
    dialog.close();
    QVERIFY(dialog.isVisible());  // the run ends first
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.isVisible(), 20000);
    QCOMPARE(answers.Texts(), QStringList{QStringLiteral("Stopped.\nPassed: 0    Failed: 1")});
    QCOMPARE(ReadFile(counter), QByteArray("77\n"));
  }

  // Close stays enabled during a run; Close and Escape end the run after the unit under way, as
  // the window's close button does, and the run's summary is shown before the dialog goes.
  void closingDuringARunEndsItAfterTheUnitWithTheSummary_data() {
    QTest::addColumn<int>("how");
    QTest::newRow("Close") << 0;
    QTest::newRow("Escape") << 1;
  }
  void closingDuringARunEndsItAfterTheUnitWithTheSummary() {
    QFETCH(int, how);
    SimulatedProgram program;
    EdidBlock& block = program.Frame().Block();
    sim::SimProductionLine line(program.Monitor(), program.Hardware().time, 5);
    const ProductionStation station(program.Doc().Bus(), program.Doc().Settings(), program.Doc().GetHardware());
    const QString counter = Counter(files_, "counter3", "40");
    CProductionDlg dialog(station, block.Bytes(), program.Doc().Extensions(), kSerialDecimal);
    dialog.show();
    dialog.CounterEdit()->setText(counter);
    dialog.LogEdit()->clear();
    ModalAnswerer answers;
    QTest::mouseClick(dialog.StartButton(), Qt::LeftButton);
    QVERIFY(dialog.Running());
    QVERIFY(dialog.CloseButton()->isEnabled());
    if (how == 0) QTest::mouseClick(dialog.CloseButton(), Qt::LeftButton);
    if (how == 1) QTest::keyClick(&dialog, Qt::Key_Escape);
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.isVisible(), 60000);
    QCOMPARE(answers.Seen().size(), size_t{1});
    QCOMPARE(answers.Seen()[0].text, dialog.Status()->text() + QLatin1Char('\n') + dialog.Counts()->text());
    QVERIFY(!dialog.Running());
    QVERIFY(line.UnitsPlugged() < 5);
    // The unit under way was finished: the counter moved on by the units that passed.
    const int passed = dialog.Counts()->text().section(QLatin1Char(' '), 1, 1).toInt();
    QCOMPARE(ReadFile(counter), QByteArray::number(40 + passed) + '\n');
  }

  // What the form says fits the dialog, and a folder named as the counter is called one.
  void theFormShowsItsMessagesWhole() {
    SimulatedProgram program;
    const ProductionStation station(program.Doc().Bus(), program.Doc().Settings(), program.Doc().GetHardware());
    CProductionDlg dialog(station, program.Frame().Block().Bytes(), program.Doc().Extensions(), kSerialDecimal);
    dialog.show();
    const QString folder = files_.filePath(QStringLiteral("a-folder-named-like-a-production-line-counter"));
    QVERIFY(QDir().mkpath(folder));
    dialog.CounterEdit()->setText(folder);
    QVERIFY2(dialog.NextUnit()->text().contains(QStringLiteral("is a directory")), qPrintable(dialog.NextUnit()->text()));
    QTRY_VERIFY(dialog.NextUnit()->height() >= dialog.NextUnit()->heightForWidth(dialog.NextUnit()->width()));
    const QFontMetrics metrics(dialog.CounterEdit()->font());
    QVERIFY(dialog.CounterEdit()->width() >= metrics.horizontalAdvance(folder.left(40)));
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
