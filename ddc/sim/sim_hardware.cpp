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
};

const NamedFault kNamedFaults[] = {
    {"unplugged", [](SimHardware& h) { h.machine.UnplugMonitor(); }},
    {"sda-low", [](SimHardware& h) { h.machine.Monitor().HoldSdaLow(true); }},
    {"write-protect", [](SimHardware& h) { h.machine.Monitor().SetWriteProtectStuck(true); }},
    {"no-controller",
     [](SimHardware& h) {
       h.machine.Monitor().SetDevicePresent(SimDevice::kController1, false);
       h.machine.Monitor().SetDevicePresent(SimDevice::kController2, false);
     }},
    // Armed before start-up, whose discovery clocks nothing: the next transfer is the one cut.
    {"unplug-during", [](SimHardware& h) { h.machine.UnplugAfterPulses(kHalfBlockReadPulses); }},
};

}  // namespace

std::span<const NamedAdapter> NamedAdapters() { return kNamedAdapters; }
std::span<const NamedFault> NamedFaults() { return kNamedFaults; }

}  // namespace tolvex::sim
