// tolvex-cli write with a serial number per unit, a log, or --repeat: the production loop on the
// console. PASS and FAIL lines go to stdout, one per unit; what the loop does to stderr.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "cli/cli.h"
#include "model/edid_block.h"
#include "model/edid_extensions.h"
#include "production/production_run.h"
#include "production/production_station.h"

namespace tolvex {

struct ProductionRequest {
  std::string counter;  // --serial-counter
  std::string field;    // --serial-field
  std::string format;   // --serial-format
  std::string log;      // --log
  bool stampDate = false;
  bool repeat = false;

  bool Wanted() const { return !counter.empty() || !log.empty() || stampDate || repeat; }
};

// A usage mistake in the request; nothing when there is none.
std::optional<std::string> CheckProductionUsage(const ProductionRequest& request, bool fieldGiven, bool formatGiven);

// The setup for the EDID of FILE (each unit's base block is made from `block`, the extension blocks
// go out as they are), checked before any monitor is touched; nothing after a message.
std::optional<ProductionSetup> PrepareProduction(const ProductionRequest& request, const EdidBlock& block,
                                                 const EdidExtensions& extensions, std::ostream& err);

// Runs one unit, or unit after unit with --repeat. The exit status: 0 when every unit was verified.
int RunProductionWrite(const ProductionRequest& request, ProductionSetup& setup, const ProductionStation& station,
                       std::ostream& out, std::ostream& err, const CliEnvironment& environment);

}  // namespace tolvex
