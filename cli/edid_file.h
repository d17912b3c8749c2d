// Loading an EDID block from a file the user names: an EDID report (.ddc) or raw binary EDID.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "model/edid_block.h"
#include "model/edid_extensions.h"
#include "report/report_reader.h"

namespace tolvex {

// Files longer than this are refused, as the document refuses them.
inline constexpr size_t kMaxEdidFileSize = kMaxReportFileSize;

struct EdidFile {
  bool ok = false;
  std::string error;  // why the file gave no block
  EdidBytes bytes{};
  uint8_t productCodeFormat = 0;
  uint8_t serialFormat = 0;
  // The extension blocks; missingBytes > 0 when the file holds less than its EDID announces.
  EdidExtensions extensions;
};

// A report gives its dump, its extension sections and its two format settings (a damaged dump
// is an error naming the line); binary content (anything that starts with the EDID header, as the
// kernel's connector files hold, or a file named *.bin, *.edid or *.raw) gives the base block and
// the extension blocks after it.
EdidFile LoadEdidFile(const std::filesystem::path& path);
EdidFile ParseEdidFile(const std::string& content, std::string_view name = {});

}  // namespace tolvex
