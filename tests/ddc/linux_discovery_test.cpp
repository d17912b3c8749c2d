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
      "SMBus I801 adapter at efa0 (i2c-0) | memory modules' SPD EEPROMs are on this bus (address 0x50 belongs to the "
      "kernel driver ee1004), and writing one can leave the PC unable to boot",
      "Synopsys DesignWare I2C adapter (i2c-1) | \"Synopsys DesignWare I2C adapter\" is a system bus, where memory "
      "modules' SPD EEPROMs answer at 0x50 and writing one can leave the PC unable to boot",
      "i2c-tiny-usb USB I2C adapter at USB 1-2 (i2c-7)",
      "NVIDIA i2c adapter 1 at 1:00.0 (i2c-8)",
      "NVIDIA i2c adapter 2 at 1:00.0 (i2c-9)",
  };
  EXPECT_EQ(lines, expected);
}

// Each maker's buses as their drivers lay them out in sysfs on real machines, and the verdict of
// the rules on each: what the bus is, which connector it reaches, whether it is listed refused
// (and why), and whether writes are barred even where reading is allowed.
struct LayoutBus {
  int bus;
  AdapterKind kind;
  const char* title;      // what lists call it
  const char* connector;  // the connector it reaches; "" for none
  const char* refused;    // part of the reason it is listed refused; "" when it is offered
  bool writesBarred = false;
};

// Memory modules' SPD EEPROMs on the chipset's SMBus, each generation with its driver.
void AddSmbus(sim::SysfsBuilder& sysfs, int number, const char* name, const char* driver, uint8_t address) {
  const std::string smbus = sysfs.I2cAdapter(sysfs.PciDevice("0000:00:14.0", 0x0C0500), number, name);
  sysfs.I2cClient(smbus, number, address, driver, driver);
}

// A USB device at port path 1-`port` with its IDs; the interface's driver, then the device the
// adapter hangs off (the interface itself, or a HID, platform or auxiliary child).
std::string AddUsb(sim::SysfsBuilder& sysfs, const std::string& port, uint16_t vendor, uint16_t product,
                   const char* interfaceDriver, const char* child = nullptr, const char* childBus = nullptr,
                   const char* childDriver = nullptr) {
  const std::string interface = sysfs.UsbDevice(sysfs.PciDevice("0000:00:14.0", 0x0C0330), "usb1/1-" + port);
  sysfs.UsbIds(interface, vendor, product);
  sysfs.BindDriver(interface, "usb", interfaceDriver);
  if (!child) return interface;
  sysfs.BindDriver(interface + "/" + child, childBus, childDriver);
  return interface + "/" + child;
}

struct Layout {
  const char* machine;
  void (*build)(sim::SysfsBuilder&);
  std::vector<LayoutBus> buses;
};

