// One unit's block on a production line: the base block with the unit's own serial number (in the
// binary field, in the text of the serial number descriptor, or both), optionally stamped with
// today's week and year, and carrying the checksum of its own bytes. A function of the base
// block's bytes alone, so whatever else the ordinary EDID Write sends goes out unchanged.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/edid_block.h"
#include "model/local_date.h"
#include "production/serial_template.h"

namespace tolvex {

enum class SerialField : uint8_t { kBinary, kDescriptor, kBoth };

// "binary", "descriptor" and "both", in the order of SerialField.
const std::vector<std::string_view>& SerialFieldNames();
std::optional<SerialField> ParseSerialField(std::string_view name);

// How each unit's serial number and date differ from the base block's.
struct UnitPlan {
  SerialField field = SerialField::kBinary;
  SerialTemplate text;  // of the descriptor, and of the binary field in the ASCII serial format
  bool stampDate = false;
};

struct UnitBlock {
  EdidBytes bytes{};
  // What identifies the unit in the log: the template's text and the counter's number, or, without
  // a per-unit serial, the block's serial descriptor text and binary serial number.
  std::string serialText;
  uint64_t serialNumber = 0;
};

// The block of the unit with counter value `number` (none: the unit keeps the block's own serial),
// made on `today`; nothing, with the reason in `error`, when the serial does not fit where it is
// to go. `serialFormat` is the block's serial format (hexadecimal, decimal, ASCII, or unused).
std::optional<UnitBlock> MakeUnitBlock(const EdidBytes& base, uint8_t serialFormat, std::optional<uint64_t> number,
                                       const CalendarDate& today, const UnitPlan& plan, std::string& error);

}  // namespace tolvex
