// `tolvex-cli report` in-process on any input: one status of two, one line per failure, and a
// printed report that, reported again, prints itself.
#include <sstream>

#include "cli/cli.h"
#include "fuzz_support.h"

using namespace tolvex;

namespace {

struct Run {
  int status;
  std::string out;
  std::string err;
};

Run Report(std::string_view input, bool fixChecksum) {
  std::istringstream in{std::string(input)};
  std::ostringstream out, err;
  CliEnvironment environment;
  environment.input = &in;
  std::vector<std::string> args = {"report"};
  if (fixChecksum) args.push_back("--fix-checksum");
  args.push_back("-");
  const int status = RunCli(args, out, err, environment);
  return {status, out.str(), err.str()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  for (const bool fixChecksum : {false, true}) {
    const Run run = Report(input, fixChecksum);
    FUZZ_CHECK(run.status == 0 || run.status == 1);
    if (run.status == 1) {
      // An EDID that lacks bytes is still printed, with them as zero; any other failure prints nothing.
      FUZZ_CHECK(run.out.empty() || run.err.find("incomplete EDID") != std::string::npos);
      FUZZ_CHECK(run.err.find('\n') == run.err.size() - 1);
      continue;
    }
    FUZZ_CHECK(run.err.empty());
    const Run again = Report(run.out, false);
    FUZZ_CHECK(again.status == 0);
    FUZZ_CHECK(again.out == run.out);
  }
  return 0;
}
