// The simulated machine at register level: what a master reads back after each write, on every
// adapter, the refresh toggle, the S3 card's register map and the gate of its serial port.
#include <gtest/gtest.h>

#include "ddc/sim/sim_machine.h"

namespace tolvex::sim {
namespace {

constexpr uint32_t kSerial = 0xAFF20;

class SimMachineTest : public ::testing::Test {
 protected:
  SimTime time_;
  SimMachine machine_{time_};

  uint8_t Status(uint16_t base = 0x378) { return machine_.PortIn8(base + 1); }
  uint8_t Data(uint16_t base = 0x378) { return machine_.PortIn8(base); }
  void SetData(uint8_t v, uint16_t base = 0x378) { machine_.PortOut8(base, v); }
  void SetControl(uint8_t v, uint16_t base = 0x378) { machine_.PortOut8(base + 2, v); }
  SimMonitor& Monitor() { return machine_.Monitor(); }
};

// ---- Parallel ports ------------------------------------------------------------------------

TEST_F(SimMachineTest, AbsentPortReadsAllOnesAndForgetsWrites) {
  machine_.SetParallelAdapter(0x278, ParallelAdapter::kBlackBox);
  for (uint16_t port : {0x378, 0x379, 0x37A, 0x3BC, 0x3BE}) {
    machine_.PortOut8(port, 0x00);
    EXPECT_EQ(machine_.PortIn8(port), 0xFF) << std::hex << port;
  }
  SetData(0x5A, 0x278);
  EXPECT_EQ(Data(0x278), 0x5A);
}

TEST_F(SimMachineTest, PortWithoutAdapterLatchesAndShowsFloatingStatus) {
  machine_.SetParallelAdapter(0x378, ParallelAdapter::kNoAdapter);
  SetData(0xA5);
  SetControl(0x0A);
  EXPECT_EQ(Data(), 0xA5);
  EXPECT_EQ(machine_.PortIn8(0x37A), 0x0A);
  EXPECT_EQ(Status(), SimParallelPort::kOpenStatus);
}

TEST_F(SimMachineTest, BlackBoxDrivesSclFromControlAndSdaInvertedFromData) {
  machine_.SetParallelAdapter(0x378, ParallelAdapter::kBlackBox);
  machine_.PlugMonitor(MonitorRoute::Parallel(0x378));
  SetData(0x0F);
  SetControl(0x0A);
  EXPECT_EQ(Status(), SimParallelPort::kAdapterStatusFixed | 0x88) << "both lines high at idle";

  SetData(0x8F);  // data bit 7 set pulls SDA low
  EXPECT_FALSE(machine_.MonitorLines().sda);
  EXPECT_EQ(Status() & 0x88, 0x08);
  SetData(0x0F);
  SetControl(0x02);  // control bit 3 clear pulls SCL low
  EXPECT_FALSE(machine_.MonitorLines().scl);
  EXPECT_EQ(Status() & 0x88, 0x80);
  EXPECT_EQ(Status() & ~0x88, SimParallelPort::kAdapterStatusFixed);
}

TEST_F(SimMachineTest, BlackBoxSensesTheLinesNotItsOwnDrive) {
  machine_.SetParallelAdapter(0x378, ParallelAdapter::kBlackBox);
  machine_.PlugMonitor(MonitorRoute::Parallel(0x378));
  SetData(0x0F);
  SetControl(0x0A);
  Monitor().HoldSdaLow(true);
  EXPECT_EQ(Status() & 0x80, 0) << "wired AND: the monitor holds SDA down";
  Monitor().HoldSdaLow(false);
  EXPECT_EQ(Status() & 0x80, 0x80);
}

TEST_F(SimMachineTest, BlackBoxWriteEnableFollowsDataBit6) {
  machine_.SetParallelAdapter(0x378, ParallelAdapter::kBlackBox);
  machine_.PlugMonitor(MonitorRoute::Parallel(0x378));
  SetData(0x0F);
  EXPECT_FALSE(machine_.MonitorWriteEnable());
  SetData(0x4F);
  EXPECT_TRUE(machine_.MonitorWriteEnable());
  SetData(0x0F);
  EXPECT_FALSE(machine_.MonitorWriteEnable());
}

TEST_F(SimMachineTest, ServiceKitReadsSclBackThroughDataBit5) {
  machine_.SetParallelAdapter(0x378, ParallelAdapter::kServiceKit);
  machine_.PlugMonitor(MonitorRoute::Parallel(0x378));
  SetData(0xEE);
  EXPECT_EQ(Data(), 0xEE);
  SetData(0xCE);  // SCL driven low
  EXPECT_FALSE(machine_.MonitorLines().scl);
  EXPECT_EQ(Data(), 0xCE);

  // A stretching monitor keeps SCL low although the latch releases it: the read shows the line.
  Monitor().StretchClock({.firstPulse = 0, .pulses = 1, .polls = 2});
  SetData(0xEE);
  EXPECT_EQ(Data(), 0xCE);
  EXPECT_EQ(Data(), 0xCE);
  EXPECT_EQ(Data(), 0xEE);
  EXPECT_EQ(machine_.Parallel(0x378)->DataLatch(), 0xEE);
}

TEST_F(SimMachineTest, ServiceKitSdaSenseIsInvertedAndOnlyThroughTheGate) {
  machine_.SetParallelAdapter(0x378, ParallelAdapter::kServiceKit);
  machine_.PlugMonitor(MonitorRoute::Parallel(0x378));
  SetData(0xEE);  // SDA released, gate (bit 4) closed
  EXPECT_EQ(Status() & 0x80, 0x80) << "gate closed: reads 1, which a master inverts to SDA low";
  SetData(0xFE);  // gate open
  EXPECT_EQ(Status() & 0x80, 0x00) << "SDA high reads as 0";
  SetData(0xF6);  // gate open, SDA driven low
  EXPECT_FALSE(machine_.MonitorLines().sda);
  EXPECT_EQ(Status() & 0x80, 0x80);
  SetData(0xE6);  // gate closed again
  EXPECT_EQ(Status() & 0x80, 0x80);
}

TEST_F(SimMachineTest, ServiceKitLoopsDataBit1BackToStatusBit3WhileEnabled) {
  machine_.SetParallelAdapter(0x278, ParallelAdapter::kServiceKit);
  SetData(0x03, 0x278);  // bit 0 set, bit 2 clear: the driver stage is on
  EXPECT_EQ(Status(0x278) & 0x08, 0x08);
  SetData(0x01, 0x278);
  EXPECT_EQ(Status(0x278) & 0x08, 0x00);
  EXPECT_EQ(Status(0x278) & 0x77, SimParallelPort::kAdapterStatusFixed & 0x77);
  for (uint8_t off : {0x00, 0x05}) {
    SetData(off, 0x278);
    EXPECT_EQ(Status(0x278) & 0x08, 0x08) << "without the enable the loopback floats high: " << int{off};
  }
}

TEST_F(SimMachineTest, ServiceKitWriteEnableNeedsBit0SetAndBit2Clear) {
  machine_.SetParallelAdapter(0x378, ParallelAdapter::kServiceKit);
  machine_.PlugMonitor(MonitorRoute::Parallel(0x378));
  const struct {
    uint8_t data;
    bool enabled;
  } cases[] = {{0xEE, false}, {0xEF, false}, {0xEA, false}, {0xEB, true}};
  for (const auto& c : cases) {
    SetData(c.data);
    EXPECT_EQ(machine_.MonitorWriteEnable(), c.enabled) << std::hex << int{c.data};
  }
}

TEST_F(SimMachineTest, MonitorOnAnotherPortDoesNotSeeThisOne) {
  machine_.SetParallelAdapter(0x378, ParallelAdapter::kBlackBox);
  machine_.SetParallelAdapter(0x278, ParallelAdapter::kBlackBox);
  machine_.PlugMonitor(MonitorRoute::Parallel(0x278));
  Monitor().HoldSdaLow(true);
  SetData(0x0F);
  EXPECT_EQ(Status() & 0x80, 0x80) << "0x378's lines are the adapter's alone";
  EXPECT_EQ(Status(0x278) & 0x80, 0x00);
}

// ---- Time ----------------------------------------------------------------------------------

TEST_F(SimMachineTest, EveryAccessTakesOneMicrosecond) {
  machine_.InstallS3Card();
  machine_.PortIn8(0x378);
  machine_.PortOut8(0x378, 0);
  machine_.PortOut16(0x3D4, 0x0040);
  machine_.MemRead8(kSerial);
  machine_.MemWrite8(kSerial, 0);
  EXPECT_EQ(time_.ns, 5'000u);
  EXPECT_EQ(machine_.Accesses(), 5u);
}

TEST_F(SimMachineTest, RefreshBitTogglesEveryFifteenMicroseconds) {
  int toggles = 0;
  uint8_t last = machine_.PortIn8(0x61) & 0x10;
  for (int i = 0; i < 1500; ++i) {
    const uint8_t bit = machine_.PortIn8(0x61) & 0x10;
    if (bit != last) ++toggles;
    last = bit;
  }
  EXPECT_EQ(toggles, 100);

  // Other time (a sleep) moves it as well.
  const uint8_t before = machine_.PortIn8(0x61) & 0x10;
  time_.Advance(14'000);
  EXPECT_NE(machine_.PortIn8(0x61) & 0x10, before);
}

// ---- S3 card -------------------------------------------------------------------------------

TEST_F(SimMachineTest, WithoutS3CardIdentificationReadsAllOnes) {
  machine_.PortOut8(0x3D4, 0x2D);
  EXPECT_EQ(machine_.PortIn8(0x3D5), 0xFF);
  EXPECT_EQ(machine_.MemRead8(kSerial), 0xFF);
  EXPECT_EQ(machine_.S3(), nullptr);
}

TEST_F(SimMachineTest, S3IdentificationWordsAreReadOnly) {
  machine_.InstallS3Card({.idA = 0x8904, .idB = 0x1234});
  const uint8_t expected[] = {0x89, 0x04, 0x12, 0x34};
  for (uint8_t index = 0x2D; index <= 0x30; ++index) {
    machine_.PortOut16(0x3D4, static_cast<uint16_t>(index | 0x5500));
    machine_.PortOut8(0x3D4, index);
    EXPECT_EQ(machine_.PortIn8(0x3D5), expected[index - 0x2D]) << std::hex << int{index};
  }
}

TEST_F(SimMachineTest, S3CrtcMovesWithMiscOutputBit0) {
  machine_.InstallS3Card({.miscOutput = 0x66});
  EXPECT_EQ(machine_.PortIn8(0x3CC), 0x66);
  machine_.PortOut8(0x3D4, 0x40);
  EXPECT_EQ(machine_.PortIn8(0x3D5), 0xFF) << "colour address not decoded in mono mode";
  machine_.PortOut8(0x3B4, 0x40);
  EXPECT_EQ(machine_.PortIn8(0x3B5), 0x30);

  machine_.PortOut8(0x3C2, 0x67);
  EXPECT_EQ(machine_.PortIn8(0x3CC), 0x67);
  machine_.PortOut16(0x3D4, 0x3140);
  EXPECT_EQ(machine_.S3()->Crtc(0x40), 0x31);
  EXPECT_EQ(machine_.PortIn8(0x3D5), 0x31) << "the index stays where PortOut16 put it";
  machine_.PortOut16(0x3C4, 0xFC0D);
  EXPECT_EQ(machine_.S3()->Sequencer(0x0D), 0xFC);
}

TEST_F(SimMachineTest, S3SerialPortIsMappedOnlyWithCr53Bit4AndCr40Bit0) {
  machine_.InstallS3Card();
  machine_.MemWrite8(kSerial, 0x10);
  EXPECT_EQ(machine_.MemRead8(kSerial), 0xFF);
  machine_.PortOut16(0x3D4, 0x1053);
  EXPECT_EQ(machine_.MemRead8(kSerial), 0xFF) << "CR40 bit 0 still clear";
  machine_.PortOut16(0x3D4, 0x3140);
  EXPECT_EQ(machine_.MemRead8(kSerial), 0x0F) << "power-on value, lines high";
  EXPECT_EQ(machine_.MemRead8(kSerial + 1), 0xFF);
  machine_.PortOut16(0x3D4, 0x3040);
  machine_.MemWrite8(kSerial, 0x10);
  EXPECT_EQ(machine_.S3()->SerialPort(), 0x03) << "writes ignored while unmapped";
}

TEST_F(SimMachineTest, S3SerialPortDrivesOnlyWhenEnabledAndSr0dAndCr5cAllow) {
  machine_.InstallS3Card();
  machine_.PlugMonitor(MonitorRoute::S3());
  machine_.PortOut16(0x3D4, 0x3140);
  machine_.PortOut16(0x3D4, 0x1053);

  machine_.MemWrite8(kSerial, 0x00);  // both lines pulled, port disabled
  EXPECT_EQ(machine_.MemRead8(kSerial) & 0x0C, 0x0C);
  machine_.MemWrite8(kSerial, 0x10);  // enabled, but SR0D still gives the pins away
  EXPECT_EQ(machine_.MemRead8(kSerial) & 0x0C, 0x0C);
  machine_.PortOut16(0x3C4, 0x000D);
  EXPECT_EQ(machine_.MemRead8(kSerial) & 0x0C, 0x0C) << "CR5C does not configure the pins for DDC yet";
  for (uint16_t cr5c : {0x215C, 0x225C}) {
    machine_.PortOut16(0x3D4, cr5c);
    EXPECT_EQ(machine_.MemRead8(kSerial) & 0x0C, 0x0C) << "one of the two CR5C bits is not enough";
  }
  machine_.PortOut16(0x3D4, 0x235C);
  EXPECT_EQ(machine_.MemRead8(kSerial) & 0x0C, 0x00);
  EXPECT_FALSE(machine_.MonitorLines().scl);

  machine_.MemWrite8(kSerial, 0x11);  // SCL released
  EXPECT_EQ(machine_.MemRead8(kSerial), 0x15);
  machine_.MemWrite8(kSerial, 0x12);  // SDA released
  EXPECT_EQ(machine_.MemRead8(kSerial), 0x1A);
  EXPECT_TRUE(machine_.MonitorWriteEnable()) << "no write-enable line on the card";
}

// ---- Access log ----------------------------------------------------------------------------

TEST_F(SimMachineTest, AccessLogIsOptInAndKeepsOrderKindsAndValues) {
  machine_.InstallS3Card();
  machine_.PortIn8(0x3CC);
  EXPECT_TRUE(machine_.Log().empty());

  machine_.SetLogging(true);
  machine_.PortOut8(0x3D4, 0x40);
  machine_.PortIn8(0x3D5);
  machine_.PortOut16(0x3D4, 0x3140);
  machine_.MemWrite8(kSerial, 0x10);
  machine_.MemRead8(kSerial);
  const std::vector<PortAccess> expected = {
      {AccessKind::kPortOut8, 0x3D4, 0x40},   {AccessKind::kPortIn8, 0x3D5, 0x30},
      {AccessKind::kPortOut16, 0x3D4, 0x3140}, {AccessKind::kMemWrite8, kSerial, 0x10},
      {AccessKind::kMemRead8, kSerial, 0xFF},
  };
  EXPECT_EQ(machine_.Log(), expected);
  machine_.ClearLog();
  EXPECT_TRUE(machine_.Log().empty());
}

}  // namespace
}  // namespace tolvex::sim
