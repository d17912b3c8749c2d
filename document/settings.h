// The transfer settings that survive between runs, in the per-user settings store under
// "Marvane/Tolvex", group "Settings". Errors of the store are silent both ways.
#pragma once

#include "ddc/edid_transfer.h"

namespace tolvex {

// Values that are missing or unreadable leave their member as it was.
void LoadSettings(TransferSettings& settings);
// Software DDC only is never stored.
void SaveSettings(const TransferSettings& settings);

// The kernel I2C bus chosen last, by its connector's name (or its adapter's, where no connector
// uses it); empty when the channel discovery finds was chosen.
std::string LoadChannelChoice();
void SaveChannelChoice(const std::string& key);

}  // namespace tolvex
