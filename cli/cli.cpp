#include "cli/cli.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <string_view>

#include "cli/cli_texts.h"
#include "cli/console_ui.h"
#include "cli/edid_file.h"
#include "ddc/hardware.h"
#include "ddc/edid_transfer.h"
#include "ddc/ddc_texts.h"
#include "ddc/format_text.h"
#include "ddc/i2c_bus.h"
#include "report/edid_report.h"

namespace tolvex {

namespace {

enum Command : unsigned { kReport = 1, kNew = 2, kRead = 4, kWrite = 8, kProbe = 16 };

struct CommandSpec {
  std::string_view name;
  Command command;
  int minFiles;
  int maxFiles;
};

constexpr CommandSpec kCommands[] = {
    {"report", kReport, 1, 1 << 30},
    {"new", kNew, 0, 0},
    {"read", kRead, 1, 1},
    {"write", kWrite, 1, 1},
    {"probe", kProbe, 0, 0},
};

struct OptionSpec {
  std::string_view name;
  std::string_view value;  // empty: a switch without a value
  unsigned commands;
  std::string_view help;
};

constexpr OptionSpec kOptions[] = {
    {"--fix-checksum", "", kReport, "recompute the checksum byte before printing"},
    {"--simulate", "", kRead | kWrite | kProbe, "use the simulated monitor instead of the PC's ports"},
    {"--sim-adapter", "NAME", kRead | kWrite | kProbe, "simulated adapter: black-box (default), service-kit or s3"},
    {"--sim-state", "FILE", kRead | kWrite | kProbe, "keep the simulated monitor's EEPROMs in FILE between runs"},
    {"--sim-fault", "NAME", kRead | kWrite | kProbe, "simulated fault: unplugged, sda-low, write-protect or no-controller"},
    {"--protocol", "N", kRead | kWrite, "0 DDC2B (default), 1 AOC command (TX-3), 2 AOC command (TX-1, TX-2)"},
    {"--software-ddc", "", kRead | kWrite, "Software DDC only: the EDID lives in the controller's page F0"},
    {"--page", "PAGE", kRead | kWrite, "mapped EDID page (hexadecimal) of the factory memory"},
    {"--factory", "PAGE", kWrite, "also write the factory memory page PAGE (hexadecimal) and verify it"},
};

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

void PrintUsage(std::ostream& err) {
  err << cli_texts::kUsage;
  for (const OptionSpec& option : kOptions) {
    std::string left = "  " + std::string(option.name);
    if (!option.value.empty()) left += " " + std::string(option.value);
    left.resize(std::max<size_t>(left.size() + 2, 24), ' ');
    err << left << option.help << '\n';
  }
}

// Nothing when the arguments do not make a valid command line.
std::optional<Invocation> Parse(const std::vector<std::string>& args, std::ostream& err) {
  if (args.empty()) return std::nullopt;
  Invocation call;
  for (const CommandSpec& entry : kCommands) {
    if (args[0] == entry.name) call.command = &entry;
  }
  if (!call.command) return std::nullopt;

  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
      call.files.push_back(arg);
      continue;
    }
    const auto option = std::find_if(std::begin(kOptions), std::end(kOptions),
                                   [&](const OptionSpec& o) { return o.name == arg; });
    if (option == std::end(kOptions) || !(option->commands & call.command->command)) {
      err << cli_texts::kProgram << ": " << arg << " is not an option of " << call.command->name << '\n';
      return std::nullopt;
    }
    if (option->value.empty()) {
      call.options[option->name] = "";
    } else if (i + 1 < args.size()) {
      call.options[option->name] = args[++i];
    } else {
      err << cli_texts::kProgram << ": " << arg << " needs " << option->value << '\n';
      return std::nullopt;
    }
  }
  const int files = static_cast<int>(call.files.size());
  if (files < call.command->minFiles || files > call.command->maxFiles) return std::nullopt;

  const std::string protocol = call.Value("--protocol", "0");
  if (protocol != "0" && protocol != "1" && protocol != "2") {
    err << cli_texts::kProgram << ": --protocol takes 0, 1 or 2\n";
    return std::nullopt;
  }
  for (std::string_view name : {std::string_view("--page"), std::string_view("--factory")}) {
    const std::string page = call.Value(name);
    if (call.Has(name) && (page.empty() || page.size() > 4 ||
                           page.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)) {
      err << cli_texts::kProgram << ": " << name << " takes one to four hexadecimal digits\n";
      return std::nullopt;
    }
  }
  return call;
}

void PrintFileError(std::ostream& err, const std::string& file, const std::string& reason) {
  err << cli_texts::kProgram << ": " << file << ": " << reason << '\n';
}

int RunReport(const Invocation& call, std::ostream& out, std::ostream& err) {
  int status = 0;
  for (const std::string& name : call.files) {
    const EdidFile file = LoadEdidFile(name);
    if (!file.ok) {
      PrintFileError(err, name, file.error);
      status = 1;
      continue;
    }
    EdidBlock block;
    block.Bytes() = file.bytes;
    block.SetProductCodeFormat(file.productCodeFormat);
    block.SetSerialFormat(file.serialFormat);
    if (call.Has("--fix-checksum")) block.UpdateChecksum();
    out << FormatEdidReport(block);
  }
  out.flush();
  return status;
}

