// What a file the user names holds: raw binary EDID (a whole EDID as a monitor's EEPROM or the
// kernel's connector file holds it) or an EDID report. Shared by the desktop program's File Open
// and tolvex-cli, so both take the same files the same way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "model/edid_block.h"
#include "model/edid_extensions.h"
#include "report/report_reader.h"

namespace tolvex {

// The largest whole EDID: the base block and kMaxExtensionBlocks extensions.
inline constexpr size_t kMaxWholeEdidSize = (1 + kMaxExtensionBlocks) * kEdidSize;

struct EdidInput {
  enum Kind : uint8_t {
    kNeither,    // no dump row, no EDID header, no binary EDID name
    kReport,     // the dump of a report (its extension sections too)
    kBinary,     // raw bytes
    kOversized,  // raw bytes beyond kMaxWholeEdidSize: not one EDID
  };
  Kind kind = kNeither;
  EdidBytes bytes{};
  uint8_t productCodeFormat = 0;
  uint8_t serialFormat = 0;
  EdidExtensions extensions;
  // A report whose dump leaves its layout: the bytes may not be the ones that were saved.
  std::optional<DumpDamage> damage;
};

// *.bin, *.edid and *.raw, in either case.
bool HasBinaryEdidName(std::string_view name);

// Content that starts with the EDID header is binary, whatever the name; otherwise a dump row
// makes a report, and a binary EDID name makes binary bytes of whatever the file holds.
EdidInput ReadEdidInput(std::string_view content, std::string_view name);

}  // namespace tolvex
