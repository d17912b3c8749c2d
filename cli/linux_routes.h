// tolvex-cli's way to a monitor beyond the parallel adapters and the S3 card: the kernel's I2C bus
// or the USB programmer the user names (--bus, --connector) or the simulation stands for, else the
// adapter discovery finds, else the one USB programmer plugged in, else the bus of the first
// connected display the safety rules allow; and `list`, which shows them all.
#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "cli/console_ui.h"
#include "ddc/hardware.h"
#include "ddc/i2c_bus.h"
#include "ddc/linux/i2c_dev_bus.h"
#include "ddc/linux/linux_discovery.h"
#include "ddc/usb/ch341a_bus.h"
#include "model/edid_extensions.h"

namespace tolvex {

struct LinuxRequest {
  std::string bus;        // --bus
  std::string connector;  // --connector
  std::string sysfsRoot;  // --sysfs-root
  bool force = false;     // --force
};

// What the kernel shows: sysfs from --sysfs-root when given, else the hardware's own, with every
// connector's bus found (some by reading the buses, which may open device nodes).
class KernelView {
 public:
  KernelView(Hardware& hardware, const LinuxRequest& request);
  LinuxDiscovery& Discovery() { return discovery_; }

 private:
  SystemKernelFiles system_;
  LinuxDiscovery discovery_;
};

// The bus a command runs on, or what it gets instead.
struct Route {
  std::unique_ptr<CI2cBus> bitBus;
  std::unique_ptr<CI2cDevBus> kernelBus;
  std::unique_ptr<CCh341aBus> programmer;  // a USB programmer, named or the only one plugged in
  int busNumber = -1;                       // the kernel bus's number
  const DrmConnector* connector = nullptr;  // the connector the kernel bus reaches, if any
  std::optional<WholeEdid> kernelCopy;      // a read falls back to the connector's EDID file
  std::string note;                         // said on stderr when the fallback is taken
  std::string error;                        // no route: said on stderr, exit status 1

  I2cMessageBus* Bus() {
    if (kernelBus) return kernelBus.get();
    if (programmer) return programmer.get();
    return bitBus.get();
  }
};

// `reading`: a connector whose bus cannot be opened falls back to the kernel's copy of its EDID.
Route ChooseRoute(Hardware& hardware, KernelView& view, const LinuxRequest& request, ConsoleUi& ui, bool reading);

// One line per channel: device, connector or adapter, monitor, and "refused: REASON" where the
// safety rules exclude the bus. Exit status 1 when there is none.
int ListChannels(Hardware& hardware, KernelView& view, ConsoleUi& ui, std::ostream& out, std::ostream& err);

}  // namespace tolvex
