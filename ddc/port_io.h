// The only seam between the program and the DDC hardware: x86 port and physical-memory access.
#pragma once

#include <cstdint>
#include <span>

namespace tolvex {

// The parallel port bases an adapter may sit at, in probe order.
inline constexpr uint16_t kParallelBases[] = {0x378, 0x278, 0x3BC};

class PortIo {
 public:
  virtual ~PortIo() = default;

  virtual uint8_t PortIn8(uint16_t port) = 0;
  virtual void PortOut8(uint16_t port, uint8_t value) = 0;
  // One 16-bit write; used on VGA index ports only: low byte = register index, high byte = value.
  virtual void PortOut16(uint16_t port, uint16_t value) = 0;
  // Used for the S3 card's serial port register at physical 0xAFF20 only.
  virtual uint8_t MemRead8(uint32_t physicalAddress) = 0;
  virtual void MemWrite8(uint32_t physicalAddress, uint8_t value) = 0;

  // False when the process may not touch the ports at all: reads then give 0xFF and writes are
  // dropped, so probing would only find ghosts.
  virtual bool IsReachable() const { return true; }
  // The VGA registers and the S3 card's serial port register can be reached.
  virtual bool HasVgaAccess() const { return IsReachable(); }
  // The parallel port bases to probe, in order: the three usual ones, then any other base a
  // parallel port of this PC sits at.
  virtual std::span<const uint16_t> ParallelBases() const { return kParallelBases; }
};

}  // namespace tolvex
