// The message-level face of an I2C channel: a list of messages in, one combined transaction on the
// wire, an outcome out. The bit-banged CI2cBus and the kernel's i2c-dev buses both implement it,
// so the EEPROM transfers and the monitor controller's command protocols are written once.
//
// A channel runs a transaction in its own way: the bit-banged bus clocks every bit itself and
// retries an address 200 times; the kernel runs the whole list in one I2C_RDWR call. The shared
// code states only what the device needs (which retries, a pause before the reply, whether the
// bus stays held) and turns the outcome into the bus status its messages show.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace tolvex {

// One message: the 8-bit bus address (direction in bit 0: 1 reads) and its bytes. Messages after
// the first follow a repeated START.
struct I2cMessage {
  uint8_t address = 0;
  uint8_t* data = nullptr;
  uint16_t length = 0;

  bool IsRead() const { return (address & 1) != 0; }
};

enum class I2cRetry : uint8_t {
  kNone,     // one attempt
  kAddress,  // while the first address is refused: an EEPROM busy with its write cycle
  kFrame,    // while any byte of the first message is refused: a controller busy with a command
};

struct I2cTransaction {
  std::span<const I2cMessage> messages;
  I2cRetry retry = I2cRetry::kAddress;
  // False: no STOP at the end; the bus stays held until the next transaction begins. A channel
  // that cannot hold the bus (the kernel always ends a transfer) sends the STOP anyway.
  bool closeWithStop = true;
  // The device prepares its reply after acknowledging the first address (a read). The bit-banged
  // bus waits there with the clock held low; a channel that cannot pause inside a transaction
  // addresses the device in a transaction of its own, waits, then runs this one.
  uint32_t replyPauseMs = 0;
};

// Where a transaction stopped.
enum class I2cPhase : uint8_t {
  kDone,
  kStart,           // the first START
  kAddress,         // the first address byte was not taken
  kData,            // a data byte, written or read
  kRestart,         // a repeated START
  kRestartAddress,  // the address after a repeated START
  kStop,            // everything went through but the closing STOP failed
};

// The bus status flags of the line operations (the rest are added by the callers' rules).
inline constexpr uint8_t kLineClockTimeout = 0x01;
inline constexpr uint8_t kLineNoAck = 0x02;
inline constexpr uint8_t kLineSdaLow = 0x04;

struct I2cResult {
  uint8_t status = 0;  // flags of the line operations: 0x01, 0x02, 0x04; 0 = success
  I2cPhase phase = I2cPhase::kDone;
  // Position of the refused byte among the written bytes (0 = the first address); -1 when no
  // byte was refused or the channel cannot tell which.
  int refusedByte = -1;

  bool Ok() const { return status == 0; }
};

// The bus status of an EEPROM-style or raw transfer: a failed first START carries 0x80, an
// address that was not acknowledged also 0x08.
uint8_t TransferStatus(const I2cResult& result);

class I2cMessageBus {
 public:
  virtual ~I2cMessageBus() = default;

  virtual I2cResult Run(const I2cTransaction& transaction) = 0;
  // START, the address byte alone, STOP; one attempt. 0xA0 asks an EEPROM whether its write
  // cycle is over; any address asks whether a device is there.
  virtual I2cResult Probe(uint8_t address) = 0;
  // After a page write to the EEPROM at `address`: returns once the chip can take the next
  // transaction, or with the refusal when it never answered.
  virtual I2cResult AwaitWriteCycle(uint8_t address) = 0;
  // Ends whatever a failed transaction left on the bus.
  virtual void Release() = 0;
  // The adapter's EEPROM write-enable line and its slow bit timing, where it has them.
  virtual void SetWriteEnable(bool enable) = 0;
  virtual void SetSlowTiming(bool slow) = 0;
  // Bytes of one EEPROM page write.
  virtual uint16_t EepromPageSize() const = 0;

  // What the kernel said about the last failure, for the user; empty when the status says it all.
  virtual std::string FailureDetail() const { return {}; }

  // A bus of the PC itself may carry other EEPROMs at the EDID's address (a memory module's SPD):
  // such a bus names itself here, and writes first check what answers at 0xA0. The adapters made
  // for monitors need no such check.
  struct WriteGuard {
    std::string busLabel;  // the device and what it is, for messages
    bool force = false;    // the user overrode the checks that may be overridden
  };
  virtual const WriteGuard* GuardForWrites() const { return nullptr; }
  // Why nothing may be written on this bus, whatever the user says, as one message; empty when
  // writes may go. Asked before a command's first write; the bus may read to find out.
  virtual std::string RefuseWrites() { return {}; }
};

}  // namespace tolvex
