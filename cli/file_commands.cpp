#include <optional>
#include <string>
#include <vector>

#include "check/edid_check.h"
#include "cli/cli_texts.h"
#include "cli/command_support.h"
#include "cli/commands.h"
#include "ddc/format_text.h"
#include "model/edid_extensions.h"
#include "report/edid_input.h"
#include "report/edid_report.h"

namespace tolvex {

namespace {

// One line per finding, "FILE: failure: bytes 8-9: manufacturer: ...", or "FILE: ok"; whether
// any was a failure.
bool PrintFindings(const std::string& name, const std::vector<uint8_t>& edid, std::string_view lineEnd,
                   std::ostream& out) {
  const CheckFindings findings = CheckEdid(edid);
  if (findings.empty()) out << name << cli_texts::kFileSeparator << cli_texts::kCheckClean << lineEnd;
  for (const CheckFinding& finding : findings) out << name << cli_texts::kFileSeparator << FormatFinding(finding) << lineEnd;
  return HasFailure(findings);
}

}  // namespace

// A file that lacks bytes is printed all the same, so the user sees what is there (the missing
// bytes as zero), and named on stderr.
int RunReport(const Invocation& call, const CommandStreams& streams) {
  std::ostream& out = streams.out;
  std::ostream& err = streams.err;
  const CliEnvironment& environment = streams.environment;
  const int status = ForEachFile(call, err, environment, [&](const std::string& name, const EdidFile& file) {
    LoadedEdid edid;
    TakeFile(call, file, edid);
    PrintReport(call, out, FormatEdidReport(edid.block, edid.extensions.blocks));
    const bool whole = file.extensions.missingBytes == 0;
    if (!whole) PrintFileError(err, name, IncompleteText(file));
    if (!call.Has("check")) return whole;
    // The findings follow on stdout only: the report above them stays what a .ddc file holds.
    return !PrintFindings(name, JoinWholeEdid(edid.block.Bytes(), edid.extensions), call.Has("lf") ? "\n" : "\r\n",
                          out) &&
           whole;
  });
  out.flush();
  return status;
}

// A file that lacks bytes fails as it does for report and export. The rules judge only blocks the
// file holds whole: the zeros that stand for a missing part would only bring findings about
// themselves.
int RunCheck(const Invocation& call, const CommandStreams& streams) {
  std::ostream& out = streams.out;
  std::ostream& err = streams.err;
  const CliEnvironment& environment = streams.environment;
  const int status = ForEachFile(call, err, environment, [&](const std::string& name, const EdidFile& file) {
    const int missing = file.extensions.missingBytes;
    if (missing > 0) PrintFileError(err, name, IncompleteText(file));
    const bool heldBlocksWhole = missing == MissingBlockBytes(file.bytes, file.extensions.Count());
    return heldBlocksWhole && !PrintFindings(name, JoinWholeEdid(file.bytes, file.extensions), "\n", out) &&
           missing == 0;
  });
  out.flush();
  return status;
}

int RunNew(const Invocation& call, const CommandStreams& streams) {
  std::ostream& out = streams.out;
  EdidBlock block;
  PrintReport(call, out, FormatEdidReport(block));
  out.flush();
  return 0;
}

// Only an EDID whole and consistent goes into a firmware file; nothing is written otherwise.
int RunExport(const Invocation& call, const CommandStreams& streams) {
  std::ostream& err = streams.err;
  const CliEnvironment& environment = streams.environment;
  const std::string& in = call.files[0];
  const std::string& path = call.files[1];
  const EdidFile file = LoadInput(in, environment);
  if (!file.ok) {
    PrintFileError(err, DisplayName(in), file.error);
    return 1;
  }
  LoadedEdid edid;
  TakeFile(call, file, edid);
  if (const std::optional<WholeEdidFault> fault = FindWholeEdidFault(edid.block.Bytes(), edid.extensions)) {
    PrintFileError(err, DisplayName(in),
                   fault->kind == WholeEdidFault::kIncomplete ? IncompleteText(file) : DescribeWholeEdidFault(*fault));
    return 1;
  }
  const std::vector<uint8_t> bytes = JoinWholeEdid(edid.block.Bytes(), edid.extensions);
  if (path == cli_texts::kStandardOutput) {
    streams.out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return 0;
  }
  std::string error;
  if (!WriteOutput(path, std::string(bytes.begin(), bytes.end()), error)) {
    PrintFileError(err, path, error);
    return 1;
  }
  return 0;
}

}  // namespace tolvex
