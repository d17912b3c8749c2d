// Whole transfers on every simulated adapter and path, with a fault switched on at a chosen port
// access in the middle: whatever happens, a write reported as done means the monitor holds the
// block, a read reported as done returned the monitor's bytes, and a failed read leaves the block
// as it was. (A read byte flipped on the wire is left out: a DDC2B read has nothing to catch it.)
#include <algorithm>
#include <functional>
#include <vector>

#include "ddc/edid_transfer.h"
#include "ddc/sim/sim_hardware.h"
#include "ddc/hooked_io.h"
#include "fuzz_support.h"

using namespace tolvex;
using namespace tolvex::sim;

namespace {

class QuietUi final : public ProbeUi, public TransferUi, public EdidDocumentUi {
 public:
  void ShowMessage(std::string_view) override {}
  void SetStatusText(std::string_view) override {}
  void ShowError(std::string_view, std::string_view) override { ++errors; }
  void SetWaitCursor(bool) override {}
  bool ConfirmReplace(std::string_view) override { return true; }
  void ShowCodeWindow() override {}
  void HighlightRange(int, int, bool) override {}
  void ClearHighlight() override {}
  void ReplaceDocument(const std::string&) override { replaced = true; }
  int errors = 0;
  bool replaced = false;
};

const TransferSettings kPaths[] = {
    {kProtocolDdc2b, 0, "F8", false},
    {kProtocolDdc2b, 1, "F8", false},
    {kProtocolAocTx3, 0, "F8", false},
    {kProtocolAocTx12, 0, "F8", false},
    {kProtocolDdc2b, 1, "F0", true},
};

std::function<void()> ChooseFault(SimHardware& hardware, fuzz::InputReader& input) {
  SimMonitor& monitor = hardware.machine.Monitor();
  const uint8_t which = input.Byte();
  const uint8_t argument = input.Byte();
  switch (which % 7) {
    case 0: return [&hardware] { hardware.machine.UnplugMonitor(); };
    case 1: return [&monitor] { monitor.HoldSdaLow(true); };
    case 2: return [&monitor] { monitor.SetWriteProtectStuck(true); };
    case 3: return [&monitor, argument] { monitor.SetDevicePresent(static_cast<SimDevice>(argument % 5), false); };
    case 4: return [&monitor, argument] { monitor.RefuseAddresses(argument * 2u); };
    case 5: return [&monitor, argument] { monitor.StretchClock({0, argument % 16u + 1, argument * 8u}); };
    default: return [&hardware, argument] { hardware.machine.UnplugAfterPulses(argument + 1u); };
  }
}

EdidBytes SelectedEeprom(SimHardware& hardware) {
  EdidBytes bytes{};
  std::copy_n(hardware.machine.Monitor().SelectedEeprom().Memory().begin(), kEdidSize, bytes.begin());
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::InputReader input(data, size);
  // The parallel adapters pace every bit by polling the refresh toggle, about seventy times the
  // port accesses of the S3 card: most runs take the card, so the faults get their turns.
  // The faults strike at a port access, so the set-ups whose monitor hangs on a kernel bus or a
  // USB programmer (no port accesses) are left to the fault matrix.
  static const std::vector<NamedAdapter> adapters = [] {
    std::vector<NamedAdapter> portAdapters;
    for (const NamedAdapter& a : NamedAdapters()) {
      const std::unique_ptr<SimHardware> made = a.make();
      if (made->monitorBus < 0 && !made->usb.First()) portAdapters.push_back(a);
    }
    return portAdapters;
  }();
  const uint8_t choice = input.Byte();
  const NamedAdapter* adapter = &adapters[choice % adapters.size()];
  if (choice < 0xC0) {
    adapter = &*std::find_if(adapters.begin(), adapters.end(), [](const NamedAdapter& a) { return a.name == "s3"; });
  }
  std::unique_ptr<SimHardware> hardware = adapter->make();
  const uint32_t accessesInATransfer = adapter->name == "s3" ? 200'000 : 15'000'000;
  const uint8_t pathChoice = input.Byte();
  const bool write = (input.Byte() & 1) != 0;
  size_t path = pathChoice % std::size(kPaths);
  // A factory write runs the slow timing for every byte, millions of port accesses: one run in
  // sixteen takes it, the others a command protocol instead.
  if (write && kPaths[path].factoryEnable && pathChoice < 0xF0) path = pathChoice % 2 ? 2 : 3;
  TransferSettings settings = kPaths[path];
  settings.keepBackups = false;  // faults on the bus are fuzzed here, not the disk
  hardware->machine.Monitor().SetWriteCycleUs(input.Byte() * 40u);

  QuietUi ui;
  test::HookedIo io(hardware->machine);
  CI2cBus bus(io, hardware->clock, ui);
  EdidBlock block([] { return CalendarDate{2026, 12, 8}; });
  for (int i = 8; i < kEdidSize; ++i) block.Bytes()[i] = input.Byte();
  block.Bytes()[kExtensionCountOffset] = 0;  // a base block alone, so that a write is not refused before the bus
  block.UpdateChecksum();
  EdidExtensions extensions;
  CEdidTransfer transfer(bus, block, extensions, settings, hardware->clock, ui, ui);

  // The fault comes once, at an access counted from here, somewhere inside the transfer.
  const uint64_t at = input.Take<uint32_t>() % accessesInATransfer + 1;
  io.hook = [at, count = uint64_t{0}, fault = ChooseFault(*hardware, input)]() mutable {
    if (++count == at) fault();
  };
  const EdidBytes monitorBefore = SelectedEeprom(*hardware);
  const EdidBytes blockBefore = block.Bytes();

  if (write) {
    transfer.OnEdidWrite();
  } else {
    transfer.OnEdidRead();
  }

  FUZZ_CHECK(ui.errors <= 1);
  if (write) {
    FUZZ_CHECK(block.Bytes() == blockBefore);
    if (ui.errors == 0) FUZZ_CHECK(SelectedEeprom(*hardware) == blockBefore);
  } else if (ui.errors == 0) {
    FUZZ_CHECK(ui.replaced);
    FUZZ_CHECK(block.Bytes() == monitorBefore);
  } else {
    FUZZ_CHECK(!ui.replaced);
    FUZZ_CHECK(block.Bytes() == blockBefore);
  }
  return 0;
}
