// The only seam between the program and the DDC hardware: x86 port and physical-memory access.
#pragma once

#include <cstdint>

namespace tolvex {

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
};

}  // namespace tolvex
