#include "cli/edid_file.h"

#include <algorithm>

#include "cli/cli_texts.h"
#include "report/edid_input.h"
#include "util/file_io.h"

namespace tolvex {

EdidFile ParseEdidFile(const std::string& content, std::string_view name) {
  EdidFile file;
  EdidInput input = ReadEdidInput(content, name);
  switch (input.kind) {
    case EdidInput::kNeither: file.error = cli_texts::kNoEdidContent; return file;
    case EdidInput::kOversized: file.error = cli_texts::kBinaryTooLong; return file;
    case EdidInput::kReport:
      // A damaged dump would give a different block than the one saved; say where it breaks.
      if (input.damage) {
        file.error = DescribeDumpDamage(*input.damage);
        return file;
      }
      break;
    case EdidInput::kBinary: break;
  }
  file.ok = true;
  file.bytes = input.bytes;
  file.productCodeFormat = input.productCodeFormat;
  file.serialFormat = input.serialFormat;
  file.extensions = std::move(input.extensions);
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
  return ParseEdidFile(content.bytes, path.filename().string());
}

}  // namespace tolvex
