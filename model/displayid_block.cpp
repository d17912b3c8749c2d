// DisplayID in an EDID extension (DisplayID 1.3 section 2, DisplayID 2.1 section 3): byte 0 is
// the tag 0x70, bytes 1-4 open the section, data blocks of three header bytes (tag, revision,
// payload length) follow, then the section's checksum; byte 127 is the block's own checksum.
// Offsets in the tables count from a data block's tag byte, as the standards' tables do.
#include "model/displayid_block.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <numeric>

#include "model/decode_texts.h"
#include "model/displayid_texts.h"

namespace tolvex {

namespace {

namespace dt = displayid_text;

constexpr int kSectionStart = 1;
constexpr int kFirstDataBlock = 5;
constexpr int kMaxSectionBytes = 121;  // the most that fits between byte 5 and the section checksum
constexpr int kHeaderSize = 3;
constexpr int kChecksumByte = 127;

// ---- Display Parameters, DisplayID 1.3 section 4.2 (12 payload bytes) and 2.1 section 4.2 (29).
using Pa = DisplayIdParameters;
constexpr auto kParametersV1 = std::to_array<FieldRow<Pa>>({
    NumberRow<Pa>("image_width", dt::kImageWidth, LittleEndian(3, 2), &Pa::imageWidth),
    NumberRow<Pa>("image_height", dt::kImageHeight, LittleEndian(5, 2), &Pa::imageHeight),
    NumberRow<Pa>("native_width", dt::kNativeWidth, LittleEndian(7, 2), &Pa::nativeWidth),
    NumberRow<Pa>("native_height", dt::kNativeHeight, LittleEndian(9, 2), &Pa::nativeHeight),
    NumberRow<Pa>("features", dt::kFeatures, Bits(11), &Pa::features),
    NumberRow<Pa>("gamma_code", dt::kGamma, Bits(12), &Pa::gamma),
    NumberRow<Pa>("aspect_code", dt::kAspectRatio, Bits(13), &Pa::aspect),
    NumberRow<Pa>("bpc_overall", dt::kBpcOverall, Bits(14, 7, 4).Scaled(1, 1), &Pa::bpcOverall),
    NumberRow<Pa>("bpc_native", dt::kBpcNative, Bits(14, 3, 0).Scaled(1, 1), &Pa::bpcNative),
});
constexpr auto kParametersV2 = std::to_array<FieldRow<Pa>>({
    NumberRow<Pa>("image_width", dt::kImageWidth, LittleEndian(3, 2), &Pa::imageWidth),
    NumberRow<Pa>("image_height", dt::kImageHeight, LittleEndian(5, 2), &Pa::imageHeight),
    NumberRow<Pa>("native_width", dt::kNativeWidth, LittleEndian(7, 2), &Pa::nativeWidth),
    NumberRow<Pa>("native_height", dt::kNativeHeight, LittleEndian(9, 2), &Pa::nativeHeight),
    NumberRow<Pa>("flags", dt::kScanFlags, Bits(11), &Pa::features),
    NumberRow<Pa>("max_luminance_full_code", dt::kMaxLuminanceFull, LittleEndian(24, 2), &Pa::maxLuminanceFull),
    NumberRow<Pa>("max_luminance_10_code", dt::kMaxLuminance10, LittleEndian(26, 2), &Pa::maxLuminance10),
    NumberRow<Pa>("min_luminance_code", dt::kMinLuminance, LittleEndian(28, 2), &Pa::minLuminance),
    NumberRow<Pa>("depth_technology", dt::kDepthTechnology, Bits(30), &Pa::depthTechnology),
    NumberRow<Pa>("gamma_code", dt::kGammaEotf, Bits(31), &Pa::gamma),
});

// ---- Tiled Display Topology, DisplayID 1.3 section 4.14, 2.1 section 4.8 (22 payload bytes):
// tile counts and locations split into low nibbles and two high bits of byte 6.
using Ti = DisplayIdTiled;
constexpr auto kTiledRows = std::to_array<FieldRow<Ti>>({
    FlagRow<Ti>("single_enclosure", dt::kSingleEnclosure, Bit(3, 7), &Ti::singleEnclosure),
    FlagRow<Ti>("bezel_info", dt::kBezelInfo, Bit(3, 6), &Ti::bezelInfo),
    EnumRow<Ti>("single_tile_behaviour", dt::kSingleTileBehaviour, Bits(3, 2, 0).Named(dt::kSingleTile), &Ti::singleTile),
    NumberRow<Ti>("tiles_h", dt::kTilesH, Join(Bits(6, 7, 6), Bits(4, 7, 4)).Scaled(1, 1), &Ti::tilesH),
    NumberRow<Ti>("tiles_v", dt::kTilesV, Join(Bits(6, 5, 4), Bits(4, 3, 0)).Scaled(1, 1), &Ti::tilesV),
    NumberRow<Ti>("tile_h", dt::kTileH, Join(Bits(6, 3, 2), Bits(5, 7, 4)), &Ti::tileH),
    NumberRow<Ti>("tile_v", dt::kTileV, Join(Bits(6, 1, 0), Bits(5, 3, 0)), &Ti::tileV),
    NumberRow<Ti>("tile_width", dt::kTileWidth, LittleEndian(7, 2).Scaled(1, 1), &Ti::tileWidth),
    NumberRow<Ti>("tile_height", dt::kTileHeight, LittleEndian(9, 2).Scaled(1, 1), &Ti::tileHeight),
    NumberRow<Ti>("pixel_multiplier", dt::kPixelMultiplier, Bits(11), &Ti::pixelMultiplier),
    NumberRow<Ti>("bezel_top", dt::kBezelTop, Bits(12), &Ti::bezelTop),
    NumberRow<Ti>("bezel_bottom", dt::kBezelBottom, Bits(13), &Ti::bezelBottom),
    NumberRow<Ti>("bezel_right", dt::kBezelRight, Bits(14), &Ti::bezelRight),
    NumberRow<Ti>("bezel_left", dt::kBezelLeft, Bits(15), &Ti::bezelLeft),
    NumberRow<Ti>("product_code", dt::kTileProduct, LittleEndian(19, 2), &Ti::productCode),
});
constexpr BitCode kTileSerial = LittleEndian(21, 4);

// ---- Display Interface Features, DisplayID 2.1 section 4.10.
using In = DisplayIdInterface;
constexpr auto kInterfaceRows = std::to_array<FieldRow<In>>({
    NumberRow<In>("min_420_rate_code", dt::kMin420RateMhz, Bits(7), &In::min420Rate),
    NumberRow<In>("audio", dt::kAudioRates, Bits(8), &In::audio),
    NumberRow<In>("colorspaces_2", dt::kColorspaces2, Bits(10), &In::colorspaces2),
    NumberRow<In>("additional_count", dt::kAdditional, Bits(11, 2, 0), &In::additionalCount),
});

// ---- Product Identification, DisplayID 1.3 section 4.1, 2.1 section 4.1.
using Pr = DisplayIdProduct;
constexpr auto kProductRows = std::to_array<FieldRow<Pr>>({
    NumberRow<Pr>("product_code", dt::kProductCode, LittleEndian(6, 2), &Pr::productCode),
    NumberRow<Pr>("week", dt::kProductWeek, Bits(12), &Pr::week),
    NumberRow<Pr>("year", dt::kProductYear, Bits(13).Scaled(1, 2000), &Pr::year),
    NumberRow<Pr>("name_length", dt::kPayloadBytes, Bits(14), &Pr::nameLength),
});
constexpr BitCode kProductSerial = LittleEndian(8, 4);

// ---- Adaptive Sync, DisplayID 2.1 section 4.12: 6 bytes a descriptor, more by the revision.
constexpr BitCode kAdaptiveFlags = Bits(0);
constexpr BitCode kMaxIncrease = Bits(1);
constexpr BitCode kMinHz = Bits(2);
constexpr BitCode kMaxHz = Join(Bits(4, 1, 0), Bits(3)).Scaled(1, 1);
constexpr BitCode kMaxDecrease = Bits(5);

// ---- Dynamic Video Timing Range Limits, DisplayID 2.1 section 4.9: from revision 1 the maximum
// refresh rate has two more bits.
using Dy = DisplayIdDynamicRange;
constexpr auto kDynamicRows = std::to_array<FieldRow<Dy>>({
    NumberRow<Dy>("min_clock_khz", dt::kMinClockKHz, LittleEndian(3, 3).Scaled(1, 1), &Dy::minClockKHz),
    NumberRow<Dy>("max_clock_khz", dt::kMaxClockKHz, LittleEndian(6, 3).Scaled(1, 1), &Dy::maxClockKHz),
    NumberRow<Dy>("min_hz", dt::kMinRefreshHz, Bits(9), &Dy::minHz),
    FlagRow<Dy>("seamless", dt::kSeamless, Bit(11, 7), &Dy::seamless),
});
constexpr BitCode kDynamicMaxHz = Bits(10);
constexpr BitCode kDynamicMaxHz10 = Join(Bits(11, 1, 0), Bits(10));

using ParseFn = void (*)(std::span<const uint8_t>, DisplayIdDataBlock&);
using DescribeFn = void (*)(const DisplayIdDataBlock&, Describer&);

struct KindEntry {
  int tag;
  DisplayIdKind kind;
  std::string_view id;
  std::string_view name;
  ParseFn parse;
  DescribeFn describe;
};

std::span<const uint8_t> Payload(std::span<const uint8_t> block) { return block.subspan(kHeaderSize); }

void ParseTimings(std::span<const uint8_t> block, DisplayIdDataBlock& out) {
  DisplayIdTimings timings;
  const bool type7 = out.tag == kDisplayIdTagType7;
  const size_t size = kDisplayIdTimingSize + (type7 ? (block[1] >> 4 & 0x07) : 0);
  for (size_t p = kHeaderSize; p + size <= block.size(); p += size) {
    timings.timings.push_back(ParseDisplayIdTiming(block.subspan(p).first<kDisplayIdTimingSize>(),
                                                   out.bytes.first + static_cast<int>(p), type7));
  }
  out.content = std::move(timings);
}

void DescribeTimings(const DisplayIdDataBlock& block, Describer& out) {
  const auto& timings = std::get<DisplayIdTimings>(block.content).timings;
  for (size_t i = 0; i < timings.size(); ++i) DescribeDisplayIdTiming(timings[i], static_cast<int>(i) + 1, out);
}

void ParseParameters(std::span<const uint8_t> block, DisplayIdDataBlock& out) {
  DisplayIdParameters parameters;
  parameters.v2 = out.tag == 0x21;
  if (parameters.v2) {
    ReadRows(std::span(kParametersV2), block, parameters);
  } else {
    ReadRows(std::span(kParametersV1), block, parameters);
  }
  out.content = parameters;
}

// An IEEE 754 half float of cd/m^2 (DisplayID 2.1 section 4.2).
double HalfFloat(int bits) {
  const int exponent = bits >> 10 & 0x1F;
  const int fraction = bits & 0x3FF;
  const double magnitude = exponent == 0 ? std::ldexp(fraction, -24) : std::ldexp(1024 + fraction, exponent - 25);
  return bits & 0x8000 ? -magnitude : magnitude;
}

void DescribeParameters(const DisplayIdDataBlock& block, Describer& out) {
  const auto& parameters = std::get<DisplayIdParameters>(block.content);
  const ByteRange& at = block.bytes;
  if (parameters.v2) {
    out.Rows(std::span(kParametersV2), parameters, at);
    if (block.raw.size() > 29) {
      out.DerivedReal("max_luminance_full", dt::kMaxLuminanceFull, HalfFloat(parameters.maxLuminanceFull), {at.first + 24, at.first + 25});
      out.DerivedReal("max_luminance_10", dt::kMaxLuminance10, HalfFloat(parameters.maxLuminance10), {at.first + 26, at.first + 27});
      out.DerivedReal("min_luminance", dt::kMinLuminance, HalfFloat(parameters.minLuminance), {at.first + 28, at.first + 29});
    }
    if (block.raw.size() > 23) out.Hex("chromaticity", dt::kChromaticity, std::span(block.raw).subspan(12, 12), {at.first + 12, at.first + 23});
  } else {
    out.Rows(std::span(kParametersV1), parameters, at);
  }
  if (block.raw.size() > 12 && parameters.gamma != 0xFF && !parameters.v2) {
    out.DerivedReal("gamma", dt::kGamma, (parameters.gamma + 100) / 100.0, {at.first + 12, at.first + 12});
  }
  if (parameters.v2 && block.raw.size() > 31 && parameters.gamma != 0xFF) {
    out.DerivedReal("gamma", dt::kGammaEotf, (parameters.gamma + 100) / 100.0, {at.first + 31, at.first + 31});
  }
}

void ParseTiled(std::span<const uint8_t> block, DisplayIdDataBlock& out) {
  DisplayIdTiled tiled;
  ReadRows(std::span(kTiledRows), block, tiled);
  if (block.size() > static_cast<size_t>(kTileSerial.LastOffset())) tiled.serial = kTileSerial.Read(block);
  out.content = tiled;
}

void DescribeTiled(const DisplayIdDataBlock& block, Describer& out) {
  const auto& tiled = std::get<DisplayIdTiled>(block.content);
  out.Rows(std::span(kTiledRows), tiled, block.bytes);
  if (block.raw.size() > 18) out.Hex("vendor", dt::kTileVendor, std::span(block.raw).subspan(16, 3), {block.bytes.first + 16, block.bytes.first + 18});
  if (block.raw.size() > static_cast<size_t>(kTileSerial.LastOffset())) {
    out.Number("serial", dt::kTileSerial, tiled.serial, kTileSerial.Placed(block.bytes.first));
  }
}

void ParseInterface(std::span<const uint8_t> block, DisplayIdDataBlock& out) {
  DisplayIdInterface features;
  const auto byte = [&](size_t i) { return i < block.size() ? static_cast<int>(block[i]) : 0; };
  features.rgbDepths = byte(3);
  features.ycbcr444Depths = byte(4);
  features.ycbcr422Depths = byte(5);
  features.ycbcr420Depths = byte(6);
  features.colorspaces = byte(9);
  ReadRows(std::span(kInterfaceRows), block, features);
  out.content = features;
}

std::vector<double> Depths(int mask, std::span<const double> values) {
  std::vector<double> set;
  for (size_t i = 0; i < values.size(); ++i) {
    if (mask >> i & 1) set.push_back(values[i]);
  }
  return set;
}

void DescribeInterface(const DisplayIdDataBlock& block, Describer& out) {
  const auto& features = std::get<DisplayIdInterface>(block.content);
  const int at = block.bytes.first;
  const size_t size = block.raw.size();
  if (size > 3) out.List("rgb_bpc", dt::kRgbDepths, Depths(features.rgbDepths, dt::kDepths444), {at + 3, at + 3});
  if (size > 4) out.List("ycbcr444_bpc", dt::kYcbcr444Depths, Depths(features.ycbcr444Depths, dt::kDepths444), {at + 4, at + 4});
  if (size > 5) out.List("ycbcr422_bpc", dt::kYcbcr422Depths, Depths(features.ycbcr422Depths, dt::kDepths4xx), {at + 5, at + 5});
  if (size > 6) out.List("ycbcr420_bpc", dt::kYcbcr420Depths, Depths(features.ycbcr420Depths, dt::kDepths4xx), {at + 6, at + 6});
  out.Rows(std::span(kInterfaceRows).first<2>(), features, block.bytes);
  if (size > 7) out.DerivedReal("min_420_rate_mhz", dt::kMin420RateMhz, features.min420Rate * 74.25, {at + 7, at + 7});
  if (size > 9) out.BitFlags(dt::kColorspaceFlags, static_cast<uint32_t>(features.colorspaces), at + 9);
  out.Rows(std::span(kInterfaceRows).last<2>(), features, block.bytes);
  if (size > 12) out.Hex("additional", dt::kAdditional, std::span(block.raw).subspan(12), {at + 12, block.bytes.last});
}

void ParseAdaptiveSync(std::span<const uint8_t> block, DisplayIdDataBlock& out) {
  DisplayIdAdaptiveSync adaptive;
  const size_t size = 6 + (block[1] >> 4 & 0x07);
  for (size_t p = kHeaderSize; p + size <= block.size(); p += size) {
    const std::span<const uint8_t> d = block.subspan(p, size);
    AdaptiveSyncRange range;
    const int at = out.bytes.first + static_cast<int>(p);
    range.bytes = {at, at + static_cast<int>(size) - 1};
    range.flags = static_cast<int>(kAdaptiveFlags.Read(d));
    range.maxIncrease = static_cast<int>(kMaxIncrease.Read(d));
    range.minHz = static_cast<int>(kMinHz.Read(d));
    range.maxHz = static_cast<int>(kMaxHz.Value(kMaxHz.Read(d)));
    range.maxDecrease = static_cast<int>(kMaxDecrease.Read(d));
    adaptive.ranges.push_back(range);
  }
  out.content = std::move(adaptive);
}

void DescribeAdaptiveSync(const DisplayIdDataBlock& block, Describer& out) {
  int number = 0;
  for (const AdaptiveSyncRange& range : std::get<DisplayIdAdaptiveSync>(block.content).ranges) {
    char label[48];
    std::snprintf(label, sizeof label, dt::kAdaptiveLabel, ++number);
    const int at = range.bytes.first;
    out.BeginEntry("ranges", label, range.bytes);
    out.Flag("native_range", dt::kNativeRange, range.flags & 1, Bit(at, 0));
    out.Number("flags", dt::kAdaptiveFlags, range.flags, kAdaptiveFlags.Placed(at));
    out.Number("max_increase", dt::kMaxIncrease, range.maxIncrease, kMaxIncrease.Placed(at));
    out.Number("min_hz", dt::kMinRefreshHz, range.minHz, kMinHz.Placed(at));
    out.Number("max_hz", dt::kMaxRefreshHz, range.maxHz, kMaxHz.Placed(at));
    out.Number("max_decrease", dt::kMaxDecrease, range.maxDecrease, kMaxDecrease.Placed(at));
    out.End();
  }
}

const BitCode& DynamicMaxCode(const DisplayIdDataBlock& block) {
  return (block.revision & 0x07) >= 1 ? kDynamicMaxHz10 : kDynamicMaxHz;
}

void ParseDynamicRange(std::span<const uint8_t> block, DisplayIdDataBlock& out) {
  DisplayIdDynamicRange range;
  ReadRows(std::span(kDynamicRows), block, range);
  const BitCode& max = DynamicMaxCode(out);
  if (block.size() > static_cast<size_t>(max.LastOffset())) range.maxHz = static_cast<int>(max.Read(block));
  out.content = range;
}

void DescribeDynamicRange(const DisplayIdDataBlock& block, Describer& out) {
  const auto& range = std::get<DisplayIdDynamicRange>(block.content);
  out.Rows(std::span(kDynamicRows).first<3>(), range, block.bytes);
  const BitCode& max = DynamicMaxCode(block);
  if (block.raw.size() > static_cast<size_t>(max.LastOffset())) {
    out.Number("max_hz", dt::kMaxRefreshHz, range.maxHz, max.Placed(block.bytes.first));
  }
  out.Rows(std::span(kDynamicRows).last<1>(), range, block.bytes);
}

void ParseContainer(std::span<const uint8_t>, DisplayIdDataBlock& out) { out.content = DisplayIdContainer{}; }

void DescribeContainer(const DisplayIdDataBlock& block, Describer& out) {
  const std::span<const uint8_t> id = Payload(block.raw);
  if (id.size() < 16) return;
  std::string text;
  char digits[3];
  for (size_t i = 0; i < 16; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) text.push_back(dt::kUuidDash);
    std::snprintf(digits, sizeof digits, dt::kUuidByte, id[i]);
    text += digits;
  }
  out.Text("container_id", dt::kContainerId, text, {block.bytes.first + kHeaderSize, block.bytes.first + kHeaderSize + 15});
}

void ParseProduct(std::span<const uint8_t> block, DisplayIdDataBlock& out) {
  DisplayIdProduct product;
  ReadRows(std::span(kProductRows), block, product);
  if (block.size() > static_cast<size_t>(kProductSerial.LastOffset())) product.serial = kProductSerial.Read(block);
  out.content = product;
}

void DescribeProduct(const DisplayIdDataBlock& block, Describer& out) {
  const auto& product = std::get<DisplayIdProduct>(block.content);
  const int at = block.bytes.first;
  if (block.raw.size() > 5) out.Hex("vendor", dt::kProductVendor, std::span(block.raw).subspan(3, 3), {at + 3, at + 5});
  out.Rows(std::span(kProductRows).first<1>(), product, block.bytes);
  if (block.raw.size() > static_cast<size_t>(kProductSerial.LastOffset())) {
    out.Number("serial", dt::kProductSerial, product.serial, kProductSerial.Placed(at));
  }
  out.Rows(std::span(kProductRows).last<3>(), product, block.bytes);
  const size_t nameAt = 15;
  if (block.raw.size() > nameAt && product.nameLength > 0) {
    const size_t length = std::min(block.raw.size() - nameAt, static_cast<size_t>(product.nameLength));
    out.Text("name", dt::kProductName, PrintableText(std::span(block.raw).subspan(nameAt, length)),
             {at + static_cast<int>(nameAt), at + static_cast<int>(nameAt + length) - 1});
  }
}

// Its data blocks are read with the bytes after the DisplayID data block at hand (ParseEmbeddedCta).
void ParseCta(std::span<const uint8_t>, DisplayIdDataBlock& out) { out.content = DisplayIdCta{}; }

// `rest`: from the DisplayID data block's tag byte to byte 126 of the EDID block.
void ParseEmbeddedCta(std::span<const uint8_t> rest, DisplayIdDataBlock& out) {
  out.content = DisplayIdCta{ParseCtaDataBlocks(rest.subspan(kHeaderSize), out.bytes.first + kHeaderSize,
                                                out.raw.size() - kHeaderSize)};
}

void DescribeCta(const DisplayIdDataBlock& block, Describer& out) {
  DescribeCtaDataBlocks(std::get<DisplayIdCta>(block.content).dataBlocks, out);
}

// DisplayID 1.3 table 2-1 and 2.1 table 2-4: the tags the program decodes.
constexpr std::array<KindEntry, 14> kKinds = {{
    {0x00, DisplayIdKind::kProduct, "product", dt::kKindProduct, ParseProduct, DescribeProduct},
    {0x01, DisplayIdKind::kParameters, "parameters", dt::kKindParameters, ParseParameters, DescribeParameters},
    {kDisplayIdTagType1, DisplayIdKind::kType1, "type-1-timings", dt::kKindType1, ParseTimings, DescribeTimings},
    {0x12, DisplayIdKind::kTiled, "tiled-display", dt::kKindTiled, ParseTiled, DescribeTiled},
    {0x20, DisplayIdKind::kProduct, "product", dt::kKindProduct, ParseProduct, DescribeProduct},
    {0x21, DisplayIdKind::kParameters, "parameters", dt::kKindParameters, ParseParameters, DescribeParameters},
    {kDisplayIdTagType7, DisplayIdKind::kType7, "type-7-timings", dt::kKindType7, ParseTimings, DescribeTimings},
    {0x25, DisplayIdKind::kDynamicRange, "dynamic-range", dt::kKindDynamic, ParseDynamicRange, DescribeDynamicRange},
    {0x26, DisplayIdKind::kInterface, "interface-features", dt::kKindInterface, ParseInterface, DescribeInterface},
    {0x28, DisplayIdKind::kTiled, "tiled-display", dt::kKindTiled, ParseTiled, DescribeTiled},
    {0x29, DisplayIdKind::kContainer, "container-id", dt::kKindContainer, ParseContainer, DescribeContainer},
    {kDisplayIdTagAdaptiveSync, DisplayIdKind::kAdaptiveSync, "adaptive-sync", dt::kKindAdaptive, ParseAdaptiveSync,
     DescribeAdaptiveSync},
    {0x81, DisplayIdKind::kCta, "cta", dt::kKindCta, ParseCta, DescribeCta},
    {-1, DisplayIdKind::kUnknown, "unknown", "", nullptr, nullptr},
}};

const KindEntry& FindKind(int tag) {
  const auto* entry = std::find_if(kKinds.begin(), kKinds.end() - 1, [tag](const KindEntry& k) { return k.tag == tag; });
  return *entry;
}

DisplayIdDataBlock ParseDataBlock(std::span<const uint8_t> block, int offset, bool truncated) {
  DisplayIdDataBlock out;
  out.bytes = {offset, offset + static_cast<int>(block.size()) - 1};
  out.raw.assign(block.begin(), block.end());
  out.tag = block[0];
  out.revision = block.size() > 1 ? block[1] : 0;
  out.payloadLength = block.size() > 2 ? block[2] : 0;
  const KindEntry& entry = FindKind(out.tag);
  if (truncated || !entry.parse) {
    out.content = DisplayIdUnknown{truncated};
    return out;
  }
  out.kind = entry.kind;
  entry.parse(block, out);
  return out;
}

std::string DataBlockLabel(const DisplayIdDataBlock& block) {
  if (const auto* unknown = std::get_if<DisplayIdUnknown>(&block.content)) {
    if (unknown->truncated) return dt::kTruncatedLabel;
    char label[64];
    std::snprintf(label, sizeof label, dt::kUnknownLabel, static_cast<unsigned>(block.tag));
    return label;
  }
  return std::string(FindKind(block.tag).name);
}

using B = DisplayIdBlock;
constexpr auto kSectionRows = std::to_array<FieldRow<B>>({
    NumberRow<B>("section_bytes", dt::kSectionBytes, Bits(2), &B::sectionBytes),
    NumberRow<B>("product_type", dt::kProductType, Bits(3), &B::productType),
    NumberRow<B>("extension_count", dt::kExtensionCount, Bits(4), &B::extensionCount),
});
// Byte 3 is the product type in DisplayID 1.x, the primary use case in 2.x.
constexpr BitCode kProductType13 = Bits(3).Named(dt::kProductTypes13);
constexpr BitCode kPrimaryUse20 = Bits(3).Named(dt::kPrimaryUses20);

}  // namespace

