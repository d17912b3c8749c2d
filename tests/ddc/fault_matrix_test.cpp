// Every simulated adapter, every transfer path and every named fault, read and write: whatever
// happens, a write reported as done means the monitor holds the block, a read reported as done
// returned the monitor's bytes, and a failure leaves block and document as they were.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ddc/edid_transfer.h"
#include "ddc/linux/linux_channels.h"
#include "ddc/sim/sim_hardware.h"
#include "ddc/usb/usb_programmers.h"
#include "fake_ui.h"
#include "test_support.h"

namespace tolvex {
namespace {

using ::testing::StartsWith;

using sim::SimHardware;

struct Path {
  const char* name;
  TransferSettings settings;
};

const Path kPaths[] = {
    {"Ddc2b", {kProtocolDdc2b, 0, "F8", false}},
    {"Ddc2bAndFactory", {kProtocolDdc2b, 1, "F8", false}},
    {"AocTx3", {kProtocolAocTx3, 0, "F8", false}},
    {"AocTx12", {kProtocolAocTx12, 0, "F8", false}},
    {"SoftwareDdc", {kProtocolDdc2b, 1, "F0", true}},
};

// The named faults, none at all, and departures at other points of a transfer.
struct Fault {
  std::string name;
  void (*apply)(SimHardware&);
  uint32_t unplugAfter = 0;
  bool kernelBusOnly = false;
};

std::vector<Fault> Faults() {
  std::vector<Fault> faults = {{"none", [](SimHardware&) {}}};
  for (const sim::NamedFault& fault : sim::NamedFaults()) {
    faults.push_back({std::string(fault.name), fault.apply, 0, fault.kernelBusOnly});
  }
  for (const uint32_t pulses : {9u, 100u, 1000u, 1170u, 5000u}) {
    faults.push_back({"unplugAfter" + std::to_string(pulses), [](SimHardware&) {}, pulses});
  }
  return faults;
}

// The channel a set-up's run uses: the kernel bus the run names where the monitor hangs on one,
// the USB programmer where it hangs on that, else the adapter the bit-banged discovery finds.
struct Channel {
  std::unique_ptr<CI2cBus> bitBanged;
  std::unique_ptr<CI2cDevBus> kernel;
  std::unique_ptr<CCh341aBus> programmer;
  std::string openError;

