#include "app/tolvex_app.h"

#include <QMessageBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>

#include <algorithm>

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
    {"--sim-access", &SimulationOptions::access},
    {"--sim-capture", &SimulationOptions::captureFile},
    {"--sim-eeprom-size", &SimulationOptions::eepromSize},
    {"--sim-units", &SimulationOptions::units},
};

QString Choices(const std::vector<std::string_view>& names) {
  QStringList list;
  for (std::string_view name : names) list << QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
  return list.join(QLatin1Char('|'));
}

// A name the simulation does not know is bad usage, found before anything starts.
bool IsChoice(const std::vector<std::string_view>& names, const std::string& value) {
  return value.empty() || std::find(names.begin(), names.end(), value) != names.end();
}

}  // namespace

QString CommandLineUsage() {
  return QStringLiteral(
             "usage: tolvex [--simulate [--sim-adapter %1] [--sim-state FILE]\n"
             "              [--sim-fault %2]\n"
             "              [--sim-access %3] [--sim-capture FILE.vcd] [--sim-eeprom-size BYTES]\n"
             "              [--sim-units N]]\n"
             "              [--no-splash]\n"
             "              [--print FILE | FILE]")
      .arg(Choices(SimulatedAdapterNames()), Choices(SimulatedFaultNames()), Choices(SimulatedAccessNames()));
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
  if (!IsChoice(SimulatedAdapterNames(), options.simulation.adapter)) {
    error = QStringLiteral("unknown simulated adapter ") + QString::fromStdString(options.simulation.adapter);
    return std::nullopt;
  }
  if (!IsChoice(SimulatedFaultNames(), options.simulation.fault)) {
    error = QStringLiteral("unknown simulated fault ") + QString::fromStdString(options.simulation.fault);
    return std::nullopt;
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
  // On a kernel I2C bus the ports' story does not matter to the commands.
  const bool onKernelBus = doc_->Channel() == kChannelLinuxBus;
  if (!onKernelBus && (!hardware_->HasPortAccess() || !hardware_->AccessNote().empty())) {
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
  // A file opened from the command line showed the code window beside the frame before the
  // frame took its final size.
  if (frame_->IsCodeWindowShown()) frame_->CodeWindow().PlaceBesideOwner();
  if (frame_->Splash()) frame_->Splash()->raise();
}

}  // namespace tolvex
