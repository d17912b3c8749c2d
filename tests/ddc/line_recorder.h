// A Black Box at 0x378 with ideal lines, for checking the bus master's exact sequence of line
// changes and delays. Port 0x61's refresh bit flips on every read, so one delay (ten toggles)
// is exactly twenty reads and shows up in the record as "D".
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "ddc/port_io.h"

namespace tolvex::test {

class LineRecorder final : public PortIo {
 public:
  // What the far end does to the lines: it may pull SCL or SDA low (false = pulls low).
  std::function<bool()> slaveReleasesScl = [] { return true; };
  std::function<bool()> slaveReleasesSda = [] { return true; };
  bool adapterPresent = true;

  uint8_t PortIn8(uint16_t port) override {
    if (port == 0x61) {
      ++refreshReads_;
      refresh_ ^= 0x10;
      return refresh_;
    }
    Flush();
    if (!adapterPresent) return 0xFF;
    if (port == 0x378) return data_;
    if (port == 0x37A) return control_;
    if (port == 0x379) {
      record_ += "R ";
      return static_cast<uint8_t>((Scl() ? 0x08 : 0) | (Sda() ? 0x80 : 0));
    }
    return 0xFF;
  }

  void PortOut8(uint16_t port, uint8_t value) override {
    Flush();
    if (!adapterPresent) return;
    const bool scl = SclDrive(), sda = SdaDrive();
    if (port == 0x378) data_ = value;
    if (port == 0x37A) control_ = value;
    if (SclDrive() != scl) record_ += SclDrive() ? "SCL=1 " : "SCL=0 ";
    if (SdaDrive() != sda) record_ += SdaDrive() ? "SDA=1 " : "SDA=0 ";
  }

  void PortOut16(uint16_t, uint16_t) override { Flush(); }
  uint8_t MemRead8(uint32_t) override {
    Flush();
    return 0xFF;
  }
  void MemWrite8(uint32_t, uint8_t) override { Flush(); }

  // The record since the last call, delays included; clears it.
  std::string Take() {
    Flush();
    std::string taken = record_;
    if (!taken.empty()) taken.pop_back();
    record_.clear();
    return taken;
  }
  // How often a token ("D", "R", "SCL=0", ...) occurs in a record.
  static int Count(const std::string& record, const std::string& token) {
    int count = 0;
    size_t start = 0;
    while (start <= record.size()) {
      size_t end = record.find(' ', start);
      if (end == std::string::npos) end = record.size();
      if (record.compare(start, end - start, token) == 0) ++count;
      start = end + 1;
    }
    return count;
  }

  bool SclDrive() const { return (control_ & 0x08) != 0; }
  bool SdaDrive() const { return (data_ & 0x80) == 0; }
  bool Scl() const { return SclDrive() && slaveReleasesScl(); }
  bool Sda() const { return SdaDrive() && slaveReleasesSda(); }
  uint8_t Data() const { return data_; }

 private:
  void Flush() {
    for (; refreshReads_ >= 20; refreshReads_ -= 20) record_ += "D ";
    if (refreshReads_ != 0) record_ += "?" + std::to_string(refreshReads_) + " ";
    refreshReads_ = 0;
  }

  uint8_t data_ = 0x00;
  uint8_t control_ = 0x00;
  uint8_t refresh_ = 0;
  int refreshReads_ = 0;
  std::string record_;
};

}  // namespace tolvex::test