std::vector<Layout> Layouts() {
  using K = AdapterKind;
  return {
      {"AMD Radeon RX 6600 (Display Core) on a DDR4 board",
       [](sim::SysfsBuilder& sysfs) {
         const std::string gpu = sysfs.PciDevice("0000:03:00.0", 0x030000);
         const std::string hw0 = sysfs.I2cAdapter(gpu, 3, "AMDGPU DM i2c hw bus 0");
         const std::string hw1 = sysfs.I2cAdapter(gpu, 4, "AMDGPU DM i2c hw bus 1");
         sysfs.I2cAdapter(gpu, 5, "AMDGPU DM i2c OEM bus");
         sysfs.I2cAdapter(gpu, 6, "AMDGPU SMU 0");
         const std::string card = sysfs.DrmCard(gpu, 0);
         sysfs.DdcLink(sysfs.Connector(card, "HDMI-A-1", true, [] { return EdidNamed("LAYOUT"); }), hw0);
         const std::string dp = sysfs.Connector(card, "DP-1", false, [] { return std::string(); });
         sysfs.DdcLink(dp, hw1);
         sysfs.I2cAdapter(dp, 7, "AMDGPU DM aux hw bus 1");
         AddSmbus(sysfs, 0, "SMBus PIIX4 adapter port 0 at 0b00", "ee1004", 0x51);
       },
       {{3, K::kDisplay, "AMDGPU DM i2c hw bus 0", "card0-HDMI-A-1", ""},
        {4, K::kDisplay, "AMDGPU DM i2c hw bus 1", "card0-DP-1", ""},
        {5, K::kGpuFirmware, "AMDGPU DM i2c OEM bus", "", "firmware bus, and probing it hangs some cards"},
        {6, K::kGpuFirmware, "AMDGPU SMU 0", "", "firmware bus"},
        {7, K::kDisplay, "AMDGPU DM aux hw bus 1", "", ""},
        {0, K::kSystem, "SMBus PIIX4 adapter port 0 at 0b00", "", "address 0x51 belongs to the kernel driver ee1004"}}},
      {"AMD Radeon R9 without Display Core, DDR3 SPD bound to at24",
       [](sim::SysfsBuilder& sysfs) {
         const std::string gpu = sysfs.PciDevice("0000:01:00.0", 0x030000);
         const std::string bit = sysfs.I2cAdapter(gpu, 2, "AMDGPU i2c bit bus 0x90");
         sysfs.I2cAdapter(gpu, 3, "AMDGPU i2c bit bus 0x91");
         sysfs.DdcLink(sysfs.Connector(sysfs.DrmCard(gpu, 0), "DVI-D-1", true, [] { return EdidNamed("LAYOUT"); }), bit);
         AddSmbus(sysfs, 0, "SMBus I801 adapter at f000", "at24", 0x50);
       },
       {{2, K::kDisplay, "AMDGPU i2c bit bus 0x90", "card0-DVI-D-1", ""},
        {3, K::kDisplay, "AMDGPU i2c bit bus 0x91", "", ""},
        {0, K::kSystem, "SMBus I801 adapter at f000", "", "the kernel driver at24"}}},
      {"GeForce GTX 1060 with nouveau",
       [](sim::SysfsBuilder& sysfs) {
         const std::string gpu = sysfs.PciDevice("0000:01:00.0", 0x030000);
         const std::string bus = sysfs.I2cAdapter(gpu, 4, "nvkm-0000:01:00.0-bus-0000");
         const std::string aux = sysfs.I2cAdapter(gpu, 5, "nvkm-0000:01:00.0-aux-0006");
         const std::string card = sysfs.DrmCard(gpu, 0);
         sysfs.DdcLink(sysfs.Connector(card, "DVI-I-1", true, [] { return EdidNamed("LAYOUT"); }), bus);
         sysfs.DdcLink(sysfs.Connector(card, "DP-1", false, [] { return std::string(); }), aux);
       },
       {{4, K::kDisplay, "nvkm-0000:01:00.0-bus-0000", "card0-DVI-I-1", ""},
        {5, K::kDisplay, "nvkm-0000:01:00.0-aux-0006", "card0-DP-1", ""}}},
      {"GeForce RTX 3070 with the NVIDIA driver: no ddc links",
       [](sim::SysfsBuilder& sysfs) {
         const std::string gpu = sysfs.PciDevice("0000:01:00.0", 0x030000);
         for (int n = 1; n <= 3; ++n) sysfs.I2cAdapter(gpu, 5 + n, "NVIDIA i2c adapter " + std::to_string(n) + " at 1:00.0");
         sysfs.Connector(sysfs.DrmCard(gpu, 1), "DP-1", true, [] { return EdidNamed("LAYOUT"); });
       },
       {{6, K::kDisplayShared, "NVIDIA i2c adapter 1 at 1:00.0", "", "", true},
        {7, K::kDisplayShared, "NVIDIA i2c adapter 2 at 1:00.0", "", "", true},
        {8, K::kDisplayShared, "NVIDIA i2c adapter 3 at 1:00.0", "", "", true}}},
      {"Intel Alder Lake laptop: DP AUX, Type-C, MST, DDR5",
       [](sim::SysfsBuilder& sysfs) {
         const std::string gpu = sysfs.PciDevice("0000:00:02.0", 0x030000);
         const std::string gmbus = sysfs.I2cAdapter(gpu, 2, "i915 gmbus dpb");
         const std::string card = sysfs.DrmCard(gpu, 0);
         sysfs.DdcLink(sysfs.Connector(card, "HDMI-A-1", false, [] { return std::string(); }), gmbus);
         sysfs.I2cAdapter(sysfs.Connector(card, "eDP-1", true, [] { return EdidNamed("LAYOUT"); }), 3, "AUX A/DDI A/PHY A");
         sysfs.I2cAdapter(sysfs.Connector(card, "DP-1", false, [] { return std::string(); }), 4, "AUX B/DDI B/PHY B");
         sysfs.I2cAdapter(sysfs.Connector(card, "DP-2", true, [] { return EdidNamed("LAYOUT"); }), 5,
                          "AUX USBC1/DDI TC1/PHY TC1");
         const std::string mst = sysfs.I2cAdapter(gpu, 9, "DPMST");
         sysfs.DdcLink(sysfs.Connector(card, "DP-3", true, [] { return EdidNamed("LAYOUT"); }), mst);
         AddSmbus(sysfs, 0, "SMBus I801 adapter at efa0", "spd5118", 0x52);
         sysfs.I2cAdapter(sysfs.PciDevice("0000:00:15.0", 0x0C8000) + "/i2c_designware.0", 1,
                          "Synopsys DesignWare I2C adapter");
       },
       {{2, K::kDisplay, "i915 gmbus dpb", "card0-HDMI-A-1", ""},
        {3, K::kDisplay, "AUX A/DDI A/PHY A", "card0-eDP-1", ""},
        {4, K::kDisplay, "AUX B/DDI B/PHY B", "card0-DP-1", ""},
        {5, K::kDisplay, "AUX USBC1/DDI TC1/PHY TC1", "card0-DP-2", ""},
        {9, K::kDisplay, "DPMST", "card0-DP-3", ""},
        {0, K::kSystem, "SMBus I801 adapter at efa0", "", "SPD EEPROMs are on this bus (address 0x52"},
        {1, K::kSystem, "Synopsys DesignWare I2C adapter", "", "is a system bus"}}},
      {"Older Intel desktop: DPDDC",
       [](sim::SysfsBuilder& sysfs) {
         const std::string gpu = sysfs.PciDevice("0000:00:02.0", 0x030000);
         sysfs.I2cAdapter(sysfs.Connector(sysfs.DrmCard(gpu, 0), "DP-1", true, [] { return EdidNamed("LAYOUT"); }), 6,
                          "DPDDC-B");
       },
       {{6, K::kDisplay, "DPDDC-B", "card0-DP-1", ""}}},
      {"USB I2C adapters on a workbench PC, and a laptop camera's bridge",
       [](sim::SysfsBuilder& sysfs) {
         sysfs.I2cAdapter(AddUsb(sysfs, "1", 0x0403, 0xC631, "i2c-tiny-usb"), 10, "i2c-tiny-usb at bus 001 device 002");
         sysfs.I2cAdapter(AddUsb(sysfs, "2", 0x10C4, 0xEA90, "usbhid", "0003:10C4:EA90.0001", "hid", "cp2112"), 11,
                          "CP2112 SMBus Bridge on hidraw0");
         sysfs.I2cAdapter(AddUsb(sysfs, "3", 0x04D8, 0x00DD, "usbhid", "0003:04D8:00DD.0002", "hid", "mcp2221"), 12,
                          "MCP2221 usb-i2c bridge");
         sysfs.I2cAdapter(AddUsb(sysfs, "4", 0x0403, 0x6030, "usbhid", "0003:0403:6030.0003", "hid", "ft260"), 13,
                          "FT260 usb-i2c bridge");
         sysfs.I2cAdapter(AddUsb(sysfs, "5", 0xA257, 0x2013, "dln2", "dln2-i2c.0", "platform", "dln2-i2c"), 14,
                          "dln2-i2c-1-5:1.0-0");
         sysfs.I2cAdapter(AddUsb(sysfs, "6", 0x0ABF, 0x3370, "i2c-diolan-u2c"), 15, "i2c-diolan-u2c at bus 001 device 007");
         sysfs.I2cAdapter(AddUsb(sysfs, "7", 0x8086, 0x0B63, "ljca", "ljca.ljca-i2c.0", "auxiliary", "ljca-i2c"), 16,
                          "ljca-i2c-ljca.ljca-i2c.0-0");
         // A CP2112's IDs, but another driver made the adapter; and an adapter nobody knows.
         sysfs.I2cAdapter(AddUsb(sysfs, "8", 0x10C4, 0xEA90, "usbhid", "0003:10C4:EA90.0004", "hid", "hid-generic"), 17,
                          "CP2112 SMBus Bridge on hidraw3");
         sysfs.I2cAdapter(AddUsb(sysfs, "9", 0x1234, 0x5678, "vendor-i2c"), 18, "SMBus bridge of some make");
       },
       {{10, K::kUsbProgrammer, "i2c-tiny-usb USB I2C adapter at USB 1-1", "", ""},
        {11, K::kUsbProgrammer, "CP2112 USB I2C adapter at USB 1-2", "", ""},
        {12, K::kUsbProgrammer, "MCP2221 USB I2C adapter at USB 1-3", "", ""},
        {13, K::kUsbProgrammer, "FT260 USB I2C adapter at USB 1-4", "", ""},
        {14, K::kUsbProgrammer, "DLN-2 USB I2C adapter at USB 1-5", "", ""},
        {15, K::kUsbProgrammer, "Diolan U2C-12 USB I2C adapter at USB 1-6", "", ""},
        {16, K::kUsbInternal, "ljca-i2c-ljca.ljca-i2c.0-0", "", "a USB bridge inside the machine"},
        {17, K::kUnknown, "CP2112 SMBus Bridge on hidraw3", "", "not a display adapter's bus"},
        {18, K::kSystem, "SMBus bridge of some make", "", "is a system bus"}}},
  };
}

