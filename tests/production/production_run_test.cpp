#include "production/production_run.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>

#include "ddc/sim/sim_edid.h"
#include "production/production_texts.h"
#include "test_support.h"

namespace tolvex {
namespace {

namespace fs = std::filesystem;

class FakeClock final : public Clock {
 public:
  uint64_t NowMs() override { return ms; }
  void SleepMs(uint32_t sleep) override { ms += sleep; }
  void CountDown(uint64_t) override {}
  uint64_t ms = 0;
};

// Verifies or fails units as scripted; what it was given is kept.
class FakeWriter final : public UnitWriter {
 public:
  UnitOutcome WriteUnit(const EdidBytes& bytes, const EdidExtensions& extensions) override {
    written.push_back(bytes);
    extensionsWritten.push_back(extensions.Count());
    if (duringWrite) duringWrite();
    const bool verified = failures.empty() || !failures.front();
    if (!failures.empty()) failures.pop_front();
    if (verified) return {true, production_texts::kVerified, {}};
    return {false, "Verify error: EDID code verified error", {{12, bytes[12], 0xFF}}};
  }
  std::vector<EdidBytes> written;
  std::vector<int> extensionsWritten;
  std::deque<bool> failures;
  std::function<void()> duringWrite;
};

class Recorder final : public ProductionEvents {
 public:
  void OnStatus(std::string_view text) override { statuses.emplace_back(text); }
  void OnUnitDone(const UnitRecord& record) override { units.push_back(record); }
  void OnRunError(std::string_view text) override { errors.emplace_back(text); }
  std::vector<std::string> statuses;
  std::vector<UnitRecord> units;
  std::vector<std::string> errors;
};

class ProductionRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tolvex-run-test-" + std::to_string(getpid()));
    fs::create_directories(dir_);
    EdidBlock block(test::FixedDate(2024, 1, 1));
    sim::FillSimulatedEdid(block, false);
    block.UpdateChecksum();
    setup_.base = block.Bytes();
    setup_.serialFormat = kSerialDecimal;
    std::string error;
    setup_.plan.field = SerialField::kBoth;
    setup_.plan.text = *SerialTemplate::Parse("SN{:05d}", error);
    setup_.counterPath = (dir_ / "counter").string();
    setup_.logPath = (dir_ / "log.csv").string();
    std::ofstream(setup_.counterPath) << "100\n";
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Presence answers as scripted, one per poll; the last answer stays.
  ProductionHooks Hooks(std::deque<bool> presence) {
    ProductionHooks hooks;
    presence_ = std::move(presence);
    hooks.monitorAnswers = [this] {
      pollTimes_.push_back(clock_.ms);
      const bool answer = presence_.front();
      if (presence_.size() > 1) presence_.pop_front();
      return answer;
    };
    hooks.stopRequested = [this] { return stop_; };
    hooks.moreUnitsMayCome = [this] { return more_; };
    hooks.today = [] { return CalendarDate{2024, 3, 5}; };
    return hooks;
  }
  int LogLines() const {
    std::ifstream in(setup_.logPath);
    int lines = 0;
    for (std::string line; std::getline(in, line);) ++lines;
    return lines;
  }

