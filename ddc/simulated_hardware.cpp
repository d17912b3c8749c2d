#include <algorithm>
#include <fstream>
#include <iterator>

#include "ddc/hardware.h"
#include "ddc/linux/linux_discovery.h"
#include "ddc/linux/ppdev_port_io.h"
#include "ddc/sim/sim_hardware.h"
#include "ddc/sim/sim_vcd_capture.h"

namespace tolvex {

namespace {

// The state file holds the analog EEPROM, then the digital one: 512 bytes.
constexpr size_t kStateSize = 2 * sim::SimEeprom::kSize;

class SimulatedHardware final : public Hardware {
 public:
  SimulatedHardware(std::unique_ptr<sim::SimHardware> hardware, std::string stateFile, bool ppdev)
      : hardware_(std::move(hardware)), stateFile_(std::move(stateFile)) {
    if (!ppdev) return;
    sim::AddPpdevPorts(*hardware_);
    ppdev_ = std::make_unique<PpdevPortIo>(hardware_->kernel, hardware_->clock, hardware_->machine,
                                           DiscoverLinux(hardware_->files, Paths()).parallelPorts);
  }
  ~SimulatedHardware() override { hardware_->machine.Monitor().Bus().SetLineObserver(nullptr); }

  SimulatedHardware(const SimulatedHardware&) = delete;
  SimulatedHardware& operator=(const SimulatedHardware&) = delete;

  bool StartCapture(const std::string& path, std::string& error) {
    if (!capture_.Open(path, error)) return false;
    hardware_->machine.Monitor().Bus().SetLineObserver(&capture_);
    return true;
  }

  PortIo& Io() override { return ppdev_ ? static_cast<PortIo&>(*ppdev_) : hardware_->machine; }
  KernelFiles& Files() override { return hardware_->files; }
  KernelDevices& Devices() override { return hardware_->kernel; }
  int SimulatedBus() const override { return hardware_->namedBus; }
  Clock& GetClock() override { return hardware_->clock; }
  bool HasPortAccess() const override { return true; }
  std::string AccessNote() const override { return {}; }

