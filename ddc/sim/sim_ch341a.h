// A simulated CH341A USB programmer: its bulk pipe takes the I2C stream protocol's command packets
// (see ddc/usb/ch341a_bus.h), runs each sub-command on the wires of the bit-level slave with the
// kernel's bit-banging master's wire events, and queues the status and read bytes for the next
// bulk IN. A packet that breaks the protocol (no 0xAA first, an unknown sub-command, an OUT that
// runs past the packet, an IN of more than 32 bytes) is dropped from that point and counted; a
// clock held low past the master's patience ends the packet there, so the reply comes up short.
//
// Time: each command packet takes at least one USB frame (1 ms) from its bulk OUT to its reply,
// more when its wire events take longer.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <span>
#include <vector>

#include "ddc/sim/sim_clock.h"
#include "ddc/sim/sim_i2c_slave.h"
#include "ddc/sim/sim_kernel.h"
#include "ddc/usb/usb_pipe.h"

namespace tolvex::sim {

class SimCh341a {
 public:
  static constexpr uint64_t kFrameNs = 1'000'000;

  // `slave`: the EEPROM in the programmer's socket or clip; nullptr for an empty one.
  SimCh341a(SimTime& time, SimI2cSlave* slave) : time_(time), wire_(time, slave) {}

  int BulkOut(std::span<const uint8_t> bytes);
  int BulkIn(std::span<uint8_t> buffer);

  SimBitBangAdapter& Wire() { return wire_; }

  // For measurements and tests.
  uint64_t BulkOuts() const { return bulkOuts_; }
  uint64_t BulkIns() const { return bulkIns_; }
  uint64_t BytesOut() const { return bytesOut_; }
  uint64_t BytesIn() const { return bytesIn_; }
  uint64_t ProtocolErrors() const { return protocolErrors_; }
  int SpeedKhz() const { return speedKhz_; }

 private:
  void RunPacket(std::span<const uint8_t> packet);
  // False when the wires gave up (a clock held low too long).
  bool Out(std::span<const uint8_t> bytes);
  bool In(int count, bool acknowledgeLast);

  SimTime& time_;
  SimBitBangAdapter wire_;
  std::vector<uint8_t> reply_;
  bool inTransaction_ = false;
  int speedKhz_ = 100;
  uint64_t bulkOuts_ = 0;
  uint64_t bulkIns_ = 0;
  uint64_t bytesOut_ = 0;
  uint64_t bytesIn_ = 0;
  uint64_t protocolErrors_ = 0;
};

// The simulated host's USB devices: CH341A programmers by bus and device number.
class SimUsbHost final : public UsbHost {
 public:
  explicit SimUsbHost(SimTime& time) : time_(time) {}

  SimCh341a& AddCh341a(const UsbDeviceId& id, SimI2cSlave* slave);
  // The first programmer added; nullptr when there is none.
  SimCh341a* First();
  // Opening this device fails as a device node without permission does.
  void DenyAccess(const UsbDeviceId& id) { denied_.insert(Key(id)); }

  std::vector<UsbDeviceId> Find(uint16_t vendor, uint16_t product) override;
  // A device whose interface is claimed already answers -EBUSY.
  int Open(const UsbDeviceId& id, const UsbBulkEndpoints& endpoints, std::unique_ptr<UsbBulkPipe>& pipe) override;

 private:
  struct Device {
    std::unique_ptr<SimCh341a> programmer;
    bool claimed = false;
  };
  static int Key(const UsbDeviceId& id) { return id.bus << 8 | id.device; }

  SimTime& time_;
  std::map<int, Device> devices_;
  std::vector<int> order_;
  std::set<int> denied_;
};

}  // namespace tolvex::sim
