// The ready-made simulated set-ups under the real bus master: discovery finds what was built,
// the S3 card's registers come back, and monitor faults turn into the statuses the master is
// meant to report. Whole transfers on every route are in edid_transfer_test.
#include <gtest/gtest.h>

#include <string>

#include "ddc/i2c_bus.h"
#include "ddc/sim/sim_edid.h"
#include "ddc/sim/sim_hardware.h"
#include "fake_ui.h"
#include "test_support.h"

namespace tolvex::sim {
namespace {

using test::FakeUi;

struct Rig {
  explicit Rig(std::unique_ptr<SimHardware> hardware) : hw(std::move(hardware)) {}
  std::unique_ptr<SimHardware> hw;
  FakeUi ui;
  CI2cBus bus{hw->machine, hw->clock, ui};

  SimMonitor& Monitor() { return hw->machine.Monitor(); }
};

// ---- Discovery -----------------------------------------------------------------------------

TEST(SimHardware, DiscoveryFindsTheBuiltAdapter) {
  const struct {
    const char* name;
    std::unique_ptr<SimHardware> (*make)();
    int channel;
    uint16_t base;
  } cases[] = {
      {"Black Box", [] { return MakeBlackBoxHardware(); }, kChannelBlackBox, 0x378},
      {"Black Box at 0x278", [] { return MakeBlackBoxHardware(0x278); }, kChannelBlackBox, 0x278},
      {"Service Kit at 0x3BC", [] { return MakeServiceKitHardware(0x3BC); }, kChannelServiceKit, 0x3BC},
      {"S3", [] { return MakeS3Hardware(); }, kChannelS3, 0x3BC},
      {"bare", [] { return MakeBareHardware(); }, kChannelNone, 0x3BC},
  };
  for (const auto& c : cases) {
    Rig rig(c.make());
    EXPECT_EQ(rig.bus.Channel(), c.channel) << c.name;
    EXPECT_EQ(rig.bus.PortBase(), c.base) << c.name;
  }
}

TEST(SimHardware, BlackBoxWinsOverAServiceKit) {
  auto hw = MakeServiceKitHardware(0x378);
  hw->machine.SetParallelAdapter(0x278, ParallelAdapter::kBlackBox);
  Rig rig(std::move(hw));
  EXPECT_EQ(rig.bus.Channel(), kChannelBlackBox);
  EXPECT_EQ(rig.bus.PortBase(), 0x278);
}

TEST(SimHardware, S3RegistersReturnToPowerOnValuesWhenTheBusGoes) {
  auto hw = MakeS3Hardware();
  SimMachine& machine = hw->machine;
  {
    FakeUi ui;
    CI2cBus bus(machine, hw->clock, ui);
    ASSERT_EQ(bus.Channel(), kChannelS3);
    EXPECT_EQ(machine.S3()->MiscOutput(), 0x67 | 0xC0);
    EXPECT_EQ(machine.S3()->Sequencer(0x0D), 0x00);
    machine.SetLogging(true);
  }
  const S3CardConfig power;
  EXPECT_EQ(machine.S3()->MiscOutput(), power.miscOutput);
  EXPECT_EQ(machine.S3()->Crtc(0x40), power.cr40);
  EXPECT_EQ(machine.S3()->Crtc(0x53), power.cr53);
  EXPECT_EQ(machine.S3()->Crtc(0x5C), power.cr5c);
  EXPECT_EQ(machine.S3()->Sequencer(0x0D), power.sr0d);

  std::vector<PortAccess> writes;
  for (const PortAccess& a : machine.Log()) {
    if (a.kind == AccessKind::kPortOut16 || a.kind == AccessKind::kPortOut8) writes.push_back(a);
  }
  const std::vector<PortAccess> expected = {
      {AccessKind::kPortOut16, 0x3C4, 0x020D}, {AccessKind::kPortOut16, 0x3D4, 0x205C},
      {AccessKind::kPortOut16, 0x3D4, 0x0053}, {AccessKind::kPortOut16, 0x3D4, 0x3040},
      {AccessKind::kPortOut8, 0x3C2, 0x67},
  };
  EXPECT_EQ(writes, expected);
}

// ---- Faults as the master reports them -----------------------------------------------------

TEST(SimHardware, FaultsBecomeTheDocumentedStatuses) {
  EdidBytes buffer{};
  {
    Rig rig(MakeBlackBoxHardware());
    rig.Monitor().SetDevicePresent(SimDevice::kFactoryMemory, false);
    EXPECT_EQ(rig.bus.RawTransfer(0x59, 1, buffer.data()), 0x0A) << "device absent";
    EXPECT_EQ(rig.bus.Transfer(0xA1, 0, 1, buffer.data()), 0) << "the EEPROM still answers";
  }
  {
    Rig rig(MakeBlackBoxHardware());
    rig.Monitor().RefuseAddresses(3);
    EXPECT_EQ(rig.bus.Transfer(0xA1, 0, 1, buffer.data()), 0) << "retried past the refusals";
  }
  {
    Rig rig(MakeBlackBoxHardware());
    // Pulse 9 is the first bit of the word address after an acknowledged device address.
    rig.Monitor().StretchClock({.firstPulse = 9, .pulses = 1, .polls = 2000});
    EXPECT_EQ(rig.bus.Transfer(0xA1, 0, 1, buffer.data()) & kStatusClockTimeout, kStatusClockTimeout);
  }
  {
    Rig rig(MakeBlackBoxHardware());
    rig.Monitor().StretchClock({.firstPulse = 9, .pulses = 1, .polls = 1000});
    EXPECT_EQ(rig.bus.Transfer(0xA1, 0, 1, buffer.data()), 0) << "a stretch the master waits out";
  }
  {
    Rig rig(MakeBlackBoxHardware());
    rig.Monitor().CorruptReadByte(4, 0x01);
    uint8_t data = 0;
    EXPECT_EQ(rig.bus.AocReadByte(3, data, kProtocolAocTx3), kStatusReplyMismatch);
  }
}

// ---- The simulated EDID --------------------------------------------------------------------

TEST(SimEdid, IsAValidBlockAndTheDigitalVariantDiffersOnlyInItsInput) {
  EdidBlock analog(test::FixedDate(2024, 3, 1));
  FillSimulatedEdid(analog, false);
  EXPECT_EQ(ComputeChecksum(analog.Bytes()), analog.GetChecksum());
  EXPECT_TRUE(std::equal(kEdidHeader.begin(), kEdidHeader.end(), analog.Bytes().begin()));
  EXPECT_EQ(analog.GetManufacturerId(), "TLV");
  EXPECT_TRUE(analog.IsVersion13());
  EXPECT_EQ(analog.GetYear(), 2024);
  EXPECT_EQ(analog.IsDigitalInput(), 0);
  analog.SelectDescriptor(0);
  EXPECT_EQ(analog.GetHActive(), 1024u);
  EXPECT_EQ(analog.GetVActive(), 768u);
  EXPECT_NEAR(analog.GetPixelClock(), 65.0, 0.001);
  analog.SelectDescriptor(2);
  EXPECT_EQ(analog.GetDescriptorTag().tag, kTagMonitorName);

  EdidBlock digital(test::FixedDate(2024, 3, 1));
  FillSimulatedEdid(digital, true);
  EXPECT_EQ(ComputeChecksum(digital.Bytes()), digital.GetChecksum());
  EXPECT_EQ(digital.IsDigitalInput(), 1);
  for (int i = 0; i < 127; ++i) {
    if (i != 20) {
      EXPECT_EQ(digital.Bytes()[i], analog.Bytes()[i]) << "byte " << i;
    }
  }
}

}  // namespace
}  // namespace tolvex::sim
