#include "cli/cli.h"

#include <getopt.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cstdio>
#include <iterator>
#include <map>
#include <optional>
#include <string_view>
#include <variant>

#include "check/edid_check.h"
#include "cli/cli_texts.h"
#include "cli/console_ui.h"
#include "cli/edid_file.h"
#include "cli/linux_routes.h"
#include "cli/production_cli.h"
#include "ddc/linux/linux_channels.h"
#include "ddc/linux/linux_texts.h"
#include "ddc/hardware.h"
#include "ddc/edid_transfer.h"
#include "ddc/ddc_texts.h"
#include "ddc/format_text.h"
#include "ddc/i2c_bus.h"
#include "model/edid_extensions.h"
#include "report/edid_input.h"
#include "report/edid_report.h"
#include "util/file_io.h"
#include "util/file_texts.h"

namespace tolvex {

namespace {

enum Command : unsigned {
  kReport = 1, kNew = 2, kRead = 4, kWrite = 8, kProbe = 16, kCheck = 32, kList = 64, kExport = 128
};
constexpr unsigned kOnHardware = kRead | kWrite | kProbe | kList;
constexpr unsigned kOnOneBus = kRead | kWrite | kProbe;
constexpr unsigned kTransfers = kRead | kWrite;
constexpr unsigned kPrintsReports = kReport | kNew;

struct CommandSpec {
  std::string_view name;
  Command command;
  std::string_view arguments;  // what follows the options in the synopsis
  std::string_view brief;      // one line in the list of commands
  std::string_view details;    // more lines under the brief in the command's help; may be empty
  int minFiles;
  int maxFiles;
};

constexpr int kAnyNumber = 1 << 30;

constexpr CommandSpec kCommands[] = {
    {"report", kReport, "FILE...", "Print the EDID report of each FILE.",
     "FILE is a .ddc report or raw binary EDID; - reads standard input. The report is exactly what a\n"
     "saved .ddc file holds (CR LF lines), extension blocks included.",
     1, kAnyNumber},
    {"check", kCheck, "FILE...", "Check each FILE against the EDID rules.",
     "Prints 'FILE: failure|warning: bytes A-B: RULE: sentence' for each finding, or 'FILE: ok'. A\n"
     "binary FILE is checked whole, extension blocks included. The exit status is 1 when any file has\n"
     "a failure or cannot be read, 0 when there are at most warnings.",
     1, kAnyNumber},
    {"export", kExport, "IN OUT", "Write the EDID of IN as raw binary into OUT.",
     "IN is a .ddc report or raw binary EDID; OUT gets every block, ready for the kernel's\n"
     "drm.edid_firmware= or /lib/firmware/edid/.",
     2, 2},
    {"new", kNew, "", "Print the report of a freshly reset block.", "", 0, 0},
    {"read", kRead, "FILE", "Read the monitor's EDID into FILE.",
     "FILE becomes a .ddc report, or raw binary EDID (every block) when its name ends in .bin,\n"
     ".edid or .raw.",
     1, 1},
    {"write", kWrite, "FILE", "Write the EDID of FILE into the monitor and verify it.",
     "FILE is a .ddc report or raw binary EDID; every block it holds is written. With --serial-counter\n"
     "each unit gets the counter's number, which advances only after a verified write; --log appends\n"
     "one CSV line per unit; --repeat programs monitor after monitor. Every unit gets every block;\n"
     "only its base block changes. PASS or FAIL and the serial go to stdout, one line a unit; the\n"
     "exit status is 0 only when every unit was verified.",
     1, 1},
    {"probe", kProbe, "", "Print the I2C channel the program finds.",
     "With --bus or --connector: whether a monitor answers on that bus. The exit status is 1 when there\n"
     "is none.",
     0, 0},
    {"list", kList, "", "Print every I2C channel the program finds, one a line.",
     "Each line: the device, the connector (or the adapter's name), the monitor, and for a bus the\n"
     "safety rules exclude, \"refused:\" with the reason. Fields are separated by tabs. The exit status\n"
     "is 1 when there is none.",
     0, 0},
};

struct OptionRow {
  std::string_view name;   // the long option without its dashes
  std::string_view value;  // what the help calls its value; empty for a switch
  unsigned commands;
  std::string_view help;
  // The only values the option takes, listed after its help; none when any value goes.
  const std::vector<std::string_view>& (*choices)() = nullptr;
};

constexpr OptionRow kOptions[] = {
    {"fix-checksum", "", kReport | kExport | kWrite,
     "recompute every block's checksum (without it, write refuses a stored checksum that does not match)"},
    {"check", "", kReport, "append the findings of the check after each report (exit status 1 on a failure)"},
    {"lf", "", kPrintsReports, "end lines with LF alone (for grep and diff); files keep CR LF"},
    {"simulate", "", kOnHardware, "use the simulated monitor instead of the PC's ports"},
    {"sim-adapter", "NAME", kOnHardware, "simulated adapter (default black-box):", SimulatedAdapterNames},
    {"sim-state", "FILE", kOnHardware, "keep the simulated monitor's EEPROMs in FILE between runs"},
    {"sim-fault", "NAME", kOnHardware, "simulated fault:", SimulatedFaultNames},
    {"sim-capture", "FILE", kOnHardware, "record SCL and SDA in simulated time into FILE (Value Change Dump)"},
    {"sim-eeprom-size", "BYTES", kOnHardware,
     "simulated EEPROM size: 256 (default), or 512 to 32768 for an E-DDC monitor with a segment pointer"},
    {"sim-access", "NAME", kOnHardware, "how the simulated parallel ports are reached (default raw):",
     SimulatedAccessNames},
    {"bus", "DEV", kOnOneBus, "the Linux I2C bus to use, /dev/i2c-N or N"},
    {"connector", "NAME", kOnOneBus, "the bus of this display connector (card0-HDMI-A-1, see list)"},
    {"force", "", kOnOneBus, "use a named system bus, and write over what is neither an EDID nor blank"},
    {"sysfs", "", kRead, "read the kernel's copy of the connector's EDID, not the bus"},
    {"sysfs-root", "DIR", kOnHardware, "where sysfs is (default /sys)"},
    {"protocol", "N", kTransfers, "0 DDC2B (default), 1 AOC command (TX-3), 2 AOC command (TX-1, TX-2)"},
    {"software-ddc", "", kTransfers, "Software DDC only: the EDID lives in the controller's page F0"},
    {"page", "PAGE", kTransfers, "mapped EDID page (hexadecimal) of the factory memory"},
    {"factory", "PAGE", kWrite, "also write the factory memory page PAGE (hexadecimal) and verify it"},
    {"serial-counter", "FILE", kWrite, "give each unit the number FILE holds; it advances after a verified write"},
    {"serial-field", "FIELD", kWrite, "where the serial goes (default binary):", SerialFieldNames},
    {"serial-format", "TEMPLATE", kWrite, "the serial's text, as SN{:06d} or {year}{week:02d}{n:05d} (default {})"},
    {"stamp-date", "", kWrite, "stamp each unit with today's week and year of manufacture"},
    {"log", "FILE", kWrite, "append one CSV line per unit to FILE"},
    {"repeat", "", kWrite, "program monitor after monitor: wait for each to come, then to go (Ctrl+C ends)"},
    {"sim-units", "N", kWrite, "N simulated monitors come one after another, each taken away when done"},
};

// getopt_long reports our long options by this value plus their row in kOptions.
constexpr int kLongOptionBase = 0x100;

struct Invocation {
  const CommandSpec* command = nullptr;
  std::map<std::string_view, std::string> options;
  std::vector<std::string> files;