  bool Load(std::string& error) {
    std::ifstream in(stateFile_, std::ios::binary);
    if (!in) return true;  // a first run starts from the monitor's own EDID
    const std::string state((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (state.size() != kStateSize) {
      error = stateFile_ + ": not a simulated monitor state (" + std::to_string(kStateSize) + " bytes expected)";
      return false;
    }
    auto& monitor = hardware_->machine.Monitor();
    std::copy_n(state.begin(), sim::SimEeprom::kSize, monitor.AnalogEeprom().Memory().begin());
    std::copy_n(state.begin() + sim::SimEeprom::kSize, sim::SimEeprom::kSize, monitor.DigitalEeprom().Memory().begin());
    return true;
  }

  bool Persist(std::string& error) override {
    // The run is over: what the capture holds is complete.
    hardware_->machine.Monitor().Bus().SetLineObserver(nullptr);
    if (!capture_.Close(error)) return false;
    if (stateFile_.empty()) return true;
    auto& monitor = hardware_->machine.Monitor();
    std::ofstream out(stateFile_, std::ios::binary | std::ios::trunc);
    for (const sim::SimEeprom* eeprom : {&monitor.AnalogEeprom(), &monitor.DigitalEeprom()}) {
      out.write(reinterpret_cast<const char*>(eeprom->Memory().data()), sim::SimEeprom::kSize);
    }
    out.close();
    if (!out) {
      error = stateFile_ + ": cannot write the simulated monitor state";
      return false;
    }
    return true;
  }

 private:
  sim::VcdCapture capture_;  // declared before the machine that points at it, so it outlives it
  std::unique_ptr<sim::SimHardware> hardware_;
  std::string stateFile_;
  std::unique_ptr<PpdevPortIo> ppdev_;
};

}  // namespace

namespace {

struct SimulatedAdapter {
  std::string_view name;
  std::unique_ptr<sim::SimHardware> (*make)();
};

const SimulatedAdapter kSimulatedAdapters[] = {
    {"black-box", [] { return sim::MakeBlackBoxHardware(); }},
    {"service-kit", [] { return sim::MakeServiceKitHardware(); }},
    {"s3", [] { return sim::MakeS3Hardware(); }},
    {"i2c-dev", [] { return sim::MakeI2cDevHardware(); }},
};

struct SimulatedFault {
  std::string_view name;
  void (*apply)(sim::SimHardware& hardware);
  bool kernelBusOnly = false;
};

const SimulatedFault kSimulatedFaults[] = {
    {"unplugged",
     [](sim::SimHardware& h) {
       if (h.monitorBus >= 0) {
         sim::UnplugKernelMonitor(h);
       } else {
         h.machine.UnplugMonitor();
       }
     }},
    {"sda-low", [](sim::SimHardware& h) { h.machine.Monitor().HoldSdaLow(true); }},
    {"write-protect", [](sim::SimHardware& h) { h.machine.Monitor().SetWriteProtectStuck(true); }},
    {"no-controller",
     [](sim::SimHardware& h) {
       h.machine.Monitor().SetDevicePresent(sim::SimDevice::kController1, false);
       h.machine.Monitor().SetDevicePresent(sim::SimDevice::kController2, false);
     }},
    // The run's bus is the chipset's SMBus, where the memory modules' SPD EEPROMs answer.
    {"dimm", [](sim::SimHardware& h) { h.namedBus = sim::kSimSmbus; }, true},
};

const char* const kPortAccesses[] = {"raw", "ppdev"};

template <typename Row, size_t N>
std::vector<std::string_view> NamesOf(const Row (&rows)[N]) {
  std::vector<std::string_view> names;
  for (const Row& row : rows) names.push_back(row.name);
  return names;
}

template <typename Row, size_t N>
const Row* Lookup(const Row (&rows)[N], std::string_view name) {
  for (const Row& row : rows) {
    if (row.name == name) return &row;
  }
  return nullptr;
}

std::string NameList(const std::vector<std::string_view>& names) {
  std::string list;
  for (std::string_view name : names) list += (list.empty() ? "" : ", ") + std::string(name);
  return list;
}

}  // namespace

const std::vector<std::string_view>& SimulatedAdapterNames() {
  static const std::vector<std::string_view> names = NamesOf(kSimulatedAdapters);
  return names;
}

const std::vector<std::string_view>& SimulatedFaultNames() {
  static const std::vector<std::string_view> names = NamesOf(kSimulatedFaults);
  return names;
}

const std::vector<std::string_view>& SimulatedAccessNames() {
  static const std::vector<std::string_view> names(std::begin(kPortAccesses), std::end(kPortAccesses));
  return names;
}

std::unique_ptr<Hardware> MakeSimulatedHardware(const SimulationOptions& options, std::string& error) {
  const SimulatedAdapter* adapter = Lookup(kSimulatedAdapters, options.adapter);
  if (!adapter) {
    error = "unknown simulated adapter \"" + options.adapter + "\" (" + NameList(SimulatedAdapterNames()) + ")";
    return nullptr;
  }
  const SimulatedFault* fault = options.fault.empty() ? nullptr : Lookup(kSimulatedFaults, options.fault);
  if (!options.fault.empty() && !fault) {
    error = "unknown simulated fault \"" + options.fault + "\" (" + NameList(SimulatedFaultNames()) + ")";
    return nullptr;
  }
  const std::vector<std::string_view>& accesses = SimulatedAccessNames();
  if (std::find(accesses.begin(), accesses.end(), options.access) == accesses.end()) {
    error = "unknown port access \"" + options.access + "\" (" + NameList(accesses) + ")";
    return nullptr;
  }
  std::unique_ptr<sim::SimHardware> hardware = adapter->make();
  if (fault && fault->kernelBusOnly && hardware->monitorBus < 0) {
    error = "the simulated fault \"" + options.fault + "\" needs --sim-adapter i2c-dev";
    return nullptr;
  }
  if (fault) fault->apply(*hardware);
  auto simulated = std::make_unique<SimulatedHardware>(std::move(hardware), options.stateFile, options.access == "ppdev");
  if (!simulated->Load(error)) return nullptr;
  if (!options.captureFile.empty() && !simulated->StartCapture(options.captureFile, error)) return nullptr;
  return simulated;
}

}  // namespace tolvex
