#include "ddc/linux/bus_safety.h"

#include <algorithm>

#include "ddc/format_text.h"
#include "ddc/linux/linux_texts.h"

namespace tolvex {

namespace {

// The SMBus controllers of chipsets, the DesignWare controllers of SoCs and laptops (touchpads,
// sensors), and the firmware's own buses on Apple and AMD machines.
constexpr std::string_view kSystemBusPrefixes[] = {"SMBus", "Synopsys DesignWare", "smu", "AMDGPU SMU"};

}  // namespace

std::string RefusalMessage(std::string_view busLabel, const Refusal& refusal) {
  return FormatText(texts::kRefused, std::string(busLabel).c_str(), refusal.reason.c_str());
}

bool IsSystemBusName(std::string_view adapterName) {
  return std::any_of(std::begin(kSystemBusPrefixes), std::end(kSystemBusPrefixes),
                     [&](std::string_view prefix) { return adapterName.substr(0, prefix.size()) == prefix; });
}

std::optional<Refusal> DriverOwnsRefusal(uint8_t address, std::string_view driver) {
  if (driver.empty()) return Refusal{FormatText(texts::kReasonKernelOwns, address), false};
  return Refusal{FormatText(texts::kReasonDriverOwns, address, std::string(driver).c_str()), false};
}

std::optional<Refusal> AdapterRefusal(const I2cAdapter& adapter, bool named, bool force) {
  for (uint8_t address : kTransferAddresses) {
    if (const std::string driver = adapter.OwnerOf(address); !driver.empty()) return DriverOwnsRefusal(address, driver);
  }
  if (IsSystemBusName(adapter.name) && !(named && force)) {
    return Refusal{FormatText(texts::kReasonSystemBus, adapter.name.c_str()), named};
  }
  if (!adapter.OnDisplayController() && !named) return Refusal{texts::kReasonNotDisplay, false};
  return std::nullopt;
}

std::optional<Refusal> EepromContentRefusal(const std::optional<EdidBytes>& current) {
  if (!current) return Refusal{texts::kReasonNothingAtEeprom, true};
  const bool header = std::equal(kEdidHeader.begin(), kEdidHeader.end(), current->begin());
  const bool blank = std::all_of(current->begin(), current->end(), [](uint8_t b) { return b == 0xFF; });
  if (header || blank) return std::nullopt;
  return Refusal{texts::kReasonNotEdid, true};
}

}  // namespace tolvex
