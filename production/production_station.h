// A production station: the bus the program found, made ready for the production loop. It knows
// how to write a unit there (EDID Write with the transfer settings), how to ask whether a monitor
// answers, and what the log calls the channel, the bus and the protocol. tolvex-cli and the
// desktop program build theirs the same way.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "ddc/clock.h"
#include "ddc/edid_transfer.h"
#include "ddc/hardware.h"
#include "ddc/i2c_bus.h"
#include "ddc/i2c_message_bus.h"
#include "production/production_run.h"
#include "production/unit_writer.h"

namespace tolvex {

class ProductionStation {
 public:
  // The adapter discovery found on the PC's ports: the log names it and its port.
  ProductionStation(CI2cBus& bus, const TransferSettings& settings, Hardware& hardware);
  // Any other bus (a kernel I2C bus): the log names its device and connector.
  ProductionStation(I2cMessageBus& bus, const TransferSettings& settings, Hardware& hardware);

  // Why units cannot be programmed with these settings; nothing when they can.
  std::optional<std::string> Problem() const;

  // The channel, bus and protocol columns of the log.
  void Describe(ProductionSetup& setup) const;
  // A writer whose transfer progress goes to `progress`; the bus belongs to its thread while it runs.
  std::unique_ptr<UnitWriter> MakeWriter(std::function<void(std::string_view)> progress) const;
  // The loop's view of the bus: an address-only probe at 0xA0, and whether more units may come.
  ProductionHooks Hooks(std::function<bool()> stopRequested) const;
  Clock& GetClock() const { return hardware_.GetClock(); }

 private:
  I2cMessageBus& bus_;
  const TransferSettings& settings_;
  Hardware& hardware_;
  std::string channel_;
  std::string busName_;
};

}  // namespace tolvex