  bool Has(std::string_view name) const { return options.count(name) != 0; }
  std::string Value(std::string_view name, std::string fallback = {}) const {
    const auto it = options.find(name);
    return it == options.end() ? fallback : it->second;
  }
};

// How the command line ends when it does not make an invocation: help or version printed (0), or a
// usage error (2).
struct ParseEnd {
  int status;
};

const CommandSpec* FindCommand(std::string_view name) {
  const auto found = std::find_if(std::begin(kCommands), std::end(kCommands),
                                  [&](const CommandSpec& c) { return c.name == name; });
  return found == std::end(kCommands) ? nullptr : found;
}

const OptionRow* FindOption(std::string_view name) {
  const auto found = std::find_if(std::begin(kOptions), std::end(kOptions),
                                  [&](const OptionRow& o) { return o.name == name; });
  return found == std::end(kOptions) ? nullptr : found;
}

std::string SynopsisOf(const CommandSpec& command) {
  std::string line = "tolvex-cli " + std::string(command.name);
  if (std::any_of(std::begin(kOptions), std::end(kOptions),
                  [&](const OptionRow& o) { return o.commands & command.command; })) {
    line += " [OPTION]...";
  }
  if (!command.arguments.empty()) line += " " + std::string(command.arguments);
  return line;
}

std::string ChoiceList(const std::vector<std::string_view>& names) {
  std::string list;
  for (std::string_view name : names) list += (list.empty() ? "" : ", ") + std::string(name);
  return list;
}

// "      --name=VALUE" padded to the help column, then the help.
std::string OptionLine(const OptionRow& option) {
  std::string line = "      --" + std::string(option.name);
  if (!option.value.empty()) line += "=" + std::string(option.value);
  line.resize(std::max<size_t>(line.size() + 2, 26), ' ');
  line += option.help;
  if (option.choices) line += " " + ChoiceList(option.choices());
  return line;
}

void PrintGeneralHelp(std::ostream& out) {
  out << cli_texts::kSynopsis;
  for (const CommandSpec& command : kCommands) {
    std::string left = "  " + std::string(command.name);
    left.resize(10, ' ');
    out << left << command.brief << '\n';
  }
  out << cli_texts::kGeneralOptions;
}

void PrintCommandHelp(const CommandSpec& command, std::ostream& out) {
  out << "Usage: " << SynopsisOf(command) << '\n' << command.brief << '\n';
  if (!command.details.empty()) out << command.details << '\n';
  out << cli_texts::kCommandOptions;
  for (const OptionRow& option : kOptions) {
    if (option.commands & command.command) out << OptionLine(option) << '\n';
  }
  out << cli_texts::kHelpOption;
}

// One line naming the mistake, then where to find help, as Unix tools do.
ParseEnd UsageError(std::ostream& err, const std::string& reason, const CommandSpec* command = nullptr) {
  err << cli_texts::kProgram << ": ";
  if (command) err << command->name << ": ";
  err << reason << '\n';
  if (command) {
    err << "Usage: " << SynopsisOf(*command) << '\n';
    err << FormatText(cli_texts::kTryCommandHelp, std::string(command->name).c_str());
  } else {
    err << cli_texts::kTryHelp;
  }
  return {2};
}

// What getopt_long reads: the arguments after the command, behind the command's own name.
class ArgumentVector {
 public:
  ArgumentVector(std::string_view command, const std::vector<std::string>& args) {
    storage_.emplace_back(command);
    storage_.insert(storage_.end(), args.begin() + 1, args.end());
    for (std::string& arg : storage_) pointers_.push_back(arg.data());
    pointers_.push_back(nullptr);
  }
  int Count() const { return static_cast<int>(storage_.size()); }
  char** Data() { return pointers_.data(); }

