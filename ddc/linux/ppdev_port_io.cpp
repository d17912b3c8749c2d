#include "ddc/linux/ppdev_port_io.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <linux/ppdev.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "ddc/format_text.h"
#include "ddc/linux/linux_texts.h"

namespace tolvex {

namespace {

constexpr uint16_t kRefreshPort = 0x61;
constexpr uint8_t kRefreshToggle = 0x10;

// The registers ppdev reads and writes, by offset from the base: data, status, control.
constexpr unsigned long kReadRequests[] = {PPRDATA, PPRSTATUS, PPRCONTROL};
constexpr unsigned long kWriteRequests[] = {PPWDATA, 0, PPWCONTROL};  // the status register is read-only

std::string ClaimError(int error, const std::string& device) {
  if (error == EACCES || error == EPERM) return FormatText(texts::kNoParportPermission, device.c_str());
  return FormatText(texts::kDeviceError, device.c_str(), std::strerror(error));
}

}  // namespace

PpdevPortIo::PpdevPortIo(KernelDevices& kernel, Clock& clock, PortIo& fallback,
                         const std::vector<ParallelPortInfo>& ports)
    : kernel_(kernel), clock_(clock), fallback_(fallback), bases_(std::begin(kParallelBases), std::end(kParallelBases)) {
  for (const ParallelPortInfo& info : ports) {
    if (std::find(bases_.begin(), bases_.end(), info.base) == bases_.end()) bases_.push_back(static_cast<uint16_t>(info.base));
    int fd = kernel_.Open(info.device, O_RDWR);
    int error = fd < 0 ? -fd : 0;
    if (fd >= 0 && (error = -kernel_.Ioctl(fd, PPCLAIM, 0)) != 0) {
      kernel_.Close(fd);
      fd = -1;
    }
    if (fd < 0) {
      if (!failure_.empty()) failure_ += "; ";
      failure_ += ClaimError(error, info.device);
      continue;
    }
    ports_.push_back({static_cast<uint16_t>(info.base), fd});
    ++claimed_;
  }
}

PpdevPortIo::~PpdevPortIo() {
  for (const Port& port : ports_) {
    kernel_.Ioctl(port.fd, PPRELEASE, 0);
    kernel_.Close(port.fd);
  }
}

const PpdevPortIo::Port* PpdevPortIo::Find(uint16_t port) const {
  for (const Port& p : ports_) {
    if (port >= p.base && port <= p.base + 2) return &p;
  }
  return nullptr;
}

uint8_t PpdevPortIo::PortIn8(uint16_t port) {
  if (const Port* p = Find(port)) {
    unsigned char value = 0xFF;
    if (kernel_.Ioctl(p->fd, kReadRequests[port - p->base], reinterpret_cast<uintptr_t>(&value)) < 0) return 0xFF;
    return value;
  }
  if (port == kRefreshPort && !fallback_.IsReachable()) {
    return (clock_.NowUs() / kRefreshHalfPeriodUs) & 1 ? kRefreshToggle : 0;
  }
  return fallback_.PortIn8(port);
}

void PpdevPortIo::PortOut8(uint16_t port, uint8_t value) {
  if (const Port* p = Find(port)) {
    if (const unsigned long request = kWriteRequests[port - p->base]) {
      unsigned char byte = value;
      kernel_.Ioctl(p->fd, request, reinterpret_cast<uintptr_t>(&byte));
    }
    return;
  }
  fallback_.PortOut8(port, value);
}

}  // namespace tolvex
