#include "ddc/linux/linux_discovery.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "model/edid_block.h"

namespace tolvex {

namespace {

// Connectors' EDID files hold the base block and its extensions; none has 256 blocks.
constexpr size_t kMaxEdidFile = 256 * 128;

std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ' || text.back() == '\0')) text.pop_back();
  return text;
}

std::string ReadLine(KernelFiles& files, const std::string& path) {
  return Trimmed(files.ReadFile(path).value_or(""));
}

// The number after `prefix` when the whole name is prefix + digits; -1 otherwise.
int NumberAfter(std::string_view name, std::string_view prefix) {
  if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) return -1;
  int number = 0;
  for (char c : name.substr(prefix.size())) {
    if (c < '0' || c > '9' || number > 1'000'000) return -1;
    number = number * 10 + (c - '0');
  }
  return number;
}

// A client folder on adapter N is named "N-00AA" (the 7-bit address in four hex digits).
int ClientAddress(std::string_view name, int adapter) {
  const std::string prefix = std::to_string(adapter) + "-";
  if (name.size() != prefix.size() + 4 || name.substr(0, prefix.size()) != prefix) return -1;
  unsigned address = 0;
  for (char c : name.substr(prefix.size())) {
    const int digit = (c >= '0' && c <= '9') ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
    if (digit < 0) return -1;
    address = address * 16 + static_cast<unsigned>(digit);
  }
  return address <= 0x7F ? static_cast<int>(address) : -1;
}

// The buses the graphics drivers name after what they are, and the PC's own. The first row whose
// prefix begins the name and whose infix (if any) is in it decides.
struct NamedKind {
  std::string_view prefix;
  std::string_view infix;
  AdapterKind kind;
};
constexpr NamedKind kNamedKinds[] = {
    {"i915 gmbus ", "", AdapterKind::kDisplay},             // Intel: the DDC pins of each port
    {"DPDDC-", "", AdapterKind::kDisplay},                  // Intel DisplayPort AUX, older kernels
    {"AUX ", "/", AdapterKind::kDisplay},                   // Intel DisplayPort AUX: "AUX B/DDI B/PHY B"
    {"AMDGPU DM i2c hw bus ", "", AdapterKind::kDisplay},   // AMD Display Core: HDMI, DVI
    {"AMDGPU DM aux hw bus ", "", AdapterKind::kDisplay},   // AMD Display Core: DisplayPort
    {"AMDGPU i2c bit bus 0x", "", AdapterKind::kDisplay},   // AMD without Display Core
    {"AMDGPU DM i2c OEM bus", "", AdapterKind::kGpuFirmware},
    {"AMDGPU SMU", "", AdapterKind::kGpuFirmware},
    {"nvkm-", "-bus-", AdapterKind::kDisplay},              // nouveau: DDC
    {"nvkm-", "-aux-", AdapterKind::kDisplay},              // nouveau: DisplayPort AUX
    {"NVIDIA i2c adapter ", "", AdapterKind::kDisplayShared},
    {"DPMST", "", AdapterKind::kDisplay},                   // a DisplayPort MST branch's port
    {"SMBus", "", AdapterKind::kSystem},                    // chipset SMBus controllers
    {"Synopsys DesignWare", "", AdapterKind::kSystem},      // SoC and laptop controllers: touchpads, sensors
    {"smu", "", AdapterKind::kSystem},                      // Apple's system management unit
};

// USB I2C adapters by the IDs of the USB device and the driver that made the adapter (some of
// these chips also come with other firmware, which other drivers take).
struct UsbKind {
  uint16_t vendor;
  uint16_t product;
  std::string_view drivers[2];
  std::string_view model;
  AdapterKind kind;
};
constexpr UsbKind kUsbKinds[] = {
    {0x0403, 0xC631, {"i2c-tiny-usb"}, "i2c-tiny-usb", AdapterKind::kUsbProgrammer},
    {0x1C40, 0x0534, {"i2c-tiny-usb"}, "i2c-tiny-usb", AdapterKind::kUsbProgrammer},
    {0x10C4, 0xEA90, {"cp2112", "hid-cp2112"}, "CP2112", AdapterKind::kUsbProgrammer},
    {0x04D8, 0x00DD, {"mcp2221", "hid-mcp2221"}, "MCP2221", AdapterKind::kUsbProgrammer},
    {0x0403, 0x6030, {"ft260", "hid-ft260"}, "FT260", AdapterKind::kUsbProgrammer},
    {0xA257, 0x2013, {"dln2", "dln2-i2c"}, "DLN-2", AdapterKind::kUsbProgrammer},
    {0x0ABF, 0x3370, {"i2c-diolan-u2c"}, "Diolan U2C-12", AdapterKind::kUsbProgrammer},
    {0x8086, 0x0B63, {"ljca", "ljca-i2c"}, "LJCA", AdapterKind::kUsbInternal},
};

