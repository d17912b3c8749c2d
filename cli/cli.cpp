#include "cli/cli.h"

#include <variant>

#include "cli/command_line.h"

namespace tolvex {

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const CliEnvironment& environment) {
  const std::variant<Invocation, ParseEnd> parsed = ParseCommandLine(args, out, err);
  if (const ParseEnd* end = std::get_if<ParseEnd>(&parsed)) return end->status;
  const Invocation& call = std::get<Invocation>(parsed);
  return call.command->run(call, {out, err, environment});
}

}  // namespace tolvex
