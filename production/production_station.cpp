#include "production/production_station.h"

#include "ddc/ddc_texts.h"
#include "ddc/format_text.h"
#include "ddc/s3_ddc_port.h"
#include "production/production_texts.h"

namespace tolvex {

namespace {

// START, 0xA0, STOP, once: a monitor's EEPROM acknowledges its address whenever it is powered
// and not busy with a write cycle.
bool EepromAnswers(CI2cBus& bus) {
  bus.FreeBus();
  uint8_t status = bus.Start();
  if (status == 0) status = bus.WriteByte(kEepromWrite);
  if (status == 0) return bus.Stop() == 0;
  bus.FreeBus();
  return false;
}

}  // namespace

ProductionStation::ProductionStation(CI2cBus& bus, const TransferSettings& settings, Hardware& hardware)
    : bus_(bus), settings_(settings), hardware_(hardware) {}

std::optional<std::string> ProductionStation::Problem() const {
  if (!WritesAndVerifies(settings_)) return std::string(production_texts::kNothingVerified);
  return std::nullopt;
}

void ProductionStation::Describe(ProductionSetup& setup) const {
  const int channel = bus_.Channel();
  setup.channel = channel >= 0 ? texts::kChannelNames[channel] : "";
  setup.bus = channel == kChannelS3 ? FormatText("0x%05X", kS3SerialPortAddress) : FormatText("0x%03X", bus_.PortBase());
  setup.protocol = ProtocolLabel(settings_);
}

std::unique_ptr<UnitWriter> ProductionStation::MakeWriter(std::function<void(std::string_view)> progress) const {
  return std::make_unique<TransferUnitWriter>(bus_, settings_, hardware_.GetClock(), std::move(progress));
}

ProductionHooks ProductionStation::Hooks(std::function<bool()> stopRequested) const {
  ProductionHooks hooks;
  hooks.monitorAnswers = [&bus = bus_] { return EepromAnswers(bus); };
  hooks.stopRequested = std::move(stopRequested);
  hooks.moreUnitsMayCome = [&hardware = hardware_] { return hardware.MoreUnitsMayCome(); };
  return hooks;
}

}  // namespace tolvex