uint16_t HexId(KernelFiles& files, const std::string& path) {
  return static_cast<uint16_t>(std::strtoul(ReadLine(files, path).c_str(), nullptr, 16));
}

// The USB device and the drivers met on the way up from the adapter.
struct UsbAncestry {
  std::string device;  // the folder with idVendor; empty when there is none
  std::vector<std::string> drivers;
};

void ClassifyUsb(KernelFiles& files, const UsbAncestry& usb, I2cAdapter& adapter) {
  const uint16_t vendor = HexId(files, usb.device + "/idVendor");
  const uint16_t product = HexId(files, usb.device + "/idProduct");
  for (const UsbKind& row : kUsbKinds) {
    if (row.vendor != vendor || row.product != product) continue;
    const bool driven = std::any_of(usb.drivers.begin(), usb.drivers.end(), [&](const std::string& driver) {
      return std::find(std::begin(row.drivers), std::end(row.drivers), driver) != std::end(row.drivers);
    });
    if (!driven) continue;
    adapter.kind = row.kind;
    adapter.model = row.model;
    return;
  }
}

// Walks up from the adapter to the controller it belongs to: the first folder that is a PCI
// device (it has both `vendor` and `class`), noting a USB device on the way (`busnum`), its IDs
// and the drivers of the folders in between.
void ReadAncestry(KernelFiles& files, const std::string& sysfs, const std::string& adapterPath, I2cAdapter& adapter) {
  const std::string top = sysfs + "/devices";
  UsbAncestry usb;
  for (std::string dir = ParentPath(adapterPath); dir.size() > top.size() && dir.rfind(top, 0) == 0; dir = ParentPath(dir)) {
    if (files.Exists(dir + "/busnum")) adapter.usb = true;
    if (usb.device.empty() && files.Exists(dir + "/idVendor")) usb.device = dir;
    if (usb.device.empty() && files.Exists(dir + "/driver")) {
      usb.drivers.push_back(BaseName(ResolvePath(files, dir + "/driver")));
    }
    if (files.Exists(dir + "/vendor") && files.Exists(dir + "/class")) {
      adapter.pciClass = static_cast<uint32_t>(std::strtoul(ReadLine(files, dir + "/class").c_str(), nullptr, 16));
      break;
    }
  }
  if (!usb.device.empty()) {
    adapter.usbPath = BaseName(usb.device);
    ClassifyUsb(files, usb, adapter);
  }
}

void ReadOwnedAddresses(KernelFiles& files, const std::string& adapterPath, I2cAdapter& adapter) {
  for (const std::string& entry : files.ListDirectory(adapterPath)) {
    const int address = ClientAddress(entry, adapter.number);
    if (address < 0) continue;
    const std::string client = adapterPath + "/" + entry;
    if (!files.Exists(client + "/driver")) continue;
    adapter.owned.push_back({static_cast<uint8_t>(address), BaseName(ResolvePath(files, client + "/driver"))});
  }
}

std::vector<I2cAdapter> ReadAdapters(KernelFiles& files, const std::string& sysfs, bool& devMissing) {
  // i2c-dev's class lists the buses that have a device node; without the module only the bus
  // itself knows them.
  const std::string classDir = sysfs + "/class/i2c-dev";
  const std::string busDir = sysfs + "/bus/i2c/devices";
  std::vector<std::string> names = files.ListDirectory(classDir);
  devMissing = names.empty();
  if (devMissing) names = files.ListDirectory(busDir);

  std::vector<I2cAdapter> adapters;
  for (const std::string& name : names) {
    const int number = NumberAfter(name, "i2c-");
    if (number < 0) continue;
    I2cAdapter adapter;
    adapter.number = number;
    adapter.device = "/dev/" + name;
    adapter.name = ReadLine(files, classDir + "/" + name + "/name");
    if (adapter.name.empty()) adapter.name = ReadLine(files, busDir + "/" + name + "/name");
    const std::string path = ResolvePath(files, busDir + "/" + name);
    adapter.kind = KindByName(adapter.name);
    ReadAncestry(files, sysfs, path, adapter);
    ReadOwnedAddresses(files, path, adapter);
    adapters.push_back(std::move(adapter));
  }
  std::sort(adapters.begin(), adapters.end(), [](const I2cAdapter& a, const I2cAdapter& b) { return a.number < b.number; });
  if (adapters.empty()) devMissing = false;
  return adapters;
}

// Connector folders are named after their card: card0-HDMI-A-1.
bool IsConnectorName(const std::string& name) {
  const size_t dash = name.find('-');
  return dash != std::string::npos && NumberAfter(std::string_view(name).substr(0, dash), "card") >= 0;
}

