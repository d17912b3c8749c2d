// What EDID Write does before and after the bytes go out on the simulated Black Box: what a bus
// error means, what the EEPROM may hold after a failed write, the backup of what it held, and the
// question before another monitor's EDID is replaced.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "ddc/ddc_texts.h"
#include "ddc/edid_transfer.h"
#include "ddc/sim/sim_edid.h"
#include "ddc/sim/sim_hardware.h"
#include "fake_ui.h"
#include "hooked_io.h"
#include "test_support.h"

namespace tolvex {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

struct Rig {
  explicit Rig(const fs::path& backups) { settings.backupFolder = backups.string(); }

  std::unique_ptr<sim::SimHardware> hw = sim::MakeBlackBoxHardware();
  test::HookedIo io{hw->machine};
  EdidBlock block{test::FixedDate(2026, 12, 9)};
  test::FakeUi ui{&block};
  CI2cBus bus{io, hw->clock, ui};
  TransferSettings settings;
  EdidExtensions extensions;
  CEdidTransfer transfer{bus, block, extensions, settings, hw->clock, ui, ui};

  sim::SimMonitor& Monitor() { return hw->machine.Monitor(); }
  EdidBytes Eeprom() {
    EdidBytes bytes;
    std::copy_n(Monitor().AnalogEeprom().Memory().begin(), kEdidSize, bytes.begin());
    return bytes;
  }
  std::string LastError() { return ui.errors.empty() ? "" : ui.errors.back().caption + ": " + ui.errors.back().text; }
};

// Each test keeps its backups in a folder of its own, named by the settings (TOLVEX_BACKUP_DIR
// would win over them, so it is set aside meanwhile).
class WriteSafety : public ::testing::Test {
 protected:
  void SetUp() override {
    kept_ = getenv("TOLVEX_BACKUP_DIR") ? getenv("TOLVEX_BACKUP_DIR") : "";
    unsetenv("TOLVEX_BACKUP_DIR");
    std::string name = (fs::temp_directory_path() / "tolvex-write-safety.XXXXXX").string();
    ASSERT_TRUE(mkdtemp(name.data()));
    folder_ = name;
  }
  void TearDown() override {
    if (!kept_.empty()) setenv("TOLVEX_BACKUP_DIR", kept_.c_str(), 1);
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }
  std::vector<fs::path> Backups() const {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder_)) files.push_back(entry.path());
    return files;
  }

  fs::path folder_;
  std::string kept_;
};

// Another monitor of the same maker: QRS where the simulated monitor is TLV.
void MakeOtherMonitor(EdidBlock& block) {
  block.Bytes() = sim::SimulatedEdid(false);
  block.SetManufacturerId("QRS");
  block.SetProductCode(0xBEEF);
  block.SetSerialNumber(0x01234567);
  block.SelectDescriptor(2);
  block.SetDescriptorText(kTagMonitorName, "WRITE TEST");
  block.UpdateChecksum();
}

TEST(BusStatusHelp, EveryFlagHasOneSentenceAndTheMostTellingWins) {
  const struct {
    uint8_t status;
    const char* begins;
  } cases[] = {
      {0x00, ""},
      {0x0A, "No device answered at the address"},
      {0x84, "SDA is held low"},
      {0x04, "SDA is held low"},
      {0x03, "SCL stayed low past the time limit"},
      {0x01, "SCL stayed low past the time limit"},
      {0x02, "The device refused a byte: an EEPROM that refuses a page is write protected"},
      {0x80, "The START could not be sent"},
      {0x20, "The START of the controller's reply could not be sent"},
      {0x40, "The controller did not let the bus go"},
      {0x10, "The controller's reply did not repeat the command"},
      {0x12, "The controller's reply did not repeat the command"},
  };
  for (const auto& c : cases) {
    const std::string sentence = ExplainBusStatus(c.status);
    EXPECT_THAT(sentence, StartsWith(c.begins)) << int{c.status};
    if (c.status) EXPECT_TRUE(sentence.ends_with(".")) << "one whole sentence: " << sentence;
  }
}

