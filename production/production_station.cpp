#include "production/production_station.h"

#include <iterator>

#include "ddc/ddc_texts.h"
#include "ddc/format_text.h"
#include "ddc/s3_ddc_port.h"
#include "production/production_texts.h"

namespace tolvex {

ProductionStation::ProductionStation(CI2cBus& bus, const TransferSettings& settings, Hardware& hardware)
    : bus_(bus), settings_(settings), hardware_(hardware) {
  const int channel = bus.Channel();
  if (channel >= 0 && channel < static_cast<int>(std::size(texts::kChannelNames))) {
    channel_ = texts::kChannelNames[channel];
  }
  busName_ = channel == kChannelS3 ? FormatText("0x%05X", kS3SerialPortAddress) : FormatText("0x%03X", bus.PortBase());
}

ProductionStation::ProductionStation(I2cMessageBus& bus, const TransferSettings& settings, Hardware& hardware)
    : bus_(bus), settings_(settings), hardware_(hardware), channel_(production_texts::kKernelChannel) {
  if (const I2cMessageBus::WriteGuard* guard = bus.GuardForWrites()) busName_ = guard->busLabel;
}

std::optional<std::string> ProductionStation::Problem() const {
  if (!WritesAndVerifies(settings_)) return std::string(production_texts::kNothingVerified);
  return std::nullopt;
}

void ProductionStation::Describe(ProductionSetup& setup) const {
  setup.channel = channel_;
  setup.bus = busName_;
  setup.protocol = ProtocolLabel(settings_);
}

std::unique_ptr<UnitWriter> ProductionStation::MakeWriter(std::function<void(std::string_view)> progress) const {
  return std::make_unique<TransferUnitWriter>(bus_, settings_, hardware_.GetClock(), std::move(progress));
}

ProductionHooks ProductionStation::Hooks(std::function<bool()> stopRequested) const {
  ProductionHooks hooks;
  // START, 0xA0, STOP, once: a monitor's EEPROM acknowledges its address whenever it is powered
  // and not busy with a write cycle.
  hooks.monitorAnswers = [&bus = bus_] { return bus.Probe(kEepromWrite).Ok(); };
  hooks.stopRequested = std::move(stopRequested);
  hooks.moreUnitsMayCome = [&hardware = hardware_] { return hardware.MoreUnitsMayCome(); };
  return hooks;
}

}  // namespace tolvex