 private:
  std::vector<std::string> storage_;
  std::vector<char*> pointers_;
};

std::vector<option> LongOptionsOf(const CommandSpec& command) {
  std::vector<option> table;
  for (size_t row = 0; row < std::size(kOptions); ++row) {
    const OptionRow& option = kOptions[row];
    if (!(option.commands & command.command)) continue;
    // The names are literals, so their text is terminated.
    table.push_back({option.name.data(), option.value.empty() ? no_argument : required_argument, nullptr,
                     kLongOptionBase + static_cast<int>(row)});
  }
  table.push_back({"help", no_argument, nullptr, 'h'});
  table.push_back({nullptr, 0, nullptr, 0});
  return table;
}

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

// The value checks that need no hardware; a wrong value is a usage error.
std::optional<std::string> CheckValues(const Invocation& call) {
  if (call.Has("bus") && ParseBusName(call.Value("bus")) < 0) return std::string(cli_texts::kBusValues);
  if (call.Has("bus") && call.Has("connector")) return std::string(cli_texts::kBusOrConnector);
  if (call.Has("sysfs") && !call.Has("connector")) return std::string(cli_texts::kSysfsNeedsConnector);
  const std::string protocol = call.Value("protocol", "0");
  if (protocol != "0" && protocol != "1" && protocol != "2") return std::string(cli_texts::kProtocolValues);
  for (std::string_view name : {std::string_view("page"), std::string_view("factory")}) {
    const std::string page = call.Value(name);
    if (call.Has(name) && (page.empty() || page.size() > 4 ||
                           page.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)) {
      return FormatText(cli_texts::kPageValues, ("--" + std::string(name)).c_str());
    }
  }
  if (call.Has("sim-units") && !ParseSimulatedUnits(call.Value("sim-units"))) {
    return FormatText(cli_texts::kSimUnitsValues, kMaxSimulatedUnits);
  }
  if (const auto wrong = CheckProductionUsage(ProductionRequestOf(call), call.Has("serial-field"), call.Has("serial-format"))) {
    return wrong;
  }
  for (const OptionRow& option : kOptions) {
    if (!option.choices || !call.Has(option.name)) continue;
    const std::vector<std::string_view>& names = option.choices();
    if (std::find(names.begin(), names.end(), call.Value(option.name)) != names.end()) continue;
    return FormatText(cli_texts::kChoiceValues, std::string(option.name).c_str(), ChoiceList(names).c_str());
  }
  return std::nullopt;
}

std::variant<Invocation, ParseEnd> Parse(const std::vector<std::string>& args, std::ostream& out,
                                         std::ostream& err) {
  if (args.empty()) return UsageError(err, cli_texts::kNoCommand);
  const std::string& first = args[0];
  if (first == "--help" || first == "-h") {
    PrintGeneralHelp(out);
    return ParseEnd{0};
  }
  if (first == "--version") {
    out << cli_texts::kVersion;
    return ParseEnd{0};
  }
  if (first == "help") {
    if (args.size() < 2) {
      PrintGeneralHelp(out);
      return ParseEnd{0};
    }
    const CommandSpec* command = FindCommand(args[1]);
    if (!command) return UsageError(err, FormatText(cli_texts::kUnknownCommand, args[1].c_str()));
    PrintCommandHelp(*command, out);
    return ParseEnd{0};
  }

  Invocation call;
  call.command = FindCommand(first);
  if (!call.command) {
    const bool looksLikeOption = first.size() > 1 && first[0] == '-';
    return UsageError(err, FormatText(looksLikeOption ? cli_texts::kUnknownOption : cli_texts::kUnknownCommand,
                                      first.c_str()));
  }
  const CommandSpec& command = *call.command;

  ArgumentVector argv(std::string(cli_texts::kProgram) + " " + std::string(command.name), args);
  const std::vector<option> longOptions = LongOptionsOf(command);
  // getopt keeps its position in globals: 0 makes it start afresh on this vector, and its own
  // messages are off so that ours name the command.
  optind = 0;
  opterr = 0;
  for (;;) {
    const int code = getopt_long(argv.Count(), argv.Data(), ":h", longOptions.data(), nullptr);
    if (code == -1) break;
    if (code == 'h') {
      PrintCommandHelp(command, out);
      return ParseEnd{0};
    }
    if (code >= kLongOptionBase) {
      const OptionRow& option = kOptions[code - kLongOptionBase];
      call.options[option.name] = optarg ? optarg : "";
      continue;
    }
    // The argument getopt stopped at, for the message.
    const std::string offending = argv.Data()[optind - 1] ? argv.Data()[optind - 1] : "";
    if (code == ':') {
      const OptionRow& option = kOptions[optopt - kLongOptionBase];
      return UsageError(err, FormatText(cli_texts::kNeedsValue, std::string(option.name).c_str(),
                                        std::string(option.value).c_str()),
                        &command);
    }
    // '?': an unknown option, or one that belongs to another command, or a value given to a switch.
    const std::string name = offending.substr(0, offending.find('='));
    const OptionRow* elsewhere = name.size() > 2 && name.compare(0, 2, "--") == 0 ? FindOption(name.substr(2)) : nullptr;
    if (elsewhere && (elsewhere->commands & command.command)) {
      return UsageError(err, FormatText(cli_texts::kTakesNoValue, std::string(elsewhere->name).c_str()), &command);
    }
    if (elsewhere) {
      return UsageError(err, FormatText(cli_texts::kNotAnOptionOf, name.c_str(), std::string(command.name).c_str()),
                        &command);
    }
    return UsageError(err, FormatText(cli_texts::kUnknownOption, offending.c_str()), &command);
  }
  for (int i = optind; i < argv.Count(); ++i) call.files.emplace_back(argv.Data()[i]);

  const int files = static_cast<int>(call.files.size());
  if (files < command.minFiles) return UsageError(err, cli_texts::kMissingFile, &command);
  if (files > command.maxFiles) return UsageError(err, cli_texts::kTooManyFiles, &command);
  if (const auto wrong = CheckValues(call)) return UsageError(err, *wrong, &command);
  return call;
}

void PrintFileError(std::ostream& err, const std::string& file, const std::string& reason) {
  err << cli_texts::kProgram << ": " << file << ": " << reason << '\n';
}

bool IsStandardInput(const std::string& name) { return name == cli_texts::kStandardInput; }

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

EdidFile LoadInput(const std::string& name, const CliEnvironment& environment) {
  return IsStandardInput(name) ? LoadStandardInput(environment.input) : LoadEdidFile(name);
}

std::string DisplayName(const std::string& name) {
  return IsStandardInput(name) ? cli_texts::kStandardInputName : name;
}

// Reports are CR LF text, the file format; --lf gives LF lines for pipes into grep and diff.
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
CalendarDate UnusedDate() { return {2000, 1, 1}; }

// The block and the extensions of a file, with the checksums mended when the user says so.
struct LoadedEdid {
  EdidBlock block{UnusedDate};
  EdidExtensions extensions;
};

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

// One line per finding, "FILE: failure: bytes 8-9: manufacturer: ...", or "FILE: ok"; whether
// any was a failure.
bool PrintFindings(const std::string& name, const std::vector<uint8_t>& edid, std::string_view lineEnd,
                   std::ostream& out) {
  const CheckFindings findings = CheckEdid(edid);
  if (findings.empty()) out << name << cli_texts::kFileSeparator << cli_texts::kCheckClean << lineEnd;
  for (const CheckFinding& finding : findings) out << name << cli_texts::kFileSeparator << FormatFinding(finding) << lineEnd;
  return HasFailure(findings);
}

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

// A file that lacks bytes is printed all the same, so the user sees what is there (the missing
// bytes as zero), and named on stderr.
int RunReport(const Invocation& call, std::ostream& out, std::ostream& err, const CliEnvironment& environment) {
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

int RunCheck(const Invocation& call, std::ostream& out, std::ostream& err, const CliEnvironment& environment) {
  const int status = ForEachFile(call, err, environment, [&](const std::string& name, const EdidFile& file) {
    return !PrintFindings(name, JoinWholeEdid(file.bytes, file.extensions), "\n", out);
  });
  out.flush();
  return status;
}

int RunNew(const Invocation& call, std::ostream& out) {
  EdidBlock block;
  PrintReport(call, out, FormatEdidReport(block));
  out.flush();
  return 0;
}

TransferSettings SettingsOf(const Invocation& call) {
  TransferSettings settings;
  settings.protocol = static_cast<uint32_t>(std::stoi(call.Value("protocol", "0")));
  if (call.Has("software-ddc")) {
    // As the configuration dialog does: Software DDC only turns the factory write on at page F0.
    settings.softwareDdcOnly = true;
    settings.factoryEnable = 1;
    settings.mappedPage = "F0";
  }
  if (call.Has("page")) settings.mappedPage = call.Value("page");
  if (call.Has("factory")) {
    settings.factoryEnable = 1;
    settings.mappedPage = call.Value("factory");
  }
  return settings;
}
// Through a temporary file beside the target: a failed write never leaves half a file, and an
// existing file the user may not write stays as it is.
bool WriteOutput(const std::string& path, const std::string& content, std::string& error) {
  const FileError failed = WriteFileAtomically(path, content);
  if (failed) error = DescribeFileError(failed);
  return !failed;
}

// Only an EDID whole and consistent goes into a firmware file; nothing is written otherwise.
int RunExport(const Invocation& call, std::ostream& err, const CliEnvironment& environment) {
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
  std::string error;
  if (!WriteOutput(path, std::string(bytes.begin(), bytes.end()), error)) {
    PrintFileError(err, path, error);
    return 1;
  }
  return 0;
}

// The simulated or the real hardware; nothing, after a message, when it cannot be used.
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

// Prints the I2C channel the command would use; 1 when there is none. On a kernel bus a monitor
// must answer at 0xA0.
int RunProbe(const Invocation& call, std::ostream& out, std::ostream& err) {
  std::unique_ptr<Hardware> hardware = MakeHardware(call, err);
  if (!hardware) return 1;
  EdidBlock block;
  ConsoleUi ui(block, err, false);
  const LinuxRequest request = LinuxRequestOf(call);
  KernelView view(*hardware, request);
  Route route = ChooseRoute(*hardware, view, request, ui, false);
  if (!route.Bus()) {
    PrintLine(err, route.error);
    return 1;
  }
  if (route.bitBus) {
    out << texts::kChannelNames[route.bitBus->Channel()] << '\n';
    return 0;
  }
  if (!route.kernelBus->Probe(kEepromWrite).Ok()) {
    PrintLine(err, FormatText(cli_texts::kNothingAnswers, route.kernelBus->GuardForWrites()->busLabel.c_str()));
    return 1;
  }
  for (const LinuxBusChannel& channel : ListLinuxBuses(view.Discovery())) {
    if (channel.adapter->number == route.busNumber) out << channel.Label() << '\n';
  }
  return 0;
}

int RunList(const Invocation& call, std::ostream& out, std::ostream& err) {
  std::unique_ptr<Hardware> hardware = MakeHardware(call, err);
  if (!hardware) return 1;
  EdidBlock block;
  ConsoleUi ui(block, err, false);
  KernelView view(*hardware, LinuxRequestOf(call));
  return ListChannels(*hardware, view, ui, out, err);
}

// The kernel's copy of a connector's EDID, read as a monitor read is.
int ReadKernelCopy(const WholeEdid& edid, EdidBlock& block, EdidExtensions& extensions, ConsoleUi& ui) {
  TakeReadEdid({edid.base, edid.extensions, {}}, block, extensions, ui, ui);
  return ui.Report() ? 0 : 1;
}

// Why the blocks of `file` must not go to a monitor as they stand, with --fix-checksum or not.
std::optional<std::string> WriteRefusal(const EdidFile& file, bool fixChecksums) {
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

int RunTransfer(const Invocation& call, std::ostream& out, std::ostream& err, const CliEnvironment& environment) {
  const std::string& path = call.files[0];
  const bool reading = call.command->command == kRead;
  EdidBlock block;
  EdidExtensions extensions;
  const ProductionRequest production = ProductionRequestOf(call);
  std::optional<ProductionSetup> setup;
  if (!reading) {
    const EdidFile file = LoadEdidFile(path);
    if (!file.ok) {
      PrintFileError(err, path, file.error);
      return 1;
    }
    // No way round on the command line: bytes the file lacks never reach a monitor. A stored
    // checksum is what shows a block changed since it was saved; it is replaced (as opening the
    // file in the program does) only when the user says so.
    if (const std::optional<std::string> refusal = WriteRefusal(file, call.Has("fix-checksum"))) {
      PrintFileError(err, path, *refusal);
      return 1;
    }
    block.Bytes() = file.bytes;
    block.SetProductCodeFormat(file.productCodeFormat);
    block.SetSerialFormat(file.serialFormat);
    block.UpdateChecksum();  // as opening the file in the program does
    extensions = file.extensions;
    if (call.Has("fix-checksum")) UpdateExtensionChecksums(extensions);
    if (production.Wanted() && !(setup = PrepareProduction(production, block, extensions, err))) return 1;
  }

  std::unique_ptr<Hardware> hardware = MakeHardware(call, err);
  if (!hardware) return 1;

  ConsoleUi ui(block, err, environment.progressInPlace);
  const LinuxRequest request = LinuxRequestOf(call);
  KernelView view(*hardware, request);
  Route route;
  if (call.Has("sysfs")) {
    route.connector = view.Discovery().Connector(request.connector);
    if (route.connector) route.kernelCopy = KernelEdid(*route.connector);
    if (!route.kernelCopy) {
      route.error = route.connector ? FormatText(texts::kNoKernelEdid, request.connector.c_str())
                                    : FormatText(cli_texts::kNoConnector, request.connector.c_str());
    }
  } else {
    route = ChooseRoute(*hardware, view, request, ui, reading);
  }
  if (!route.error.empty()) {
    PrintLine(err, route.error);
    return 1;
  }
  if (!route.note.empty()) PrintLine(err, route.note);

  const TransferSettings settings = SettingsOf(call);
  std::unique_ptr<CEdidTransfer> transfer;
  if (route.bitBus) {
    transfer = std::make_unique<CEdidTransfer>(*route.bitBus, block, extensions, settings, hardware->GetClock(), ui, ui);
  } else if (route.kernelBus) {
    transfer =
        std::make_unique<CEdidTransfer>(*route.kernelBus, block, extensions, settings, hardware->GetClock(), ui, ui);
  }

  std::string error;
  if (setup) {
    const ProductionStation station = route.bitBus ? ProductionStation(*route.bitBus, settings, *hardware)
                                                   : ProductionStation(*route.kernelBus, settings, *hardware);
    const int status = RunProductionWrite(production, *setup, station, out, err, environment);
    if (!hardware->Persist(error)) {
      err << cli_texts::kProgram << ": " << error << '\n';
      return 1;
    }
    return status;
  }
  if (reading) {
    if (transfer) {
      transfer->OnEdidRead();
    } else {
      ReadKernelCopy(*route.kernelCopy, block, extensions, ui);
    }
    if (ui.ErrorShown() || !ui.Report()) return 1;
    std::string content = *ui.Report();
    if (HasBinaryEdidName(path)) {
      const std::vector<uint8_t> bytes = JoinWholeEdid(block.Bytes(), extensions);
      content.assign(bytes.begin(), bytes.end());
    }
    if (!WriteOutput(path, content, error)) {
      PrintFileError(err, path, error);
      return 1;
    }
  } else {
    transfer->OnEdidWrite();
    if (ui.RiskRefused()) PrintLine(err, cli_texts::kForceHint);
    if (ui.ErrorShown()) return 1;
    err << cli_texts::kProgram << ": " << path << ": " << cli_texts::kWrittenAndVerified << '\n';
  }
  if (!hardware->Persist(error)) {
    err << cli_texts::kProgram << ": " << error << '\n';
    return 1;
  }
  return 0;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const CliEnvironment& environment) {
  const std::variant<Invocation, ParseEnd> parsed = Parse(args, out, err);
  if (const ParseEnd* end = std::get_if<ParseEnd>(&parsed)) return end->status;
  const Invocation& call = std::get<Invocation>(parsed);
  switch (call.command->command) {
    case kReport: return RunReport(call, out, err, environment);
    case kExport: return RunExport(call, err, environment);
    case kCheck: return RunCheck(call, out, err, environment);
    case kNew: return RunNew(call, out);
    case kRead:
    case kWrite: return RunTransfer(call, out, err, environment);
    case kProbe: return RunProbe(call, out, err);
    case kList: return RunList(call, out, err);
  }
  return 2;
}

}  // namespace tolvex
