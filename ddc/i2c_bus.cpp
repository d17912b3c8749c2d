#include "ddc/i2c_bus.h"

#include <algorithm>
#include <limits>

#include "ddc/i2c_operations.h"

namespace tolvex {

namespace {

// Parallel port registers relative to the base.
constexpr uint16_t kDataRegister = 0;
constexpr uint16_t kStatusRegister = 1;
constexpr uint16_t kControlRegister = 2;

// Register bits of the Black Box.
constexpr uint8_t kBbSclDrive = 0x08;       // control register, 1 releases SCL
constexpr uint8_t kBbSdaPull = 0x80;        // data register, 1 pulls SDA low
constexpr uint8_t kBbWriteEnable = 0x40;    // data register
constexpr uint8_t kBbSclSense = 0x08;       // status register
constexpr uint8_t kBbSdaSense = 0x80;       // status register
constexpr uint8_t kBbIdleData = 0x0F;
constexpr uint8_t kBbIdleControl = 0x0A;

// Register bits of the Service Kit (all in the data register unless named).
constexpr uint8_t kSkSclDrive = 0x20;       // also read back as the SCL level
constexpr uint8_t kSkSdaDrive = 0x08;
constexpr uint8_t kSkSdaSenseGate = 0x10;   // opens the inverted SDA sense on status bit 7
constexpr uint8_t kSkSdaSense = 0x80;       // status register, inverted
constexpr uint8_t kSkLoopbackOut = 0x02;    // looped back to status bit 3 for the probe
constexpr uint8_t kSkLoopbackIn = 0x08;     // status register
constexpr uint8_t kSkWriteEnableOn = 0x01;
constexpr uint8_t kSkWriteEnableOff = 0x04;
constexpr uint8_t kSkIdleData = 0xEE;
constexpr uint8_t kSkIdleControl = 0x04;

constexpr uint8_t kRefreshToggle = 0x10;   // port 0x61 bit 4 flips on every memory refresh
constexpr int kRefreshTogglesPerDelay = 10;
// A port 0x61 that never toggles (no refresh on this machine, or no port access) must not
// hang the program: one toggle comes about every 15 µs, give up after this many reads.
constexpr int kMaxRefreshReads = 1000;

constexpr int kProbeSteps = 16;

// Calibration: count until the loop has run for at least one second, then take the count of
// 20 µs. Counts are 64-bit, so today's processors cannot overflow them.
constexpr uint64_t kCalibrationStartCount = 1'000'000;
constexpr uint64_t kCalibrationMs = 1000;
// Runs shorter than this are too coarse to project from; they are simply made ten times longer.
constexpr uint64_t kProjectableMs = 100;
// Two seconds even at 10^11 iterations a second, ten times any processor there is: a clock that
// still shows no time passed by then is not running, and counting stops.
constexpr uint64_t kMaxCalibrationCount = 200'000'000'000;
// Without a measurement, the count of 20 µs on a processor that counts 10^10 a second, faster
// than any there is: a delay is then longer than it needs to be, never shorter, and a read on the
// S3 card still takes well under a second.
constexpr uint64_t kUnmeasuredDelayCount = 200'000;
constexpr uint32_t kS3DelayDivisor = 50;

}  // namespace

CI2cBus::CI2cBus(PortIo& io, Clock& clock, ProbeUi& ui) : io_(io), clock_(clock), s3Port_(io, ui) {
  // The delay count paces the S3 channel only; a second of counting buys nothing without it.
  if (io_.HasVgaAccess()) Calibrate();
  Discover();
}

CI2cBus::~CI2cBus() = default;

// ---- Calibration and discovery -------------------------------------------------------------

void CI2cBus::Calibrate() {
  uint64_t count = kCalibrationStartCount;
  uint64_t elapsed = 0;
  while (elapsed < kCalibrationMs) {
    // Once a run is long enough to measure, aim the next one just past the second instead of
    // multiplying by ten, so start-up does not count for up to ten seconds.
    const uint64_t next =
        elapsed < kProjectableMs ? count * 10 : std::max(count * 11 / 10, count * (kCalibrationMs * 11 / 10) / elapsed);
    if (next > kMaxCalibrationCount) break;
    count = next;
    const uint64_t start = clock_.NowMs();
    clock_.CountDown(count);
    elapsed = clock_.NowMs() - start;
  }
  // Iterations in 20 µs, from the rate over the whole run in milliseconds (not whole seconds).
  const uint64_t perUnit = elapsed == 0 ? kUnmeasuredDelayCount : count / (elapsed * 50);
  delayCount_ = static_cast<uint32_t>(std::min<uint64_t>(perUnit, std::numeric_limits<uint32_t>::max()));
}

void CI2cBus::Discover() {
  int found = kChannelNone;
  // Without port access every probe would read 0xFF; the S3 probe would even show that as the
  // card's identification. There is nothing to find.
  if (!io_.IsReachable()) {
    SelectChannel(found);
    return;
  }
  for (int channel : {kChannelBlackBox, kChannelServiceKit, kChannelS3}) {
    // Without the VGA registers the S3 probe would read 0xFF and show that as the card's identification.
    if (channel == kChannelS3 && !io_.HasVgaAccess()) continue;
    if (ProbeChannel(channel)) {
      found = channel;
      break;
    }
  }
  SelectChannel(found);
  // On the S3 card one delay becomes about 0.4 µs.
  if (channel_ == kChannelS3 && delayCount_ > kS3DelayDivisor) delayCount_ /= kS3DelayDivisor;
}

bool CI2cBus::ProbeChannel(int channel) {
  if (channel == kChannelS3) return s3Port_.Probe();
  if (channel != kChannelBlackBox && channel != kChannelServiceKit) return false;
  for (uint16_t base : io_.ParallelBases()) {
    portBase_ = base;
    if (ProbeParallelBase(channel)) return true;
  }
  return false;
}

bool CI2cBus::ProbeParallelBase(int channel) {
  SelectChannel(channel);
  if (channel == kChannelBlackBox) {
    // Data bit 7 pulls SDA low, status bit 7 senses it: the status must read its inverse.
    for (int i = 0; i < kProbeSteps; ++i) {
      Delay();
      SetDataBit(kBbSdaPull, i % 2 == 0);
      Delay();
      const int sensed = (io_.PortIn8(portBase_ + kStatusRegister) & kBbSdaSense) ? 1 : 0;
      if (sensed != i % 2) return false;
    }
    return true;
  }
  // The Service Kit loops data bit 1 back to status bit 3.
  SetDataBit(kSkWriteEnableOff, false);
  SetDataBit(kSkWriteEnableOn, true);
  for (int i = 0; i < kProbeSteps; ++i) {
    Delay();
    SetDataBit(kSkLoopbackOut, i % 2 == 1);
    Delay();
    const int sensed = (io_.PortIn8(portBase_ + kStatusRegister) & kSkLoopbackIn) ? 1 : 0;
    if (sensed != i % 2) return false;
  }
  return true;
}

// ---- Hardware layer ------------------------------------------------------------------------

void CI2cBus::SelectChannel(int channel) {
  channel_ = channel;
  if (channel == kChannelBlackBox) {
    io_.PortOut8(portBase_ + kDataRegister, kBbIdleData);
    io_.PortOut8(portBase_ + kControlRegister, kBbIdleControl);
  } else if (channel == kChannelServiceKit) {
    io_.PortOut8(portBase_ + kDataRegister, kSkIdleData);
    io_.PortOut8(portBase_ + kControlRegister, kSkIdleControl);
  }
}

void CI2cBus::SetDataBit(uint8_t mask, bool set) {
  const uint16_t port = portBase_ + kDataRegister;
  const uint8_t value = io_.PortIn8(port);
  io_.PortOut8(port, static_cast<uint8_t>(set ? value | mask : value & ~mask));
}

void CI2cBus::SetControlBit(uint8_t mask, bool set) {
  const uint16_t port = portBase_ + kControlRegister;
  const uint8_t value = io_.PortIn8(port);
  io_.PortOut8(port, static_cast<uint8_t>(set ? value | mask : value & ~mask));
}

void CI2cBus::SetScl(int level) {
  switch (channel_) {
    case kChannelBlackBox: SetControlBit(kBbSclDrive, level != 0); break;
    case kChannelServiceKit: SetDataBit(kSkSclDrive, level != 0); break;
    case kChannelS3: s3Port_.SetScl(level); break;
    default: break;
  }
}

void CI2cBus::SetSda(int level) {
  switch (channel_) {
    case kChannelBlackBox: SetDataBit(kBbSdaPull, level == 0); break;
    case kChannelServiceKit: SetDataBit(kSkSdaDrive, level != 0); break;
    case kChannelS3: s3Port_.SetSda(level); break;
    default: break;
  }
}

int CI2cBus::GetScl() {
  switch (channel_) {
    case kChannelBlackBox: return (io_.PortIn8(portBase_ + kStatusRegister) & kBbSclSense) ? 1 : 0;
    case kChannelServiceKit: return (io_.PortIn8(portBase_ + kDataRegister) & kSkSclDrive) ? 1 : 0;
    case kChannelS3: return s3Port_.GetScl();
    default: return 1;
  }
}

int CI2cBus::GetSda() {
  switch (channel_) {
    case kChannelBlackBox: return (io_.PortIn8(portBase_ + kStatusRegister) & kBbSdaSense) ? 1 : 0;
    case kChannelServiceKit: {
      SetDataBit(kSkSdaSenseGate, true);
      const uint8_t status = io_.PortIn8(portBase_ + kStatusRegister);
      SetDataBit(kSkSdaSenseGate, false);
      return (status & kSkSdaSense) ? 0 : 1;
    }
    case kChannelS3: return s3Port_.GetSda();
    default: return 1;
  }
}

void CI2cBus::SetWriteEnable(bool enable) {
  if (channel_ == kChannelBlackBox) {
    if (enable) {
      SetDataBit(kBbWriteEnable, true);
    } else {
      io_.PortOut8(portBase_ + kDataRegister, kBbIdleData);
    }
  } else if (channel_ == kChannelServiceKit) {
    if (enable) {
      SetDataBit(kSkWriteEnableOff, false);
      SetDataBit(kSkWriteEnableOn, true);
    } else {
      io_.PortOut8(portBase_ + kDataRegister, kSkIdleData);
    }
  }
}

void CI2cBus::Delay() {
  ++delaysSpent_;
  if (channel_ == kChannelS3 && !slowTiming_) {
    clock_.CountDown(delayCount_);
    return;
  }
  for (int i = 0; i < kRefreshTogglesPerDelay; ++i) WaitRefreshToggle();
}

void CI2cBus::WaitRefreshToggle() {
  const uint8_t kept = io_.PortIn8(kRefreshPort) & kRefreshToggle;
  for (int reads = 0; reads < kMaxRefreshReads; ++reads) {
    if ((io_.PortIn8(kRefreshPort) & kRefreshToggle) != kept) return;
  }
}

// ---- Bus protocol --------------------------------------------------------------------------

bool CI2cBus::WaitSclHigh() {
  SetScl(1);
  // The device may hold the clock low (clock stretching) for up to 1500 double delays.
  for (int polls = 0; polls < kClockStretchPolls && GetScl() != 1; ++polls) {
    Delay();
    Delay();
  }
  return GetScl() == 1;
}

uint8_t CI2cBus::Start() {
  SetSda(1);
  Delay();
  if (GetSda() == 0) return kStatusSdaLow;
  Delay();
  if (!WaitSclHigh()) return kStatusClockTimeout;
  Delay();
  SetSda(0);  // data falls while the clock is high
  Delay();
  Delay();
  Delay();
  SetScl(0);
  Delay();
  return 0;
}

uint8_t CI2cBus::Stop() {
  SetScl(0);
  Delay();
  SetSda(0);
  Delay();
  if (!WaitSclHigh()) return kStatusClockTimeout;
  Delay();
  Delay();
  SetSda(1);  // data rises while the clock is high
  Delay();
  Delay();
  return 0;
}

void CI2cBus::FreeBus() {
  // A transfer that ended early leaves the clock low or a device driving data; STOPs end it.
  for (int i = 0; i < kFreeBusStops; ++i) {
    if (GetSda() == 1 && GetScl() == 1) return;
    Stop();
  }
}

uint8_t CI2cBus::WriteBit(int value) {
  SetScl(0);
  Delay();
  SetSda(value != 0 ? 1 : 0);
  Delay();
  if (!WaitSclHigh()) return kStatusClockTimeout;
  Delay();
  Delay();
  SetScl(0);
  Delay();
  return 0;
}

uint8_t CI2cBus::ReadBit(int& bit) {
  SetScl(0);
  Delay();
  SetSda(1);  // release the data line to the device
  Delay();
  WaitSclHigh();
  Delay();
  Delay();
  bit = GetSda();
  SetScl(0);
  Delay();
  return 0;
}

uint8_t CI2cBus::WriteByte(uint8_t byte) {
  uint8_t status = 0;
  // All nine clocks always run, so the device's bit count stays in step even after a failure.
  for (int i = 7; i >= 0; --i) status |= WriteBit((byte >> i) & 1);
  int ack = 1;
  ReadBit(ack);
  if (ack != 0) status |= kStatusNoAck;
  return status;
}

uint8_t CI2cBus::ReadByte(uint8_t& byte, bool acknowledge) {
  unsigned value = 0;
  for (int i = 0; i < 8; ++i) {
    int bit = 1;
    ReadBit(bit);
    value = value << 1 | static_cast<unsigned>(bit);
  }
  byte = static_cast<uint8_t>(value);
  return WriteBit(acknowledge ? 0 : 1);
}

uint8_t CI2cBus::WriteBytes(uint16_t count, const uint8_t* buffer) {
  for (uint16_t i = 0; i < count; ++i) {
    if (const uint8_t status = WriteByte(buffer[i])) return status;
  }
  return 0;
}

uint8_t CI2cBus::ReadBytes(uint16_t count, uint8_t* buffer) {
  for (uint16_t i = 0; i < count; ++i) {
    if (const uint8_t status = ReadByte(buffer[i], i + 1 < count)) return status;
  }
  return 0;
}

// ---- Message level -------------------------------------------------------------------------

I2cResult CI2cBus::Failed(I2cPhase phase, uint8_t status, int refusedByte) {
  FreeBus();
  return {status, phase, refusedByte};
}

I2cResult CI2cBus::Attempt(const I2cMessage& first, bool wholeMessage) {
  FreeBus();
  if (const uint8_t status = Start()) return {status, I2cPhase::kStart};
  if (const uint8_t status = WriteByte(first.address)) return {status, I2cPhase::kAddress, 0};
  if (!wholeMessage) return {};
  for (uint16_t i = 0; i < first.length; ++i) {
    if (const uint8_t status = WriteByte(first.data[i])) return {status, I2cPhase::kData, i + 1};
  }
  return {};
}

I2cResult CI2cBus::AddressPhase(const I2cTransaction& transaction) {
  // No attempt sleeps: an EEPROM busy with its write cycle is simply polled until it answers.
  const I2cMessage& first = transaction.messages.front();
  const bool wholeMessage = transaction.retry == I2cRetry::kFrame && !first.IsRead();
  const int attempts = transaction.retry == I2cRetry::kNone ? 1 : kAddressAttempts;
  I2cResult result;
  for (int attempt = 0; attempt < attempts; ++attempt) {
    result = Attempt(first, wholeMessage);
    if (result.Ok()) return result;
  }
  FreeBus();
  return result;
}

I2cResult CI2cBus::Restart(const I2cMessage& message) {
  if (const uint8_t status = Start()) return Failed(I2cPhase::kRestart, status);  // no STOP before it
  if (const uint8_t status = WriteByte(message.address)) return Failed(I2cPhase::kRestartAddress, status);
  return {};
}

I2cResult CI2cBus::Run(const I2cTransaction& transaction) {
  if (transaction.messages.empty()) return {};
  I2cResult result = AddressPhase(transaction);
  if (!result.Ok()) return result;
  if (transaction.replyPauseMs != 0) clock_.SleepMs(transaction.replyPauseMs);  // the clock stays low

  int written = 1;  // the first address
  for (size_t m = 0; m < transaction.messages.size(); ++m) {
    const I2cMessage& message = transaction.messages[m];
    if (m > 0) {
      result = Restart(message);
      if (!result.Ok()) return result;
      ++written;
    }
    if (message.IsRead()) {
      if (const uint8_t status = ReadBytes(message.length, message.data)) return Failed(I2cPhase::kData, status);
      continue;
    }
    if (m == 0 && transaction.retry == I2cRetry::kFrame) {
      written += message.length;  // sent by the addressing phase
      continue;
    }
    for (uint16_t i = 0; i < message.length; ++i, ++written) {
      if (const uint8_t status = WriteByte(message.data[i])) return Failed(I2cPhase::kData, status, written);
    }
  }
  if (!transaction.closeWithStop) return {};
  if (const uint8_t status = Stop()) return {status, I2cPhase::kStop};
  return {};
}

I2cResult CI2cBus::Probe(uint8_t address) {
  // A device addressed for reading drives the first data bit at once; one byte, not acknowledged,
  // lets it go before the STOP.
  uint8_t byte = 0;
  const I2cMessage message{address, &byte, static_cast<uint16_t>(address & 1)};
  return Run({{&message, 1}, I2cRetry::kNone});
}

// ---- Transfers -----------------------------------------------------------------------------

uint8_t CI2cBus::Transfer(uint8_t deviceAddress, uint8_t wordAddress, uint16_t count, uint8_t* buffer) {
  return EepromTransfer(*this, deviceAddress, wordAddress, count, buffer);
}

uint8_t CI2cBus::RawTransfer(uint8_t deviceAddress, uint16_t count, uint8_t* buffer) {
  return tolvex::RawTransfer(*this, deviceAddress, count, buffer);
}

uint16_t CI2cBus::AocWriteByte(uint8_t index, uint8_t data, int protocol) {
  return tolvex::AocWriteByte(*this, index, data, protocol);
}

uint16_t CI2cBus::AocReadByte(uint8_t index, uint8_t& data, int protocol) {
  return tolvex::AocReadByte(*this, clock_, index, data, protocol);
}

}  // namespace tolvex
