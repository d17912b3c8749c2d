#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/standard_output.h"

namespace {

// A standard stream closed by the caller would be taken by the next file the program opens, and
// what is printed would land in that file (a capture, a counter's replacement). Each closed one is
// held by /dev/null instead; whether standard output was among them.
bool HoldClosedStandardStreams() {
  bool outputClosed = false;
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (::fcntl(fd, F_GETFD) >= 0 || errno != EBADF) continue;
    outputClosed = outputClosed || fd == STDOUT_FILENO;
    const int held = ::open("/dev/null", O_RDWR);
    if (held >= 0 && held != fd) {
      ::dup2(held, fd);
      ::close(held);
    }
  }
  return outputClosed;
}

}  // namespace

int main(int argc, char** argv) {
  tolvex::DescriptorOutputBuffer output(STDOUT_FILENO);
  if (HoldClosedStandardStreams()) output.Fail(EBADF);
  std::ostream out(&output);
  if (output.Error() != 0) out.setstate(std::ios::badbit);
  std::ios::sync_with_stdio(false);
  // A file-size limit makes the write that crosses it fail, which the save reports, rather than
  // ending the program while a temporary file is half written.
  std::signal(SIGXFSZ, SIG_IGN);
  const std::vector<std::string> args(argv + 1, argv + argc);
  tolvex::CliEnvironment environment;
  environment.progressInPlace = isatty(STDERR_FILENO) != 0;
  environment.input = &std::cin;
  environment.catchInterrupts = true;
  environment.outputError = [&output] { return output.Error(); };
  return tolvex::RunCli(args, out, std::cerr, environment);
}
