// The simulated monitor on the wire, driven bit by bit through PortIo by a minimal master that
// keeps the standard-mode timing by letting 5 µs of simulated time pass before each edge.
#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "ddc/sim/sim_hardware.h"

namespace tolvex::sim {
namespace {

// A Black Box master at 0x378; the other wirings carry whole transfers in sim_hardware_test.
class TestMaster {
 public:
  static constexpr uint64_t kEdgeSpacingNs = 5000;

  TestMaster(PortIo& io, SimTime& time) : io_(io), time_(time) {
    io_.PortOut8(kData, 0x0F);
    io_.PortOut8(kControl, 0x0A);
  }

  void SetScl(bool v) { Modify(kControl, 0x08, v); }
  void SetSda(bool v) { Modify(kData, 0x80, !v); }
  bool GetScl() { return io_.PortIn8(kStatus) & 0x08; }
  bool GetSda() { return io_.PortIn8(kStatus) & 0x80; }
  void SetWriteEnable(bool on) { Modify(kData, 0x40, on); }

  void Start() {
    SetSda(true);
    SetScl(true);
    SetSda(false);
    SetScl(false);
  }
  void Stop() {
    SetScl(false);
    SetSda(false);
    SetScl(true);
    SetSda(true);
  }
  // Expects SCL low; returns the acknowledge.
  bool WriteByte(uint8_t byte) {
    for (int bit = 7; bit >= 0; --bit) {
      SetSda((byte >> bit) & 1);
      SetScl(true);
      SetScl(false);
    }
    SetSda(true);
    SetScl(true);
    const bool ack = !GetSda();
    SetScl(false);
    return ack;
  }
  uint8_t ReadByte(bool ack) {
    SetSda(true);
    uint8_t byte = 0;
    for (int bit = 0; bit < 8; ++bit) {
      SetScl(true);
      byte = static_cast<uint8_t>(byte << 1 | (GetSda() ? 1 : 0));
      SetScl(false);
    }
    SetSda(!ack);
    SetScl(true);
    SetScl(false);
    SetSda(true);
    return byte;
  }
  // Releases SCL and counts the reads that still see it low, up to `limit`.
  int PollsUntilSclHigh(int limit) {
    SetScl(true);
    int polls = 0;
    while (polls < limit && !GetScl()) ++polls;
    return polls;
  }

  // S, the bytes, P; true when every byte was acknowledged.
  bool Write(std::initializer_list<uint8_t> bytes) {
    Start();
    bool acked = true;
    for (uint8_t b : bytes) acked = WriteByte(b) && acked;
    Stop();
    return acked;
  }
  // S, address, then n bytes read (the last one not acknowledged), P; empty when not addressed.
  // The clock stays low for `pauseMs` after the address.
  std::vector<uint8_t> Read(uint8_t address, int n, uint64_t pauseMs = 0) {
    Start();
    std::vector<uint8_t> bytes;
    if (WriteByte(address)) {
      time_.Advance(pauseMs * 1'000'000);
      for (int i = 0; i < n; ++i) bytes.push_back(ReadByte(i + 1 < n));
    }
    Stop();
    return bytes;
  }
  // The 24C02 random read: S, 0xA0, word, Sr, 0xA1, n bytes, P.
  std::vector<uint8_t> RandomRead(uint8_t word, int n) {
    Start();
    std::vector<uint8_t> bytes;
    if (WriteByte(0xA0) && WriteByte(word)) {
      Start();
      if (WriteByte(0xA1)) {
        for (int i = 0; i < n; ++i) bytes.push_back(ReadByte(i + 1 < n));
      }
    }
    Stop();
    return bytes;
  }

 private:
  static constexpr uint16_t kData = 0x378;
  static constexpr uint16_t kStatus = 0x379;
  static constexpr uint16_t kControl = 0x37A;

  void Modify(uint16_t port, uint8_t mask, bool set) {
    const uint8_t v = io_.PortIn8(port);
    time_.Advance(kEdgeSpacingNs);
    io_.PortOut8(port, static_cast<uint8_t>(set ? v | mask : v & ~mask));
  }

  PortIo& io_;
  SimTime& time_;
};

class SimMonitorTest : public ::testing::Test {
 protected:
  SimMonitorTest() : hw_(MakeBlackBoxHardware()), master_(hw_->machine, hw_->time) {
    Trace().Clear();
  }

  SimMonitor& Monitor() { return hw_->machine.Monitor(); }
  std::array<uint8_t, 256>& Analog() { return Monitor().AnalogEeprom().Memory(); }
  WireTrace& Trace() { return Monitor().Trace(); }
  void WaitMs(uint64_t ms) { hw_->time.Advance(ms * 1'000'000); }

