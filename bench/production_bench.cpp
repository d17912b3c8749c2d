// One unit of a production run on each simulated channel and protocol: how long it takes in
// simulated time (the time on a PC whose port accesses take 1 µs), how many bytes cross the bus
// (address and data bytes, as a logic analyser would count them), and what it costs in real time
// here. The counter and the log are real files in the temporary folder.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "ddc/linux/linux_channels.h"
#include "ddc/linux/linux_discovery.h"
#include "ddc/sim/sim_edid.h"
#include "ddc/sim/sim_hardware.h"
#include "ddc/usb/usb_programmers.h"
#include "production/production_station.h"

namespace tolvex {
namespace {

namespace fs = std::filesystem;

class QuietProbeUi final : public ProbeUi {
 public:
  void ShowMessage(std::string_view) override {}
};

class QuietEvents final : public ProductionEvents {
 public:
  void OnStatus(std::string_view) override {}
  void OnUnitDone(const UnitRecord& record) override { failed = failed || !record.verified; }
  void OnRunError(std::string_view) override { failed = true; }
  bool failed = false;
};

// Hardware around one simulated set-up, for the station.
class BenchHardware final : public Hardware {
 public:
  explicit BenchHardware(sim::SimHardware& hw) : hw_(hw) {}
  PortIo& Io() override { return hw_.machine; }
  Clock& GetClock() override { return hw_.clock; }
  bool HasPortAccess() const override { return true; }
  std::string AccessNote() const override { return {}; }
  bool Persist(std::string&) override { return true; }
  KernelFiles& Files() override { return hw_.files; }
  KernelDevices& Devices() override { return hw_.kernel; }

 private:
  sim::SimHardware& hw_;
};

// The CH341A USB programmer, after the channels the program numbers.
constexpr int kCh341a = kChannelLinuxBus + 1;

std::unique_ptr<sim::SimHardware> MakeChannel(int channel) {
  switch (channel) {
    case kChannelBlackBox: return sim::MakeBlackBoxHardware();
    case kChannelServiceKit: return sim::MakeServiceKitHardware();
    case kChannelS3: return sim::MakeS3Hardware();
    case kCh341a: return sim::MakeCh341aHardware();
    default: return sim::MakeI2cDevHardware();
  }
}

size_t WireBytes(const sim::WireTrace& trace) {
  size_t bytes = trace.Dropped();
  for (const sim::WireEvent& event : trace.Events()) {
    bytes += event.kind == sim::WireEvent::kWrite || event.kind == sim::WireEvent::kRead;
  }
  return bytes;
}

// range(0): 0 Black Box, 1 Service Kit, 2 S3 card, 3 the kernel's i2c-dev bus, 4 the CH341A USB
// programmer (with the bulk round trips and the bytes each way on its USB pipe); range(1): the
// protocol.
void BM_ProductionUnit(benchmark::State& state) {
  const int channel = static_cast<int>(state.range(0));
  auto hw = MakeChannel(channel);
  BenchHardware hardware(*hw);
  QuietProbeUi probeUi;
  CI2cBus bitBus(hw->machine, hw->clock, probeUi);
  std::unique_ptr<CI2cDevBus> kernelBus;
  std::unique_ptr<CCh341aBus> programmer;
  std::string openError;
  if (channel == kChannelLinuxBus) {
    kernelBus = OpenLinuxBus(DiscoverLinux(hw->files, {}), hw->kernel, hw->clock, sim::kSimMonitorBus, {true, false},
                             openError);
  } else if (channel == kCh341a) {
    programmer = OpenUsbProgrammer(&hw->usb, hw->clock, "ch341a", false, openError);
  }
  TransferSettings settings;
  settings.protocol = static_cast<uint32_t>(state.range(1));

  const fs::path dir = fs::temp_directory_path() / ("tolvex-production-bench-" + std::to_string(getpid()));
  fs::create_directories(dir);
  std::ofstream((dir / "counter").string()) << "1\n";
  ProductionSetup setup;
  EdidBlock block;
  sim::FillSimulatedEdid(block, false);
  block.UpdateChecksum();
  setup.base = block.Bytes();
  setup.serialFormat = kSerialDecimal;
  std::string error;
  setup.plan.field = SerialField::kBoth;
  setup.plan.text = *SerialTemplate::Parse("SN{:06d}", error);
  setup.counterPath = (dir / "counter").string();
  setup.logPath = (dir / "log.csv").string();

  I2cMessageBus* messageBus = kernelBus ? static_cast<I2cMessageBus*>(kernelBus.get()) : programmer.get();
  const ProductionStation station = messageBus ? ProductionStation(*messageBus, settings, hardware)
                                               : ProductionStation(bitBus, settings, hardware);
  station.Describe(setup);
  const std::unique_ptr<UnitWriter> writer = station.MakeWriter({});
  QuietEvents events;
  ProductionRun run(setup, *writer, hw->clock, events, station.Hooks({}));
  sim::WireTrace& trace = hw->machine.Monitor().Trace();
  trace.SetCapacity(1 << 16);

  uint64_t simulatedNs = 0;
  uint64_t wireBytes = 0;
  uint64_t rdwrCalls = 0;
  uint64_t units = 0;
  uint64_t roundTrips = 0, usbOut = 0, usbIn = 0;
  for (auto _ : state) {
    trace.Clear();
    const uint64_t nsBefore = hw->time.ns;
    const uint64_t callsBefore = hw->kernel.RdwrCalls();
    const uint64_t tripsBefore = programmer ? programmer->RoundTrips() : 0;
    const uint64_t outBefore = programmer ? programmer->BytesOut() : 0;
    const uint64_t inBefore = programmer ? programmer->BytesIn() : 0;
    run.ProgramUnit();
    simulatedNs += hw->time.ns - nsBefore;
    wireBytes += WireBytes(trace);
    rdwrCalls += hw->kernel.RdwrCalls() - callsBefore;
    if (programmer) {
      roundTrips += programmer->RoundTrips() - tripsBefore;
      usbOut += programmer->BytesOut() - outBefore;
      usbIn += programmer->BytesIn() - inBefore;
    }
    ++units;
  }
  fs::remove_all(dir);
  if (events.failed || units == 0 || !openError.empty()) {
    state.SkipWithError("a unit failed");
    return;
  }
  state.counters["sim_ms"] = static_cast<double>(simulatedNs / units) / 1e6;
  state.counters["bus_bytes"] = static_cast<double>(wireBytes / units);
  if (kernelBus) state.counters["rdwr_calls"] = static_cast<double>(rdwrCalls / units);
  if (programmer) {
    state.counters["usb_round_trips"] = static_cast<double>(roundTrips / units);
    state.counters["usb_bytes_out"] = static_cast<double>(usbOut / units);
    state.counters["usb_bytes_in"] = static_cast<double>(usbIn / units);
  }
}

BENCHMARK(BM_ProductionUnit)
    ->ArgsProduct({{kChannelBlackBox, kChannelServiceKit, kChannelS3, kChannelLinuxBus, kCh341a},
                   {kProtocolDdc2b, kProtocolAocTx3, kProtocolAocTx12}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tolvex
