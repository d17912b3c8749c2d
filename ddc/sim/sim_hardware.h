// Ready-made simulated set-ups: the shared simulated time, the fake clock on it, and a machine
// with one adapter (or the S3 card) and the monitor plugged into it. `--simulate` runs on
// MakeBlackBoxHardware().
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "ddc/sim/sim_ch341a.h"
#include "ddc/sim/sim_clock.h"
#include "ddc/sim/sim_files.h"
#include "ddc/sim/sim_kernel.h"
#include "ddc/sim/sim_machine.h"

namespace tolvex::sim {

// Not movable: the clock, the machine and the kernel hold references to the time.
struct SimHardware {
  SimTime time;
  SimClock clock{time};
  SimMachine machine{time};
  // The kernel's side: sysfs and procfs, and the device nodes (none unless a maker adds them).
  SimFiles files;
  SimKernel kernel{time};
  // The USB devices: a CH341A programmer where a maker adds one.
  SimUsbHost usb{time};
  // The kernel I2C bus the monitor hangs on; -1 when it is on a parallel port or the S3 card.
  int monitorBus = -1;
  // The kernel I2C bus the run uses as if the user had named it; -1 when none.
  int namedBus = -1;
};

// The kernel's I2C bus numbers and connectors of MakeI2cDevHardware.
inline constexpr int kSimSmbus = 0;       // "SMBus I801 adapter at efa0", SPD EEPROMs owned by ee1004
inline constexpr int kSimMonitorBus = 3;  // "i915 gmbus dpb", card0-HDMI-A-1's ddc
inline constexpr int kSimDpAuxBus = 4;    // "DPDDC-B", card0-DP-1's AUX channel, nothing connected
inline constexpr char kSimMonitorConnector[] = "card0-HDMI-A-1";
// MakeUsbI2cHardware's CP2112 ("CP2112 SMBus Bridge on hidraw0", USB 1-2).
inline constexpr int kSimUsbBus = 7;

// A Black Box at `base`, the monitor on it; no other parallel port, no S3 card.
std::unique_ptr<SimHardware> MakeBlackBoxHardware(uint16_t base = 0x378);
// A Service Kit at `base`, the monitor on it; no other parallel port, no S3 card.
std::unique_ptr<SimHardware> MakeServiceKitHardware(uint16_t base = 0x378);
// An S3 card with the monitor on its DDC lines, and a parallel port at 0x378 with nothing on it.
// Its monitor checks the fast-mode timing minima; the others check standard mode.
std::unique_ptr<SimHardware> MakeS3Hardware(const S3CardConfig& config = {});
// A parallel port at 0x378 with nothing on it, no S3 card, no monitor: discovery finds nothing.
std::unique_ptr<SimHardware> MakeBareHardware();
// A PC of today: no parallel port, no S3 card; an Intel graphics controller whose HDMI connector
// reaches the monitor through a bit-banged kernel I2C bus, a DisplayPort connector with nothing
// on it, and the chipset's SMBus with two memory modules' SPD EEPROMs.
std::unique_ptr<SimHardware> MakeI2cDevHardware();
// Where MakeCh341aHardware's programmer sits.
inline constexpr UsbDeviceId kSimCh341a = {1, 5};

// A PC of today with a CH341A USB programmer whose clip holds the monitor's EEPROM (its board's
// DDC lines): no raw ports, no kernel I2C bus, nothing else on the programmer's bus.
std::unique_ptr<SimHardware> MakeCh341aHardware();

// A workbench PC: no raw ports, the chipset's SMBus with two memory modules' SPD EEPROMs, and a
// CP2112 USB I2C adapter with its kernel driver's limits, wired to the monitor's DDC lines.
std::unique_ptr<SimHardware> MakeUsbI2cHardware();
// Takes the monitor off the kernel bus of MakeI2cDevHardware: its connector is disconnected and
// nothing answers on the bus.
void UnplugKernelMonitor(SimHardware& hardware);
// The monitor leaves on the master's `pulses`-th release of SCL from now on, whichever bus it
// hangs on, in the middle of whatever transfer runs then.
void UnplugAfterPulses(SimHardware& hardware, uint32_t pulses);
// /dev/parportN for each parallel port the machine has, as ppdev shows them.
void AddPpdevPorts(SimHardware& hardware);

// The set-ups and faults that `--sim-adapter` and `--sim-fault` name, in the order the help
// lists them. Tests that must cover every one iterate these, so a new row is covered at once.
struct NamedAdapter {
  std::string_view name;
  std::unique_ptr<SimHardware> (*make)();
  bool kernelBus = false;  // the monitor hangs on a kernel I2C bus
};
struct NamedFault {
  std::string_view name;
  void (*apply)(SimHardware& hardware);
  bool kernelBusOnly = false;  // only a set-up whose monitor is on a kernel bus has it
};
std::span<const NamedAdapter> NamedAdapters();
std::span<const NamedFault> NamedFaults();

}  // namespace tolvex::sim
