#include "ddc/i2c_operations.h"

#include <algorithm>
#include <array>
#include <vector>

#include "ddc/i2c_bus.h"

namespace tolvex {

namespace {

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

// Writes up to a page and the word address travel in one message from this buffer; only a
// longer write than any command makes allocates.
constexpr size_t kWriteScratch = 1 + 256;

I2cResult RunOne(I2cMessageBus& bus, const I2cMessage& message, I2cRetry retry, bool stop = true,
                 uint32_t pauseMs = 0) {
  const I2cMessage messages[] = {message};
  return bus.Run({messages, retry, stop, pauseMs});
}

// A command frame, the address byte first: its first byte is the address, the rest its data.
I2cResult SendFrame(I2cMessageBus& bus, const uint8_t* frame, int length, bool stop) {
  std::array<uint8_t, 8> data{};
  std::copy(frame + 1, frame + length, data.begin());
  return RunOne(bus, {frame[0], data.data(), static_cast<uint16_t>(length - 1)}, I2cRetry::kFrame, stop);
}

// A refused frame names the byte the device stopped at; a failed START names none.
uint16_t FrameResult(const I2cResult& result, const uint8_t* frame) {
  if (result.phase == I2cPhase::kStart) return static_cast<uint8_t>(result.status | kStatusStartFailed);
  uint8_t status = result.status;
  if (status & kStatusNoAck) status |= kStatusAddressNoAck;
  const uint8_t refused = result.refusedByte >= 0 ? frame[result.refusedByte] : 0x00;
  return static_cast<uint16_t>(refused << 8 | status);
}

// The read address of a command reply: a failed START carries 0x20, a refusal its status alone,
// anything else names the read address.
uint16_t ReplyAddressResult(const I2cResult& result, uint8_t readAddress) {
  uint8_t status = result.status;
  if (result.phase == I2cPhase::kStart) status |= kStatusReadStartFailed;
  if (status & kStatusNoAck) return status;
  return static_cast<uint16_t>(readAddress << 8 | status);
}

}  // namespace

uint8_t TransferStatus(const I2cResult& result) {
  switch (result.phase) {
    case I2cPhase::kStart: return static_cast<uint8_t>(result.status | kStatusStartFailed);
    case I2cPhase::kAddress:
    case I2cPhase::kRestartAddress:
      return static_cast<uint8_t>(result.status & kStatusNoAck ? result.status | kStatusAddressNoAck : result.status);
    default: return result.status;
  }
}

uint8_t EepromTransfer(I2cMessageBus& bus, uint8_t deviceAddress, uint8_t wordAddress, uint16_t count,
                       uint8_t* buffer) {
  const uint8_t writeAddress = deviceAddress & 0xFE;
  if (deviceAddress & 1) {
    uint8_t word = wordAddress;
    const I2cMessage messages[] = {{writeAddress, &word, 1}, {deviceAddress, buffer, count}};
    return TransferStatus(bus.Run({messages, I2cRetry::kAddress}));
  }
  std::array<uint8_t, kWriteScratch> scratch;
  std::vector<uint8_t> large;
  uint8_t* data = scratch.data();
  if (count + size_t{1} > scratch.size()) {
    large.resize(count + size_t{1});
    data = large.data();
  }
  data[0] = wordAddress;
  std::copy_n(buffer, count, data + 1);
  return TransferStatus(RunOne(bus, {writeAddress, data, static_cast<uint16_t>(count + 1)}, I2cRetry::kAddress));
}

uint8_t RawTransfer(I2cMessageBus& bus, uint8_t deviceAddress, uint16_t count, uint8_t* buffer) {
  return TransferStatus(RunOne(bus, {deviceAddress, buffer, count}, I2cRetry::kAddress));
}

uint16_t AocWriteByte(I2cMessageBus& bus, uint8_t index, uint8_t data, int protocol) {
  const AocFrames& f = FramesOf(protocol);
  const uint8_t offset = static_cast<uint8_t>(index + f.offsetBase);
  const uint8_t frame[6] = {f.writeAddress, f.writeCommand, offset, data, 0x00,
                            static_cast<uint8_t>(f.writeCommand + offset + data)};
  const I2cResult result = SendFrame(bus, frame, 6, true);
  if (result.phase == I2cPhase::kStop) {
    bus.Release();
    return static_cast<uint16_t>(kStatusFrameStopFailed | result.status);
  }
  return result.Ok() ? 0 : FrameResult(result, frame);
}

uint16_t AocReadByte(I2cMessageBus& bus, Clock& clock, uint8_t index, uint8_t& data, int protocol) {
  const AocFrames& f = FramesOf(protocol);
  clock.SleepMs(kAocRequestSleepMs);

  // The request is not closed with a STOP: the start of the reply's transaction ends it.
  const uint8_t request[3] = {f.writeAddress, f.readRequestCommand, static_cast<uint8_t>(index + f.offsetBase)};
  const I2cResult sent = SendFrame(bus, request, 3, false);
  if (!sent.Ok()) return FrameResult(sent, request);

  // The controller prepares its reply after acknowledging the read address.
  uint8_t reply[kAocReplyLength] = {};
  const I2cResult read = RunOne(bus, {f.readAddress, reply, kAocReplyLength}, I2cRetry::kAddress, true, kAocReplySleepMs);
  uint8_t status = 0;
  switch (read.phase) {
    case I2cPhase::kDone: break;
    case I2cPhase::kStart:
    case I2cPhase::kAddress: return ReplyAddressResult(read, f.readAddress);
    case I2cPhase::kStop:
      bus.Release();
      status = static_cast<uint8_t>(kStatusFrameStopFailed | read.status);
      break;
    default: return read.status;
  }
  data = reply[0];
  if (reply[kAocReplyLength - 1] != reply[0]) return kStatusReplyMismatch;
  return status;
}

}  // namespace tolvex