DrmConnector ReadConnector(KernelFiles& files, const std::string& path, const std::string& name) {
  DrmConnector connector;
  connector.name = name;
  connector.connected = ReadLine(files, path + "/status") == "connected";
  connector.edid = files.ReadFile(path + "/edid", kMaxEdidFile).value_or("");
  if (const std::optional<std::string> ddc = files.ReadLink(path + "/ddc")) {
    connector.bus = NumberAfter(BaseName(*ddc), "i2c-");
    if (connector.bus >= 0) connector.route = BusRoute::kDdcLink;
  }
  if (connector.bus < 0) {
    // DisplayPort registers its AUX channel's I2C adapter as a child of the connector.
    for (const std::string& entry : files.ListDirectory(path)) {
      const int bus = NumberAfter(entry, "i2c-");
      if (bus < 0) continue;
      connector.bus = bus;
      connector.route = BusRoute::kAuxChild;
      break;
    }
  }
  return connector;
}

std::vector<ParallelPortInfo> ReadParallelPorts(KernelFiles& files, const std::string& procfs) {
  std::vector<ParallelPortInfo> ports;
  const std::string dir = procfs + "/sys/dev/parport";
  for (const std::string& name : files.ListDirectory(dir)) {
    const int number = NumberAfter(name, "parport");
    if (number < 0) continue;
    // "888\t1912": the base and the ECP registers' base, in decimal.
    const std::string text = ReadLine(files, dir + "/" + name + "/base-addr");
    char* end = nullptr;
    const unsigned long base = std::strtoul(text.c_str(), &end, 10);
    if (end == text.c_str() || base == 0 || base > 0xFFFF) continue;
    ports.push_back({name, "/dev/" + name, static_cast<uint32_t>(base)});
  }
  return ports;
}

}  // namespace

AdapterKind KindByName(std::string_view adapterName) {
  for (const NamedKind& row : kNamedKinds) {
    if (adapterName.substr(0, row.prefix.size()) != row.prefix) continue;
    if (row.infix.empty() || adapterName.find(row.infix, row.prefix.size()) != std::string_view::npos) return row.kind;
  }
  return AdapterKind::kUnknown;
}

std::string I2cAdapter::OwnerOf(uint8_t address) const {
  for (const OwnedAddress& entry : owned) {
    if (entry.address == address) return entry.driver;
  }
  return {};
}

const I2cAdapter* LinuxDiscovery::Adapter(int number) const {
  for (const I2cAdapter& adapter : adapters) {
    if (adapter.number == number) return &adapter;
  }
  return nullptr;
}

const DrmConnector* LinuxDiscovery::Connector(std::string_view name) const {
  for (const DrmConnector& connector : connectors) {
    if (connector.name == name) return &connector;
  }
  return nullptr;
}

const DrmConnector* LinuxDiscovery::ConnectorOf(int bus) const {
  if (bus < 0) return nullptr;
  for (const DrmConnector& connector : connectors) {
    if (connector.bus == bus) return &connector;
  }
  return nullptr;
}

LinuxDiscovery DiscoverLinux(KernelFiles& files, const KernelPaths& paths) {
  LinuxDiscovery found;
  found.adapters = ReadAdapters(files, paths.sysfs, found.i2cDevMissing);
  const std::string drm = paths.sysfs + "/class/drm";
  for (const std::string& name : files.ListDirectory(drm)) {
    if (IsConnectorName(name)) found.connectors.push_back(ReadConnector(files, drm + "/" + name, name));
  }
  found.parallelPorts = ReadParallelPorts(files, paths.procfs);
  return found;
}

std::string MonitorName(std::string_view edid) {
  if (edid.size() < static_cast<size_t>(kEdidSize)) return {};
  EdidBlock block([] { return CalendarDate{2000, 1, 1}; });
  std::copy_n(edid.begin(), kEdidSize, block.Bytes().begin());
  for (unsigned i = 0; i < kDescriptorCount; ++i) {
    block.SelectDescriptor(i);
    const DescriptorTag tag = block.GetDescriptorTag();
    if (!tag.isDescriptor || tag.tag != kTagMonitorName) continue;
    std::string name = Trimmed(block.GetDescriptorText());
    if (!name.empty()) return name;
  }
  char fallback[16];
  std::snprintf(fallback, sizeof fallback, " %04X", block.GetProductCode());
  return block.GetManufacturerId() + fallback;
}

int ParseBusName(std::string_view text) {
  if (text.rfind("/dev/i2c/", 0) == 0) return NumberAfter(text, "/dev/i2c/");
  if (text.rfind("/dev/", 0) == 0) text.remove_prefix(5);
  if (text.rfind("i2c-", 0) == 0) return NumberAfter(text, "i2c-");
  return NumberAfter(text, "");
}

}  // namespace tolvex
