#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>

#include <csignal>
#include <cstdio>

#include "app/main_frame.h"
#include "app/tolvex_app.h"

namespace {

// --help and --version answer on standard output and end the program; true when they did.
bool AnswerHelpOrVersion(const tolvex::StartOptions& options) {
  if (options.showHelp) std::fputs(qPrintable(tolvex::CommandLineHelp()), stdout);
  else if (options.showVersion) std::printf("%s\n", qPrintable(tolvex::VersionText()));
  return options.showHelp || options.showVersion;
}

int BadUsage(const QString& error) {
  std::fprintf(stderr, "tolvex: %s\n%s\n", qPrintable(error), qPrintable(tolvex::CommandLineUsage()));
  return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
  QElapsedTimer sinceStart;
  sinceStart.start();
  // A file-size limit makes the write that crosses it fail, which File Save reports, rather than
  // ending the program with the document unsaved.
  std::signal(SIGXFSZ, SIG_IGN);

  // Help, version and a wrong command line need no display, so they are answered before the GUI
  // starts; only the GUI's own options (-platform, -style ...) have to wait for it.
  QStringList rawArguments;
  for (int i = 0; i < argc; ++i) rawArguments << QString::fromLocal8Bit(argv[i]);
  QString error;
  if (const std::optional<tolvex::StartOptions> early = tolvex::ParseCommandLine(rawArguments, error)) {
    if (AnswerHelpOrVersion(*early)) return 0;
  } else if (!tolvex::MayHoldToolkitOptions(rawArguments)) {
    return BadUsage(error);
  }

  QApplication application(argc, argv);
  QGuiApplication::setDesktopFileName(QStringLiteral("tolvex"));
  const std::optional<tolvex::StartOptions> options = tolvex::ParseCommandLine(application.arguments(), error);
  if (!options) return BadUsage(error);
  if (AnswerHelpOrVersion(*options)) return 0;

  std::unique_ptr<tolvex::Hardware> hardware;
  if (options->simulate) {
    std::string simulationError;
    hardware = tolvex::MakeSimulatedHardware(options->simulation, simulationError);
    if (!hardware) {
      // The names were checked with the command line; what is left is the state file.
      std::fprintf(stderr, "tolvex: %s\n", simulationError.c_str());
      return 1;
    }
  } else {
    hardware = tolvex::MakeRealHardware();
  }

  tolvex::CTolvexApp app;
  if (!app.Start(std::move(hardware), *options)) return 1;
  if (!options->printFile.isEmpty()) return 0;
  app.ShowMainWindow();

  // TOLVEX_STARTUP_TIME=1 prints the time from process start to the first shown main window and
  // the status bar's text, then ends.
  if (qEnvironmentVariableIsSet("TOLVEX_STARTUP_TIME")) {
    QTimer::singleShot(0, &application, [&] {
      std::fprintf(stderr, "first window shown after %lld ms\nstatus: %s\n", static_cast<long long>(sinceStart.elapsed()),
                   qPrintable(app.Frame().MessagePane()->text()));
      application.quit();
    });
  }
  return application.exec();
}
