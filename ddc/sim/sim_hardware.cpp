#include "ddc/sim/sim_hardware.h"

namespace tolvex::sim {

namespace {

std::unique_ptr<SimHardware> MakeParallelHardware(uint16_t base, ParallelAdapter adapter) {
  auto hardware = std::make_unique<SimHardware>();
  hardware->machine.SetParallelAdapter(base, adapter);
  hardware->machine.PlugMonitor(MonitorRoute::Parallel(base));
  return hardware;
}

}  // namespace

std::unique_ptr<SimHardware> MakeBlackBoxHardware(uint16_t base) {
  return MakeParallelHardware(base, ParallelAdapter::kBlackBox);
}

std::unique_ptr<SimHardware> MakeServiceKitHardware(uint16_t base) {
  return MakeParallelHardware(base, ParallelAdapter::kServiceKit);
}

std::unique_ptr<SimHardware> MakeS3Hardware(const S3CardConfig& config) {
  auto hardware = std::make_unique<SimHardware>();
  // The card's bit delay is about 0.4 µs, so a START is held for about 3 µs: only a fast-mode
  // part keeps up, as the 5 V DDC EEPROMs of monitors do.
  hardware->machine.Monitor().Bus().SetTimingMinima(sim::kFastMode);
  hardware->machine.SetParallelAdapter(0x378, ParallelAdapter::kNoAdapter);
  hardware->machine.InstallS3Card(config);
  hardware->machine.PlugMonitor(MonitorRoute::S3());
  return hardware;
}

std::unique_ptr<SimHardware> MakeBareHardware() {
  auto hardware = std::make_unique<SimHardware>();
  hardware->machine.SetParallelAdapter(0x378, ParallelAdapter::kNoAdapter);
  return hardware;
}

namespace {

const NamedAdapter kNamedAdapters[] = {
    {"black-box", [] { return MakeBlackBoxHardware(); }},
    {"service-kit", [] { return MakeServiceKitHardware(); }},
    {"s3", [] { return MakeS3Hardware(); }},
    {"i2c-dev", [] { return MakeI2cDevHardware(); }, true},
    {"cp2112", [] { return MakeUsbI2cHardware(); }, true},
    {"ch341a", [] { return MakeCh341aHardware(); }},
};

const NamedFault kNamedFaults[] = {
    {"unplugged",
     [](SimHardware& h) {
       if (h.monitorBus >= 0) {
         UnplugKernelMonitor(h);
       } else if (SimCh341a* programmer = h.usb.First()) {
         programmer->Wire().SetSlave(nullptr);  // the clip came off the EEPROM
       } else {
         h.machine.UnplugMonitor();
       }
     }},
    {"sda-low", [](SimHardware& h) { h.machine.Monitor().HoldSdaLow(true); }},
    {"write-protect", [](SimHardware& h) { h.machine.Monitor().SetWriteProtectStuck(true); }},
    {"no-controller",
     [](SimHardware& h) {
       h.machine.Monitor().SetDevicePresent(SimDevice::kController1, false);
       h.machine.Monitor().SetDevicePresent(SimDevice::kController2, false);
     }},
    // The run's bus is the chipset's SMBus, where the memory modules' SPD EEPROMs answer.
    {"dimm", [](SimHardware& h) { h.namedBus = kSimSmbus; }, true},
    // Armed before start-up, whose discovery clocks nothing: the next transfer is the one cut.
    {"unplug-during", [](SimHardware& h) { UnplugAfterPulses(h, kHalfBlockReadPulses); }},
};

}  // namespace

void UnplugAfterPulses(SimHardware& hardware, uint32_t pulses) {
  if (SimCh341a* programmer = hardware.usb.First()) {
    programmer->Wire().UnplugAfterPulses(pulses);
  } else if (hardware.monitorBus < 0) {
    hardware.machine.UnplugAfterPulses(pulses);
  } else if (SimBitBangAdapter* adapter = hardware.kernel.Adapter(hardware.monitorBus)) {
    adapter->UnplugAfterPulses(pulses);
  }
}

std::span<const NamedAdapter> NamedAdapters() { return kNamedAdapters; }
std::span<const NamedFault> NamedFaults() { return kNamedFaults; }

}  // namespace tolvex::sim

