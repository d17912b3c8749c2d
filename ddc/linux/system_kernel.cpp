#include <dirent.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "ddc/linux/kernel.h"

namespace tolvex {

std::optional<std::string> SystemKernelFiles::ReadFile(const std::string& path, size_t limit) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string content;
  char buffer[4096];
  while (content.size() < limit) {
    const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, limit - content.size()));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    content.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return content;
}

std::optional<std::string> SystemKernelFiles::ReadLink(const std::string& path) {
  char buffer[4096];
  const ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer);
  if (n < 0 || static_cast<size_t>(n) == sizeof buffer) return std::nullopt;
  return std::string(buffer, static_cast<size_t>(n));
}

std::vector<std::string> SystemKernelFiles::ListDirectory(const std::string& path) {
  std::vector<std::string> names;
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
  return ::stat(path.c_str(), &info) == 0;
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
