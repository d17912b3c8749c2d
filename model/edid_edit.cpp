#include "model/edid_edit.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <numeric>

#include "model/decoded_edid.h"
#include "model/edid_extensions.h"
#include "model/edit_texts.h"
#include "model/field_paths.h"

namespace tolvex {

namespace et = edit_text;

namespace {

constexpr int kBlockSize = 128;
constexpr int kChecksumByte = 127;
constexpr int kDisplayIdSectionStart = 1;
constexpr int kDisplayIdHeaderBytes = 4;  // version, byte count, product type, extension count
constexpr int kMaxDataBlockPayload = 31;
constexpr int kMapBitmapFrom = 2;  // header and extended tag before it

uint8_t SumOf(std::span<const uint8_t> bytes) {
  return static_cast<uint8_t>(std::accumulate(bytes.begin(), bytes.end(), 0u));
}

// Byte 127 := the block's checksum; in a DisplayID block the section checksum first.
void SealBlock(std::span<uint8_t, kBlockSize> block, bool base) {
  if (!base && block[0] == kTagDisplayId) {
    const int end = kDisplayIdSectionStart + kDisplayIdHeaderBytes + block[2];
    if (end < kChecksumByte) {
      block[static_cast<size_t>(end)] = static_cast<uint8_t>(-SumOf(block.subspan(kDisplayIdSectionStart, end - kDisplayIdSectionStart)));
    }
  }
  block[kChecksumByte] = static_cast<uint8_t>(-SumOf(block.first(kChecksumByte)));
}

// Every block whose bytes the edit changed (or added) gets its checksums.
void SealChangedBlocks(const EdidData& before, EdidData& after) {
  for (int i = 0; i < BlockCount(after); ++i) {
    const std::span<uint8_t, kBlockSize> block = BlockBytes(after, i);
    const bool changed = i >= BlockCount(before) || !std::equal(block.begin(), block.begin() + kChecksumByte,
                                                                BlockBytes(before, i).begin());
    if (changed) SealBlock(block, i == 0);
  }
}

bool IsWhole(const EdidData& edid) { return edid.size() >= kBlockSize && edid.size() % kBlockSize == 0; }

std::string NoSuchBlock(const EdidData& edid, int block) { return EditText(et::kNoSuchBlock, block, BlockCount(edid) - 1); }

// Byte 126 counts the extensions; a block map in block 1 names the tags of the blocks after it.
void UpdateBlockCount(EdidData& edid) {
  const int extensions = BlockCount(edid) - 1;
  edid[kExtensionCountOffset] = static_cast<uint8_t>(extensions);
  if (extensions < 1 || edid[kBlockSize] != kTagBlockMap) return;
  const std::span<uint8_t, kBlockSize> map = BlockBytes(edid, 1);
  for (int i = 1; i < kChecksumByte; ++i) {
    const int mapped = i + 1;
    map[static_cast<size_t>(i)] = mapped < BlockCount(edid) ? edid[static_cast<size_t>(mapped * kBlockSize)] : 0;
  }
}

// Every SVD's byte across the Video Data Blocks, with its mark.
struct MarkedSvds {
  std::vector<bool> marks;
  bool any = false;
  bool all = true;
};
MarkedSvds MarksOf(const CtaLayout& layout) {
  MarkedSvds svds;
  for (const CtaDataBlockBytes& block : layout.dataBlocks) {
    for (const bool mark : block.ycbcr420) {
      svds.marks.push_back(mark);
      svds.any = svds.any || mark;
      svds.all = svds.all && mark;
    }
  }
  return svds;
}

// The 4:2:0 Capability Map's bitmap for the SVDs as they now stand: empty when it marked every
// SVD and still does, else one bit per SVD up to the last marked one.
std::vector<uint8_t> MapBitmap(const MarkedSvds& svds, bool storedAll) {
  std::vector<uint8_t> bitmap;
  if (storedAll && svds.all) return bitmap;
  for (size_t i = 0; i < svds.marks.size(); ++i) {
    if (!svds.marks[i]) continue;
    if (bitmap.size() <= i / 8) bitmap.resize(i / 8 + 1, 0);
    bitmap[i / 8] |= static_cast<uint8_t>(1u << (i % 8));
  }
  return bitmap;
}

bool ParseFlag(std::string_view text, uint32_t& raw) {
  for (std::string_view yes : {"yes", "true", "1"}) {
    if (text == yes) return (raw = 1), true;
  }
  for (std::string_view no : {"no", "false", "0"}) {
    if (text == no) return (raw = 0), true;
  }
  return false;
}

bool ParseNumber(std::string_view text, double& number) {
  const char* end = text.data() + text.size();
  const auto parsed = std::from_chars(text.data(), end, number);
  return parsed.ec == std::errc() && parsed.ptr == end && std::isfinite(number);
}

// What values a code takes, for the refusal: "0 to 255", "0 to 1275 in steps of 5".
std::string TakesText(const BitCode& code) {
  const double last = code.Value(static_cast<uint32_t>(std::ldexp(1.0, code.Width()) - 1));
  char text[96];
  if (code.scale == 1) {
    std::snprintf(text, sizeof text, "%g to %g", code.add, last);
  } else {
    std::snprintf(text, sizeof text, "%g to %g in steps of %g", code.add, last, code.scale);
  }
  return text;
}

std::optional<uint32_t> RawOfText(const DecodedField& field, std::string_view text) {
  const BitCode& code = *field.code;
  uint32_t raw = 0;
  double number = 0;
  switch (field.value.kind) {
    case FieldValue::Kind::kFlag:
      if (ParseFlag(text, raw) && code.Width() == 1) return raw;
      return std::nullopt;
    case FieldValue::Kind::kEnum:
      for (size_t i = 0; i < code.names.size(); ++i) {
        if (code.names[i].id == text || code.names[i].text == text) return static_cast<uint32_t>(i);
      }
      if (!ParseNumber(text, number)) return std::nullopt;
      return RawOf(code.Scaled(1), number);
    default:
      if (!ParseNumber(text, number)) return std::nullopt;
      return RawOf(code, number);
  }
}

std::string FieldText(const EdidData& edid, std::string_view path) {
  for (const FieldAtPath& at : FieldPaths(DecodeEdid(edid))) {
    if (at.path == path) return FormatFieldValue(at.field.value);
  }
  return {};
}

}  // namespace

std::string EditText(const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

int BlockCount(const EdidData& edid) { return static_cast<int>(edid.size() / kBlockSize); }

std::span<uint8_t, 128> BlockBytes(EdidData& edid, int block) {
  return std::span(edid).subspan(static_cast<size_t>(block) * kBlockSize).first<kBlockSize>();
}
std::span<const uint8_t, 128> BlockBytes(const EdidData& edid, int block) {
  return std::span(edid).subspan(static_cast<size_t>(block) * kBlockSize).first<kBlockSize>();
}

int FindExtension(const EdidData& edid, uint8_t tag) {
  for (int i = 1; i < BlockCount(edid); ++i) {
    if (edid[static_cast<size_t>(i) * kBlockSize] == tag) return i;
  }
  return -1;
}

EditResult Transact(EdidData& edid, const std::function<EditResult(EdidData&)>& edit) {
  if (!IsWhole(edid)) return EditResult::Refused(et::kNotWhole);
  EdidData work = edid;
  EditResult result = edit(work);
  if (!result.Ok()) return result;
  if (!IsWhole(work)) return EditResult::Refused(et::kNotWhole);
  SealChangedBlocks(edid, work);
  edid = std::move(work);
  return result;
}

// ---- CTA layout ---------------------------------------------------------------------------------

int CtaLayout::UsedBytes() const {
  int used = static_cast<int>(dtds.size()) * kDetailedTimingSize;
  for (const CtaDataBlockBytes& block : dataBlocks) used += static_cast<int>(block.bytes.size());
  return used;
}

CtaKind CtaLayout::KindOf(const CtaDataBlockBytes& block) {
  const std::vector<CtaDataBlock> parsed = ParseCtaDataBlocks(block.bytes, 0, block.bytes.size());
  return parsed.empty() ? CtaKind::kUnknown : parsed.front().kind;
}

int CtaLayout::Find(CtaKind kind) const {
  for (size_t i = 0; i < dataBlocks.size(); ++i) {
    if (KindOf(dataBlocks[i]) == kind) return static_cast<int>(i);
  }
  return -1;
}

std::optional<CtaLayout> ReadCtaLayout(const EdidData& edid, int block, std::string& error) {
  if (block < 1 || block >= BlockCount(edid)) {
    error = NoSuchBlock(edid, block);
    return std::nullopt;
  }
  const std::span<const uint8_t, kBlockSize> bytes = BlockBytes(edid, block);
  if (bytes[0] != kTagCta861) {
    error = EditText(et::kNotCta, block);
    return std::nullopt;
  }
  const CtaBlock cta = ParseCtaBlock(bytes, block * kBlockSize);
  CtaLayout layout;
  std::copy(bytes.begin(), bytes.begin() + kCtaCollectionStart, layout.header.begin());
  const CtaYcbcr420Map* map = cta.First<CtaYcbcr420Map>();
  std::vector<uint8_t> bitmap;
  for (const CtaDataBlock& data : cta.dataBlocks) {
    if (data.overrun) {
      error = EditText(et::kBrokenCollection, block);
      return std::nullopt;
    }
    if (data.kind == CtaKind::kYcbcr420Map && bitmap.empty()) bitmap.assign(data.raw.begin() + kMapBitmapFrom, data.raw.end());
  }
  layout.map420All = map && map->all;
  size_t svd = 0;
  for (const CtaDataBlock& data : cta.dataBlocks) {
    CtaDataBlockBytes& kept = layout.dataBlocks.emplace_back();
    kept.bytes = data.raw;
    if (const auto* video = std::get_if<CtaVideo>(&data.content)) {
      for (size_t i = 0; i < video->svds.size(); ++i, ++svd) {
        const bool marked = map && (map->all || (svd / 8 < bitmap.size() && (bitmap[svd / 8] >> (svd % 8) & 1)));
        kept.ycbcr420.push_back(marked);
      }
    }
  }
  for (const DetailedTiming& dtd : cta.dtds) {
    auto& kept = layout.dtds.emplace_back();
    const int at = dtd.bytes.first - block * kBlockSize;
    std::copy(bytes.begin() + at, bytes.begin() + at + kDetailedTimingSize, kept.begin());
  }
  return layout;
}

EditResult WriteCtaLayout(EdidData& edid, int block, const CtaLayout& given) {
  std::string error;
  const std::optional<CtaLayout> current = ReadCtaLayout(edid, block, error);
  if (!current) return EditResult::Refused(error);
  CtaLayout layout = given;
  const MarkedSvds svds = MarksOf(layout);
  const int map = layout.Find(CtaKind::kYcbcr420Map);
  if (map >= 0 && !svds.any) {
    layout.dataBlocks.erase(layout.dataBlocks.begin() + map);
  } else if (map >= 0) {
    layout.dataBlocks[static_cast<size_t>(map)].bytes = MakeDataBlock(CtaKind::kYcbcr420Map, MapBitmap(svds, layout.map420All));
  }
  const int used = layout.UsedBytes();
  if (used > kCtaRoom) {
    const int free = current->FreeBytes();
    return EditResult::Refused(EditText(et::kNoRoom, block, free, used - current->UsedBytes(), used - kCtaRoom));
  }
  const std::span<uint8_t, kBlockSize> bytes = BlockBytes(edid, block);
  std::fill(bytes.begin() + kCtaCollectionStart, bytes.begin() + kChecksumByte, 0);
  std::copy(layout.header.begin(), layout.header.end(), bytes.begin());
  size_t p = kCtaCollectionStart;
  for (const CtaDataBlockBytes& data : layout.dataBlocks) {
    std::copy(data.bytes.begin(), data.bytes.end(), bytes.begin() + static_cast<std::ptrdiff_t>(p));
    p += data.bytes.size();
  }
  bytes[2] = static_cast<uint8_t>(p);
  for (const auto& dtd : layout.dtds) {
    std::copy(dtd.begin(), dtd.end(), bytes.begin() + static_cast<std::ptrdiff_t>(p));
    p += dtd.size();
  }
  return {};
}

EditResult EditCtaLayout(EdidData& edid, int block, const std::function<EditResult(CtaLayout&)>& change) {
  return Transact(edid, [&](EdidData& work) {
    std::string error;
    std::optional<CtaLayout> layout = ReadCtaLayout(work, block, error);
    if (!layout) return EditResult::Refused(error);
    EditResult result = change(*layout);
    if (!result.Ok()) return result;
    EditResult written = WriteCtaLayout(work, block, *layout);
    if (!written.Ok()) return written;
    return result;
  });
}

// ---- Typed data blocks --------------------------------------------------------------------------

std::vector<uint8_t> MakeDataBlock(CtaKind kind, std::span<const uint8_t> payload) {
  const CtaKindHeader header = CtaKindHeaderOf(kind).value_or(CtaKindHeader{});
  std::vector<uint8_t> bytes(1, 0);
  if (header.extendedTag >= 0) bytes.push_back(static_cast<uint8_t>(header.extendedTag));
  if (header.oui >= 0) {
    for (int shift : {0, 8, 16}) bytes.push_back(static_cast<uint8_t>(header.oui >> shift));
  }
  bytes.insert(bytes.end(), payload.begin(), payload.end());
  bytes[0] = static_cast<uint8_t>(header.tag << 5 | ((bytes.size() - 1) & 0x1F));
  return bytes;
}

std::vector<uint8_t> MakeVideoDataBlock(std::span<const int> vics) {
  std::vector<uint8_t> svds;
  for (const int vic : vics) svds.push_back(static_cast<uint8_t>(vic));
  return MakeDataBlock(CtaKind::kVideo, svds);
}

std::vector<uint8_t> MakeAmdBlock(int minHz, int maxHz) {
  // Version 1: version, minor version, the range, the MCCS flags.
  const uint8_t payload[] = {1, 1, static_cast<uint8_t>(minHz), static_cast<uint8_t>(maxHz), 0};
  return MakeDataBlock(CtaKind::kAmd, payload);
}

std::optional<std::vector<uint8_t>> NewDataBlock(CtaKind kind) {
  struct Default {
    CtaKind kind;
    std::vector<uint8_t> payload;
  };
  static const Default kDefaults[] = {
      {CtaKind::kVideo, {16}},
      {CtaKind::kAudio, {0x09, 0x07, 0x07}},
      {CtaKind::kSpeakers, {0x01, 0x00, 0x00}},
      {CtaKind::kHdmi, {0x10, 0x00}},
      {CtaKind::kHdmiForum, {0x01, 0x00, 0x80, 0x00}},
      {CtaKind::kAmd, {1, 1, 48, 60, 0}},
      {CtaKind::kVideoCapability, {0x40}},
      {CtaKind::kColorimetry, {0xC0, 0x00}},
      {CtaKind::kHdrStatic, {0x05, 0x01}},
  };
  for (const Default& d : kDefaults) {
    if (d.kind == kind) return MakeDataBlock(kind, d.payload);
  }
  return std::nullopt;
}

namespace {

std::string CheckDataBlock(std::span<const uint8_t> bytes) {
  const int payload = static_cast<int>(bytes.size()) - 1;
  if (payload < 0 || payload > kMaxDataBlockPayload || (bytes[0] & 0x1F) != payload) {
    return EditText(et::kDataBlockTooLong, payload);
  }
  return {};
}

std::string CheckPosition(const CtaLayout& layout, int block, int position, bool insert) {
  const int count = static_cast<int>(layout.dataBlocks.size());
  if (position >= 0 && position < count + (insert ? 1 : 0)) return {};
  return EditText(et::kNoSuchDataBlock, block, position + 1, count);
}

}  // namespace

EditResult InsertDataBlock(EdidData& edid, int block, int position, std::span<const uint8_t> dataBlock) {
  return EditCtaLayout(edid, block, [&](CtaLayout& layout) {
    if (layout.header[1] < 3) return EditResult::Refused(EditText(et::kCtaNoDataBlocks, block, layout.header[1]));
    if (std::string wrong = CheckDataBlock(dataBlock); !wrong.empty()) return EditResult::Refused(wrong);
    const int at = position < 0 ? static_cast<int>(layout.dataBlocks.size()) : position;
    if (std::string wrong = CheckPosition(layout, block, at, true); !wrong.empty()) return EditResult::Refused(wrong);
    CtaDataBlockBytes inserted;
    inserted.bytes.assign(dataBlock.begin(), dataBlock.end());
    if (CtaLayout::KindOf(inserted) == CtaKind::kVideo) inserted.ycbcr420.assign(inserted.bytes.size() - 1, false);
    layout.dataBlocks.insert(layout.dataBlocks.begin() + at, std::move(inserted));
    return EditResult{};
  });
}

EditResult RemoveDataBlock(EdidData& edid, int block, int position) {
  return EditCtaLayout(edid, block, [&](CtaLayout& layout) {
    if (std::string wrong = CheckPosition(layout, block, position, false); !wrong.empty()) return EditResult::Refused(wrong);
    layout.dataBlocks.erase(layout.dataBlocks.begin() + position);
    return EditResult{};
  });
}

EditResult MoveDataBlock(EdidData& edid, int block, int from, int to) {
  return EditCtaLayout(edid, block, [&](CtaLayout& layout) {
    for (const int position : {from, to}) {
      if (std::string wrong = CheckPosition(layout, block, position, false); !wrong.empty()) return EditResult::Refused(wrong);
    }
    CtaDataBlockBytes moved = std::move(layout.dataBlocks[static_cast<size_t>(from)]);
    layout.dataBlocks.erase(layout.dataBlocks.begin() + from);
    layout.dataBlocks.insert(layout.dataBlocks.begin() + to, std::move(moved));
    return EditResult{};
  });
}

// ---- Fields and blocks ----------------------------------------------------------------------------

EditResult SetField(EdidData& edid, std::string_view path, std::string_view value) {
  return Transact(edid, [&](EdidData& work) {
    const std::vector<FieldAtPath> paths = FieldPaths(DecodeEdid(work));
    const auto at = std::find_if(paths.begin(), paths.end(), [&](const FieldAtPath& p) { return p.path == path; });
    const std::string name(path);
    if (at == paths.end()) return EditResult::Refused(EditText(et::kNoSuchPath, name.c_str()));
    const DecodedField& field = at->field;
    if (field.role == FieldRole::kIdentity) return EditResult::Refused(EditText(et::kIdentityField, name.c_str()));
    if (!field.code) return EditResult::Refused(EditText(et::kDerivedField, name.c_str()));
    const std::optional<uint32_t> raw = RawOfText(field, value);
    const std::string given(value);
    if (!raw) {
      const std::string takes = field.value.kind == FieldValue::Kind::kFlag ? "yes or no" : TakesText(*field.code);
      return EditResult::Refused(EditText(et::kBadValueRange, name.c_str(), given.c_str(), takes.c_str()));
    }
    const std::string old = FormatFieldValue(field.value);
    field.code->Write(work, *raw);
    EditResult result;
    result.notes.push_back(EditText(et::kSetField, name.c_str(), old.c_str(), FieldText(work, path).c_str()));
    return result;
  });
}

EditResult AddExtensionBlock(EdidData& edid, const std::array<uint8_t, 128>& block, int position) {
  return Transact(edid, [&](EdidData& work) {
    const int count = BlockCount(work);
    if (count - 1 >= kMaxExtensionBlocks) return EditResult::Refused(EditText(et::kTooManyBlocks, kMaxExtensionBlocks));
    const int at = position < 0 ? count : position;
    if (at < 1 || at > count) return EditResult::Refused(NoSuchBlock(work, at));
    work.insert(work.begin() + static_cast<std::ptrdiff_t>(at) * kBlockSize, block.begin(), block.end());
    SealBlock(BlockBytes(work, at), false);
    UpdateBlockCount(work);
    return EditResult{};
  });
}

EditResult RemoveExtensionBlock(EdidData& edid, int block) {
  return Transact(edid, [&](EdidData& work) {
    if (block == 0) return EditResult::Refused(et::kBaseBlockStays);
    if (block < 0 || block >= BlockCount(work)) return EditResult::Refused(NoSuchBlock(work, block));
    const auto first = work.begin() + static_cast<std::ptrdiff_t>(block) * kBlockSize;
    work.erase(first, first + kBlockSize);
    UpdateBlockCount(work);
    EditResult result;
    result.notes.push_back(EditText(et::kRemovedBlock, block));
    return result;
  });
}

std::array<uint8_t, 128> NewDisplayIdBlock() {
  std::array<uint8_t, 128> block{};
  block[0] = kTagDisplayId;
  block[1] = 0x13;  // DisplayID 1.3; product type 0: an extension section
  SealBlock(block, false);
  return block;
}

std::array<uint8_t, 128> NewCtaBlock() {
  std::array<uint8_t, 128> block{};
  block[0] = kTagCta861;
  block[1] = 3;  // revision 3
  block[2] = kCtaCollectionStart;  // d: the DTDs (none) start right after the header
  SealBlock(block, false);
  return block;
}

}  // namespace tolvex
