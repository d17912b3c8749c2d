#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_texts.h"
#include "cli/command_support.h"
#include "cli/commands.h"
#include "ddc/format_text.h"
#include "ddc/linux/connector_edid.h"
#include "model/edid_extensions.h"

namespace tolvex {

namespace {

// The whole EDID of FILE as it may go to the kernel; nothing, with the message printed, when
// the file cannot be read or its checksums are wrong.
std::optional<std::vector<uint8_t>> LoadWholeEdid(const std::string& path, std::ostream& err) {
  const EdidFile file = LoadEdidFile(path);
  if (!file.ok) {
    PrintFileError(err, path, file.error);
    return std::nullopt;
  }
  if (const std::optional<std::string> refusal = EdidWriteRefusal(file, false)) {
    PrintFileError(err, path, *refusal);
    return std::nullopt;
  }
  return JoinWholeEdid(file.bytes, file.extensions);
}

// The same command line under sudo, for the message that it needs root.
std::string AsRoot(const Invocation& call) {
  std::string command = "sudo " + std::string(cli_texts::kProgram) + " " + std::string(call.command->name);
  for (std::string_view option : {"debugfs-root", "sysfs-root", "connector", "root"}) {
    if (call.Has(option)) command += " --" + std::string(option) + " " + call.Value(option);
  }
  if (call.Has("reset")) command += " --reset";
  for (const std::string& file : call.files) command += " " + file;
  return command;
}

}  // namespace

int RunApply(const Invocation& call, const CommandStreams& streams) {
  ApplyRequest request;
  request.connector = call.Value("connector");
  request.rootCommand = AsRoot(call);
  if (!call.Has("reset")) {
    std::optional<std::vector<uint8_t>> edid = LoadWholeEdid(call.files[0], streams.err);
    if (!edid) return 1;
    request.edid = std::move(*edid);
  }
  ConnectorRoots roots;
  roots.debugfs = call.Value("debugfs-root", roots.debugfs);
  roots.sysfs = call.Value("sysfs-root", roots.sysfs);
  std::error_code failed;
  if (!std::filesystem::exists(roots.sysfs + "/class/drm/" + request.connector + "/status", failed) ||
      KernelConnectorName(request.connector) == request.connector) {
    PrintLine(streams.err, FormatText(cli_texts::kNoConnector, request.connector.c_str()));
    return 1;
  }
  std::string done;
  if (const std::string error = ApplyEdidOverride(roots, request, done); !error.empty()) {
    PrintLine(streams.err, error);
    return 1;
  }
  PrintLine(streams.err, done);
  return 0;
}

int RunInstallFirmware(const Invocation& call, const CommandStreams& streams) {
  const std::optional<std::vector<uint8_t>> edid = LoadWholeEdid(call.files[0], streams.err);
  if (!edid) return 1;
  std::vector<std::string> lines;
  const std::string error = InstallEdidFirmware(call.Value("root", ""), call.Value("connector"), *edid, lines);
  if (!error.empty()) {
    PrintLine(streams.err, error);
    return 1;
  }
  for (const std::string& line : lines) streams.out << line << '\n';
  return 0;
}

}  // namespace tolvex
