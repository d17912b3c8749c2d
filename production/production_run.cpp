#include "production/production_run.h"

#include <pthread.h>

#include <csignal>

#include "ddc/edid_transfer.h"
#include "ddc/format_text.h"
#include "production/production_texts.h"

namespace tolvex {

std::optional<UnitBlock> NextUnit(const ProductionSetup& setup, const CalendarDate& today, std::string& error) {
  std::optional<uint64_t> number;
  if (!setup.counterPath.empty()) {
    uint64_t next = 0;
    if (!SerialCounter::Read(setup.counterPath, next, error)) return std::nullopt;
    number = next;
  }
  return MakeUnitBlock(setup.base, setup.serialFormat, number, today, setup.plan, error);
}

std::optional<std::string> CheckSetup(const ProductionSetup& setup, const CalendarDate& today) {
  std::string error;
  uint64_t number = 0;
  if (!setup.counterPath.empty() && !SerialCounter::CheckUsable(setup.counterPath, number, error)) return error;
  const std::optional<UnitBlock> unit = NextUnit(setup, today, error);
  if (!unit) return error;
  // Every unit would be refused alike, so the run is refused before the first.
  if (const std::optional<WholeEdidFault> fault = FindWholeEdidFault(unit->bytes, setup.extensions)) {
    return DescribeWholeEdidFault(*fault);
  }
  if (!setup.logPath.empty() && !ProductionLog(setup.logPath).CheckWritable(error)) return error;
  return std::nullopt;
}

ProductionRun::ProductionRun(const ProductionSetup& setup, UnitWriter& writer, Clock& clock,
                             ProductionEvents& events, ProductionHooks hooks)
    : setup_(setup), writer_(writer), clock_(clock), events_(events), hooks_(std::move(hooks)) {
  if (!setup_.counterPath.empty()) counter_ = std::make_unique<SerialCounter>(setup_.counterPath);
  if (!setup_.logPath.empty()) log_ = std::make_unique<ProductionLog>(setup_.logPath);
}

UnitRecord ProductionRun::RecordOf(const UnitBlock& unit, const UnitOutcome& outcome) const {
  UnitRecord record;
  record.time = hooks_.now();
  record.channel = setup_.channel;
  record.bus = setup_.bus;
  record.protocol = setup_.protocol;
  record.serialText = unit.serialText;
  record.serialNumber = unit.serialNumber;
  record.checksum = unit.bytes[kEdidSize - 1];
  record.verified = outcome.verified;
  record.result = outcome.result;
  record.differences = outcome.differences;
  record.backup = outcome.backupPath;
  record.help = outcome.help;
  return record;
}

namespace {

// The signals that end a program from outside wait while a unit's outcome is recorded (the number
// given back or kept, the log line), so that a kill in between cannot part the unit from its
// record; they arrive when the window closes. Only this thread is covered: the desktop program's
// worker leaves its signals to the main thread.
class CommitWindow {
 public:
  CommitWindow() {
    sigset_t blocked;
    sigemptyset(&blocked);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaddset(&blocked, signal);
    pthread_sigmask(SIG_BLOCK, &blocked, &kept_);
  }
  ~CommitWindow() { pthread_sigmask(SIG_SETMASK, &kept_, nullptr); }
  CommitWindow(const CommitWindow&) = delete;
  CommitWindow& operator=(const CommitWindow&) = delete;

