// A PC parallel port with one of the two DDC adapters on it. The adapter turns register bits
// into open-drain drivers on SCL and SDA (false pulls the line low, true releases it) and the
// line levels back into register bits; the machine does the wired-AND with the monitor.
//
//   Black Box    SCL drive  control bit 3          SCL sense  status bit 3
//                SDA drive  NOT data bit 7         SDA sense  status bit 7
//                write enable while data bit 6 is set
//   Service Kit  SCL drive  data bit 5             SCL sense  data bit 5 read back
//                SDA drive  data bit 3             SDA sense  status bit 7 = NOT SDA while data
//                                                             bit 4 is set, else 1
//                write enable while data bit 0 is set and data bit 2 is clear
//                presence loopback: status bit 3 = data bit 1, only while the write enable is
//                on (the loopback runs through the same driver stage); else it floats high
#pragma once

#include <cstdint>

namespace tolvex::sim {

enum class ParallelAdapter : uint8_t {
  kAbsent,     // no port at this base: reads 0xFF, writes are lost
  kNoAdapter,  // a port with nothing plugged in
  kBlackBox,
  kServiceKit,
};

struct LineLevels {
  bool scl = true;
  bool sda = true;
  bool operator==(const LineLevels&) const = default;
};

class SimParallelPort {
 public:
  static constexpr uint16_t kData = 0;
  static constexpr uint16_t kStatus = 1;
  static constexpr uint16_t kControl = 2;
  // Status bits the adapters do not wire: bits 0-2 (unused, float high), 4 (select) and 6
  // (acknowledge) high, 5 (paper out) low; bits 3 and 7 come from the adapter.
  static constexpr uint8_t kAdapterStatusFixed = 0x57;
  // A port with nothing plugged in: every input floats high, and the inverted busy line (bit 7)
  // reads low.
  static constexpr uint8_t kOpenStatus = 0x7F;
  static constexpr uint8_t kPowerOnData = 0x00;
  static constexpr uint8_t kPowerOnControl = 0x0C;

  explicit SimParallelPort(uint16_t base) : base_(base) {}

  uint16_t Base() const { return base_; }
  ParallelAdapter Adapter() const { return adapter_; }
  void SetAdapter(ParallelAdapter adapter) { adapter_ = adapter; }
  bool Present() const { return adapter_ != ParallelAdapter::kAbsent; }

  uint8_t DataLatch() const { return data_; }
  uint8_t ControlLatch() const { return control_; }

  // What the adapter drives, and its write-enable line.
  LineLevels Drive() const;
  bool WriteEnable() const;
  // The register offset whose reads sense SCL, or -1 when nothing senses it.
  int SclSenseRegister() const;

  // offset 0-2; `lines` are the levels on the adapter's wires.
  uint8_t Read(uint16_t offset, LineLevels lines) const;
  void Write(uint16_t offset, uint8_t value);

 private:
  uint16_t base_;
  ParallelAdapter adapter_ = ParallelAdapter::kAbsent;
  uint8_t data_ = kPowerOnData;
  uint8_t control_ = kPowerOnControl;
};

}  // namespace tolvex::sim
