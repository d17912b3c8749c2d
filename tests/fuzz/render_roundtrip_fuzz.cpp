// Field setters with any argument, then render and read back: any 128-byte block with the
// header, in every display format, comes back byte for byte with its formats, also through the
// CLI's file reader.
#include <cmath>

#include "cli/edid_file.h"
#include "fuzz_support.h"
#include "report/edid_report.h"
#include "report/report_reader.h"

using namespace tolvex;

namespace {

constexpr uint8_t kProductCodeFormats[] = {0x00, kProductCodeDecimal, kProductCodeSwapped,
                                           kProductCodeDecimal | kProductCodeSwapped};
constexpr uint8_t kSerialFormats[] = {kSerialHex, kSerialDecimal, kSerialAscii, kSerialUnused};

// The setters that take numbers a user types, with whatever the input holds.
void ApplySetters(EdidBlock& block, fuzz::InputReader& input) {
  for (int steps = input.Byte() % 8; steps > 0; --steps) {
    const uint8_t which = input.Byte();
    switch (which % 10) {
      case 0: block.SetYear(input.Take<int>()); break;
      case 1: block.SetWeek(input.Take<int>()); break;
      case 2: block.SetGamma(input.Take<float>()); break;
      case 3: block.SelectDescriptor(which >> 4); block.SetPixelClock(input.Take<float>()); break;
      case 4: block.SetStdTimingWidth(input.Take<int>(), input.Take<unsigned>()); break;
      case 5: block.SetStdTimingRefresh(input.Take<int>(), input.Take<unsigned>()); break;
      case 6: {
        Chromaticity xy{};
        for (float& value : xy) value = input.Take<float>();
        block.SetChromaticity(xy);
        break;
      }
      case 7:
        block.SelectDescriptor(which >> 4);
        block.SetColorPoint(input.Byte(), input.Byte(), input.Take<float>(), input.Take<float>(), input.Take<float>());
        break;
      case 8:
        block.SelectDescriptor(which >> 4);
        block.SetSecondaryGtf(input.Byte(), input.Take<unsigned>(), input.Take<unsigned>(), input.Take<uint16_t>(),
                              input.Take<unsigned>(), input.Take<unsigned>());
        break;
      default: block.SetSerialNumber(input.Take<uint32_t>()); break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::InputReader input(data, size);
  EdidBlock block([] { return CalendarDate{2026, 12, 8}; });
  block.SetProductCodeFormat(kProductCodeFormats[input.Byte() % 4]);
  block.SetSerialFormat(kSerialFormats[input.Byte() % 4]);
  for (int i = 8; i < kEdidSize; ++i) block.Bytes()[i] = input.Byte();
  ApplySetters(block, input);
  // Readers find the dump by the header's row; a block without it is never read back.
  std::copy(kEdidHeader.begin(), kEdidHeader.end(), block.Bytes().begin());

  const std::string report = FormatEdidReport(block);
  const std::optional<ReportContent> content = ReadReport(report);
  FUZZ_CHECK(content.has_value());
  FUZZ_CHECK(!content->damage.has_value());
  FUZZ_CHECK(content->bytes == block.Bytes());
  FUZZ_CHECK(content->productCodeFormat == block.GetProductCodeFormat());
  FUZZ_CHECK(content->serialFormat == block.GetSerialFormat());

  const EdidFile file = ParseEdidFile(report);
  FUZZ_CHECK(file.ok);
  FUZZ_CHECK(file.bytes == block.Bytes());
  return 0;
}
