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

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The new content goes into a file beside the counter, reaches the disk, and replaces the counter
// by a rename, which is atomic: whatever happens, the counter holds the old number or the new one.
bool ReplaceCounter(const std::string& path, const std::string& content, std::string& error) {
  struct stat existing {};
  if (::stat(path.c_str(), &existing) != 0) {
    error = SystemError(path, errno);
    return false;
  }
  std::string temporary = path + ".XXXXXX";
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) {
    error = SystemError(path, errno);
    return false;
  }
  bool ok = ::fchmod(fd, existing.st_mode & 07777) == 0 && !WriteAll(fd, content) && ::fsync(fd) == 0;
  int failure = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    failure = errno;
  }
  if (ok && ::rename(temporary.c_str(), path.c_str()) != 0) {
    ok = false;
    failure = errno;
  }
  if (!ok) {
    ::unlink(temporary.c_str());
    error = SystemError(path, failure);
    return false;
  }
  // The rename itself must reach the disk before the next unit takes the number.
  const int folder = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    (void)::fsync(folder);  // some file systems refuse fsync on folders; the file is safe already
    ::close(folder);
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
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
    do {
      length = ::read(fd, buffer, sizeof buffer);
    } while (length < 0 && errno == EINTR);
  }
  const int failure = errno;
  ::close(fd);
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
  const std::string lockPath = path + ".lock";
  const int lock = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (lock < 0) {
    error = SystemError(lockPath, errno);
    return false;
  }
  ::close(lock);
  std::string temporary = path + ".XXXXXX";
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) {
    error = SystemError(path, errno);
    return false;
  }
  ::close(fd);
  ::unlink(temporary.c_str());
  return true;
}

SerialCounter::Take SerialCounter::Lock(uint64_t& number, std::string& error,
                                        const std::function<bool()>& stopRequested) {
  Unlock();
  // The counter must exist before a lock file is made beside it: a mistyped name must not start a
  // second numbering from nothing.
  if (!Read(path_, number, error)) return Take::kFailed;

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

bool SerialCounter::AdvanceAndUnlock(std::string& error) {
  const bool ok = lockFd_ >= 0 && ReplaceCounter(path_, std::to_string(number_ + 1) + "\n", error);
  Unlock();
  return ok;
}

void SerialCounter::Unlock() {
  if (lockFd_ < 0) return;
  ::close(lockFd_);  // closing lets go of the lock
  lockFd_ = -1;
}

}  // namespace tolvex