int RunNew(std::ostream& out) {
  EdidBlock block;
  out << FormatEdidReport(block);
  out.flush();
  return 0;
}

TransferSettings SettingsOf(const Invocation& call) {
  TransferSettings settings;
  settings.protocol = static_cast<uint32_t>(std::stoi(call.Value("--protocol", "0")));
  if (call.Has("--software-ddc")) {
    // As the configuration dialog does: Software DDC only turns the factory write on at page F0.
    settings.softwareDdcOnly = true;
    settings.factoryEnable = 1;
    settings.mappedPage = "F0";
  }
  if (call.Has("--page")) settings.mappedPage = call.Value("--page");
  if (call.Has("--factory")) {
    settings.factoryEnable = 1;
    settings.mappedPage = call.Value("--factory");
  }
  return settings;
}

bool WriteOutput(const std::string& path, const std::string& content, std::string& error) {
  // Written beside the target and renamed, so a failed write never leaves half a file.
  const std::string temporary = path + ".tmp";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file.write(content.data(), static_cast<std::streamsize>(content.size()));
    file.close();
    if (!file) {
      error = cli_texts::kCannotWrite;
      std::remove(temporary.c_str());
      return false;
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    error = cli_texts::kCannotWrite;
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

bool EndsWith(const std::string& text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The simulated or the real hardware; nothing, after a message, when it cannot be used.
std::unique_ptr<Hardware> MakeHardware(const Invocation& call, std::ostream& err) {
  std::unique_ptr<Hardware> hardware;
  if (call.Has("--simulate")) {
    SimulationOptions options;
    options.adapter = call.Value("--sim-adapter", options.adapter);
    options.stateFile = call.Value("--sim-state");
    options.fault = call.Value("--sim-fault");
    std::string error;
    hardware = MakeSimulatedHardware(options, error);
    if (!hardware) err << cli_texts::kProgram << ": " << error << '\n';
  } else {
    hardware = MakeRealHardware();
    if (!hardware->HasPortAccess()) {
      err << cli_texts::kProgram << ": " << cli_texts::kNoPortAccess << ": " << hardware->AccessNote() << '\n';
      hardware.reset();
    }
  }
  return hardware;
}

// Prints the I2C channel that discovery finds; 1 when there is none.
int RunProbe(const Invocation& call, std::ostream& out, std::ostream& err) {
  std::unique_ptr<Hardware> hardware = MakeHardware(call, err);
  if (!hardware) return call.Has("--simulate") ? 2 : 1;
  EdidBlock block;
  ConsoleUi ui(block, err, false);
  CI2cBus bus(hardware->Io(), hardware->GetClock(), ui);
  if (bus.Channel() == kChannelNone) {
    err << cli_texts::kProgram << ": " << cli_texts::kNoAdapter << '\n';
    return 1;
  }
  out << texts::kChannelNames[bus.Channel()] << '\n';
  return 0;
}

int RunTransfer(const Invocation& call, std::ostream& err, const CliEnvironment& environment) {
  const std::string& path = call.files[0];
  EdidBlock block;
  if (call.command->command == kWrite) {
    const EdidFile file = LoadEdidFile(path);
    if (!file.ok) {
      PrintFileError(err, path, file.error);
      return 1;
    }
    block.Bytes() = file.bytes;
    block.SetProductCodeFormat(file.productCodeFormat);
    block.SetSerialFormat(file.serialFormat);
    block.UpdateChecksum();  // as opening the file in the program does
  }

  std::unique_ptr<Hardware> hardware = MakeHardware(call, err);
  if (!hardware) return call.Has("--simulate") ? 2 : 1;

  ConsoleUi ui(block, err, environment.progressInPlace);
  CI2cBus bus(hardware->Io(), hardware->GetClock(), ui);
  if (bus.Channel() == kChannelNone) {
    err << cli_texts::kProgram << ": " << cli_texts::kNoAdapter << '\n';
    return 1;
  }
  const TransferSettings settings = SettingsOf(call);
  CEdidTransfer transfer(bus, block, settings, hardware->GetClock(), ui, ui);

  std::string error;
  if (call.command->command == kRead) {
    transfer.OnEdidRead();
    if (ui.ErrorShown() || !ui.Report()) return 1;
    if (ui.ChecksumBeforeRefresh() && *ui.ChecksumBeforeRefresh() != block.GetChecksum()) {
      err << cli_texts::kProgram << ": "
          << FormatText(cli_texts::kChecksumNote, *ui.ChecksumBeforeRefresh(), block.GetChecksum()) << '\n';
    }
    const bool binary = EndsWith(path, ".bin");
    const std::string content = binary ? std::string(block.Bytes().begin(), block.Bytes().end()) : *ui.Report();
    if (!WriteOutput(path, content, error)) {
      PrintFileError(err, path, error);
      return 1;
    }
  } else {
    transfer.OnEdidWrite();
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
  const std::optional<Invocation> call = Parse(args, err);
  if (!call) {
    PrintUsage(err);
    return 2;
  }
  switch (call->command->command) {
    case kReport: return RunReport(*call, out, err);
    case kNew: return RunNew(out);
    case kRead:
    case kWrite: return RunTransfer(*call, err, environment);
    case kProbe: return RunProbe(*call, out, err);
  }
  return 2;
}

}  // namespace tolvex
