#include "ddc/usb/ch341a_bus.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "ddc/format_text.h"
#include "ddc/usb/usb_texts.h"

namespace tolvex {

using namespace ch341a;

namespace {

std::string UsbErrorText(int error, const std::string& label) {
  switch (-error) {
    case EACCES:
    case EPERM: return FormatText(texts::kUsbNoPermission, label.c_str());
    case EBUSY: return FormatText(texts::kUsbBusy, label.c_str());
    case ENODEV: return FormatText(texts::kUsbGone, label.c_str());
    default: return FormatText(texts::kUsbError, label.c_str(), std::strerror(-error));
  }
}

}  // namespace

std::string Ch341aLabel(const UsbDeviceId& id) {
  return FormatText(texts::kCh341aLabel, unsigned{id.bus}, unsigned{id.device});
}

std::unique_ptr<CCh341aBus> CCh341aBus::Open(UsbHost& host, Clock& clock, const UsbDeviceId& id, bool force,
                                             std::string& error) {
  const std::string label = Ch341aLabel(id);
  std::unique_ptr<UsbBulkPipe> pipe;
  if (const int opened = host.Open(id, kEndpoints, pipe); opened < 0) {
    error = UsbErrorText(opened, label);
    return nullptr;
  }
  auto bus = std::make_unique<CCh341aBus>(std::move(pipe), clock, label, force);
  if (!bus->SetSpeed(kDefaultSpeed)) {
    error = bus->FailureDetail();
    return nullptr;
  }
  return bus;
}

CCh341aBus::CCh341aBus(std::unique_ptr<UsbBulkPipe> pipe, Clock& clock, std::string label, bool force)
    : pipe_(std::move(pipe)), clock_(clock), guard_{std::move(label), force} {
  slots_.reserve(kPacketSize);
}

bool CCh341aBus::SetSpeed(uint8_t speed) {
  result_ = {};
  usbFailed_ = false;
  BeginPacket();
  Command(static_cast<uint8_t>(kSpeed | (speed & 3)));
  Flush();
  return !usbFailed_;
}

// ---- Packets -------------------------------------------------------------------------------

void CCh341aBus::BeginPacket() {
  packet_[0] = kStream;
  used_ = 1;
  slots_.clear();
}

bool CCh341aBus::Room(size_t bytes, size_t replies) {
  if (!result_.Ok()) return false;
  // The packet keeps a byte for its end mark unless the commands fill it.
  if (used_ + bytes > kPacketSize || slots_.size() + replies > static_cast<size_t>(kMaxIn)) Flush();
  return result_.Ok();
}

void CCh341aBus::Command(uint8_t code) {
  if (!Room(1, 0)) return;
  packet_[used_++] = code;
  lastCommand_ = code;
}

void CCh341aBus::WriteByte(uint8_t byte, ReplySlot slot) {
  if (!Room(2, 1)) return;
  packet_[used_++] = kOut | 1;
  packet_[used_++] = byte;
  lastCommand_ = kOut;
  slots_.push_back(slot);
}

// Every byte acknowledged but the last, in INs as large as the packet's reply has room for.
void CCh341aBus::ReadBytes(uint8_t* data, uint16_t length) {
  for (uint16_t done = 0; done < length;) {
    const bool last = done + 1 == length;
    if (!Room(1, 1)) return;
    const size_t room = kMaxIn - slots_.size();
    const auto count = last ? 1 : static_cast<uint16_t>(std::min<size_t>(room, length - 1 - done));
    packet_[used_++] = last ? kIn : static_cast<uint8_t>(kIn | count);
    lastCommand_ = kIn;
    for (uint16_t i = 0; i < count; ++i) slots_.push_back({ReplySlot::kData, data + done + i});
    done = static_cast<uint16_t>(done + count);
  }
}

void CCh341aBus::FailOnUsb(int error) {
  usbFailed_ = true;
  detail_ = UsbErrorText(error, guard_.busLabel);
  result_ = {kLineClockTimeout, I2cPhase::kData};
}

void CCh341aBus::Flush() {
  if (used_ <= 1 || usbFailed_) {
    BeginPacket();
    return;
  }
  if (used_ < kPacketSize) packet_[used_++] = kEnd;
  ++roundTrips_;
  const int sent = pipe_->BulkOut({packet_.data(), used_}, kUsbTimeoutMs);
  if (sent > 0) bytesOut_ += static_cast<uint64_t>(sent);
  if (sent != static_cast<int>(used_)) {
    FailOnUsb(sent < 0 ? sent : -EIO);
    BeginPacket();
    return;
  }
  std::array<uint8_t, kMaxIn> reply{};
  if (!slots_.empty()) {
    const int got = pipe_->BulkIn({reply.data(), slots_.size()}, kUsbTimeoutMs);
    if (got > 0) bytesIn_ += static_cast<uint64_t>(got);
    if (got < 0) {
      FailOnUsb(got);
    } else if (got < static_cast<int>(slots_.size())) {
      // The chip gave up inside the packet: a clock held low past its patience.
      detail_ = FormatText(texts::kUsbShortReply, guard_.busLabel.c_str(), got, static_cast<int>(slots_.size()));
      result_ = {kLineClockTimeout, I2cPhase::kData};
    } else {
      TakeReply({reply.data(), slots_.size()});
    }
  }
  BeginPacket();
}

// Read bytes go where they belong until the first refusal, which ends the transaction.
void CCh341aBus::TakeReply(std::span<const uint8_t> reply) {
  for (size_t i = 0; i < reply.size(); ++i) {
    const ReplySlot& slot = slots_[i];
    const bool refused = (reply[i] & kRefused) != 0;
    switch (slot.kind) {
      case ReplySlot::kData: *slot.data = reply[i]; break;
      case ReplySlot::kIdleCheck:
        if (!refused) {
          result_ = {kLineSdaLow, I2cPhase::kStart};
          return;
        }
        break;
      case ReplySlot::kStatus:
        if (refused) {
          result_ = {kLineNoAck, slot.phase, slot.position};
          return;
        }
        break;
    }
  }
}

// ---- Transactions --------------------------------------------------------------------------

I2cResult CCh341aBus::Attempt(std::span<const I2cMessage> messages, bool stop, uint32_t pauseMs) {
  result_ = {};
  usbFailed_ = false;
  detail_.clear();
  BeginPacket();
  if (!held_) {
    Command(kStart);
    WriteByte(kIdleCheckAddress, {ReplySlot::kIdleCheck});
  }
  int position = 0;
  for (size_t i = 0; i < messages.size(); ++i) {
    const I2cMessage& message = messages[i];
    Command(kStart);
    const I2cPhase addressPhase = i == 0 ? I2cPhase::kAddress : I2cPhase::kRestartAddress;
    WriteByte(message.address, {ReplySlot::kStatus, nullptr, addressPhase, position++});
    if (i == 0 && pauseMs != 0 && message.IsRead()) {
      // The device prepares its reply once it has acknowledged its address; the clock stays low.
      Flush();
      if (!result_.Ok()) break;
      clock_.SleepMs(pauseMs);
    }
    if (message.IsRead()) {
      ReadBytes(message.data, message.length);
    } else {
      for (uint16_t b = 0; b < message.length; ++b) {
        WriteByte(message.data[b], {ReplySlot::kStatus, nullptr, I2cPhase::kData, position++});
      }
    }
  }
  if (stop) Command(kStop);
  Flush();
  held_ = !stop;
  const I2cResult result = result_;
  if (!result.Ok() && !usbFailed_ && lastCommand_ != kStop) Release();
  return result;
}

I2cResult CCh341aBus::WithRetries(std::span<const I2cMessage> messages, I2cRetry retry, bool stop, uint32_t pauseMs) {
  I2cResult result = Attempt(messages, stop, pauseMs);
  if (retry == I2cRetry::kFrame) {
    for (int attempt = 1; attempt < kFrameAttempts && result.status == kLineNoAck; ++attempt) {
      result = Attempt(messages, stop, pauseMs);
    }
    return result;
  }
  // Each try is a USB round trip of its own: the retries pace themselves.
  const uint64_t first = clock_.NowMs();
  while (retry == I2cRetry::kAddress && result.phase == I2cPhase::kAddress && clock_.NowMs() - first < kAddressRetryMs) {
    result = Attempt(messages, stop, pauseMs);
  }
  return result;
}

I2cResult CCh341aBus::Run(const I2cTransaction& transaction) {
  if (transaction.messages.empty()) return {};
  if (slowTiming_) clock_.SleepMs(kSlowTimingPauseMs);
  return WithRetries(transaction.messages, transaction.retry, transaction.closeWithStop, transaction.replyPauseMs);
}

I2cResult CCh341aBus::Probe(uint8_t address) {
  uint8_t byte = 0;
  const I2cMessage message{address, &byte, static_cast<uint16_t>(address & 1)};
  return Attempt({&message, 1}, true, 0);
}

I2cResult CCh341aBus::AwaitWriteCycle(uint8_t address) {
  const uint64_t first = clock_.NowMs();
  I2cResult result = Probe(address);
  while (result.phase == I2cPhase::kAddress && clock_.NowMs() - first < kAddressRetryMs) result = Probe(address);
  return result;
}

void CCh341aBus::Release() {
  const I2cResult failed = result_;
  const std::string detail = detail_;
  result_ = {};
  BeginPacket();
  Command(kStop);
  Flush();
  held_ = false;
  result_ = failed;
  if (detail_.empty()) detail_ = detail;
}

}  // namespace tolvex