  I2cMessageBus* Bus() {
    if (kernel) return kernel.get();
    if (programmer) return programmer.get();
    return bitBanged.get();
  }
};

// A kernel bus or a programmer is opened without a transfer, and a fault may choose which bus the
// run names, so there the fault comes first, as in a run. The bit-banged discovery clocks the
// lines, so there it comes after it: the transfer meets the fault (a data line held low hides
// the adapter).
Channel OpenChannel(SimHardware& hardware, const Fault& fault, test::FakeUi& ui) {
  Channel channel;
  if (hardware.monitorBus >= 0) {
    fault.apply(hardware);
    const LinuxDiscovery discovery = DiscoverLinux(hardware.files, {});
    channel.kernel = OpenLinuxBus(discovery, hardware.kernel, hardware.clock, hardware.namedBus, {true, false},
                                  channel.openError);
  } else if (hardware.usb.First()) {
    fault.apply(hardware);
    channel.programmer = OpenUsbProgrammer(&hardware.usb, hardware.clock, "ch341a", false, channel.openError);
  } else {
    channel.bitBanged = std::make_unique<CI2cBus>(hardware.machine, hardware.clock, ui);
    fault.apply(hardware);
  }
  if (fault.unplugAfter) sim::UnplugAfterPulses(hardware, fault.unplugAfter);
  return channel;
}

enum class Command { kRead, kWrite };

struct Cell {
  size_t adapter;
  size_t path;
  Fault fault;
  Command command;
};

std::string CellName(const ::testing::TestParamInfo<Cell>& info) {
  std::string name = std::string(sim::NamedAdapters()[info.param.adapter].name) + "_" +
                     kPaths[info.param.path].name + "_" + info.param.fault.name + "_" +
                     (info.param.command == Command::kRead ? "Read" : "Write");
  std::replace(name.begin(), name.end(), '-', '_');
  return name;
}

std::vector<Cell> Cells() {
  std::vector<Cell> cells;
  for (size_t adapter = 0; adapter < sim::NamedAdapters().size(); ++adapter) {
    for (size_t path = 0; path < std::size(kPaths); ++path) {
      for (const Fault& fault : Faults()) {
        if (fault.kernelBusOnly && !sim::NamedAdapters()[adapter].kernelBus) continue;
        for (const Command command : {Command::kRead, Command::kWrite}) cells.push_back({adapter, path, fault, command});
      }
    }
  }
  return cells;
}

EdidBytes SelectedEeprom(SimHardware& hardware) {
  EdidBytes bytes{};
  std::copy_n(hardware.machine.Monitor().SelectedEeprom().Memory().begin(), kEdidSize, bytes.begin());
  return bytes;
}

void PrintTo(const Cell& cell, std::ostream* os) {
  *os << sim::NamedAdapters()[cell.adapter].name << " " << kPaths[cell.path].name << " " << cell.fault.name;
}

class FaultMatrix : public ::testing::TestWithParam<Cell> {};

TEST_P(FaultMatrix, SuccessMeansTheMonitorsBytes) {
  const Cell& cell = GetParam();
  std::unique_ptr<SimHardware> hardware = sim::NamedAdapters()[cell.adapter].make();
  EdidBlock block(test::FixedDate(2026, 12, 8));
  EdidExtensions extensions;
  // No checksum refresh: the block keeps exactly the bytes a read brought.
  test::FakeUi ui;
  const EdidBytes eepromBefore = SelectedEeprom(*hardware);
  Channel channel = OpenChannel(*hardware, cell.fault, ui);
  if (!channel.Bus()) {
    // Refused before any transfer: only a fault may cause that, and the monitor is untouched.
    EXPECT_NE(cell.fault.name, "none") << channel.openError;
    EXPECT_FALSE(channel.openError.empty());
    EXPECT_EQ(SelectedEeprom(*hardware), eepromBefore);
    return;
  }
  if (channel.bitBanged) ASSERT_EQ(channel.bitBanged->Channel(), static_cast<int>(cell.adapter));
  const TransferSettings settings = kPaths[cell.path].settings;
  CEdidTransfer transfer(*channel.Bus(), block, extensions, settings, hardware->clock, ui, ui);

  const EdidBytes monitorBefore = SelectedEeprom(*hardware);
  block.SetManufacturerId("FLT");
  block.SetSerialNumber(0x5A5A1234);
  block.UpdateChecksum();
  const EdidBytes blockBefore = block.Bytes();

  if (cell.command == Command::kRead) {
    transfer.OnEdidRead();
  } else {
    transfer.OnEdidWrite();
  }
  ASSERT_LE(ui.errors.size(), 1u) << "one message box at most";
  const bool succeeded = ui.errors.empty();
  const std::string outcome = succeeded ? "success" : ui.errors[0].caption + ": " + ui.errors[0].text;

  if (cell.command == Command::kRead) {
    if (succeeded) {
      EXPECT_EQ(block.Bytes(), monitorBefore) << "a read reported as done returned the monitor's bytes";
      EXPECT_NE(std::find(ui.events.begin(), ui.events.end(), "replace document"), ui.events.end());
    } else {
      EXPECT_EQ(block.Bytes(), blockBefore) << outcome;
      EXPECT_TRUE(ui.report.empty()) << outcome;
    }
  } else {
    EXPECT_EQ(block.Bytes(), blockBefore) << "a write never changes the block";
    if (succeeded) {
      EXPECT_EQ(SelectedEeprom(*hardware), blockBefore) << "a write reported as done is in the monitor";
    }
  }

  // The matrix must not pass by failing everything: a healthy monitor always works, and one
  // that is gone or holds the data line never does.
  const std::string& fault = cell.fault.name;
  if (fault == "none") {
    EXPECT_TRUE(succeeded) << outcome;
  }
  if (fault == "unplugged" || fault == "sda-low" || fault == "unplug-during") {
    EXPECT_FALSE(succeeded);
  }
}

INSTANTIATE_TEST_SUITE_P(AdaptersPathsFaults, FaultMatrix, ::testing::ValuesIn(Cells()), CellName);

// The named departure comes in the middle of the first transfer after start-up: half of a DDC2B
// block read has gone over the wire, and the read fails with the read error.
TEST(UnplugDuring, CutsTheNextTransferHalfway) {
  for (const sim::NamedAdapter& adapter : sim::NamedAdapters()) {
    std::unique_ptr<SimHardware> hardware = adapter.make();
    const auto named = std::find_if(sim::NamedFaults().begin(), sim::NamedFaults().end(),
                                    [](const sim::NamedFault& fault) { return fault.name == "unplug-during"; });
    ASSERT_NE(named, sim::NamedFaults().end());
    EdidBlock block(test::FixedDate(2026, 12, 8));
    EdidExtensions extensions;
    test::FakeUi ui;
    Channel channel = OpenChannel(*hardware, {"unplug-during", named->apply}, ui);
    ASSERT_TRUE(channel.Bus()) << channel.openError;
    TransferSettings settings;
    CEdidTransfer transfer(*channel.Bus(), block, extensions, settings, hardware->clock, ui, ui);
    transfer.OnEdidRead();

    const std::string trace = hardware->machine.Monitor().Trace().ToString();
    const auto bytesRead = std::count(trace.begin(), trace.end(), '<');
    EXPECT_GE(bytesRead, 60) << adapter.name << ": " << trace.substr(0, 40);
    EXPECT_LE(bytesRead, 64) << adapter.name;
    ASSERT_EQ(ui.errors.size(), 1u) << adapter.name;
    EXPECT_EQ(ui.errors[0].caption, "I2C read error");
    EXPECT_THAT(ui.errors[0].text, StartsWith("I2C transfer error (0x0A)"));
  }
}

}  // namespace
}  // namespace tolvex