 private:
  sigset_t kept_;
};

}  // namespace

// A failed unit's number goes back to the counter; either way its lock goes.
bool ProductionRun::FinishCounter(const UnitBlock& unit, bool verified) {
  if (!counter_) return true;
  std::string error;
  const bool ok = verified || counter_->GiveBack(error);
  counter_->Unlock();
  if (!ok) events_.OnRunError(FormatText(production_texts::kCounterNotGivenBack, unit.serialText.c_str(), error.c_str()));
  return ok;
}

UnitResult ProductionRun::ProgramUnit() {
  std::string error;
  std::optional<uint64_t> number;
  if (counter_) {
    uint64_t next = 0;
    switch (counter_->Lock(next, error, hooks_.stopRequested)) {
      case SerialCounter::Take::kTaken: number = next; break;
      case SerialCounter::Take::kStopped: return UnitResult::kStopped;
      case SerialCounter::Take::kFailed: events_.OnRunError(error); return UnitResult::kRunError;
    }
  }
  const std::optional<UnitBlock> unit = MakeUnitBlock(setup_.base, setup_.serialFormat, number, hooks_.today(),
                                                      setup_.plan, error);
  if (!unit) {
    if (counter_) counter_->Unlock();
    events_.OnRunError(error);
    return UnitResult::kRunError;
  }
  // The number is the unit's on the disk before a byte of it goes out, so nothing that stops the
  // program from here on can give it to a second unit.
  if (counter_ && !counter_->Reserve(error)) {
    counter_->Unlock();
    events_.OnRunError(FormatText(production_texts::kCounterNotReserved, error.c_str(), unit->serialText.c_str()));
    return UnitResult::kRunError;
  }

  events_.OnStatus(FormatText(production_texts::kProgramming, unit->serialText.c_str()));
  const UnitOutcome outcome = writer_.WriteUnit(unit->bytes, setup_.extensions);
  const UnitRecord record = RecordOf(*unit, outcome);
  bool runOn = true;
  {
    const CommitWindow window;
    runOn = FinishCounter(*unit, outcome.verified);
    if (log_ && !log_->Append(record, error)) {
      events_.OnRunError(error);
      runOn = false;
    }
  }
  events_.OnUnitDone(record);
  lastVerified_ = outcome.verified;
  if (!runOn) return UnitResult::kRunError;
  return outcome.verified ? UnitResult::kVerified : UnitResult::kFailed;
}

// However the waits and the units fall, two probes are never closer than the poll interval.
bool ProductionRun::PollMonitor() {
  if (polled_) {
    const uint64_t since = clock_.NowMs() - lastPollMs_;
    if (since < kPollIntervalMs) clock_.SleepMs(static_cast<uint32_t>(kPollIntervalMs - since));
  }
  polled_ = true;
  lastPollMs_ = clock_.NowMs();
  return hooks_.monitorAnswers();
}

ProductionRun::Wait ProductionRun::WaitForMonitor(bool present) {
  int agreeing = 0;
  for (;;) {
    if (StopRequested()) return Wait::kStopped;
    const bool answers = PollMonitor();
    agreeing = answers == present ? agreeing + 1 : 0;
    if (agreeing >= kPollsToDecide) return Wait::kHappened;
    if (present && !answers && !MoreUnitsMayCome()) return Wait::kNoMoreUnits;
  }
}

RunSummary ProductionRun::RunRepeat() {
  RunSummary summary;
  for (;;) {
    events_.OnStatus(production_texts::kWaitingForMonitor);
    Wait wait = WaitForMonitor(true);
    if (wait != Wait::kHappened) {
      summary.stopped = wait == Wait::kStopped;
      break;
    }
    lastVerified_.reset();
    const UnitResult result = ProgramUnit();
    // A unit that was attempted counts, whatever went wrong after it (its log line, say).
    if (lastVerified_) ++(*lastVerified_ ? summary.passed : summary.failed);
    if (result == UnitResult::kRunError) summary.runError = true;
    if (result == UnitResult::kStopped) summary.stopped = true;
    if (result == UnitResult::kRunError || result == UnitResult::kStopped || !MoreUnitsMayCome()) break;

    events_.OnStatus(production_texts::kRemoveMonitor);
    wait = WaitForMonitor(false);
    if (wait != Wait::kHappened) {
      summary.stopped = wait == Wait::kStopped;
      break;
    }
  }
  return summary;
}

}  // namespace tolvex
