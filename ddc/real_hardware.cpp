#include "ddc/hardware.h"
#include "ddc/linux/linux_discovery.h"
#include "ddc/linux/ppdev_port_io.h"
#include "ddc/raw_port_io.h"
#include "ddc/usb/libusb_host.h"

namespace tolvex {

namespace {

// The PC's ports: the parallel ports through ppdev where the kernel offers them, the rest (and
// every port when there is no ppdev port) raw.
class RealHardware final : public Hardware {
 public:
  RealHardware() {
    const std::vector<ParallelPortInfo> ports = DiscoverLinux(files_, Paths()).parallelPorts;
    if (!ports.empty()) ppdev_ = std::make_unique<PpdevPortIo>(devices_, clock_, raw_, ports);
  }

  PortIo& Io() override { return ppdev_ ? static_cast<PortIo&>(*ppdev_) : raw_; }
  Clock& GetClock() override { return clock_; }
  bool HasPortAccess() const override { return ppdev_ ? ppdev_->IsReachable() : raw_.HasPortAccess(); }
  std::string AccessNote() const override {
    std::string note = raw_.Failure();
    if (ppdev_ && !ppdev_->Failure().empty()) note += (note.empty() ? "" : "; ") + ppdev_->Failure();
    return note;
  }
  bool Persist(std::string&) override { return true; }
  KernelFiles& Files() override { return files_; }
  KernelDevices& Devices() override { return devices_; }
  UsbHost* Usb() override { return &usb_; }

 private:
  RawPortIo raw_;
  SystemClock clock_;
  SystemKernelFiles files_;
  SystemKernelDevices devices_;
  LibusbHost usb_;
  std::unique_ptr<PpdevPortIo> ppdev_;
};

}  // namespace

std::unique_ptr<Hardware> MakeRealHardware() { return std::make_unique<RealHardware>(); }

}  // namespace tolvex
