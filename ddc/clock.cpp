#include "ddc/clock.h"

#include <chrono>
#include <thread>

namespace tolvex {

uint64_t SystemClock::NowMs() {
  using namespace std::chrono;
  return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

uint64_t SystemClock::NowUs() {
  using namespace std::chrono;
  return static_cast<uint64_t>(duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

void SystemClock::SleepMs(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void SystemClock::CountDown(uint64_t iterations) {
  scratch_ = iterations;
  while (scratch_ != 0) {
    const uint64_t left = scratch_;
    scratch_ = left - 1;
  }
}

}  // namespace tolvex
