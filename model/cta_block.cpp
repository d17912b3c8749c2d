// The CTA-861 block's frame (CTA-861-H 7.5): the header, the data block collection from byte 4
// to byte d - 1, the detailed timings from byte d on, and the table that picks each data
// block's codec by its tag, extended tag and OUI.
#include "model/cta_block.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "model/cta_data_blocks.h"
#include "model/cta_texts.h"

namespace tolvex {

namespace {

namespace ct = cta_text;

constexpr int kCollectionStart = 4;
constexpr int kChecksumByte = 127;
constexpr int kTagVendor = 3;
constexpr int kTagExtended = 7;
constexpr int kExtendedVendorVideo = 1;
constexpr int kExtendedVendorAudio = 17;
constexpr int kAnyOui = -1;
constexpr int kNoExtendedTag = -1;

// The header, bytes 1-3; byte 3 holds flags from revision 2 on.
constexpr auto kHeaderRows = std::to_array<FieldRow<CtaBlock>>({
    NumberRow<CtaBlock>("revision", ct::kRevision, Bits(1), &CtaBlock::revision),
    NumberRow<CtaBlock>("dtd_offset", ct::kDtdOffset, Bits(2), &CtaBlock::dtdOffset),
});
constexpr auto kFlagRows = std::to_array<FieldRow<CtaBlock>>({
    FlagRow<CtaBlock>("underscan", ct::kUnderscan, Bit(3, 7), &CtaBlock::underscan),
    FlagRow<CtaBlock>("basic_audio", ct::kBasicAudio, Bit(3, 6), &CtaBlock::basicAudio),
    FlagRow<CtaBlock>("ycbcr444", ct::kYcbcr444, Bit(3, 5), &CtaBlock::ycbcr444),
    FlagRow<CtaBlock>("ycbcr422", ct::kYcbcr422, Bit(3, 4), &CtaBlock::ycbcr422),
    NumberRow<CtaBlock>("native_dtds", ct::kNativeDtds, Bits(3, 3, 0), &CtaBlock::nativeDtds),
});

using ParseFn = void (*)(cta::Bytes, CtaDataBlock&);
using DescribeFn = void (*)(const CtaDataBlock&, Describer&);

struct KindEntry {
  CtaKind kind;
  int tag;
  int extendedTag;
  int oui;
  std::string_view id;
  std::string_view name;
  ParseFn parse;
  DescribeFn describe;
};

// CTA-861-H table 55 (tags), table 56 (extended tags); the OUIs of HDMI 1.4b, HDMI 2.1, AMD,
// HDR10+ and Dolby. Vendor blocks of another OUI, and everything not listed, stay hex.
constexpr std::array<KindEntry, 20> kKinds = {{
    {CtaKind::kAudio, 1, kNoExtendedTag, kAnyOui, "audio", ct::kKindAudio, cta::ParseAudio, cta::DescribeAudio},
    {CtaKind::kVideo, 2, kNoExtendedTag, kAnyOui, "video", ct::kKindVideo, cta::ParseVideo, cta::DescribeVideo},
    {CtaKind::kHdmi, kTagVendor, kNoExtendedTag, kOuiHdmi, "hdmi", ct::kKindHdmi, cta::ParseHdmi, cta::DescribeHdmi},
    {CtaKind::kHdmiForum, kTagVendor, kNoExtendedTag, kOuiHdmiForum, "hdmi-forum", ct::kKindHdmiForum,
     cta::ParseHdmiForum, cta::DescribeHdmiForum},
    {CtaKind::kAmd, kTagVendor, kNoExtendedTag, kOuiAmd, "amd", ct::kKindAmd, cta::ParseAmd, cta::DescribeAmd},
    {CtaKind::kSpeakers, 4, kNoExtendedTag, kAnyOui, "speaker-allocation", ct::kKindSpeakers, cta::ParseSpeakers,
     cta::DescribeSpeakers},
    {CtaKind::kVideoCapability, kTagExtended, 0, kAnyOui, "video-capability", ct::kKindVcdb, cta::ParseVideoCapability,
     cta::DescribeVideoCapability},
    {CtaKind::kHdr10Plus, kTagExtended, kExtendedVendorVideo, kOuiHdr10Plus, "hdr10plus", ct::kKindHdr10Plus,
     cta::ParseHdr10Plus, cta::DescribeHdr10Plus},
    {CtaKind::kDolbyVision, kTagExtended, kExtendedVendorVideo, kOuiDolby, "dolby-vision", ct::kKindDolby,
     cta::ParseDolbyVision, cta::DescribeDolbyVision},
    {CtaKind::kColorimetry, kTagExtended, 5, kAnyOui, "colorimetry", ct::kKindColorimetry, cta::ParseColorimetry,
     cta::DescribeColorimetry},
    {CtaKind::kHdrStatic, kTagExtended, 6, kAnyOui, "hdr-static", ct::kKindHdrStatic, cta::ParseHdrStatic,
     cta::DescribeHdrStatic},
    {CtaKind::kHdrDynamic, kTagExtended, 7, kAnyOui, "hdr-dynamic", ct::kKindHdrDynamic, cta::ParseHdrDynamic,
     cta::DescribeHdrDynamic},
    {CtaKind::kVideoFormatPreference, kTagExtended, 13, kAnyOui, "video-format-preference", ct::kKindVfpdb,
     cta::ParseVideoFormatPreference, cta::DescribeVideoFormatPreference},
    {CtaKind::kYcbcr420Video, kTagExtended, 14, kAnyOui, "ycbcr420-video", ct::kKind420Video, cta::ParseYcbcr420Video,
     cta::DescribeYcbcr420Video},
    {CtaKind::kYcbcr420Map, kTagExtended, 15, kAnyOui, "ycbcr420-map", ct::kKind420Map, cta::ParseYcbcr420Map,
     cta::DescribeYcbcr420Map},
    {CtaKind::kRoomConfiguration, kTagExtended, 19, kAnyOui, "room-configuration", ct::kKindRoom,
     cta::ParseRoomConfiguration, cta::DescribeRoomConfiguration},
    {CtaKind::kSpeakerLocation, kTagExtended, 20, kAnyOui, "speaker-location", ct::kKindSpeakerLocation,
     cta::ParseSpeakerLocation, cta::DescribeSpeakerLocation},
    {CtaKind::kType7, kTagExtended, 34, kAnyOui, "displayid-type-7", ct::kKindType7, cta::ParseType7,
     cta::DescribeType7},
    {CtaKind::kOverride, kTagExtended, 120, kAnyOui, "hdmi-forum-eeodb", ct::kKindEeodb, cta::ParseOverride,
     cta::DescribeOverride},
    {CtaKind::kHdmiForumScdb, kTagExtended, 121, kAnyOui, "hdmi-forum", ct::kKindScdb, cta::ParseHdmiForum,
     cta::DescribeHdmiForum},
}};

const KindEntry* FindKind(const CtaDataBlock& block) {
  const auto* entry = std::find_if(kKinds.begin(), kKinds.end(), [&](const KindEntry& k) {
    return k.tag == block.tag && k.extendedTag == block.extendedTag && (k.oui == kAnyOui || k.oui == block.oui);
  });
  return entry == kKinds.end() ? nullptr : entry;
}

const KindEntry* FindKind(CtaKind kind) {
  const auto* entry = std::find_if(kKinds.begin(), kKinds.end(), [kind](const KindEntry& k) { return k.kind == kind; });
  return entry == kKinds.end() ? nullptr : entry;
}

bool CarriesOui(int tag, int extendedTag) {
  return tag == kTagVendor || extendedTag == kExtendedVendorVideo || extendedTag == kExtendedVendorAudio;
}

// Tag, extended tag and OUI (three bytes, least significant first) open the payload.
void ReadHeader(cta::Bytes block, int offset, CtaDataBlock& out) {
  out.tag = block[0] >> 5;
  int payload = 1;
  if (out.tag == kTagExtended && block.size() > 1) out.extendedTag = block[payload++];
  if (CarriesOui(out.tag, out.extendedTag) && block.size() >= static_cast<size_t>(payload + 3)) {
    out.oui = block[payload] | block[payload + 1] << 8 | block[payload + 2] << 16;
    payload += 3;
  }
  out.payload = {offset + payload, out.bytes.last};
}

CtaDataBlock ParseDataBlock(cta::Bytes block, int offset, bool truncated) {
  CtaDataBlock out;
  out.bytes = {offset, offset + static_cast<int>(block.size()) - 1};
  out.raw.assign(block.begin(), block.end());
  ReadHeader(block, offset, out);
  const KindEntry* entry = truncated ? nullptr : FindKind(out);
  if (entry) {
    out.kind = entry->kind == CtaKind::kHdmiForumScdb ? CtaKind::kHdmiForum : entry->kind;
    entry->parse(block, out);
  } else {
    out.kind = !truncated && out.oui >= 0 ? CtaKind::kVendor : CtaKind::kUnknown;
    out.content = CtaUnknown{truncated};
  }
  return out;
}

void ResolveMaps(std::vector<CtaDataBlock>& blocks) {
  std::vector<ShortVideo> svds;
  for (const CtaDataBlock& block : blocks) {
    if (const auto* video = std::get_if<CtaVideo>(&block.content)) svds.insert(svds.end(), video->svds.begin(), video->svds.end());
  }
  for (CtaDataBlock& block : blocks) {
    if (auto* map = std::get_if<CtaYcbcr420Map>(&block.content)) {
      const std::span<const uint8_t> bitmap = std::span(block.raw).subspan(2);
      cta::ResolveYcbcr420Map(*map, bitmap, bitmap.empty(), svds);
    }
  }
}

// "00-0C-03": the OUI as IEEE writes it, most significant byte first.
std::string OuiText(int oui) {
  char text[16];
  std::snprintf(text, sizeof text, ct::kOuiFormat, oui >> 16 & 0xFF, oui >> 8 & 0xFF, oui & 0xFF);
  return text;
}

}  // namespace

std::string DataBlockLabel(const CtaDataBlock& block) {
  char label[96];
  if (const auto* unknown = std::get_if<CtaUnknown>(&block.content); unknown && unknown->truncated) {
    return ct::kTruncatedLabel;
  }
  if (block.kind == CtaKind::kVendor) {
    std::snprintf(label, sizeof label, ct::kUnknownVendorLabel, OuiText(block.oui).c_str());
    return label;
  }
  if (block.kind == CtaKind::kUnknown) {
    if (block.extendedTag >= 0) {
      std::snprintf(label, sizeof label, ct::kUnknownExtendedLabel, static_cast<unsigned>(block.extendedTag));
    } else {
      std::snprintf(label, sizeof label, ct::kUnknownTagLabel, static_cast<unsigned>(block.tag));
    }
    return label;
  }
  const KindEntry* entry = FindKind(block);
  return std::string(entry ? entry->name : FindKind(block.kind)->name);
}

std::vector<ShortVideo> CtaBlock::Svds() const {
  std::vector<ShortVideo> svds;
  for (const CtaDataBlock& block : dataBlocks) {
    if (const auto* video = std::get_if<CtaVideo>(&block.content)) svds.insert(svds.end(), video->svds.begin(), video->svds.end());
  }
  return svds;
}

std::optional<CtaKindHeader> CtaKindHeaderOf(CtaKind kind) {
  const KindEntry* entry = FindKind(kind);
  if (!entry) return std::nullopt;
  return CtaKindHeader{entry->tag, entry->extendedTag, entry->oui};
}

std::string_view CtaKindId(CtaKind kind) {
  if (kind == CtaKind::kVendor) return "vendor";
  const KindEntry* entry = FindKind(kind);
  return entry ? entry->id : "unknown";
}

std::vector<CtaDataBlock> ParseCtaDataBlocks(std::span<const uint8_t> bytes, int offset, size_t size) {
  std::vector<CtaDataBlock> blocks;
  size_t p = 0;
  while (p < size && p < bytes.size()) {
    const size_t length = bytes[p] & 0x1F;
    const bool truncated = p + length >= bytes.size();
    const size_t taken = truncated ? bytes.size() - p : length + 1;
    CtaDataBlock& block = blocks.emplace_back(ParseDataBlock(bytes.subspan(p, taken), offset + static_cast<int>(p), truncated));
    block.overrun = p + length >= size;
    p += taken;
  }
  ResolveMaps(blocks);
  return blocks;
}

CtaBlock ParseCtaBlock(std::span<const uint8_t, 128> bytes, int offset) {
  CtaBlock block;
  block.bytes = {offset, offset + 127};
  ReadRows(std::span(kHeaderRows), bytes, block);
  if (block.revision >= 2) ReadRows(std::span(kFlagRows), bytes, block);
  const int d = block.dtdOffset;
  if (d < kCollectionStart) return block;  // 0: nothing at all; 1-3: no place to start from

  const int collectionEnd = std::min(d, kChecksumByte);
  if (block.revision >= 3) {
    block.dataBlocks = ParseCtaDataBlocks(bytes.subspan(kCollectionStart, kChecksumByte - kCollectionStart),
                                          offset + kCollectionStart, static_cast<size_t>(collectionEnd - kCollectionStart));
  }
  int p = d;
  while (p + kDetailedTimingSize <= kChecksumByte && (bytes[p] != 0 || bytes[p + 1] != 0)) {
    block.dtds.push_back(ParseDetailedTiming(bytes.subspan(static_cast<size_t>(p)).first<kDetailedTimingSize>(), offset + p));
    p += kDetailedTimingSize;
  }
  if (p < kChecksumByte) block.padding = {offset + p, offset + kChecksumByte - 1};
  return block;
}

void DescribeCtaDataBlocks(const std::vector<CtaDataBlock>& blocks, Describer& out) {
  for (const CtaDataBlock& block : blocks) {
    out.BeginEntry("data_blocks", [&] { return DataBlockLabel(block); }, block.bytes);
    out.Identity("kind", CtaKindId(block.kind), block.bytes);
    out.IdentityNumber("tag", block.tag, {block.bytes.first, block.bytes.first});
    if (block.extendedTag >= 0) out.IdentityNumber("extended_tag", block.extendedTag, {block.bytes.first + 1, block.bytes.first + 1});
    if (block.oui >= 0) out.Identity("oui", OuiText(block.oui), {block.payload.first - 3, block.payload.first - 1});
    if (block.overrun) out.DerivedFlag("overruns_collection", ct::kOverrun, true, block.bytes);
    if (const auto* unknown = std::get_if<CtaUnknown>(&block.content); unknown && unknown->truncated) {
      out.DerivedFlag("cut_short", ct::kCutShort, true, block.bytes);
    }
    const KindEntry* entry = block.kind == CtaKind::kUnknown || block.kind == CtaKind::kVendor ? nullptr : FindKind(block);
    if (entry) {
      entry->describe(block, out);
    } else {
      cta::DescribeRest(block, block.payload.first - block.bytes.first, out);
    }
    out.End();
  }
}

void DescribeCtaBlock(const CtaBlock& block, Describer& out) {
  out.Rows(std::span(kHeaderRows), block, block.bytes);
  if (block.revision >= 2) out.Rows(std::span(kFlagRows), block, block.bytes);
  DescribeCtaDataBlocks(block.dataBlocks, out);
  for (size_t i = 0; i < block.dtds.size(); ++i) {
    DescribeDetailedTiming(block.dtds[i], "dtds", ct::kDtdEntry, static_cast<int>(i) + 1, out);
  }
}

namespace cta {

void DescribeRest(const CtaDataBlock& block, int from, Describer& out) {
  if (from < 0 || static_cast<size_t>(from) >= block.raw.size()) return;
  out.Hex("payload", ct::kPayload, std::span(block.raw).subspan(static_cast<size_t>(from)),
          {block.bytes.first + from, block.bytes.last});
}

}  // namespace cta

}  // namespace tolvex
