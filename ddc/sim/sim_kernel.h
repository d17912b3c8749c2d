// The simulated kernel's device nodes: I2C buses behind i2c-dev and parallel ports behind ppdev.
//
// A bus whose adapter bit-bangs (as i2c-algo-bit does for GPIO lines and many GPUs' DDC pins)
// drives a simulated monitor's lines at 100 kHz, so every I2C_RDWR message reaches the bit-level
// slave and its faults: an address nobody acknowledges gives ENXIO, a refused data byte EIO, a
// clock held low past 100 ms ETIMEDOUT, and a data line that stays low through bus recovery
// EBUSY. An SMBus-only adapter answers I2C_FUNCS without plain I2C and refuses I2C_RDWR. An
// address a kernel driver owns answers I2C_SLAVE with EBUSY.
//
// A parallel port's ioctls reach the simulated machine's registers. As the PC parallel port driver
// does, the driver keeps its own copy of the control register: PPWCONTROL changes only the four
// output lines in it, and PPRCONTROL answers those four from the copy.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "ddc/linux/kernel.h"
#include "ddc/port_io.h"
#include "ddc/sim/sim_clock.h"
#include "ddc/sim/sim_i2c_slave.h"

struct i2c_msg;

namespace tolvex::sim {

// The kernel's bit-banging I2C master, after i2c-algo-bit: one function per wire event, each
// with its delay; the address is tried again three times before ENXIO.
class SimBitBangAdapter {
 public:
  static constexpr uint64_t kHalfPeriodUs = 5;  // 100 kHz
  static constexpr uint64_t kClockTimeoutUs = 100'000;
  static constexpr int kAddressRetries = 3;

  // `slave`: the device side of the lines; nullptr leaves them to the pull-ups.
  SimBitBangAdapter(SimTime& time, SimI2cSlave* slave);

  // The number of messages, or -errno.
  int Transfer(i2c_msg* messages, int count);
  // The device leaves the lines on the adapter's `pulses`-th release of SCL from now on, in the
  // middle of whatever transfer runs then; 0 keeps it there.
  void UnplugAfterPulses(uint32_t pulses) { unplugCountdown_ = pulses; }
  // The device side of the lines from now on; nullptr leaves them to the pull-ups.
  void SetSlave(SimI2cSlave* slave);
  // The device leaves the lines now.
  void Unplug() { SetSlave(nullptr); }

  // The wire events one by one, for a master that runs its own sequence (a USB programmer's
  // command stream). OutByte: 1 acknowledged, 0 not, or -ETIMEDOUT; InByte: the byte or -ETIMEDOUT.
  void Start();
  int RepeatedStart();
  void Stop();
  int OutByte(uint8_t byte);
  int InByte();
  int Acknowledge(bool ack);
  // Time went on outside the wire events (a programmer between two command packets): a read
  // byte the device has got ready meanwhile goes onto SDA.
  void CatchUp() {
    if (slave_) slave_->CatchUp();
  }
  // Half a clock period: 5000 ns at 100 kHz.
  void SetHalfPeriodNs(uint64_t ns) { halfPeriodNs_ = ns; }

 private:
  void SetScl(bool level);
  void SetSda(bool level);
  bool GetScl();
  bool GetSda();
  void Delay(uint64_t ns) { time_.Advance(ns); }
  void SdaLow();
  void SdaHigh();
  void SclLow();
  int SclHigh();
  bool RecoverBus();
  int TryAddress(uint8_t address);
  int SendBytes(const i2c_msg& message);
  int ReadBytes(i2c_msg& message);

  SimTime& time_;
  SimI2cSlave* slave_;
  uint64_t halfPeriodNs_ = kHalfPeriodUs * 1000;
  bool scl_ = true;
  bool sda_ = true;
  uint32_t unplugCountdown_ = 0;
};

// What a USB I2C adapter's driver refuses before anything reaches the wire, as the I2C core's
// quirk checks and the drivers do: a message over a length cap (EINVAL), and combinations the
// chip cannot make, a repeated START or a zero-length message (EOPNOTSUPP).
struct SimAdapterLimits {
  uint16_t maxWrite = 0;  // bytes of one write message; 0: no cap
  uint16_t maxRead = 0;   // bytes of one read message; 0: no cap
  bool writeThenReadOnly = false;  // one message, or a write followed by a read of the same device
  bool noRepeatedStart = false;    // one message per transfer
  bool noZeroLength = false;

  // 0 when the transfer may go, else -errno.
  int Check(const i2c_msg* messages, uint32_t count) const;
};

// A CP2112's: writes of 61 bytes at most, write-then-read the only combination, no zero-length
// message.
inline constexpr SimAdapterLimits kCp2112Limits = {61, 512, true, false, true};

class SimKernel final : public KernelDevices {
 public:
  explicit SimKernel(SimTime& time) : time_(time) {}

  // /dev/i2c-N. `adapter` nullptr: an SMBus-only controller; `owned`: addresses a driver took;
  // `limits`: what the adapter's driver refuses.
  void AddBus(int number, std::unique_ptr<SimBitBangAdapter> adapter, std::set<uint8_t> owned = {},
              SimAdapterLimits limits = {});
  // /dev/parportN on the machine's port at `base`.
  void AddParallelPort(int number, uint16_t base, PortIo& machine);
  // The adapter of /dev/i2c-`number`; nullptr for none or an SMBus-only controller.
  SimBitBangAdapter* Adapter(int number);
  // Device nodes the user may not open (a permission error).
  void DenyAccess(const std::string& device) { denied_.insert(device); }

  int Open(const std::string& path, int flags) override;
  int Close(int fd) override;
  int Ioctl(int fd, unsigned long request, uintptr_t argument) override;

  // For measurements and tests.
  int OpenFiles() const { return static_cast<int>(open_.size()); }
  uint64_t RdwrCalls() const { return rdwrCalls_; }
  uint64_t RdwrMessages() const { return rdwrMessages_; }
  uint64_t RdwrBytes() const { return rdwrBytes_; }  // data bytes and one address byte per message
  uint64_t RdwrRefused() const { return rdwrRefused_; }  // refused by the adapter's limits

 private:
  struct Bus {
    std::unique_ptr<SimBitBangAdapter> adapter;
    std::set<uint8_t> owned;
    SimAdapterLimits limits;
  };
  struct ParallelPort {
    uint16_t base;
    PortIo* machine;
    uint8_t control = 0;  // the driver's copy of the control register
  };
  struct OpenFile {
    Bus* bus = nullptr;
    ParallelPort* port = nullptr;
    bool claimed = false;
  };
  int BusIoctl(Bus& bus, unsigned long request, uintptr_t argument);
  int PortIoctl(OpenFile& file, unsigned long request, uintptr_t argument);

  SimTime& time_;
  std::map<int, Bus> buses_;
  std::map<int, ParallelPort> ports_;
  std::set<std::string> denied_;
  std::map<int, OpenFile> open_;
  int nextFd_ = 3;
  uint64_t rdwrCalls_ = 0;
  uint64_t rdwrMessages_ = 0;
  uint64_t rdwrBytes_ = 0;
  uint64_t rdwrRefused_ = 0;
};

}  // namespace tolvex::sim
