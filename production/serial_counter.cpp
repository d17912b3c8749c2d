#include "production/serial_counter.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstring>
#include <thread>

#include "ddc/format_text.h"
#include "util/file_io.h"
#include "util/file_texts.h"
#include "production/production_texts.h"

namespace tolvex {

namespace {

// A counter file is a number and a line end; anything much longer is not one.
constexpr size_t kMaxCounterFile = 64;
// How often a program waiting for the lock looks again (real time: the holder is another program).
constexpr auto kLockRetry = std::chrono::milliseconds(50);

std::string SystemError(const std::string& path, int error) {
  return FormatText(production_texts::kCounterFileError, path.c_str(), std::strerror(error));
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool ParseCounter(std::string_view text, uint64_t& number) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  if (text.empty() || text.front() < '0' || text.front() > '9') return false;
  const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), number);
  return status == std::errc() && end == text.data() + text.size();
}

// What replacing the counter by a rename needs of it: one name, and the user's right to write it.
bool CheckReplaceable(const std::string& path, const std::string& real, std::string& error) {
  struct stat info {};
  if (::stat(real.c_str(), &info) != 0) {
    error = SystemError(path, errno);
    return false;
  }
  if (info.st_nlink > 1) {
    error = FormatText(production_texts::kCounterHardLinked, path.c_str(), static_cast<int>(info.st_nlink));
    return false;
  }
  if (::faccessat(AT_FDCWD, real.c_str(), W_OK, AT_EACCESS) != 0) {
    error = errno == EACCES || errno == EROFS
                ? FormatText(production_texts::kCounterFileError, path.c_str(), file_texts::kNotWritable)
                : SystemError(path, errno);
    return false;
  }
  return true;
}

}  // namespace

bool SerialCounter::Read(const std::string& path, uint64_t& number, std::string& error) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    error = errno == ENOENT ? FormatText(production_texts::kNoCounter, path.c_str(), path.c_str())
                            : SystemError(path, errno);
    return false;
  }
  struct stat info {};
  char buffer[kMaxCounterFile + 1];
  ssize_t length = -1;
  const bool folder = ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
  if (S_ISREG(info.st_mode)) {
    do {
      length = ::read(fd, buffer, sizeof buffer);
    } while (length < 0 && errno == EINTR);
  }
  const int failure = errno;
  ::close(fd);
  if (folder) {
    error = FormatText(production_texts::kCounterIsFolder, path.c_str());
    return false;
  }
  if (length < 0 && S_ISREG(info.st_mode)) {
    error = SystemError(path, failure);
    return false;
  }
  if (length < 0 || static_cast<size_t>(length) > kMaxCounterFile ||
      !ParseCounter(std::string_view(buffer, static_cast<size_t>(length)), number)) {
    error = FormatText(production_texts::kBadCounter, path.c_str());
    return false;
  }
  return true;
}

bool SerialCounter::CheckUsable(const std::string& path, uint64_t& number, std::string& error) {
  if (!Read(path, number, error)) return false;
  const std::string real = ResolvedPath(path);
  if (!CheckReplaceable(path, real, error)) return false;
  const std::string lockPath = real + ".lock";
  const int lock = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (lock < 0) {
    error = SystemError(lockPath, errno);
    return false;
  }
  ::close(lock);
  // The replacement is made beside the counter, so its folder must take a new file.
  std::string temporary = real + ".XXXXXX";
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) {
    error = SystemError(path, errno);
    return false;
  }
  ::close(fd);
  ::unlink(temporary.c_str());
  return true;
}

std::string SerialCounter::LockPath() const { return (realPath_.empty() ? ResolvedPath(path_) : realPath_) + ".lock"; }

SerialCounter::Take SerialCounter::Lock(uint64_t& number, std::string& error,
                                        const std::function<bool()>& stopRequested) {
  Unlock();
  // The counter must exist before a lock file is made beside it: a mistyped name must not start a
  // second numbering from nothing.
  if (!Read(path_, number, error)) return Take::kFailed;
  // Every name of one counter leads to one lock and one file to replace.
  realPath_ = ResolvedPath(path_);
  if (!CheckReplaceable(path_, realPath_, error)) return Take::kFailed;

  lockFd_ = ::open(LockPath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (lockFd_ < 0) {
    error = SystemError(LockPath(), errno);
    return Take::kFailed;
  }
  while (::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK && errno != EINTR) {
      error = SystemError(LockPath(), errno);
      Unlock();
      return Take::kFailed;
    }
    if (stopRequested && stopRequested()) {
      Unlock();
      return Take::kStopped;
    }
    std::this_thread::sleep_for(kLockRetry);
  }
  // What counts is the number under the lock: the holder before may have advanced it.
  if (!Read(path_, number, error)) {
    Unlock();
    return Take::kFailed;
  }
  if (number == UINT64_MAX) {
    error = FormatText(production_texts::kCounterAtEnd, path_.c_str(), std::to_string(number).c_str());
    Unlock();
    return Take::kFailed;
  }
  number_ = number;
  return Take::kTaken;
}

bool SerialCounter::Store(uint64_t number, std::string& error) {
  if (lockFd_ < 0) return false;
  if (const FileError failed = WriteFileAtomically(realPath_, std::to_string(number) + "\n")) {
    error = FormatText(production_texts::kCounterFileError, path_.c_str(), DescribeFileError(failed).c_str());
    return false;
  }
  return true;
}

bool SerialCounter::Reserve(std::string& error) { return Store(number_ + 1, error); }

bool SerialCounter::GiveBack(std::string& error) { return Store(number_, error); }

void SerialCounter::Unlock() {
  if (lockFd_ < 0) return;
  ::close(lockFd_);  // closing lets go of the lock
  lockFd_ = -1;
}

}  // namespace tolvex
