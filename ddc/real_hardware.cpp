#include "ddc/hardware.h"
#include "ddc/raw_port_io.h"

namespace tolvex {

namespace {

class RealHardware final : public Hardware {
 public:
  PortIo& Io() override { return io_; }
  Clock& GetClock() override { return clock_; }
  bool HasPortAccess() const override { return io_.HasPortAccess(); }
  std::string AccessNote() const override { return io_.Failure(); }
  bool Persist(std::string&) override { return true; }

 private:
  RawPortIo io_;
  SystemClock clock_;
};

}  // namespace

std::unique_ptr<Hardware> MakeRealHardware() { return std::make_unique<RealHardware>(); }

}  // namespace tolvex
