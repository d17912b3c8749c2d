// The safety rules for the kernel's I2C buses, in one place for the command-line tool and the
// desktop program. 0x50 is where a monitor keeps its EDID, and also where a memory module's SPD
// EEPROM answers on the PC's system bus; writing the wrong one can leave the PC unable to boot.
//
//   - A bus with memory modules' SPD EEPROMs is never used, whatever the user says: the kernel has
//     an SPD driver at 0x50-0x57, or (asked before the first write, with reads) more than one
//     device answers there.
//   - A system bus, a graphics card's firmware bus and a USB bridge inside the machine are used
//     only when the user names them and forces it.
//   - A bus that is neither a display adapter's nor an external USB programmer is used only when
//     the user names it.
//   - An address a kernel driver owns is never used, whatever the user says.
//   - The NVIDIA driver's buses also carry the card's own chips: nothing is written on one unless
//     a connector's EDID was found in its EEPROM.
//   - Before a write, the EEPROM at 0xA0 must hold an EDID header or be blank (all 0xFF);
//     the user may force it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
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

// The 7-bit addresses the transfers use on a bus, the EEPROM's first.
inline constexpr uint8_t kTransferAddresses[] = {0x50, 0x2C, 0x7D, 0x54, 0x30};
// Where memory modules' SPD EEPROMs answer, one per slot. 0x54 is also the monitor controller's
// address of the second command protocol, so a probe leaves it out.
inline constexpr uint8_t kSpdFirst = 0x50;
inline constexpr uint8_t kSpdLast = 0x57;
inline constexpr uint8_t kSpdProbeSkipped = 0x54;

// Why the adapter may not be used, when the user named it (or not) and forced it (or not);
// the strongest reason first: an owned address, the adapter's name, where it sits.
std::optional<Refusal> AdapterRefusal(const I2cAdapter& adapter, bool named, bool force);
// The kernel has bound an SPD EEPROM driver at 0x50-0x57.
std::optional<Refusal> SpdDriverRefusal(const I2cAdapter& adapter);
// `answering`: the addresses of 0x50-0x57 that acknowledged a one-byte read.
std::optional<Refusal> SpdProbeRefusal(std::span<const uint8_t> answering);
// Why nothing may be written on the adapter even though it may be read.
std::optional<Refusal> SharedBusWriteRefusal(const I2cAdapter& adapter);
// `driver` empty: the kernel said EBUSY without sysfs naming the driver.
std::optional<Refusal> DriverOwnsRefusal(uint8_t address, std::string_view driver);
// `current` is what the EEPROM at 0xA0 holds, nothing when it did not answer.
std::optional<Refusal> EepromContentRefusal(const std::optional<EdidBytes>& current);

}  // namespace tolvex
