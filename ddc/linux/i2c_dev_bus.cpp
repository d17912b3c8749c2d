#include "ddc/linux/i2c_dev_bus.h"

#include <fcntl.h>
#include <linux/i2c-dev.h>
#include <linux/i2c.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <algorithm>
#include <vector>

#include "ddc/format_text.h"
#include "ddc/i2c_operations.h"
#include "ddc/linux/bus_safety.h"
#include "ddc/linux/linux_texts.h"

namespace tolvex {

namespace {

// What each error of I2C_RDWR means on the wire, after the drivers that report it.
struct KernelError {
  int error;
  uint8_t status;
  I2cPhase phase;
};
constexpr KernelError kKernelErrors[] = {
    {ENXIO, kLineNoAck, I2cPhase::kAddress},          // address not acknowledged (bit-banging, i915, i801)
    {EREMOTEIO, kLineNoAck, I2cPhase::kAddress},      // not acknowledged (DesignWare, DisplayPort AUX)
    {EIO, kLineNoAck, I2cPhase::kData},               // a data byte not acknowledged (bit-banging)
    {ETIMEDOUT, kLineClockTimeout, I2cPhase::kData},  // the clock held low too long, or the controller timed out
    {EBUSY, kLineSdaLow, I2cPhase::kStart},           // the bus stayed busy after recovery: data held low
    {EAGAIN, kLineSdaLow, I2cPhase::kStart},          // arbitration lost on every try
};

std::string OpenError(int error, const std::string& device) {
  switch (error) {
    case EACCES:
    case EPERM: return FormatText(texts::kNoPermission, device.c_str());
    case ENOENT: return FormatText(texts::kNoDeviceNode, device.c_str());
    default: return FormatText(texts::kDeviceError, device.c_str(), std::strerror(error));
  }
}

// i2c-tools' order: the node in the /dev/i2c folder some systems use, then /dev/i2c-N.
int OpenDeviceNode(KernelDevices& kernel, const I2cAdapter& adapter, std::string& device) {
  device = adapter.device;
  const int fd = kernel.Open("/dev/i2c/" + std::to_string(adapter.number), O_RDWR);
  return fd == -ENOENT ? kernel.Open(adapter.device, O_RDWR) : fd;
}

}  // namespace

std::unique_ptr<CI2cDevBus> CI2cDevBus::Open(KernelDevices& kernel, Clock& clock, const I2cAdapter& adapter,
                                             const std::string& label, BusChoice choice, std::string& error) {
  if (const std::optional<Refusal> refusal = AdapterRefusal(adapter, choice.named, choice.force)) {
    error = RefusalMessage(label, *refusal);
    return nullptr;
  }
  std::string device;
  const int fd = OpenDeviceNode(kernel, adapter, device);
  if (fd < 0) {
    error = OpenError(-fd, device);
    return nullptr;
  }
  std::unique_ptr<CI2cDevBus> bus(
      new CI2cDevBus(kernel, clock, fd, device, {label, choice.force}, SharedBusWriteRefusal(adapter)));

  // Sysfs may not show every client; the kernel's answer is the last word on who owns what.
  for (uint8_t address : kTransferAddresses) {
    if (kernel.Ioctl(fd, I2C_SLAVE, address) == -EBUSY) {
      error = RefusalMessage(label, *DriverOwnsRefusal(address, adapter.OwnerOf(address)));
      return nullptr;
    }
  }
  unsigned long functions = 0;
  if (kernel.Ioctl(fd, I2C_FUNCS, reinterpret_cast<uintptr_t>(&functions)) < 0 || !(functions & I2C_FUNC_I2C)) {
    error = RefusalMessage(label, {texts::kReasonNoPlainI2c, false});
    return nullptr;
  }
  return bus;
}

CI2cDevBus::CI2cDevBus(KernelDevices& kernel, Clock& clock, int fd, std::string device, WriteGuard guard,
                       std::optional<Refusal> writeRefusal)
    : kernel_(kernel),
      clock_(clock),
      fd_(fd),
      device_(std::move(device)),
      guard_(std::move(guard)),
      writeRefusal_(std::move(writeRefusal)) {}

CI2cDevBus::~CI2cDevBus() { kernel_.Close(fd_); }

I2cResult CI2cDevBus::Call(std::span<const I2cMessage> messages) {
  std::array<i2c_msg, kMaxMessages> kernelMessages{};
  if (messages.size() > kMaxMessages) {
    detail_ = FormatText(texts::kDeviceError, device_.c_str(), std::strerror(EINVAL));
    return {kLineClockTimeout, I2cPhase::kStart};
  }
  for (size_t i = 0; i < messages.size(); ++i) {
    const I2cMessage& m = messages[i];
    kernelMessages[i] = {static_cast<__u16>(m.address >> 1), static_cast<__u16>(m.IsRead() ? I2C_M_RD : 0), m.length, m.data};
  }
  i2c_rdwr_ioctl_data data{kernelMessages.data(), static_cast<__u32>(messages.size())};
  ++calls_;
  const int result = kernel_.Ioctl(fd_, I2C_RDWR, reinterpret_cast<uintptr_t>(&data));
  lastError_ = result < 0 ? -result : 0;
  detail_.clear();
  if (result >= 0) return {};
  for (const KernelError& known : kKernelErrors) {
    if (known.error == lastError_) return {known.status, known.phase, known.phase == I2cPhase::kAddress ? 0 : -1};
  }
  // Nothing on the wire explains it (an unplugged adapter, a refused message): say what the kernel said.
  detail_ = FormatText(texts::kDeviceError, device_.c_str(), std::strerror(lastError_));
  return {kLineClockTimeout, I2cPhase::kData};
}

// What the adapter refuses answers EOPNOTSUPP (a combination the chip cannot make, a zero-length
// message) or EINVAL (a message over its cap) before anything reaches the wire.
bool CI2cDevBus::Refused() const { return lastError_ == EOPNOTSUPP || lastError_ == EINVAL; }

void CI2cDevBus::Note(const char* format, int number, int error) {
  const std::string note = FormatText(format, device_.c_str(), number, std::strerror(error));
  if (std::find(notes_.begin(), notes_.end(), note) == notes_.end()) notes_.push_back(note);
}

// An adapter that refuses a combined transaction gets its messages one at a time, each with its
// own START and STOP, and reads longer than it takes in pieces: an EEPROM continues reading from
// where the last piece ended. A transaction through the segment pointer is never split, since the
// STOP after the pointer sets the segment back to 0.
I2cResult CI2cDevBus::Transfer(std::span<const I2cMessage> messages) {
  if (messages.front().address == kSegmentPointer) return Call(messages);
  if (!separate_ && readCap_ == 0) {
    const I2cResult result = Call(messages);
    if (!Refused()) return result;
    if (messages.size() > 1) {
      separate_ = true;
      Note(texts::kFallbackSeparate, static_cast<int>(messages.size()), lastError_);
    } else if (!messages.front().IsRead()) {
      return result;
    }
  }
  for (size_t i = 0; i < messages.size(); ++i) {
    I2cResult result = messages[i].IsRead() ? ReadInPieces(messages[i]) : Call(messages.subspan(i, 1));
    if (result.Ok()) continue;
    if (i > 0 && result.phase == I2cPhase::kAddress) result = {result.status, I2cPhase::kRestartAddress, -1};
    return result;
  }
  return {};
}

I2cResult CI2cDevBus::ReadInPieces(const I2cMessage& message) {
  int refusedError = 0;
  for (uint16_t done = 0; done < message.length || message.length == 0;) {
    const uint16_t want = static_cast<uint16_t>(message.length - done);
    const I2cMessage piece{message.address, message.data + done, readCap_ ? std::min(want, readCap_) : want};
    const I2cResult result = Call({&piece, 1});
    if (Refused() && piece.length > 1) {
      readCap_ = static_cast<uint16_t>(piece.length / 2);
      refusedError = lastError_;
      continue;
    }
    if (refusedError && result.Ok()) {
      Note(texts::kFallbackPieces, readCap_, refusedError);  // once the size that goes is known
      refusedError = 0;
    }
    if (!result.Ok() || message.length == 0) return result;
    done = static_cast<uint16_t>(done + piece.length);
  }
  return {};
}

bool CI2cDevBus::ShouldRetry(const I2cResult& result, I2cRetry retry) const {
  switch (retry) {
    case I2cRetry::kNone: return false;
    case I2cRetry::kAddress: return result.phase == I2cPhase::kAddress;
    case I2cRetry::kFrame: return result.status == kLineNoAck;
  }
  return false;
}

I2cResult CI2cDevBus::TransferWithRetries(std::span<const I2cMessage> messages, I2cRetry retry) {
  I2cResult result = Transfer(messages);
  if (retry == I2cRetry::kFrame) {
    for (int attempt = 1; attempt < kFrameAttempts && ShouldRetry(result, retry); ++attempt) {
      clock_.SleepMs(1);
      result = Transfer(messages);
    }
    return result;
  }
  // As at24: the time is taken before each try, and a try that began within the budget counts.
  const uint64_t first = clock_.NowMs();
  uint64_t stamp = first;
  while (ShouldRetry(result, retry) && stamp - first < kAddressRetryMs) {
    clock_.SleepMs(1);
    stamp = clock_.NowMs();
    result = Transfer(messages);
  }
  return result;
}

I2cResult CI2cDevBus::Run(const I2cTransaction& transaction) {
  if (transaction.messages.empty()) return {};
  if (slowTiming_) clock_.SleepMs(kSlowTimingPauseMs);
  const I2cMessage& first = transaction.messages.front();
  if (transaction.replyPauseMs != 0 && first.IsRead()) {
    uint8_t dropped = 0;
    const I2cMessage addressing{first.address, &dropped, 1};
    const I2cResult addressed = TransferWithRetries({&addressing, 1}, transaction.retry);
    if (!addressed.Ok()) return addressed;
    clock_.SleepMs(transaction.replyPauseMs);
  }
  return TransferWithRetries(transaction.messages, transaction.retry);
}

I2cResult CI2cDevBus::Probe(uint8_t address) {
  uint8_t byte = 0;
  I2cMessage message{address, &byte, static_cast<uint16_t>(address & 1)};
  I2cResult result = Transfer({&message, 1});
  if (lastError_ == EOPNOTSUPP && !(address & 1)) {
    // An adapter that sends no zero-length message: a one-byte read asks the same question.
    Note(texts::kFallbackProbe, address, lastError_);
    message = {static_cast<uint8_t>(address | 1), &byte, 1};
    result = Transfer({&message, 1});
  }
  return result;
}

I2cResult CI2cDevBus::AwaitWriteCycle(uint8_t address) {
  const uint64_t first = clock_.NowMs();
  uint64_t stamp = first;
  I2cResult result = Probe(address);
  while (result.phase == I2cPhase::kAddress && stamp - first < kAddressRetryMs) {
    clock_.SleepMs(1);
    stamp = clock_.NowMs();
    result = Probe(address);
  }
  return result;
}

// One-byte reads only: a quick write is a command to some SPD EEPROMs and sensors.
std::string CI2cDevBus::RefuseWrites() {
  if (!writeRefusal_ && !spdProbed_) {
    spdProbed_ = true;
    std::vector<uint8_t> answering;
    for (uint8_t address = kSpdFirst; address <= kSpdLast; ++address) {
      if (address == kSpdProbeSkipped) continue;
      uint8_t byte = 0;
      const I2cMessage read{static_cast<uint8_t>(address << 1 | 1), &byte, 1};
      if (Transfer({&read, 1}).Ok()) answering.push_back(address);
    }
    writeRefusal_ = SpdProbeRefusal(answering);
  }
  return writeRefusal_ ? RefusalMessage(guard_.busLabel, *writeRefusal_) : std::string();
}

std::string BusLabel(const I2cAdapter& adapter, const LinuxDiscovery& discovery) {
  const DrmConnector* connector = discovery.ConnectorOf(adapter.number);
  return adapter.device + " (" + (connector ? connector->name : adapter.name) + ")";
}

}  // namespace tolvex
