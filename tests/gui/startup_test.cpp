// The program as a user starts it: the real binary, real port access, no display. Without the
// privilege for the ports it must start normally, with the I2C commands off and the reason shown.
// Its command line follows the conventions of Unix tools.
#include <QtTest>

#include <grp.h>
#include <unistd.h>

#include "app/tolvex_app.h"

namespace {

// What a command line asks for, in a few words; "error: ..." when it is refused.
QString Describe(const QStringList& arguments) {
  QString error;
  const std::optional<tolvex::StartOptions> options = tolvex::ParseCommandLine(QStringList{"tolvex"} + arguments, error);
  if (!options) return QStringLiteral("error: ") + error;
  QStringList words;
  if (options->showHelp) words << "help";
  if (options->showVersion) words << "version";
  if (options->simulate) words << "simulate";
  if (options->simulation.adapter != "black-box") words << "adapter=" + QString::fromStdString(options->simulation.adapter);
  if (!options->simulation.stateFile.empty()) words << "state=" + QString::fromStdString(options->simulation.stateFile);
  if (!options->simulation.fault.empty()) words << "fault=" + QString::fromStdString(options->simulation.fault);
  if (!options->splash) words << "no-splash";
  if (!options->printFile.isEmpty()) words << "print=" + options->printFile;
  if (!options->file.isEmpty()) words << "file=" + options->file;
  return words.join(' ');
}

struct Run {
  int status;
  QString out;
  QString err;
};

// The program with no display at all: what it says must not need one.
Run RunWithoutDisplay(const QStringList& arguments) {
  QProcess program;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) environment.remove(name);
  program.setProcessEnvironment(environment);
  program.start(QStringLiteral(TOLVEX_APP_PATH), arguments);
  program.waitForFinished(30000);
  return {program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
          QString::fromLocal8Bit(program.readAllStandardOutput()), QString::fromLocal8Bit(program.readAllStandardError())};
}

}  // namespace

class StartupTest : public QObject {
  Q_OBJECT

 private slots:
  void commandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("meaning");
    QTest::newRow("a file") << QStringList{"a.ddc"} << "file=a.ddc";
    QTest::newRow("--opt=value and --opt value")
        << QStringList{"--sim-adapter=s3", "--sim-state", "x.bin"} << "simulate adapter=s3 state=x.bin";
    QTest::newRow("-- ends the options") << QStringList{"--no-splash", "--", "--print"} << "no-splash file=--print";
    QTest::newRow("-p") << QStringList{"-p", "r.ddc"} << "no-splash print=r.ddc";
    QTest::newRow("-h") << QStringList{"-h"} << "help";
    QTest::newRow("--version") << QStringList{"--version"} << "version";
    QTest::newRow("unknown") << QStringList{"--bogus"} << "error: Unknown option 'bogus'.";
    QTest::newRow("no value") << QStringList{"--sim-fault"} << "error: Missing value after '--sim-fault'.";
    QTest::newRow("two files") << QStringList{"a.ddc", "b.ddc"} << "error: only one file can be opened";
    QTest::newRow("print and open") << QStringList{"--print=a.ddc", "b.ddc"} << "error: only one file can be opened";
  }
  void commandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, meaning);
    QCOMPARE(Describe(arguments), meaning);
  }

  // Help and version go to standard output with status 0, a wrong command line to standard error
  // with status 2; none of them needs a display.
  void answersHelpVersionAndMistakesWithoutADisplay() {
    const Run help = RunWithoutDisplay({"--help"});
    QCOMPARE(help.status, 0);
    QVERIFY2(help.out.startsWith("usage: tolvex "), qPrintable(help.out + help.err));
    QVERIFY(help.out.contains("  -p, --print FILE "));
    QVERIFY(help.err.isEmpty());

    const Run version = RunWithoutDisplay({"--version"});
    QCOMPARE(version.status, 0);
    QCOMPARE(version.out, QStringLiteral("tolvex 3.01\n"));

    const Run wrong = RunWithoutDisplay({"--no-splash", "--bogus"});
    QCOMPARE(wrong.status, 2);
    QVERIFY(wrong.out.isEmpty());
    QVERIFY2(wrong.err.startsWith("tolvex: Unknown option 'bogus'.\nusage: tolvex "), qPrintable(wrong.err));
  }

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
