// The counter file of a production line: the next serial number, in decimal, alone in a text file.
//
// A number is taken for one unit under a lock that other programs on the same counter wait for,
// and the counter advances only after that unit's write was verified: the new number is written
// beside the file, flushed to the disk and renamed over it before the lock goes. So a crash or a
// power cut loses at most the advance of the unit under way, and two programs never hand out the
// same number. The lock is on COUNTER.lock, which is never replaced, so that it still guards the
// counter after each rename.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace tolvex {

class SerialCounter {
 public:
  explicit SerialCounter(std::string path) : path_(std::move(path)) {}
  ~SerialCounter() { Unlock(); }

  SerialCounter(const SerialCounter&) = delete;
  SerialCounter& operator=(const SerialCounter&) = delete;

  enum class Take : uint8_t { kTaken, kFailed, kStopped };
  // Locks the counter (waiting while another program holds it, until `stopRequested` says so)
  // and reads the next number into `number`. kFailed with the reason in `error`.
  Take Lock(uint64_t& number, std::string& error, const std::function<bool()>& stopRequested = {});
  // The unit got the number: number + 1 reaches the disk, then the lock goes. False with the
  // reason in `error`; the lock goes in any case.
  bool AdvanceAndUnlock(std::string& error);
  // The unit did not get the number: the counter stays, the lock goes.
  void Unlock();

  const std::string& Path() const { return path_; }
  std::string LockPath() const { return path_ + ".lock"; }

  // The number the counter holds, without locking; false with the reason in `error`.
  static bool Read(const std::string& path, uint64_t& number, std::string& error);
  // Whether the counter can be read, locked and replaced, so that a run does not find out only
  // after its first verified unit; false with the reason in `error`.
  static bool CheckUsable(const std::string& path, uint64_t& number, std::string& error);

 private:
  std::string path_;
  int lockFd_ = -1;
  uint64_t number_ = 0;
};

}  // namespace tolvex
