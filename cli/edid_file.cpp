#include "cli/edid_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>

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

EdidFile LoadEdidFile(const std::filesystem::path& path) {
  EdidFile file;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    file.error = std::strerror(errno);
    return file;
  }
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    file.error = std::strerror(EISDIR);
    return file;
  }
  // Read one byte past the limit rather than trusting the size: /sys files report 4096.
  std::string content;
  content.resize(kMaxEdidFileSize + 1);
  in.read(content.data(), static_cast<std::streamsize>(content.size()));
  if (in.bad()) {
    file.error = std::strerror(errno);
    return file;
  }
  content.resize(static_cast<size_t>(in.gcount()));
  if (content.size() > kMaxEdidFileSize) {
    file.error = cli_texts::kFileTooLarge;
    return file;
  }
  return ParseEdidFile(content);
}

}  // namespace tolvex
