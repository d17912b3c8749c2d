// The seam between the Linux routes and the kernel: the files of sysfs and procfs, and the
// device nodes (/dev/i2c-N, /dev/parportN) with their ioctls. The system implementation makes
// the calls; tests and the simulation answer them without a kernel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tolvex {

class KernelFiles {
 public:
  virtual ~KernelFiles() = default;
  // At most `limit` bytes of the file; nothing when it cannot be read.
  virtual std::optional<std::string> ReadFile(const std::string& path, size_t limit = 4096) = 0;
  // The target of a symbolic link as stored; nothing when `path` is not a link.
  virtual std::optional<std::string> ReadLink(const std::string& path) = 0;
  // The names in a folder (links to folders followed), sorted; empty when it cannot be listed.
  virtual std::vector<std::string> ListDirectory(const std::string& path) = 0;
  virtual bool Exists(const std::string& path) = 0;
};

// Every call returns what the system call returns, or -errno on failure.
class KernelDevices {
 public:
  virtual ~KernelDevices() = default;
  virtual int Open(const std::string& path, int flags) = 0;
  virtual int Close(int fd) = 0;
  // `argument` is the ioctl's third argument: a value, or a pointer cast to an integer.
  virtual int Ioctl(int fd, unsigned long request, uintptr_t argument) = 0;
};

// Where the kernel's trees are; tests and --sysfs-root point them elsewhere.
struct KernelPaths {
  std::string sysfs = "/sys";
  std::string procfs = "/proc";
};

// Files are read as every file the user names is: regular files only, and nothing waits (a FIFO
// in a copied tree is refused, not waited on).
class SystemKernelFiles final : public KernelFiles {
 public:
  SystemKernelFiles() = default;
  // Only what lies below these folders is read, wherever a link inside them points: a tree given
  // as the sysfs root is never mixed with the machine's own.
  explicit SystemKernelFiles(const std::vector<std::string>& roots);

  std::optional<std::string> ReadFile(const std::string& path, size_t limit = 4096) override;
  std::optional<std::string> ReadLink(const std::string& path) override;
  std::vector<std::string> ListDirectory(const std::string& path) override;
  bool Exists(const std::string& path) override;

 private:
  // Whether `path` (through its own link too when `followLast`) stays below a root.
  bool Inside(const std::string& path, bool followLast) const;

  std::vector<std::string> roots_;  // resolved; none: the whole file system
};

class SystemKernelDevices final : public KernelDevices {
 public:
  int Open(const std::string& path, int flags) override;
  int Close(int fd) override;
  int Ioctl(int fd, unsigned long request, uintptr_t argument) override;
};

// A path with every symbolic link resolved through `files` (as realpath does), so that a
// device's ancestors can be walked; the path as far as it resolved when a part is missing.
std::string ResolvePath(KernelFiles& files, const std::string& path);
// The same with the links told by `linkAt` (the target stored at a path whose folders are already
// resolved); the last component's own link is followed only when `followLast`.
std::string ResolvePathWith(const std::string& path, bool followLast,
                            const std::function<std::optional<std::string>(const std::string&)>& linkAt);
// "/a/b/c" as {"a", "b", "c"}, and back (an empty list is "/").
std::vector<std::string> PathComponents(const std::string& path);
std::string JoinPath(const std::vector<std::string>& components);
// The last component of a path.
std::string BaseName(const std::string& path);
// The path without its last component.
std::string ParentPath(const std::string& path);

}  // namespace tolvex
