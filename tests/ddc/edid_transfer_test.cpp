// The transfer commands end to end: the real bus master on the simulated adapters, the monitor
// a bit-level slave, and every text the user would see.
#include "ddc/edid_transfer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "ddc/sim/sim_edid.h"
#include "ddc/sim/sim_hardware.h"
#include "fake_ui.h"
#include "hooked_io.h"
#include "model/edid_extensions.h"
#include "report/edid_report.h"
#include "test_support.h"

namespace tolvex {
namespace {

using ::testing::StartsWith;

using sim::SimHardware;
using sim::SimMonitor;

using test::HookedIo;

// A block the monitor does not hold yet: every byte differs from the simulated EDID.
void FillTestBlock(EdidBlock& block) {
  block.SetManufacturerId("QRS");
  block.SetProductCode(0xBEEF);
  block.SetSerialNumber(0x01234567);
  block.SetVersion(1, 3);
  block.SetGamma(2.4f);
  block.SelectDescriptor(1);
  block.SetDescriptorText(kTagMonitorName, "WRITE TEST");
  block.UpdateChecksum();
}

struct Rig {
  explicit Rig(std::unique_ptr<SimHardware> hardware) : hw(std::move(hardware)) {}

  std::unique_ptr<SimHardware> hw;
  HookedIo io{hw->machine};
  EdidBlock block{test::FixedDate(2026, 12, 8)};
  test::FakeUi ui{&block};
  CI2cBus bus{io, hw->clock, ui};
  TransferSettings settings;
  EdidExtensions extensions;
  CEdidTransfer transfer{bus, block, extensions, settings, hw->clock, ui, ui};

