// The production loop: program one monitor after another, each with its own serial number, and
// log every attempt. tolvex-cli's `write --repeat` and the "Production Write" dialog run it alike.
//
// For each unit: take the counter's number under its lock, build the unit's base block, reserve
// the number on the disk, write and verify the unit with the setup's extension blocks as EDID
// Write does, give the number back when the unit failed, append the log line, and report PASS or
// FAIL. Repeating, the loop waits for the next monitor to answer at 0xA0 and, after
// the unit, for it to go, polling every 200 ms; a request to stop is honoured while it waits,
// never in the middle of a unit. A problem with the counter, the log or the serial's fit ends the
// run: going on could hand out a number twice or leave a unit unlogged.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "ddc/clock.h"
#include "model/edid_block.h"
#include "model/edid_extensions.h"
#include "model/local_date.h"
#include "production/production_log.h"
#include "production/serial_counter.h"
#include "production/unit_block.h"
#include "production/unit_writer.h"

namespace tolvex {

struct ProductionSetup {
  EdidBytes base{};
  // Written after every unit's base block exactly as they are: nothing in them is the unit's own.
  EdidExtensions extensions;
  uint8_t serialFormat = kSerialHex;
  UnitPlan plan;
  std::string counterPath;  // empty: no counter (and no per-unit serial)
  std::string logPath;      // empty: no log
  // For the log.
  std::string channel;
  std::string bus;
  std::string protocol;
};

// The block the next unit would get, as the counter stands now; nothing, with the reason in
// `error`, when the counter cannot be read or the serial does not fit. Touches no file.
std::optional<UnitBlock> NextUnit(const ProductionSetup& setup, const CalendarDate& today, std::string& error);

// Why the setup cannot work (the counter unreadable or not replaceable, the serial does not fit
// the block, the whole EDID one EDID Write would refuse, the log not writable), found before any
// monitor is touched; nothing when it can.
std::optional<std::string> CheckSetup(const ProductionSetup& setup, const CalendarDate& today);

// What the loop tells the operator; called on the loop's thread.
class ProductionEvents {
 public:
  virtual ~ProductionEvents() = default;
  // What the loop does now: waiting, programming, the transfer's progress, waiting for removal.
  virtual void OnStatus(std::string_view text) = 0;
  // A unit was attempted: PASS when record.verified.
  virtual void OnUnitDone(const UnitRecord& record) = 0;
  // A problem that ends the run.
  virtual void OnRunError(std::string_view text) = 0;
};

// What the loop needs of the world around it.
struct ProductionHooks {
  // Does a device acknowledge at 0xA0 now? (one address-only probe)
  std::function<bool()> monitorAnswers;
  // Ctrl+C, or the dialog's Stop.
  std::function<bool()> stopRequested;
  // False once no monitor the loop has not worked with can be there or come (a simulation after
  // its last unit).
  std::function<bool()> moreUnitsMayCome;
  std::function<CalendarDate()> today = TodayLocal;
  std::function<std::time_t()> now = [] { return std::time(nullptr); };
};

enum class UnitResult : uint8_t { kVerified, kFailed, kStopped, kRunError };

struct RunSummary {
  int passed = 0;
  int failed = 0;
  bool runError = false;
  bool stopped = false;
};

class ProductionRun {
 public:
  static constexpr uint32_t kPollIntervalMs = 200;
  // Polls in a row that must agree before a monitor counts as come or gone: a connector being
  // pushed in or pulled out makes and breaks contact for a moment.
  static constexpr int kPollsToDecide = 2;

  ProductionRun(const ProductionSetup& setup, UnitWriter& writer, Clock& clock, ProductionEvents& events,
                ProductionHooks hooks);

  // The monitor on the bus now, once.
  UnitResult ProgramUnit();
  // Unit after unit until a stop is requested, no further monitor can come, or a run error.
  RunSummary RunRepeat();

 private:
  enum class Wait : uint8_t { kHappened, kStopped, kNoMoreUnits };
  Wait WaitForMonitor(bool present);
  bool PollMonitor();
  bool StopRequested() const { return hooks_.stopRequested && hooks_.stopRequested(); }
  bool MoreUnitsMayCome() const { return !hooks_.moreUnitsMayCome || hooks_.moreUnitsMayCome(); }
  UnitRecord RecordOf(const UnitBlock& unit, const UnitOutcome& outcome) const;
  bool FinishCounter(const UnitBlock& unit, bool verified);

  const ProductionSetup& setup_;
  UnitWriter& writer_;
  Clock& clock_;
  ProductionEvents& events_;
  ProductionHooks hooks_;
  std::unique_ptr<SerialCounter> counter_;
  std::unique_ptr<ProductionLog> log_;
  std::optional<bool> lastVerified_;  // of the unit last attempted
  bool polled_ = false;
  uint64_t lastPollMs_ = 0;
};

}  // namespace tolvex
