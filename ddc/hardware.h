// Where the bus runs: the PC's real ports, or the simulated monitor.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ddc/clock.h"
#include "ddc/linux/kernel.h"
#include "ddc/port_io.h"
#include "ddc/usb/usb_pipe.h"

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
  // Whether a monitor the program has not worked with yet may be on the bus or still come: always
  // on real hardware; in a simulation only while --sim-units has such a monitor left.
  virtual bool MoreUnitsMayCome() const { return true; }

  // The kernel's trees and device nodes: the Linux I2C buses, the ppdev ports, the connectors.
  virtual KernelFiles& Files() = 0;
  virtual KernelDevices& Devices() = 0;
  virtual KernelPaths Paths() const { return {}; }
  // The kernel I2C bus a simulation stands for, used as if the user had named it; -1 elsewhere.
  virtual int SimulatedBus() const { return -1; }
  // The USB devices (the programmers driven from user space); nullptr where there is no USB.
  virtual UsbHost* Usb() { return nullptr; }
};

struct SimulationOptions {
  std::string adapter = "black-box";  // black-box, service-kit, s3, i2c-dev or ch341a
  std::string access = "raw";         // raw or ppdev: how the parallel ports are reached
  // The monitor's EEPROMs between runs; none when empty. Programs sharing it take turns: each
  // holds it, through a lock on STATE.lock, from loading it to the end of the run.
  std::string stateFile;
  std::string fault;                  // one of SimulatedFaultNames(); none when empty
  std::string captureFile;            // SCL and SDA recorded as a Value Change Dump; none when empty
  // Bytes of each simulated EEPROM: 256 (the default), or 512 up to 32768 for an E-DDC monitor
  // that answers the segment pointer; empty: 256, or what the state file holds.
  std::string eepromSize;
  // How many monitors come one after another, each taken away once the program is done with it
  // (1 to kMaxSimulatedUnits); empty: the one monitor stays.
  std::string units;
  // Told (the reason) when another program holds the state file and this one waits for it.
  std::function<void(const std::string&)> stateBusy;
};

inline constexpr int kMaxSimulatedUnits = 100000;
// The number --sim-units gives; nothing when the text is not 1 to kMaxSimulatedUnits.
std::optional<int> ParseSimulatedUnits(std::string_view text);

// The EEPROM size a --sim-eeprom-size text gives; nothing when it is not a size the chips come in.
std::optional<int> ParseSimulatedEepromSize(const std::string& text);

// The values --sim-adapter, --sim-fault and --sim-access take.
const std::vector<std::string_view>& SimulatedAdapterNames();
const std::vector<std::string_view>& SimulatedFaultNames();
const std::vector<std::string_view>& SimulatedAccessNames();

std::unique_ptr<Hardware> MakeRealHardware();
// Nothing, with a reason in `error`, when the options are wrong, the state file is unreadable or
// the capture file cannot be created.
std::unique_ptr<Hardware> MakeSimulatedHardware(const SimulationOptions& options, std::string& error);

}  // namespace tolvex
