#include "cli/edid_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "cli/cli_texts.h"
#include "report/report_reader.h"

namespace tolvex {

EdidFile ParseEdidFile(const std::string& content) {
  EdidFile file;
  if (const auto report = ReadReport(content)) {
    file.ok = true;
    file.bytes = report->bytes;
    file.edid.assign(file.bytes.begin(), file.bytes.end());
    file.productCodeFormat = report->productCodeFormat;
    file.serialFormat = report->serialFormat;
    return file;
  }
  if (content.size() >= kEdidSize &&
      std::equal(kEdidHeader.begin(), kEdidHeader.end(), content.begin(),
                 [](uint8_t h, char c) { return h == static_cast<uint8_t>(c); })) {
    file.ok = true;
    std::transform(content.begin(), content.begin() + kEdidSize, file.bytes.begin(),
                   [](char c) { return static_cast<uint8_t>(c); });
    file.edid.assign(content.begin(), content.begin() + static_cast<long>(std::min(content.size(), kMaxEdidBlocks * kEdidSize)));
    return file;
  }
  file.error = cli_texts::kNoEdidContent;
  return file;
}

namespace {

// Closes the descriptor however the load ends.
class OpenFile {
 public:
  explicit OpenFile(const char* path) : fd_(::open(path, O_RDONLY | O_CLOEXEC)) {}
  ~OpenFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  int Fd() const { return fd_; }

 private:
  int fd_;
};

// Reads to the end of the file, or one byte past the limit: the size that fstat gives is a first
// guess only (files in /sys report 4096 or 0 whatever they hold). False with errno on failure.
bool ReadAll(int fd, size_t sizeGuess, std::string& content) {
  content.resize(std::min<size_t>(std::max<size_t>(sizeGuess + 1, 256), kMaxEdidFileSize + 1));
  size_t filled = 0;
  while (filled < content.size()) {
    const ssize_t n = ::read(fd, content.data() + filled, content.size() - filled);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) break;
    filled += static_cast<size_t>(n);
    if (filled == content.size() && content.size() <= kMaxEdidFileSize) {
      content.resize(std::min<size_t>(content.size() * 2, kMaxEdidFileSize + 1));
    }
  }
  content.resize(filled);
  return true;
}

}  // namespace

EdidFile LoadEdidFile(const std::filesystem::path& path) {
  EdidFile file;
  const OpenFile in(path.c_str());
  struct stat info {};
  if (in.Fd() < 0 || ::fstat(in.Fd(), &info) != 0) {
    file.error = std::strerror(errno);
    return file;
  }
  if (S_ISDIR(info.st_mode)) {
    file.error = std::strerror(EISDIR);
    return file;
  }
  if (S_ISREG(info.st_mode) && static_cast<uintmax_t>(info.st_size) > kMaxEdidFileSize) {
    file.error = cli_texts::kFileTooLarge;
    return file;
  }
  std::string content;
  if (!ReadAll(in.Fd(), S_ISREG(info.st_mode) ? static_cast<size_t>(info.st_size) : 0, content)) {
    file.error = std::strerror(errno);
    return file;
  }
  if (content.size() > kMaxEdidFileSize) {
    file.error = cli_texts::kFileTooLarge;
    return file;
  }
  return ParseEdidFile(content);
}

}  // namespace tolvex