  SimMonitor& Monitor() { return hw->machine.Monitor(); }
  EdidBytes Eeprom() {
    EdidBytes bytes;
    std::copy_n(Monitor().AnalogEeprom().Memory().begin(), kEdidSize, bytes.begin());
    return bytes;
  }
  std::string Trace() { return Monitor().Trace().ToString(); }
  std::string LastError() { return ui.errors.empty() ? "" : ui.errors.back().caption + ": " + ui.errors.back().text; }
};

std::unique_ptr<SimHardware> MakeRoute(int channel) {
  switch (channel) {
    case kChannelBlackBox: return sim::MakeBlackBoxHardware();
    case kChannelServiceKit: return sim::MakeServiceKitHardware(0x278);
    default: return sim::MakeS3Hardware();
  }
}

class EveryChannel : public ::testing::TestWithParam<int> {};

// ---- DDC2B on every channel ----------------------------------------------------------------

TEST_P(EveryChannel, ReadReplacesTheBlockAndTheDocument) {
  Rig rig(MakeRoute(GetParam()));
  ASSERT_EQ(rig.bus.Channel(), GetParam());
  rig.Monitor().AnalogEeprom().Memory()[127] ^= 0x55;  // a wrong checksum in the monitor
  const EdidBytes monitor = rig.Eeprom();
  rig.Monitor().Trace().Clear();

  rig.transfer.OnEdidRead();

  EXPECT_TRUE(rig.ui.errors.empty()) << rig.LastError();
  EXPECT_TRUE(std::equal(rig.block.Bytes().begin(), rig.block.Bytes().end() - 1, monitor.begin()));
  EXPECT_EQ(rig.block.GetChecksum(), ComputeChecksum(rig.block.Bytes())) << "the refresh recomputes it";
  EXPECT_EQ(rig.ui.report, FormatEdidReport(rig.block)) << "the report shows the recomputed checksum";
  const std::vector<std::string> events = {"show code window", "wait", "highlight 0-127 refresh",
                                           "clear highlight", "replace document", "arrow"};
  EXPECT_EQ(rig.ui.events, events);
  EXPECT_GE(rig.hw->clock.SleptMs(), 500u);

  const std::string trace = rig.Trace();
  EXPECT_EQ(trace.rfind("S >A0+ >00+ Sr >A1+ ", 0), 0u) << trace.substr(0, 40);
  EXPECT_EQ(std::count(trace.begin(), trace.end(), '<'), 128);
  EXPECT_EQ(trace.substr(trace.size() - 12), "- P S >A0+ P")
      << "the last byte is not acknowledged, then STOP; then the EEPROM shows it is still there";
  EXPECT_EQ(rig.Monitor().Bus().TimingViolations(), 0u) << rig.Monitor().Bus().FirstTimingViolation();
}

TEST_P(EveryChannel, WriteVerifiesAndLeavesTheBlockAsItWas) {
  Rig rig(MakeRoute(GetParam()));
  FillTestBlock(rig.block);
  const EdidBytes block = rig.block.Bytes();
  rig.Monitor().Trace().Clear();

  rig.transfer.OnEdidWrite();

  EXPECT_TRUE(rig.ui.errors.empty()) << rig.LastError();
  EXPECT_EQ(rig.Eeprom(), block);
  EXPECT_EQ(rig.block.Bytes(), block);
  EXPECT_EQ(rig.Monitor().AnalogEeprom().PageWrites(), 16u);
  EXPECT_FALSE(rig.ui.waitCursor);
  EXPECT_FALSE(rig.hw->machine.MonitorWriteEnable() && GetParam() != kChannelS3) << "write enable off again";
  // Sixteen pages of eight bytes, then the read-back.
  const std::string trace = rig.Trace();
  for (int page = 0; page < kEdidSize; page += 8) {
    char start[24];
    std::snprintf(start, sizeof start, "S >A0+ >%02X+ >%02X+", page, block[page]);
    EXPECT_NE(trace.find(start), std::string::npos) << start;
  }
  EXPECT_NE(trace.find("P S >A0- "), std::string::npos) << "the next page polls the write cycle";
  EXPECT_NE(trace.find("S >A0+ >00+ Sr >A1+"), std::string::npos);
  EXPECT_EQ(rig.Monitor().Bus().TimingViolations(), 0u) << rig.Monitor().Bus().FirstTimingViolation();
}

INSTANTIATE_TEST_SUITE_P(Channels, EveryChannel, ::testing::Values(kChannelBlackBox, kChannelServiceKit, kChannelS3),
                         [](const auto& info) { return std::string(info.param == 0 ? "BlackBox" : info.param == 1 ? "ServiceKit" : "S3"); });

// ---- Whole EDIDs ---------------------------------------------------------------------------

// The rig's block and extensions as a whole EDID: the simulated monitor's own base block with
// byte 126 counting `blocks`.
void TakeWholeEdid(Rig& rig, const std::vector<EdidBytes>& blocks) {
  FillTestBlock(rig.block);
  rig.block.Bytes()[126] = static_cast<uint8_t>(blocks.size());
  rig.block.UpdateChecksum();
  rig.extensions.blocks = blocks;
}

std::vector<uint8_t> EepromBytes(Rig& rig, size_t count) {
  const std::vector<uint8_t>& memory = rig.Monitor().AnalogEeprom().Memory();
  return {memory.begin(), memory.begin() + static_cast<std::ptrdiff_t>(count)};
}

TEST_P(EveryChannel, A384ByteEdidGoesThroughTheSegmentPointerAndComesBack) {
  Rig rig(MakeRoute(GetParam()));
  rig.Monitor().SetEepromSize(512);
  TakeWholeEdid(rig, {test::MakeCtaBlock(), test::MakeExtensionBlock(kTagDisplayId, 5)});
  const std::vector<uint8_t> whole = JoinWholeEdid(rig.block.Bytes(), rig.extensions);
  rig.Monitor().Trace().SetCapacity(size_t{1} << 20);  // every poll of 48 write cycles

  rig.transfer.OnEdidWrite();
  ASSERT_TRUE(rig.ui.errors.empty()) << rig.LastError();
  EXPECT_EQ(EepromBytes(rig, whole.size()), whole);
  EXPECT_EQ(rig.Monitor().AnalogEeprom().PageWrites(), 48u);
  std::string trace = rig.Trace();
  EXPECT_NE(trace.find("S >60+ >01+ Sr >A0+ >00+ >70+"), std::string::npos) << "block 2's first page";
  EXPECT_NE(trace.find("S >A0+ >80+ >02+"), std::string::npos) << "block 1 at word address 128, no segment";

  rig.block.Bytes().fill(0);
  rig.extensions.Clear();
  rig.Monitor().Trace().Clear();
  rig.ui.notes.clear();  // the write's, naming its backup
  rig.transfer.OnEdidRead();
  ASSERT_TRUE(rig.ui.errors.empty()) << rig.LastError();
  EXPECT_EQ(JoinWholeEdid(rig.block.Bytes(), rig.extensions), whole);
  EXPECT_EQ(rig.ui.report, FormatEdidReport(rig.block, rig.extensions.blocks));
  EXPECT_TRUE(rig.ui.notes.empty()) << rig.ui.notes.front();
  trace = rig.Trace();
  EXPECT_NE(trace.find("S >A0+ >80+ Sr >A1+ <02+"), std::string::npos);
  EXPECT_NE(trace.find("S >60+ >01+ Sr >A0+ >00+ Sr >A1+ <70+"), std::string::npos) << "one transaction";
  EXPECT_EQ(rig.Monitor().Bus().TimingViolations(), 0u) << rig.Monitor().Bus().FirstTimingViolation();
}

TEST(WholeEdid, TwoBlocksFitTheWordAddressAndNeedNoSegmentPointer) {
  Rig rig(sim::MakeBlackBoxHardware());
  TakeWholeEdid(rig, {test::MakeCtaBlock()});
  const std::vector<uint8_t> whole = JoinWholeEdid(rig.block.Bytes(), rig.extensions);
  rig.Monitor().Trace().Clear();
  rig.transfer.OnEdidWrite();
  rig.extensions.Clear();
  rig.transfer.OnEdidRead();
  EXPECT_TRUE(rig.ui.errors.empty()) << rig.LastError();
  EXPECT_EQ(EepromBytes(rig, whole.size()), whole);
  EXPECT_EQ(JoinWholeEdid(rig.block.Bytes(), rig.extensions), whole);
  EXPECT_EQ(rig.Trace().find("S >60"), std::string::npos);
}

TEST(WholeEdid, ReadWithoutASegmentPointerKeepsWhatItCanAndSaysSo) {
  Rig rig(sim::MakeBlackBoxHardware());
  TakeWholeEdid(rig, {test::MakeCtaBlock(), test::MakeExtensionBlock(kTagBlockMap, 1), test::MakeCtaBlock()});
  const std::vector<uint8_t> first = JoinWholeEdid(rig.block.Bytes(), {{rig.extensions.blocks[0]}});
  rig.Monitor().AnalogEeprom().Load(first);
  rig.extensions.Clear();
  rig.transfer.OnEdidRead();
  EXPECT_TRUE(rig.ui.errors.empty()) << rig.LastError();
  EXPECT_EQ(JoinWholeEdid(rig.block.Bytes(), rig.extensions), first);
  EXPECT_EQ(rig.ui.notes, std::vector<std::string>{
                              "extension blocks 2 to 3 were not read: the monitor does not answer the segment pointer"});
}

TEST(WholeEdid, ABlankEepromIsNoEdidAndItsByte126CountsNothing) {
  Rig rig(sim::MakeBlackBoxHardware());
  rig.Monitor().SetEepromSize(1024);
  std::fill(rig.Monitor().AnalogEeprom().Memory().begin(), rig.Monitor().AnalogEeprom().Memory().end(), 0xFF);
  rig.Monitor().Trace().Clear();
  rig.transfer.OnEdidRead();
  EXPECT_EQ(rig.extensions.Count(), 0);
  EXPECT_EQ(rig.ui.notes, std::vector<std::string>{
                              "the base block does not begin with the EDID header; the base block's checksum byte "
                              "0xFF is now 0x7F; the 254 extension blocks byte 126 announces were not read: the base "
                              "block is no EDID"});
  // The block read, then the probe that confirms the monitor stayed; no segment pointer.
  const std::string trace = rig.Trace();
  EXPECT_EQ(trace.find(" S ", trace.find(" S ") + 1), std::string::npos) << trace;
  EXPECT_EQ(trace.find(">60"), std::string::npos) << trace;
}

TEST(WholeEdid, ReadNamesEveryBlockWhoseChecksumIsWrong) {
  Rig rig(sim::MakeBlackBoxHardware());
  TakeWholeEdid(rig, {test::MakeCtaBlock()});
  std::vector<uint8_t> bytes = JoinWholeEdid(rig.block.Bytes(), rig.extensions);
  bytes[127] ^= 0x01;
  bytes[255] ^= 0x10;
  rig.Monitor().AnalogEeprom().Load(bytes);
  rig.transfer.OnEdidRead();
  char expected[200];
  std::snprintf(expected, sizeof expected,
                "the base block's checksum byte 0x%02X is now 0x%02X; extension block 1 has the checksum 0x%02X where "
                "its bytes need 0x%02X",
                bytes[127], bytes[127] ^ 0x01, bytes[255], bytes[255] ^ 0x10);
  EXPECT_EQ(rig.ui.notes, std::vector<std::string>{expected});
  EXPECT_EQ(rig.extensions.blocks[0][127], bytes[255]) << "extension blocks are kept as read";
}

TEST(WholeEdid, RefusedWritesSendNothing) {
  struct Case {
    const char* name;
    std::function<void(Rig&)> make;
    const char* error;
  };
  const Case cases[] = {
      {"incomplete", [](Rig& r) { r.extensions.missingBytes = 56; },
       "EDID write refused: The EDID is incomplete: 56 of its bytes were missing from its file and stand as zero. "
       "Save the document, or edit it with File New, to take it as it stands."},
      {"byte 126 against the blocks held", [](Rig& r) { r.extensions.blocks.pop_back(); },
       "EDID write refused: Byte 126 of the base block announces 2 extension blocks, but the EDID holds 1."},
      {"a wrong extension checksum", [](Rig& r) { r.extensions.blocks[1][127] ^= 0xFF; },
       "EDID write refused: The checksum byte of extension block 2 is 0x50, but its bytes need 0xAF."},
      {"blocks beyond the segment pointer of a monitor without one", [](Rig&) {},
       "I2C write error: The monitor does not answer the E-DDC segment pointer (0x60), so extension blocks 2 and up "
       "cannot be written. Nothing was written."},
  };
  for (const Case& c : cases) {
    Rig rig(sim::MakeBlackBoxHardware());
    TakeWholeEdid(rig, {test::MakeCtaBlock(), test::MakeExtensionBlock(kTagDisplayId, 0x30)});
    c.make(rig);
    const std::vector<uint8_t> before = EepromBytes(rig, 256);
    rig.transfer.OnEdidWrite();
    EXPECT_EQ(rig.LastError(), c.error) << c.name;
    EXPECT_EQ(rig.Monitor().AnalogEeprom().PageWrites(), 0u) << c.name;
    EXPECT_EQ(EepromBytes(rig, 256), before) << c.name;
  }
}

TEST(WholeEdid, CommandProtocolsSayTheyTakeTheBaseBlockAlone) {
  Rig rig(sim::MakeBlackBoxHardware());
  rig.settings.protocol = kProtocolAocTx3;
  TakeWholeEdid(rig, {test::MakeCtaBlock()});
  rig.transfer.OnEdidWrite();
  EXPECT_TRUE(rig.ui.errors.empty()) << rig.LastError();
  ASSERT_FALSE(rig.ui.notes.empty());
  EXPECT_EQ(rig.ui.notes.back(), "Base block only: The AOC command protocols write the base block alone: the 1 "
                                 "extension blocks stay as the monitor holds them.");
  EXPECT_EQ(rig.Eeprom(), rig.block.Bytes());

  rig.extensions.Clear();
  rig.ui.notes.clear();
  rig.transfer.OnEdidRead();
  EXPECT_EQ(rig.extensions.Count(), 0);
  EXPECT_EQ(rig.ui.notes, std::vector<std::string>{"the 1 extension blocks byte 126 announces were not read: this "
                                                   "protocol reads the base block alone"});
}

// ---- DDC2B failures ------------------------------------------------------------------------

TEST(EdidRead, FailureLeavesBlockAndDocumentAndEndsTheWaitCursor) {
  struct Case {
    const char* name;
    std::function<void(Rig&)> fault;
    const char* error;
  };
  const Case cases[] = {
      {"unplugged", [](Rig& r) { r.hw->machine.UnplugMonitor(); }, "I2C read error: I2C transfer error (0x0A)"},
      {"SDA held low", [](Rig& r) { r.Monitor().HoldSdaLow(true); }, "I2C read error: I2C transfer error (0x84)"},
      {"clock stuck in the word address",
       [](Rig& r) { r.Monitor().StretchClock({.firstPulse = 9, .pulses = sim::kAllPulses, .polls = 5000}); },
       "I2C read error: I2C transfer error (0x03)"},
  };
  for (const Case& c : cases) {
    Rig rig(sim::MakeBlackBoxHardware());
    const EdidBytes before = rig.block.Bytes();
    c.fault(rig);
    rig.transfer.OnEdidRead();
    EXPECT_THAT(rig.LastError(), StartsWith(c.error)) << c.name;
    EXPECT_EQ(rig.block.Bytes(), before) << c.name;
    EXPECT_TRUE(rig.ui.report.empty()) << c.name;
    EXPECT_EQ(rig.ui.events.back(), "arrow") << c.name;
  }
}

TEST(EdidWrite, ThirdPageNeverAcknowledgedStopsTheWrite) {
  Rig rig(sim::MakeBlackBoxHardware());
  FillTestBlock(rig.block);
  bool refused = false;
  rig.io.hook = [&] {
    if (!refused && rig.Monitor().AnalogEeprom().PageWrites() == 2) {
      rig.Monitor().RefuseAddresses(1'000'000);
      refused = true;
    }
  };
  rig.transfer.OnEdidWrite();
  EXPECT_THAT(rig.LastError(), StartsWith("I2C write error: I2C transfer error (0x10, 0x0A)"));
  EXPECT_EQ(rig.ui.errors.size(), 1u);
  EXPECT_EQ(rig.Monitor().AnalogEeprom().PageWrites(), 2u) << "no later page is written";
  EXPECT_EQ(rig.hw->machine.Parallel(0x378)->DataLatch(), 0x0F) << "write enable off";
  EXPECT_FALSE(rig.ui.waitCursor);
}

TEST(EdidWrite, WriteProtectedEepromFailsVerification) {
  Rig rig(sim::MakeBlackBoxHardware());
  FillTestBlock(rig.block);
  const EdidBytes before = rig.Eeprom();
  rig.Monitor().SetWriteProtectStuck(true);
  rig.transfer.OnEdidWrite();
  EXPECT_THAT(rig.LastError(), StartsWith("Verify error: EDID code verified error"));
  EXPECT_EQ(rig.Eeprom(), before);
}

TEST(EdidWrite, CorruptedReadBackFailsVerification) {
  Rig rig(sim::MakeBlackBoxHardware());
  FillTestBlock(rig.block);
  const EdidBytes block = rig.block.Bytes();
  bool armed = false;
  rig.io.hook = [&] {
    if (!armed && rig.Monitor().AnalogEeprom().PageWrites() == 16) {
      rig.Monitor().CorruptReadByte(40, 0x04);
      armed = true;
    }
  };
  rig.transfer.OnEdidWrite();
  EXPECT_THAT(rig.LastError(), StartsWith("Verify error: EDID code verified error"));
  EXPECT_EQ(rig.block.Bytes(), block) << "the block keeps what the user made";
}

TEST(EdidRead, WordAddressNotAcknowledgedIsNotRetried) {
  Rig rig(sim::MakeBlackBoxHardware());
  rig.Monitor().Trace().Clear();
  uint8_t buffer[1] = {};
  // The controller acknowledges its address but not an unknown command byte.
  EXPECT_EQ(rig.bus.Transfer(0xFB, 0x00, 1, buffer), kStatusNoAck);
  EXPECT_EQ(rig.Trace(), "S >FA+ >00- P");
}

// ---- AOC command protocols -----------------------------------------------------------------

TEST(AocFrames, WriteAndReadRequestBytes) {
  Rig rig(sim::MakeBlackBoxHardware());
  rig.Monitor().Trace().Clear();
  EXPECT_EQ(rig.bus.AocWriteByte(5, 0x12, kProtocolAocTx3), 0);
  EXPECT_EQ(rig.Trace(), "S >FA+ >13+ >85+ >12+ >00+ >AA+ P");
  rig.Monitor().Trace().Clear();
  EXPECT_EQ(rig.bus.AocWriteByte(5, 0x12, kProtocolAocTx12), 0);
  EXPECT_EQ(rig.Trace(), "S >A8+ >07+ >7D+ >12+ >00+ >96+ P");

  uint8_t data = 0;
  rig.Monitor().Trace().Clear();
  const uint64_t slept = rig.hw->clock.SleptMs();
  EXPECT_EQ(rig.bus.AocReadByte(0x7F, data, kProtocolAocTx3), 0);
  EXPECT_EQ(rig.hw->clock.SleptMs() - slept, 80u);
  const uint8_t expected = rig.Eeprom()[0x7F];
  char reply[64];
  std::snprintf(reply, sizeof reply, "S >FA+ >1B+ >FF+ P S >FB+ <%02X+ ", expected);
  EXPECT_EQ(rig.Trace().rfind(reply, 0), 0u) << rig.Trace();
  EXPECT_EQ(data, expected);
  rig.Monitor().Trace().Clear();
  EXPECT_EQ(rig.bus.AocReadByte(0x7F, data, kProtocolAocTx12), 0);
  EXPECT_EQ(rig.Trace().rfind("S >A8+ >67+ >F7+ P S >A9+ ", 0), 0u) << rig.Trace();
}

TEST(AocFrames, FailuresCarryTheFrameByte) {
  uint8_t data = 0;
  {
    Rig rig(sim::MakeBlackBoxHardware());
    rig.Monitor().SetDevicePresent(sim::SimDevice::kController1, false);
    EXPECT_EQ(rig.bus.AocWriteByte(0, 0x00, kProtocolAocTx3), 0xFA0A) << "address never acknowledged";
    EXPECT_EQ(rig.bus.AocReadByte(0, data, kProtocolAocTx3), 0xFA0A);
  }
  {
    Rig rig(sim::MakeBlackBoxHardware());
    rig.Monitor().HoldSdaLow(true);
    EXPECT_EQ(rig.bus.AocWriteByte(0, 0x00, kProtocolAocTx12), 0x84) << "START failures carry no byte";
  }
  {
    Rig rig(sim::MakeBlackBoxHardware());
    rig.Monitor().CorruptReadByte(4, 0x80);
    EXPECT_EQ(rig.bus.AocReadByte(9, data, kProtocolAocTx3), kStatusReplyMismatch);
  }
}

// Clock pulses, counted from the command's first bit: a write frame clocks 6 × 9 pulses and its
// closing STOP the next one; a read clocks the 3-byte request, one pulse for the STOP that the
// read-address phase sends first, 9 for the read address and 5 × 9 for the reply, then its STOP.
constexpr uint32_t kWriteFrameStopPulse = 6 * 9;
constexpr uint32_t kReadStopPulse = 3 * 9 + 1 + 9 + 5 * 9;

TEST(AocFrames, FailureResultsCarryTheRefusedFrameByteOrTheStatusAlone) {
  struct Case {
    const char* name;
    bool read;  // AocReadByte of byte 0x7F, else AocWriteByte of byte 5 with 0x12
    int protocol;
    std::function<void(Rig&)> fault;
    uint16_t result;
  };
  const auto stretchPulse = [](uint32_t pulse) {
    return [pulse](Rig& r) { r.Monitor().StretchClock({.firstPulse = pulse, .pulses = 1, .polls = 2000}); };
  };
  const Case cases[] = {
      {"command byte refused", false, kProtocolAocTx3, [](Rig& r) { r.Monitor().Bus().RefuseWrittenByte(1); }, 0x130A},
      {"checksum refused", false, kProtocolAocTx12, [](Rig& r) { r.Monitor().Bus().RefuseWrittenByte(5); }, 0x960A},
      {"closing STOP of a write", false, kProtocolAocTx3, stretchPulse(kWriteFrameStopPulse), 0x0041},
      {"request offset refused", true, kProtocolAocTx3, [](Rig& r) { r.Monitor().Bus().RefuseWrittenByte(2); }, 0xFF0A},
      {"read address refused", true, kProtocolAocTx12, [](Rig& r) { r.Monitor().Bus().RefuseAddress(0xA9); }, 0x0002},
      {"START of the read address",
       true,
       kProtocolAocTx3,
       [](Rig& r) {
         r.io.hook = [&r] {
           if (r.Monitor().ControllerLatchedIndex(1) == 0x7F && !r.Monitor().Bus().HoldsSdaLow()) r.Monitor().HoldSdaLow(true);
         };
       },
       0xFB24},
      {"closing STOP of a read", true, kProtocolAocTx3, stretchPulse(kReadStopPulse), 0x0041},
  };
  for (const Case& c : cases) {
    Rig rig(sim::MakeBlackBoxHardware());
    c.fault(rig);
    uint8_t data = 0;
    const uint16_t result =
        c.read ? rig.bus.AocReadByte(0x7F, data, c.protocol) : rig.bus.AocWriteByte(5, 0x12, c.protocol);
    EXPECT_EQ(result, c.result) << c.name << ": 0x" << std::hex << result;
    if (c.result == 0x0041) {
      EXPECT_EQ(rig.hw->machine.MonitorLines(), (sim::LineLevels{true, true})) << c.name << ": the bus is freed";
      if (c.read) EXPECT_EQ(data, rig.Eeprom()[0x7F]) << c.name;
    }
  }
}

class AocProtocol : public ::testing::TestWithParam<int> {};

TEST_P(AocProtocol, WriteStoresEveryByteThroughTheControllerAndVerifies) {
  Rig rig(sim::MakeBlackBoxHardware());
  rig.settings.protocol = static_cast<uint32_t>(GetParam());
  FillTestBlock(rig.block);
  rig.transfer.OnEdidWrite();
  EXPECT_TRUE(rig.ui.errors.empty()) << rig.LastError();
  EXPECT_EQ(rig.Eeprom(), rig.block.Bytes());
  ASSERT_EQ(rig.ui.statusTexts.size(), 129u);
  EXPECT_EQ(rig.ui.statusTexts[0], "Writing... 0%");
  EXPECT_EQ(rig.ui.statusTexts[63], "Writing... 49%");
  EXPECT_EQ(rig.ui.statusTexts[127], "Writing... 100%");
  EXPECT_EQ(rig.ui.statusTexts[128], "Ready");
  EXPECT_EQ(rig.Monitor().AnalogEeprom().PageWrites(), 0u) << "nothing went through the EEPROM's own bus port";
  EXPECT_GE(rig.hw->clock.SleptMs(), 128u * 80u);
}

TEST_P(AocProtocol, ReadShowsProgressAndGetsTheBlock) {
  Rig rig(sim::MakeBlackBoxHardware());
  rig.settings.protocol = static_cast<uint32_t>(GetParam());
  rig.transfer.OnEdidRead();
  EXPECT_TRUE(rig.ui.errors.empty()) << rig.LastError();
  EXPECT_TRUE(std::equal(rig.block.Bytes().begin(), rig.block.Bytes().end() - 1, rig.Eeprom().begin()));
  ASSERT_EQ(rig.ui.statusTexts.size(), 129u);
  EXPECT_EQ(rig.ui.statusTexts[63], "Reading... 49%");
  EXPECT_EQ(rig.ui.statusTexts.back(), "Ready");
}

INSTANTIATE_TEST_SUITE_P(Protocols, AocProtocol, ::testing::Values(kProtocolAocTx3, kProtocolAocTx12));

// What the program reports after a write: verified only when every route taken read back what it
// wrote, and something was written at all.
TEST(EdidWrite, SaysWhetherEverythingWrittenWasVerified) {
  struct Case {
    const char* name;
    uint32_t protocol;
    bool softwareDdcOnly;
    uint32_t factoryEnable;
    bool writeProtect;
    bool verified;
  };
  const Case cases[] = {
      {"DDC2B", kProtocolDdc2b, false, 0, false, true},
      {"DDC2B on a write-protected EEPROM", kProtocolDdc2b, false, 0, true, false},
      {"DDC2B and the factory page", kProtocolDdc2b, false, 1, false, true},
      {"Software DDC only", kProtocolDdc2b, true, 1, false, true},
      {"Software DDC only without the factory write", kProtocolDdc2b, true, 0, false, false},
      {"AOC command", kProtocolAocTx3, false, 0, false, true},
  };
  for (const Case& c : cases) {
    Rig rig(sim::MakeBlackBoxHardware());
    rig.settings.protocol = c.protocol;
    rig.settings.softwareDdcOnly = c.softwareDdcOnly;
    rig.settings.factoryEnable = c.factoryEnable;
    rig.Monitor().SetWriteProtectStuck(c.writeProtect);
    FillTestBlock(rig.block);
    EXPECT_EQ(rig.transfer.OnEdidWrite(), c.verified) << c.name << ": " << rig.LastError();
  }
  Rig rig(sim::MakeBlackBoxHardware());
  rig.settings.mappedPage = "E0";  // plain memory: a corrupted read-back is a mismatch
  rig.Monitor().CorruptReadByte(0, 0x20);
  EXPECT_FALSE(rig.transfer.OnFactoryWrite());
}

TEST(AocWrite, VerifyAndTransferErrorsNameByteAndFrame) {
  {
    Rig rig(sim::MakeBlackBoxHardware());
    rig.settings.protocol = kProtocolAocTx3;
    FillTestBlock(rig.block);
    // The first reply's first byte, after the 128 the read before the write takes from 0xA0:
    // data and echo disagree.
    rig.Monitor().CorruptReadByte(kEdidSize, 0x01);
    rig.transfer.OnEdidWrite();
    EXPECT_THAT(rig.LastError(), StartsWith("I2C read error: Addr(0x00), Data(0x00), Error(0x10)"));
    EXPECT_TRUE(rig.ui.statusTexts.empty()) << "after a failure neither progress nor Ready";
    EXPECT_FALSE(rig.ui.waitCursor);
  }
  {
    Rig rig(sim::MakeBlackBoxHardware());
    rig.settings.protocol = kProtocolAocTx3;
    FillTestBlock(rig.block);
    // The controller takes byte 10 (the product code differs from the monitor's) and the chip
    // then holds it with one bit flipped.
    ASSERT_NE(rig.Eeprom()[10], rig.block.Bytes()[10]);
    bool flipped = false;
    rig.io.hook = [&] {
      auto& memory = rig.Monitor().AnalogEeprom().Memory();
      if (!flipped && memory[10] == rig.block.Bytes()[10]) {
        memory[10] ^= 0x01;
        flipped = true;
      }
    };
    rig.transfer.OnEdidWrite();
    char expected[80];
    std::snprintf(expected, sizeof expected, "Verify error: Addr(0x0A), Data(0x%02X), Edid(0x%02X)",
                  rig.block.Bytes()[10] ^ 0x01, rig.block.Bytes()[10]);
    EXPECT_THAT(rig.LastError(), StartsWith(expected));
  }
  {
    Rig rig(sim::MakeBlackBoxHardware());
    rig.settings.protocol = kProtocolAocTx12;
    rig.Monitor().SetDevicePresent(sim::SimDevice::kController2, false);
    rig.transfer.OnEdidWrite();
    EXPECT_THAT(rig.LastError(), StartsWith("I2C write error: Addr(0x00), Data(0xA8), Error(0x0A)"));
  }
}

// ---- Factory memory, Software DDC, DVI switch ----------------------------------------------

TEST(FactoryWrite, WritesThePageSlowlyAndVerifiesEachByte) {
  Rig rig(sim::MakeS3Hardware());
  FillTestBlock(rig.block);
  rig.settings.factoryEnable = 1;
  rig.Monitor().SetWriteProtectStuck(true);  // only the factory path can change the EEPROM now
  rig.Monitor().Trace().Clear();
  const uint64_t countedBefore = rig.hw->clock.CountedDown();

  rig.transfer.OnEdidWrite();

  // The DDC2B write runs first and fails its verification; the factory write is not reached.
  EXPECT_THAT(rig.LastError(), StartsWith("Verify error: EDID code verified error"));
  rig.ui.errors.clear();
  rig.Monitor().Trace().Clear();
  rig.transfer.OnFactoryWrite();
  EXPECT_TRUE(rig.ui.errors.empty()) << rig.LastError();
  EXPECT_EQ(rig.Eeprom(), rig.block.Bytes());
  const std::string trace = rig.Trace();
  char first[64];
  std::snprintf(first, sizeof first, "S >58+ >F8+ >00+ >%02X+ P S >58+ >F9+ >00+ >00+ P S >59+ <%02X- P",
                rig.block.Bytes()[0], rig.block.Bytes()[0]);
  EXPECT_EQ(trace.rfind(first, 0), 0u) << trace.substr(0, 80);
  EXPECT_EQ(rig.ui.statusTexts.back(), "Ready");
  EXPECT_EQ(rig.ui.statusTexts[127], "Writing... 100%");
  EXPECT_FALSE(rig.bus.SlowTiming());
  // On the S3 card the bits are normally timed by the countdown loop; the factory write uses
  // port 0x61 instead, so the countdown did not grow during it.
  const uint64_t countedAfterDdc2b = rig.hw->clock.CountedDown();
  EXPECT_GT(countedAfterDdc2b, countedBefore);
  rig.transfer.OnFactoryWrite();
  EXPECT_EQ(rig.hw->clock.CountedDown(), countedAfterDdc2b);
}

TEST(FactoryWrite, MismatchAndSilenceAreErrorsNotSuccess) {
  {
    Rig rig(sim::MakeBlackBoxHardware());
    FillTestBlock(rig.block);
    rig.settings.mappedPage = "E0";  // a plain memory page: writes stick, nothing reaches the EEPROM
    rig.Monitor().SetFactoryByte(0xE0, 0, 0x00);
    rig.Monitor().CorruptReadByte(0, 0x20);
    rig.transfer.OnFactoryWrite();
    EXPECT_THAT(rig.LastError(), StartsWith("Factory write error: EEPROM verified error (0x00, 0x20)"));
    EXPECT_EQ(rig.ui.statusTexts.back(), "Ready");
  }
  {
    Rig rig(sim::MakeBlackBoxHardware());
    rig.Monitor().SetDevicePresent(sim::SimDevice::kFactoryMemory, false);
    rig.transfer.OnFactoryWrite();
    EXPECT_THAT(rig.LastError(), StartsWith("Factory write error: I2C transfer error (0x0A)"));
    EXPECT_EQ(rig.ui.errors.size(), 1u);
    EXPECT_FALSE(rig.bus.SlowTiming());
    EXPECT_FALSE(rig.ui.waitCursor);
  }
}

TEST(SoftwareDdc, WriteGoesStraightToTheFactoryPageAndReadComesBackFromIt) {
  Rig rig(sim::MakeBlackBoxHardware());
  FillTestBlock(rig.block);
  rig.settings.softwareDdcOnly = true;
  rig.settings.factoryEnable = 1;
  rig.settings.mappedPage = "F0";
  rig.Monitor().SetMappedPages({0xF0});
  rig.Monitor().Trace().Clear();
  rig.transfer.OnEdidWrite();
  EXPECT_TRUE(rig.ui.errors.empty()) << rig.LastError();
  const std::string trace = rig.Trace();
  EXPECT_EQ(trace.find("S >A0+ >00+ >"), std::string::npos) << "no EEPROM write: the read before it alone";
  EXPECT_NE(trace.find("S >58+ >F0+ >00+ "), std::string::npos);
  EXPECT_EQ(rig.Eeprom(), rig.block.Bytes());

  EdidBlock other;
  const EdidBytes written = rig.block.Bytes();
  rig.block.Bytes() = other.Bytes();
  const uint64_t slept = rig.hw->clock.SleptMs();
  rig.transfer.OnEdidRead();
  EXPECT_TRUE(rig.ui.errors.empty()) << rig.LastError();
  EXPECT_EQ(rig.block.Bytes(), written);
  EXPECT_EQ(rig.hw->clock.SleptMs() - slept, 500u + 128u * 3u);
}

TEST(SoftwareDdc, ARefusedReadRequestIsAnErrorEvenWhenTheByteReadAnswers) {
  Rig rig(sim::MakeBlackBoxHardware());
  rig.settings.softwareDdcOnly = true;
  rig.Monitor().Bus().RefuseAddress(kFactoryWrite);  // 0x59 still answers, with a stale pointer
  const EdidBytes before = rig.block.Bytes();
  rig.transfer.OnEdidRead();
  EXPECT_THAT(rig.LastError(), StartsWith("I2C read error: I2C transfer error (0x0A)"));
  EXPECT_EQ(rig.block.Bytes(), before);
}

// The monitor's firmware needs the masters' pauses where they are (sim_monitor.h): a pause left
// out or moved turns into wrong bytes. The Black Box's bus alone takes longer than the 3 ms a
// factory byte needs; the S3 card's does not.
TEST(Pauses, SoftwareDdcReadOnTheFastBusWaitsForEachFactoryByte) {
  Rig rig(sim::MakeS3Hardware());
  rig.settings.softwareDdcOnly = true;
  rig.settings.mappedPage = "F0";
  rig.Monitor().AnalogEeprom().Memory()[127] = ComputeChecksum(rig.Eeprom());
  rig.transfer.OnEdidRead();
  EXPECT_TRUE(rig.ui.errors.empty()) << rig.LastError();
  EXPECT_EQ(rig.block.Bytes(), rig.Eeprom());
}

TEST(Pauses, FactoryWriteAfterTheEepromWaitsForTheFirmwareToSettle) {
  Rig rig(sim::MakeBlackBoxHardware());
  FillTestBlock(rig.block);
  rig.settings.factoryEnable = 1;
  rig.settings.mappedPage = "E0";  // plain memory, so only the factory write can fill it
  rig.transfer.OnEdidWrite();
  EXPECT_TRUE(rig.ui.errors.empty()) << rig.LastError();
  for (int i = 0; i < kEdidSize; ++i) {
    ASSERT_EQ(rig.Monitor().FactoryByte(0xE0, static_cast<uint8_t>(i)), rig.block.Bytes()[i]) << "byte " << i;
  }
}

TEST(DviSwitch, SelectsTheEepromThatAnswers) {
  Rig rig(sim::MakeBlackBoxHardware());
  rig.Monitor().DigitalEeprom().Memory()[8] = 0x7A;
  rig.Monitor().Trace().Clear();
  rig.transfer.OnDviDigital();
  EXPECT_EQ(rig.Trace(), "S >58+ >63+ >01+ >00+ P");
  rig.transfer.OnEdidRead();
  EXPECT_EQ(rig.block.Bytes()[8], 0x7A);
  EXPECT_EQ(rig.block.IsDigitalInput(), 1);
  rig.transfer.OnDviAnalog();
  EXPECT_EQ(rig.Monitor().DviSelection(), sim::DviSelect::kAnalog);
  rig.transfer.OnDviAuto();
  EXPECT_EQ(rig.Monitor().DviSelection(), sim::DviSelect::kAuto);
  EXPECT_TRUE(rig.ui.errors.empty());
}

// ---- Channel, page value, menu rules -------------------------------------------------------

TEST(Channel, OnlyTheDiscoveredChannelIsOffered) {
  Rig rig(sim::MakeServiceKitHardware());
  EXPECT_EQ(rig.transfer.Channel(), kChannelServiceKit);
  EXPECT_TRUE(rig.transfer.IsReadEnabled());
  EXPECT_TRUE(rig.transfer.IsWriteEnabled(true));
  EXPECT_FALSE(rig.transfer.IsWriteEnabled(false));
  EXPECT_FALSE(rig.transfer.IsChannelEnabled(kChannelBlackBox));
  EXPECT_TRUE(rig.transfer.IsChannelEnabled(kChannelServiceKit));
  rig.hw->machine.PortOut8(0x378, 0x00);  // disturb the idle levels
  rig.transfer.OnChannel(kChannelServiceKit);
  EXPECT_EQ(rig.hw->machine.Parallel(0x378)->DataLatch(), 0xEE);
  EXPECT_EQ(rig.hw->machine.Parallel(0x378)->ControlLatch(), 0x04);

  Rig bare(sim::MakeBareHardware());
  EXPECT_FALSE(bare.transfer.IsReadEnabled());
  EXPECT_FALSE(bare.transfer.IsWriteEnabled(true));
}

TEST(PageValue, FirstTwoHexadecimalDigits) {
  EXPECT_EQ(ParsePageValue("F8"), 0xF8);
  EXPECT_EQ(ParsePageValue("f0"), 0xF0);
  EXPECT_EQ(ParsePageValue("A"), 0x0A);
  EXPECT_EQ(ParsePageValue("1234"), 0x12);
  EXPECT_EQ(ParsePageValue("7G"), 0x07);
  EXPECT_EQ(ParsePageValue(""), std::nullopt);
  EXPECT_EQ(ParsePageValue("G1"), std::nullopt);
  Rig rig(sim::MakeBlackBoxHardware());
  rig.settings.mappedPage = "";
  EXPECT_EQ(rig.transfer.PageValue(), 0xF8) << "an empty page text falls back to the default page";
}

// ---- S3 card -------------------------------------------------------------------------------

TEST(S3Card, DelayCountIsDividedOnlyAboveFifty) {
  for (const auto& [psPerIteration, expected] : {std::pair<uint64_t, uint32_t>{1'000, 20'000 / 50},
                                                std::pair<uint64_t, uint32_t>{400'000, 50}}) {
    auto hw = sim::MakeS3Hardware();
    hw->clock.SetPsPerIteration(psPerIteration);
    test::FakeUi ui;
    CI2cBus bus(hw->machine, hw->clock, ui);
    EXPECT_EQ(bus.Channel(), kChannelS3);
    EXPECT_EQ(bus.DelayCount(), expected) << psPerIteration;
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], "Vendor ID = 0x8A01\nDevice  ID = 0x06E1");
  }
}

TEST(S3Card, UnknownChipIsShownButNotUsed) {
  sim::S3CardConfig config;
  config.idA = 0x8A22;
  config.idB = 0x1234;
  auto hw = sim::MakeS3Hardware(config);
  test::FakeUi ui;
  CI2cBus bus(hw->machine, hw->clock, ui);
  EXPECT_EQ(bus.Channel(), kChannelNone);
  EXPECT_FALSE(bus.S3Port().IsEnabled());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0], "Vendor ID = 0x8A22\nDevice  ID = 0x1234");
  EXPECT_EQ(hw->machine.S3()->MiscOutput(), config.miscOutput) << "nothing was enabled";
}

TEST(S3Card, AcceptsEachKnownChipAndRestoresItsRegisters) {
  for (uint16_t chip : {0x8A01, 0x8904, 0x8811}) {
    sim::S3CardConfig config;
    config.idA = chip;
    auto hw = sim::MakeS3Hardware(config);
    test::FakeUi ui;
    {
      CI2cBus bus(hw->machine, hw->clock, ui);
      EXPECT_EQ(bus.Channel(), kChannelS3) << std::hex << chip;
      EdidBytes read{};
      EXPECT_EQ(bus.Transfer(0xA1, 0, kEdidSize, read.data()), 0);
    }
    EXPECT_EQ(hw->machine.S3()->MiscOutput(), config.miscOutput);
    EXPECT_EQ(hw->machine.S3()->Crtc(0x53), config.cr53);
  }
}

}  // namespace
}  // namespace tolvex
