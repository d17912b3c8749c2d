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
#include "ddc/i2c_message_bus.h"
#include "ddc/port_io.h"
#include "ddc/s3_ddc_port.h"

namespace tolvex {

// I2C channels.
inline constexpr int kChannelNone = -1;
inline constexpr int kChannelBlackBox = 0;
inline constexpr int kChannelServiceKit = 1;
inline constexpr int kChannelS3 = 2;
// Not a channel of the bit-banged bus: one of the kernel's I2C buses (/dev/i2c-N).
inline constexpr int kChannelLinuxBus = 3;

// DDC protocols.
inline constexpr int kProtocolDdc2b = 0;
inline constexpr int kProtocolAocTx3 = 1;
inline constexpr int kProtocolAocTx12 = 2;

// Bus status flags; they combine by OR.
inline constexpr uint8_t kStatusClockTimeout = 0x01;   // SCL did not read high within the polling limit
inline constexpr uint8_t kStatusNoAck = 0x02;          // the ninth bit after a written byte read 1
inline constexpr uint8_t kStatusSdaLow = 0x04;         // SDA did not read high before a START
inline constexpr uint8_t kStatusAddressNoAck = 0x08;   // added to 0x02 when addressing gave up
inline constexpr uint8_t kStatusReplyMismatch = 0x10;  // AOC reply: fifth byte differs from the first
inline constexpr uint8_t kStatusReadStartFailed = 0x20;  // AOC read-address phase: START failed
inline constexpr uint8_t kStatusFrameStopFailed = 0x40;  // AOC frame: closing STOP failed
inline constexpr uint8_t kStatusStartFailed = 0x80;    // START of the addressing phase failed

inline constexpr uint16_t kRefreshPort = 0x61;

// Limits of the bus protocol.
inline constexpr int kClockStretchPolls = 1500;
inline constexpr int kAddressAttempts = 200;
inline constexpr int kFreeBusStops = 9;
inline constexpr uint16_t kEepromPageSize = 8;

class CI2cBus final : public I2cMessageBus {
 public:
  // Calibrates the S3 delay loop (at least one second on the clock), probes the Black Box, the
  // Service Kit and the S3 card in that order and selects the first that answers. Without access
  // to the VGA registers the S3 card cannot be reached: its delay loop is then not calibrated,
  // and nothing is probed where no port can be reached at all.
  CI2cBus(PortIo& io, Clock& clock, ProbeUi& ui);
  ~CI2cBus() override;

  CI2cBus(const CI2cBus&) = delete;
  CI2cBus& operator=(const CI2cBus&) = delete;

  int Channel() const { return channel_; }
  uint16_t PortBase() const { return portBase_; }
  uint32_t DelayCount() const { return delayCount_; }
  void SetSlowTiming(bool slow) override { slowTiming_ = slow; }
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
  void SetWriteEnable(bool enable) override;
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

  // Monitor controller commands. Result: 0, or the status in the low byte and, where it applies,
  // the frame byte that was not acknowledged in the high byte.
  uint16_t AocWriteByte(uint8_t index, uint8_t data, int protocol);
  uint16_t AocReadByte(uint8_t index, uint8_t& data, int protocol);

  // ---- Message level -------------------------------------------------------------------------
  // The addressing phase: up to 200 attempts, each FreeBus, START and the first address (with
  // kFrame the whole first message); the rest follows once, with repeated STARTs. Every failure
  // after the first START ends with FreeBus.
  I2cResult Run(const I2cTransaction& transaction) override;
  I2cResult Probe(uint8_t address) override;
  // The next transaction's addressing phase polls the write cycle; nothing to wait for here.
  I2cResult AwaitWriteCycle(uint8_t) override { return {}; }
  void Release() override { FreeBus(); }
  uint16_t EepromPageSize() const override { return kEepromPageSize; }

 private:
  void Calibrate();
  void Discover();
  bool ProbeParallelBase(int channel);
  void WaitRefreshToggle();
  void SetDataBit(uint8_t mask, bool set);
  void SetControlBit(uint8_t mask, bool set);
  I2cResult AddressPhase(const I2cTransaction& transaction);
  I2cResult Attempt(const I2cMessage& first, bool wholeMessage);
  I2cResult Restart(const I2cMessage& message);
  I2cResult Failed(I2cPhase phase, uint8_t status, int refusedByte = -1);

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
