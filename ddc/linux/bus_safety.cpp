#include "ddc/linux/bus_safety.h"

#include <algorithm>

#include "ddc/format_text.h"
#include "ddc/linux/linux_texts.h"

namespace tolvex {

namespace {

// The kernel drivers of memory modules' SPD EEPROMs (DDR4, DDR5) and the generic EEPROM driver
// that older boards bind to them.
constexpr std::string_view kSpdDrivers[] = {"ee1004", "spd5118", "at24"};

}  // namespace

std::string RefusalMessage(std::string_view busLabel, const Refusal& refusal) {
  return FormatText(texts::kRefused, std::string(busLabel).c_str(), refusal.reason.c_str());
}

std::optional<Refusal> DriverOwnsRefusal(uint8_t address, std::string_view driver) {
  if (driver.empty()) return Refusal{FormatText(texts::kReasonKernelOwns, address), false};
  return Refusal{FormatText(texts::kReasonDriverOwns, address, std::string(driver).c_str()), false};
}

std::optional<Refusal> SpdDriverRefusal(const I2cAdapter& adapter) {
  for (const OwnedAddress& entry : adapter.owned) {
    if (entry.address < kSpdFirst || entry.address > kSpdLast) continue;
    if (std::find(std::begin(kSpdDrivers), std::end(kSpdDrivers), entry.driver) == std::end(kSpdDrivers)) continue;
    return Refusal{FormatText(texts::kReasonSpdDriver, entry.address, entry.driver.c_str()), false};
  }
  return std::nullopt;
}

std::optional<Refusal> SpdProbeRefusal(std::span<const uint8_t> answering) {
  if (answering.size() < 2) return std::nullopt;
  std::string list;
  for (uint8_t address : answering) list += FormatText(list.empty() ? "0x%02X" : ", 0x%02X", address);
  return Refusal{FormatText(texts::kReasonSpdProbe, list.c_str()), false};
}

std::optional<Refusal> AdapterRefusal(const I2cAdapter& adapter, bool named, bool force) {
  if (std::optional<Refusal> spd = SpdDriverRefusal(adapter)) return spd;
  for (uint8_t address : kTransferAddresses) {
    if (const std::string driver = adapter.OwnerOf(address); !driver.empty()) return DriverOwnsRefusal(address, driver);
  }
  const char* reason = nullptr;
  switch (adapter.kind) {
    case AdapterKind::kSystem: reason = texts::kReasonSystemBus; break;
    case AdapterKind::kGpuFirmware: reason = texts::kReasonGpuFirmware; break;
    case AdapterKind::kUsbInternal: reason = texts::kReasonUsbInternal; break;
    default: break;
  }
  if (reason && !(named && force)) return Refusal{FormatText(reason, adapter.name.c_str()), named};
  if (!adapter.IsDisplayBus() && adapter.kind != AdapterKind::kUsbProgrammer && !named) {
    return Refusal{texts::kReasonNotDisplay, false};
  }
  return std::nullopt;
}

std::optional<Refusal> SharedBusWriteRefusal(const I2cAdapter& adapter) {
  if (adapter.kind != AdapterKind::kDisplayShared || adapter.edidMatched) return std::nullopt;
  return Refusal{FormatText(texts::kReasonSharedUnmatched, adapter.name.c_str()), false};
}

std::optional<Refusal> EepromContentRefusal(const std::optional<EdidBytes>& current) {
  if (!current) return Refusal{texts::kReasonNothingAtEeprom, true};
  const bool header = std::equal(kEdidHeader.begin(), kEdidHeader.end(), current->begin());
  const bool blank = std::all_of(current->begin(), current->end(), [](uint8_t b) { return b == 0xFF; });
  if (header || blank) return std::nullopt;
  return Refusal{texts::kReasonNotEdid, true};
}

}  // namespace tolvex
