// An S3 ViRGE card, as far as its DDC lines go: the VGA Miscellaneous Output, CRTC and sequencer
// registers, and the serial port register at physical 0xAFF20.
//
// The CRTC answers at 0x3D4/0x3D5 while Miscellaneous Output bit 0 is set, at 0x3B4/0x3B5 while
// it is clear; the other pair reads 0xFF. CR2D/CR2E hold identification word A (high, low),
// CR2F/CR30 word B; they ignore writes. The serial port register is in the memory window only
// while CR53 bit 4 and CR40 bit 0 are set. Its bits: 0 drives SCL, 1 drives SDA (1 releases),
// 2 and 3 read SCL and SDA, 4 enables the port; it drives the lines only while bit 4 is set,
// SR0D bits 0-1 are clear and CR5C bits 0-1 are set (the pins configured for DDC).
#pragma once

#include <array>
#include <cstdint>

#include "ddc/sim/sim_parallel_port.h"

namespace tolvex::sim {

struct S3CardConfig {
  uint16_t idA = 0x8A01;
  uint16_t idB = 0x06E1;
  uint8_t miscOutput = 0x67;  // colour addressing, as a text mode leaves it
  // Power-on values that keep the serial port unreachable and disconnected until the master
  // enables it step by step.
  uint8_t cr40 = 0x30;
  uint8_t cr53 = 0x00;
  uint8_t cr5c = 0x20;
  uint8_t sr0d = 0x02;
  uint8_t serialPort = 0x03;  // lines released, port disabled
};

class SimS3Card {
 public:
  static constexpr uint32_t kSerialPortAddress = 0xAFF20;

  explicit SimS3Card(const S3CardConfig& config = {});

  // VGA ports 0x3B4/5, 0x3C2, 0x3C4/5, 0x3CC, 0x3D4/5; other ports read 0xFF.
  uint8_t In(uint16_t port) const;
  void Out(uint16_t port, uint8_t value);

  bool SerialPortMapped() const { return (crtc_[0x53] & 0x10) != 0 && (crtc_[0x40] & 0x01) != 0; }
  // Through the memory window; 0xFF and ignored while it is not mapped.
  uint8_t ReadSerialPort(LineLevels lines) const;
  void WriteSerialPort(uint8_t value);
  LineLevels Drive() const;

  // Current register values, for checks.
  uint8_t Crtc(uint8_t index) const { return crtc_[index]; }
  uint8_t Sequencer(uint8_t index) const { return sequencer_[index]; }
  uint8_t MiscOutput() const { return misc_; }
  uint8_t SerialPort() const { return serial_; }
  uint8_t CrtcIndex() const { return crtcIndex_; }
  uint8_t SequencerIndex() const { return sequencerIndex_; }
  // 0x3D4 or 0x3B4, by Miscellaneous Output bit 0.
  uint16_t CrtcIndexPort() const { return (misc_ & 0x01) ? 0x3D4 : 0x3B4; }

 private:
  static bool IsIdentification(uint8_t index) { return index >= 0x2D && index <= 0x30; }

  std::array<uint8_t, 256> crtc_{};
  std::array<uint8_t, 256> sequencer_{};
  uint8_t misc_;
  uint8_t serial_;
  uint8_t crtcIndex_ = 0;
  uint8_t sequencerIndex_ = 0;
};

}  // namespace tolvex::sim
