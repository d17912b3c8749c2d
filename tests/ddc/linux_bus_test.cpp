// The transfer commands over both bus implementations: the bit-banged Black Box and a kernel I2C
// bus through i2c-dev, whose I2C_RDWR calls a simulated kernel clocks onto the same bit-level
// monitor. Same messages on both; the kernel bus adds its safety checks and write-protect.
#include <linux/i2c-dev.h>
#include <linux/i2c.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <memory>

#include "ddc/edid_transfer.h"
#include "ddc/i2c_operations.h"
#include "ddc/linux/linux_channels.h"
#include "ddc/sim/sim_hardware.h"
#include "fake_ui.h"
#include "model/edid_extensions.h"
#include "test_support.h"

namespace tolvex {
namespace {

using ::testing::StartsWith;

enum class Route { kBlackBox, kKernel };

// A block the monitor does not hold yet.
void FillTestBlock(EdidBlock& block) {
  block.SetManufacturerId("QRS");
  block.SetProductCode(0xBEEF);
  block.SetSerialNumber(0x01234567);
  block.SelectDescriptor(1);
  block.SetDescriptorText(kTagMonitorName, "WRITE TEST");
  block.UpdateChecksum();
}

struct Rig {
  explicit Rig(Route route, BusChoice choice = {true, false}, std::function<void(sim::SimHardware&)> setUp = {})
      : hw(route == Route::kKernel ? sim::MakeI2cDevHardware() : sim::MakeBlackBoxHardware()) {
    if (setUp) setUp(*hw);
    if (route == Route::kBlackBox) {
      bitBus = std::make_unique<CI2cBus>(hw->machine, hw->clock, ui);
      transfer = std::make_unique<CEdidTransfer>(*bitBus, block, extensions, settings, hw->clock, ui, ui);
      return;
    }
    discovery = DiscoverLinux(hw->files, {});
    kernelBus = OpenLinuxBus(discovery, hw->kernel, hw->clock, sim::kSimMonitorBus, choice, openError);
    if (kernelBus) transfer = std::make_unique<CEdidTransfer>(*kernelBus, block, extensions, settings, hw->clock, ui, ui);
  }

  sim::SimMonitor& Monitor() { return hw->machine.Monitor(); }
  EdidBytes Eeprom() {
    EdidBytes bytes;
    std::copy_n(Monitor().AnalogEeprom().Memory().begin(), kEdidSize, bytes.begin());
    return bytes;
  }
  std::string LastError() { return ui.errors.empty() ? "" : ui.errors.back().caption + ": " + ui.errors.back().text; }

