// The counter file of a production line: the next serial number, in decimal, alone in a text file.
//
// A number is taken for one unit under a lock that other programs on the same counter wait for,
// and reserved before the unit is programmed: number + 1 is written beside the file, flushed to
// the disk and renamed over it while the lock is held. A unit that fails gives its number back
// the same way; a kill or a power cut at any moment after the reservation leaves the number
// unused, never handed out twice. The counter is reached by its real name (a symbolic link is
// followed, so the link stays a link) and must have that one name: a hard link would keep the
// old number behind the rename. The lock is on REAL.lock, which is never replaced, so that it
// still guards the counter after each rename.
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
  // While locked: number + 1 reaches the disk, so the number is the unit's whatever happens next.
  // False with the reason in `error`, the counter as it was.
  bool Reserve(std::string& error);
  // While locked, after Reserve: the unit did not get the number, so the counter holds it again.
  bool GiveBack(std::string& error);
  void Unlock();

  const std::string& Path() const { return path_; }
  // The lock file beside the real counter.
  std::string LockPath() const;

  // The number the counter holds, without locking; false with the reason in `error`.
  static bool Read(const std::string& path, uint64_t& number, std::string& error);
  // Whether the counter can be read, locked and replaced, so that a run does not find out only
  // at its first unit; false with the reason in `error`.
  static bool CheckUsable(const std::string& path, uint64_t& number, std::string& error);

 private:
  bool Store(uint64_t number, std::string& error);

  std::string path_;
  std::string realPath_;  // path_ with its links resolved, once locked
  int lockFd_ = -1;
  uint64_t number_ = 0;
};

}  // namespace tolvex
