#include "util/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "util/file_texts.h"

namespace tolvex {

namespace {

constexpr size_t kFirstRead = 256;

// Closes on every path out, so an early return never leaks the descriptor.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  int Get() const { return fd_; }
  // The result of close() counts on a file being written: it may report a delayed write error.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool IsReadableKind(mode_t mode, Devices devices) {
  return S_ISREG(mode) || (S_ISCHR(mode) && devices == Devices::kAccepted);
}

// To the end, or one byte past the limit. The buffer starts at the size the caller expects and
// doubles from there, so a small file costs no more than its bytes and an endless one stops.
FileError ReadAll(int fd, size_t sizeGuess, size_t maxSize, Overflow overflow, std::string& bytes) {
  bytes.resize(std::min(std::max<size_t>(sizeGuess + 1, kFirstRead), maxSize + 1));
  size_t filled = 0;
  for (;;) {
    const ssize_t got = ::read(fd, bytes.data() + filled, bytes.size() - filled);
    if (got < 0) {
      if (errno == EINTR) continue;
      return FileError::System(errno);
    }
    if (got == 0) break;
    filled += static_cast<size_t>(got);
    if (filled > maxSize && overflow == Overflow::kCut) {
      filled = maxSize;
      break;
    }
    if (filled > maxSize) return {FileProblem::kTooLarge, 0};
    if (filled == bytes.size()) bytes.resize(std::min(bytes.size() * 2, maxSize + 1));
  }
  bytes.resize(filled);
  return {};
}

// The file the content finally lands in: a link's target, so the link itself survives.
std::string ResolveTarget(const std::string& path) {
  struct stat link {};
  if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return path;
  return ResolvedPath(path);
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

mode_t NewFileMode() {
  // The process's umask can only be read by setting it; the program has one thread here.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// The temporary file holds the complete content, flushed to the disk, before anything else is
// touched; on failure it is removed and the target was never opened.
FileError WriteTemporary(int fd, std::string_view content, const struct stat* existing) {
  if (existing) {
    if (::fchmod(fd, existing->st_mode & 07777) != 0) return FileError::System(errno);
    // Keeping the owner needs privilege; without it the file is the writer's, as any new file.
    (void)!::fchown(fd, existing->st_uid, existing->st_gid);
  } else if (::fchmod(fd, NewFileMode()) != 0) {
    return FileError::System(errno);
  }
  if (FileError error = WriteAll(fd, content)) return error;
  if (::fsync(fd) != 0) return FileError::System(errno);
  return {};
}

void SyncFolder(const std::string& folder) {
  // The rename is done and the content is safe in the new file; a folder that cannot be flushed
  // (some file systems refuse fsync on folders) does not make the save a failure.
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)::fsync(fd);
  ::close(fd);
}

}  // namespace

std::string ResolvedPath(const std::string& path) {
  char resolved[PATH_MAX];
  return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat aInfo {}, bInfo {};
  if (::stat(a.c_str(), &aInfo) == 0 && ::stat(b.c_str(), &bInfo) == 0) {
    return aInfo.st_dev == bInfo.st_dev && aInfo.st_ino == bInfo.st_ino;
  }
  std::error_code failed;
  const std::filesystem::path aPath = std::filesystem::weakly_canonical(a, failed);
  if (failed) return false;
  const std::filesystem::path bPath = std::filesystem::weakly_canonical(b, failed);
  return !failed && aPath == bPath;
}

FileError WriteAll(int fd, std::string_view content) {
  const char* data = content.data();
  size_t left = content.size();
  while (left > 0) {
    const ssize_t written = ::write(fd, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return FileError::System(errno);
    }
    // A regular file takes at least one byte or says why not; zero means there is no room.
    if (written == 0) {
      errno = ENOSPC;
      return FileError::System(ENOSPC);
    }
    data += written;
    left -= static_cast<size_t>(written);
  }
  return {};
}

std::string DescribeFileError(const FileError& error) {
  switch (error.problem) {
    case FileProblem::kNone: return {};
    case FileProblem::kSystem: return std::strerror(error.error);
    case FileProblem::kNotAFile: return file_texts::kNotAFile;
    case FileProblem::kTooLarge: return file_texts::kFileTooLarge;
    case FileProblem::kNotWritable: return file_texts::kNotWritable;
  }
  return {};
}

FileContent ReadInputFile(const std::string& path, size_t maxSize, Devices devices, Overflow overflow) {
  FileContent content;
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
  Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (fd.Get() < 0) {
    content.error = FileError::System(errno);
    return content;
  }
  struct stat status {};
  if (::fstat(fd.Get(), &status) != 0) {
    content.error = FileError::System(errno);
    return content;
  }
  if (S_ISDIR(status.st_mode)) {
    content.error = FileError::System(EISDIR);
    return content;
  }
  if (!IsReadableKind(status.st_mode, devices)) {
    content.error = {FileProblem::kNotAFile, 0};
    return content;
  }
  // Sysfs and /proc files report a size that is not theirs; only a regular file's size is trusted
  // up front, and every file is counted again while it is read.
  if (S_ISREG(status.st_mode) && static_cast<uintmax_t>(status.st_size) > maxSize && overflow == Overflow::kTooLarge) {
    content.error = {FileProblem::kTooLarge, 0};
    return content;
  }
  const size_t sizeGuess = S_ISREG(status.st_mode) ? std::min(static_cast<size_t>(status.st_size), maxSize) : 0;
  content.error = ReadAll(fd.Get(), sizeGuess, maxSize, overflow, content.bytes);
  if (content.error) content.bytes.clear();
  return content;
}

FileError WriteFileAtomically(const std::string& path, std::string_view content) {
  const std::string target = ResolveTarget(path);
  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (!exists && errno != ENOENT) return FileError::System(errno);
  if (exists) {
    if (S_ISDIR(existing.st_mode)) return FileError::System(EISDIR);
    if (!S_ISREG(existing.st_mode)) return {FileProblem::kNotAFile, 0};
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
      return errno == EACCES || errno == EROFS ? FileError{FileProblem::kNotWritable, 0} : FileError::System(errno);
    }
  }

  const std::string folder = FolderOf(target);
  std::string temporary = folder + "/." + NameOf(target) + ".XXXXXX";
  Descriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
  if (fd.Get() < 0) return FileError::System(errno);
  FileError error = WriteTemporary(fd.Get(), content, exists ? &existing : nullptr);
  if (!error && !fd.Close()) error = FileError::System(errno);
  if (!error && ::rename(temporary.c_str(), target.c_str()) != 0) error = FileError::System(errno);
  if (error) {
    ::unlink(temporary.c_str());
    return error;
  }
  SyncFolder(folder);
  return {};
}

}  // namespace tolvex
