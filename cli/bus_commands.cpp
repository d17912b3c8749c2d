#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_texts.h"
#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/console_ui.h"
#include "cli/linux_routes.h"
#include "cli/production_cli.h"
#include "ddc/ddc_texts.h"
#include "ddc/edid_transfer.h"
#include "ddc/format_text.h"
#include "ddc/i2c_bus.h"
#include "ddc/linux/linux_channels.h"
#include "ddc/linux/linux_texts.h"
#include "model/edid_extensions.h"
#include "report/edid_input.h"
#include "util/text_escape.h"

namespace tolvex {

namespace {

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
  settings.keepBackups = !call.Has("no-backup");
  return settings;
}

// The kernel's copy of a connector's EDID, read as a monitor read is.
int ReadKernelCopy(const WholeEdid& edid, EdidBlock& block, EdidExtensions& extensions, ConsoleUi& ui) {
  TakeReadEdid({edid.base, edid.extensions, {}}, block, extensions, ui, ui);
  return ui.Report() ? 0 : 1;
}

// What the kernel bus did round its adapter's limits, said once the command is done.
void PrintFallbacks(const Route& route, std::ostream& err) {
  if (!route.kernelBus) return;
  for (const std::string& note : route.kernelBus->FallbackNotes()) PrintLine(err, note);
}

}  // namespace

// Prints the I2C channel the command would use; 1 when there is none. On a kernel bus a monitor
// must answer at 0xA0.
int RunProbe(const Invocation& call, const CommandStreams& streams) {
  std::ostream& out = streams.out;
  std::ostream& err = streams.err;
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
  const bool answers = route.Bus()->Probe(kEepromWrite).Ok();
  PrintFallbacks(route, err);
  if (!answers) {
    PrintLine(err, FormatText(cli_texts::kNothingAnswers, route.Bus()->GuardForWrites()->busLabel.c_str()));
    return 1;
  }
  if (route.programmer) out << EscapeControls(route.programmer->GuardForWrites()->busLabel) << '\n';
  for (const LinuxBusChannel& channel : ListLinuxBuses(view.Discovery())) {
    if (channel.adapter->number == route.busNumber) out << EscapeControls(channel.Label()) << '\n';
  }
  return 0;
}

int RunList(const Invocation& call, const CommandStreams& streams) {
  std::ostream& out = streams.out;
  std::ostream& err = streams.err;
  std::unique_ptr<Hardware> hardware = MakeHardware(call, err);
  if (!hardware) return 1;
  EdidBlock block;
  ConsoleUi ui(block, err, false);
  KernelView view(*hardware, LinuxRequestOf(call));
  return ListChannels(*hardware, view, ui, out, err);
}

int RunTransfer(const Invocation& call, const CommandStreams& streams) {
  std::ostream& out = streams.out;
  std::ostream& err = streams.err;
  const CliEnvironment& environment = streams.environment;
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
    if (const std::optional<std::string> refusal = EdidWriteRefusal(file, call.Has("fix-checksum"))) {
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
  ui.SetReplaceAllowed(call.Has("force"));
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
  } else if (I2cMessageBus* bus = route.Bus()) {
    transfer = std::make_unique<CEdidTransfer>(*bus, block, extensions, settings, hardware->GetClock(), ui, ui);
  }

  std::string error;
  if (setup) {
    const ProductionStation station = route.bitBus ? ProductionStation(*route.bitBus, settings, *hardware)
                                                   : ProductionStation(*route.Bus(), settings, *hardware);
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
    PrintFallbacks(route, err);
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
    PrintFallbacks(route, err);
    if (ui.RiskRefused()) PrintLine(err, cli_texts::kForceHint);
    if (ui.ErrorShown() || ui.RiskRefused()) return 1;
    err << cli_texts::kProgram << ": " << path << ": " << cli_texts::kWrittenAndVerified << '\n';
  }
  if (!hardware->Persist(error)) {
    err << cli_texts::kProgram << ": " << error << '\n';
    return 1;
  }
  return 0;
}

}  // namespace tolvex
