// The DDC lines as a logic analyser would record them: SCL and SDA at the monitor's connector,
// in simulated time, written as a Value Change Dump (IEEE 1364) that PulseView, GTKWave or
// sigrok-cli open. Times are nanoseconds of simulated time since the hardware was made.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>

#include "ddc/sim/sim_i2c_slave.h"

namespace tolvex::sim {

class VcdCapture final : public LineObserver {
 public:
  // Creates `path` and writes the header; false, with the reason in `error`, when it cannot.
  bool Open(const std::string& path, std::string& error);
  // Flushes and closes the file; false, with the reason, when it could not all be written.
  bool Close(std::string& error);
  bool IsOpen() const { return out_.is_open(); }

  void OnLines(uint64_t ns, bool scl, bool sda) override;

 private:
  std::ofstream out_;
  std::string path_;
  bool started_ = false;
  uint64_t lastNs_ = 0;
  bool scl_ = true;
  bool sda_ = true;
};

}  // namespace tolvex::sim
