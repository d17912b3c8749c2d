// Forwards every port access to the simulated machine and runs a hook first, so a test can
// switch a fault on in the middle of a command.
#pragma once

#include <functional>

#include "ddc/port_io.h"

namespace tolvex::test {

class HookedIo final : public PortIo {
 public:
  explicit HookedIo(PortIo& io) : io_(io) {}
  std::function<void()> hook = [] {};
  uint8_t PortIn8(uint16_t port) override { return hook(), io_.PortIn8(port); }
  void PortOut8(uint16_t port, uint8_t value) override { hook(), io_.PortOut8(port, value); }
  void PortOut16(uint16_t port, uint16_t value) override { hook(), io_.PortOut16(port, value); }
  uint8_t MemRead8(uint32_t address) override { return hook(), io_.MemRead8(address); }
  void MemWrite8(uint32_t address, uint8_t value) override { hook(), io_.MemWrite8(address, value); }

 private:
  PortIo& io_;
};

}  // namespace tolvex::test
