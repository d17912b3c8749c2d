#include "ddc/sim/sim_files.h"

#include <cstdio>
#include <vector>

namespace tolvex::sim {

namespace {


// The path with its links followed; the last component's own link only when `followLast`.
std::string Resolve(const std::map<std::string, SimFiles::Node>& nodes, const std::string& path, bool followLast) {
  return ResolvePathWith(path, followLast, [&nodes](const std::string& at) -> std::optional<std::string> {
    const auto node = nodes.find(at);
    if (node == nodes.end() || node->second.kind != SimFiles::Node::kLink) return std::nullopt;
    return node->second.content;
  });
}

}  // namespace

// A new node goes where the kernel would put it: the folders above it with their links followed.
std::string SimFiles::Place(const std::string& path) {
  const std::string parent = Resolve(nodes_, ParentPath(JoinPath(PathComponents(path))), true);
  return (parent == "/" ? "" : parent) + "/" + BaseName(path);
}

void SimFiles::AddFolder(const std::string& path) {
  std::string prefix;
  for (const std::string& part : PathComponents(path)) {
    prefix += "/" + part;
    nodes_.try_emplace(prefix, Node{});
  }
}

void SimFiles::AddFile(const std::string& path, std::string content) {
  const std::string key = Place(path);
  AddFolder(ParentPath(key));
  nodes_[key] = Node{Node::kFile, std::move(content), {}};
}

void SimFiles::AddFile(const std::string& path, std::function<std::string()> source) {
  const std::string key = Place(path);
  AddFolder(ParentPath(key));
  nodes_[key] = Node{Node::kFile, {}, std::move(source)};
}

void SimFiles::AddLink(const std::string& path, std::string target) {
  const std::string key = Place(path);
  AddFolder(ParentPath(key));
  nodes_[key] = Node{Node::kLink, std::move(target), {}};
}

void SimFiles::Remove(const std::string& path) {
  const std::string key = Place(path);
  nodes_.erase(key);
  for (auto it = nodes_.lower_bound(key + "/"); it != nodes_.end() && it->first.rfind(key + "/", 0) == 0;) {
    it = nodes_.erase(it);
  }
}

const SimFiles::Node* SimFiles::Find(const std::string& path) {
  const auto it = nodes_.find(Resolve(nodes_, path, true));
  return it == nodes_.end() ? nullptr : &it->second;
}

std::optional<std::string> SimFiles::ReadFile(const std::string& path, size_t limit) {
  const Node* node = Find(path);
  if (!node || node->kind != Node::kFile) return std::nullopt;
  std::string content = node->source ? node->source() : node->content;
  if (content.size() > limit) content.resize(limit);
  return content;
}

std::optional<std::string> SimFiles::ReadLink(const std::string& path) {
  const auto it = nodes_.find(Resolve(nodes_, path, false));
  if (it == nodes_.end() || it->second.kind != Node::kLink) return std::nullopt;
  return it->second.content;
}

std::vector<std::string> SimFiles::ListDirectory(const std::string& path) {
  std::vector<std::string> names;
  const std::string folder = Resolve(nodes_, path, true);
  const auto node = nodes_.find(folder);
  if (node == nodes_.end() || node->second.kind != Node::kFolder) return names;
  const std::string prefix = folder == "/" ? "/" : folder + "/";
  for (auto it = nodes_.lower_bound(prefix); it != nodes_.end() && it->first.rfind(prefix, 0) == 0; ++it) {
    if (it->first.size() > prefix.size() && it->first.find('/', prefix.size()) == std::string::npos) {
      names.push_back(it->first.substr(prefix.size()));
    }
  }
  return names;
}

bool SimFiles::Exists(const std::string& path) { return Find(path) != nullptr; }

std::string RelativeLink(const std::string& linkPath, const std::string& targetPath) {
  const std::vector<std::string> from = PathComponents(ParentPath(linkPath));
  const std::vector<std::string> to = PathComponents(targetPath);
  size_t common = 0;
  while (common < from.size() && common < to.size() && from[common] == to[common]) ++common;
  std::string link;
  for (size_t i = common; i < from.size(); ++i) link += "../";
  for (size_t i = common; i < to.size(); ++i) link += to[i] + (i + 1 < to.size() ? "/" : "");
  return link;
}

// ---- Layout --------------------------------------------------------------------------------

std::string SysfsBuilder::PciDevice(const std::string& slot, uint32_t pciClass) {
  const std::string path = paths_.sysfs + "/devices/pci0000:00/" + slot;
  char text[16];
  std::snprintf(text, sizeof text, "0x%06x\n", pciClass);
  files_.AddFile(path + "/class", text);
  files_.AddFile(path + "/vendor", "0x8086\n");
  files_.AddLink(paths_.sysfs + "/bus/pci/devices/" + slot, RelativeLink(paths_.sysfs + "/bus/pci/devices/" + slot, path));
  return path;
}

std::string SysfsBuilder::UsbDevice(const std::string& controller, const std::string& path) {
  std::string device = controller;
  for (const std::string& part : PathComponents(path)) {
    device += "/" + part;
    files_.AddFile(device + "/busnum", "1\n");
  }
  const std::string interface = device + "/" + BaseName(device) + ":1.0";
  files_.AddFile(interface + "/bInterfaceClass", "ff\n");
  return interface;
}

void SysfsBuilder::UsbIds(const std::string& interface, uint16_t vendor, uint16_t product) {
  const std::string device = ParentPath(interface);
  char text[16];
  std::snprintf(text, sizeof text, "%04x\n", vendor);
  files_.AddFile(device + "/idVendor", text);
  std::snprintf(text, sizeof text, "%04x\n", product);
  files_.AddFile(device + "/idProduct", text);
  files_.AddFile(device + "/devnum", "3\n");
}

void SysfsBuilder::BindDriver(const std::string& device, const std::string& bus, const std::string& driver) {
  const std::string driverPath = paths_.sysfs + "/bus/" + bus + "/drivers/" + driver;
  files_.AddFolder(driverPath);
  files_.AddLink(device + "/driver", RelativeLink(device + "/driver", driverPath));
}

std::string SysfsBuilder::PlatformDevice(const std::string& name) {
  const std::string path = paths_.sysfs + "/devices/platform/" + name;
  files_.AddFile(path + "/modalias", "platform:" + name + "\n");
  return path;
}

std::string SysfsBuilder::I2cAdapter(const std::string& parent, int number, const std::string& name) {
  const std::string id = "i2c-" + std::to_string(number);
  const std::string path = parent + "/" + id;
  files_.AddFile(path + "/name", name + "\n");
  const std::string classDevice = path + "/i2c-dev/" + id;
  files_.AddFile(classDevice + "/name", name + "\n");
  files_.AddFile(classDevice + "/dev", "89:" + std::to_string(number) + "\n");
  files_.AddLink(classDevice + "/device", "../../../" + id);
  const std::string busEntry = paths_.sysfs + "/bus/i2c/devices/" + id;
  files_.AddLink(busEntry, RelativeLink(busEntry, path));
  const std::string classEntry = paths_.sysfs + "/class/i2c-dev/" + id;
  files_.AddLink(classEntry, RelativeLink(classEntry, classDevice));
  return path;
}

void SysfsBuilder::I2cClient(const std::string& adapter, int number, uint8_t address, const std::string& name,
                             const std::string& driver) {
  char id[24];
  std::snprintf(id, sizeof id, "%d-%04x", number, address);
  const std::string path = adapter + "/" + id;
  files_.AddFile(path + "/name", name + "\n");
  const std::string busEntry = paths_.sysfs + "/bus/i2c/devices/" + id;
  files_.AddLink(busEntry, RelativeLink(busEntry, path));
  if (!driver.empty()) BindDriver(path, "i2c", driver);
}

std::string SysfsBuilder::DrmCard(const std::string& controller, int card) {
  const std::string id = "card" + std::to_string(card);
  const std::string path = controller + "/drm/" + id;
  files_.AddFile(path + "/dev", "226:" + std::to_string(card) + "\n");
  const std::string classEntry = paths_.sysfs + "/class/drm/" + id;
  files_.AddLink(classEntry, RelativeLink(classEntry, path));
  return path;
}

std::string SysfsBuilder::Connector(const std::string& card, const std::string& name, bool connected,
                                    std::function<std::string()> edid) {
  const std::string id = BaseName(card) + "-" + name;
  const std::string path = card + "/" + id;
  files_.AddFile(path + "/status", connected ? "connected\n" : "disconnected\n");
  files_.AddFile(path + "/enabled", connected ? "enabled\n" : "disabled\n");
  files_.AddFile(path + "/edid", std::move(edid));
  const std::string classEntry = paths_.sysfs + "/class/drm/" + id;
  files_.AddLink(classEntry, RelativeLink(classEntry, path));
  return path;
}

void SysfsBuilder::DdcLink(const std::string& connector, const std::string& adapter) {
  files_.AddLink(connector + "/ddc", RelativeLink(connector + "/ddc", adapter));
}

void SysfsBuilder::ParallelPort(int number, uint16_t base) {
  const std::string dir = paths_.procfs + "/sys/dev/parport/parport" + std::to_string(number);
  // The base and the ECP registers' base, in decimal, as procfs writes them.
  files_.AddFile(dir + "/base-addr", std::to_string(base) + "\t" + std::to_string(base + 0x400) + "\n");
  files_.AddFile(dir + "/irq", "-1\n");
}

}  // namespace tolvex::sim
