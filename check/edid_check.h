// The conformance check: what is wrong with an EDID, and where. It reads a whole EDID (the base
// block followed by its extension blocks) and returns findings, each pointing at the bytes it
// concerns. Failures break the EDID 1.0-1.3 rules (or E-EDID 1.4 where the block claims 1.4);
// warnings are legal but likely mistakes or compatibility traps. Nothing here prints or throws.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tolvex {

enum class CheckLevel { kFailure, kWarning };

struct CheckFinding {
  CheckLevel level;
  int first;  // byte offsets in the whole EDID, first <= last
  int last;
  std::string_view rule;  // a short name from check/check_texts.h
  std::string text;       // one sentence: what is wrong and what the right value would be

  bool operator==(const CheckFinding&) const = default;
};

using CheckFindings = std::vector<CheckFinding>;

// Findings in byte order (failures before warnings on the same first byte). `currentYear` bounds
// the year of manufacture.
CheckFindings CheckEdid(std::span<const uint8_t> edid, int currentYear);
// The same, with the year from the local date.
CheckFindings CheckEdid(std::span<const uint8_t> edid);

// The same for a whole EDID whose byte 127 was put right when it was loaded: where its source
// stored another value, a warning says what it stored. `fromMonitor` names the source.
CheckFindings CheckEdid(std::span<const uint8_t> edid, std::optional<uint8_t> storedChecksum, bool fromMonitor);

bool HasFailure(const CheckFindings& findings);

// "failure: bytes 8-9: manufacturer: ..." as the command-line tool prints it after the file name.
std::string FormatFinding(const CheckFinding& finding);

}  // namespace tolvex
