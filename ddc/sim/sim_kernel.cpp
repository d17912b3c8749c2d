#include "ddc/sim/sim_kernel.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <linux/i2c-dev.h>
#include <linux/i2c.h>
#include <linux/ppdev.h>

#include <cerrno>

namespace tolvex::sim {

namespace {

constexpr unsigned long kBitBangFunctions =
    I2C_FUNC_I2C | I2C_FUNC_NOSTART | I2C_FUNC_PROTOCOL_MANGLING | I2C_FUNC_SMBUS_EMUL;
constexpr unsigned long kSmbusFunctions = I2C_FUNC_SMBUS_QUICK | I2C_FUNC_SMBUS_BYTE | I2C_FUNC_SMBUS_BYTE_DATA |
                                          I2C_FUNC_SMBUS_WORD_DATA | I2C_FUNC_SMBUS_BLOCK_DATA |
                                          I2C_FUNC_SMBUS_I2C_BLOCK;
// i2c-dev's limits on one I2C_RDWR call.
constexpr __u32 kMaxMessages = 42;
constexpr __u16 kMaxMessageLength = 8192;

// A clock pulse of bus recovery, as the I2C core sends them while data is held low.
constexpr int kRecoveryPulses = 9;

// The PC parallel port driver passes the strobe, auto-feed, init and select lines only.
constexpr uint8_t kControlLines = 0x0F;

// The number after `prefix` when the path is prefix + digits; -1 otherwise.
int NumberAfter(const std::string& path, const std::string& prefix) {
  if (path.size() <= prefix.size() || path.compare(0, prefix.size(), prefix) != 0) return -1;
  int number = 0;
  for (size_t i = prefix.size(); i < path.size(); ++i) {
    if (path[i] < '0' || path[i] > '9' || number > 100'000) return -1;
    number = number * 10 + (path[i] - '0');
  }
  return number;
}

}  // namespace

// ---- The bit-banging master ----------------------------------------------------------------

SimBitBangAdapter::SimBitBangAdapter(SimTime& time, SimI2cSlave* slave) : time_(time), slave_(slave) {
  if (slave_) slave_->Attach(true, true);
}

void SimBitBangAdapter::SetSlave(SimI2cSlave* slave) {
  slave_ = slave;
  if (slave_) slave_->Attach(scl_, sda_);
}

void SimBitBangAdapter::SetScl(bool level) {
  const bool released = level && !scl_;
  scl_ = level;
  if (released && unplugCountdown_ > 0 && --unplugCountdown_ == 0) {
    slave_ = nullptr;  // gone before the device sees this clock: the pull-ups have the lines
    return;
  }
  if (slave_) slave_->SetMasterDrive(scl_, sda_);
}

void SimBitBangAdapter::SetSda(bool level) {
  sda_ = level;
  if (slave_) slave_->SetMasterDrive(scl_, sda_);
}

// Each read of the clock line takes a microsecond, so a stretched clock runs out of time.
bool SimBitBangAdapter::GetScl() {
  time_.Advance(1000);
  if (!slave_) return scl_;
  slave_->OnSclSensed();
  return slave_->Scl();
}

bool SimBitBangAdapter::GetSda() { return slave_ ? slave_->Sda() : sda_; }

void SimBitBangAdapter::SdaLow() {
  SetSda(false);
  Delay((halfPeriodNs_ + 1) / 2);
}

void SimBitBangAdapter::SdaHigh() {
  SetSda(true);
  Delay((halfPeriodNs_ + 1) / 2);
}

void SimBitBangAdapter::SclLow() {
  SetScl(false);
  Delay(halfPeriodNs_ / 2);
}

// The device may hold the clock low; it gets 100 ms.
int SimBitBangAdapter::SclHigh() {
  SetScl(true);
  const uint64_t start = time_.Us();
  while (!GetScl()) {
    if (time_.Us() - start > kClockTimeoutUs) {
      if (GetScl()) break;
      return -ETIMEDOUT;
    }
  }
  Delay(halfPeriodNs_);
  return 0;
}

// A device that holds data low after an interrupted transfer is clocked until it lets go, then
// the bus gets a STOP; a line that stays low keeps the bus busy.
bool SimBitBangAdapter::RecoverBus() {
  if (GetSda() && GetScl()) return true;
  for (int pulse = 0; pulse < kRecoveryPulses && !GetSda(); ++pulse) {
    SclLow();
    if (SclHigh() < 0) return false;
  }
  SclLow();
  SdaLow();
  if (SclHigh() < 0) return false;
  SdaHigh();
  return GetSda();
}

void SimBitBangAdapter::Start() {
  SetSda(false);  // data falls while the clock is high
  Delay(halfPeriodNs_);
  SclLow();
}

int SimBitBangAdapter::RepeatedStart() {
  SdaHigh();
  if (SclHigh() < 0) return -ETIMEDOUT;
  SetSda(false);
  Delay(halfPeriodNs_);
  SclLow();
  return 0;
}

void SimBitBangAdapter::Stop() {
  SdaLow();
  SclHigh();
  SetSda(true);  // data rises while the clock is high
  Delay(halfPeriodNs_);
}

// 1 acknowledged, 0 not, or -ETIMEDOUT.
int SimBitBangAdapter::OutByte(uint8_t byte) {
  for (int i = 7; i >= 0; --i) {
    SetSda(((byte >> i) & 1) != 0);
    Delay((halfPeriodNs_ + 1) / 2);
    if (SclHigh() < 0) return -ETIMEDOUT;
    SclLow();
  }
  SdaHigh();
  if (SclHigh() < 0) return -ETIMEDOUT;
  const bool ack = !GetSda();
  SclLow();
  return ack ? 1 : 0;
}

int SimBitBangAdapter::InByte() {
  unsigned value = 0;
  SdaHigh();
  for (int i = 0; i < 8; ++i) {
    if (SclHigh() < 0) return -ETIMEDOUT;
    value = value << 1 | (GetSda() ? 1 : 0);
    SetScl(false);
    Delay(i == 7 ? halfPeriodNs_ / 2 : halfPeriodNs_);
  }
  return static_cast<int>(value);
}

int SimBitBangAdapter::Acknowledge(bool ack) {
  if (ack) SetSda(false);
  Delay((halfPeriodNs_ + 1) / 2);
  if (SclHigh() < 0) return -ETIMEDOUT;
  SclLow();
  return 0;
}

int SimBitBangAdapter::TryAddress(uint8_t address) {
  int result = 0;
  for (int attempt = 0; attempt <= kAddressRetries; ++attempt) {
    result = OutByte(address);
    if (result == 1 || attempt == kAddressRetries) break;
    Stop();
    Delay(halfPeriodNs_);
    Start();
  }
  return result;
}

int SimBitBangAdapter::SendBytes(const i2c_msg& message) {
  for (__u16 i = 0; i < message.len; ++i) {
    const int result = OutByte(message.buf[i]);
    if (result == 0) return -EIO;
    if (result < 0) return result;
  }
  return 0;
}

int SimBitBangAdapter::ReadBytes(i2c_msg& message) {
  for (__u16 i = 0; i < message.len; ++i) {
    const int value = InByte();
    if (value < 0) return value;
    message.buf[i] = static_cast<__u8>(value);
    // The last byte of a message is not acknowledged.
    if (Acknowledge(i + 1 < message.len) < 0) return -ETIMEDOUT;
  }
  return 0;
}

int SimBitBangAdapter::Transfer(i2c_msg* messages, int count) {
  if (!RecoverBus()) return -EBUSY;
  Start();
  int result = count;
  for (int i = 0; i < count; ++i) {
    i2c_msg& message = messages[i];
    if (i > 0 && RepeatedStart() < 0) {
      result = -ETIMEDOUT;
      break;
    }
    const uint8_t address = static_cast<uint8_t>(message.addr << 1 | ((message.flags & I2C_M_RD) ? 1 : 0));
    const int addressed = TryAddress(address);
    if (addressed != 1) {
      result = addressed < 0 ? addressed : -ENXIO;
      break;
    }
    const int moved = (message.flags & I2C_M_RD) ? ReadBytes(message) : SendBytes(message);
    if (moved < 0) {
      result = moved;
      break;
    }
  }
  Stop();
  return result;
}

// ---- Device nodes --------------------------------------------------------------------------

int SimAdapterLimits::Check(const i2c_msg* messages, uint32_t count) const {
  for (uint32_t i = 0; i < count; ++i) {
    const i2c_msg& m = messages[i];
    const bool read = (m.flags & I2C_M_RD) != 0;
    if (noZeroLength && m.len == 0) return -EOPNOTSUPP;
    if (read ? maxRead && m.len > maxRead : maxWrite && m.len > maxWrite) return -EINVAL;
  }
  if (noRepeatedStart && count > 1) return -EOPNOTSUPP;
  if (writeThenReadOnly && count > 1) {
    const bool pair = count == 2 && !(messages[0].flags & I2C_M_RD) && (messages[1].flags & I2C_M_RD) &&
                      messages[0].addr == messages[1].addr;
    if (!pair) return -EOPNOTSUPP;
  }
  return 0;
}

void SimKernel::AddBus(int number, std::unique_ptr<SimBitBangAdapter> adapter, std::set<uint8_t> owned,
                       SimAdapterLimits limits) {
  buses_[number] = Bus{std::move(adapter), std::move(owned), limits};
}

SimBitBangAdapter* SimKernel::Adapter(int number) {
  const auto bus = buses_.find(number);
  return bus == buses_.end() ? nullptr : bus->second.adapter.get();
}

void SimKernel::AddParallelPort(int number, uint16_t base, PortIo& machine) { ports_[number] = {base, &machine}; }

int SimKernel::Open(const std::string& path, int flags) {
  (void)flags;
  if (denied_.count(path)) return -EACCES;
  OpenFile file;
  if (const int bus = NumberAfter(path, "/dev/i2c-"); bus >= 0 && buses_.count(bus)) {
    file.bus = &buses_[bus];
  } else if (const int port = NumberAfter(path, "/dev/parport"); port >= 0 && ports_.count(port)) {
    file.port = &ports_[port];
  } else {
    return -ENOENT;
  }
  const int fd = nextFd_++;
  open_[fd] = file;
  return fd;
}

int SimKernel::Close(int fd) { return open_.erase(fd) ? 0 : -EBADF; }

int SimKernel::Ioctl(int fd, unsigned long request, uintptr_t argument) {
  const auto file = open_.find(fd);
  if (file == open_.end()) return -EBADF;
  if (file->second.bus) return BusIoctl(*file->second.bus, request, argument);
  return PortIoctl(file->second, request, argument);
}

int SimKernel::BusIoctl(Bus& bus, unsigned long request, uintptr_t argument) {
  switch (request) {
    case I2C_FUNCS:
      *reinterpret_cast<unsigned long*>(argument) = bus.adapter ? kBitBangFunctions : kSmbusFunctions;
      return 0;
    case I2C_SLAVE:
      if (argument > 0x7F) return -EINVAL;
      return bus.owned.count(static_cast<uint8_t>(argument)) ? -EBUSY : 0;
    case I2C_RDWR: {
      auto* data = reinterpret_cast<i2c_rdwr_ioctl_data*>(argument);
      if (data->nmsgs > kMaxMessages) return -EINVAL;
      for (__u32 i = 0; i < data->nmsgs; ++i) {
        if (data->msgs[i].len > kMaxMessageLength) return -EINVAL;
      }
      if (!bus.adapter) return -EOPNOTSUPP;
      if (const int refused = bus.limits.Check(data->msgs, data->nmsgs)) {
        ++rdwrRefused_;
        return refused;
      }
      ++rdwrCalls_;
      rdwrMessages_ += data->nmsgs;
      for (__u32 i = 0; i < data->nmsgs; ++i) rdwrBytes_ += 1u + data->msgs[i].len;
      return bus.adapter->Transfer(data->msgs, static_cast<int>(data->nmsgs));
    }
    default: return -ENOTTY;
  }
}

int SimKernel::PortIoctl(OpenFile& file, unsigned long request, uintptr_t argument) {
  if (request == PPCLAIM) {
    file.claimed = true;
    file.port->control = file.port->machine->PortIn8(static_cast<uint16_t>(file.port->base + 2));
    return 0;
  }
  if (request == PPRELEASE) {
    file.claimed = false;
    return 0;
  }
  if (!file.claimed) return -EINVAL;  // ppdev refuses register access before PPCLAIM
  PortIo& machine = *file.port->machine;
  const uint16_t base = file.port->base;
  auto* byte = reinterpret_cast<unsigned char*>(argument);
  switch (request) {
    case PPRDATA: *byte = machine.PortIn8(base); return 0;
    case PPRSTATUS: *byte = machine.PortIn8(static_cast<uint16_t>(base + 1)); return 0;
    case PPRCONTROL: *byte = file.port->control & kControlLines; return 0;
    case PPWDATA: machine.PortOut8(base, *byte); return 0;
    case PPWCONTROL:
      file.port->control = static_cast<uint8_t>((file.port->control & ~kControlLines) | (*byte & kControlLines));
      machine.PortOut8(static_cast<uint16_t>(base + 2), file.port->control);
      return 0;
    default: return -ENOTTY;
  }
}

}  // namespace tolvex::sim
