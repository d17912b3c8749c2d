// The kernel's I2C buses as channels a user chooses among, shared by tolvex-cli and the desktop
// program: each bus with the connector it reaches and the monitor there, the reason the safety
// rules give when they exclude it, and the finding of a connector's bus where sysfs names none.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ddc/clock.h"
#include "ddc/linux/bus_safety.h"
#include "ddc/linux/i2c_dev_bus.h"
#include "ddc/linux/linux_discovery.h"
#include "model/edid_block.h"
#include "model/edid_extensions.h"

namespace tolvex {

struct LinuxBusChannel {
  const I2cAdapter* adapter = nullptr;
  const DrmConnector* connector = nullptr;  // nullptr: a bus no connector uses (a USB adapter)
  std::string monitor;                      // the monitor's name from the connector's EDID
  std::optional<Refusal> refusal;           // why the rules exclude it unless the user names it

  // "card0-HDMI-A-1: DELL P2415Q (i2c-5)"; "CP2112 USB I2C adapter at USB 1-2 (i2c-7)".
  std::string Label() const;
  // The name the choice is remembered by: the connector's, else the adapter's.
  std::string Key() const;
};

// What lists call an adapter: an external USB programmer by its model and USB port path
// ("CP2112 USB I2C adapter at USB 1-2"), any other by the kernel's name.
std::string AdapterTitle(const I2cAdapter& adapter);

// Connected displays' buses first, then the other connectors', then the rest, by number.
std::vector<LinuxBusChannel> ListLinuxBuses(const LinuxDiscovery& discovery);

// For each connected connector that sysfs gives no bus (some proprietary drivers, DisplayPort
// MST): the bus the rules allow whose EEPROM at 0xA0 holds the connector's EDID. Reads each
// candidate bus once; buses that cannot be opened are passed over.
void MatchBusesByEdid(LinuxDiscovery& discovery, KernelDevices& kernel, Clock& clock);

// Opens bus `number` as the user chose it; nothing, with one message, when it is refused or
// cannot be opened.
std::unique_ptr<CI2cDevBus> OpenLinuxBus(const LinuxDiscovery& discovery, KernelDevices& kernel, Clock& clock,
                                         int number, BusChoice choice, std::string& error);

// The kernel's copy of a connector's EDID, the base block and its extension blocks; nothing
// without one.
std::optional<WholeEdid> KernelEdid(const DrmConnector& connector);

}  // namespace tolvex
