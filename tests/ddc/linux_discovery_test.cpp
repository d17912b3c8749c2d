// Finding a PC's monitors and buses in sysfs trees laid out as the kernel lays them out, the
// safety rules' verdict on each bus, and the parallel ports through ppdev.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "ddc/edid_transfer.h"
#include "ddc/linux/linux_channels.h"
#include "ddc/linux/ppdev_port_io.h"
#include "ddc/sim/sim_edid.h"
#include "ddc/sim/sim_hardware.h"
#include "fake_ui.h"
#include "test_support.h"

namespace tolvex {
namespace {

namespace fs = std::filesystem;

using test::EdidNamed;

TEST(LinuxDiscovery, ReadsBusesConnectorsAndWhoOwnsWhat) {
  sim::SimFiles files;
  test::BuildDesktopTree(files);
  const LinuxDiscovery found = DiscoverLinux(files, {});

  ASSERT_EQ(found.adapters.size(), 7u);
  EXPECT_FALSE(found.i2cDevMissing);
  const I2cAdapter& smbus = *found.Adapter(0);
  EXPECT_EQ(smbus.name, "SMBus I801 adapter at efa0");
  EXPECT_EQ(smbus.pciClass, 0x0C0500u);
  EXPECT_EQ(smbus.OwnerOf(0x50), "ee1004");
  EXPECT_TRUE(found.Adapter(3)->OnDisplayController());
  EXPECT_TRUE(found.Adapter(5)->OnDisplayController()) << "the AUX bus hangs off the connector, below the GPU";
  EXPECT_TRUE(found.Adapter(7)->usb);
  EXPECT_EQ(found.Adapter(7)->device, "/dev/i2c-7");

  const DrmConnector& hdmi = *found.Connector("card0-HDMI-A-1");
  EXPECT_TRUE(hdmi.connected);
  EXPECT_EQ(hdmi.bus, 3);
  EXPECT_EQ(hdmi.route, BusRoute::kDdcLink);
  EXPECT_EQ(MonitorName(hdmi.edid), "DELL P2415Q");
  EXPECT_EQ(found.Connector("card0-DP-1")->bus, 5);
  EXPECT_EQ(found.Connector("card0-DP-1")->route, BusRoute::kAuxChild);
  EXPECT_EQ(found.Connector("card1-DP-2")->bus, -1);
}

TEST(LinuxDiscovery, ListsEveryBusWithTheRulesVerdict) {
  sim::SimFiles files;
  test::BuildDesktopTree(files);
  const LinuxDiscovery found = DiscoverLinux(files, {});
  std::vector<std::string> lines;
  for (const LinuxBusChannel& channel : ListLinuxBuses(found)) {
    lines.push_back(channel.Label() + (channel.refusal ? " | " + channel.refusal->reason : ""));
  }
  const std::vector<std::string> expected = {
      "card0-HDMI-A-1: DELL P2415Q (i2c-3)",
      "card0-DP-1: DELL U2720Q (i2c-5)",
      "SMBus I801 adapter at efa0 (i2c-0) | address 0x50 belongs to the kernel driver ee1004",
      "Synopsys DesignWare I2C adapter (i2c-1) | \"Synopsys DesignWare I2C adapter\" is a system bus, where memory "
      "modules' SPD EEPROMs answer at 0x50 and writing one can leave the PC unable to boot",
      "i2c-tiny-usb at bus 001 device 003 (i2c-7) | it is not a display adapter's bus",
      "NVIDIA i2c adapter 1 at 1:00.0 (i2c-8)",
      "NVIDIA i2c adapter 2 at 1:00.0 (i2c-9)",
  };
  EXPECT_EQ(lines, expected);
}

TEST(BusSafety, NamingAndForcingOverrideOnlyWhatTheyMay) {
  I2cAdapter usb;
  usb.name = "CP2112 SMBus Bridge";  // not a system bus by name, though it says SMBus further on
  usb.usb = true;
  I2cAdapter smbus;
  smbus.name = "SMBus PIIX4 adapter port 0 at 0b00";
  smbus.pciClass = 0x0C0500;
  I2cAdapter owned = smbus;
  owned.owned = {{0x50, "at24"}};
  struct Case {
    const I2cAdapter* adapter;
    bool named, force;
    const char* refused;  // nullptr: allowed
    bool overridable;
  };
  const Case cases[] = {
      {&usb, false, false, "it is not a display adapter's bus", false},
      {&usb, true, false, nullptr, false},
      {&smbus, true, false, "system bus", true},
      {&smbus, false, true, "system bus", false},
      {&smbus, true, true, nullptr, false},
      {&owned, true, true, "belongs to the kernel driver at24", false},
  };
  for (const Case& c : cases) {
    const std::optional<Refusal> refusal = AdapterRefusal(*c.adapter, c.named, c.force);
    const std::string label = c.adapter->name + (c.named ? " named" : "") + (c.force ? " forced" : "");
    if (!c.refused) {
      EXPECT_FALSE(refusal) << label << ": " << refusal->reason;
      continue;
    }
    ASSERT_TRUE(refusal) << label;
    EXPECT_NE(refusal->reason.find(c.refused), std::string::npos) << label << ": " << refusal->reason;
    EXPECT_EQ(refusal->overridable, c.overridable) << label;
  }
}

TEST(LinuxDiscovery, AConnectorWithoutABusFindsItByItsEdid) {
  auto hw = sim::MakeI2cDevHardware();
  test::BuildDesktopTree(hw->files);
  // Bus 9 carries the monitor of card1-DP-2, bus 8 a different one.
  const std::string matched = EdidNamed("MATCHED");
  hw->machine.Monitor().AnalogEeprom().Load(std::span(reinterpret_cast<const uint8_t*>(matched.data()), kEdidSize));
  hw->kernel.AddBus(9, std::make_unique<sim::SimBitBangAdapter>(hw->time, &hw->machine.Monitor().Bus()));
  sim::SimMonitor other(hw->time);
  hw->kernel.AddBus(8, std::make_unique<sim::SimBitBangAdapter>(hw->time, &other.Bus()));

  LinuxDiscovery found = DiscoverLinux(hw->files, {});
  MatchBusesByEdid(found, hw->kernel, hw->clock);
  EXPECT_EQ(found.Connector("card1-DP-2")->bus, 9);
  EXPECT_EQ(found.Connector("card1-DP-2")->route, BusRoute::kMatchedEdid);
  EXPECT_EQ(hw->kernel.OpenFiles(), 0) << "every bus it opened is closed again";
}

// What the kernel shows is read the same from a real folder (--sysfs-root) as from memory.
TEST(LinuxDiscovery, ATreeOnDiskReadsTheSame) {
  sim::SimFiles files;
  test::BuildDesktopTree(files);
  sim::SysfsBuilder(files).ParallelPort(0, 0xD010);
  const fs::path root = fs::temp_directory_path() / ("tolvex-sysfs-" + std::to_string(getpid()));
  test::WriteTree(files, root);
  SystemKernelFiles disk;
  const LinuxDiscovery fromDisk = DiscoverLinux(disk, {(root / "sys").string(), (root / "proc").string()});
  const LinuxDiscovery fromMemory = DiscoverLinux(files, {});
  fs::remove_all(root);

  ASSERT_EQ(fromDisk.adapters.size(), fromMemory.adapters.size());
  for (size_t i = 0; i < fromDisk.adapters.size(); ++i) {
    const I2cAdapter& a = fromDisk.adapters[i];
    const I2cAdapter& b = fromMemory.adapters[i];
    EXPECT_EQ(std::tie(a.number, a.name, a.pciClass, a.usb), std::tie(b.number, b.name, b.pciClass, b.usb)) << a.name;
    EXPECT_EQ(a.OwnerOf(0x50), b.OwnerOf(0x50)) << a.name;
  }
  ASSERT_EQ(fromDisk.connectors.size(), 3u);
  for (size_t i = 0; i < fromDisk.connectors.size(); ++i) {
    EXPECT_EQ(fromDisk.connectors[i].bus, fromMemory.connectors[i].bus) << fromDisk.connectors[i].name;
    EXPECT_EQ(fromDisk.connectors[i].edid, fromMemory.connectors[i].edid) << fromDisk.connectors[i].name;
  }
  ASSERT_EQ(fromDisk.parallelPorts.size(), 1u);
  EXPECT_EQ(fromDisk.parallelPorts[0].base, 0xD010u);
  EXPECT_EQ(fromDisk.parallelPorts[0].device, "/dev/parport0");
}

// ---- Parallel ports through ppdev ----------------------------------------------------------

TEST(Ppdev, TheAdaptersGiveTheSameResultsAsThroughRawPorts) {
  for (bool serviceKit : {false, true}) {
    std::string traces[2];
    EdidBytes eeproms[2];
    for (bool ppdev : {false, true}) {
      auto hw = serviceKit ? sim::MakeServiceKitHardware(0x278) : sim::MakeBlackBoxHardware();
      sim::AddPpdevPorts(*hw);
      PpdevPortIo ports(hw->kernel, hw->clock, hw->machine, DiscoverLinux(hw->files, {}).parallelPorts);
      ASSERT_EQ(ports.Claimed(), 1) << ports.Failure();
      PortIo& io = ppdev ? static_cast<PortIo&>(ports) : hw->machine;
      EdidBlock block(test::FixedDate(2026, 1, 5));
      test::FakeUi ui(&block);
      CI2cBus bus(io, hw->clock, ui);
      ASSERT_EQ(bus.Channel(), serviceKit ? kChannelServiceKit : kChannelBlackBox);
      TransferSettings settings;
      CEdidTransfer transfer(bus, block, settings, hw->clock, ui, ui);
      hw->machine.Monitor().Trace().Clear();
      transfer.OnEdidRead();
      block.SetManufacturerId("PPD");
      block.UpdateChecksum();
      transfer.OnEdidWrite();
      EXPECT_TRUE(ui.errors.empty()) << ui.errors.back().text;
      traces[ppdev] = hw->machine.Monitor().Trace().ToString();
      std::copy_n(hw->machine.Monitor().AnalogEeprom().Memory().begin(), kEdidSize, eeproms[ppdev].begin());
    }
    EXPECT_EQ(traces[0], traces[1]) << (serviceKit ? "Service Kit" : "Black Box");
    EXPECT_EQ(eeproms[0], eeproms[1]);
  }
}

TEST(Ppdev, ProbesOtherBasesLastAndSaysWhatPermissionIsMissing) {
  auto hw = sim::MakeBareHardware();
  hw->kernel.AddParallelPort(1, 0x378, hw->machine);
  hw->kernel.DenyAccess("/dev/parport1");
  const std::vector<ParallelPortInfo> ports = {{"parport0", "/dev/parport0", 0xD010},
                                               {"parport1", "/dev/parport1", 0x378}};
  PpdevPortIo io(hw->kernel, hw->clock, hw->machine, ports);
  const std::vector<uint16_t> bases(io.ParallelBases().begin(), io.ParallelBases().end());
  EXPECT_EQ(bases, (std::vector<uint16_t>{0x378, 0x278, 0x3BC, 0xD010}));
  EXPECT_EQ(io.Claimed(), 0);
  EXPECT_NE(io.Failure().find("/dev/parport1: permission denied. Add your user to the lp group"), std::string::npos)
      << io.Failure();
}

TEST(Ppdev, WithoutRawPortsTheRefreshToggleComesFromTheClock) {
  class NoPorts final : public PortIo {
   public:
    uint8_t PortIn8(uint16_t) override { return 0xFF; }
    void PortOut8(uint16_t, uint8_t) override {}
    void PortOut16(uint16_t, uint16_t) override {}
    uint8_t MemRead8(uint32_t) override { return 0xFF; }
    void MemWrite8(uint32_t, uint8_t) override {}
    bool IsReachable() const override { return false; }
  } raw;
  sim::SimTime time;
  sim::SimClock clock(time);
  sim::SimKernel kernel(time);
  PpdevPortIo io(kernel, clock, raw, {});
  const uint8_t first = io.PortIn8(0x61) & 0x10;
  time.Advance(PpdevPortIo::kRefreshHalfPeriodUs * 1000);
  EXPECT_NE(io.PortIn8(0x61) & 0x10, first);
  time.Advance(PpdevPortIo::kRefreshHalfPeriodUs * 1000);
  EXPECT_EQ(io.PortIn8(0x61) & 0x10, first);
  EXPECT_FALSE(io.IsReachable());
}

}  // namespace
}  // namespace tolvex
