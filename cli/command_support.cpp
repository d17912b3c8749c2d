#include "cli/command_support.h"

#include <cerrno>
#include <cstring>

#include "cli/cli_texts.h"
#include "ddc/edid_transfer.h"
#include "ddc/format_text.h"
#include "ddc/linux/linux_channels.h"
#include "model/edid_extensions.h"
#include "util/file_io.h"
#include "util/file_texts.h"

namespace tolvex {

namespace {

// A report or binary EDID from standard input, under the same size limit as a file.
EdidFile LoadStandardInput(std::istream* in) {
  if (!in) {
    EdidFile file;
    file.error = std::strerror(EBADF);
    return file;
  }
  std::string content;
  char chunk[65536];
  while (content.size() <= kMaxEdidFileSize && in->read(chunk, sizeof chunk).gcount() > 0) {
    content.append(chunk, static_cast<size_t>(in->gcount()));
  }
  if (content.size() > kMaxEdidFileSize) {
    EdidFile file;
    file.error = file_texts::kFileTooLarge;
    return file;
  }
  return ParseEdidFile(content);
}

}  // namespace

ProductionRequest ProductionRequestOf(const Invocation& call) {
  ProductionRequest request;
  request.counter = call.Value("serial-counter");
  request.field = call.Value("serial-field");
  request.format = call.Value("serial-format");
  request.log = call.Value("log");
  request.stampDate = call.Has("stamp-date");
  request.repeat = call.Has("repeat");
  return request;
}

void PrintFileError(std::ostream& err, const std::string& file, const std::string& reason) {
  err << cli_texts::kProgram << ": " << file << ": " << reason << '\n';
}

bool IsStandardInput(const std::string& name) { return name == cli_texts::kStandardInput; }

EdidFile LoadInput(const std::string& name, const CliEnvironment& environment) {
  return IsStandardInput(name) ? LoadStandardInput(environment.input) : LoadEdidFile(name);
}

std::string DisplayName(const std::string& name) {
  return IsStandardInput(name) ? cli_texts::kStandardInputName : name;
}

void PrintReport(const Invocation& call, std::ostream& out, const std::string& report) {
  if (!call.Has("lf")) {
    out << report;
    return;
  }
  std::string lines;
  lines.reserve(report.size());
  for (size_t i = 0; i < report.size(); ++i) {
    if (report[i] == '\r' && i + 1 < report.size() && report[i + 1] == '\n') continue;
    lines += report[i];
  }
  out << lines;
}

// The file's bytes replace a reset block at once, so its date is never seen: the clock and the
// time zone need not be asked for it.
LoadedEdid::LoadedEdid() : block([] { return CalendarDate{2000, 1, 1}; }) {}

void TakeFile(const Invocation& call, const EdidFile& file, LoadedEdid& edid) {
  edid.block.Bytes() = file.bytes;
  edid.block.SetProductCodeFormat(file.productCodeFormat);
  edid.block.SetSerialFormat(file.serialFormat);
  edid.extensions = file.extensions;
  if (call.Has("fix-checksum")) {
    edid.block.UpdateChecksum();
    UpdateExtensionChecksums(edid.extensions);
  }
}

std::string IncompleteText(const EdidFile& file) {
  return FormatText(cli_texts::kIncompleteEdid, file.extensions.missingBytes);
}

bool WriteOutput(const std::string& path, const std::string& content, std::string& error) {
  const FileError failed = WriteFileAtomically(path, content);
  if (failed) error = DescribeFileError(failed);
  return !failed;
}

std::unique_ptr<Hardware> MakeHardware(const Invocation& call, std::ostream& err) {
  std::unique_ptr<Hardware> hardware;
  if (call.Has("simulate")) {
    SimulationOptions options;
    options.adapter = call.Value("sim-adapter", options.adapter);
    options.stateFile = call.Value("sim-state");
    options.fault = call.Value("sim-fault");
    options.access = call.Value("sim-access", options.access);
    options.captureFile = call.Value("sim-capture");
    options.eepromSize = call.Value("sim-eeprom-size");
    options.units = call.Value("sim-units");
    options.stateBusy = [&err](const std::string& text) { err << cli_texts::kProgram << ": " << text << '\n'; };
    std::string error;
    hardware = MakeSimulatedHardware(options, error);
    if (!hardware) err << cli_texts::kProgram << ": " << error << '\n';
  } else {
    // Without port access the kernel's I2C buses may still reach the monitor; the route says.
    hardware = MakeRealHardware();
  }
  return hardware;
}

LinuxRequest LinuxRequestOf(const Invocation& call) {
  LinuxRequest request;
  request.bus = call.Value("bus");
  request.connector = call.Value("connector");
  request.sysfsRoot = call.Value("sysfs-root");
  request.force = call.Has("force");
  return request;
}

void PrintLine(std::ostream& err, const std::string& text) { err << cli_texts::kProgram << ": " << text << '\n'; }

std::optional<std::string> EdidWriteRefusal(const EdidFile& file, bool fixChecksums) {
  EdidBytes base = file.bytes;
  EdidExtensions extensions = file.extensions;
  if (fixChecksums) {
    base[kEdidSize - 1] = ComputeChecksum(base);
    UpdateExtensionChecksums(extensions);
  }
  const std::optional<WholeEdidFault> fault = FindWholeEdidFault(base, extensions);
  if (!fault) return std::nullopt;
  if (fault->kind == WholeEdidFault::kIncomplete) return IncompleteText(file);
  if (fault->kind == WholeEdidFault::kChecksum && fault->block == 0) {
    return FormatText(cli_texts::kChecksumMismatch, fault->stated, fault->actual);
  }
  return DescribeWholeEdidFault(*fault);
}

}  // namespace tolvex
