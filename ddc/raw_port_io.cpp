#include "ddc/raw_port_io.h"

#include <cerrno>
#include <cstring>

#include <fstream>
#include <iterator>

#include "ddc/ddc_texts.h"
#include "ddc/format_text.h"
#include "ddc/s3_ddc_port.h"

#if defined(__linux__) && (defined(__x86_64__) || defined(__i386__))
#define TOLVEX_RAW_IO 1
#include <fcntl.h>
#include <sys/io.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace tolvex {

namespace {

struct PortRange {
  uint16_t first;
  uint16_t count;
};

// Every port the transport touches: the three parallel ports, the refresh toggle at 0x61, and
// the VGA CRTC (mono and colour), Miscellaneous Output and sequencer registers.
constexpr PortRange kPortRanges[] = {
    {0x378, 3}, {0x278, 3}, {0x3BC, 3}, {0x61, 1}, {0x3B4, 2}, {0x3C2, 1}, {0x3C4, 2}, {0x3CC, 1}, {0x3D4, 2},
};

constexpr long kPageSize = 4096;

// The active lockdown mode is the bracketed word: "none [integrity] confidentiality".
bool LockdownActive(std::string_view lockdown) {
  return lockdown.find('[') != std::string_view::npos && lockdown.find("[none]") == std::string_view::npos;
}

}  // namespace

std::string PortAccessFailure(int error, bool root, std::string_view lockdown) {
  const char* reason = std::strerror(error);
  if (error == ENOSYS || (error == EPERM && root)) {
    return FormatText(texts::kKernelRefusesPorts, reason, LockdownActive(lockdown) ? texts::kLockdownNote : "");
  }
  return FormatText(texts::kNoPortPrivilege, reason);
}

RawPortIo::RawPortIo() {
  RequestPorts();
  MapSerialRegister();
}

RawPortIo::~RawPortIo() {
#ifdef TOLVEX_RAW_IO
  if (mapping_) munmap(mapping_, kPageSize);
  for (const PortRange& range : kPortRanges) {
    if (Granted(range.first, 1)) ioperm(range.first, range.count, 0);
  }
#endif
}

void RawPortIo::RequestPorts() {
#ifdef TOLVEX_RAW_IO
  for (const PortRange& range : kPortRanges) {
    if (ioperm(range.first, range.count, 1) != 0) {
      const int error = errno;
      std::ifstream lockdownFile("/sys/kernel/security/lockdown");
      const std::string lockdown((std::istreambuf_iterator<char>(lockdownFile)), std::istreambuf_iterator<char>());
      failure_ = PortAccessFailure(error, geteuid() == 0, lockdown);
      granted_.reset();
      return;
    }
    for (uint16_t i = 0; i < range.count; ++i) granted_.set(range.first + i);
  }
#else
  failure_ = texts::kNoRawIoPlatform;
#endif
}

void RawPortIo::MapSerialRegister() {
#ifdef TOLVEX_RAW_IO
  const int fd = open("/dev/mem", O_RDWR | O_SYNC);
  if (fd < 0) {
    if (failure_.empty()) failure_ = std::string("no access to /dev/mem (") + std::strerror(errno) + "); the S3 card cannot be used";
    return;
  }
  const off_t page = static_cast<off_t>(kS3SerialPortAddress) & ~static_cast<off_t>(kPageSize - 1);
  void* mapping = mmap(nullptr, kPageSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, page);
  close(fd);
  if (mapping == MAP_FAILED) {
    if (failure_.empty()) failure_ = std::string("cannot map the VGA window (") + std::strerror(errno) + "); the S3 card cannot be used";
    return;
  }
  mapping_ = mapping;
  serialRegister_ = static_cast<volatile uint8_t*>(mapping) + (kS3SerialPortAddress - page);
#endif
}

bool RawPortIo::Granted(uint16_t port, int width) const {
  for (int i = 0; i < width; ++i) {
    if (port + i >= static_cast<int>(granted_.size()) || !granted_.test(port + i)) return false;
  }
  return true;
}

uint8_t RawPortIo::PortIn8(uint16_t port) {
#ifdef TOLVEX_RAW_IO
  if (Granted(port, 1)) return inb(port);
#endif
  (void)port;
  return 0xFF;
}

void RawPortIo::PortOut8(uint16_t port, uint8_t value) {
#ifdef TOLVEX_RAW_IO
  if (Granted(port, 1)) outb(value, port);
#endif
  (void)port;
  (void)value;
}

void RawPortIo::PortOut16(uint16_t port, uint16_t value) {
#ifdef TOLVEX_RAW_IO
  if (Granted(port, 2)) outw(value, port);
#endif
  (void)port;
  (void)value;
}

uint8_t RawPortIo::MemRead8(uint32_t physicalAddress) {
  if (serialRegister_ && physicalAddress == kS3SerialPortAddress) return *serialRegister_;
  return 0xFF;
}

void RawPortIo::MemWrite8(uint32_t physicalAddress, uint8_t value) {
  if (serialRegister_ && physicalAddress == kS3SerialPortAddress) *serialRegister_ = value;
}

}  // namespace tolvex
