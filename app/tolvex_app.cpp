#include "app/tolvex_app.h"

#include <QMessageBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>

#include "app/app_texts.h"
#include "app/edid_code_dlg.h"
#include "app/main_frame.h"
#include "app/tolvex_view.h"
#include "document/framework_texts.h"
#include "document/tolvex_doc.h"

namespace tolvex {

namespace {

// The options that take a value, and where it goes.
struct ValueOption {
  const char* name;
  std::string SimulationOptions::*member;
};

const ValueOption kSimulationOptions[] = {
    {"--sim-adapter", &SimulationOptions::adapter},
    {"--sim-state", &SimulationOptions::stateFile},
    {"--sim-fault", &SimulationOptions::fault},
};

}  // namespace

QString CommandLineUsage() {
  return QStringLiteral(
      "usage: tolvex [--simulate [--sim-adapter black-box|service-kit|s3] [--sim-state FILE]\n"
      "              [--sim-fault unplugged|sda-low|write-protect|no-controller]] [--no-splash]\n"
      "              [--print FILE | FILE]");
}

std::optional<StartOptions> ParseCommandLine(const QStringList& arguments, QString& error) {
  StartOptions options;
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    const ValueOption* valueOption = nullptr;
    for (const ValueOption& option : kSimulationOptions) {
      if (argument == QLatin1String(option.name)) valueOption = &option;
    }
    if (valueOption) {
      if (++i == arguments.size()) {
        error = argument + QStringLiteral(" needs a value");
        return std::nullopt;
      }
      options.simulation.*(valueOption->member) = arguments[i].toStdString();
      options.simulate = true;
    } else if (argument == QLatin1String("--simulate")) {
      options.simulate = true;
    } else if (argument == QLatin1String("--no-splash")) {
      options.splash = false;
    } else if (argument == QLatin1String("--print") || argument == QLatin1String("-p")) {
      if (++i == arguments.size()) {
        error = argument + QStringLiteral(" needs a file");
        return std::nullopt;
      }
      options.printFile = arguments[i];
      options.splash = false;
    } else if (argument.startsWith(QLatin1Char('-')) && argument != QLatin1String("-")) {
      error = QStringLiteral("unknown option ") + argument;
      return std::nullopt;
    } else if (options.file.isEmpty()) {
      options.file = argument;
    } else {
      error = QStringLiteral("only one file can be opened");
      return std::nullopt;
    }
  }
  return options;
}

void CTolvexApp::MessageProbeUi::ShowMessage(std::string_view text) {
  QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(texts::kApplicationTitle),
                  QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())), QMessageBox::Ok);
  box.exec();
}

CTolvexApp::CTolvexApp() = default;

CTolvexApp::~CTolvexApp() {
  frame_.reset();
  doc_.reset();
  if (hardware_) {
    std::string error;
    if (!hardware_->Persist(error)) qWarning("%s", error.c_str());
  }
}

bool CTolvexApp::Start(std::unique_ptr<Hardware> hardware, const StartOptions& options) {
  hardware_ = std::move(hardware);
  doc_ = std::make_unique<CTolvexDoc>(*hardware_, probeUi_);
  frame_ = std::make_unique<CMainFrame>(*doc_, options.splash);
  if (!hardware_->HasPortAccess() || !hardware_->AccessNote().empty()) {
    frame_->SetStartupNote(QString::fromStdString(hardware_->AccessNote()));
  }
  const QString file = options.printFile.isEmpty() ? options.file : options.printFile;
  if (!file.isEmpty() && !frame_->OpenDocumentFile(file)) return false;
  if (!options.printFile.isEmpty()) {
    QPrinter printer;
    if (QPrinterInfo::defaultPrinter().isNull() || !printer.isValid()) {
      qWarning("no printer to print %s on", qPrintable(options.printFile));
      return false;
    }
    frame_->View().Print(printer);
  }
  return true;
}

void CTolvexApp::ShowMainWindow() {
  // Without a window manager "maximised" means nothing; fill the screen then as well.
  if (QScreen* screen = frame_->screen()) frame_->setGeometry(screen->availableGeometry());
  frame_->showMaximized();
  frame_->repaint();
  if (frame_->Splash()) frame_->Splash()->raise();
}

}  // namespace tolvex
