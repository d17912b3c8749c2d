// A whole program (document, main window, code window) on simulated hardware that a test can
// reach into: the monitor's EEPROM and its faults. Settings go to a temporary folder.
#pragma once

#include <QByteArray>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

#include "app/main_frame.h"
#include "app/tolvex_app.h"
#include "ddc/sim/sim_hardware.h"
#include "document/tolvex_doc.h"

namespace tolvex::testing {

// A whole file's bytes; empty when it cannot be read.
QByteArray ReadBytes(const QString& path);
void WriteBytes(const QString& path, const QByteArray& bytes);

// Points the per-user settings store at a fresh temporary folder for the rest of the run.
void UseTemporarySettings(const QTemporaryDir& folder);

class SimulatedProgram {
 public:
  // `hardware` defaults to a Black Box with the monitor on it; `file` is the command line's file.
  explicit SimulatedProgram(std::unique_ptr<sim::SimHardware> hardware = sim::MakeBlackBoxHardware(),
                            const QString& file = {});

  // False when start-up failed (the command line's file could not be opened).
  bool Started() const { return started_; }

  CMainFrame& Frame() { return app_.Frame(); }
  // As the program shows its window after start-up: maximised, the code window above it.
  void ShowMainWindow() { app_.ShowMainWindow(); }
  CTolvexDoc& Doc() { return app_.Doc(); }
  sim::SimMonitor& Monitor() { return hardware_->machine.Monitor(); }
  sim::SimHardware& Hardware() { return *hardware_; }
  // The message boxes of start-up (the S3 probe shows the card's identification).
  const QStringList& StartupMessages() const { return startupMessages_; }

 private:
  sim::SimHardware* hardware_;
  QStringList startupMessages_;
  bool started_ = false;
  CTolvexApp app_;
};

}  // namespace tolvex::testing