std::vector<DisplayIdTiming> DisplayIdBlock::Timings() const {
  std::vector<DisplayIdTiming> all;
  for (const DisplayIdDataBlock& block : dataBlocks) {
    if (const auto* timings = std::get_if<DisplayIdTimings>(&block.content)) {
      all.insert(all.end(), timings->timings.begin(), timings->timings.end());
    }
  }
  return all;
}

DisplayIdBlock ParseDisplayIdBlock(std::span<const uint8_t, 128> bytes, int offset) {
  DisplayIdBlock block;
  block.bytes = {offset, offset + 127};
  block.version = bytes[1];
  ReadRows(std::span(kSectionRows), bytes, block);
  const int length = std::min(block.sectionBytes, kMaxSectionBytes);
  const int end = kFirstDataBlock + length;  // the section checksum's byte
  int p = kFirstDataBlock;
  while (p < end) {
    const int left = end - p;
    if (left < kHeaderSize || (bytes[p] == 0 && bytes[p + 2] == 0)) break;  // filler up to the checksum
    const int size = kHeaderSize + bytes[p + 2];
    const bool truncated = size > left;
    const int taken = truncated ? left : size;
    DisplayIdDataBlock& data =
        block.dataBlocks.emplace_back(ParseDataBlock(bytes.subspan(static_cast<size_t>(p), static_cast<size_t>(taken)), offset + p, truncated));
    if (data.kind == DisplayIdKind::kCta) ParseEmbeddedCta(bytes.subspan(static_cast<size_t>(p), static_cast<size_t>(kChecksumByte - p)), data);
    p += taken;
  }
  block.section = {offset + kSectionStart, offset + end};
  block.sectionChecksum = bytes[static_cast<size_t>(end)];
  const unsigned sum = std::accumulate(bytes.begin() + kSectionStart, bytes.begin() + end + 1, 0u);
  block.sectionChecksumRight = (sum & 0xFF) == 0;
  return block;
}

