// Time for the DDC transport: a millisecond clock, a millisecond sleep, and the busy countdown
// loop that paces bits on the S3 channel and that the delay calibration measures.
#pragma once

#include <cstdint>

namespace tolvex {

class Clock {
 public:
  virtual ~Clock() = default;

  virtual uint64_t NowMs() = 0;
  // Microseconds, for timing finer than a millisecond; as fine as NowMs where the clock has no more.
  virtual uint64_t NowUs() { return NowMs() * 1000; }
  virtual void SleepMs(uint32_t ms) = 0;
  // Counts `iterations` down to zero without sleeping.
  virtual void CountDown(uint64_t iterations) = 0;
};

class SystemClock final : public Clock {
 public:
  uint64_t NowMs() override;
  uint64_t NowUs() override;
  void SleepMs(uint32_t ms) override;
  void CountDown(uint64_t iterations) override;

 private:
  volatile uint64_t scratch_ = 0;  // volatile so the loop is really run
};

}  // namespace tolvex
