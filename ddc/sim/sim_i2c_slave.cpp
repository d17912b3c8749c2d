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
  pendingRead_ = false;
  phase_ = Phase::kIdle;
  lineScl_ = masterScl_;
  lineSda_ = masterSda_ && !sdaHeldLow_;
  NotifyLines();
}

void SimI2cSlave::SetLineObserver(LineObserver* observer) {
  observer_ = observer;
  NotifyLines();
}

void SimI2cSlave::NotifyLines() {
  if (observer_) observer_->OnLines(time_.ns, lineScl_, lineSda_);
}

// Both lines may change in one register write. The falling clock is taken first and the rising
// clock last, so a data change in the same write counts as made while the clock was low: the
// slave never reads a START or STOP into a write that also moves the clock.
void SimI2cSlave::Update() {
  const bool sclBefore = lineScl_;
  const bool sdaBefore = lineSda_;
  const bool scl = masterScl_ && holdPolls_ == 0;
  if (lineScl_ && !scl) {
    lineScl_ = false;
    OnSclFallTiming();
    OnSclFall();
  }
  const bool sda = masterSda_ && slaveSda_ && !sdaHeldLow_;
  if (sda != lineSda_) {
    lineSda_ = sda;
    if (!lineScl_) {
      sdaChangeNs_ = Now();
    } else if (!OnConditionTiming(!sda)) {
      LoseTransaction();
    } else if (sda) {
      OnStopCondition();
    } else {
      OnStartCondition();
    }
  }
  if (!lineScl_ && scl) {
    lineScl_ = true;
    if (OnSclRiseTiming()) {
      OnSclRise();
    } else {
      LoseTransaction();
    }
  }
  if (lineScl_ != sclBefore || lineSda_ != sdaBefore) NotifyLines();
}

// ---- Timing --------------------------------------------------------------------------------

bool SimI2cSlave::MeetsMinimum(int64_t since, uint64_t minimum, const char* what) {
  const int64_t elapsed = Now() - since;
  if (elapsed >= static_cast<int64_t>(minimum)) return true;
  if (violations_++ == 0) {
    firstViolation_ = std::string(what) + " " + std::to_string(elapsed) + " ns < " + std::to_string(minimum) + " ns";
  }
  return false;
}

void SimI2cSlave::ClearTimingViolations() {
  violations_ = 0;
  firstViolation_.clear();
}

// The slave no longer knows where it is in the byte: it lets go of SDA at the next falling clock
// (never while the clock is high, which would make a STOP) and waits for a START.
void SimI2cSlave::LoseTransaction() {
  phase_ = Phase::kIgnore;
  pendingRead_ = false;
}

void SimI2cSlave::OnSclFallTiming() {
  const int64_t riseNs = sclRiseNs_;
  sclFallNs_ = Now();
  if (phase_ == Phase::kIdle) return;
  bool met = MeetsMinimum(riseNs, minima_.sclHigh, "SCL high");
  if (startNs_ >= riseNs) met = MeetsMinimum(startNs_, minima_.startHold, "START hold") && met;
  if (!met) LoseTransaction();
}

bool SimI2cSlave::OnSclRiseTiming() {
  const int64_t fallNs = sclFallNs_;
  sclRiseNs_ = Now();
  if (phase_ == Phase::kIdle) return true;
  bool met = MeetsMinimum(fallNs, minima_.sclLow, "SCL low");
  if (sdaChangeNs_ >= fallNs) met = MeetsMinimum(sdaChangeNs_, minima_.dataSetup, "data setup") && met;
  return met;
}

bool SimI2cSlave::OnConditionTiming(bool start) {
  if (!start) {
    const bool met = MeetsMinimum(sclRiseNs_, minima_.stopSetup, "STOP setup");
    stopNs_ = Now();
    return met;
  }
  bool met = MeetsMinimum(sclRiseNs_, minima_.startSetup, "START setup");
  if (phase_ == Phase::kIdle) met = MeetsMinimum(stopNs_, minima_.busFree, "bus free") && met;
  startNs_ = Now();
  return met;
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
  pendingRead_ = false;
  bytesWritten_ = 0;
  trace_.Record({repeated ? WireEvent::kRepeatedStart : WireEvent::kStart});
  target_.OnStart(repeated);
  phase_ = Phase::kAddress;
  clocks_ = 0;
  shift_ = 0;
  DriveSda(true);
}

void SimI2cSlave::OnStopCondition() {
  pendingRead_ = false;
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
        if (clocks_ == 0) pendingRead_ = false;  // too late: this byte goes out as it stands
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
    case Phase::kIgnore:
      DriveSda(true);
      break;
    case Phase::kIdle:
      break;
  }
}

void SimI2cSlave::ByteReceived() {
  if (phase_ == Phase::kAddress) {
    readRequested_ = (shift_ & 1) != 0;
    bytesWritten_ = 0;
    if (refusals_ > 0) {
      --refusals_;
      ackOut_ = false;  // the devices never see it: to them the bus stays unaddressed
    } else if (refusedAddresses_[shift_]) {
      ackOut_ = false;
    } else {
      ackOut_ = target_.OnAddress(shift_);
    }
  } else if (++bytesWritten_ == refusedPosition_) {
    ackOut_ = false;
  } else {
    ackOut_ = target_.OnWriteByte(shift_);
  }
  trace_.Record({WireEvent::kWrite, shift_, ackOut_});
}

// Called on the falling clock that ends the previous acknowledge: the first bit goes out now.
void SimI2cSlave::LoadNextReadByte() {
  const ReadReply reply = target_.OnReadByte();
  uint8_t byte = reply.value;
  if (corruptArmed_ && bytesSent_ == corruptIndex_) {
    byte ^= corruptMask_;
    corruptArmed_ = false;
  }
  ++bytesSent_;
  clocks_ = 0;
  if (time_.ns < reply.readyAtNs) {
    pendingRead_ = true;
    pendingValue_ = byte;
    pendingReadyNs_ = reply.readyAtNs;
    shift_ = 0xFF;
    DriveSda(true);
    return;
  }
  pendingRead_ = false;
  shift_ = byte;
  DriveSda((byte & 0x80) != 0);
}

// The device loads its shift register while the master still holds the clock low before the
// byte's first bit: the first bit goes onto SDA now.
void SimI2cSlave::PutPendingByteOnSda() {
  pendingRead_ = false;
  if (phase_ != Phase::kRead || clocks_ != 0 || lineScl_) return;
  shift_ = pendingValue_;
  DriveSda((shift_ & 0x80) != 0);
  Update();
}

// ---- Faults --------------------------------------------------------------------------------

void SimI2cSlave::HoldSdaLow(bool hold) {
  // The slave's own doing: it is not a START or STOP it should react to.
  sdaHeldLow_ = hold;
  phase_ = Phase::kIdle;
  slaveSda_ = true;
  pendingRead_ = false;
  const bool sda = masterSda_ && !sdaHeldLow_;
  if (sda == lineSda_) return;
  lineSda_ = sda;
  NotifyLines();
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
  refusedAddresses_.reset();
  refusedPosition_ = 0;
  corruptArmed_ = false;
}

}  // namespace tolvex::sim
