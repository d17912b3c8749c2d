// The USB programmers a user chooses among, shared by tolvex-cli and the desktop program: each
// CH341A found, its label in lists and the name --bus takes ("ch341a", or "ch341a:B.D" when
// several are plugged in). A programmer carries nothing but the chip in its socket or clip, so no
// safety rule excludes it; the blank-or-EDID check before a write still applies.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ddc/clock.h"
#include "ddc/usb/ch341a_bus.h"
#include "ddc/usb/usb_pipe.h"

namespace tolvex {

struct UsbProgrammer {
  UsbDeviceId id;

  std::string Label() const { return Ch341aLabel(id); }
  // "ch341a:1.4": the name that picks this one among several.
  std::string Name() const;
};

// Every CH341A on the host, by bus and device number; none without a host.
std::vector<UsbProgrammer> FindUsbProgrammers(UsbHost* host);

// Whether `text` names a programmer ("ch341a", "ch341a:B.D"), as --bus may.
bool NamesUsbProgrammer(std::string_view text);

// The programmer `name` picks, opened; nothing, with one message, when there is none, when "ch341a"
// is ambiguous, or when it cannot be opened.
std::unique_ptr<CCh341aBus> OpenUsbProgrammer(UsbHost* host, Clock& clock, std::string_view name, bool force,
                                              std::string& error);

}  // namespace tolvex
