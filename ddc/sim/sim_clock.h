// Simulated time. The simulated hardware and the fake clock share one SimTime: port accesses,
// sleeps and countdown loops advance it, nothing waits for real.
#pragma once

#include <cstdint>

#include "ddc/clock.h"

namespace tolvex::sim {

struct SimTime {
  uint64_t ns = 0;
  void Advance(uint64_t nanoseconds) { ns += nanoseconds; }
  uint64_t Us() const { return ns / 1000; }
};

class SimClock final : public Clock {
 public:
  // psPerIteration: how long one countdown step takes on the simulated processor.
  explicit SimClock(SimTime& time, uint64_t psPerIteration = 1000) : time_(time), psPerIteration_(psPerIteration) {}

  uint64_t NowMs() override { return time_.ns / 1'000'000; }
  uint64_t NowUs() override { return time_.ns / 1'000; }
  void SleepMs(uint32_t ms) override {
    time_.Advance(uint64_t{ms} * 1'000'000);
    sleptMs_ += ms;
  }
  void CountDown(uint64_t iterations) override {
    // Split so that very long loops cannot overflow the product.
    time_.Advance(iterations / 1000 * psPerIteration_ + iterations % 1000 * psPerIteration_ / 1000);
    countedDown_ += iterations;
  }

  void SetPsPerIteration(uint64_t ps) { psPerIteration_ = ps; }
  uint64_t SleptMs() const { return sleptMs_; }
  uint64_t CountedDown() const { return countedDown_; }

 private:
  SimTime& time_;
  uint64_t psPerIteration_;
  uint64_t sleptMs_ = 0;
  uint64_t countedDown_ = 0;
};

}  // namespace tolvex::sim
