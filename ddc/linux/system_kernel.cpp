#include <dirent.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "ddc/linux/kernel.h"
#include "util/file_io.h"

namespace tolvex {

SystemKernelFiles::SystemKernelFiles(const std::vector<std::string>& roots) {
  for (const std::string& root : roots) roots_.push_back(ResolvedPath(root));
}

bool SystemKernelFiles::Inside(const std::string& path, bool followLast) const {
  if (roots_.empty()) return true;
  const std::string real = followLast ? ResolvedPath(path) : ResolvedPath(ParentPath(path)) + "/" + BaseName(path);
  return std::any_of(roots_.begin(), roots_.end(), [&](const std::string& root) {
    return real == root || (real.size() > root.size() && real.compare(0, root.size(), root) == 0 &&
                            (root.back() == '/' || real[root.size()] == '/'));
  });
}

std::optional<std::string> SystemKernelFiles::ReadFile(const std::string& path, size_t limit) {
  if (!Inside(path, true)) return std::nullopt;
  FileContent content = ReadInputFile(path, limit, Devices::kRefused, Overflow::kCut);
  if (content.error) return std::nullopt;
  return std::move(content.bytes);
}

std::optional<std::string> SystemKernelFiles::ReadLink(const std::string& path) {
  if (!Inside(path, false)) return std::nullopt;
  char buffer[4096];
  const ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer);
  if (n < 0 || static_cast<size_t>(n) == sizeof buffer) return std::nullopt;
  return std::string(buffer, static_cast<size_t>(n));
}

std::vector<std::string> SystemKernelFiles::ListDirectory(const std::string& path) {
  std::vector<std::string> names;
  if (!Inside(path, true)) return names;
  DIR* dir = ::opendir(path.c_str());
  if (!dir) return names;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

bool SystemKernelFiles::Exists(const std::string& path) {
  struct stat info {};
  return Inside(path, true) && ::stat(path.c_str(), &info) == 0;
}

int SystemKernelDevices::Open(const std::string& path, int flags) {
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
  return fd < 0 ? -errno : fd;
}

int SystemKernelDevices::Close(int fd) { return ::close(fd) < 0 ? -errno : 0; }

int SystemKernelDevices::Ioctl(int fd, unsigned long request, uintptr_t argument) {
  int result;
  do {
    result = ::ioctl(fd, request, argument);
  } while (result < 0 && errno == EINTR);
  return result < 0 ? -errno : result;
}

}  // namespace tolvex
