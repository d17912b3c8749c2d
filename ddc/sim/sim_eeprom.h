// A serial EEPROM of the 24C02 kind, as the monitor's DDC EEPROM: one address counter shared by
// reads and writes, sequential reads that wrap at 256, and 8-byte page writes that wrap inside
// their page, buffered until STOP and then written during a write cycle in which the chip
// answers no address at all.
//
// Larger than 256 bytes it is an E-DDC monitor's memory: the word address reaches 256 bytes, the
// segment pointer (bus address 0x60) picks which 256 it reaches. The pointer is written in the
// same transaction as the word address, behind a repeated START, and every STOP sets it back to
// segment 0, so a master that never writes it sees the first 256 bytes as a 24C02. Chips of 256
// bytes answer no segment pointer.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "ddc/sim/sim_clock.h"

namespace tolvex::sim {

class SimEeprom {
 public:
  static constexpr int kSegmentSize = 256;
  static constexpr int kDefaultSize = kSegmentSize;
  // The 128 segments the pointer can address: 256 EDID blocks.
  static constexpr int kMaxSize = 128 * kSegmentSize;
  static constexpr int kPageSize = 8;
  static constexpr uint32_t kDefaultWriteCycleUs = 5000;

  explicit SimEeprom(const SimTime& time) : time_(time), memory_(kDefaultSize, 0xFF) {}

  SimEeprom(const SimEeprom&) = delete;
  SimEeprom& operator=(const SimEeprom&) = delete;

  // Sizes are powers of two from 256 to kMaxSize.
  static bool IsValidSize(int size);
  // What the chip held stays where it fits; new bytes read 0xFF.
  void Resize(int size);
  int Size() const { return static_cast<int>(memory_.size()); }
  bool HasSegments() const { return Size() > kSegmentSize; }

  // Direct access for set-up and checks; bypasses the bus, the write cycle and write protection.
  std::vector<uint8_t>& Memory() { return memory_; }
  const std::vector<uint8_t>& Memory() const { return memory_; }
  void Load(std::span<const uint8_t> bytes, uint8_t offset = 0);

  void SetWriteCycleUs(uint32_t us) { writeCycleUs_ = us; }
  uint32_t WriteCycleUs() const { return writeCycleUs_; }
  bool InWriteCycle() const { return time_.ns < busyUntilNs_; }
  uint8_t AddressCounter() const { return counter_; }
  uint8_t Segment() const { return segment_; }
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
  // The segment pointer's address (0x60) and its one byte; a chip without segments, or a segment
  // beyond the chip, is not acknowledged.
  bool OnSegmentAddress();
  bool OnSegmentByte(uint8_t segment);
  // The first byte after a write address sets the counter; later ones fill the page buffer.
  bool OnWriteByte(uint8_t byte);
  uint8_t OnReadByte();
  // The write cycle starts only when the page may be written.
  void OnStop(bool writable);
  // Any STOP on the bus, addressed or not, sets the segment pointer back to 0.
  void OnBusStop() { segment_ = 0; }

 private:
  size_t MemoryIndex(uint8_t word) const { return size_t{segment_} * kSegmentSize + word; }

  const SimTime& time_;
  std::vector<uint8_t> memory_;
  uint32_t writeCycleUs_ = kDefaultWriteCycleUs;
  uint64_t busyUntilNs_ = 0;
  uint8_t counter_ = 0;
  uint8_t segment_ = 0;
  bool expectWordAddress_ = false;
  bool deafUntilStart_ = false;
  std::array<uint8_t, kPageSize> page_{};
  uint8_t pendingMask_ = 0;  // page buffer bytes written since the word address
  uint32_t pageWrites_ = 0;
};

}  // namespace tolvex::sim
