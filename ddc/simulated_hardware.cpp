#include <algorithm>
#include <fstream>
#include <iterator>

#include "ddc/hardware.h"
#include "ddc/sim/sim_hardware.h"

namespace tolvex {

namespace {

// The state file holds the analog EEPROM, then the digital one: 512 bytes.
constexpr size_t kStateSize = 2 * sim::SimEeprom::kSize;

class SimulatedHardware final : public Hardware {
 public:
  SimulatedHardware(std::unique_ptr<sim::SimHardware> hardware, std::string stateFile)
      : hardware_(std::move(hardware)), stateFile_(std::move(stateFile)) {}

  PortIo& Io() override { return hardware_->machine; }
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
  std::unique_ptr<sim::SimHardware> hardware_;
  std::string stateFile_;
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
};

struct SimulatedFault {
  std::string_view name;
  void (*apply)(sim::SimHardware& hardware);
};

const SimulatedFault kSimulatedFaults[] = {
    {"unplugged", [](sim::SimHardware& h) { h.machine.UnplugMonitor(); }},
    {"sda-low", [](sim::SimHardware& h) { h.machine.Monitor().HoldSdaLow(true); }},
    {"write-protect", [](sim::SimHardware& h) { h.machine.Monitor().SetWriteProtectStuck(true); }},
    {"no-controller",
     [](sim::SimHardware& h) {
       h.machine.Monitor().SetDevicePresent(sim::SimDevice::kController1, false);
       h.machine.Monitor().SetDevicePresent(sim::SimDevice::kController2, false);
     }},
};

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
  std::unique_ptr<sim::SimHardware> hardware = adapter->make();
  if (fault) fault->apply(*hardware);
  auto simulated = std::make_unique<SimulatedHardware>(std::move(hardware), options.stateFile);
  if (!simulated->Load(error)) return nullptr;
  return simulated;
}

}  // namespace tolvex
