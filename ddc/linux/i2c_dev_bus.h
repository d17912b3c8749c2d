// A kernel I2C bus through i2c-dev (/dev/i2c-N): every transaction is one I2C_RDWR call with
// combined messages. I2C_FUNCS refuses an adapter that cannot do plain I2C, and I2C_SLAVE is
// used only to ask whether a kernel driver owns an address (never I2C_SLAVE_FORCE).
//
// The kernel's errors become the bus status of the bit-banged bus, so the messages stay the
// same: a refused address (ENXIO, EREMOTEIO) is a missing acknowledge at the address, EIO one
// in the data, ETIMEDOUT a clock held low, EBUSY or EAGAIN a bus that would not come free.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ddc/clock.h"
#include "ddc/i2c_message_bus.h"
#include "ddc/linux/bus_safety.h"
#include "ddc/linux/kernel.h"
#include "ddc/linux/linux_discovery.h"

namespace tolvex {

// How the user came to this bus.
struct BusChoice {
  bool named = false;  // named with --bus or --connector, or chosen in the program's list
  bool force = false;  // --force
};

class CI2cDevBus final : public I2cMessageBus {
 public:
  // A refused address is retried for this long, as the kernel's at24 driver waits for an EEPROM.
  static constexpr uint32_t kAddressRetryMs = 25;
  // A refused command frame is retried this often, a millisecond apart.
  static constexpr int kFrameAttempts = 200;
  // I2C_RDWR takes at most this many messages.
  static constexpr size_t kMaxMessages = 42;
  // Slow timing gives a device this long before each transaction: the factory memory's fetch time,
  // which the bit-banged bus's slow bits give it on their own.
  static constexpr uint32_t kSlowTimingPauseMs = 3;

  // Opens the adapter's device node by the safety rules. Nothing, with one message in `error`
  // that names the bus and the reason, when the bus may not or cannot be used.
  static std::unique_ptr<CI2cDevBus> Open(KernelDevices& kernel, Clock& clock, const I2cAdapter& adapter,
                                          const std::string& label, BusChoice choice, std::string& error);
  ~CI2cDevBus() override;

  CI2cDevBus(const CI2cDevBus&) = delete;
  CI2cDevBus& operator=(const CI2cDevBus&) = delete;

  // A device that needs a pause after its address is addressed in a transaction of its own first
  // (one byte read and dropped): the kernel cannot hold the clock inside a transfer.
  I2cResult Run(const I2cTransaction& transaction) override;
  // A write address goes alone (a zero-length write); a read address reads one byte.
  I2cResult Probe(uint8_t address) override;
  // Acknowledge polling for up to 25 ms, a millisecond apart.
  I2cResult AwaitWriteCycle(uint8_t address) override;
  // The kernel ends every transfer with a STOP.
  void Release() override {}
  // No write-enable line. The kernel sets the bit timing; slow timing paces the transactions.
  void SetWriteEnable(bool) override {}
  void SetSlowTiming(bool slow) override { slowTiming_ = slow; }
  uint16_t EepromPageSize() const override { return 8; }
  std::string FailureDetail() const override { return detail_; }
  const WriteGuard* GuardForWrites() const override { return &guard_; }
  // The rules that no --force overrides: the NVIDIA driver's unmatched buses, and more than one
  // device answering a one-byte read at 0x50-0x57 (asked once, the first time).
  std::string RefuseWrites() override;

  // I2C_RDWR calls made since the bus was opened (for measurements).
  uint64_t Calls() const { return calls_; }
  // Each way round a limit of the adapter taken so far, one sentence each, for the user.
  const std::vector<std::string>& FallbackNotes() const { return notes_; }

 private:
  CI2cDevBus(KernelDevices& kernel, Clock& clock, int fd, std::string device, WriteGuard guard,
             std::optional<Refusal> writeRefusal);

  // One I2C_RDWR call.
  I2cResult Call(std::span<const I2cMessage> messages);
  // The messages as the adapter takes them: whole, or one at a time, reads in pieces.
  I2cResult Transfer(std::span<const I2cMessage> messages);
  I2cResult ReadInPieces(const I2cMessage& message);
  bool Refused() const;
  // `format` takes the device, `number` and what `error` means.
  void Note(const char* format, int number, int error);
  I2cResult TransferWithRetries(std::span<const I2cMessage> messages, I2cRetry retry);
  bool ShouldRetry(const I2cResult& result, I2cRetry retry) const;

  KernelDevices& kernel_;
  Clock& clock_;
  int fd_;
  std::string device_;
  WriteGuard guard_;
  std::optional<Refusal> writeRefusal_;
  bool spdProbed_ = false;
  std::string detail_;
  int lastError_ = 0;
  bool slowTiming_ = false;
  bool separate_ = false;  // the adapter takes one message per transfer
  uint16_t readCap_ = 0;   // the longest read it takes; 0 until one is refused
  std::vector<std::string> notes_;
  uint64_t calls_ = 0;
};

// "/dev/i2c-5 (card0-HDMI-A-1)", or the adapter's name where no connector uses the bus.
std::string BusLabel(const I2cAdapter& adapter, const LinuxDiscovery& discovery);

}  // namespace tolvex
