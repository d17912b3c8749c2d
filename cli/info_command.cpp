// `tolvex-cli info`: the decoded whole EDID of each file, as text or as JSON for scripts.
#include <string>

#include "cli/cli_texts.h"
#include "cli/command_support.h"
#include "cli/commands.h"
#include "model/decoded_edid.h"
#include "model/edid_extensions.h"
#include "report/decoded_lines.h"
#include "report/edid_json.h"

namespace tolvex {

namespace {

void PrintText(const std::string& name, const DecodedEdid& edid, bool heading, std::ostream& out) {
  std::string text;
  if (heading) text += name + cli_texts::kInfoFileEnd + "\n";
  AppendDecodedEdid(text, edid, "\n");
  out << text;
}

void PrintJson(const std::string& name, const DecodedEdid& edid, std::ostream& out) {
  // A file's name may be any bytes; JSON takes UTF-8 only, so anything else becomes U+FFFD.
  out << EdidJson(edid, name).dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

}  // namespace

// A file that lacks bytes is decoded all the same (its missing bytes as zero, as `report` shows
// them) and named on stderr.
int RunInfo(const Invocation& call, const CommandStreams& streams) {
  const bool json = call.Has("json");
  const bool headings = call.files.size() > 1;
  const int status = ForEachFile(call, streams.err, streams.environment, [&](const std::string& name, const EdidFile& file) {
    const DecodedEdid edid = DecodeEdid(file.bytes, file.extensions.blocks);
    if (json) {
      PrintJson(name, edid, streams.out);
    } else {
      PrintText(name, edid, headings, streams.out);
    }
    const bool whole = file.extensions.missingBytes == 0;
    if (!whole) PrintFileError(streams.err, name, IncompleteText(file));
    return whole;
  });
  streams.out.flush();
  return status;
}

}  // namespace tolvex
