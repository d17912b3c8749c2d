// The seam below a USB programmer: find the devices of a vendor and product ID, open one's bulk
// pipe, and move bytes through it with a timeout. libusb answers on a real PC; the simulated
// programmers answer under --simulate, interpreting what the channel sends.
//
// Every call returns what it moved, or -errno on failure as the kernel seam does: -EACCES no
// permission on the device node, -ENODEV the device is gone, -EBUSY another program holds it,
// -ETIMEDOUT nothing came in time, -EPIPE the endpoint stalled, -EIO anything else.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace tolvex {

// Where a device sits, as lsusb shows it: bus 001 device 004.
struct UsbDeviceId {
  uint8_t bus = 0;
  uint8_t device = 0;
  bool operator==(const UsbDeviceId&) const = default;
};

// The interface a channel claims and its two bulk endpoints.
struct UsbBulkEndpoints {
  uint8_t interface = 0;
  uint8_t out = 0;  // bulk OUT endpoint address (bit 7 clear)
  uint8_t in = 0;   // bulk IN endpoint address (bit 7 set)
};

class UsbBulkPipe {
 public:
  virtual ~UsbBulkPipe() = default;
  // Bytes sent, or -errno.
  virtual int BulkOut(std::span<const uint8_t> bytes, uint32_t timeoutMs) = 0;
  // Bytes received (up to the buffer's size), or -errno.
  virtual int BulkIn(std::span<uint8_t> buffer, uint32_t timeoutMs) = 0;
};

class UsbHost {
 public:
  virtual ~UsbHost() = default;
  // The devices with this vendor and product ID, by bus and device number.
  virtual std::vector<UsbDeviceId> Find(uint16_t vendor, uint16_t product) = 0;
  // Opens the device, takes the interface from a kernel driver that holds it, and claims it; 0 and
  // the pipe, or -errno. The pipe releases the interface (and gives it back) when it goes.
  virtual int Open(const UsbDeviceId& id, const UsbBulkEndpoints& endpoints, std::unique_ptr<UsbBulkPipe>& pipe) = 0;
};

}  // namespace tolvex
