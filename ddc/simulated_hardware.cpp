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

std::unique_ptr<Hardware> MakeSimulatedHardware(const SimulationOptions& options, std::string& error) {
  std::unique_ptr<sim::SimHardware> hardware;
  if (options.adapter == "black-box") {
    hardware = sim::MakeBlackBoxHardware();
  } else if (options.adapter == "service-kit") {
    hardware = sim::MakeServiceKitHardware();
  } else if (options.adapter == "s3") {
    hardware = sim::MakeS3Hardware();
  } else {
    error = "unknown simulated adapter \"" + options.adapter + "\" (black-box, service-kit or s3)";
    return nullptr;
  }
  sim::SimMonitor& monitor = hardware->machine.Monitor();
  if (options.fault == "unplugged") {
    hardware->machine.UnplugMonitor();
  } else if (options.fault == "sda-low") {
    monitor.HoldSdaLow(true);
  } else if (options.fault == "write-protect") {
    monitor.SetWriteProtectStuck(true);
  } else if (options.fault == "no-controller") {
    monitor.SetDevicePresent(sim::SimDevice::kController1, false);
    monitor.SetDevicePresent(sim::SimDevice::kController2, false);
  } else if (!options.fault.empty()) {
    error = "unknown simulated fault \"" + options.fault + "\" (unplugged, sda-low, write-protect or no-controller)";
    return nullptr;
  }
  auto simulated = std::make_unique<SimulatedHardware>(std::move(hardware), options.stateFile);
  if (!simulated->Load(error)) return nullptr;
  return simulated;
}

}  // namespace tolvex
