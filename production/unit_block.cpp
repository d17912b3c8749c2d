#include "production/unit_block.h"

#include <string>

#include "ddc/format_text.h"
#include "production/production_texts.h"

namespace tolvex {

namespace {

// A descriptor's payload; a longer text would be cut, and two units could end up alike.
constexpr size_t kDescriptorTextSize = 13;
// The binary field in the ASCII serial format.
constexpr size_t kAsciiSerialSize = 4;

// The first monitor descriptor with the serial number tag; -1 when there is none.
int FindSerialDescriptor(EdidBlock& block) {
  for (int index = 0; index < kDescriptorCount; ++index) {
    block.SelectDescriptor(static_cast<unsigned>(index));
    const DescriptorTag tag = block.GetDescriptorTag();
    if (tag.isDescriptor && tag.tag == kTagSerialNumber) return index;
  }
  return -1;
}

bool WritesBinary(SerialField field) { return field != SerialField::kDescriptor; }
bool WritesDescriptor(SerialField field) { return field != SerialField::kBinary; }

bool WriteBinarySerial(EdidBlock& block, uint8_t serialFormat, uint64_t number, const std::string& text,
                       std::string& error) {
  if (serialFormat & kSerialUnused) {
    error = production_texts::kSerialUnused;
    return false;
  }
  if (serialFormat == kSerialAscii) {
    if (text.size() > kAsciiSerialSize) {
      error = FormatText(production_texts::kAsciiTooLong, text.c_str());
      return false;
    }
    block.SetSerialText(text);
    return true;
  }
  if (number > UINT32_MAX) {
    error = FormatText(production_texts::kNumberTooLarge, std::to_string(number).c_str());
    return false;
  }
  block.SetSerialNumber(static_cast<uint32_t>(number));
  return true;
}

bool WriteDescriptorSerial(EdidBlock& block, const std::string& text, std::string& error) {
  if (FindSerialDescriptor(block) < 0) {
    error = production_texts::kNoSerialDescriptor;
    return false;
  }
  if (text.size() > kDescriptorTextSize) {
    error = FormatText(production_texts::kTextTooLong, text.c_str());
    return false;
  }
  block.SetDescriptorText(kTagSerialNumber, text);  // the text, 0x0A, then 0x20 up to 13 bytes
  return true;
}

}  // namespace

const std::vector<std::string_view>& SerialFieldNames() {
  static const std::vector<std::string_view> names = {"binary", "descriptor", "both"};
  return names;
}

std::optional<SerialField> ParseSerialField(std::string_view name) {
  const std::vector<std::string_view>& names = SerialFieldNames();
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i] == name) return static_cast<SerialField>(i);
  }
  return std::nullopt;
}

std::optional<UnitBlock> MakeUnitBlock(const EdidBytes& base, uint8_t serialFormat, std::optional<uint64_t> number,
                                       const CalendarDate& today, const UnitPlan& plan, std::string& error) {
  EdidBlock block([today] { return today; });
  block.Bytes() = base;
  if (plan.stampDate) {
    block.SetWeek(WeekOfManufacture(today));
    block.SetYear(today.year);
  }

  UnitBlock unit;
  if (number) {
    unit.serialNumber = *number;
    unit.serialText = plan.text.Expand({*number, block.GetYear(), block.GetWeek()});
    if (WritesBinary(plan.field) && !WriteBinarySerial(block, serialFormat, *number, unit.serialText, error)) {
      return std::nullopt;
    }
    if (WritesDescriptor(plan.field) && !WriteDescriptorSerial(block, unit.serialText, error)) return std::nullopt;
  } else {
    unit.serialNumber = block.GetSerialNumber();
    if (FindSerialDescriptor(block) >= 0) unit.serialText = block.GetDescriptorText();
  }
  block.UpdateChecksum();
  unit.bytes = block.Bytes();
  return unit;
}

}  // namespace tolvex
