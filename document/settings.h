// The transfer settings that survive between runs, in the per-user settings store under
// "Marvane/Tolvex", group "Settings". Errors of the store are silent both ways.
#pragma once

#include "ddc/edid_transfer.h"

namespace tolvex {

// Values that are missing or unreadable leave their member as it was.
void LoadSettings(TransferSettings& settings);
// Software DDC only is never stored.
void SaveSettings(const TransferSettings& settings);

}  // namespace tolvex
