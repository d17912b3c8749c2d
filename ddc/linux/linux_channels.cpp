#include "ddc/linux/linux_channels.h"

#include <algorithm>

#include "ddc/edid_transfer.h"
#include "ddc/format_text.h"
#include "ddc/i2c_operations.h"
#include "ddc/linux/linux_texts.h"

namespace tolvex {

namespace {

int Rank(const LinuxBusChannel& channel) {
  if (channel.connector && channel.connector->connected) return 0;
  return channel.connector ? 1 : 2;
}

}  // namespace

std::string AdapterTitle(const I2cAdapter& adapter) {
  if (adapter.kind != AdapterKind::kUsbProgrammer) return adapter.name;
  return FormatText(texts::kUsbProgrammerTitle, adapter.model.c_str(), adapter.usbPath.c_str());
}

std::string LinuxBusChannel::Label() const {
  if (!connector) return FormatText("%s (i2c-%d)", AdapterTitle(*adapter).c_str(), adapter->number);
  const std::string shown = monitor.empty() ? texts::kNoDisplay : monitor;
  return FormatText(texts::kBusLabel, connector->name.c_str(), shown.c_str(), adapter->number);
}

std::string LinuxBusChannel::Key() const { return connector ? connector->name : AdapterTitle(*adapter); }

std::vector<LinuxBusChannel> ListLinuxBuses(const LinuxDiscovery& discovery) {
  std::vector<LinuxBusChannel> channels;
  for (const I2cAdapter& adapter : discovery.adapters) {
    LinuxBusChannel channel;
    channel.adapter = &adapter;
    channel.connector = discovery.ConnectorOf(adapter.number);
    if (channel.connector && channel.connector->connected) channel.monitor = MonitorName(channel.connector->edid);
    channel.refusal = AdapterRefusal(adapter, false, false);
    channels.push_back(std::move(channel));
  }
  std::stable_sort(channels.begin(), channels.end(),
                   [](const LinuxBusChannel& a, const LinuxBusChannel& b) { return Rank(a) < Rank(b); });
  return channels;
}

void MatchBusesByEdid(LinuxDiscovery& discovery, KernelDevices& kernel, Clock& clock) {
  for (DrmConnector& connector : discovery.connectors) {
    const std::optional<WholeEdid> edid = KernelEdid(connector);
    if (!connector.connected || connector.bus >= 0 || !edid) continue;
    for (I2cAdapter& adapter : discovery.adapters) {
      // Only a graphics card's buses: an external programmer holds whatever chip is clipped to it.
      if (!adapter.IsDisplayBus() || discovery.ConnectorOf(adapter.number) || AdapterRefusal(adapter, false, false)) {
        continue;
      }
      std::string error;
      std::unique_ptr<CI2cDevBus> bus = CI2cDevBus::Open(kernel, clock, adapter, adapter.device, {}, error);
      if (!bus) continue;
      EdidBytes read{};
      if (EepromTransfer(*bus, kEepromRead, 0x00, kEdidSize, read.data()) != 0 || read != edid->base) continue;
      connector.bus = adapter.number;
      connector.route = BusRoute::kMatchedEdid;
      adapter.edidMatched = true;
      break;
    }
  }
}

std::unique_ptr<CI2cDevBus> OpenLinuxBus(const LinuxDiscovery& discovery, KernelDevices& kernel, Clock& clock,
                                         int number, BusChoice choice, std::string& error) {
  const I2cAdapter* adapter = discovery.Adapter(number);
  if (!adapter) {
    const std::string device = "/dev/i2c-" + std::to_string(number);
    error = FormatText(discovery.i2cDevMissing ? texts::kNoDeviceNode : texts::kNoSuchBus, device.c_str());
    return nullptr;
  }
  return CI2cDevBus::Open(kernel, clock, *adapter, BusLabel(*adapter, discovery), choice, error);
}

std::optional<WholeEdid> KernelEdid(const DrmConnector& connector) {
  if (connector.edid.size() < static_cast<size_t>(kEdidSize)) return std::nullopt;
  const auto* bytes = reinterpret_cast<const uint8_t*>(connector.edid.data());
  return SplitWholeEdid(std::span<const uint8_t>(bytes, connector.edid.size()));
}

}  // namespace tolvex
