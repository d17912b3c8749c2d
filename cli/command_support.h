// What the commands of tolvex-cli share: loading the named files (or standard input), printing
// reports and file errors, writing output files, and the hardware a bus command runs on.
#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "cli/command_line.h"
#include "cli/edid_file.h"
#include "cli/linux_routes.h"
#include "cli/production_cli.h"
#include "ddc/hardware.h"
#include "model/edid_block.h"
#include "model/edid_extensions.h"

namespace tolvex {

// The production options of `write`.
ProductionRequest ProductionRequestOf(const Invocation& call);

// "tolvex-cli: FILE: REASON"
void PrintFileError(std::ostream& err, const std::string& file, const std::string& reason);
// "tolvex-cli: TEXT"
void PrintLine(std::ostream& err, const std::string& text);

bool IsStandardInput(const std::string& name);
// A named file, or standard input for "-".
EdidFile LoadInput(const std::string& name, const CliEnvironment& environment);
// How messages name a file: standard input by that name.
std::string DisplayName(const std::string& name);

// Reports are CR LF text, the file format; --lf gives LF lines for pipes into grep and diff.
void PrintReport(const Invocation& call, std::ostream& out, const std::string& report);

// The block and the extensions of a file, with the checksums mended when the user says so.
struct LoadedEdid {
  EdidBlock block;
  EdidExtensions extensions;
  LoadedEdid();
};
void TakeFile(const Invocation& call, const EdidFile& file, LoadedEdid& edid);

// What a file that lacks bytes is told.
std::string IncompleteText(const EdidFile& file);

// Loads each FILE in turn and hands it to `use`, which answers whether all went well; a file that
// cannot be loaded is named on stderr and the others still run. The exit status of the whole.
template <typename Use>
int ForEachFile(const Invocation& call, std::ostream& err, const CliEnvironment& environment, Use use) {
  int status = 0;
  for (const std::string& name : call.files) {
    const EdidFile file = LoadInput(name, environment);
    if (!file.ok) PrintFileError(err, DisplayName(name), file.error);
    if (!file.ok || !use(DisplayName(name), file)) status = 1;
  }
  return status;
}

// Through a temporary file beside the target: a failed write never leaves half a file, and an
// existing file the user may not write stays as it is.
bool WriteOutput(const std::string& path, const std::string& content, std::string& error);

// The simulated or the real hardware; nothing, after a message, when it cannot be used.
std::unique_ptr<Hardware> MakeHardware(const Invocation& call, std::ostream& err);

// The Linux bus options of the command line.
LinuxRequest LinuxRequestOf(const Invocation& call);

// Why the blocks of `file` must not go to a monitor or the kernel as they stand, with
// --fix-checksum or not.
std::optional<std::string> EdidWriteRefusal(const EdidFile& file, bool fixChecksums);

}  // namespace tolvex
