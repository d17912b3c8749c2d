// tolvex-cli's command line: the table of commands, the table of options, and what parsing them
// makes of the arguments. Each command's work lives in a file of its own (commands.h lists them).
#pragma once

#include <map>
#include <ostream>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "cli/cli.h"

namespace tolvex {

// One bit per command, so that an option row can name every command it belongs to.
enum Command : unsigned {
  kReport = 1, kNew = 2, kRead = 4, kWrite = 8, kProbe = 16, kCheck = 32, kList = 64, kExport = 128, kInfo = 256,
  kEdit = 512, kDiff = 1024, kApply = 2048, kInstallFirmware = 4096
};
inline constexpr unsigned kOnHardware = kRead | kWrite | kProbe | kList;
inline constexpr unsigned kOnOneBus = kRead | kWrite | kProbe;
inline constexpr unsigned kTransfers = kRead | kWrite;
inline constexpr unsigned kPrintsReports = kReport | kNew;

struct Invocation;

// What every command gets besides its invocation.
struct CommandStreams {
  std::ostream& out;
  std::ostream& err;
  const CliEnvironment& environment;
};

// A command's work; its exit status.
using CommandRunner = int (*)(const Invocation& call, const CommandStreams& streams);

struct CommandSpec {
  std::string_view name;
  Command command;
  std::string_view arguments;  // what follows the options in the synopsis
  std::string_view brief;      // one line in the list of commands
  std::string_view details;    // more lines under the brief in the command's help; may be empty
  int minFiles;
  int maxFiles;
  CommandRunner run;
};

struct Invocation {
  const CommandSpec* command = nullptr;
  std::map<std::string_view, std::string> options;
  // Every option as given, in order and with repeats (the edits of `edit` run in this order).
  std::vector<std::pair<std::string_view, std::string>> sequence;
  std::vector<std::string> files;

  bool Has(std::string_view name) const { return options.count(name) != 0; }
  std::string Value(std::string_view name, std::string fallback = {}) const {
    const auto it = options.find(name);
    return it == options.end() ? fallback : it->second;
  }
};

// How the command line ends when it does not make an invocation: help or version printed (0), or a
// usage error (2).
struct ParseEnd {
  int status;
};

std::variant<Invocation, ParseEnd> ParseCommandLine(const std::vector<std::string>& args, std::ostream& out,
                                                    std::ostream& err);

}  // namespace tolvex
