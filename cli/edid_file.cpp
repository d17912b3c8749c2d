#include "cli/edid_file.h"

#include <algorithm>

#include "cli/cli_texts.h"
#include "report/report_reader.h"
#include "util/file_io.h"

namespace tolvex {

EdidFile ParseEdidFile(const std::string& content) {
  EdidFile file;
  if (const auto report = ReadReport(content)) {
    // A damaged dump would give a different block than the one saved; say where it breaks.
    if (report->damage) {
      file.error = DescribeDumpDamage(*report->damage);
      return file;
    }
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
  // Regular files and devices that end (sysfs attributes); a FIFO is refused, never waited on,
  // and the size is counted while reading, since /sys files report 4096 whatever they hold.
  const FileContent content = ReadInputFile(path.string(), kMaxEdidFileSize);
  if (content.error) {
    EdidFile file;
    file.error = DescribeFileError(content.error);
    return file;
  }
  return ParseEdidFile(content.bytes);
}

}  // namespace tolvex
