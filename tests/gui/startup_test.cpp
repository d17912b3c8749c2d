// The program as a user starts it: the real binary, real port access, no display. Without the
// privilege for the ports it must start normally, with the I2C commands off and the reason shown.
#include <QtTest>

#include <grp.h>
#include <unistd.h>

class StartupTest : public QObject {
  Q_OBJECT

 private slots:
  void startsWithoutPortAccessAndSaysWhy() {
    QProcess program;
    program.setProcessEnvironment(Environment());
    // Started by root, the program runs as an ordinary user, who has no port access.
    program.setChildProcessModifier([] {
      if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) _exit(77);
    });
    program.start(QStringLiteral(TOLVEX_APP_PATH), {QStringLiteral("--no-splash")});
    const bool finished = program.waitForFinished(30000);
    if (program.error() == QProcess::FailedToStart) QSKIP("the ordinary user cannot reach the program's folder");
    QVERIFY(finished);
    const QString output = QString::fromLocal8Bit(program.readAllStandardError());
    if (program.exitCode() == 77) QSKIP("cannot drop root privilege here");
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QVERIFY2(output.contains(QStringLiteral("first window shown after")), qPrintable(output));
    // The reason: no privilege, or a kernel that refuses raw ports to everybody (lockdown, containers).
    QVERIFY2(output.contains(QStringLiteral("status: no access to the I/O ports")) ||
                 output.contains(QStringLiteral("status: the kernel refuses raw port access")),
             qPrintable(output));
  }

  // The desktop program records the simulated lines as tolvex-cli does (whose captures the
  // sigrok tests decode): here the Black Box probe of start-up.
  void simulatedRunRecordsTheLinesWhenAsked() {
    QTemporaryDir folder;
    const QString capture = folder.filePath(QStringLiteral("lines.vcd"));
    QProcess program;
    program.setProcessEnvironment(Environment());
    program.start(QStringLiteral(TOLVEX_APP_PATH),
                  {QStringLiteral("--simulate"), QStringLiteral("--sim-capture"), capture, QStringLiteral("--no-splash")});
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitCode(), 0);
    QFile file(capture);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray dump = file.readAll();
    QVERIFY2(dump.startsWith("$version"), dump.left(80).constData());
    // Sixteen probe steps move SDA (the variable coded '"'), after its initial value.
    QCOMPARE(dump.count("\n0\"\n") + dump.count("\n1\"\n") - 1, 16);
  }

 private:
  QProcessEnvironment Environment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("TOLVEX_STARTUP_TIME", "1");
    environment.insert("HOME", QDir::tempPath());
    environment.insert("XDG_CONFIG_HOME", settings_.path());
    return environment;
  }

  QTemporaryDir settings_;
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
