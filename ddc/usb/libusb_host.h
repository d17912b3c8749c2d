// The USB seam on a real PC, through libusb: as thin as it can be. The library is started on the
// first call, so a command that never looks for a programmer never touches USB.
#pragma once

#include "ddc/usb/usb_pipe.h"

struct libusb_context;

namespace tolvex {

class LibusbHost final : public UsbHost {
 public:
  LibusbHost() = default;
  ~LibusbHost() override;
  LibusbHost(const LibusbHost&) = delete;
  LibusbHost& operator=(const LibusbHost&) = delete;

  // Nothing when libusb cannot start (no USB on the machine).
  std::vector<UsbDeviceId> Find(uint16_t vendor, uint16_t product) override;
  int Open(const UsbDeviceId& id, const UsbBulkEndpoints& endpoints, std::unique_ptr<UsbBulkPipe>& pipe) override;

 private:
  bool Start();

  libusb_context* context_ = nullptr;
  bool failed_ = false;
};

}  // namespace tolvex
