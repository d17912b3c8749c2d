#include "cli/command_line.h"

#include <getopt.h>

#include <algorithm>
#include <iterator>
#include <optional>

#include "cli/cli_texts.h"
#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/production_cli.h"
#include "ddc/format_text.h"
#include "ddc/hardware.h"
#include "ddc/linux/linux_channels.h"
#include "ddc/usb/usb_programmers.h"
#include "util/file_io.h"

namespace tolvex {

namespace {

constexpr int kAnyNumber = 1 << 30;

constexpr CommandSpec kCommands[] = {
    {"report", kReport, "FILE...", "Print the EDID report of each FILE.",
     "FILE is a .ddc report or raw binary EDID; - reads standard input. The report is exactly what a\n"
     "saved .ddc file holds (CR LF lines), extension blocks included.",
     1, kAnyNumber, RunReport},
    {"check", kCheck, "FILE...", "Check each FILE against the EDID rules.",
     "Prints 'FILE: failure|warning: bytes A-B: RULE: sentence' for each finding, or 'FILE: ok'. A\n"
     "binary FILE is checked whole, extension blocks included. The exit status is 1 when any file has\n"
     "a failure or cannot be read, 0 when there are at most warnings.",
     1, kAnyNumber, RunCheck},
    {"info", kInfo, "FILE...", "Print the decoded whole EDID of each FILE.",
     "Every block: the base block's facts and its E-EDID 1.4 reading, each CTA-861 data block and\n"
     "detailed timing, DisplayID's data blocks, the block map; each item with its bytes in the whole\n"
     "EDID. --json prints one JSON object per file instead (the keys are listed in tolvex-cli(1)).",
     1, kAnyNumber, RunInfo},
    {"edit", kEdit, "IN OUT", "Edit the whole EDID of IN and write the result into OUT.",
     "The edits run in the order given; each is one consistent change (offsets, the 4:2:0 map, byte\n"
     "126 and every checksum follow). OUT is raw binary, or a report when its name ends in .ddc; IN is\n"
     "never changed. After each edit the check's findings that it added are printed. An edit that\n"
     "cannot be done is named with the reason, exit status 1, and nothing is written.",
     2, 2, RunEdit},
    {"diff", kDiff, "A B", "Print every decoded field and every byte in which A and B differ.",
     "Each field as 'PATH: OLD -> NEW' (the paths of info --json), then each differing byte as\n"
     "'OFFSET: OLD -> NEW' in hexadecimal. The exit status is 0 when they are the same, 1 when they\n"
     "differ or a file cannot be read.",
     2, 2, RunDiff},
    {"export", kExport, "IN OUT", "Write the EDID of IN as raw binary into OUT.",
     "IN is a .ddc report or raw binary EDID; OUT gets every block, ready for the kernel's\n"
     "drm.edid_firmware= or /lib/firmware/edid/; - writes them to standard output.",
     2, 2, RunExport},
    {"new", kNew, "", "Print the report of a freshly reset block.", "", 0, 0, RunNew},
    {"read", kRead, "FILE", "Read the monitor's EDID into FILE.",
     "FILE becomes a .ddc report, or raw binary EDID (every block) when its name ends in .bin,\n"
     ".edid or .raw.",
     1, 1, RunTransfer},
    {"write", kWrite, "FILE", "Write the EDID of FILE into the monitor and verify it.",
     "FILE is a .ddc report or raw binary EDID; every block it holds is written. With --serial-counter\n"
     "each unit gets the counter's number, which advances only after a verified write; --log appends\n"
     "one CSV line per unit; --repeat programs monitor after monitor. Every unit gets every block;\n"
     "only its base block changes. PASS or FAIL and the serial go to stdout, one line a unit; the\n"
     "exit status is 0 only when every unit was verified.",
     1, 1, RunTransfer},
    {"probe", kProbe, "", "Print the I2C channel the program finds.",
     "With --bus or --connector: whether a monitor answers on that bus. The exit status is 1 when there\n"
     "is none.",
     0, 0, RunProbe},
    {"list", kList, "", "Print every I2C channel the program finds, one a line.",
     "Each line: the device, the connector (or the adapter's name), the monitor, and for a bus the\n"
     "safety rules exclude, \"refused:\" with the reason. Fields are separated by tabs. The exit status\n"
     "is 1 when there is none.",
     0, 0, RunList},
    {"apply", kApply, "[FILE]", "Apply the EDID of FILE to a connector until the next boot, or --reset it.",
     "Writes the whole EDID in one write() to the connector's edid_override in debugfs\n"
     "(DEBUGFS/dri/MINOR/CONNECTOR, or dri/PCI-ADDRESS/CONNECTOR on newer kernels), then 'detect' to\n"
     "its status in sysfs, so the kernel probes it again; the monitor is not touched. Needs root.\n"
     "A FILE with a wrong checksum is refused.",
     0, 1, RunApply},
    {"install-firmware", kInstallFirmware, "FILE", "Install the EDID of FILE as firmware for a connector.",
     "Writes ROOT/lib/firmware/edid/NAME.bin atomically (NAME is the --connector value), then prints the\n"
     "kernel parameter drm.edid_firmware=CONNECTOR:edid/NAME.bin and the step that puts the file into\n"
     "the initramfs of the tool found under ROOT (initramfs-tools, dracut, mkinitcpio). Changes no\n"
     "boot configuration.",
     1, 1, RunInstallFirmware},
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
    {"json", "", kInfo, "print each file's decoded EDID as one JSON object"},
    {"vrr", "MIN-MAX[,amd]", kEdit,
     "the VRR range in every place the EDID keeps it; ',amd' adds the AMD FreeSync block where there is none"},
    {"rgb-only", "", kEdit, "take YCbCr away: header bits, 1.4 colour encodings, the 4:2:0 blocks"},
    {"max-tmds", "MHZ[,GBPS]", kEdit, "the maximum TMDS clock (25-600 MHz), and the HDMI Forum FRL rate in Gbit/s"},
    {"add-vic", "N", kEdit, "add VIC N to the Video Data Block"},
    {"remove-vic", "N", kEdit, "remove VIC N everywhere the CTA-861 block lists it"},
    {"hdr-luminance", "MAX[,AVG[,MIN]]", kEdit, "the HDR static metadata luminance in cd/m^2 (nearest codes)"},
    {"add-timing", "WxH@HZ[,rb2]", kEdit, "add a CVT reduced-blanking timing (v1, or v2 with ',rb2')"},
    {"remove-block", "N", kEdit, "remove extension block N"},
    {"set", "PATH=VALUE", kEdit, "set the field at PATH (as info --json names it) to VALUE"},
    {"simulate", "", kOnHardware, "use the simulated monitor instead of the PC's ports"},
    {"sim-adapter", "NAME", kOnHardware, "simulated adapter (default black-box):", SimulatedAdapterNames},
    {"sim-state", "FILE", kOnHardware, "keep the simulated monitor's EEPROMs in FILE between runs"},
    {"sim-fault", "NAME", kOnHardware, "simulated fault:", SimulatedFaultNames},
    {"sim-capture", "FILE", kOnHardware, "record SCL and SDA in simulated time into FILE (Value Change Dump)"},
    {"sim-eeprom-size", "BYTES", kOnHardware,
     "simulated EEPROM size: 256 (default), or 512 to 32768 for an E-DDC monitor with a segment pointer"},
    {"sim-access", "NAME", kOnHardware, "how the simulated parallel ports are reached (default raw):",
     SimulatedAccessNames},
    {"bus", "DEV", kOnOneBus, "the Linux I2C bus to use, /dev/i2c-N or N; or ch341a (ch341a:B.D among several)"},
    {"connector", "NAME", kOnOneBus | kApply | kInstallFirmware,
     "the display connector (card0-HDMI-A-1, see list)"},
    {"reset", "", kApply, "take the connector's override away again"},
    {"debugfs-root", "DIR", kApply, "where debugfs is (default /sys/kernel/debug)"},
    {"root", "DIR", kInstallFirmware, "the root of the system that gets the file (default /)"},
    {"force", "", kOnOneBus,
     "use a named system bus, and write over what is neither an EDID nor blank, or over another monitor's EDID"},
    {"no-backup", "", kWrite, "keep no backup of what the EEPROM held (see TOLVEX_BACKUP_DIR)"},
    {"sysfs", "", kRead, "read the kernel's copy of the connector's EDID, not the bus"},
    {"sysfs-root", "DIR", kOnHardware | kApply, "where sysfs is (default /sys)"},
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
    left.resize(std::max<size_t>(left.size() + 2, 10), ' ');
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

struct NamedFile {
  std::string what;  // as the messages call it: FILE, IN, OUT or the option
  std::string path;
  bool written;
};

// Every file the command line names, with whether the command writes it.
std::vector<NamedFile> NamedFiles(const Invocation& call) {
  std::vector<NamedFile> named;
  const unsigned command = call.command->command;
  if (command & kTransfers) named.push_back({"FILE", call.files[0], command == kRead});
  if (command == kExport || command == kEdit) {
    named.push_back({"IN", call.files[0], false});
    named.push_back({"OUT", call.files[1], true});
  }
  for (std::string_view option : {"sim-state", "sim-capture", "serial-counter", "log"}) {
    if (call.Has(option)) named.push_back({"--" + std::string(option), call.Value(option), true});
  }
  return named;
}

// A file the command writes that another name on the command line also reaches: what one of them
// holds would be lost to the other (a report replaced by its own bytes, a read by the state).
std::optional<std::string> FindSharedFile(const Invocation& call) {
  const std::vector<NamedFile> named = NamedFiles(call);
  for (size_t i = 0; i < named.size(); ++i) {
    for (size_t j = i + 1; j < named.size(); ++j) {
      const NamedFile& a = named[i];
      const NamedFile& b = named[j];
      if (!(a.written || b.written) || a.path == cli_texts::kStandardOutput || b.path == cli_texts::kStandardOutput) {
        continue;
      }
      if (SameFile(a.path, b.path)) return FormatText(cli_texts::kSameFile, a.what.c_str(), b.what.c_str());
    }
  }
  return std::nullopt;
}

// The value checks that need no hardware; a wrong value is a usage error.
std::optional<std::string> CheckValues(const Invocation& call) {
  if (call.Has("bus") && ParseBusName(call.Value("bus")) < 0 && !NamesUsbProgrammer(call.Value("bus"))) return std::string(cli_texts::kBusValues);
  if (call.Has("bus") && call.Has("connector")) return std::string(cli_texts::kBusOrConnector);
  if (call.Has("sysfs") && !call.Has("connector")) return std::string(cli_texts::kSysfsNeedsConnector);
  if ((call.command->command & (kApply | kInstallFirmware)) && !call.Has("connector")) {
    return std::string(cli_texts::kNeedsConnector);
  }
  if (call.command->command == kApply && call.Has("reset") == !call.files.empty()) {
    return std::string(cli_texts::kFileOrReset);
  }
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
  if (call.Has("sim-eeprom-size") && !ParseSimulatedEepromSize(call.Value("sim-eeprom-size"))) {
    return std::string(cli_texts::kSimEepromSizeValues);
  }
  if (const auto same = FindSharedFile(call)) return same;
  if (call.command->command == kEdit) {
    if (const auto wrong = CheckEditUsage(call)) return wrong;
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

}  // namespace

std::variant<Invocation, ParseEnd> ParseCommandLine(const std::vector<std::string>& args, std::ostream& out,
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
      call.sequence.emplace_back(option.name, optarg ? optarg : "");
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

}  // namespace tolvex
