// The bus master's wire events, line change by line change and delay by delay, on a Black Box
// whose far end is scripted.
#include <gtest/gtest.h>

#include "ddc/i2c_bus.h"
#include "ddc/sim/sim_clock.h"
#include "ddc/sim/sim_hardware.h"
#include "fake_ui.h"
#include "line_recorder.h"

namespace tolvex {
namespace {

using test::LineRecorder;

class BusLinesTest : public ::testing::Test {
 protected:
  BusLinesTest() { lines.Take(); }

  LineRecorder lines;
  sim::SimTime time;
  sim::SimClock clock{time};
  test::FakeUi ui;
  CI2cBus bus{lines, clock, ui};
};

TEST_F(BusLinesTest, FindsTheBlackBoxAtTheFirstBaseAndLeavesTheLinesIdle) {
  EXPECT_EQ(bus.Channel(), kChannelBlackBox);
  EXPECT_EQ(bus.PortBase(), 0x378);
  EXPECT_EQ(lines.Data(), 0x0F);
  EXPECT_TRUE(lines.SclDrive());
  EXPECT_TRUE(lines.SdaDrive());
  EXPECT_TRUE(ui.messages.empty());  // the S3 card is not probed once an adapter answered
}

TEST(BusDiscovery, TheBlackBoxProbeTogglesSdaSixteenTimesAndSensesEachStep) {
  LineRecorder lines;
  sim::SimTime time;
  sim::SimClock clock{time};
  test::FakeUi ui;
  CI2cBus bus{lines, clock, ui};
  const std::string record = lines.Take();
  // Idle levels first, then per step: Delay, the data bit, Delay, one status read.
  EXPECT_EQ(record.rfind("SCL=1 D SDA=0 D R D SDA=1 D R ", 0), 0u) << record.substr(0, 60);
  EXPECT_EQ(LineRecorder::Count(record, "SDA=0"), 8);
  EXPECT_EQ(LineRecorder::Count(record, "SDA=1"), 8);
  EXPECT_EQ(LineRecorder::Count(record, "R"), 16);
  EXPECT_EQ(LineRecorder::Count(record, "D"), 32);
}

TEST_F(BusLinesTest, StartAndStopConditions) {
  EXPECT_EQ(bus.Start(), 0);
  EXPECT_EQ(lines.Take(), "D R D R R D SDA=0 D D D SCL=0 D");
  EXPECT_EQ(bus.Stop(), 0);
  EXPECT_EQ(lines.Take(), "D D SCL=1 R R D D SDA=1 D D");
}

TEST_F(BusLinesTest, BitsTakeFiveDelaysAndChangeDataOnlyWhileTheClockIsLow) {
  bus.Start();
  lines.Take();
  EXPECT_EQ(bus.WriteBit(1), 0);
  EXPECT_EQ(lines.Take(), "D SDA=1 D SCL=1 R R D D SCL=0 D");
  EXPECT_EQ(bus.WriteBit(0), 0);
  EXPECT_EQ(lines.Take(), "D SDA=0 D SCL=1 R R D D SCL=0 D");
  int bit = -1;
  EXPECT_EQ(bus.ReadBit(bit), 0);
  EXPECT_EQ(lines.Take(), "D SDA=1 D SCL=1 R R D D R SCL=0 D");
  EXPECT_EQ(bit, 1);
}

TEST_F(BusLinesTest, WriteByteClocksNineBitsMostSignificantFirst) {
  bus.Start();
  lines.Take();
  EXPECT_EQ(bus.WriteByte(0xA1), kStatusNoAck);  // nobody acknowledges
  const std::string record = lines.Take();
  EXPECT_EQ(LineRecorder::Count(record, "SCL=1"), 9);
  EXPECT_EQ(LineRecorder::Count(record, "D"), 9 * 5);
  // 1010 0001 after the START's low data line: it changes before the first four bits and the
  // last one; releasing it for the acknowledge changes nothing.
  EXPECT_EQ(record.find("SDA=1"), record.find("D ") + 2);
  EXPECT_EQ(LineRecorder::Count(record, "SDA=1"), 3);
  EXPECT_EQ(LineRecorder::Count(record, "SDA=0"), 2);
}

TEST_F(BusLinesTest, ReadByteAcknowledgesOnRequest) {
  // The far end sends 0x5A: it pulls SDA low for the zero bits, reading at each status read.
  const uint8_t pattern = 0x5A;
  int statusReads = 0;
  lines.slaveReleasesSda = [&] { return true; };
  bus.Start();
  lines.Take();
  lines.slaveReleasesSda = [&] {
    // Each ReadBit makes three status reads (two for the clock, one for data).
    const int bitIndex = statusReads++ / 3;
    return bitIndex >= 8 || ((pattern >> (7 - bitIndex)) & 1) != 0;
  };
  uint8_t byte = 0;
  EXPECT_EQ(bus.ReadByte(byte, true), 0);
  EXPECT_EQ(byte, 0x5A);
  std::string record = lines.Take();
  // The acknowledge is a written zero: SDA goes low before the ninth clock.
  const auto ninthClock = record.rfind("SCL=1");
  EXPECT_NE(record.rfind("SDA=0", ninthClock), std::string::npos);

  statusReads = 0;
  EXPECT_EQ(bus.ReadByte(byte, false), 0);
  record = lines.Take();
  EXPECT_EQ(record.rfind("SDA=0"), std::string::npos);  // no acknowledge: SDA stays released
}

TEST_F(BusLinesTest, ClockStretchingIsPolledFifteenHundredTimes) {
  int lowReads = 1500;
  lines.slaveReleasesScl = [&] { return lowReads-- <= 0; };
  bus.SetScl(0);
  lines.Take();
  EXPECT_TRUE(bus.WaitSclHigh());
  std::string record = lines.Take();
  EXPECT_EQ(LineRecorder::Count(record, "R"), 1501);
  EXPECT_EQ(LineRecorder::Count(record, "D"), 3000);

  lowReads = 1501;
  bus.SetScl(0);
  lines.Take();
  EXPECT_FALSE(bus.WaitSclHigh());
  record = lines.Take();
  EXPECT_EQ(LineRecorder::Count(record, "R"), 1501);
  EXPECT_EQ(LineRecorder::Count(record, "D"), 3000);
}

TEST_F(BusLinesTest, SdaHeldLowFailsEveryStartAndFreeBusSendsNineStops) {
  lines.slaveReleasesSda = [] { return false; };
  EXPECT_EQ(bus.Start(), kStatusSdaLow);
  lines.Take();
  uint8_t byte = 0;
  EXPECT_EQ(bus.RawTransfer(0xA1, 1, &byte), kStatusStartFailed | kStatusSdaLow);
  const std::string record = lines.Take();
  // 200 attempts, each preceded by FreeBus's nine STOPs, and a last FreeBus.
  EXPECT_EQ(LineRecorder::Count(record, "SCL=0"), 201 * 9);
  EXPECT_EQ(LineRecorder::Count(record, "SCL=1"), 201 * 9);
}

TEST_F(BusLinesTest, ClockStuckLowInsideAByteGivesTimeoutAndNoAcknowledge) {
  bus.Start();
  lines.Take();
  // Two bits go through (two clock reads each), then the far end holds the clock for good.
  int sclReads = 0;
  lines.slaveReleasesScl = [&] { return ++sclReads <= 4; };
  EXPECT_EQ(bus.WriteByte(0xA0), kStatusClockTimeout | kStatusNoAck);
}

TEST_F(BusLinesTest, FreeBusDoesNothingOnAnIdleBus) {
  bus.FreeBus();
  EXPECT_EQ(lines.Take(), "R R");
}

TEST_F(BusLinesTest, WriteEnableLinesOfTheBlackBox) {
  bus.SetWriteEnable(true);
  EXPECT_EQ(lines.Data(), 0x4F);
  bus.SetWriteEnable(false);
  EXPECT_EQ(lines.Data(), 0x0F);
}

TEST(BusWithoutAdapter, EveryLineReadsHighAndAddressingGivesUpWithNoAcknowledge) {
  LineRecorder lines;
  lines.adapterPresent = false;
  sim::SimTime time;
  sim::SimClock clock(time);
  test::FakeUi ui;
  CI2cBus bus(lines, clock, ui);
  EXPECT_EQ(bus.Channel(), kChannelNone);
  ASSERT_EQ(ui.messages.size(), 1u);  // the S3 probe always shows what the card answered
  EXPECT_EQ(ui.messages[0], "Vendor ID = 0xFFFF\nDevice  ID = 0xFFFF");
  EXPECT_EQ(bus.GetScl(), 1);
  EXPECT_EQ(bus.GetSda(), 1);
  EXPECT_EQ(bus.Start(), 0);
  uint8_t buffer[128];
  EXPECT_EQ(bus.Transfer(0xA1, 0, 128, buffer), kStatusNoAck | kStatusAddressNoAck);
}

// ---- Calibration ---------------------------------------------------------------------------

struct CalibrationCase {
  uint64_t psPerIteration;
  uint32_t delayCount;  // iterations in 20 µs
};

TEST(BusCalibration, MeasuresAtLeastOneSecondWithoutOverflow) {
  // From a slow processor to one that counts ten billion a second, where ten times 10^9 no
  // longer fits 32 bits.
  for (const CalibrationCase c : {CalibrationCase{100'000, 200}, CalibrationCase{1'000, 20'000},
                                  CalibrationCase{250, 80'000}, CalibrationCase{100, 200'000},
                                  CalibrationCase{10, 2'000'000}}) {
    LineRecorder lines;
    lines.adapterPresent = false;
    sim::SimTime time;
    sim::SimClock clock(time, c.psPerIteration);
    test::FakeUi ui;
    const uint64_t before = time.ns;
    CI2cBus bus(lines, clock, ui);
    EXPECT_EQ(bus.DelayCount(), c.delayCount) << c.psPerIteration << " ps per iteration";
    // The last run alone lasted at least a second, and start-up did not count for ages.
    EXPECT_GE(time.ns - before, 1'000'000'000u);
    EXPECT_LE(time.ns - before, 2'500'000'000u) << c.psPerIteration;
  }
}

class FrozenClock final : public Clock {
 public:
  uint64_t NowMs() override { return 42; }
  void SleepMs(uint32_t) override {}
  void CountDown(uint64_t iterations) override { counted += iterations; }
  uint64_t counted = 0;
};

TEST(BusCalibration, AClockThatNeverAdvancesDoesNotHangStartUp) {
  LineRecorder lines;
  lines.adapterPresent = false;
  FrozenClock clock;
  test::FakeUi ui;
  CI2cBus bus(lines, clock, ui);
  EXPECT_EQ(bus.Channel(), kChannelNone);
  EXPECT_GT(bus.DelayCount(), 0u);
}

TEST(BusCalibration, AClockThatNeverAdvancesLeavesTheS3CardAReadOfUnderATenthOfASecond) {
  auto hw = sim::MakeS3Hardware();
  FrozenClock clock;
  test::FakeUi ui;
  CI2cBus bus(hw->machine, clock, ui);
  ASSERT_EQ(bus.Channel(), kChannelS3);
  clock.counted = 0;
  EdidBytes read{};
  EXPECT_EQ(bus.Transfer(0xA1, 0, kEdidSize, read.data()), 0);
  // At a billion iterations a second.
  EXPECT_LT(clock.counted, 100'000'000u) << "delay count " << bus.DelayCount();
}

}  // namespace
}  // namespace tolvex
