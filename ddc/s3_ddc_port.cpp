#include "ddc/s3_ddc_port.h"

#include "ddc/ddc_texts.h"
#include "ddc/format_text.h"

namespace tolvex {

namespace {

constexpr uint16_t kCrtcColorIndex = 0x3D4;
constexpr uint16_t kCrtcMonoIndex = 0x3B4;
constexpr uint16_t kSequencerIndex = 0x3C4;
constexpr uint16_t kMiscOutputWrite = 0x3C2;
constexpr uint16_t kMiscOutputRead = 0x3CC;

// Chip identifications of the ViRGE family whose serial port register we know.
constexpr uint16_t kKnownChips[] = {0x8A01, 0x8904, 0x8811};

struct CrtcSetting {
  uint8_t index;
  uint8_t orMask;
};
// The settings that map the serial port register into the memory window at 0xAFF20 (CR53 bit 4
// opens the window, CR40 bit 0 the enhanced registers behind it) and set up its pins (CR5C).
constexpr CrtcSetting kEnableCrtc[] = {{0x40, 0x01}, {0x53, 0x10}, {0x5C, 0x03}};
constexpr uint8_t kSr0dIndex = 0x0D;
constexpr uint8_t kSerialPortEnable = 0x10;

uint16_t IndexValueWord(uint8_t index, uint8_t value) { return static_cast<uint16_t>(index | value << 8); }

}  // namespace

CS3DdcPort::~CS3DdcPort() {
  if (enabled_) Restore();
}

uint16_t CS3DdcPort::ReadCrtcWord(uint8_t lowIndex, uint8_t highIndex) {
  io_.PortOut8(kCrtcColorIndex, lowIndex);
  const uint8_t low = io_.PortIn8(kCrtcColorIndex + 1);
  io_.PortOut8(kCrtcColorIndex, highIndex);
  const uint8_t high = io_.PortIn8(kCrtcColorIndex + 1);
  return static_cast<uint16_t>(low | high << 8);
}

bool CS3DdcPort::Probe() {
  const uint16_t vendor = ReadCrtcWord(0x2E, 0x2D);
  const uint16_t device = ReadCrtcWord(0x30, 0x2F);
  ui_.ShowMessage(FormatText(texts::kChipIdentification, vendor, device));
  enabled_ = false;
  for (uint16_t chip : kKnownChips) {
    if (vendor == chip) enabled_ = true;
  }
  if (enabled_) Enable();
  return enabled_;
}

void CS3DdcPort::Enable() {
  const uint8_t misc = io_.PortIn8(kMiscOutputRead);
  savedMiscOutput_ = misc;
  const uint8_t newMisc = misc | 0xC0;
  io_.PortOut8(kMiscOutputWrite, newMisc);
  crtcIndexPort_ = (newMisc & 0x01) ? kCrtcColorIndex : kCrtcMonoIndex;

  for (size_t i = 0; i < std::size(kEnableCrtc); ++i) {
    const auto [index, mask] = kEnableCrtc[i];
    io_.PortOut8(crtcIndexPort_, index);
    const uint8_t value = io_.PortIn8(static_cast<uint16_t>(crtcIndexPort_ + 1));
    savedCrtc_[i] = IndexValueWord(index, value);
    io_.PortOut16(crtcIndexPort_, IndexValueWord(index, value | mask));
  }

  // SR0D bits 0-1 hand the DDC pins to the feature connector; clear them.
  io_.PortOut8(kSequencerIndex, kSr0dIndex);
  const uint8_t sr0d = io_.PortIn8(kSequencerIndex + 1);
  savedSr0d_ = IndexValueWord(kSr0dIndex, sr0d);
  io_.PortOut16(kSequencerIndex, IndexValueWord(kSr0dIndex, sr0d & 0xFC));

  SetSerialBit(kSerialPortEnable, true);
}

void CS3DdcPort::Restore() {
  SetSerialBit(kSerialPortEnable, false);
  io_.PortOut16(kSequencerIndex, savedSr0d_);
  for (size_t i = savedCrtc_.size(); i-- > 0;) io_.PortOut16(crtcIndexPort_, savedCrtc_[i]);
  io_.PortOut8(kMiscOutputWrite, savedMiscOutput_);
  enabled_ = false;  // a second Restore would write into the frame buffer
}

void CS3DdcPort::SetSerialBit(uint8_t mask, bool set) {
  const uint8_t value = io_.MemRead8(kS3SerialPortAddress);
  io_.MemWrite8(kS3SerialPortAddress, static_cast<uint8_t>(set ? value | mask : value & ~mask));
}

void CS3DdcPort::SetScl(int level) { SetSerialBit(0x01, level != 0); }
void CS3DdcPort::SetSda(int level) { SetSerialBit(0x02, level != 0); }
int CS3DdcPort::GetScl() { return (io_.MemRead8(kS3SerialPortAddress) >> 2) & 1; }
int CS3DdcPort::GetSda() { return (io_.MemRead8(kS3SerialPortAddress) >> 3) & 1; }

}  // namespace tolvex
