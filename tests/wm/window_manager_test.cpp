// The windows as a window manager frames and stacks them (openbox on Xvfb, see run_under_wm.sh):
// where the wizard and the EDID code window land relative to the main window's frame, and that the
// code window is never hidden behind the main window when it is shown. Geometry and stacking are
// asked of the X server and the window manager, not of Qt, whose idea of the frame is the thing
// that can be wrong.
#include <QtTest>

#include <QProcess>
#include <QRegularExpression>
#include <QWizard>

#include "app/edid_code_dlg.h"
#include "gui/modal_support.h"
#include "gui/sim_app_support.h"
#include "report/edid_report.h"
#include "wizard/edid_wizard.h"

using namespace tolvex;
using namespace tolvex::testing;

namespace {

QString Run(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(10000)) return {};
  return QString::fromLocal8Bit(process.readAllStandardOutput());
}

QString WindowArgument(WId window) { return QStringLiteral("0x%1").arg(window, 0, 16); }

// The numbers of an xprop line ("NAME(TYPE) = 1, 2, 3" or "... window id # 0x1, 0x2").
QList<qulonglong> PropertyNumbers(const QString& line) {
  QList<qulonglong> numbers;
  const qsizetype equals = line.indexOf(QRegularExpression(QStringLiteral("[=#]")));
  if (equals < 0) return numbers;
  for (const QString& item : line.mid(equals + 1).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
    bool ok = false;
    const qulonglong value = item.trimmed().toULongLong(&ok, 0);
    if (ok) numbers << value;
  }
  return numbers;
}

// The outer rectangle of a top-level window with the window manager's decoration, in root
// coordinates; empty until the manager has framed the window.
QRect ServerFrame(WId window) {
  const QList<qulonglong> extents =
      PropertyNumbers(Run(QStringLiteral("xprop"), {QStringLiteral("-id"), WindowArgument(window), QStringLiteral("_NET_FRAME_EXTENTS")}));
  if (extents.size() != 4) return {};
  const QString info = Run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), WindowArgument(window)});
  const auto field = [&info](const char* name) {
    const QRegularExpressionMatch match =
        QRegularExpression(QString::fromLatin1(name) + QStringLiteral(":\\s*(-?\\d+)")).match(info);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
  };
  const QRect client(field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"), field("Height"));
  if (!client.isValid()) return {};
  return client.adjusted(-static_cast<int>(extents[0]), -static_cast<int>(extents[2]), static_cast<int>(extents[1]),
                         static_cast<int>(extents[3]));
}

// The managed windows from bottom to top, as the window manager stacks them.
QList<qulonglong> Stacking() {
  return PropertyNumbers(Run(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")}));
}

bool IsAbove(const QWidget& upper, const QWidget& lower) {
  const QList<qulonglong> order = Stacking();
  const qsizetype up = order.indexOf(upper.winId());
  const qsizetype down = order.indexOf(lower.winId());
  return up >= 0 && down >= 0 && up > down;
}

// Waits until the window manager has framed the window and the frame holds still.
QRect SettledFrame(const QWidget& window) {
  QRect last;
  int still = 0;
  (void)QTest::qWaitFor(
      [&] {
        const QRect now = ServerFrame(window.winId());
        still = now.isValid() && now == last ? still + 1 : 0;
        last = now;
        return still >= 3;
      },
      5000);
  return last;
}

void WriteReport(const QString& path) {
  EdidBlock block;
  block.SetManufacturerId("WMT");
  block.UpdateChecksum();
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(QByteArray::fromStdString(FormatEdidReport(block)));
}

}  // namespace

class WindowManagerTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(settingsFolder_.isValid());
    UseTemporarySettings(settingsFolder_);
    QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"), "run through tests/wm/run_under_wm.sh");
  }

  // The wizard's frame 5 px right of and 72 px below the main window's frame corner; the code
  // window's frame 20 px left of the main frame's right edge and 72 px below its top.
  void wizardAndCodeWindowArePlacedByTheirFrames() {
    SimulatedProgram program;
    CMainFrame& frame = program.Frame();
    program.ShowMainWindow();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    const QRect main = SettledFrame(frame);
    QVERIFY(main.isValid());

    QRect wizardFrame;
    QRect codeFrame;
    ModalAnswerer answers;
    answers.SetDialogHandler([&](QWidget* modal) {
      auto* wizard = qobject_cast<CEdidWizard*>(modal);
      if (!wizard || !wizardFrame.isNull()) return;
      wizardFrame = SettledFrame(*wizard);
      codeFrame = SettledFrame(frame.CodeWindow());
      QTest::keyClick(wizard, Qt::Key_Escape);
    });
    frame.Action(kCmdFileNew)->trigger();
    QVERIFY(wizardFrame.isValid());
    QCOMPARE(wizardFrame.topLeft(), main.topLeft() + QPoint(5, 72));
    QCOMPARE(codeFrame.right(), main.right() - 20);
    QCOMPARE(codeFrame.top(), main.top() + 72);
  }

  // A file named on the command line shows the code window before the main window exists on the
  // screen; it must end up above the frame all the same.
  void codeWindowOfAFileOnTheCommandLineIsAboveTheFrame() {
    const QString path = folder_.filePath("argument.ddc");
    WriteReport(path);
    SimulatedProgram program(sim::MakeBlackBoxHardware(), path);
    QVERIFY(program.Started());
    program.ShowMainWindow();
    CMainFrame& frame = program.Frame();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QVERIFY(frame.IsCodeWindowShown());
    SettledFrame(frame.CodeWindow());
    QTRY_VERIFY(IsAbove(frame.CodeWindow(), frame));
    const QRect main = SettledFrame(frame);
    const QRect code = SettledFrame(frame.CodeWindow());
    QCOMPARE(code.right(), main.right() - 20);
    QCOMPARE(code.top(), main.top() + 72);
  }

  // Shown again by the command, and by File New while it is shown but covered, it comes on top.
  void codeWindowComesOnTopWhenShownAndOnFileNew() {
    SimulatedProgram program;
    CMainFrame& frame = program.Frame();
    program.ShowMainWindow();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    frame.Action(kCmdEdidCode)->trigger();
    CEdidCodeDlg& code = frame.CodeWindow();
    QVERIFY(QTest::qWaitForWindowExposed(&code));
    QTRY_VERIFY(IsAbove(code, frame));

    // Hidden, the frame brought forward, shown again.
    frame.Action(kCmdEdidCode)->trigger();
    frame.raise();
    frame.activateWindow();
    frame.Action(kCmdEdidCode)->trigger();
    QTRY_VERIFY(IsAbove(code, frame));

    // Covered by the frame while shown: File New brings it up for the wizard's run.
    frame.raise();
    frame.activateWindow();
    bool aboveDuringWizard = false;
    ModalAnswerer answers;
    answers.SetDialogHandler([&](QWidget* modal) {
      auto* wizard = qobject_cast<CEdidWizard*>(modal);
      if (!wizard || aboveDuringWizard) return;
      aboveDuringWizard = QTest::qWaitFor([&] { return IsAbove(code, frame); }, 3000);
      QTest::keyClick(wizard, Qt::Key_Escape);
    });
    frame.Action(kCmdFileNew)->trigger();
    QVERIFY(aboveDuringWizard);
  }

 private:
  QTemporaryDir settingsFolder_;
  QTemporaryDir folder_;
};

QTEST_MAIN(WindowManagerTest)
#include "window_manager_test.moc"
