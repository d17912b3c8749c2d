// The application: parses the command line, chooses the hardware (the PC's ports or the simulated
// monitor), builds the document (which calibrates the bus and finds the channel) and the main
// window, and opens the file named on the command line.
#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <string>

#include "ddc/ddc_ui.h"
#include "ddc/hardware.h"

namespace tolvex {

class CMainFrame;
class CTolvexDoc;

struct StartOptions {
  bool simulate = false;
  SimulationOptions simulation;
  bool splash = true;
  QString file;       // opened at start when not empty
  QString printFile;  // printed on the default printer, then the program ends
  bool showHelp = false;     // --help: the help text on standard output, and nothing else
  bool showVersion = false;  // --version: the name and version, and nothing else
};

// Nothing, with a message in `error`, when the arguments are wrong. `arguments` begins with the
// program's name. Options take their value as "--opt value" or "--opt=value"; "--" ends them.
std::optional<StartOptions> ParseCommandLine(const QStringList& arguments, QString& error);
// The usage synopsis (after a wrong command line), the full --help text and the --version line.
QString CommandLineUsage();
QString CommandLineHelp();
QString VersionText();
// True when the arguments hold a single-dash word such as "-platform xcb" or "-style fusion": the
// toolkit takes those off the command line once the GUI has started.
bool MayHoldToolkitOptions(const QStringList& arguments);

class CTolvexApp {
 public:
  CTolvexApp();
  ~CTolvexApp();

  // Builds document and frame on `hardware`; false when the command line's file cannot be opened
  // or printed.
  bool Start(std::unique_ptr<Hardware> hardware, const StartOptions& options);
  // Shows the main window maximised.
  void ShowMainWindow();

  CMainFrame& Frame() { return *frame_; }
  CTolvexDoc& Doc() { return *doc_; }
  Hardware& GetHardware() { return *hardware_; }

 private:
  class MessageProbeUi : public ProbeUi {
   public:
    void ShowMessage(std::string_view text) override;
  };

  MessageProbeUi probeUi_;
  std::unique_ptr<Hardware> hardware_;
  std::unique_ptr<CTolvexDoc> doc_;
  std::unique_ptr<CMainFrame> frame_;
};

}  // namespace tolvex
