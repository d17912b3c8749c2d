// What the kernel shows of a PC's monitors and buses, read from sysfs and procfs as data before
// any device is opened: the I2C adapters (/dev/i2c-N) with the PCI class of the controller they
// hang off and the addresses kernel drivers own, the DRM connectors with their status, their
// EDID and the bus that reaches them, and the parallel ports with their base addresses.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ddc/linux/kernel.h"

namespace tolvex {

// A device on an adapter that a kernel driver has taken (i2c-dev then answers EBUSY for it).
struct OwnedAddress {
  uint8_t address = 0;  // 7-bit
  std::string driver;
};

// What an adapter is, from its name where the graphics drivers give their buses known names, and
// from the driver and USB IDs of the device it hangs off for USB adapters.
enum class AdapterKind : uint8_t {
  kUnknown,        // nothing tells; a display controller's bus when it hangs off one
  kDisplay,        // a graphics card's DDC or DisplayPort AUX bus, or a DisplayPort MST branch's
  kDisplayShared,  // the NVIDIA driver's: the card's own chips share it, so written only where a connector matched
  kGpuFirmware,    // a graphics card's own firmware or OEM bus: probing it hangs some cards
  kSystem,         // the PC's own: chipset SMBus, SoC controllers
  kUsbProgrammer,  // an external USB I2C adapter
  kUsbInternal,    // a USB bridge built into the machine (a laptop camera's)
};

struct I2cAdapter {
  int number = -1;
  std::string name;      // the adapter's name, as i2cdetect -l shows it
  std::string device;    // /dev/i2c-N
  uint32_t pciClass = 0;  // class of the nearest PCI device above the adapter; 0 when there is none
  bool usb = false;      // behind a USB device
  AdapterKind kind = AdapterKind::kUnknown;
  std::string model;     // a USB adapter's model ("CP2112"); empty otherwise
  std::string usbPath;   // the USB device's port path ("1-2"); empty when not behind USB
  std::vector<OwnedAddress> owned;
  // A connector's EDID was found in the EEPROM on this bus (set by MatchBusesByEdid).
  bool edidMatched = false;

  bool OnDisplayController() const { return (pciClass >> 16) == 0x03; }
  bool IsDisplayBus() const {
    return kind == AdapterKind::kDisplay || kind == AdapterKind::kDisplayShared ||
           (kind == AdapterKind::kUnknown && OnDisplayController());
  }
  // The driver that owns a 7-bit address; empty when none does.
  std::string OwnerOf(uint8_t address) const;
};

// How a connector's bus was found.
enum class BusRoute : uint8_t {
  kNone,
  kDdcLink,      // the connector's `ddc` link
  kAuxChild,     // an i2c-N folder inside the connector (DisplayPort AUX)
  kMatchedEdid,  // the bus whose EEPROM holds the connector's EDID
};

struct DrmConnector {
  std::string name;  // card0-HDMI-A-1
  bool connected = false;
  std::string edid;  // the kernel's copy, every block; empty when there is none
  int bus = -1;
  BusRoute route = BusRoute::kNone;
};

struct ParallelPortInfo {
  std::string name;    // parport0
  std::string device;  // /dev/parport0
  uint32_t base = 0;
};

struct LinuxDiscovery {
  std::vector<I2cAdapter> adapters;  // by number
  std::vector<DrmConnector> connectors;
  std::vector<ParallelPortInfo> parallelPorts;
  // The adapters are listed, but their device nodes are missing: i2c-dev is not loaded.
  bool i2cDevMissing = false;

  const I2cAdapter* Adapter(int number) const;
  const DrmConnector* Connector(std::string_view name) const;
  // The connector a bus reaches; nullptr when none does.
  const DrmConnector* ConnectorOf(int bus) const;
};

// What the adapter's name says it is; kUnknown for a name no table knows.
AdapterKind KindByName(std::string_view adapterName);

// Reads the trees below `paths`; opens nothing.
LinuxDiscovery DiscoverLinux(KernelFiles& files, const KernelPaths& paths);

// The monitor's name in an EDID (its monitor name descriptor), else its manufacturer and
// product code ("DEL A0C4"); empty without a base block.
std::string MonitorName(std::string_view edid);

// The bus number of "/dev/i2c-5", "i2c-5" or "5"; -1 when it names none.
int ParseBusName(std::string_view text);

}  // namespace tolvex
