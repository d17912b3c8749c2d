// A simulated production line: monitors come one after another onto the same cable, as an operator
// plugs each in, waits for the programmer to finish with it, and pulls it out again.
//
// The first unit is on the cable from the start. The operator takes a unit away once the master
// has exchanged data with it and then left the bus without data for two seconds (the programmer
// only polls for the monitor then), and plugs the next unit in a second later. Each new unit
// arrives with the EEPROM contents the first one started with. The operator acts at the master's
// next move on the lines, as nothing on the wires could tell earlier.
#pragma once

#include <array>
#include <cstdint>

#include "ddc/sim/sim_clock.h"
#include "ddc/sim/sim_eeprom.h"
#include "ddc/sim/sim_i2c_slave.h"
#include "ddc/sim/sim_monitor.h"

namespace tolvex::sim {

class SimProductionLine final : private MasterDriveObserver {
 public:
  // Longer than any pause inside one unit's programming (the factory write waits a second).
  static constexpr uint64_t kOperatorDelayNs = 2'000'000'000;
  static constexpr uint64_t kSwapNs = 1'000'000'000;

  // `units` monitors in all, the first on the cable now.
  SimProductionLine(SimMonitor& monitor, const SimTime& time, int units);
  ~SimProductionLine() override;

  SimProductionLine(const SimProductionLine&) = delete;
  SimProductionLine& operator=(const SimProductionLine&) = delete;

  // Units plugged in so far, and those still to come after the present one.
  int UnitsPlugged() const { return plugged_; }
  int UnitsToCome() const { return units_ - plugged_; }
  // Whether a unit the master has not worked with yet is on the cable or still to come.
  bool FreshUnitsLeft() const;

 private:
  void BeforeMasterDrive() override;
  bool DoneWith() const;
  void PlugNextUnit();

  SimMonitor& monitor_;
  const SimTime& time_;
  int units_;
  int plugged_ = 1;
  std::array<std::vector<uint8_t>, 2> fresh_;  // analog and digital EEPROM
  uint64_t dataBytesAtPlug_ = 0;
  uint64_t unpluggedAtNs_ = 0;
};

}  // namespace tolvex::sim
