// The report reader on any text, both layouts: it never reads outside the text, and a dump it
// calls well formed gives a block whose own report reads back the same block and formats.
#include "fuzz_support.h"
#include "report/edid_report.h"
#include "report/report_reader.h"

using namespace tolvex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  // Any start and either layout, wherever the text puts them.
  if (size > 0) {
    const DumpStart anywhere{data[0] % size, 1 + data[0] % 2};
    (void)ParseDump(text, anywhere);
    (void)ReadDump(text, anywhere);
  }

  const std::optional<ReportContent> content = ReadReport(text);
  FUZZ_CHECK(content.has_value() == FindDumpStart(text).has_value());
  if (!content || content->damage) return 0;

  FUZZ_CHECK(content->bytes == ParseDump(text, *FindDumpStart(text)));
  EdidBlock block;
  block.Bytes() = content->bytes;
  block.SetProductCodeFormat(content->productCodeFormat);
  block.SetSerialFormat(content->serialFormat);
  const std::optional<ReportContent> again = ReadReport(FormatEdidReport(block));
  FUZZ_CHECK(again.has_value());
  FUZZ_CHECK(!again->damage.has_value());
  FUZZ_CHECK(again->bytes == content->bytes);
  FUZZ_CHECK(again->productCodeFormat == content->productCodeFormat);
  FUZZ_CHECK(again->serialFormat == content->serialFormat);
  return 0;
}