  fs::path dir_;
  ProductionSetup setup_;
  FakeClock clock_;
  FakeWriter writer_;
  Recorder events_;
  std::deque<bool> presence_;
  std::vector<uint64_t> pollTimes_;
  bool stop_ = false;
  bool more_ = true;
};

// While a unit is programmed its number is already off the counter, so a kill at that moment can
// leave a number unused but never give it to the next unit; a failed unit gives it back.
TEST_F(ProductionRunTest, EachUnitGetsTheNextNumberReservedAndKeepsItOnlyWhenVerified) {
  writer_.failures = {false, true, false};
  // Unit 1 arrives after a glitch, leaves; unit 2 fails and leaves; unit 3 arrives and is the last.
  ProductionRun run(setup_, writer_, clock_, events_,
                    Hooks({false, true, false, true, true, false, false, true, true, false, false, true, true}));
  std::vector<std::string> counterDuringWrite;
  writer_.duringWrite = [&] {
    more_ = writer_.written.size() < 3;
    counterDuringWrite.push_back(test::ReadFile(setup_.counterPath));
  };
  const RunSummary summary = run.RunRepeat();
  EXPECT_EQ(counterDuringWrite, (std::vector<std::string>{"101\n", "102\n", "102\n"}));

  EXPECT_EQ(summary.passed, 2);
  EXPECT_EQ(summary.failed, 1);
  EXPECT_FALSE(summary.stopped || summary.runError);
  ASSERT_EQ(events_.units.size(), 3u);
  const char* serials[] = {"SN00100", "SN00101", "SN00101"};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(events_.units[i].serialText, serials[i]);
  EXPECT_EQ(writer_.written[1][12], 101) << "the binary field too";
  EXPECT_EQ(events_.units[1].differences.size(), 1u);
  EXPECT_EQ(test::ReadFile(setup_.counterPath), "102\n");
  EXPECT_EQ(LogLines(), 4) << "the header and one line per attempt";
  for (size_t i = 1; i < pollTimes_.size(); ++i) {
    EXPECT_GE(pollTimes_[i] - pollTimes_[i - 1], ProductionRun::kPollIntervalMs) << "poll " << i;
  }
}

TEST_F(ProductionRunTest, AStopDuringAUnitEndsTheRunAfterIt) {
  ProductionRun run(setup_, writer_, clock_, events_, Hooks({true}));
  writer_.duringWrite = [&] { stop_ = true; };
  const RunSummary summary = run.RunRepeat();
  EXPECT_TRUE(summary.stopped);
  EXPECT_EQ(summary.passed, 1) << "the unit was finished, counted and logged";
  EXPECT_EQ(test::ReadFile(setup_.counterPath), "101\n");
  EXPECT_EQ(LogLines(), 2);
}

TEST_F(ProductionRunTest, AUnitWhoseLogLineCannotBeWrittenIsStillCounted) {
  ProductionRun run(setup_, writer_, clock_, events_, Hooks({true, true, false, false, true, true}));
  writer_.duringWrite = [&] {
    if (writer_.written.size() < 2) return;
    fs::remove(setup_.logPath);
    fs::create_directory(setup_.logPath);
  };
  const RunSummary summary = run.RunRepeat();
  EXPECT_TRUE(summary.runError);
  EXPECT_EQ(summary.passed, 2) << "two units were verified, as two PASS lines say";
  ASSERT_EQ(events_.units.size(), 2u);
  EXPECT_EQ(test::ReadFile(setup_.counterPath), "102\n");
}

TEST_F(ProductionRunTest, ASerialThatNoLongerFitsEndsTheRunWithTheCounterAlone) {
  std::ofstream(setup_.counterPath) << "99999999999999\n";  // 14 digits: too long for the descriptor
  ProductionRun run(setup_, writer_, clock_, events_, Hooks({true}));
  EXPECT_EQ(run.ProgramUnit(), UnitResult::kRunError);
  EXPECT_TRUE(writer_.written.empty()) << "nothing was written";
  ASSERT_EQ(events_.errors.size(), 1u);
  EXPECT_EQ(test::ReadFile(setup_.counterPath), "99999999999999\n");
  EXPECT_TRUE(CheckSetup(setup_, {2024, 3, 5})) << "the check before the run finds it too";
}

TEST_F(ProductionRunTest, EveryUnitGetsTheExtensionBlocksAndAWholeEdidWriteWouldRefuseIsRefusedFirst) {
  setup_.extensions.blocks = {test::MakeCtaBlock()};
  EXPECT_EQ(CheckSetup(setup_, {2024, 3, 5}), std::optional<std::string>(
                "Byte 126 of the base block announces 0 extension blocks, but the EDID holds 1."));
  setup_.base[126] = 1;
  EXPECT_EQ(CheckSetup(setup_, {2024, 3, 5}), std::nullopt) << "the unit's base block gets its own checksum";
  ProductionRun run(setup_, writer_, clock_, events_, Hooks({true}));
  EXPECT_EQ(run.ProgramUnit(), UnitResult::kVerified);
  EXPECT_EQ(writer_.extensionsWritten, std::vector<int>{1});
}

}  // namespace
}  // namespace tolvex