TEST(LinuxDiscovery, EveryMakersBusesAreClassifiedAsTheirDriversLayThemOut) {
  for (const Layout& layout : Layouts()) {
    sim::SimFiles files;
    sim::SysfsBuilder sysfs(files);
    layout.build(sysfs);
    const LinuxDiscovery found = DiscoverLinux(files, {});
    EXPECT_EQ(found.adapters.size(), layout.buses.size()) << layout.machine;
    for (const LayoutBus& expected : layout.buses) {
      const std::string where = std::string(layout.machine) + ": i2c-" + std::to_string(expected.bus);
      const I2cAdapter* adapter = found.Adapter(expected.bus);
      ASSERT_TRUE(adapter) << where;
      EXPECT_EQ(adapter->kind, expected.kind) << where;
      EXPECT_EQ(AdapterTitle(*adapter), expected.title) << where;
      const DrmConnector* connector = found.ConnectorOf(expected.bus);
      EXPECT_EQ(connector ? connector->name : "", expected.connector) << where;
      const std::optional<Refusal> refusal = AdapterRefusal(*adapter, false, false);
      if (*expected.refused == '\0') {
        EXPECT_FALSE(refusal) << where << ": " << refusal->reason;
      } else {
        ASSERT_TRUE(refusal) << where;
        EXPECT_NE(refusal->reason.find(expected.refused), std::string::npos) << where << ": " << refusal->reason;
        // What memory modules make refused stays refused, named and forced.
        if (refusal->reason.find("SPD EEPROMs are on") != std::string::npos) EXPECT_TRUE(AdapterRefusal(*adapter, true, true)) << where;
      }
      EXPECT_EQ(SharedBusWriteRefusal(*adapter).has_value(), expected.writesBarred) << where;
    }
  }
}

