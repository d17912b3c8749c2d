#include "ddc/sim/sim_s3_card.h"

namespace tolvex::sim {

namespace {

constexpr uint16_t kMiscOutputWrite = 0x3C2;
constexpr uint16_t kMiscOutputRead = 0x3CC;
constexpr uint16_t kSequencerIndexPort = 0x3C4;
constexpr uint16_t kSequencerDataPort = 0x3C5;
constexpr uint8_t kSr0d = 0x0D;

constexpr uint8_t kSclDrive = 0x01;
constexpr uint8_t kSdaDrive = 0x02;
constexpr uint8_t kSclSense = 0x04;
constexpr uint8_t kSdaSense = 0x08;
constexpr uint8_t kPortEnable = 0x10;
constexpr uint8_t kSenseBits = kSclSense | kSdaSense;
// SR0D bits 0-1 give the pins to the feature connector.
constexpr uint8_t kSr0dPinsElsewhere = 0x03;
// CR5C bits 0-1 set configure the pins for DDC.
constexpr uint8_t kCr5c = 0x5C;
constexpr uint8_t kCr5cDdcPins = 0x03;

}  // namespace

SimS3Card::SimS3Card(const S3CardConfig& config) : misc_(config.miscOutput), serial_(config.serialPort & ~kSenseBits) {
  crtc_[0x2D] = static_cast<uint8_t>(config.idA >> 8);
  crtc_[0x2E] = static_cast<uint8_t>(config.idA & 0xFF);
  crtc_[0x2F] = static_cast<uint8_t>(config.idB >> 8);
  crtc_[0x30] = static_cast<uint8_t>(config.idB & 0xFF);
  crtc_[0x40] = config.cr40;
  crtc_[0x53] = config.cr53;
  crtc_[0x5C] = config.cr5c;
  sequencer_[kSr0d] = config.sr0d;
}

uint8_t SimS3Card::In(uint16_t port) const {
  const uint16_t crtcIndexPort = CrtcIndexPort();
  if (port == crtcIndexPort) return crtcIndex_;
  if (port == crtcIndexPort + 1) return crtc_[crtcIndex_];
  switch (port) {
    case kMiscOutputRead: return misc_;
    case kSequencerIndexPort: return sequencerIndex_;
    case kSequencerDataPort: return sequencer_[sequencerIndex_];
    default: return 0xFF;
  }
}

void SimS3Card::Out(uint16_t port, uint8_t value) {
  const uint16_t crtcIndexPort = CrtcIndexPort();
  if (port == crtcIndexPort) {
    crtcIndex_ = value;
  } else if (port == crtcIndexPort + 1) {
    if (!IsIdentification(crtcIndex_)) crtc_[crtcIndex_] = value;
  } else if (port == kMiscOutputWrite) {
    misc_ = value;
  } else if (port == kSequencerIndexPort) {
    sequencerIndex_ = value;
  } else if (port == kSequencerDataPort) {
    sequencer_[sequencerIndex_] = value;
  }
}

uint8_t SimS3Card::ReadSerialPort(LineLevels lines) const {
  if (!SerialPortMapped()) return 0xFF;
  return static_cast<uint8_t>(serial_ | (lines.scl ? kSclSense : 0) | (lines.sda ? kSdaSense : 0));
}

void SimS3Card::WriteSerialPort(uint8_t value) {
  if (!SerialPortMapped()) return;
  serial_ = value & ~kSenseBits;
}

LineLevels SimS3Card::Drive() const {
  const bool driving = (serial_ & kPortEnable) != 0 && (sequencer_[kSr0d] & kSr0dPinsElsewhere) == 0 &&
                       (crtc_[kCr5c] & kCr5cDdcPins) == kCr5cDdcPins;
  if (!driving) return {};
  return {(serial_ & kSclDrive) != 0, (serial_ & kSdaDrive) != 0};
}

}  // namespace tolvex::sim
