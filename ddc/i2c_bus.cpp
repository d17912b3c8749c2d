#include "ddc/i2c_bus.h"

#include <algorithm>
#include <limits>

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

// The two monitor controller command protocols.
struct AocFrames {
  uint8_t writeAddress;
  uint8_t writeCommand;
  uint8_t offsetBase;  // added to the EDID byte index
  uint8_t readRequestCommand;
  uint8_t readAddress;
};
constexpr AocFrames kAocTx3 = {0xFA, 0x13, 0x80, 0x1B, 0xFB};   // protocol 1
constexpr AocFrames kAocTx12 = {0xA8, 0x07, 0x78, 0x67, 0xA9};  // protocol 2

const AocFrames& FramesOf(int protocol) { return protocol == kProtocolAocTx3 ? kAocTx3 : kAocTx12; }

constexpr uint32_t kAocRequestSleepMs = 30;
constexpr uint32_t kAocReplySleepMs = 50;
constexpr int kAocReplyLength = 5;

}  // namespace

CI2cBus::CI2cBus(PortIo& io, Clock& clock, ProbeUi& ui) : io_(io), clock_(clock), s3Port_(io, ui) {
  Calibrate();
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
  for (uint16_t base : kParallelBases) {
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

uint8_t CI2cBus::AddressPhase(uint8_t address) {
  // No attempt sleeps: an EEPROM busy with its write cycle is simply polled until it answers.
  uint8_t status = 0;
  for (int attempt = 0; attempt < kAddressAttempts; ++attempt) {
    FreeBus();
    status = Start();
    status = status ? status | kStatusStartFailed : WriteByte(address);
    if (status == 0) return 0;
  }
  FreeBus();
  if (status & kStatusNoAck) status |= kStatusAddressNoAck;
  return status;
}

// A repeated START, no STOP before it, and an address; a refused address also carries 0x08.
uint8_t CI2cBus::RepeatedStart(uint8_t address) {
  uint8_t status = Start();
  if (status) return status;
  status = WriteByte(address);
  return status & kStatusNoAck ? status | kStatusAddressNoAck : status;
}

// Once the device has taken its write address: the word address, then the data in the
// direction bit 0 of the device address gives.
uint8_t CI2cBus::TransferFromWordAddress(uint8_t deviceAddress, uint8_t wordAddress, uint16_t count,
                                         uint8_t* buffer) {
  uint8_t status = WriteByte(wordAddress);
  if (status == 0 && (deviceAddress & 1)) status = RepeatedStart(deviceAddress);
  if (status == 0) status = (deviceAddress & 1) ? ReadBytes(count, buffer) : WriteBytes(count, buffer);
  if (status) {
    FreeBus();
    return status;
  }
  return Stop();
}

uint8_t CI2cBus::Transfer(uint8_t deviceAddress, uint8_t wordAddress, uint16_t count, uint8_t* buffer) {
  const uint8_t status = AddressPhase(deviceAddress & 0xFE);
  if (status) return status;
  return TransferFromWordAddress(deviceAddress, wordAddress, count, buffer);
}

uint8_t CI2cBus::SegmentTransfer(uint8_t segment, uint8_t deviceAddress, uint8_t wordAddress, uint16_t count,
                                 uint8_t* buffer) {
  uint8_t status = AddressPhase(kSegmentPointer);
  if (status) return status;
  status = WriteByte(segment);
  if (status == 0) status = RepeatedStart(deviceAddress & 0xFE);
  if (status) {
    FreeBus();
    return status;
  }
  return TransferFromWordAddress(deviceAddress, wordAddress, count, buffer);
}

uint8_t CI2cBus::RawTransfer(uint8_t deviceAddress, uint16_t count, uint8_t* buffer) {
  uint8_t status = AddressPhase(deviceAddress);
  if (status) return status;
  status = (deviceAddress & 1) ? ReadBytes(count, buffer) : WriteBytes(count, buffer);
  if (status) {
    FreeBus();
    return status;
  }
  return Stop();
}

// ---- Monitor controller commands -----------------------------------------------------------

uint16_t CI2cBus::SendFrame(const uint8_t* frame, int length) {
  uint8_t status = 0;
  int failed = 0;
  for (int attempt = 0; attempt < kAddressAttempts; ++attempt) {
    FreeBus();
    status = Start();
    if (status) {
      status |= kStatusStartFailed;
    } else {
      for (failed = 0; failed < length; ++failed) {
        status = WriteByte(frame[failed]);
        if (status) break;
      }
    }
    if (status == 0) return 0;
  }
  FreeBus();
  if (status & kStatusStartFailed) return status;
  if (status & kStatusNoAck) status |= kStatusAddressNoAck;
  return static_cast<uint16_t>(frame[failed] << 8 | status);
}

uint16_t CI2cBus::AocWriteByte(uint8_t index, uint8_t data, int protocol) {
  const AocFrames& f = FramesOf(protocol);
  const uint8_t offset = static_cast<uint8_t>(index + f.offsetBase);
  const uint8_t frame[6] = {f.writeAddress, f.writeCommand, offset, data, 0x00,
                            static_cast<uint8_t>(f.writeCommand + offset + data)};
  if (const uint16_t result = SendFrame(frame, 6)) return result;
  if (const uint8_t status = Stop()) {
    FreeBus();
    return kStatusFrameStopFailed | status;
  }
  return 0;
}

uint16_t CI2cBus::AocReadByte(uint8_t index, uint8_t& data, int protocol) {
  const AocFrames& f = FramesOf(protocol);
  clock_.SleepMs(kAocRequestSleepMs);

  // The request is not closed with a STOP; the FreeBus of the next phase does that.
  const uint8_t request[3] = {f.writeAddress, f.readRequestCommand, static_cast<uint8_t>(index + f.offsetBase)};
  if (const uint16_t result = SendFrame(request, 3)) return result;

  uint8_t status = 0;
  for (int attempt = 0; attempt < kAddressAttempts; ++attempt) {
    FreeBus();
    status = Start();
    status = status ? status | kStatusReadStartFailed : WriteByte(f.readAddress);
    if (status == 0) break;
  }
  if (status) {
    FreeBus();
    if (status & kStatusNoAck) return status;
    return static_cast<uint16_t>(f.readAddress << 8 | status);
  }

  clock_.SleepMs(kAocReplySleepMs);  // the controller prepares its reply; the clock stays low
  uint8_t reply[kAocReplyLength] = {};
  status = ReadBytes(kAocReplyLength, reply);
  if (status) {
    FreeBus();
    return status;
  }
  status = Stop();
  if (status) {
    FreeBus();
    status |= kStatusFrameStopFailed;
  }
  data = reply[0];
  if (reply[kAocReplyLength - 1] != reply[0]) return kStatusReplyMismatch;
  return status;
}

}  // namespace tolvex
