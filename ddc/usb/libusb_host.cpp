#include "ddc/usb/libusb_host.h"

#include <libusb.h>

#include <cerrno>

namespace tolvex {

namespace {

int ErrnoOf(int libusbError) {
  switch (libusbError) {
    case LIBUSB_ERROR_ACCESS: return -EACCES;
    case LIBUSB_ERROR_NO_DEVICE:
    case LIBUSB_ERROR_NOT_FOUND: return -ENODEV;
    case LIBUSB_ERROR_BUSY: return -EBUSY;
    case LIBUSB_ERROR_TIMEOUT: return -ETIMEDOUT;
    case LIBUSB_ERROR_PIPE: return -EPIPE;
    default: return -EIO;
  }
}

class LibusbPipe final : public UsbBulkPipe {
 public:
  LibusbPipe(libusb_device_handle* handle, const UsbBulkEndpoints& endpoints, bool reattach)
      : handle_(handle), endpoints_(endpoints), reattach_(reattach) {}
  ~LibusbPipe() override {
    libusb_release_interface(handle_, endpoints_.interface);
    if (reattach_) libusb_attach_kernel_driver(handle_, endpoints_.interface);
    libusb_close(handle_);
  }
  LibusbPipe(const LibusbPipe&) = delete;
  LibusbPipe& operator=(const LibusbPipe&) = delete;

  int BulkOut(std::span<const uint8_t> bytes, uint32_t timeoutMs) override {
    return Transfer(endpoints_.out, const_cast<uint8_t*>(bytes.data()), bytes.size(), timeoutMs);
  }
  int BulkIn(std::span<uint8_t> buffer, uint32_t timeoutMs) override {
    return Transfer(endpoints_.in, buffer.data(), buffer.size(), timeoutMs);
  }

 private:
  // A timeout that moved some bytes still reports them; the caller sees the shortfall.
  int Transfer(uint8_t endpoint, uint8_t* data, size_t size, uint32_t timeoutMs) {
    int moved = 0;
    const int result = libusb_bulk_transfer(handle_, endpoint, data, static_cast<int>(size), &moved, timeoutMs);
    if (result == 0 || (result == LIBUSB_ERROR_TIMEOUT && moved > 0)) return moved;
    return ErrnoOf(result);
  }

  libusb_device_handle* handle_;
  UsbBulkEndpoints endpoints_;
  bool reattach_;
};

}  // namespace

LibusbHost::~LibusbHost() {
  if (context_) libusb_exit(context_);
}

bool LibusbHost::Start() {
  if (!context_ && !failed_) failed_ = libusb_init(&context_) != 0;
  return context_ != nullptr;
}

std::vector<UsbDeviceId> LibusbHost::Find(uint16_t vendor, uint16_t product) {
  std::vector<UsbDeviceId> found;
  libusb_device** devices = nullptr;
  if (!Start()) return found;
  const ssize_t count = libusb_get_device_list(context_, &devices);
  for (ssize_t i = 0; i < count; ++i) {
    libusb_device_descriptor descriptor{};
    if (libusb_get_device_descriptor(devices[i], &descriptor) != 0) continue;
    if (descriptor.idVendor != vendor || descriptor.idProduct != product) continue;
    found.push_back({libusb_get_bus_number(devices[i]), libusb_get_device_address(devices[i])});
  }
  if (count >= 0) libusb_free_device_list(devices, 1);
  return found;
}

int LibusbHost::Open(const UsbDeviceId& id, const UsbBulkEndpoints& endpoints, std::unique_ptr<UsbBulkPipe>& pipe) {
  if (!Start()) return -ENODEV;
  libusb_device** devices = nullptr;
  const ssize_t count = libusb_get_device_list(context_, &devices);
  libusb_device_handle* handle = nullptr;
  int result = LIBUSB_ERROR_NO_DEVICE;
  for (ssize_t i = 0; i < count; ++i) {
    if (libusb_get_bus_number(devices[i]) == id.bus && libusb_get_device_address(devices[i]) == id.device) {
      result = libusb_open(devices[i], &handle);
      break;
    }
  }
  if (count >= 0) libusb_free_device_list(devices, 1);
  if (result != 0) return ErrnoOf(result);

  // Some kernels bind their USB serial driver to this ID; it gives the interface back on close.
  const bool detached = libusb_kernel_driver_active(handle, endpoints.interface) == 1 &&
                        libusb_detach_kernel_driver(handle, endpoints.interface) == 0;
  result = libusb_claim_interface(handle, endpoints.interface);
  if (result != 0) {
    if (detached) libusb_attach_kernel_driver(handle, endpoints.interface);
    libusb_close(handle);
    return ErrnoOf(result);
  }
  pipe = std::make_unique<LibusbPipe>(handle, endpoints, detached);
  return 0;
}

}  // namespace tolvex