TEST_F(WriteSafety, ErrorsKeepTheirTextAndSayWhatItMeansAndWhatTheEepromHolds) {
  struct Case {
    const char* name;
    std::function<void(Rig&)> fault;
    bool write;
    const char* error;  // exactly as before, the start of the message
    const char* help;   // the next line
    bool mixture;       // a write that had begun: what the EEPROM may hold now
  };
  const Case cases[] = {
      {"unplugged read", [](Rig& r) { r.hw->machine.UnplugMonitor(); }, false,
       "I2C read error: I2C transfer error (0x0A)", "No device answered at the address", false},
      {"SDA held low", [](Rig& r) { r.Monitor().HoldSdaLow(true); }, false,
       "I2C read error: I2C transfer error (0x84)", "SDA is held low", false},
      {"third page refused",
       [](Rig& r) {
         r.io.hook = [&r, refused = false]() mutable {
           if (!refused && r.Monitor().AnalogEeprom().PageWrites() == 2) {
             r.Monitor().RefuseAddresses(1'000'000);
             refused = true;
           }
         };
       },
       true, "I2C write error: I2C transfer error (0x10, 0x0A)", "No device answered at the address", true},
      {"write protected", [](Rig& r) { r.Monitor().SetWriteProtectStuck(true); }, true,
       "Verify error: EDID code verified error", "What was read back differs from what was written", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig(folder_);
    MakeOtherMonitor(rig.block);
    c.fault(rig);
    if (c.write) {
      EXPECT_FALSE(rig.transfer.OnEdidWrite());
    } else {
      rig.transfer.OnEdidRead();
    }
    ASSERT_EQ(rig.ui.errors.size(), 1u);
    EXPECT_THAT(rig.LastError(), StartsWith(std::string(c.error) + "\n" + c.help));
    if (c.mixture) {
      EXPECT_THAT(rig.LastError(), HasSubstr(std::string(texts::kMixtureNote) + " The old EDID was kept in " +
                                             rig.transfer.BackupPath() + " and can be written back"));
    } else {
      EXPECT_THAT(rig.LastError(), Not(HasSubstr(texts::kMixtureNote)));
    }
  }
}

TEST_F(WriteSafety, AWriteKeepsWhatTheEepromHeldAndAsksBeforeReplacingAnotherMonitor) {
  const EdidBytes simulated = sim::SimulatedEdid(false);
  struct Case {
    const char* name;
    std::function<void(Rig&)> prepare;
    bool answer;         // to the question, where one comes
    bool asked;
    bool written;
    bool backup;         // a file with the old bytes
  };
  const Case cases[] = {
      {"another monitor, cancelled", [](Rig&) {}, false, true, false, false},
      {"another monitor, replaced", [](Rig&) {}, true, true, true, true},
      {"the same monitor", [&](Rig& r) { r.block.Bytes() = simulated; }, false, false, true, true},
      {"the same model, another serial",
       [&](Rig& r) {
         r.block.Bytes() = simulated;
         r.block.SetSerialNumber(0x00012346);
         r.block.UpdateChecksum();
       },
       false, true, false, false},
      {"a blank EEPROM",
       [](Rig& r) { std::fill_n(r.Monitor().AnalogEeprom().Memory().begin(), 256, 0xFF); }, false, false, true,
       false},
      {"backups turned off", [](Rig& r) { r.settings.keepBackups = false; }, true, true, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(folder_);
    fs::create_directory(folder_);
    Rig rig(folder_);
    MakeOtherMonitor(rig.block);
    c.prepare(rig);
    rig.ui.replaceAnswer = c.answer;
    const EdidBytes held = rig.Eeprom();
    const bool verified = rig.transfer.OnEdidWrite();

    EXPECT_TRUE(rig.ui.errors.empty()) << rig.LastError();
    EXPECT_EQ(verified, c.written);
    EXPECT_EQ(rig.Eeprom(), c.written ? rig.block.Bytes() : held);
    ASSERT_EQ(rig.ui.replaceQuestions.size(), c.asked ? 1u : 0u);
    if (std::string(c.name).starts_with("another monitor")) {
      EXPECT_EQ(rig.ui.replaceQuestions[0],
                "The monitor's EEPROM holds the EDID of another monitor.\n"
                "  It holds: TLV 0x0301, serial 0x00012345, \"TOLVEX SIM17\"\n"
                "  To be written: QRS 0xBEEF, serial 0x01234567, \"WRITE TEST\"\n"
                "Writing replaces it with 1 blocks (128 bytes).\n\nReplace it?");
    }
    if (c.asked && !c.answer) {
      ASSERT_FALSE(rig.ui.notes.empty()) << (rig.ui.statusTexts.empty() ? "" : rig.ui.statusTexts.back());
      EXPECT_EQ(rig.ui.notes.back(), texts::kReplaceCancelled);
      EXPECT_EQ(rig.Monitor().AnalogEeprom().PageWrites(), 0u);
    }
    const std::vector<fs::path> backups = Backups();
    ASSERT_EQ(backups.size(), c.backup ? 1u : 0u);
    if (c.backup) {
      EXPECT_EQ(backups[0].string(), rig.transfer.BackupPath());
      EXPECT_EQ(test::ReadFile(backups[0]), std::string(held.begin(), held.end()));
      EXPECT_THAT(rig.ui.notes, ::testing::Contains("the old EDID was kept in " + backups[0].string()));
    } else {
      EXPECT_TRUE(rig.transfer.BackupPath().empty());
    }
  }

  // A backup that cannot be written stops the write before a byte goes out.
  Rig rig(folder_ / "file");
  std::ofstream(folder_ / "file") << "in the way";
  MakeOtherMonitor(rig.block);
  const EdidBytes held = rig.Eeprom();
  EXPECT_FALSE(rig.transfer.OnEdidWrite());
  EXPECT_THAT(rig.LastError(), StartsWith("Backup failed: The EDID the EEPROM holds could not be kept before the "
                                          "write: " + (folder_ / "file").string() + ": "));
  EXPECT_THAT(rig.LastError(), HasSubstr("Nothing was written."));
  EXPECT_EQ(rig.Eeprom(), held);
  EXPECT_EQ(rig.Monitor().AnalogEeprom().PageWrites(), 0u);
}

}  // namespace
}  // namespace tolvex
