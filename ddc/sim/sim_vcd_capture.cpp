#include "ddc/sim/sim_vcd_capture.h"

#include <cerrno>
#include <cstring>

namespace tolvex::sim {

namespace {

// The identifier codes of the two variables in the dump.
constexpr char kSclCode = '!';
constexpr char kSdaCode = '"';

constexpr char kHeader[] =
    "$version tolvex simulated DDC lines $end\n"
    "$timescale 1 ns $end\n"
    "$scope module ddc $end\n"
    "$var wire 1 ! scl $end\n"
    "$var wire 1 \" sda $end\n"
    "$upscope $end\n"
    "$enddefinitions $end\n";

}  // namespace

bool VcdCapture::Open(const std::string& path, std::string& error) {
  path_ = path;
  out_.open(path, std::ios::binary | std::ios::trunc);
  if (!out_) {
    error = path + ": cannot write the capture (" + std::strerror(errno) + ")";
    return false;
  }
  out_ << kHeader;
  return true;
}

bool VcdCapture::Close(std::string& error) {
  if (!out_.is_open()) return true;
  out_.close();
  if (!out_) {
    error = path_ + ": the capture could not be written completely";
    return false;
  }
  return true;
}

void VcdCapture::OnLines(uint64_t ns, bool scl, bool sda) {
  if (!out_.is_open()) return;
  if (!started_) {
    // The levels the lines start at, as the dump's initial values.
    out_ << '#' << ns << "\n$dumpvars\n" << (scl ? '1' : '0') << kSclCode << '\n'
         << (sda ? '1' : '0') << kSdaCode << "\n$end\n";
    started_ = true;
  } else {
    if (scl == scl_ && sda == sda_) return;
    if (ns != lastNs_) out_ << '#' << ns << '\n';
    if (scl != scl_) out_ << (scl ? '1' : '0') << kSclCode << '\n';
    if (sda != sda_) out_ << (sda ? '1' : '0') << kSdaCode << '\n';
  }
  lastNs_ = ns;
  scl_ = scl;
  sda_ = sda;
}

}  // namespace tolvex::sim