void DescribeDisplayIdBlock(const DisplayIdBlock& block, Describer& out) {
  const int at = block.bytes.first;
  char version[16];
  std::snprintf(version, sizeof version, decode_text::kVersionFormat, block.version >> 4, block.version & 0x0F);
  out.Text("version", dt::kVersion, version, {at + 1, at + 1});
  out.Rows(std::span(kSectionRows).first<1>(), block, block.bytes);
  out.Enum("product_type", dt::kProductType, static_cast<uint32_t>(block.productType),
           (block.Major() >= 2 ? kPrimaryUse20 : kProductType13).Placed(at));
  out.Rows(std::span(kSectionRows).last<1>(), block, block.bytes);
  for (const DisplayIdDataBlock& data : block.dataBlocks) {
    out.BeginEntry("data_blocks", [&] { return DataBlockLabel(data); }, data.bytes);
    out.Identity("kind", FindKind(data.tag).id, data.bytes);
    out.IdentityNumber("tag", data.tag, {data.bytes.first, data.bytes.first});
    out.Number("block_revision", dt::kBlockRevision, data.revision, Bits(data.bytes.first + 1));
    if (const auto* unknown = std::get_if<DisplayIdUnknown>(&data.content); unknown && unknown->truncated) {
      out.DerivedFlag("cut_short", dt::kCutShort, true, data.bytes);
    }
    const KindEntry& entry = FindKind(data.tag);
    if (entry.describe && data.kind != DisplayIdKind::kUnknown) {
      entry.describe(data, out);
    } else if (data.raw.size() > kHeaderSize) {
      out.Hex("payload", dt::kPayload, std::span(data.raw).subspan(kHeaderSize), {data.bytes.first + kHeaderSize, data.bytes.last});
    }
    out.End();
  }
  out.Number("section_checksum", dt::kSectionChecksum, block.sectionChecksum, Bits(block.section.last));
  out.DerivedFlag("section_checksum_right", dt::kSectionChecksumRight, block.sectionChecksumRight, block.section);
}

}  // namespace tolvex
