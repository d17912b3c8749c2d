#include "ddc/sim/sim_production_line.h"

namespace tolvex::sim {

SimProductionLine::SimProductionLine(SimMonitor& monitor, const SimTime& time, int units)
    : monitor_(monitor),
      time_(time),
      units_(units),
      fresh_{monitor.AnalogEeprom().Memory(), monitor.DigitalEeprom().Memory()},
      dataBytesAtPlug_(monitor.Bus().DataBytes()) {
  monitor_.Bus().SetMasterDriveObserver(this);
}

SimProductionLine::~SimProductionLine() { monitor_.Bus().SetMasterDriveObserver(nullptr); }

bool SimProductionLine::FreshUnitsLeft() const {
  const SimI2cSlave& bus = monitor_.Bus();
  return UnitsToCome() > 0 || (bus.Connected() && bus.DataBytes() == dataBytesAtPlug_);
}

// The operator waits for the programmer to have been at the unit and to have gone quiet since.
bool SimProductionLine::DoneWith() const {
  const SimI2cSlave& bus = monitor_.Bus();
  return bus.DataBytes() != dataBytesAtPlug_ && !bus.InTransaction() &&
         time_.ns - bus.LastDataNs() >= kOperatorDelayNs;
}

void SimProductionLine::PlugNextUnit() {
  monitor_.AnalogEeprom().Memory() = fresh_[0];
  monitor_.DigitalEeprom().Memory() = fresh_[1];
  monitor_.SetDviSelection(DviSelect::kAnalog);
  ++plugged_;
  dataBytesAtPlug_ = monitor_.Bus().DataBytes();
  monitor_.Bus().SetConnected(true);
}

void SimProductionLine::BeforeMasterDrive() {
  SimI2cSlave& bus = monitor_.Bus();
  if (bus.Connected()) {
    if (!DoneWith()) return;
    bus.SetConnected(false);
    unpluggedAtNs_ = time_.ns;
  } else if (UnitsToCome() > 0 && time_.ns - unpluggedAtNs_ >= kSwapNs) {
    PlugNextUnit();
  }
}

}  // namespace tolvex::sim
