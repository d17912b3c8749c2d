// Direct access to the PC's I/O ports and to the S3 card's register in physical memory.
// Without the privilege (root or CAP_SYS_RAWIO) nothing is touched: reads return 0xFF, writes
// are dropped, and Failure() says why, so the program can tell the user once and run on.
#pragma once

#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>

#include "ddc/port_io.h"

namespace tolvex {

// The sentence that tells the user why ioperm failed with `error`. More privilege helps only where
// the process lacks it: ENOSYS (a container's kernel without port access) and EPERM for root
// (kernel lockdown, or a container without CAP_SYS_RAWIO) need another route to the monitor.
// `lockdown` is the text of /sys/kernel/security/lockdown, empty when there is none.
std::string PortAccessFailure(int error, bool root, std::string_view lockdown);

class RawPortIo final : public PortIo {
 public:
  RawPortIo();
  ~RawPortIo() override;

  RawPortIo(const RawPortIo&) = delete;
  RawPortIo& operator=(const RawPortIo&) = delete;

  bool HasPortAccess() const { return granted_.any(); }
  bool HasMemoryAccess() const { return serialRegister_ != nullptr; }
  // Why port or memory access is missing; empty when both were granted.
  const std::string& Failure() const { return failure_; }

  uint8_t PortIn8(uint16_t port) override;
  void PortOut8(uint16_t port, uint8_t value) override;
  void PortOut16(uint16_t port, uint16_t value) override;
  uint8_t MemRead8(uint32_t physicalAddress) override;
  void MemWrite8(uint32_t physicalAddress, uint8_t value) override;
  bool IsReachable() const override { return HasPortAccess(); }

 private:
  void RequestPorts();
  void MapSerialRegister();
  bool Granted(uint16_t port, int width) const;

  std::bitset<0x400> granted_;
  volatile uint8_t* serialRegister_ = nullptr;
  void* mapping_ = nullptr;
  std::string failure_;
};

}  // namespace tolvex
