// The simulated PC behind PortIo: three parallel port sockets, an optional S3 card, the
// memory-refresh toggle on port 0x61, and a monitor whose DDC lines hang on one of the routes.
//
// Every access takes 1 µs of the shared SimTime; port 0x61 bit 4 flips every 15 µs of it, so
// the master's ten-toggle delay costs about 150 accesses. Unknown ports read 0xFF and ignore
// writes; so do the VGA ports and the memory window when no S3 card is fitted. Port 0x61 keeps
// bits 0-3 as written; bits 5-7 read 0.
//
// After every write that may move the master's drive on the monitor's route, the monitor sees
// the new levels; reads of the register that senses SCL there count as polls of a stretched
// clock. Before every access the monitor catches up with the time that has passed. The lines of a route without the monitor are the adapter's drive alone (pull-ups).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "ddc/port_io.h"
#include "ddc/sim/sim_clock.h"
#include "ddc/sim/sim_monitor.h"
#include "ddc/sim/sim_parallel_port.h"
#include "ddc/sim/sim_s3_card.h"

namespace tolvex::sim {

// Where the monitor's cable is plugged in.
struct MonitorRoute {
  enum Kind : uint8_t { kUnplugged, kParallel, kS3 };
  Kind kind = kUnplugged;
  uint16_t base = 0;  // kParallel: 0x378, 0x278 or 0x3BC

  static constexpr MonitorRoute Unplugged() { return {}; }
  static constexpr MonitorRoute Parallel(uint16_t base) { return {kParallel, base}; }
  static constexpr MonitorRoute S3() { return {kS3, 0}; }
  bool operator==(const MonitorRoute&) const = default;
};

enum class AccessKind : uint8_t { kPortIn8, kPortOut8, kPortOut16, kMemRead8, kMemWrite8 };

// One logged access; `value` is what a read returned or what a write wrote.
struct PortAccess {
  AccessKind kind;
  uint32_t address;
  uint16_t value;
  bool operator==(const PortAccess&) const = default;
};

class SimMachine final : public PortIo {
 public:
  static constexpr uint64_t kAccessNs = 1000;
  static constexpr uint64_t kRefreshHalfPeriodNs = 15000;
  static constexpr uint16_t kRefreshPort = 0x61;
  static constexpr uint8_t kRefreshToggle = 0x10;
  static constexpr std::array<uint16_t, 3> kParallelBases = {0x378, 0x278, 0x3BC};

  // No parallel port, no S3 card, the monitor unplugged.
  explicit SimMachine(SimTime& time);

  SimMachine(const SimMachine&) = delete;
  SimMachine& operator=(const SimMachine&) = delete;

  // ---- PortIo --------------------------------------------------------------------------------
  uint8_t PortIn8(uint16_t port) override;
  void PortOut8(uint16_t port, uint8_t value) override;
  // Index (low byte) to `port`, value (high byte) to port + 1, in one access.
  void PortOut16(uint16_t port, uint16_t value) override;
  uint8_t MemRead8(uint32_t physicalAddress) override;
  void MemWrite8(uint32_t physicalAddress, uint8_t value) override;
  bool IsReachable() const override { return reachable_; }

  // ---- Set-up --------------------------------------------------------------------------------
  // base: one of kParallelBases; others are ignored.
  void SetParallelAdapter(uint16_t base, ParallelAdapter adapter);
  void InstallS3Card(const S3CardConfig& config = {});
  void RemoveS3Card();
  void PlugMonitor(MonitorRoute route);
  // A PC whose raw ports the program may not use (kernel lockdown): discovery probes nothing.
  void SetReachable(bool reachable) { reachable_ = reachable; }
  void UnplugMonitor() { PlugMonitor(MonitorRoute::Unplugged()); }

  // ---- State ---------------------------------------------------------------------------------
  SimTime& Time() { return time_; }
  SimMonitor& Monitor() { return monitor_; }
  const SimMonitor& Monitor() const { return monitor_; }
  MonitorRoute Route() const { return route_; }
  // nullptr for a base that is not one of kParallelBases.
  SimParallelPort* Parallel(uint16_t base);
  // nullptr without a card.
  SimS3Card* S3() { return s3_ ? &*s3_ : nullptr; }
  // The lines and write-enable line on the monitor's route (all high/false when unplugged).
  LineLevels MonitorLines() const;
  bool MonitorWriteEnable() const { return route_.kind != MonitorRoute::kUnplugged && monitor_.WriteEnableLine(); }
  uint64_t Accesses() const { return accesses_; }

  // ---- Access log (off by default: a transfer makes millions of accesses) --------------------
  void SetLogging(bool on) { logging_ = on; }
  const std::vector<PortAccess>& Log() const { return log_; }
  void ClearLog() { log_.clear(); }

 private:
  int ParallelIndex(uint16_t port) const;
  bool IsVgaPort(uint16_t port) const;
  void Tick(AccessKind kind, uint32_t address, uint16_t value);
  uint8_t ReadPort(uint16_t port);
  void WritePort(uint16_t port, uint8_t value);
  LineLevels LinesOfParallel(int index) const;
  LineLevels LinesOfS3() const;
  void DriveMonitor();

  SimTime& time_;
  std::array<SimParallelPort, 3> parallel_;
  std::optional<SimS3Card> s3_;
  SimMonitor monitor_;
  MonitorRoute route_;
  int routeParallel_ = -1;  // index into parallel_ while the route is a parallel port
  uint8_t refreshLatch_ = 0;
  uint64_t accesses_ = 0;
  bool logging_ = false;
  bool reachable_ = true;
  std::vector<PortAccess> log_;
};

}  // namespace tolvex::sim
