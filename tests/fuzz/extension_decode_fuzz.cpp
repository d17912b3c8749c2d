// Any bytes as extension blocks: each codec reads only inside its block (every block decoded from
// an allocation of exactly 128 bytes, so that ASan sees a read past it), every decoded item, field
// and bit code lies inside its block, the report with the decoded sections reads back with the
// same blocks, and the JSON of `info` builds and prints.
#include <memory>
#include <vector>

#include "fuzz_support.h"
#include "model/decoded_edid.h"
#include "report/edid_json.h"
#include "report/edid_report.h"
#include "report/report_reader.h"

using namespace tolvex;

namespace {

constexpr int kMaxBlocks = 4;
// Two bits a block in the first input byte: its tag as the input has it, or the tag of a codec.
constexpr uint8_t kTags[] = {0x00, kTagCta861, kTagDisplayId, kTagBlockMap};

class InsideBlocks : public DecodeVisitor {
 public:
  InsideBlocks() = default;
  // A block's content alone: its fields come without the block's own item.
  explicit InsideBlocks(ByteRange block) { blocks_.push_back(block); }

  void BeginItem(const DecodedItem& item) override {
    FUZZ_CHECK(!item.bytes.Empty());
    FUZZ_CHECK(item.bytes.first / kEdidSize == item.bytes.last / kEdidSize);
    const int block = item.bytes.first / kEdidSize;
    blocks_.push_back({block * kEdidSize, block * kEdidSize + kEdidSize - 1});
  }
  void Field(const DecodedField& field) override {
    FUZZ_CHECK(!blocks_.empty());
    FUZZ_CHECK(field.bytes.Within(blocks_.back()));
    if (field.code) FUZZ_CHECK(field.code->Range().Within(blocks_.back()));
  }
  void EndItem() override { blocks_.pop_back(); }

 private:
  std::vector<ByteRange> blocks_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::InputReader input(data, size);
  const uint8_t tags = input.Byte();
  std::vector<std::unique_ptr<EdidBytes>> owned;
  std::vector<EdidBytes> blocks;
  for (int k = 0; k < kMaxBlocks && !input.Empty(); ++k) {
    auto block = std::make_unique<EdidBytes>();
    for (uint8_t& b : *block) b = input.Byte();
    if (const uint8_t tag = kTags[tags >> (2 * k) & 3]) (*block)[0] = tag;
    blocks.push_back(*block);
    owned.push_back(std::move(block));
  }

  for (size_t k = 0; k < owned.size(); ++k) {
    const DecodedBlock decoded = DecodeExtension(*owned[k], static_cast<int>(k) + 1);
    InsideBlocks inside(decoded.bytes);
    WalkBlockContent(decoded, DecodeScope::kAll, inside);
  }

  EdidBlock base([] { return CalendarDate{2026, 12, 8}; });
  base.Bytes()[126] = static_cast<uint8_t>(blocks.size());
  base.UpdateChecksum();
  const DecodedEdid edid = DecodeEdid(base.Bytes(), blocks);
  InsideBlocks inside;
  WalkDecodedEdid(edid, inside);
  FUZZ_CHECK(!EdidJson(edid).dump().empty());

  const std::optional<ReportContent> content = ReadReport(FormatEdidReport(base, blocks));
  FUZZ_CHECK(content.has_value());
  FUZZ_CHECK(content->bytes == base.Bytes());
  FUZZ_CHECK(content->extensions.blocks == blocks);
  FUZZ_CHECK(content->extensions.missingBytes == 0);
  return 0;
}
