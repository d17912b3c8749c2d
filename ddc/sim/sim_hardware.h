// Ready-made simulated set-ups: the shared simulated time, the fake clock on it, and a machine
// with one adapter (or the S3 card) and the monitor plugged into it. `--simulate` runs on
// MakeBlackBoxHardware().
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "ddc/sim/sim_clock.h"
#include "ddc/sim/sim_machine.h"

namespace tolvex::sim {

// Not movable: the clock and the machine hold references to the time.
struct SimHardware {
  SimTime time;
  SimClock clock{time};
  SimMachine machine{time};
};

// A Black Box at `base`, the monitor on it; no other parallel port, no S3 card.
std::unique_ptr<SimHardware> MakeBlackBoxHardware(uint16_t base = 0x378);
// A Service Kit at `base`, the monitor on it; no other parallel port, no S3 card.
std::unique_ptr<SimHardware> MakeServiceKitHardware(uint16_t base = 0x378);
// An S3 card with the monitor on its DDC lines, and a parallel port at 0x378 with nothing on it.
// Its monitor checks the fast-mode timing minima; the others check standard mode.
std::unique_ptr<SimHardware> MakeS3Hardware(const S3CardConfig& config = {});
// A parallel port at 0x378 with nothing on it, no S3 card, no monitor: discovery finds nothing.
std::unique_ptr<SimHardware> MakeBareHardware();

// The set-ups and faults that `--sim-adapter` and `--sim-fault` name, in the order the help
// lists them. Tests that must cover every one iterate these, so a new row is covered at once.
struct NamedAdapter {
  std::string_view name;
  std::unique_ptr<SimHardware> (*make)();
};
struct NamedFault {
  std::string_view name;
  void (*apply)(SimHardware& hardware);
};
std::span<const NamedAdapter> NamedAdapters();
std::span<const NamedFault> NamedFaults();

}  // namespace tolvex::sim
