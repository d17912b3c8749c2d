#include "cli/cli.h"

#include <cstring>
#include <variant>

#include "cli/cli_texts.h"
#include "cli/command_line.h"

namespace tolvex {

namespace {

// What a command printed must have arrived: output lost to a full disk or a closed standard output
// is a failure, never a success.
int CheckOutput(std::ostream& out, std::ostream& err, const CliEnvironment& environment, int status) {
  out.flush();
  if (out.good()) return status;
  const int failure = environment.outputError ? environment.outputError() : 0;
  err << cli_texts::kProgram << ": " << cli_texts::kStandardOutputName << ": "
      << (failure != 0 ? std::strerror(failure) : cli_texts::kWriteError) << '\n';
  return 1;
}

int Dispatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const CliEnvironment& environment) {
  const std::variant<Invocation, ParseEnd> parsed = ParseCommandLine(args, out, err);
  if (const ParseEnd* end = std::get_if<ParseEnd>(&parsed)) return end->status;
  const Invocation& call = std::get<Invocation>(parsed);
  return call.command->run(call, {out, err, environment});
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const CliEnvironment& environment) {
  return CheckOutput(out, err, environment, Dispatch(args, out, err, environment));
}

}  // namespace tolvex
