#include "cli/production_cli.h"

#include <csignal>

#include "cli/cli_texts.h"
#include "ddc/ddc_texts.h"
#include "ddc/format_text.h"
#include "production/production_texts.h"

namespace tolvex {

namespace {

// A signal handler may only set a flag; the loop looks at it between units.
volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int) { interrupted = 1; }

// Ctrl+C asks the loop to stop once the unit under way is done; the handler then gives way to the
// default, so a second Ctrl+C ends the program at once.
class InterruptCatcher {
 public:
  InterruptCatcher() {
    interrupted = 0;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(SIGINT, &action, &previous_);
  }
  ~InterruptCatcher() { sigaction(SIGINT, &previous_, nullptr); }

  InterruptCatcher(const InterruptCatcher&) = delete;
  InterruptCatcher& operator=(const InterruptCatcher&) = delete;

 private:
  struct sigaction previous_ {};
};

class ConsoleEvents final : public ProductionEvents {
 public:
  ConsoleEvents(std::ostream& out, std::ostream& err, bool inPlace) : out_(out), err_(err), inPlace_(inPlace) {}

  void OnStatus(std::string_view text) override {
    if (inPlace_) {
      err_ << '\r' << text << "\x1b[K" << std::flush;
      lineOpen_ = true;
    } else {
      err_ << text << '\n';
    }
  }
  void OnUnitDone(const UnitRecord& record) override {
    EndStatusLine();
    out_ << (record.verified ? production_texts::kPass : production_texts::kFail) << ' '
         << (record.serialText.empty() ? std::to_string(record.serialNumber) : record.serialText);
    if (!record.verified) out_ << " (" << record.result << ')';
    out_ << '\n' << std::flush;
    // One line per unit: what the error means and what to try follow on stderr.
    if (!record.help.empty()) err_ << cli_texts::kProgram << ": " << record.help << '\n';
    if (!record.backup.empty()) err_ << cli_texts::kProgram << ": " << FormatText(texts::kBackupKept, record.backup.c_str()) << '\n';
  }
  void OnRunError(std::string_view text) override {
    EndStatusLine();
    err_ << cli_texts::kProgram << ": " << text << '\n';
  }
  void EndStatusLine() {
    if (lineOpen_) err_ << '\n';
    lineOpen_ = false;
  }

 private:
  std::ostream& out_;
  std::ostream& err_;
  bool inPlace_;
  bool lineOpen_ = false;
};

}  // namespace

std::optional<std::string> CheckProductionUsage(const ProductionRequest& request, bool fieldGiven, bool formatGiven) {
  if ((fieldGiven || formatGiven) && request.counter.empty()) return std::string(cli_texts::kSerialNeedsCounter);
  std::string error;
  if (formatGiven && !SerialTemplate::Parse(request.format, error)) return error;
  return std::nullopt;
}

std::optional<ProductionSetup> PrepareProduction(const ProductionRequest& request, const EdidBlock& block,
                                                 const EdidExtensions& extensions, std::ostream& err) {
  ProductionSetup setup;
  setup.base = block.Bytes();
  setup.extensions = extensions;
  setup.serialFormat = block.GetSerialFormat();
  setup.counterPath = request.counter;
  setup.logPath = request.log;
  setup.plan.field = ParseSerialField(request.field.empty() ? "binary" : request.field).value_or(SerialField::kBinary);
  std::string error;
  setup.plan.text = *SerialTemplate::Parse(request.format.empty() ? "{}" : request.format, error);  // checked as usage
  setup.plan.stampDate = request.stampDate;
  if (const std::optional<std::string> problem = CheckSetup(setup, TodayLocal())) {
    err << cli_texts::kProgram << ": " << *problem << '\n';
    return std::nullopt;
  }
  return setup;
}

int RunProductionWrite(const ProductionRequest& request, ProductionSetup& setup, const ProductionStation& station,
                       std::ostream& out, std::ostream& err, const CliEnvironment& environment) {
  if (const std::optional<std::string> problem = station.Problem()) {
    err << cli_texts::kProgram << ": " << *problem << '\n';
    return 1;
  }
  station.Describe(setup);
  ConsoleEvents events(out, err, environment.progressInPlace);
  const std::unique_ptr<UnitWriter> writer =
      station.MakeWriter([&events](std::string_view text) { events.OnStatus(text); });

  std::optional<InterruptCatcher> catcher;
  if (environment.catchInterrupts && request.repeat) {
    catcher.emplace();
    err << cli_texts::kInterruptHint << '\n';
  }
  const std::function<bool()>& stopRequested = environment.stopRequested;
  ProductionRun run(setup, *writer, station.GetClock(), events, station.Hooks([&] {
    return interrupted != 0 || (stopRequested && stopRequested());
  }));

  if (!request.repeat) {
    const UnitResult result = run.ProgramUnit();
    events.EndStatusLine();
    return result == UnitResult::kVerified ? 0 : 1;
  }
  const RunSummary summary = run.RunRepeat();
  events.EndStatusLine();
  err << cli_texts::kProgram << ": " << FormatText(cli_texts::kUnitsSummary, summary.passed, summary.failed);
  if (summary.stopped) err << "; " << cli_texts::kStopped;
  if (!summary.stopped && !summary.runError) err << "; " << cli_texts::kNoMoreUnits;
  err << '\n';
  return summary.failed == 0 && !summary.runError ? 0 : 1;
}

}  // namespace tolvex
