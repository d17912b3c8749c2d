// Whole DDC2B transfers on the simulated hardware: how many delay units a 128-byte read and a
// write with verify cost, how long they take in simulated time (the time they would take on a
// PC whose port accesses take 1 µs), and what they cost in real time here.
#include <benchmark/benchmark.h>

#include "ddc/edid_transfer.h"
#include "ddc/linux/linux_channels.h"
#include "ddc/sim/sim_hardware.h"
#include "ddc/usb/usb_programmers.h"

namespace tolvex {
namespace {

class QuietUi final : public ProbeUi, public TransferUi, public EdidDocumentUi {
 public:
  explicit QuietUi(EdidBlock& block) : block_(block) {}
  void ShowMessage(std::string_view) override {}
  void SetStatusText(std::string_view) override {}
  void ShowError(std::string_view, std::string_view) override { failed = true; }
  void SetWaitCursor(bool) override {}
  bool ConfirmReplace(std::string_view) override { return true; }
  void ShowCodeWindow() override {}
  void HighlightRange(int, int, bool refresh) override {
    if (refresh) block_.UpdateChecksum();
  }
  void ClearHighlight() override {}
  void ReplaceDocument(const std::string&) override {}
  bool failed = false;

 private:
  EdidBlock& block_;
};

std::unique_ptr<sim::SimHardware> MakeChannel(int channel) {
  switch (channel) {
    case kChannelBlackBox: return sim::MakeBlackBoxHardware();
    case kChannelServiceKit: return sim::MakeServiceKitHardware();
    default: return sim::MakeS3Hardware();
  }
}

enum class Job { kRead, kWriteAndVerify };

void RunTransfer(benchmark::State& state, Job job) {
  const int channel = static_cast<int>(state.range(0));
  auto hw = MakeChannel(channel);
  EdidBlock block;
  QuietUi ui(block);
  CI2cBus bus(hw->machine, hw->clock, ui);
  TransferSettings settings;
  settings.keepBackups = false;  // the transfers are timed, not the disk
  EdidExtensions extensions;
  CEdidTransfer transfer(bus, block, extensions, settings, hw->clock, ui, ui);
  block.SetManufacturerId("BEN");
  block.UpdateChecksum();

  uint64_t delays = 0;
  uint64_t simulatedNs = 0;
  uint64_t runs = 0;
  for (auto _ : state) {
    const uint64_t delaysBefore = bus.DelaysSpent();
    const uint64_t nsBefore = hw->time.ns;
    if (job == Job::kRead) {
      transfer.OnEdidRead();
    } else {
      transfer.OnEdidWrite();
    }
    delays += bus.DelaysSpent() - delaysBefore;
    simulatedNs += hw->time.ns - nsBefore;
    ++runs;
  }
  if (ui.failed || runs == 0) {
    state.SkipWithError("the transfer failed");
    return;
  }
  state.counters["delays"] = static_cast<double>(delays / runs);
  // The read command's fixed 500 ms settle sleep is not bus time; take it out.
  const double settleMs = job == Job::kRead ? 500.0 : 0.0;
  state.counters["sim_ms"] = static_cast<double>(simulatedNs / runs) / 1e6 - settleMs;
  state.counters["delay_count"] = bus.DelayCount();
}

void BM_Ddc2bRead(benchmark::State& state) { RunTransfer(state, Job::kRead); }
void BM_Ddc2bWriteAndVerify(benchmark::State& state) { RunTransfer(state, Job::kWriteAndVerify); }

// 0 Black Box, 1 Service Kit, 2 S3 card.
BENCHMARK(BM_Ddc2bRead)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ddc2bWriteAndVerify)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// The same on a kernel I2C bus: I2C_RDWR calls, messages and bytes on the wire (addresses
// included), and the simulated time at 100 kHz with the EEPROM's 5 ms write cycle.
void RunKernelTransfer(benchmark::State& state, Job job) {
  auto hw = sim::MakeI2cDevHardware();
  const LinuxDiscovery discovery = DiscoverLinux(hw->files, {});
  std::string error;
  auto bus = OpenLinuxBus(discovery, hw->kernel, hw->clock, sim::kSimMonitorBus, {true, false}, error);
  EdidBlock block;
  QuietUi ui(block);
  TransferSettings settings;
  settings.keepBackups = false;  // the transfers are timed, not the disk
  EdidExtensions extensions;
  CEdidTransfer transfer(*bus, block, extensions, settings, hw->clock, ui, ui);
  block.SetManufacturerId("BEN");
  block.UpdateChecksum();

  uint64_t calls = 0, messages = 0, bytes = 0, simulatedNs = 0, runs = 0;
  for (auto _ : state) {
    const uint64_t callsBefore = hw->kernel.RdwrCalls(), messagesBefore = hw->kernel.RdwrMessages();
    const uint64_t bytesBefore = hw->kernel.RdwrBytes(), nsBefore = hw->time.ns;
    if (job == Job::kRead) {
      transfer.OnEdidRead();
    } else {
      block.SetProductCode(static_cast<uint16_t>(runs));  // a change every run, so every page is written
      block.UpdateChecksum();
      transfer.OnEdidWrite();
    }
    calls += hw->kernel.RdwrCalls() - callsBefore;
    messages += hw->kernel.RdwrMessages() - messagesBefore;
    bytes += hw->kernel.RdwrBytes() - bytesBefore;
    simulatedNs += hw->time.ns - nsBefore;
    ++runs;
  }
  if (!bus || ui.failed || runs == 0) {
    state.SkipWithError("the transfer failed");
    return;
  }
  state.counters["rdwr_calls"] = static_cast<double>(calls / runs);
  state.counters["messages"] = static_cast<double>(messages / runs);
  state.counters["bytes"] = static_cast<double>(bytes / runs);
  const double settleMs = job == Job::kRead ? 500.0 : 0.0;
  state.counters["sim_ms"] = static_cast<double>(simulatedNs / runs) / 1e6 - settleMs;
}

void BM_KernelBusRead(benchmark::State& state) { RunKernelTransfer(state, Job::kRead); }
void BM_KernelBusWriteAndVerify(benchmark::State& state) { RunKernelTransfer(state, Job::kWriteAndVerify); }

BENCHMARK(BM_KernelBusRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KernelBusWriteAndVerify)->Unit(benchmark::kMillisecond);

// The same on the CH341A USB programmer, a whole EDID of range(0) extension blocks (128 or 256
// bytes): the bulk round trips, the bytes each way on the USB pipe, the simulated time (a USB
// frame of 1 ms at least per round trip, more where the wire takes longer), and the time the
// round trips alone would take at 1 ms each, as USB full speed gives this chip.
void RunProgrammerTransfer(benchmark::State& state, Job job) {
  auto hw = sim::MakeCh341aHardware();
  std::string error;
  auto bus = OpenUsbProgrammer(&hw->usb, hw->clock, "ch341a", false, error);
  EdidBlock block;
  QuietUi ui(block);
  TransferSettings settings;
  settings.keepBackups = false;  // the transfers are timed, not the disk
  EdidExtensions extensions;
  if (state.range(0) > 0) {
    EdidBytes cta{};  // CTA-861 revision 3, no data blocks, no detailed timings
    cta[0] = 0x02;
    cta[1] = 0x03;
    cta[2] = 0x04;
    cta[kEdidSize - 1] = ComputeChecksum(cta);
    extensions.blocks.push_back(cta);
  }
  block.SetManufacturerId("BEN");
  block.Bytes()[kExtensionCountOffset] = static_cast<uint8_t>(extensions.Count());
  block.UpdateChecksum();
  if (bus && job == Job::kRead) {
    // The EEPROM holds the whole EDID first, so the read has every block to fetch.
    CEdidTransfer writer(*bus, block, extensions, settings, hw->clock, ui, ui);
    writer.OnEdidWrite();
  }
  std::unique_ptr<CEdidTransfer> transfer;
  if (bus) transfer = std::make_unique<CEdidTransfer>(*bus, block, extensions, settings, hw->clock, ui, ui);

  uint64_t trips = 0, out = 0, in = 0, simulatedNs = 0, runs = 0;
  for (auto _ : state) {
    if (!transfer) break;
    const uint64_t tripsBefore = bus->RoundTrips(), outBefore = bus->BytesOut(), inBefore = bus->BytesIn();
    const uint64_t nsBefore = hw->time.ns;
    if (job == Job::kRead) {
      transfer->OnEdidRead();
    } else {
      block.SetProductCode(static_cast<uint16_t>(runs));  // a change every run, so every page is written
      block.UpdateChecksum();
      transfer->OnEdidWrite();
    }
    trips += bus->RoundTrips() - tripsBefore;
    out += bus->BytesOut() - outBefore;
    in += bus->BytesIn() - inBefore;
    simulatedNs += hw->time.ns - nsBefore;
    ++runs;
  }
  if (!bus || ui.failed || runs == 0) {
    state.SkipWithError(bus ? "the transfer failed" : error.c_str());
    return;
  }
  state.counters["round_trips"] = static_cast<double>(trips / runs);
  state.counters["usb_bytes_out"] = static_cast<double>(out / runs);
  state.counters["usb_bytes_in"] = static_cast<double>(in / runs);
  const double settleMs = job == Job::kRead ? 500.0 : 0.0;
  state.counters["sim_ms"] = static_cast<double>(simulatedNs / runs) / 1e6 - settleMs;
  state.counters["model_ms"] = static_cast<double>(trips / runs);
}

void BM_Ch341aRead(benchmark::State& state) { RunProgrammerTransfer(state, Job::kRead); }
void BM_Ch341aWriteAndVerify(benchmark::State& state) { RunProgrammerTransfer(state, Job::kWriteAndVerify); }

// 0: a base block alone (128 bytes); 1: with one CTA-861 block (256 bytes).
BENCHMARK(BM_Ch341aRead)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ch341aWriteAndVerify)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tolvex