  std::unique_ptr<sim::SimHardware> hw;
  EdidBlock block{test::FixedDate(2026, 12, 8)};
  test::FakeUi ui{&block};
  TransferSettings settings;
  EdidExtensions extensions;
  LinuxDiscovery discovery;
  std::string openError;
  std::unique_ptr<CI2cBus> bitBus;
  std::unique_ptr<CI2cDevBus> kernelBus;
  std::unique_ptr<CEdidTransfer> transfer;
};

// An E-DDC monitor of 512 bytes, and a base block with two extension blocks for it; the whole EDID.
std::vector<uint8_t> FillThreeBlockEdid(Rig& rig) {
  rig.Monitor().SetEepromSize(512);
  FillTestBlock(rig.block);
  rig.block.Bytes()[126] = 2;
  rig.block.UpdateChecksum();
  rig.extensions.blocks = {test::MakeCtaBlock(), test::MakeExtensionBlock(kTagDisplayId, 9)};
  return JoinWholeEdid(rig.block.Bytes(), rig.extensions);
}

class BothBuses : public ::testing::TestWithParam<Route> {};

TEST_P(BothBuses, ReadPutsTheSameTransactionOnTheWire) {
  Rig rig(GetParam());
  ASSERT_TRUE(rig.transfer) << rig.openError;
  rig.Monitor().Trace().Clear();
  rig.transfer->OnEdidRead();
  EXPECT_TRUE(rig.ui.errors.empty()) << rig.LastError();
  EXPECT_TRUE(std::equal(rig.block.Bytes().begin(), rig.block.Bytes().end() - 1, rig.Eeprom().begin()));
  const std::string trace = rig.Monitor().Trace().ToString();
  EXPECT_EQ(trace.rfind("S >A0+ >00+ Sr >A1+ ", 0), 0u) << trace.substr(0, 40);
  EXPECT_EQ(std::count(trace.begin(), trace.end(), '<'), 128);
  // The block's transaction, then the probe that shows the monitor was there for all of it.
  EXPECT_EQ(trace.substr(trace.size() - 12), "- P S >A0+ P") << trace.substr(trace.size() - 40);
  EXPECT_EQ(rig.Monitor().Bus().TimingViolations(), 0u) << rig.Monitor().Bus().FirstTimingViolation();
  if (GetParam() == Route::kKernel) {
    EXPECT_EQ(rig.kernelBus->Calls(), 2u) << "one I2C_RDWR with two messages, and the probe";
  }
}

TEST_P(BothBuses, WriteAndVerifyInEveryProtocol) {
  for (uint32_t protocol : {kProtocolDdc2b, kProtocolAocTx3, kProtocolAocTx12}) {
    Rig rig(GetParam());
    ASSERT_TRUE(rig.transfer) << rig.openError;
    rig.settings.protocol = protocol;
    FillTestBlock(rig.block);
    rig.transfer->OnEdidWrite();
    EXPECT_TRUE(rig.ui.errors.empty()) << protocol << " " << rig.LastError();
    EXPECT_EQ(rig.Eeprom(), rig.block.Bytes()) << protocol;
  }
}

TEST_P(BothBuses, FactoryPageAndDviSwitch) {
  Rig rig(GetParam());
  ASSERT_TRUE(rig.transfer) << rig.openError;
  FillTestBlock(rig.block);
  rig.settings.softwareDdcOnly = true;
  rig.settings.factoryEnable = 1;
  rig.settings.mappedPage = "F0";
  rig.transfer->OnEdidWrite();
  EXPECT_TRUE(rig.ui.errors.empty()) << rig.LastError();
  EXPECT_EQ(rig.Eeprom(), rig.block.Bytes());
  const EdidBytes written = rig.block.Bytes();
  rig.block.Bytes().fill(0);
  rig.transfer->OnEdidRead();
  EXPECT_EQ(rig.block.Bytes(), written) << "Software DDC only reads the page back";

  rig.Monitor().Trace().Clear();
  rig.transfer->OnDviDigital();
  EXPECT_EQ(rig.Monitor().Trace().ToString(), "S >58+ >63+ >01+ >00+ P");
}

TEST_P(BothBuses, FaultsGiveTheSameMessages) {
  struct Case {
    const char* name;
    std::function<void(sim::SimMonitor&)> fault;
    uint32_t protocol;
    bool write;
    const char* error;
  };
  const Case cases[] = {
      {"SDA held low", [](sim::SimMonitor& m) { m.HoldSdaLow(true); }, kProtocolDdc2b, false,
       "I2C read error: I2C transfer error (0x84)"},
      {"no EEPROM", [](sim::SimMonitor& m) { m.SetDevicePresent(sim::SimDevice::kAnalogEeprom, false); },
       kProtocolDdc2b, false, "I2C read error: I2C transfer error (0x0A)"},
      {"no controller", [](sim::SimMonitor& m) { m.SetDevicePresent(sim::SimDevice::kController1, false); },
       kProtocolAocTx3, true, "I2C write error: Addr(0x00), Data(0xFA), Error(0x0A)"},
      // The kernel bus addresses the controller once before reading its reply, and that
      // transaction's byte counts too: the reply's fifth byte is the sixth sent.
      {"reply byte corrupted",
       [kernel = GetParam() == Route::kKernel](sim::SimMonitor& m) { m.CorruptReadByte(kernel ? 5 : 4, 0x80); },
       kProtocolAocTx12, false, "I2C read error: Addr(0x00), Data(0x00), Error(0x10)"},
  };
  for (const Case& c : cases) {
    Rig rig(GetParam());
    ASSERT_TRUE(rig.transfer) << rig.openError;
    rig.settings.protocol = c.protocol;
    FillTestBlock(rig.block);
    const EdidBytes before = rig.block.Bytes();
    c.fault(rig.Monitor());
    if (c.write) {
      EXPECT_FALSE(rig.transfer->OnEdidWrite()) << c.name;
    } else {
      rig.transfer->OnEdidRead();
    }
    EXPECT_THAT(rig.LastError(), StartsWith(c.error)) << c.name;
    EXPECT_EQ(rig.block.Bytes(), before) << c.name;
    EXPECT_FALSE(rig.ui.waitCursor) << c.name;
  }
}

INSTANTIATE_TEST_SUITE_P(Routes, BothBuses, ::testing::Values(Route::kBlackBox, Route::kKernel),
                         [](const auto& info) { return std::string(info.param == Route::kKernel ? "I2cDev" : "BlackBox"); });

// ---- What only the kernel's buses do -------------------------------------------------------

TEST(KernelBus, WriteProtectedEepromIsNamedAndKeepsItsBytes) {
  Rig rig(Route::kKernel);
  ASSERT_TRUE(rig.transfer) << rig.openError;
  rig.Monitor().SetWriteProtectStuck(true);
  FillTestBlock(rig.block);
  const EdidBytes before = rig.Eeprom();
  rig.transfer->OnEdidWrite();
  EXPECT_EQ(rig.LastError(),
            "EEPROM write-protected: The EEPROM still holds its previous EDID: many monitors lock their DDC EEPROM "
            "against writes");
  EXPECT_EQ(rig.Eeprom(), before);
}

TEST(KernelBus, WritePollsEachPageAndGivesUpAfter25Ms) {
  Rig rig(Route::kKernel);
  ASSERT_TRUE(rig.transfer) << rig.openError;
  FillTestBlock(rig.block);
  rig.Monitor().Trace().Clear();
  rig.transfer->OnEdidWrite();
  ASSERT_TRUE(rig.ui.errors.empty()) << rig.LastError();
  const std::string trace = rig.Monitor().Trace().ToString();
  EXPECT_NE(trace.find("P S >A0- P S >A0- P"), std::string::npos) << "address-only polls during the write cycle";

  Rig slow(Route::kKernel);
  slow.Monitor().SetWriteCycleUs(40'000);
  FillTestBlock(slow.block);
  EXPECT_EQ(slow.kernelBus->RefuseWrites(), "") << "the probe for SPD EEPROMs, asked once before the first write";
  const uint64_t start = slow.hw->time.Us();
  slow.transfer->OnEdidWrite();
  EXPECT_THAT(slow.LastError(), StartsWith("I2C write error: I2C transfer error (0x00, 0x0A)"));
  // The read before the write takes well under a millisecond of it.
  EXPECT_LT(slow.hw->time.Us() - start, 41'000u) << "no more than the at24 budget after the first page";
}

// The segment pointer's STOP would set it back to segment 0, so each transfer beyond the word
// address must be one I2C_RDWR call: 0x60 [segment], 0xA0 [offset], 0xA1 with repeated STARTs.
TEST(KernelBus, A384ByteEdidGoesThroughTheSegmentPointerInOneCallPerTransfer) {
  Rig rig(Route::kKernel);
  ASSERT_TRUE(rig.transfer) << rig.openError;
  const std::vector<uint8_t> whole = FillThreeBlockEdid(rig);
  rig.Monitor().Trace().SetCapacity(size_t{1} << 20);

  rig.transfer->OnEdidWrite();
  ASSERT_TRUE(rig.ui.errors.empty()) << rig.LastError();
  const std::vector<uint8_t>& memory = rig.Monitor().AnalogEeprom().Memory();
  EXPECT_TRUE(std::equal(whole.begin(), whole.end(), memory.begin()));
  EXPECT_NE(rig.Monitor().Trace().ToString().find("S >60+ >01+ Sr >A0+ >00+ >70+"), std::string::npos);

  rig.block.Bytes().fill(0);
  rig.extensions.Clear();
  rig.Monitor().Trace().Clear();
  const uint64_t callsBefore = rig.kernelBus->Calls();
  rig.ui.notes.clear();  // the write's, naming its backup
  rig.transfer->OnEdidRead();
  ASSERT_TRUE(rig.ui.errors.empty()) << rig.LastError();
  EXPECT_EQ(JoinWholeEdid(rig.block.Bytes(), rig.extensions), whole);
  EXPECT_TRUE(rig.ui.notes.empty()) << rig.ui.notes.front();
  const std::string trace = rig.Monitor().Trace().ToString();
  EXPECT_NE(trace.find("S >60+ >01+ Sr >A0+ >00+ Sr >A1+ <70+"), std::string::npos) << "one transaction";
  EXPECT_EQ(rig.kernelBus->Calls() - callsBefore, 7u)
      << "base, block 1, the segment pointer's probe, block 2, each block followed by the presence probe";
  EXPECT_EQ(rig.Monitor().Bus().TimingViolations(), 0u) << rig.Monitor().Bus().FirstTimingViolation();
}

TEST(KernelBus, WritesOnlyOverAnEdidOrBlankBytesUnlessForcedOrAgreed) {
  const auto garbage = [](sim::SimHardware& hw) { hw.machine.Monitor().AnalogEeprom().Memory()[0] = 0x12; };
  {
    Rig rig(Route::kKernel, {true, false}, garbage);
    FillTestBlock(rig.block);
    const uint64_t writesBefore = rig.Monitor().AnalogEeprom().PageWrites();
    rig.transfer->OnEdidWrite();
    EXPECT_EQ(rig.LastError(),
              "I2C bus refused: /dev/i2c-3 (card0-HDMI-A-1): refused: the EEPROM at 0xA0 holds neither an EDID header "
              "nor blank bytes");
    EXPECT_EQ(rig.Monitor().AnalogEeprom().PageWrites(), writesBefore);
  }
  {
    Rig rig(Route::kKernel, {true, true}, garbage);
    FillTestBlock(rig.block);
    rig.transfer->OnEdidWrite();
    EXPECT_TRUE(rig.ui.errors.empty()) << rig.LastError();
    EXPECT_EQ(rig.Eeprom(), rig.block.Bytes());
  }
  {
    Rig rig(Route::kKernel, {true, false}, [](sim::SimHardware& hw) { auto& memory = hw.machine.Monitor().AnalogEeprom().Memory(); std::fill(memory.begin(), memory.end(), 0xFF); });
    FillTestBlock(rig.block);
    rig.transfer->OnEdidWrite();
    EXPECT_TRUE(rig.ui.errors.empty()) << "a blank EEPROM needs nobody's agreement: " << rig.LastError();
  }
  {
    // The desktop program asks instead of refusing.
    struct AgreeingUi final : TransferUi {
      void SetStatusText(std::string_view) override {}
      void ShowError(std::string_view text, std::string_view) override { error = text; }
      void SetWaitCursor(bool) override {}
      bool ConfirmRisk(std::string_view text) override {
        question = text;
        return true;
      }
      std::string question, error;
    } agreeing;
    Rig rig(Route::kKernel, {true, false}, garbage);
    FillTestBlock(rig.block);
    CEdidTransfer transfer(*rig.kernelBus, rig.block, rig.extensions, rig.settings, rig.hw->clock, agreeing, rig.ui);
    transfer.OnEdidWrite();
    EXPECT_NE(agreeing.question.find("neither an EDID header nor blank bytes\n\nWrite anyway?"), std::string::npos);
    EXPECT_TRUE(agreeing.error.empty()) << agreeing.error;
    EXPECT_EQ(rig.Eeprom(), rig.block.Bytes());
  }
}

TEST(KernelBus, SmbusWithMemoryModulesIsRefusedWithNothingSent) {
  for (BusChoice choice : {BusChoice{false, false}, BusChoice{true, false}, BusChoice{true, true}}) {
    auto hw = sim::MakeI2cDevHardware();
    const LinuxDiscovery discovery = DiscoverLinux(hw->files, {});
    std::string error;
    EXPECT_FALSE(OpenLinuxBus(discovery, hw->kernel, hw->clock, sim::kSimSmbus, choice, error));
    EXPECT_EQ(error,
              "/dev/i2c-0 (SMBus I801 adapter at efa0): refused: memory modules' SPD EEPROMs are on this bus (address "
              "0x50 belongs to the kernel driver ee1004), and writing one can leave the PC unable to boot");
    EXPECT_EQ(hw->kernel.RdwrCalls(), 0u);
    EXPECT_EQ(hw->kernel.OpenFiles(), 0);
  }
}

// Memory modules' SPD EEPROMs that no kernel driver took: the probe before the first write finds
// more than one device at 0x50-0x57, and no --force gets a byte written there.
TEST(KernelBus, SeveralDevicesAt0x50To0x57TakeNoWriteEvenForced) {
  class Dimms final : public sim::I2cTarget {
   public:
    void OnStart(bool) override {}
    void OnStop() override {}
    bool OnAddress(uint8_t address) override { return (address >> 1) >= 0x50 && (address >> 1) <= 0x53; }
    bool OnWriteByte(uint8_t) override {
      ++written;
      return true;
    }
    sim::ReadReply OnReadByte() override { return {0x92, 0}; }
    int written = 0;
  } dimms;
  std::unique_ptr<sim::SimI2cSlave> slave;
  Rig rig(Route::kKernel, {true, true}, [&](sim::SimHardware& hw) {
    slave = std::make_unique<sim::SimI2cSlave>(dimms, hw.time);
    hw.kernel.AddBus(sim::kSimMonitorBus, std::make_unique<sim::SimBitBangAdapter>(hw.time, slave.get()));
  });
  ASSERT_TRUE(rig.transfer) << rig.openError;
  FillTestBlock(rig.block);
  rig.transfer->OnEdidWrite();
  EXPECT_EQ(rig.LastError(),
            "I2C bus refused: /dev/i2c-3 (card0-HDMI-A-1): refused: more than one device answers at 0x50-0x57 (0x50, "
            "0x51, 0x52, 0x53), as memory modules' SPD EEPROMs do, and writing one can leave the PC unable to boot");
  EXPECT_EQ(dimms.written, 0) << "not even a word address";
}

// USB I2C adapters whose drivers refuse what the chip cannot do: the bus finds a way round each
// limit, says which, and the EDID and its extension block are written, verified and read back.
TEST(KernelBus, UsbAdaptersLimitsAreWorkedRoundAndNamed) {
  struct Case {
    const char* name;
    sim::SimAdapterLimits limits;
    std::vector<std::string> notes;
  };
  const std::vector<Case> cases = {
      {"none", {}, {}},
      {"CP2112",
       sim::kCp2112Limits,
       {"/dev/i2c-3: a one-byte read asked for the device at 0xA0: the adapter refused a zero-length write "
        "(Operation not supported)"}},
      {"no repeated START",
       {0, 0, false, true, false},
       {"/dev/i2c-3: each of 2 messages went in a transfer of its own: the adapter refused them combined "
        "(Operation not supported)"}},
      {"reads of 48 bytes at most",
       {0, 48, false, false, false},
       {"/dev/i2c-3: each of 2 messages went in a transfer of its own: the adapter refused them combined "
        "(Invalid argument)",
        "/dev/i2c-3: reads went in pieces of at most 32 bytes: the adapter refused longer ones (Invalid argument)"}},
  };
  for (const Case& c : cases) {
    Rig rig(Route::kKernel, {true, false}, [&c](sim::SimHardware& hw) {
      hw.kernel.AddBus(sim::kSimMonitorBus,
                       std::make_unique<sim::SimBitBangAdapter>(hw.time, &hw.machine.Monitor().Bus()), {}, c.limits);
    });
    ASSERT_TRUE(rig.transfer) << c.name << ": " << rig.openError;
    FillTestBlock(rig.block);
    rig.block.Bytes()[126] = 1;
    rig.block.UpdateChecksum();
    rig.extensions.blocks = {test::MakeCtaBlock()};
    const std::vector<uint8_t> whole = JoinWholeEdid(rig.block.Bytes(), rig.extensions);
    rig.transfer->OnEdidWrite();
    EXPECT_EQ(rig.LastError(), "") << c.name;
    const std::vector<uint8_t>& memory = rig.Monitor().AnalogEeprom().Memory();
    EXPECT_TRUE(std::equal(whole.begin(), whole.end(), memory.begin())) << c.name;
    rig.block.Bytes().fill(0);
    rig.extensions.Clear();
    rig.transfer->OnEdidRead();
    EXPECT_EQ(JoinWholeEdid(rig.block.Bytes(), rig.extensions), whole) << c.name;
    EXPECT_EQ(rig.kernelBus->FallbackNotes(), c.notes) << c.name;
    EXPECT_EQ(rig.hw->kernel.RdwrRefused() > 0, !c.notes.empty()) << c.name;
  }

  // Blocks beyond 256 bytes go through the segment pointer, whose transfer is never split: split,
  // its STOP would set the segment back to 0 and the later blocks would land on the first ones.
  Rig rig(Route::kKernel, {true, false}, [](sim::SimHardware& hw) {
    hw.kernel.AddBus(sim::kSimMonitorBus,
                     std::make_unique<sim::SimBitBangAdapter>(hw.time, &hw.machine.Monitor().Bus()), {},
                     sim::SimAdapterLimits{0, 0, false, true, false});
  });
  const std::vector<uint8_t> whole = FillThreeBlockEdid(rig);
  rig.transfer->OnEdidWrite();
  EXPECT_NE(rig.LastError(), "");
  const std::vector<uint8_t>& memory = rig.Monitor().AnalogEeprom().Memory();
  EXPECT_TRUE(std::equal(whole.begin(), whole.begin() + 256, memory.begin())) << "the first segment keeps its blocks";
}

// ---- Kernel errors -------------------------------------------------------------------------

// A kernel whose one bus answers I2C_RDWR with a chosen error.
class ScriptedKernel final : public KernelDevices {
 public:
  int rdwrError = 0;
  unsigned long functions = I2C_FUNC_I2C;
  int openError = 0;

  int Open(const std::string&, int) override { return openError ? -openError : 7; }
  int Close(int) override { return 0; }
  int Ioctl(int, unsigned long request, uintptr_t argument) override {
    if (request == I2C_FUNCS) *reinterpret_cast<unsigned long*>(argument) = functions;
    if (request == I2C_RDWR) return rdwrError ? -rdwrError : static_cast<int>(reinterpret_cast<i2c_rdwr_ioctl_data*>(argument)->nmsgs);
    return 0;
  }
};

I2cAdapter DisplayAdapter() {
  I2cAdapter adapter;
  adapter.number = 5;
  adapter.name = "AMDGPU DM i2c hw bus 1";
  adapter.device = "/dev/i2c-5";
  adapter.pciClass = 0x030000;
  return adapter;
}

TEST(KernelBus, KernelErrorsBecomeBusStatusAndStatusLessOnesAreNamed) {
  struct Case {
    int error;
    uint8_t status;
    const char* detail;
  };
  const Case cases[] = {
      {ENXIO, 0x0A, ""},
      {EREMOTEIO, 0x0A, ""},
      {EIO, 0x02, ""},
      {ETIMEDOUT, 0x01, ""},
      {EBUSY, 0x84, ""},
      {ENODEV, 0x01, "/dev/i2c-5: No such device"},
  };
  for (const Case& c : cases) {
    ScriptedKernel kernel;
    kernel.rdwrError = c.error;
    sim::SimTime time;
    sim::SimClock clock(time);
    std::string error;
    auto bus = CI2cDevBus::Open(kernel, clock, DisplayAdapter(), "/dev/i2c-5", {}, error);
    ASSERT_TRUE(bus) << error;
    EdidBytes buffer{};
    EXPECT_EQ(EepromTransfer(*bus, 0xA1, 0, kEdidSize, buffer.data()), c.status) << c.error;
    EXPECT_EQ(bus->FailureDetail(), c.detail) << c.error;
  }
}

TEST(KernelBus, OpeningSaysWhatToDo) {
  struct Case {
    int openError;
    unsigned long functions;
    const char* expected;  // the start of the message
  };
  const Case cases[] = {
      {EACCES, I2C_FUNC_I2C, "/dev/i2c-5: permission denied. Add your user to the i2c group"},
      {ENOENT, I2C_FUNC_I2C, "/dev/i2c-5 does not exist: load the kernel's i2c-dev module"},
      {0, I2C_FUNC_SMBUS_BYTE, "/dev/i2c-5: refused: the adapter does SMBus commands only"},
  };
  for (const Case& c : cases) {
    ScriptedKernel kernel;
    kernel.openError = c.openError;
    kernel.functions = c.functions;
    sim::SimTime time;
    sim::SimClock clock(time);
    std::string error;
    EXPECT_FALSE(CI2cDevBus::Open(kernel, clock, DisplayAdapter(), "/dev/i2c-5", {}, error));
    EXPECT_EQ(error.rfind(c.expected, 0), 0u) << error;
  }
}

}  // namespace
}  // namespace tolvex
