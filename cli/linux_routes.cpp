#include "cli/linux_routes.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "cli/cli_texts.h"
#include "ddc/ddc_texts.h"
#include "ddc/format_text.h"
#include "ddc/linux/linux_channels.h"
#include "ddc/linux/linux_texts.h"
#include "ddc/usb/usb_programmers.h"
#include "ddc/usb/usb_texts.h"
#include "util/text_escape.h"

namespace tolvex {

namespace {

// Where the kernel keeps a connector's EDID, for what the user is told.
std::string EdidFilePath(const KernelPaths& paths, const DrmConnector& connector) {
  return paths.sysfs + "/class/drm/" + connector.name + "/edid";
}

// A relative root is taken from the working folder, not from /, and spelt as the links inside it
// resolve, so that every path discovery builds from it compares with the paths it resolves.
std::string AbsoluteRoot(const std::string& root) {
  std::error_code failed;
  std::string absolute = std::filesystem::weakly_canonical(std::filesystem::absolute(root, failed), failed).string();
  if (failed) absolute = root;
  while (absolute.size() > 1 && absolute.back() == '/') absolute.pop_back();
  return absolute;
}

KernelPaths PathsOf(Hardware& hardware, const LinuxRequest& request) {
  KernelPaths paths = hardware.Paths();
  if (!request.sysfsRoot.empty()) paths.sysfs = AbsoluteRoot(request.sysfsRoot);
  return paths;
}

void OpenKernelBus(Hardware& hardware, KernelView& view, const LinuxRequest& request, int number, BusChoice choice,
                   bool reading, Route& route) {
  LinuxDiscovery& discovery = view.Discovery();
  route.busNumber = number;
  if (!route.connector) route.connector = discovery.ConnectorOf(number);
  std::string error;
  route.kernelBus = OpenLinuxBus(discovery, hardware.Devices(), hardware.GetClock(), number, choice, error);
  if (route.kernelBus) return;
  if (reading && route.connector) route.kernelCopy = KernelEdid(*route.connector);
  if (route.kernelCopy) {
    route.note = FormatText(texts::kFallbackToSysfs, error.c_str(),
                            EdidFilePath(PathsOf(hardware, request), *route.connector).c_str());
    return;
  }
  route.error = error;
  if (const I2cAdapter* adapter = discovery.Adapter(number)) {
    const std::optional<Refusal> refusal = AdapterRefusal(*adapter, choice.named, choice.force);
    if (refusal && refusal->overridable) route.error += std::string("\n") + cli_texts::kProgram + ": " + cli_texts::kForceHint;
  }
}

// The bus the user named, or the simulation stands for; -1 when none is named.
int NamedBus(Hardware& hardware, KernelView& view, const LinuxRequest& request, bool reading, Route& route) {
  if (!request.connector.empty()) {
    route.connector = view.Discovery().Connector(request.connector);
    if (!route.connector) {
      route.error = FormatText(cli_texts::kNoConnector, request.connector.c_str());
      return -1;
    }
    if (route.connector->bus < 0) {
      const std::string reason = FormatText(cli_texts::kConnectorWithoutBus, request.connector.c_str());
      if (reading) route.kernelCopy = KernelEdid(*route.connector);
      if (route.kernelCopy) {
        route.note = FormatText(texts::kFallbackToSysfs, reason.c_str(),
                                EdidFilePath(PathsOf(hardware, request), *route.connector).c_str());
      } else {
        route.error = reason;
      }
    }
    return route.connector->bus;
  }
  if (!request.bus.empty()) return ParseBusName(request.bus);
  return hardware.SimulatedBus();
}

std::string NoChannel(Hardware& hardware) {
  if (!hardware.HasPortAccess()) return std::string(cli_texts::kNoPortAccess) + ": " + hardware.AccessNote();
  return cli_texts::kNoAdapter;
}

}  // namespace

KernelView::KernelView(Hardware& hardware, const LinuxRequest& request)
    : system_(std::vector<std::string>{PathsOf(hardware, request).sysfs, PathsOf(hardware, request).procfs}) {
  KernelFiles& files = request.sysfsRoot.empty() ? hardware.Files() : system_;
  discovery_ = DiscoverLinux(files, PathsOf(hardware, request));
  MatchBusesByEdid(discovery_, hardware.Devices(), hardware.GetClock());
}

Route ChooseRoute(Hardware& hardware, KernelView& view, const LinuxRequest& request, ConsoleUi& ui, bool reading) {
  Route route;
  const bool named = !request.bus.empty() || !request.connector.empty() || hardware.SimulatedBus() >= 0;
  if (NamesUsbProgrammer(request.bus)) {
    route.programmer = OpenUsbProgrammer(hardware.Usb(), hardware.GetClock(), request.bus, request.force, route.error);
    return route;
  }
  if (named) {
    const int number = NamedBus(hardware, view, request, reading, route);
    if (number >= 0) OpenKernelBus(hardware, view, request, number, {true, request.force}, reading, route);
    return route;
  }
  route.bitBus = std::make_unique<CI2cBus>(hardware.Io(), hardware.GetClock(), ui);
  if (route.bitBus->Channel() != kChannelNone) return route;
  route.bitBus.reset();
  // A programmer plugged in is there for the chip in its clip, more likely than the GPU's buses.
  if (FindUsbProgrammers(hardware.Usb()).size() == 1) {
    route.programmer =
        OpenUsbProgrammer(hardware.Usb(), hardware.GetClock(), texts::kCh341aName, request.force, route.error);
    return route;
  }
  for (const LinuxBusChannel& channel : ListLinuxBuses(view.Discovery())) {
    if (!channel.connector || !channel.connector->connected || channel.refusal) continue;
    route.connector = channel.connector;
    OpenKernelBus(hardware, view, request, channel.adapter->number, {false, request.force}, reading, route);
    return route;
  }
  route.error = NoChannel(hardware);
  return route;
}

int ListChannels(Hardware& hardware, KernelView& view, ConsoleUi& ui, std::ostream& out, std::ostream& err) {
  std::vector<std::string> lines;
  const LinuxDiscovery& discovery = view.Discovery();
  // Names come from the kernel's files and the monitors' EDIDs; escaped, none can forge a line.
  for (const LinuxBusChannel& channel : ListLinuxBuses(discovery)) {
    std::string line = EscapeControls(channel.adapter->device) + "\t";
    if (channel.connector) {
      line += EscapeControls(channel.connector->name) + "\t" +
              (channel.connector->connected ? EscapeControls(channel.monitor) : "(no display)");
    } else {
      line += EscapeControls(AdapterTitle(*channel.adapter)) + "\t-";
    }
    if (channel.refusal) line += "\trefused: " + EscapeControls(channel.refusal->reason);
    lines.push_back(line);
  }

  for (const UsbProgrammer& programmer : FindUsbProgrammers(hardware.Usb())) {
    lines.push_back(programmer.Name() + "\t" + programmer.Label() + "\t-");
  }

  CI2cBus bus(hardware.Io(), hardware.GetClock(), ui);
  const int found = bus.Channel();
  bool foundListed = found == kChannelNone;
  for (const ParallelPortInfo& port : discovery.parallelPorts) {
    const bool here = found != kChannelNone && found != kChannelS3 && bus.PortBase() == port.base;
    lines.push_back(port.device + FormatText("\t0x%X\t", port.base) + (here ? texts::kChannelNames[found] : "-"));
    foundListed = foundListed || here;
  }
  if (!foundListed) {
    const std::string where = found == kChannelS3 ? "0xAFF20" : FormatText("0x%X", bus.PortBase());
    lines.push_back(where + "\t-\t" + texts::kChannelNames[found]);
  }

  if (discovery.i2cDevMissing) err << cli_texts::kProgram << ": " << cli_texts::kDevNodesMissing << '\n';
  if (lines.empty()) {
    err << cli_texts::kProgram << ": " << NoChannel(hardware) << '\n';
    return 1;
  }
  for (const std::string& line : lines) out << line << '\n';
  return 0;
}

}  // namespace tolvex
