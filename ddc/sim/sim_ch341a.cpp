#include "ddc/sim/sim_ch341a.h"

#include <algorithm>
#include <cerrno>

#include "ddc/usb/ch341a_bus.h"

namespace tolvex::sim {

using namespace ch341a;

namespace {

constexpr uint8_t kLengthMask = 0x1F;
constexpr uint8_t kCommandMask = 0xE0;

class SimPipe final : public UsbBulkPipe {
 public:
  SimPipe(SimCh341a& programmer, bool& claimed) : programmer_(programmer), claimed_(claimed) { claimed_ = true; }
  ~SimPipe() override { claimed_ = false; }
  SimPipe(const SimPipe&) = delete;
  SimPipe& operator=(const SimPipe&) = delete;

  int BulkOut(std::span<const uint8_t> bytes, uint32_t) override { return programmer_.BulkOut(bytes); }
  int BulkIn(std::span<uint8_t> buffer, uint32_t) override { return programmer_.BulkIn(buffer); }

 private:
  SimCh341a& programmer_;
  bool& claimed_;
};

}  // namespace

// ---- The programmer ------------------------------------------------------------------------

int SimCh341a::BulkOut(std::span<const uint8_t> bytes) {
  ++bulkOuts_;
  bytesOut_ += bytes.size();
  const uint64_t sentNs = time_.ns;
  for (size_t first = 0; first < bytes.size(); first += kPacketSize) {
    RunPacket(bytes.subspan(first, std::min(kPacketSize, bytes.size() - first)));
  }
  time_.ns = std::max(time_.ns, sentNs + kFrameNs);
  return static_cast<int>(bytes.size());
}

int SimCh341a::BulkIn(std::span<uint8_t> buffer) {
  ++bulkIns_;
  if (reply_.empty()) return -ETIMEDOUT;
  const size_t count = std::min(buffer.size(), reply_.size());
  std::copy_n(reply_.begin(), count, buffer.begin());
  reply_.erase(reply_.begin(), reply_.begin() + static_cast<std::ptrdiff_t>(count));
  bytesIn_ += count;
  return static_cast<int>(count);
}

bool SimCh341a::Out(std::span<const uint8_t> bytes) {
  for (uint8_t byte : bytes) {
    const int acknowledged = wire_.OutByte(byte);
    if (acknowledged < 0) return false;
    if (bytes.size() == 1) reply_.push_back(acknowledged == 1 ? 0x00 : kRefused);
  }
  return true;
}

bool SimCh341a::In(int count, bool acknowledgeLast) {
  for (int i = 0; i < count; ++i) {
    const int value = wire_.InByte();
    if (value < 0) return false;
    reply_.push_back(static_cast<uint8_t>(value));
    if (wire_.Acknowledge(acknowledgeLast || i + 1 < count) < 0) return false;
  }
  return true;
}

void SimCh341a::RunPacket(std::span<const uint8_t> packet) {
  if (packet.empty() || packet[0] != kStream) {
    ++protocolErrors_;
    return;
  }
  for (size_t at = 1; at < packet.size();) {
    const uint8_t code = packet[at++];
    bool wireOk = true;
    wire_.CatchUp();
    if (code == kEnd) return;
    if (code == kStart) {
      if (inTransaction_) {
        wireOk = wire_.RepeatedStart() == 0;
      } else {
        wire_.Start();
      }
      inTransaction_ = true;
    } else if (code == kStop) {
      wire_.Stop();
      inTransaction_ = false;
    } else if ((code & 0xFC) == kSpeed) {
      speedKhz_ = kSpeedsKhz[code & 3];
      wire_.SetHalfPeriodNs(500'000 / static_cast<uint64_t>(speedKhz_));
    } else if ((code & kCommandMask) == kOut) {
      const size_t count = code & kLengthMask;
      if (at + count > packet.size()) {
        ++protocolErrors_;
        return;
      }
      wireOk = Out(packet.subspan(at, count));
      at += count;
    } else if ((code & 0xC0) == kIn && (code & 0x3F) <= kMaxIn) {
      const int count = code & 0x3F;
      wireOk = count == 0 ? In(1, false) : In(count, true);
    } else {
      ++protocolErrors_;
      return;
    }
    if (!wireOk) return;
  }
}

// ---- The host ------------------------------------------------------------------------------

SimCh341a& SimUsbHost::AddCh341a(const UsbDeviceId& id, SimI2cSlave* slave) {
  Device& device = devices_[Key(id)];
  device.programmer = std::make_unique<SimCh341a>(time_, slave);
  order_.push_back(Key(id));
  return *device.programmer;
}

SimCh341a* SimUsbHost::First() { return order_.empty() ? nullptr : devices_[order_.front()].programmer.get(); }

std::vector<UsbDeviceId> SimUsbHost::Find(uint16_t vendor, uint16_t product) {
  std::vector<UsbDeviceId> found;
  if (vendor != kVendor || product != kProduct) return found;
  for (int key : order_) found.push_back({static_cast<uint8_t>(key >> 8), static_cast<uint8_t>(key & 0xFF)});
  return found;
}

int SimUsbHost::Open(const UsbDeviceId& id, const UsbBulkEndpoints& endpoints, std::unique_ptr<UsbBulkPipe>& pipe) {
  const auto found = devices_.find(Key(id));
  if (found == devices_.end()) return -ENODEV;
  if (denied_.count(Key(id))) return -EACCES;
  // The chip has one interface and its two bulk endpoints; anything else is a wrong request.
  if (endpoints.interface != kEndpoints.interface || endpoints.out != kEndpoints.out || endpoints.in != kEndpoints.in) {
    return -EINVAL;
  }
  if (found->second.claimed) return -EBUSY;
  pipe = std::make_unique<SimPipe>(*found->second.programmer, found->second.claimed);
  return 0;
}

}  // namespace tolvex::sim
