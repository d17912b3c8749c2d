// A 256-byte serial EEPROM of the 24C02 kind, as the monitor's DDC EEPROM: one address counter
// shared by reads and writes, sequential reads that wrap at 256, and 8-byte page writes that
// wrap inside their page, buffered until STOP and then written during a write cycle in which the
// chip answers no address at all.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "ddc/sim/sim_clock.h"

namespace tolvex::sim {

class SimEeprom {
 public:
  static constexpr int kSize = 256;
  static constexpr int kPageSize = 8;
  static constexpr uint32_t kDefaultWriteCycleUs = 5000;

  explicit SimEeprom(const SimTime& time) : time_(time) { memory_.fill(0xFF); }

  SimEeprom(const SimEeprom&) = delete;
  SimEeprom& operator=(const SimEeprom&) = delete;

  // Direct access for set-up and checks; bypasses the bus, the write cycle and write protection.
  std::array<uint8_t, kSize>& Memory() { return memory_; }
  const std::array<uint8_t, kSize>& Memory() const { return memory_; }
  void Load(std::span<const uint8_t> bytes, uint8_t offset = 0);

  void SetWriteCycleUs(uint32_t us) { writeCycleUs_ = us; }
  uint32_t WriteCycleUs() const { return writeCycleUs_; }
  bool InWriteCycle() const { return time_.ns < busyUntilNs_; }
  uint8_t AddressCounter() const { return counter_; }
  // Page writes that reached the memory.
  uint32_t PageWrites() const { return pageWrites_; }

  // ---- Bus side: called by the monitor while this chip is the one addressed ------------------
  // Any START abandons a page that has not seen its STOP. A START during the write cycle goes
  // unheard, so the chip stays silent for that whole transaction even if the cycle ends in it.
  void OnStart() {
    pendingMask_ = 0;
    deafUntilStart_ = InWriteCycle();
  }
  // False (no acknowledge) during a write cycle.
  bool OnAddress(bool read);
  // The first byte after a write address sets the counter; later ones fill the page buffer.
  bool OnWriteByte(uint8_t byte);
  uint8_t OnReadByte();
  // The write cycle starts only when the page may be written.
  void OnStop(bool writable);

 private:
  const SimTime& time_;
  std::array<uint8_t, kSize> memory_;
  uint32_t writeCycleUs_ = kDefaultWriteCycleUs;
  uint64_t busyUntilNs_ = 0;
  uint8_t counter_ = 0;
  bool expectWordAddress_ = false;
  bool deafUntilStart_ = false;
  std::array<uint8_t, kPageSize> page_{};
  uint8_t pendingMask_ = 0;  // page buffer bytes written since the word address
  uint32_t pageWrites_ = 0;
};

}  // namespace tolvex::sim
