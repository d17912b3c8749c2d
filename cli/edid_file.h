// Loading an EDID block from a file the user names: an EDID report (.ddc) or raw binary EDID.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "model/edid_block.h"

namespace tolvex {

// Files longer than this are refused, as the document refuses them.
inline constexpr std::uintmax_t kMaxEdidFileSize = 1'048'575;

// The most blocks an EDID has: the base block and 255 extension blocks.
inline constexpr size_t kMaxEdidBlocks = 256;

struct EdidFile {
  bool ok = false;
  std::string error;  // why the file gave no block
  EdidBytes bytes{};
  // The whole EDID as the file holds it: a report's block, or binary content with its extension
  // blocks (at most kMaxEdidBlocks blocks of it).
  std::vector<uint8_t> edid;
  uint8_t productCodeFormat = 0;
  uint8_t serialFormat = 0;
};

// A report gives its dump and its two format settings; binary content (128 bytes or more that
// start with the EDID header, as the kernel's connector files hold) gives its first 128 bytes as
// the block, and all of it as the whole EDID.
EdidFile LoadEdidFile(const std::filesystem::path& path);
EdidFile ParseEdidFile(const std::string& content);

}  // namespace tolvex
