// An EDID tried on a display connector without touching the monitor: the kernel's debugfs
// override of the connector's EDID (lost at the next boot), and a firmware file the kernel loads
// at boot through drm.edid_firmware=. The connector is named as sysfs names it (card0-HDMI-A-1);
// the kernel's own files are written as they are, the firmware file atomically.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "ddc/linux/kernel.h"

namespace tolvex {

struct ConnectorRoots {
  std::string debugfs = "/sys/kernel/debug";
  std::string sysfs = "/sys";
};

// What the user runs instead when the kernel's files need root ("sudo tolvex-cli apply ...").
struct ApplyRequest {
  std::string connector;       // card0-HDMI-A-1
  std::vector<uint8_t> edid;   // the whole EDID; empty: the override is reset
  std::string rootCommand;
};

// One write() of the whole EDID (or "reset") to the connector's edid_override, then "detect" to
// its status so the kernel probes it again. Empty on success, else one message; `done` says what
// was written where.
std::string ApplyEdidOverride(const ConnectorRoots& roots, const ApplyRequest& request, std::string& done);

// The connector as the kernel's edid_firmware= parameter names it: without its card.
std::string KernelConnectorName(const std::string& connector);

// Where ApplyEdidOverride writes for `connector`, as far as `files` shows debugfs (which only root
// may list): dri/N, or dri/PCI-ADDRESS where only that exists; dri/N when neither is visible.
std::string EdidOverridePath(KernelFiles& files, const ConnectorRoots& roots, const std::string& connector);

// ROOT/lib/firmware/edid/NAME.bin, and the kernel parameter that loads it for the connector.
std::string EdidFirmwarePath(const std::string& root, const std::string& name);
std::string EdidFirmwareParameter(const std::string& name);

// The EDID as ROOT/lib/firmware/edid/NAME.bin, put there atomically, and what the user does next:
// the kernel parameter and the initramfs step of the tool found under ROOT. Nothing of the boot
// configuration changes. Empty on success, else one message.
std::string InstallEdidFirmware(const std::string& root, const std::string& name, std::span<const uint8_t> edid,
                                std::vector<std::string>& lines);

}  // namespace tolvex
