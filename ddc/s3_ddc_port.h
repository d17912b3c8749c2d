// The DDC lines of an S3 ViRGE graphics card, reached through the card's memory-mapped serial
// port register. Enabling the register changes four CRTC/sequencer registers and the
// Miscellaneous Output register; they are written back, in reverse order, when the port goes.
#pragma once

#include <array>
#include <cstdint>

#include "ddc/ddc_ui.h"
#include "ddc/port_io.h"

namespace tolvex {

inline constexpr uint32_t kS3SerialPortAddress = 0xAFF20;

class CS3DdcPort {
 public:
  CS3DdcPort(PortIo& io, ProbeUi& ui) : io_(io), ui_(ui) {}
  virtual ~CS3DdcPort();

  CS3DdcPort(const CS3DdcPort&) = delete;
  CS3DdcPort& operator=(const CS3DdcPort&) = delete;

  // Shows the chip identification, and enables the port when the chip is a known ViRGE.
  bool Probe();
  void Enable();
  void Restore();
  bool IsEnabled() const { return enabled_; }

  void SetScl(int level);
  void SetSda(int level);
  int GetScl();
  int GetSda();

 private:
  uint16_t ReadCrtcWord(uint8_t lowIndex, uint8_t highIndex);
  void SetSerialBit(uint8_t mask, bool set);

  PortIo& io_;
  ProbeUi& ui_;
  bool enabled_ = false;
  // Saved registers: index in the low byte, value before Enable in the high byte, so that one
  // 16-bit write puts each back. CRTC registers in the order Enable changes them: 40, 53, 5C.
  std::array<uint16_t, 3> savedCrtc_{};
  uint16_t savedSr0d_ = 0;
  uint16_t crtcIndexPort_ = 0x3D4;
  uint8_t savedMiscOutput_ = 0;
};

}  // namespace tolvex
