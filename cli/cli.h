// tolvex-cli: the EDID report, and monitor reads and writes, from scripts and production lines.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tolvex {

struct CliEnvironment {
  // Progress texts overwrite each other on one line (stderr is a terminal).
  bool progressInPlace = false;
};

// Exit status: 0 success, 1 a file or a transfer failed, 2 bad usage.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const CliEnvironment& environment = {});

}  // namespace tolvex
