// The commands of tolvex-cli, one runner each; the command table in command_line.cpp names them.
#pragma once

#include <optional>
#include <string>

#include "cli/command_line.h"

namespace tolvex {

// file_commands.cpp: reports, the check and raw binary, from files alone.
int RunReport(const Invocation& call, const CommandStreams& streams);
int RunCheck(const Invocation& call, const CommandStreams& streams);
int RunExport(const Invocation& call, const CommandStreams& streams);
int RunNew(const Invocation& call, const CommandStreams& streams);

// info_command.cpp: the decoded whole EDID, as text or JSON.
int RunInfo(const Invocation& call, const CommandStreams& streams);

// edit_command.cpp: edits of a whole EDID, and the differences between two.
int RunEdit(const Invocation& call, const CommandStreams& streams);
int RunDiff(const Invocation& call, const CommandStreams& streams);
// What is wrong with the edits the command line asks for (a usage error), or nothing.
std::optional<std::string> CheckEditUsage(const Invocation& call);

// bus_commands.cpp: the monitor on an I2C channel.
int RunTransfer(const Invocation& call, const CommandStreams& streams);
int RunProbe(const Invocation& call, const CommandStreams& streams);
int RunList(const Invocation& call, const CommandStreams& streams);

// connector_commands.cpp: an EDID on a connector without flashing the monitor.
int RunApply(const Invocation& call, const CommandStreams& streams);
int RunInstallFirmware(const Invocation& call, const CommandStreams& streams);

}  // namespace tolvex
