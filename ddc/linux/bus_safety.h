// The safety rules for the kernel's I2C buses, in one place for the command-line tool and the
// desktop program. 0x50 is where a monitor keeps its EDID, and also where a memory module's SPD
// EEPROM answers on the PC's system bus; writing the wrong one can leave the PC unable to boot.
//
//   - A system bus (by adapter name) is used only when the user names it and forces it.
//   - A bus that is not a display adapter's is used only when the user names it.
//   - An address a kernel driver owns is never used, whatever the user says.
//   - Before a write, the EEPROM at 0xA0 must hold an EDID header or be blank (all 0xFF);
//     the user may force it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ddc/linux/linux_discovery.h"
#include "model/edid_block.h"

namespace tolvex {

struct Refusal {
  std::string reason;
  bool overridable = false;  // --force (or the user's yes) may override it
};

// The one message of a refusal: the bus, then the reason.
std::string RefusalMessage(std::string_view busLabel, const Refusal& refusal);

// Adapter names of the PC's own buses, which carry memory modules and firmware devices.
bool IsSystemBusName(std::string_view adapterName);

// The 7-bit addresses the transfers use on a bus, the EEPROM's first.
inline constexpr uint8_t kTransferAddresses[] = {0x50, 0x2C, 0x7D, 0x54, 0x30};

// Why the adapter may not be used, when the user named it (or not) and forced it (or not);
// the strongest reason first: an owned address, the adapter's name, where it sits.
std::optional<Refusal> AdapterRefusal(const I2cAdapter& adapter, bool named, bool force);
// `driver` empty: the kernel said EBUSY without sysfs naming the driver.
std::optional<Refusal> DriverOwnsRefusal(uint8_t address, std::string_view driver);
// `current` is what the EEPROM at 0xA0 holds, nothing when it did not answer.
std::optional<Refusal> EepromContentRefusal(const std::optional<EdidBytes>& current);

}  // namespace tolvex