TEST(BusSafety, NamingAndForcingOverrideOnlyWhatTheyMay) {
  I2cAdapter usb;
  usb.name = "CP2112 SMBus Bridge on hidraw0";  // not a system bus by name, though it says SMBus further on
  usb.usb = true;
  usb.kind = AdapterKind::kUsbProgrammer;
  I2cAdapter unknown = usb;
  unknown.kind = KindByName(usb.name);
  I2cAdapter smbus;
  smbus.name = "SMBus PIIX4 adapter port 0 at 0b00";
  smbus.pciClass = 0x0C0500;
  smbus.kind = KindByName(smbus.name);
  I2cAdapter owned = smbus;
  owned.owned = {{0x50, "at24"}};
  struct Case {
    const I2cAdapter* adapter;
    bool named, force;
    const char* refused;  // nullptr: allowed
    bool overridable;
  };
  const Case cases[] = {
      {&usb, false, false, nullptr, false},
      {&unknown, false, false, "it is not a display adapter's bus", false},
      {&unknown, true, false, nullptr, false},
      {&smbus, true, false, "system bus", true},
      {&smbus, false, true, "system bus", false},
      {&smbus, true, true, nullptr, false},
      {&owned, true, true, "SPD EEPROMs are on this bus (address 0x50 belongs to the kernel driver at24)", false},
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
      EdidExtensions extensions;
      CEdidTransfer transfer(bus, block, extensions, settings, hw->clock, ui, ui);
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
