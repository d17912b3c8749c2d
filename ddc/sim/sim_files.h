// sysfs and procfs in memory, for the simulated PC and for tests: folders, files and symbolic
// links, looked up as the kernel looks them up (every link on the way followed). A file's content
// may come from a function, so the kernel's copy of a monitor's EDID follows its EEPROM.
//
// SysfsBuilder lays out what the kernel shows of PCI devices, I2C adapters and their clients,
// DRM cards and connectors, USB devices and parallel ports, with the relative links of the real
// trees, so a tree can also be written to disk and read from there.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "ddc/linux/kernel.h"

namespace tolvex::sim {

class SimFiles final : public KernelFiles {
 public:
  struct Node {
    enum Kind : uint8_t { kFolder, kFile, kLink };
    Kind kind = kFolder;
    std::string content;  // kFile: the bytes; kLink: the target as stored
    std::function<std::string()> source;  // kFile: the bytes at each read, when set
  };

  // Each creates the folders above it.
  void AddFolder(const std::string& path);
  void AddFile(const std::string& path, std::string content);
  void AddFile(const std::string& path, std::function<std::string()> source);
  void AddLink(const std::string& path, std::string target);
  void Remove(const std::string& path);

  std::optional<std::string> ReadFile(const std::string& path, size_t limit = 4096) override;
  std::optional<std::string> ReadLink(const std::string& path) override;
  std::vector<std::string> ListDirectory(const std::string& path) override;
  bool Exists(const std::string& path) override;

  // Every node by its path as stored (links not followed), in path order.
  const std::map<std::string, Node>& Nodes() const { return nodes_; }

 private:
  const Node* Find(const std::string& path);
  std::string Place(const std::string& path);

  std::map<std::string, Node> nodes_{{"/", Node{}}};
};

// A link target from `linkPath` to `targetPath`, relative as the kernel writes them.
std::string RelativeLink(const std::string& linkPath, const std::string& targetPath);

class SysfsBuilder {
 public:
  explicit SysfsBuilder(SimFiles& files, KernelPaths paths = {}) : files_(files), paths_(std::move(paths)) {}

  // /sys/devices/pci0000:00/<slot>, with its vendor and class ("0x030000" for a VGA controller).
  std::string PciDevice(const std::string& slot, uint32_t pciClass);
  // A USB device below a controller (path: "usb1/1-2"), its interface as the last folder.
  std::string UsbDevice(const std::string& controller, const std::string& path);
  // The vendor and product IDs of the USB device above `interface` (as UsbDevice returns it).
  void UsbIds(const std::string& interface, uint16_t vendor, uint16_t product);
  // `device` bound to the driver `driver` of the bus `bus` ("usb", "hid", "platform").
  void BindDriver(const std::string& device, const std::string& bus, const std::string& driver);
  // A platform device, on no bus that has a class.
  std::string PlatformDevice(const std::string& name);
  // An I2C adapter i2c-N below `parent`, in the bus's list and i2c-dev's class.
  std::string I2cAdapter(const std::string& parent, int number, const std::string& name);
  // A client N-00AA of the adapter; `driver` empty when no driver took it.
  void I2cClient(const std::string& adapter, int number, uint8_t address, const std::string& name,
                 const std::string& driver);
  // cardN of the DRM class below a display controller.
  std::string DrmCard(const std::string& controller, int card);
  // A connector of the card ("HDMI-A-1"), with its status and its EDID file.
  std::string Connector(const std::string& card, const std::string& name, bool connected,
                        std::function<std::string()> edid);
  void DdcLink(const std::string& connector, const std::string& adapter);
  // parportN at `base`, as procfs shows it.
  void ParallelPort(int number, uint16_t base);

  const KernelPaths& Paths() const { return paths_; }

 private:
  SimFiles& files_;
  KernelPaths paths_;
};

}  // namespace tolvex::sim
