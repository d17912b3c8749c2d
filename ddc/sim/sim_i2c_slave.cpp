#include "ddc/sim/sim_i2c_slave.h"

#include <cstdio>

namespace tolvex::sim {

// ---- Trace ---------------------------------------------------------------------------------

std::string FormatWireEvents(const std::vector<WireEvent>& events) {
  std::string text;
  for (const WireEvent& e : events) {
    if (!text.empty()) text += ' ';
    switch (e.kind) {
      case WireEvent::kStart: text += "S"; break;
      case WireEvent::kRepeatedStart: text += "Sr"; break;
      case WireEvent::kStop: text += "P"; break;
      case WireEvent::kWrite:
      case WireEvent::kRead: {
        char byte[8];
        std::snprintf(byte, sizeof byte, "%c%02X%c", e.kind == WireEvent::kWrite ? '>' : '<', e.value,
                      e.acked ? '+' : '-');
        text += byte;
        break;
      }
    }
  }
  return text;
}

void WireTrace::SetCapacity(size_t capacity) {
  ring_.assign(capacity, WireEvent{});
  Clear();
}

void WireTrace::Clear() {
  first_ = 0;
  size_ = 0;
  dropped_ = 0;
}

std::vector<WireEvent> WireTrace::Events() const {
  std::vector<WireEvent> events;
  events.reserve(size_);
  for (size_t i = 0; i < size_; ++i) events.push_back(ring_[(first_ + i) % ring_.size()]);
  return events;
}

// ---- Line levels ---------------------------------------------------------------------------

void SimI2cSlave::Attach(bool masterScl, bool masterSda) {
  masterScl_ = masterScl;
  masterSda_ = masterSda;
  slaveSda_ = true;
  holdPolls_ = 0;
  phase_ = Phase::kIdle;
  lineScl_ = masterScl_;
  lineSda_ = masterSda_ && !sdaHeldLow_;
}

// Both lines may change in one register write. The falling clock is taken first and the rising
// clock last, so a data change in the same write counts as made while the clock was low: the
// slave never reads a START or STOP into a write that also moves the clock.
void SimI2cSlave::Update() {
  const bool scl = masterScl_ && holdPolls_ == 0;
  if (lineScl_ && !scl) {
    lineScl_ = false;
    OnSclFall();
  }
  const bool sda = masterSda_ && slaveSda_ && !sdaHeldLow_;
  if (sda != lineSda_) {
    lineSda_ = sda;
    if (lineScl_) {
      if (sda) {
        OnStopCondition();
      } else {
        OnStartCondition();
      }
    }
  }
  if (!lineScl_ && scl) {
    lineScl_ = true;
    OnSclRise();
  }
}

void SimI2cSlave::CountClockPulse() {
  const uint32_t pulse = pulse_++;
  if (stretch_.polls == 0 || pulse < stretch_.firstPulse) return;
  if (pulse - stretch_.firstPulse >= stretch_.pulses) return;
  // Held from the moment the master lets go: the line never shows a short high.
  if (holdPolls_ < stretch_.polls) holdPolls_ = stretch_.polls;
}

// ---- Conditions ----------------------------------------------------------------------------

void SimI2cSlave::OnStartCondition() {
  const bool repeated = phase_ != Phase::kIdle;
  trace_.Record({repeated ? WireEvent::kRepeatedStart : WireEvent::kStart});
  target_.OnStart(repeated);
  phase_ = Phase::kAddress;
  clocks_ = 0;
  shift_ = 0;
  DriveSda(true);
}

void SimI2cSlave::OnStopCondition() {
  trace_.Record({WireEvent::kStop});
  target_.OnStop();
  phase_ = Phase::kIdle;
  DriveSda(true);
}

// ---- Bits ----------------------------------------------------------------------------------

void SimI2cSlave::OnSclRise() {
  switch (phase_) {
    case Phase::kAddress:
    case Phase::kWrite:
      if (clocks_ < 8) {
        shift_ = static_cast<uint8_t>(shift_ << 1 | (lineSda_ ? 1 : 0));
        if (++clocks_ == 8) ByteReceived();
      } else if (clocks_ == 8) {
        clocks_ = 9;  // the master samples the acknowledge now
      }
      break;
    case Phase::kRead:
      if (clocks_ < 8) {
        ++clocks_;
      } else if (clocks_ == 8) {
        clocks_ = 9;
        masterAck_ = !lineSda_;
        trace_.Record({WireEvent::kRead, shift_, masterAck_});
      }
      break;
    case Phase::kIdle:
    case Phase::kIgnore:
      break;
  }
}

// The slave changes SDA only here, while SCL is low.
void SimI2cSlave::OnSclFall() {
  switch (phase_) {
    case Phase::kAddress:
    case Phase::kWrite:
      if (clocks_ == 8) {
        if (ackOut_) {
          DriveSda(false);
        } else {
          phase_ = Phase::kIgnore;  // a refused byte ends the slave's part until START or STOP
        }
      } else if (clocks_ == 9) {
        DriveSda(true);
        clocks_ = 0;
        shift_ = 0;
        if (phase_ == Phase::kAddress && readRequested_) {
          phase_ = Phase::kRead;
          LoadNextReadByte();
        } else {
          phase_ = Phase::kWrite;
        }
      }
      break;
    case Phase::kRead:
      if (clocks_ >= 1 && clocks_ < 8) {
        DriveSda((shift_ >> (7 - clocks_)) & 1);
      } else if (clocks_ == 8) {
        DriveSda(true);  // the master's acknowledge slot
      } else if (clocks_ == 9) {
        if (masterAck_) {
          LoadNextReadByte();
        } else {
          phase_ = Phase::kIgnore;  // a not-acknowledged byte ends the read
          DriveSda(true);
        }
      }
      break;
    case Phase::kIdle:
    case Phase::kIgnore:
      break;
  }
}

void SimI2cSlave::ByteReceived() {
  if (phase_ == Phase::kAddress) {
    readRequested_ = (shift_ & 1) != 0;
    if (refusals_ > 0) {
      --refusals_;
      ackOut_ = false;  // the devices never see it: to them the bus stays unaddressed
    } else {
      ackOut_ = target_.OnAddress(shift_);
    }
  } else {
    ackOut_ = target_.OnWriteByte(shift_);
  }
  trace_.Record({WireEvent::kWrite, shift_, ackOut_});
}

// Called on the falling clock that ends the previous acknowledge: the first bit goes out now.
void SimI2cSlave::LoadNextReadByte() {
  uint8_t byte = target_.OnReadByte();
  if (corruptArmed_ && bytesSent_ == corruptIndex_) {
    byte ^= corruptMask_;
    corruptArmed_ = false;
  }
  ++bytesSent_;
  shift_ = byte;
  clocks_ = 0;
  DriveSda((byte & 0x80) != 0);
}

// ---- Faults --------------------------------------------------------------------------------

void SimI2cSlave::HoldSdaLow(bool hold) {
  // The slave's own doing: it is not a START or STOP it should react to.
  sdaHeldLow_ = hold;
  phase_ = Phase::kIdle;
  slaveSda_ = true;
  lineSda_ = masterSda_ && !sdaHeldLow_;
}

void SimI2cSlave::StretchClock(const ClockStretch& stretch) {
  stretch_ = stretch;
  pulse_ = 0;
}

void SimI2cSlave::StopStretching() {
  stretch_ = {0, 0, 0};
  if (holdPolls_ != 0) {
    holdPolls_ = 0;
    Update();
  }
}

void SimI2cSlave::CorruptReadByte(uint32_t index, uint8_t mask) {
  corruptArmed_ = true;
  corruptIndex_ = index;
  corruptMask_ = mask;
  bytesSent_ = 0;
}

void SimI2cSlave::ClearFaults() {
  if (sdaHeldLow_) HoldSdaLow(false);
  StopStretching();
  refusals_ = 0;
  corruptArmed_ = false;
}

}  // namespace tolvex::sim
