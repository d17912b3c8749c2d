// tolvex-cli: the EDID report, and monitor reads and writes, from scripts and production lines.
#pragma once

#include <functional>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace tolvex {

struct CliEnvironment {
  // Progress texts overwrite each other on one line (stderr is a terminal).
  bool progressInPlace = false;
  // What "-" reads as a file; none without standard input.
  std::istream* input = nullptr;
  // Ctrl+C ends `write --repeat` between units (the program itself; tests ask through
  // stopRequested instead).
  bool catchInterrupts = false;
  std::function<bool()> stopRequested;
  // Why `out` failed (an errno), where the caller can tell; 0 when it cannot.
  std::function<int()> outputError;
};

// Exit status: 0 success (help and version included), 1 a file or a transfer failed or `out` did
// not take all that was printed, 2 bad usage.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const CliEnvironment& environment = {});

}  // namespace tolvex
