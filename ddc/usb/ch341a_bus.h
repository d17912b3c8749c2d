// The CH341A USB programmer (1a86:5512) as an I2C channel, driven from user space through its bulk
// pipe: interface 0, bulk OUT 0x02, bulk IN 0x82.
//
// Its I2C stream protocol: each command packet is at most 32 bytes, begins with 0xAA and ends at
// the 32nd byte or early at a 0x00. Inside it, sub-commands:
//   0x74            START (a repeated START while the bus is held)
//   0x75            STOP
//   0x80|n, n bytes OUT: the bytes are clocked out; an OUT of one byte answers one status byte,
//                   bit 7 clear when the byte was acknowledged
//   0xC0|n          IN: n bytes (1 to 32) read, each acknowledged; 0xC0 alone reads one byte
//                   without acknowledging it, the last byte of a read
//   0x60|s          the clock: s = 0..3 for 20, 100, 400 or 750 kHz
// The reply bytes of a packet (statuses and read bytes, at most 32) come back with one bulk IN.
//
// Every byte the channel writes goes as an OUT of one byte, so each address and each data byte is
// known to be acknowledged or not; acknowledge polling asks the same way, one round trip a poll,
// never waiting blindly. A data line held low acknowledges everything, so each transaction that
// does not continue a held bus first addresses 0x06 (reserved by the I2C standard: nobody may
// acknowledge it), and an acknowledge there is a data line held low.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ddc/clock.h"
#include "ddc/i2c_message_bus.h"
#include "ddc/usb/usb_pipe.h"

namespace tolvex {

namespace ch341a {
inline constexpr uint16_t kVendor = 0x1A86;
inline constexpr uint16_t kProduct = 0x5512;
inline constexpr UsbBulkEndpoints kEndpoints = {0, 0x02, 0x82};

inline constexpr size_t kPacketSize = 32;
inline constexpr uint8_t kStream = 0xAA;
inline constexpr uint8_t kEnd = 0x00;
inline constexpr uint8_t kStart = 0x74;
inline constexpr uint8_t kStop = 0x75;
inline constexpr uint8_t kOut = 0x80;
inline constexpr uint8_t kIn = 0xC0;
inline constexpr uint8_t kSpeed = 0x60;
inline constexpr uint8_t kRefused = 0x80;  // in a status byte
inline constexpr int kMaxIn = 32;
// The speeds of 0x60|s, in kHz.
inline constexpr int kSpeedsKhz[] = {20, 100, 400, 750};
inline constexpr uint8_t kDefaultSpeed = 1;
// Reserved by the I2C standard ("for future purposes"): no device acknowledges it.
inline constexpr uint8_t kIdleCheckAddress = 0x06;
}  // namespace ch341a

class CCh341aBus final : public I2cMessageBus {
 public:
  // A refused address is retried for this long, as for the kernel's buses.
  static constexpr uint32_t kAddressRetryMs = 25;
  static constexpr int kFrameAttempts = 200;
  static constexpr uint32_t kUsbTimeoutMs = 200;
  // The factory memory's fetch time, given before each transaction while the timing is slow.
  static constexpr uint32_t kSlowTimingPauseMs = 3;

  // Opens the programmer and sets its clock to 100 kHz. Nothing, with one message that names the
  // programmer, when it cannot be opened.
  static std::unique_ptr<CCh341aBus> Open(UsbHost& host, Clock& clock, const UsbDeviceId& id, bool force,
                                          std::string& error);
  // On a pipe that is already open; `label` names the programmer in messages.
  CCh341aBus(std::unique_ptr<UsbBulkPipe> pipe, Clock& clock, std::string label, bool force);

  CCh341aBus(const CCh341aBus&) = delete;
  CCh341aBus& operator=(const CCh341aBus&) = delete;

  I2cResult Run(const I2cTransaction& transaction) override;
  // START, the address, STOP; a read address reads one byte first, unacknowledged.
  I2cResult Probe(uint8_t address) override;
  // Acknowledge polling, one round trip a poll, for up to 25 ms.
  I2cResult AwaitWriteCycle(uint8_t address) override;
  // A STOP, when a transaction left the bus held.
  void Release() override;
  // No write-enable line: a programmer's socket ties the EEPROM's write-protect pin low.
  void SetWriteEnable(bool) override {}
  void SetSlowTiming(bool slow) override { slowTiming_ = slow; }
  uint16_t EepromPageSize() const override { return 8; }  // 24C02-class parts
  std::string FailureDetail() const override { return detail_; }
  const WriteGuard* GuardForWrites() const override { return &guard_; }

  // 0x60|s; false when the packet did not go out.
  bool SetSpeed(uint8_t speed);

  // Bulk round trips (one command packet each, with its reply if it has one) and the bytes that
  // went each way, since the channel was made (for measurements).
  uint64_t RoundTrips() const { return roundTrips_; }
  uint64_t BytesOut() const { return bytesOut_; }
  uint64_t BytesIn() const { return bytesIn_; }

 private:
  // Where each byte of a packet's reply goes.
  struct ReplySlot {
    enum Kind : uint8_t { kData, kStatus, kIdleCheck };
    Kind kind = kData;
    uint8_t* data = nullptr;           // kData
    I2cPhase phase = I2cPhase::kDone;  // kStatus: where a refusal stops the transaction
    int position = -1;                 // kStatus: the written byte's position
  };

  I2cResult Attempt(std::span<const I2cMessage> messages, bool stop, uint32_t pauseMs);
  I2cResult WithRetries(std::span<const I2cMessage> messages, I2cRetry retry, bool stop, uint32_t pauseMs);
  void BeginPacket();
  // Makes room for a sub-command of `bytes` bytes and `replies` reply bytes, sending the packet
  // when it is full; false once the transaction has failed.
  bool Room(size_t bytes, size_t replies);
  void Command(uint8_t code);
  void WriteByte(uint8_t byte, ReplySlot slot);
  void ReadBytes(uint8_t* data, uint16_t length);
  void Flush();
  void TakeReply(std::span<const uint8_t> reply);
  void FailOnUsb(int error);

  std::unique_ptr<UsbBulkPipe> pipe_;
  Clock& clock_;
  WriteGuard guard_;
  std::string detail_;
  bool slowTiming_ = false;
  bool held_ = false;  // the last transaction ended without a STOP

  std::array<uint8_t, ch341a::kPacketSize> packet_{};
  size_t used_ = 0;
  std::vector<ReplySlot> slots_;
  uint8_t lastCommand_ = 0;
  I2cResult result_;
  bool usbFailed_ = false;

  uint64_t roundTrips_ = 0;
  uint64_t bytesOut_ = 0;
  uint64_t bytesIn_ = 0;
};

// "CH341A USB programmer (bus 001 device 004)".
std::string Ch341aLabel(const UsbDeviceId& id);

}  // namespace tolvex
