// The EDID the simulated monitor ships with, built through EdidBlock's own field operations so
// that it is exactly what this program would write: a 17-inch analog CRT of 1024x768 at 60 Hz.
#pragma once

#include "model/edid_block.h"

namespace tolvex::sim {

// Overwrites every field the simulated monitor describes and updates the checksum. The week and
// year of manufacture are those the block's date source gave at Reset. A digital variant differs
// only in its video input definition (the DVI-D half of a DVI-I monitor).
void FillSimulatedEdid(EdidBlock& block, bool digitalInput);

// The same, on a fresh block dated today.
EdidBytes SimulatedEdid(bool digitalInput);

}  // namespace tolvex::sim
