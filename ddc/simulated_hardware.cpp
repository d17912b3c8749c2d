#include <algorithm>
#include <fstream>
#include <iterator>

#include "ddc/hardware.h"
#include "ddc/linux/linux_discovery.h"
#include "ddc/linux/ppdev_port_io.h"
#include "ddc/sim/sim_hardware.h"

namespace tolvex {

namespace {

// The state file holds the analog EEPROM, then the digital one: 512 bytes.
constexpr size_t kStateSize = 2 * sim::SimEeprom::kSize;

class SimulatedHardware final : public Hardware {
 public:
  SimulatedHardware(std::unique_ptr<sim::SimHardware> hardware, std::string stateFile, int simulatedBus, bool ppdev)
      : hardware_(std::move(hardware)), stateFile_(std::move(stateFile)), simulatedBus_(simulatedBus) {
    if (!ppdev) return;
    sim::AddPpdevPorts(*hardware_);
    ppdev_ = std::make_unique<PpdevPortIo>(hardware_->kernel, hardware_->clock, hardware_->machine,
                                           DiscoverLinux(hardware_->files, Paths()).parallelPorts);
  }

  PortIo& Io() override { return ppdev_ ? static_cast<PortIo&>(*ppdev_) : hardware_->machine; }
  KernelFiles& Files() override { return hardware_->files; }
  KernelDevices& Devices() override { return hardware_->kernel; }
  int SimulatedBus() const override { return simulatedBus_; }
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
  int simulatedBus_;
  std::unique_ptr<PpdevPortIo> ppdev_;
};

}  // namespace

std::unique_ptr<Hardware> MakeSimulatedHardware(const SimulationOptions& options, std::string& error) {
  if (options.access != "raw" && options.access != "ppdev") {
    error = "unknown port access \"" + options.access + "\" (raw or ppdev)";
    return nullptr;
  }
  const bool kernelBus = options.adapter == "i2c-dev";
  std::unique_ptr<sim::SimHardware> hardware;
  if (options.adapter == "black-box") {
    hardware = sim::MakeBlackBoxHardware();
  } else if (options.adapter == "service-kit") {
    hardware = sim::MakeServiceKitHardware();
  } else if (options.adapter == "s3") {
    hardware = sim::MakeS3Hardware();
  } else if (kernelBus) {
    hardware = sim::MakeI2cDevHardware(options.fault != "unplugged");
  } else {
    error = "unknown simulated adapter \"" + options.adapter + "\" (black-box, service-kit, s3 or i2c-dev)";
    return nullptr;
  }
  int simulatedBus = kernelBus ? sim::kSimMonitorBus : -1;
  sim::SimMonitor& monitor = hardware->machine.Monitor();
  if (options.fault == "unplugged") {
    if (!kernelBus) hardware->machine.UnplugMonitor();
  } else if (options.fault == "sda-low") {
    monitor.HoldSdaLow(true);
  } else if (options.fault == "write-protect") {
    monitor.SetWriteProtectStuck(true);
  } else if (options.fault == "no-controller") {
    monitor.SetDevicePresent(sim::SimDevice::kController1, false);
    monitor.SetDevicePresent(sim::SimDevice::kController2, false);
  } else if (options.fault == "dimm" && kernelBus) {
    // The bus the run uses is the chipset's SMBus, where memory modules' SPD EEPROMs answer.
    simulatedBus = sim::kSimSmbus;
  } else if (!options.fault.empty()) {
    error = "unknown simulated fault \"" + options.fault +
            "\" (unplugged, sda-low, write-protect, no-controller, or dimm with i2c-dev)";
    return nullptr;
  }
  auto simulated = std::make_unique<SimulatedHardware>(std::move(hardware), options.stateFile, simulatedBus,
                                                       options.access == "ppdev");
  if (!simulated->Load(error)) return nullptr;
  return simulated;
}

}  // namespace tolvex
