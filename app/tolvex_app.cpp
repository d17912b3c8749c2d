#include "app/tolvex_app.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QMessageBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>

#include <algorithm>
#include <vector>

#include "app/app_texts.h"
#include "app/edid_code_dlg.h"
#include "app/main_frame.h"
#include "app/tolvex_view.h"
#include "document/framework_texts.h"
#include "document/tolvex_doc.h"

namespace tolvex {

namespace {

QString Text(const char* text) { return QString::fromLatin1(text); }

// The command line's options in --help's order. A value goes into the simulation options where
// `simulation` names the field, and those options imply --simulate. `choices`, where there is
// one, lists the only values the option takes; --help shows them after the description.
enum class Option { kHelp, kVersion, kSimulate, kSimValue, kNoSplash, kPrint };
struct OptionRow {
  Option option;
  const char* shortName;  // nullptr: none
  const char* longName;
  const char* valueName;  // nullptr: a switch
  const char* description;
  std::string SimulationOptions::*simulation;
  const std::vector<std::string_view>& (*choices)() = nullptr;
};
const OptionRow kOptions[] = {
    {Option::kHelp, "h", "help", nullptr, texts::kHelpOption, nullptr},
    {Option::kVersion, nullptr, "version", nullptr, texts::kVersionOption, nullptr},
    {Option::kSimulate, nullptr, "simulate", nullptr, texts::kSimulateOption, nullptr},
    {Option::kSimValue, nullptr, "sim-adapter", "ADAPTER", texts::kSimAdapterOption, &SimulationOptions::adapter,
     SimulatedAdapterNames},
    {Option::kSimValue, nullptr, "sim-state", "FILE", texts::kSimStateOption, &SimulationOptions::stateFile},
    {Option::kSimValue, nullptr, "sim-fault", "FAULT", texts::kSimFaultOption, &SimulationOptions::fault,
     SimulatedFaultNames},
    {Option::kSimValue, nullptr, "sim-access", "ACCESS", texts::kSimAccessOption, &SimulationOptions::access,
     SimulatedAccessNames},
    {Option::kSimValue, nullptr, "sim-capture", "FILE", texts::kSimCaptureOption, &SimulationOptions::captureFile},
    {Option::kSimValue, nullptr, "sim-eeprom-size", "BYTES", texts::kSimEepromSizeOption, &SimulationOptions::eepromSize},
    {Option::kSimValue, nullptr, "sim-units", "N", texts::kSimUnitsOption, &SimulationOptions::units},
    {Option::kNoSplash, nullptr, "no-splash", nullptr, texts::kNoSplashOption, nullptr},
    {Option::kPrint, "p", "print", "FILE", texts::kPrintOption, nullptr},
};

QCommandLineOption MakeOption(const OptionRow& row) {
  QStringList names;
  if (row.shortName) names << Text(row.shortName);
  names << Text(row.longName);
  return row.valueName ? QCommandLineOption(names, Text(row.description), Text(row.valueName))
                        : QCommandLineOption(names, Text(row.description));
}

// "  -p, --print FILE": the option's names as --help lists them.
QString OptionNames(const OptionRow& row) {
  QString names = QStringLiteral("  ");
  if (row.shortName) names += QLatin1Char('-') + Text(row.shortName) + QLatin1String(", ");
  names += QLatin1String("--") + Text(row.longName);
  if (row.valueName) names += QLatin1Char(' ') + Text(row.valueName);
  return names;
}

QString OptionDescription(const OptionRow& row) {
  QString description = Text(row.description);
  if (!row.choices) return description;
  QStringList names;
  for (std::string_view name : row.choices()) names << QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
  return description + QLatin1Char(' ') + names.join(QLatin1String(", "));
}

}  // namespace

QString CommandLineUsage() { return Text(texts::kUsage); }

QString CommandLineHelp() {
  constexpr qsizetype kNameColumn = 26;
  QString help = Text(texts::kUsage) + QLatin1String("\n\n") + Text(texts::kHelpIntro) + QLatin1String("\n\n") +
                 Text(texts::kHelpOptionsHeading) + QLatin1Char('\n');
  for (const OptionRow& row : kOptions) {
    help += OptionNames(row).leftJustified(kNameColumn - 1) + QLatin1Char(' ') + OptionDescription(row) + QLatin1Char('\n');
  }
  return help + QLatin1Char('\n') + Text(texts::kSimImplied) + QLatin1Char('\n');
}

QString VersionText() { return Text(texts::kVersionLine); }

bool MayHoldToolkitOptions(const QStringList& arguments) {
  for (qsizetype i = 1; i < arguments.size() && arguments[i] != QLatin1String("--"); ++i) {
    const QString& argument = arguments[i];
    if (argument.size() > 2 && argument.startsWith(QLatin1Char('-')) && argument[1] != QLatin1Char('-')) return true;
  }
  return false;
}

std::optional<StartOptions> ParseCommandLine(const QStringList& arguments, QString& error) {
  QCommandLineParser parser;
  // "-platform" is one of the toolkit's options, not -p with the value "latform".
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  std::vector<QCommandLineOption> options;
  for (const OptionRow& row : kOptions) {
    options.push_back(MakeOption(row));
    parser.addOption(options.back());
  }
  if (!parser.parse(arguments)) {
    error = parser.errorText();
    return std::nullopt;
  }

  StartOptions result;
  for (size_t i = 0; i < std::size(kOptions); ++i) {
    const OptionRow& row = kOptions[i];
    if (!parser.isSet(options[i])) continue;
    if (row.simulation) {
      const std::string value = parser.value(options[i]).toStdString();
      // A name the simulation does not know is bad usage, found before anything starts.
      if (row.choices && std::find(row.choices().begin(), row.choices().end(), value) == row.choices().end()) {
        error = Text(texts::kUnknownChoice).arg(QString::fromStdString(value), Text(row.longName));
        return std::nullopt;
      }
      result.simulation.*(row.simulation) = value;
      result.simulate = true;
    }
    switch (row.option) {
      case Option::kHelp: result.showHelp = true; break;
      case Option::kVersion: result.showVersion = true; break;
      case Option::kSimulate: result.simulate = true; break;
      case Option::kNoSplash: result.splash = false; break;
      case Option::kPrint:
        result.printFile = parser.value(options[i]);
        result.splash = false;
        break;
      default: break;
    }
  }
  const QStringList files = parser.positionalArguments();
  if (files.size() > 1 || (files.size() == 1 && !result.printFile.isEmpty())) {
    error = Text(texts::kOnlyOneFile);
    return std::nullopt;
  }
  if (!files.isEmpty()) result.file = files.first();
  return result;
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
  // A simulation's connectors are not the kernel's: nothing of it goes to the real ones as root.
  if (!options.simulate) doc_->SetCommandRunner(std::make_unique<ProcessRunner>());
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
    frame_->View().Print(printer, doc_->Title());
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