  std::unique_ptr<SimHardware> hw_;
  TestMaster master_;
};

// ---- The DDC EEPROM ------------------------------------------------------------------------

TEST_F(SimMonitorTest, SequentialReadWrapsAtTheEndOfTheChipAndCurrentAddressReadGoesOn) {
  for (int i = 0; i < 256; ++i) Analog()[i] = static_cast<uint8_t>(i ^ 0x5A);
  EXPECT_EQ(master_.RandomRead(0xFE, 3), (std::vector<uint8_t>{0xFE ^ 0x5A, 0xFF ^ 0x5A, 0x00 ^ 0x5A}));
  // The counter stands after the last byte sent, the not-acknowledged one included.
  EXPECT_EQ(master_.Read(0xA1, 2), (std::vector<uint8_t>{0x01 ^ 0x5A, 0x02 ^ 0x5A}));
  EXPECT_EQ(Monitor().AnalogEeprom().AddressCounter(), 0x03);
}

TEST_F(SimMonitorTest, PageWriteWrapsInsideItsPageAndLandsAtStop) {
  Analog().fill(0xFF);
  master_.SetWriteEnable(true);
  master_.Start();
  for (uint8_t b : {0xA0, 0x0E, 0x11, 0x22, 0x33}) ASSERT_TRUE(master_.WriteByte(b));
  EXPECT_EQ(Analog()[0x0E], 0xFF) << "nothing reaches the memory before STOP";
  master_.Stop();
  EXPECT_EQ(Analog()[0x0E], 0x11);
  EXPECT_EQ(Analog()[0x0F], 0x22);
  EXPECT_EQ(Analog()[0x08], 0x33) << "the third byte wraps to the start of the page";
  EXPECT_EQ(Analog()[0x10], 0xFF) << "the next page is untouched";
  EXPECT_EQ(Monitor().AnalogEeprom().PageWrites(), 1u);
}

TEST_F(SimMonitorTest, RepeatedStartAbandonsAnUnfinishedPage) {
  Analog().fill(0xFF);
  master_.SetWriteEnable(true);
  master_.Start();
  for (uint8_t b : {0xA0, 0x20, 0x77}) ASSERT_TRUE(master_.WriteByte(b));
  master_.Start();
  ASSERT_TRUE(master_.WriteByte(0xA1));
  master_.ReadByte(false);
  master_.Stop();
  EXPECT_EQ(Analog()[0x20], 0xFF);
  EXPECT_FALSE(Monitor().AnalogEeprom().InWriteCycle());
}

TEST_F(SimMonitorTest, WriteCycleRefusesEveryAddressUntilItHasRunOut) {
  Monitor().SetWriteCycleUs(10'000);  // the transactions below take about a millisecond
  master_.SetWriteEnable(true);
  ASSERT_TRUE(master_.Write({0xA0, 0x00, 0x12}));
  EXPECT_TRUE(master_.Read(0xA1, 1).empty());
  EXPECT_FALSE(master_.Write({0xA0, 0x01}));
  EXPECT_EQ(master_.Read(0x59, 1).size(), 1u) << "other devices of the monitor still answer";
  WaitMs(7);
  EXPECT_TRUE(master_.Read(0xA1, 1).empty());
  WaitMs(2);
  EXPECT_EQ(master_.RandomRead(0x00, 1), std::vector<uint8_t>{0x12});
}

TEST_F(SimMonitorTest, StartDuringTheWriteCycleIsNotHeardEvenIfTheCycleEndsBeforeTheAddress) {
  Monitor().SetWriteCycleUs(20'000);
  master_.SetWriteEnable(true);
  ASSERT_TRUE(master_.Write({0xA0, 0x00, 0x12}));
  master_.Start();
  WaitMs(20);
  EXPECT_FALSE(master_.WriteByte(0xA1));
  master_.Stop();
  EXPECT_EQ(master_.Read(0xA1, 1).size(), 1u);
}

TEST_F(SimMonitorTest, WithoutWriteEnableBytesAreAcknowledgedButNotWritten) {
  const uint8_t before = Analog()[0x10];
  EXPECT_TRUE(master_.Write({0xA0, 0x10, 0x5A}));
  EXPECT_EQ(Analog()[0x10], before);
  EXPECT_FALSE(Monitor().AnalogEeprom().InWriteCycle()) << "a protected chip starts no write cycle";
}

TEST_F(SimMonitorTest, StuckWriteProtectWinsOverTheWriteEnableLine) {
  Monitor().SetWriteProtectStuck(true);
  master_.SetWriteEnable(true);
  const uint8_t before = Analog()[0x10];
  EXPECT_TRUE(master_.Write({0xA0, 0x10, 0x5A}));
  EXPECT_EQ(Analog()[0x10], before);
}

// ---- Factory memory ------------------------------------------------------------------------

TEST_F(SimMonitorTest, UnmappedPagesArePlainMemoryAndMappingIsConfigurable) {
  ASSERT_TRUE(master_.Write({0x58, 0x10, 0x05, 0x99}));
  EXPECT_EQ(Monitor().FactoryByte(0x10, 0x05), 0x99);
  EXPECT_NE(Analog()[0x05], 0x99);

  Monitor().SetMappedPages({0x10});
  EXPECT_FALSE(Monitor().IsMappedPage(0xF8));
  ASSERT_TRUE(master_.Write({0x58, 0x10, 0x07, 0x98}));
  EXPECT_EQ(Analog()[0x07], 0x98);
}

TEST_F(SimMonitorTest, FactoryReadPointerMovesOnWithEachByte) {
  Monitor().SetFactoryByte(0x20, 0x10, 0x01);
  Monitor().SetFactoryByte(0x20, 0x11, 0x02);
  ASSERT_TRUE(master_.Write({0x58, 0x21, 0x10, 0x00}));
  WaitMs(3);
  EXPECT_EQ(master_.Read(0x59, 2), (std::vector<uint8_t>{0x01, 0x02}));
  EXPECT_FALSE(master_.Write({0x58, 0x21, 0x10, 0x01})) << "a read-pointer command ends in 0x00";
  EXPECT_FALSE(master_.Write({0x58, 0x20, 0x10, 0x01, 0x02})) << "commands are three bytes";
}

// ---- Monitor controller --------------------------------------------------------------------

struct ControllerCase {
  const char* name;
  uint8_t address;
  uint8_t writeCommand;
  uint8_t readCommand;
  uint8_t offsetBase;
};

class SimControllerTest : public SimMonitorTest, public ::testing::WithParamInterface<ControllerCase> {};

TEST_P(SimControllerTest, WriteFrameStoresAndReadReplyEchoesTheByte) {
  const ControllerCase& c = GetParam();
  const uint8_t offset = static_cast<uint8_t>(5 + c.offsetBase);
  const uint8_t checksum = static_cast<uint8_t>(c.writeCommand + offset + 0x12);
  // No write-enable: the controller writes its EEPROM itself.
  EXPECT_TRUE(master_.Write({c.address, c.writeCommand, offset, 0x12, 0x00, checksum}));
  EXPECT_EQ(Analog()[5], 0x12);

  Analog()[0x7F] = 0x34;
  WaitMs(30);
  EXPECT_TRUE(master_.Write({c.address, c.readCommand, static_cast<uint8_t>(0x7F + c.offsetBase)}));
  EXPECT_EQ(Monitor().ControllerLatchedIndex(c.address == 0xFA ? 1 : 2), 0x7F);
  const std::vector<uint8_t> reply = master_.Read(c.address | 1, 5, 50);
  ASSERT_EQ(reply.size(), 5u);
  EXPECT_EQ(reply[0], 0x34);
  EXPECT_EQ(reply[4], 0x34);
  for (int i = 1; i < 4; ++i) EXPECT_NE(reply[i], 0x34) << "filler byte " << i;
}

TEST_P(SimControllerTest, WrongChecksumIsRefusedAndNotStored) {
  const ControllerCase& c = GetParam();
  const uint8_t offset = static_cast<uint8_t>(5 + c.offsetBase);
  const uint8_t checksum = static_cast<uint8_t>(c.writeCommand + offset + 0x12 + 1);
  const uint8_t before = Analog()[5];
  master_.Write({c.address, c.writeCommand, offset, 0x12, 0x00, checksum});
  const std::vector<WireEvent> events = Trace().Events();
  ASSERT_EQ(events.size(), 8u);
  EXPECT_EQ(events[5], (WireEvent{WireEvent::kWrite, 0x00, true}));
  EXPECT_EQ(events[6], (WireEvent{WireEvent::kWrite, checksum, false}));
  EXPECT_EQ(Analog()[5], before);
}

TEST_P(SimControllerTest, OffsetOutsideTheBlockIsRefused) {
  const ControllerCase& c = GetParam();
  EXPECT_FALSE(master_.Write({c.address, c.readCommand, static_cast<uint8_t>(c.offsetBase + 0x80)}));
  EXPECT_FALSE(master_.Write({c.address, 0x55})) << "unknown command";
}

INSTANTIATE_TEST_SUITE_P(BothProtocols, SimControllerTest,
                         ::testing::Values(ControllerCase{"Protocol1", 0xFA, 0x13, 0x1B, 0x80},
                                           ControllerCase{"Protocol2", 0xA8, 0x07, 0x67, 0x78}),
                         [](const auto& info) { return info.param.name; });

// ---- Faults --------------------------------------------------------------------------------

TEST_F(SimMonitorTest, ClockStretchHoldsSclForTheGivenPollsOnTheChosenPulses) {
  master_.Start();
  Monitor().StretchClock({.firstPulse = 2, .pulses = 2, .polls = 7});
  std::vector<int> polls;
  for (int bit = 0; bit < 5; ++bit) {
    master_.SetSda(true);
    polls.push_back(master_.PollsUntilSclHigh(100));
    master_.SetScl(false);
  }
  EXPECT_EQ(polls, (std::vector<int>{0, 0, 7, 7, 0}));
  // The monitor clocked in the stretched bits as well: five ones so far.
  for (int bit = 0; bit < 3; ++bit) {
    master_.SetSda(false);
    master_.SetScl(true);
    master_.SetScl(false);
  }
  master_.SetSda(true);
  master_.SetScl(true);
  master_.SetScl(false);
  master_.Stop();
  EXPECT_EQ(Trace().ToString(), "S >F8- P");
}

TEST_F(SimMonitorTest, StretchBeyondTheMastersPatienceLooksStuck) {
  master_.Start();
  Monitor().StretchClock({.firstPulse = 0, .pulses = kAllPulses, .polls = 2000});
  master_.SetSda(true);
  EXPECT_EQ(master_.PollsUntilSclHigh(1500), 1500);
  EXPECT_FALSE(master_.GetScl());
  Monitor().ClearFaults();
  EXPECT_TRUE(master_.GetScl());
}

// ---- Timing ------------------------------------------------------------------------------

// A slave on its own, and a master that waits the given time before each change of the lines.
class AnsweringTarget final : public I2cTarget {
 public:
  void OnStart(bool) override {}
  void OnStop() override {}
  bool OnAddress(uint8_t) override { return true; }
  bool OnWriteByte(uint8_t) override { return true; }
  ReadReply OnReadByte() override { return {0x00}; }
};

// The gaps (ns) before each edge of: S, 0xA0 with its acknowledge, Sr, P, S.
struct EdgeGaps {
  uint64_t busFree = 5000;
  uint64_t startHold = 5000;
  uint64_t beforeData = 2500;  // falling clock to the data change
  uint64_t dataSetup = 2500;   // data change to the rising clock
  uint64_t high = 5000;
  uint64_t startSetup = 5000;
  uint64_t stopSetup = 5000;
};

struct ScriptedWire {
  SimTime time;
  AnsweringTarget target;
  SimI2cSlave slave{target, time};

  void Set(uint64_t afterNs, bool scl, bool sda) {
    time.Advance(afterNs);
    slave.SetMasterDrive(scl, sda);
  }
  void Bit(const EdgeGaps& g, bool value) {
    Set(g.beforeData, false, value);
    Set(g.dataSetup, true, value);
    Set(g.high, false, value);
  }
  // True when the address was acknowledged.
  bool Run(const EdgeGaps& g) {
    time.Advance(1'000'000);
    Set(g.busFree, true, false);  // S
    Set(g.startHold, false, false);
    for (int i = 7; i >= 0; --i) Bit(g, (0xA0 >> i) & 1);
    Set(g.beforeData, false, true);
    Set(g.dataSetup, true, true);
    const bool acked = !slave.Sda();
    Set(g.high, false, true);
    Set(g.beforeData + g.dataSetup, true, true);  // Sr
    Set(g.startSetup, true, false);
    Set(g.startHold, false, false);
    Set(g.beforeData + g.dataSetup, true, false);  // P
    Set(g.stopSetup, true, true);
    Set(g.busFree, true, false);  // S
    Set(g.startHold, false, false);
    return acked;
  }
};

TEST(SimSlaveTiming, AnEdgeSoonerThanTheStandardModeMinimumIsAViolationAndLosesTheTransaction) {
  const struct {
    const char* violation;  // empty: none
    EdgeGaps gaps;
    bool acked;
  } cases[] = {
      {"", {}, true},
      {"SCL low", {.beforeData = 2000, .dataSetup = 2000}, false},
      {"data setup", {.beforeData = 4600, .dataSetup = 200}, false},
      {"SCL high", {.high = 3900}, false},
      {"START hold", {.startHold = 3900}, false},
      {"START setup", {.startSetup = 4600}, true},
      {"STOP setup", {.stopSetup = 3900}, true},
      {"bus free", {.busFree = 4600}, true},
  };
  for (const auto& c : cases) {
    ScriptedWire wire;
    EXPECT_EQ(wire.Run(c.gaps), c.acked) << c.violation;
    EXPECT_EQ(wire.slave.FirstTimingViolation().rfind(c.violation, 0), 0u) << wire.slave.FirstTimingViolation();
    EXPECT_EQ(wire.slave.TimingViolations() == 0, std::string(c.violation).empty()) << c.violation;
  }
}

TEST(SimSlaveTiming, FastModeAcceptsWhatStandardModeRefuses) {
  ScriptedWire wire;
  wire.slave.SetTimingMinima(kFastMode);
  EXPECT_TRUE(wire.Run({.busFree = 1300, .startHold = 600, .beforeData = 1000, .dataSetup = 300, .high = 600,
                        .startSetup = 600, .stopSetup = 600}));
  EXPECT_EQ(wire.slave.TimingViolations(), 0u) << wire.slave.FirstTimingViolation();
}

// ---- Firmware pauses -----------------------------------------------------------------------

TEST_F(SimMonitorTest, ControllerLosesAnEarlyRequestAndRepliesOnlyAfterItsPause) {
  Analog()[3] = 0x33;
  Analog()[4] = 0x44;
  ASSERT_TRUE(master_.Write({0xFA, 0x1B, 0x83}));
  WaitMs(29);
  ASSERT_TRUE(master_.Write({0xFA, 0x1B, 0x84})) << "acknowledged, but too soon";
  EXPECT_EQ(master_.Read(0xFB, 5, 50).front(), 0x33);
  WaitMs(30);
  ASSERT_TRUE(master_.Write({0xFA, 0x1B, 0x84}));
  EXPECT_EQ(master_.Read(0xFB, 5, 49), std::vector<uint8_t>(5, 0xFF)) << "nothing loaded yet";
  WaitMs(30);
  ASSERT_TRUE(master_.Write({0xFA, 0x1B, 0x84}));
  EXPECT_EQ(master_.Read(0xFB, 5, 50).back(), 0x44);
}

TEST_F(SimMonitorTest, FactoryMemoryNeedsItsFetchTimeAndIsLockedAfterTheEeprom) {
  Monitor().SetFactoryByte(0x20, 0x10, 0x01);
  ASSERT_TRUE(master_.Write({0x58, 0x21, 0x10, 0x00}));
  EXPECT_EQ(master_.Read(0x59, 1), std::vector<uint8_t>{0xFF}) << "read before the byte was fetched";

  ASSERT_EQ(master_.RandomRead(0x00, 1).size(), 1u);
  ASSERT_TRUE(master_.Write({0x58, 0x20, 0x10, 0x77}));
  EXPECT_EQ(Monitor().FactoryByte(0x20, 0x10), 0x01) << "within a second of the EEPROM";
  WaitMs(1000);
  ASSERT_TRUE(master_.Write({0x58, 0x20, 0x10, 0x77}));
  EXPECT_EQ(Monitor().FactoryByte(0x20, 0x10), 0x77);
}

// ---- Slave behaviour on the wire -----------------------------------------------------------

TEST_F(SimMonitorTest, NotAcknowledgedReadByteReleasesSdaSoStopWorks) {
  Analog()[0] = 0x00;  // a zero bit would keep SDA low if the monitor went on sending
  master_.Start();
  ASSERT_TRUE(master_.WriteByte(0xA0));
  ASSERT_TRUE(master_.WriteByte(0x00));
  master_.Start();
  ASSERT_TRUE(master_.WriteByte(0xA1));
  master_.ReadByte(false);
  EXPECT_TRUE(master_.GetSda());
  master_.Stop();
  EXPECT_FALSE(Monitor().Bus().InTransaction());
}

TEST_F(SimMonitorTest, TraceKeepsTheLatestEventsOrNoneWhenOff) {
  Trace().SetCapacity(3);
  master_.Write({0x58, 0x63, 0x00, 0x00});
  EXPECT_EQ(Trace().ToString(), ">00+ >00+ P");
  EXPECT_EQ(Trace().Dropped(), 3u);
  Trace().Clear();
  Trace().SetEnabled(false);
  master_.Write({0x58, 0x63, 0x00, 0x00});
  EXPECT_TRUE(Trace().Events().empty());
}

}  // namespace
}  // namespace tolvex::sim
