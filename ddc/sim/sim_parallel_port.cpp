#include "ddc/sim/sim_parallel_port.h"

namespace tolvex::sim {

namespace {

// Black Box.
constexpr uint8_t kBbSclDrive = 0x08;  // control
constexpr uint8_t kBbSdaPull = 0x80;   // data, inverted: 1 pulls SDA low
constexpr uint8_t kBbWriteEnable = 0x40;
constexpr uint8_t kBbSclSense = 0x08;  // status
constexpr uint8_t kBbSdaSense = 0x80;  // status

// Service Kit; all in the data register but the status bits.
constexpr uint8_t kSkSclDrive = 0x20;
constexpr uint8_t kSkSdaDrive = 0x08;
constexpr uint8_t kSkSdaSenseGate = 0x10;
constexpr uint8_t kSkWriteEnableOn = 0x01;
constexpr uint8_t kSkWriteEnableOff = 0x04;
constexpr uint8_t kSkLoopbackOut = 0x02;
constexpr uint8_t kSkLoopbackIn = 0x08;  // status
constexpr uint8_t kSkSdaSense = 0x80;    // status, inverted, only through the gate

uint8_t Bit(bool set, uint8_t mask) { return set ? mask : 0; }

}  // namespace

LineLevels SimParallelPort::Drive() const {
  switch (adapter_) {
    case ParallelAdapter::kBlackBox: return {(control_ & kBbSclDrive) != 0, (data_ & kBbSdaPull) == 0};
    case ParallelAdapter::kServiceKit: return {(data_ & kSkSclDrive) != 0, (data_ & kSkSdaDrive) != 0};
    case ParallelAdapter::kAbsent:
    case ParallelAdapter::kNoAdapter: break;
  }
  return {};
}

bool SimParallelPort::WriteEnable() const {
  switch (adapter_) {
    case ParallelAdapter::kBlackBox: return (data_ & kBbWriteEnable) != 0;
    case ParallelAdapter::kServiceKit: return (data_ & kSkWriteEnableOn) != 0 && (data_ & kSkWriteEnableOff) == 0;
    case ParallelAdapter::kAbsent:
    case ParallelAdapter::kNoAdapter: break;
  }
  return false;
}

int SimParallelPort::SclSenseRegister() const {
  switch (adapter_) {
    case ParallelAdapter::kBlackBox: return kStatus;
    case ParallelAdapter::kServiceKit: return kData;
    case ParallelAdapter::kAbsent:
    case ParallelAdapter::kNoAdapter: break;
  }
  return -1;
}

uint8_t SimParallelPort::Read(uint16_t offset, LineLevels lines) const {
  if (adapter_ == ParallelAdapter::kAbsent) return 0xFF;
  switch (offset) {
    case kData:
      if (adapter_ == ParallelAdapter::kServiceKit) {
        return static_cast<uint8_t>((data_ & ~kSkSclDrive) | Bit(lines.scl, kSkSclDrive));
      }
      return data_;
    case kStatus:
      switch (adapter_) {
        case ParallelAdapter::kBlackBox:
          return static_cast<uint8_t>(kAdapterStatusFixed | Bit(lines.scl, kBbSclSense) | Bit(lines.sda, kBbSdaSense));
        case ParallelAdapter::kServiceKit: {
          const bool gateOpen = (data_ & kSkSdaSenseGate) != 0;
          const bool loopback = WriteEnable() ? (data_ & kSkLoopbackOut) != 0 : true;
          return static_cast<uint8_t>(kAdapterStatusFixed | Bit(loopback, kSkLoopbackIn) |
                                      Bit(gateOpen ? !lines.sda : true, kSkSdaSense));
        }
        default: return kOpenStatus;
      }
    case kControl: return control_;
    default: return 0xFF;
  }
}

void SimParallelPort::Write(uint16_t offset, uint8_t value) {
  if (adapter_ == ParallelAdapter::kAbsent) return;
  if (offset == kData) data_ = value;
  if (offset == kControl) control_ = value;
}

}  // namespace tolvex::sim