namespace tolvex::sim {

namespace {

constexpr uint32_t kVgaController = 0x030000;
constexpr uint32_t kSmbusController = 0x0C0500;

// Today's PC under kernel lockdown (no raw ports, so the bit-banged discovery has nothing to
// probe) with the monitor on kernel bus `bus` and the chipset's SMBus with its SPD EEPROMs.
std::unique_ptr<SimHardware> MakeKernelBusPc(int bus) {
  auto hardware = std::make_unique<SimHardware>();
  SimHardware& hw = *hardware;
  hw.machine.SetReachable(false);
  // A kernel bus has no write-enable line: the monitor's EEPROM takes writes unless it locks itself.
  hw.machine.Monitor().SetWriteEnableLine(true);
  hw.monitorBus = bus;
  hw.namedBus = bus;
  SysfsBuilder sysfs(hw.files);
  const std::string smbus = sysfs.I2cAdapter(sysfs.PciDevice("0000:00:1f.4", kSmbusController), kSimSmbus,
                                             "SMBus I801 adapter at efa0");
  for (uint8_t spd : {0x50, 0x52}) sysfs.I2cClient(smbus, kSimSmbus, spd, "ee1004", "ee1004");
  hw.kernel.AddBus(kSimSmbus, nullptr, {0x50, 0x52});
  return hardware;
}

}  // namespace

std::unique_ptr<SimHardware> MakeUsbI2cHardware() {
  auto hardware = MakeKernelBusPc(kSimUsbBus);
  SimHardware& hw = *hardware;
  SysfsBuilder sysfs(hw.files);
  const std::string interface = sysfs.UsbDevice(sysfs.PciDevice("0000:00:14.0", 0x0C0330), "usb1/1-2");
  sysfs.UsbIds(interface, 0x10C4, 0xEA90);
  sysfs.BindDriver(interface, "usb", "usbhid");
  const std::string hid = interface + "/0003:10C4:EA90.0001";
  sysfs.BindDriver(hid, "hid", "cp2112");
  sysfs.I2cAdapter(hid, kSimUsbBus, "CP2112 SMBus Bridge on hidraw0");
  hw.kernel.AddBus(kSimUsbBus, std::make_unique<SimBitBangAdapter>(hw.time, &hw.machine.Monitor().Bus()), {},
                   kCp2112Limits);
  return hardware;
}

std::unique_ptr<SimHardware> MakeI2cDevHardware() {
  auto hardware = MakeKernelBusPc(kSimMonitorBus);
  SimHardware& hw = *hardware;
  SimMonitor& monitor = hw.machine.Monitor();

  SysfsBuilder sysfs(hw.files);
  const std::string gpu = sysfs.PciDevice("0000:00:02.0", kVgaController);
  const std::string gmbus = sysfs.I2cAdapter(gpu, kSimMonitorBus, "i915 gmbus dpb");
  const std::string card = sysfs.DrmCard(gpu, 0);
  const std::string hdmi = sysfs.Connector(card, "HDMI-A-1", true, [&monitor] {
    const auto& memory = monitor.SelectedEeprom().Memory();
    return std::string(memory.begin(), memory.begin() + 128);
  });
  sysfs.DdcLink(hdmi, gmbus);
  const std::string dp = sysfs.Connector(card, "DP-1", false, [] { return std::string(); });
  sysfs.I2cAdapter(dp, kSimDpAuxBus, "DPDDC-B");

  hw.kernel.AddBus(kSimMonitorBus, std::make_unique<SimBitBangAdapter>(hw.time, &monitor.Bus()));
  hw.kernel.AddBus(kSimDpAuxBus, std::make_unique<SimBitBangAdapter>(hw.time, nullptr));
  return hardware;
}

std::unique_ptr<SimHardware> MakeCh341aHardware() {
  auto hardware = std::make_unique<SimHardware>();
  hardware->machine.SetReachable(false);
  // The programmer's socket ties the EEPROM's write-protect pin low.
  hardware->machine.Monitor().SetWriteEnableLine(true);
  hardware->usb.AddCh341a(kSimCh341a, &hardware->machine.Monitor().Bus());
  return hardware;
}

void UnplugKernelMonitor(SimHardware& hardware) {
  const std::string connector = "/sys/class/drm/" + std::string(kSimMonitorConnector);
  if (hardware.files.Exists(connector)) {
    hardware.files.AddFile(connector + "/status", "disconnected\n");
    hardware.files.AddFile(connector + "/edid", std::string());
  }
  if (SimBitBangAdapter* adapter = hardware.kernel.Adapter(hardware.monitorBus)) adapter->Unplug();
}

void AddPpdevPorts(SimHardware& hardware) {
  SysfsBuilder sysfs(hardware.files);
  int number = 0;
  for (uint16_t base : SimMachine::kParallelBases) {
    const SimParallelPort* port = hardware.machine.Parallel(base);
    if (!port || !port->Present()) continue;
    sysfs.ParallelPort(number, base);
    hardware.kernel.AddParallelPort(number, base, hardware.machine);
    ++number;
  }
}

}  // namespace tolvex::sim
