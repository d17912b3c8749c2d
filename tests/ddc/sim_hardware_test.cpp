// The ready-made simulated set-ups under the real bus master: discovery finds what was built,
// the S3 card's registers come back, and monitor faults turn into the statuses the master is
// meant to report. Whole transfers on every route are in edid_transfer_test.
#include <gtest/gtest.h>

#include <functional>
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

TEST(SimHardware, DiscoveryProbesBlackBoxThenServiceKitThenS3AndBasesInOrder) {
  const struct {
    const char* name;
    std::unique_ptr<SimHardware> (*make)();
    int channel;
    uint16_t base;
    bool s3Probed;  // the S3 probe always shows the card's identification
  } cases[] = {
      {"Black Box before a Service Kit at an earlier base",
       [] {
         auto hw = MakeServiceKitHardware(0x378);
         hw->machine.SetParallelAdapter(0x278, ParallelAdapter::kBlackBox);
         return hw;
       },
       kChannelBlackBox, 0x278, false},
      {"0x278 before 0x3BC",
       [] {
         auto hw = MakeBlackBoxHardware(0x3BC);
         hw->machine.SetParallelAdapter(0x278, ParallelAdapter::kBlackBox);
         return hw;
       },
       kChannelBlackBox, 0x278, false},
      {"a Service Kit before the S3 card",
       [] {
         auto hw = MakeS3Hardware();
         hw->machine.SetParallelAdapter(0x3BC, ParallelAdapter::kServiceKit);
         return hw;
       },
       kChannelServiceKit, 0x3BC, false},
      {"the S3 card last", [] { return MakeS3Hardware(); }, kChannelS3, 0x3BC, true},
  };
  for (const auto& c : cases) {
    Rig rig(c.make());
    EXPECT_EQ(rig.bus.Channel(), c.channel) << c.name;
    EXPECT_EQ(rig.bus.PortBase(), c.base) << c.name;
    EXPECT_EQ(rig.ui.messages.size(), c.s3Probed ? 1u : 0u) << c.name;
  }
}

TEST(SimHardware, ServiceKitClosesItsSdaSenseGateAfterEachLook) {
  Rig rig(MakeServiceKitHardware());
  EdidBytes buffer{};
  ASSERT_EQ(rig.bus.Transfer(0xA1, 0, kEdidSize, buffer.data()), 0);
  EXPECT_EQ(rig.hw->machine.Parallel(0x378)->DataLatch(), 0xEE) << "idle levels, gate (bit 4) closed";
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
  EXPECT_EQ(machine.S3()->SerialPort() & 0x10, 0) << "the serial port is disabled before its window closes";

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

// A random read of four bytes whose repeated START or data phase fails: the status says where,
// the transfer ends there and the bus is released. Clock pulses count from the device address:
// 9 for it, 9 for the word address, one for the repeated START, 9 for the read address, then 9
// per byte read, the ninth being the master's acknowledge.
TEST(SimHardware, RepeatedStartAndReadFailuresEndTheTransferAndFreeTheBus) {
  constexpr uint32_t kRepeatedStartPulse = 18;
  constexpr uint32_t kSecondByteAcknowledgePulse = 19 + 9 + 9 + 8;
  const struct {
    const char* name;
    std::function<void(SimMonitor&)> fault;
    uint8_t status;
    int bytesRead;
  } cases[] = {
      {"read address refused", [](SimMonitor& m) { m.Bus().RefuseAddress(0xA1); }, kStatusNoAck | kStatusAddressNoAck, 0},
      {"clock held at the repeated START",
       [](SimMonitor& m) { m.StretchClock({.firstPulse = kRepeatedStartPulse, .pulses = 1, .polls = 2000}); },
       kStatusClockTimeout, 0},
      {"clock held in the second byte's acknowledge",
       [](SimMonitor& m) { m.StretchClock({.firstPulse = kSecondByteAcknowledgePulse, .pulses = 1, .polls = 2000}); },
       kStatusClockTimeout, 2},
  };
  for (const auto& c : cases) {
    Rig rig(MakeBlackBoxHardware());
    c.fault(rig.Monitor());
    constexpr uint8_t kUntouched = 0x5A;
    uint8_t buffer[4] = {kUntouched, kUntouched, kUntouched, kUntouched};
    EXPECT_EQ(rig.bus.Transfer(0xA1, 0, 4, buffer), c.status) << c.name;
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(buffer[i] != kUntouched, i < c.bytesRead) << c.name << ", byte " << i;
    }
    EXPECT_EQ(rig.hw->machine.MonitorLines(), (LineLevels{true, true})) << c.name;
    EXPECT_FALSE(rig.Monitor().Bus().InTransaction()) << c.name;
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
