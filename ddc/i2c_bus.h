// The software I2C bus master on the monitor's DDC lines, and its hardware layer: which register
// bits drive and sense SCL and SDA on each of the three adapters, the bit-timing delay and the
// discovery of the adapter at start-up.
//
// Every operation returns a bus status byte of flags; 0 is success. Nothing here throws, shows
// anything or allocates once constructed.
#pragma once

#include <cstdint>

#include "ddc/clock.h"
#include "ddc/ddc_ui.h"
#include "ddc/port_io.h"
#include "ddc/s3_ddc_port.h"

namespace tolvex {

// I2C channels.
inline constexpr int kChannelNone = -1;
inline constexpr int kChannelBlackBox = 0;
inline constexpr int kChannelServiceKit = 1;
inline constexpr int kChannelS3 = 2;

// DDC protocols.
inline constexpr int kProtocolDdc2b = 0;
inline constexpr int kProtocolAocTx3 = 1;
inline constexpr int kProtocolAocTx12 = 2;

// The E-DDC segment pointer's write address.
inline constexpr uint8_t kSegmentPointer = 0x60;

// Bus status flags; they combine by OR.
inline constexpr uint8_t kStatusClockTimeout = 0x01;   // SCL did not read high within the polling limit
inline constexpr uint8_t kStatusNoAck = 0x02;          // the ninth bit after a written byte read 1
inline constexpr uint8_t kStatusSdaLow = 0x04;         // SDA did not read high before a START
inline constexpr uint8_t kStatusAddressNoAck = 0x08;   // added to 0x02 when addressing gave up
inline constexpr uint8_t kStatusReplyMismatch = 0x10;  // AOC reply: fifth byte differs from the first
inline constexpr uint8_t kStatusReadStartFailed = 0x20;  // AOC read-address phase: START failed
inline constexpr uint8_t kStatusFrameStopFailed = 0x40;  // AOC frame: closing STOP failed
inline constexpr uint8_t kStatusStartFailed = 0x80;    // START of the addressing phase failed

// Parallel port bases, in probe order.
inline constexpr uint16_t kParallelBases[] = {0x378, 0x278, 0x3BC};
inline constexpr uint16_t kRefreshPort = 0x61;

// Limits of the bus protocol.
inline constexpr int kClockStretchPolls = 1500;
inline constexpr int kAddressAttempts = 200;
inline constexpr int kFreeBusStops = 9;

class CI2cBus {
 public:
  // Calibrates the S3 delay loop (at least one second on the clock), probes the Black Box, the
  // Service Kit and the S3 card in that order and selects the first that answers.
  CI2cBus(PortIo& io, Clock& clock, ProbeUi& ui);
  ~CI2cBus();

  CI2cBus(const CI2cBus&) = delete;
  CI2cBus& operator=(const CI2cBus&) = delete;

  int Channel() const { return channel_; }
  uint16_t PortBase() const { return portBase_; }
  uint32_t DelayCount() const { return delayCount_; }
  void SetSlowTiming(bool slow) { slowTiming_ = slow; }
  bool SlowTiming() const { return slowTiming_; }
  const CS3DdcPort& S3Port() const { return s3Port_; }
  // Delay units spent since construction (for measurements).
  uint64_t DelaysSpent() const { return delaysSpent_; }

  // ---- Hardware layer ------------------------------------------------------------------------
  void SelectChannel(int channel);
  bool ProbeChannel(int channel);
  void SetScl(int level);
  void SetSda(int level);
  int GetScl();
  int GetSda();
  void SetWriteEnable(bool enable);
  void Delay();

  // ---- Bus protocol --------------------------------------------------------------------------
  bool WaitSclHigh();
  uint8_t Start();
  uint8_t Stop();
  void FreeBus();
  uint8_t WriteBit(int value);
  uint8_t ReadBit(int& bit);
  uint8_t WriteByte(uint8_t byte);
  uint8_t ReadByte(uint8_t& byte, bool acknowledge);
  uint8_t WriteBytes(uint16_t count, const uint8_t* buffer);
  uint8_t ReadBytes(uint16_t count, uint8_t* buffer);
  // EEPROM-style transfer: a write when bit 0 of the device address is 0, a read when it is 1.
  uint8_t Transfer(uint8_t deviceAddress, uint8_t wordAddress, uint16_t count, uint8_t* buffer);
  // START, the address byte, the data bytes, STOP.
  uint8_t RawTransfer(uint8_t deviceAddress, uint16_t count, uint8_t* buffer);
  // The E-DDC transfer of a segment beyond the first: the segment pointer (0x60) and its byte,
  // then a repeated START and the EEPROM-style transfer, all in one transaction, since the STOP
  // sets the pointer back to segment 0. The segment pointer's address phase is retried as the
  // EEPROM's is.
  uint8_t SegmentTransfer(uint8_t segment, uint8_t deviceAddress, uint8_t wordAddress, uint16_t count,
                          uint8_t* buffer);

  // Monitor controller commands. Result: 0, or the status in the low byte and, where it applies,
  // the frame byte that was not acknowledged in the high byte.
  uint16_t AocWriteByte(uint8_t index, uint8_t data, int protocol);
  uint16_t AocReadByte(uint8_t index, uint8_t& data, int protocol);

 private:
  void Calibrate();
  void Discover();
  bool ProbeParallelBase(int channel);
  void WaitRefreshToggle();
  void SetDataBit(uint8_t mask, bool set);
  void SetControlBit(uint8_t mask, bool set);
  uint8_t AddressPhase(uint8_t address);
  uint8_t RepeatedStart(uint8_t address);
  uint8_t TransferFromWordAddress(uint8_t deviceAddress, uint8_t wordAddress, uint16_t count, uint8_t* buffer);
  uint16_t SendFrame(const uint8_t* frame, int length);

  PortIo& io_;
  Clock& clock_;
  bool slowTiming_ = false;
  int channel_ = kChannelNone;
  CS3DdcPort s3Port_;
  uint32_t delayCount_ = 0;
  uint16_t portBase_ = 0;
  uint64_t delaysSpent_ = 0;
};

}  // namespace tolvex
