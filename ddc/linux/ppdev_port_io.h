// The parallel ports through the kernel's ppdev driver (/dev/parportN): the Black Box and the
// Service Kit work without root (the lp group is enough), under kernel lockdown, and on PCIe
// parallel cards at any base. Each port's registers are reached through PPRDATA, PPRSTATUS,
// PPRCONTROL, PPWDATA and PPWCONTROL after PPCLAIM; everything else (the VGA registers, a base
// without a ppdev port) goes to the raw ports, and port 0x61's refresh toggle, which the bit
// timing counts, is made from the clock when the raw ports cannot be reached.
#pragma once

#include <string>
#include <vector>

#include "ddc/clock.h"
#include "ddc/linux/kernel.h"
#include "ddc/linux/linux_discovery.h"
#include "ddc/port_io.h"

namespace tolvex {

class PpdevPortIo final : public PortIo {
 public:
  // Port 0x61's bit 4 flips on every memory refresh request, about every 15 µs.
  static constexpr uint64_t kRefreshHalfPeriodUs = 15;

  // Opens and claims every port in `ports`; `fallback` answers for the rest.
  PpdevPortIo(KernelDevices& kernel, Clock& clock, PortIo& fallback, const std::vector<ParallelPortInfo>& ports);
  ~PpdevPortIo() override;

  PpdevPortIo(const PpdevPortIo&) = delete;
  PpdevPortIo& operator=(const PpdevPortIo&) = delete;

  uint8_t PortIn8(uint16_t port) override;
  void PortOut8(uint16_t port, uint8_t value) override;
  void PortOut16(uint16_t port, uint16_t value) override { fallback_.PortOut16(port, value); }
  uint8_t MemRead8(uint32_t physicalAddress) override { return fallback_.MemRead8(physicalAddress); }
  void MemWrite8(uint32_t physicalAddress, uint8_t value) override { fallback_.MemWrite8(physicalAddress, value); }
  bool IsReachable() const override { return claimed_ > 0 || fallback_.IsReachable(); }
  bool HasVgaAccess() const override { return fallback_.HasVgaAccess(); }
  std::span<const uint16_t> ParallelBases() const override { return bases_; }

  // The ports claimed, and why the others could not be; empty when every port was claimed.
  int Claimed() const { return claimed_; }
  const std::string& Failure() const { return failure_; }

 private:
  struct Port {
    uint16_t base = 0;
    int fd = -1;
  };
  const Port* Find(uint16_t port) const;

  KernelDevices& kernel_;
  Clock& clock_;
  PortIo& fallback_;
  std::vector<Port> ports_;
  std::vector<uint16_t> bases_;
  int claimed_ = 0;
  std::string failure_;
};

}  // namespace tolvex
