// Where the bus runs: the PC's real ports, or the simulated monitor.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ddc/clock.h"
#include "ddc/linux/kernel.h"
#include "ddc/port_io.h"

namespace tolvex {

class Hardware {
 public:
  virtual ~Hardware() = default;
  virtual PortIo& Io() = 0;
  virtual Clock& GetClock() = 0;
  virtual bool HasPortAccess() const = 0;
  // Why access is missing or partial; empty when all is well.
  virtual std::string AccessNote() const = 0;
  // Keeps what the run changed (the simulated monitor's memory, its line capture); false with a
  // reason on failure.
  virtual bool Persist(std::string& error) = 0;

  // The kernel's trees and device nodes: the Linux I2C buses, the ppdev ports, the connectors.
  virtual KernelFiles& Files() = 0;
  virtual KernelDevices& Devices() = 0;
  virtual KernelPaths Paths() const { return {}; }
  // The kernel I2C bus a simulation stands for, used as if the user had named it; -1 elsewhere.
  virtual int SimulatedBus() const { return -1; }
};

struct SimulationOptions {
  std::string adapter = "black-box";  // black-box, service-kit, s3 or i2c-dev
  std::string access = "raw";         // raw or ppdev: how the parallel ports are reached
  std::string stateFile;              // the monitor's EEPROMs between runs; none when empty
  // unplugged, sda-low, write-protect, no-controller or dimm; none when empty
  std::string fault;
  std::string captureFile;            // SCL and SDA recorded as a Value Change Dump; none when empty
};

// The values --sim-adapter, --sim-fault and --sim-access take.
const std::vector<std::string_view>& SimulatedAdapterNames();
const std::vector<std::string_view>& SimulatedFaultNames();
const std::vector<std::string_view>& SimulatedAccessNames();

std::unique_ptr<Hardware> MakeRealHardware();
// Nothing, with a reason in `error`, when the options are wrong, the state file is unreadable or
// the capture file cannot be created.
std::unique_ptr<Hardware> MakeSimulatedHardware(const SimulationOptions& options, std::string& error);

}  // namespace tolvex
