// The extended-tag data blocks about colour and range: Video Capability (CTA-861-H 7.5.6),
// Colorimetry (7.5.5), HDR Static Metadata (7.5.13), HDR Dynamic Metadata (7.5.14), and HDMI
// 2.1's EDID Extension Override (10.3.6).
#include <cmath>
#include <array>
#include <cstdio>

#include "model/cta_data_blocks.h"
#include "model/cta_texts.h"

namespace tolvex {

namespace {

namespace ct = cta_text;

using V = CtaVideoCapability;
constexpr auto kCapabilityRows = std::to_array<FieldRow<V>>({
    FlagRow<V>("qy", ct::kQy, Bit(2, 7), &V::qy),
    FlagRow<V>("qs", ct::kQs, Bit(2, 6), &V::qs),
    EnumRow<V>("s_pt", ct::kScanPt, Bits(2, 5, 4).Named(ct::kScanBehaviours), &V::scanPt),
    EnumRow<V>("s_it", ct::kScanIt, Bits(2, 3, 2).Named(ct::kScanBehaviours), &V::scanIt),
    EnumRow<V>("s_ce", ct::kScanCe, Bits(2, 1, 0).Named(ct::kScanBehaviours), &V::scanCe),
});

using S = CtaHdrStatic;
constexpr auto kLuminanceRows = std::to_array<FieldRow<S>>({
    NumberRow<S>("max_luminance_code", ct::kMaxLuminanceCode, Bits(4), &S::maxLuminanceCode),
    NumberRow<S>("max_fall_code", ct::kMaxFallCode, Bits(5), &S::maxFallCode),
    NumberRow<S>("min_luminance_code", ct::kMinLuminanceCode, Bits(6), &S::minLuminanceCode),
});
constexpr int kEotfByte = 2;
constexpr int kMetadataByte = 3;

using O = CtaOverride;
constexpr auto kOverrideRows = std::to_array<FieldRow<O>>({
    NumberRow<O>("block_count", ct::kOverrideCount, Bits(2), &O::blockCount),
});

// cd/m^2 of a luminance code (CTA-861-H 7.5.13): 50 x 2^(code / 32).
double CodeLuminance(int code) { return 50.0 * std::pow(2.0, code / 32.0); }
double Rounded(double value) { return std::round(value * 1000.0) / 1000.0; }

}  // namespace

double CtaHdrStatic::MaxLuminance() const { return maxLuminanceCode < 0 ? 0 : Rounded(CodeLuminance(maxLuminanceCode)); }
double CtaHdrStatic::MaxFall() const { return maxFallCode < 0 ? 0 : Rounded(CodeLuminance(maxFallCode)); }
// The minimum is a share of the maximum: max x (code / 255)^2 / 100.
double CtaHdrStatic::MinLuminance() const {
  if (minLuminanceCode < 0 || maxLuminanceCode < 0) return 0;
  const double share = minLuminanceCode / 255.0;
  return Rounded(CodeLuminance(maxLuminanceCode) * share * share / 100.0);
}

std::vector<double> CtaHdrStatic::EotfBits() const {
  std::vector<double> bits;
  for (int bit = 0; bit < static_cast<int>(ct::kEotfs.size()); ++bit) {
    if (eotfs >> bit & 1) bits.push_back(bit);
  }
  return bits;
}

namespace cta {

void ParseVideoCapability(Bytes block, CtaDataBlock& out) { ParseRows(std::span(kCapabilityRows), block, out); }

void DescribeVideoCapability(const CtaDataBlock& block, Describer& out) {
  DescribeRows(std::span(kCapabilityRows), block, 3, out);
}

void ParseColorimetry(Bytes block, CtaDataBlock& out) {
  CtaColorimetry colorimetry;
  for (size_t i = 2; i < 4 && i < block.size(); ++i) colorimetry.bits |= static_cast<uint32_t>(block[i]) << (8 * (i - 2));
  out.content = colorimetry;
}

void DescribeColorimetry(const CtaDataBlock& block, Describer& out) {
  const size_t bytes = block.raw.size() > 2 ? std::min<size_t>(block.raw.size() - 2, 2) : 0;
  out.BitFlags(std::span(ct::kColorimetry).first(bytes * 8), std::get<CtaColorimetry>(block.content).bits, block.bytes.first + 2);
  DescribeRest(block, 4, out);
}

void ParseHdrStatic(Bytes block, CtaDataBlock& out) {
  CtaHdrStatic hdr;
  if (block.size() > kEotfByte) hdr.eotfs = block[kEotfByte] & 0x3F;
  if (block.size() > kMetadataByte) hdr.metadataTypes = block[kMetadataByte];
  ReadRows(std::span(kLuminanceRows), block, hdr);
  out.content = hdr;
}

void DescribeHdrStatic(const CtaDataBlock& block, Describer& out) {
  const auto& hdr = std::get<CtaHdrStatic>(block.content);
  const int at = block.bytes.first;
  if (block.raw.size() > kEotfByte) {
    out.List("eotfs", ct::kEotfList, hdr.EotfBits(), {at + kEotfByte, at + kEotfByte});
    out.BitFlags(ct::kEotfs, static_cast<uint32_t>(hdr.eotfs), at + kEotfByte, 0, FieldRole::kDetail);
  }
  if (block.raw.size() > kMetadataByte) {
    out.Flag("static_metadata_type1", ct::kStaticType1, hdr.metadataTypes & 1, Bit(at + kMetadataByte, 0));
    out.Number("static_metadata_types", ct::kStaticTypes, hdr.metadataTypes, Bits(at + kMetadataByte));
  }
  out.Rows(std::span(kLuminanceRows), hdr, block.bytes);
  if (hdr.maxLuminanceCode >= 0) out.DerivedReal("max_luminance", ct::kMaxLuminance, hdr.MaxLuminance(), {at + 4, at + 4});
  if (hdr.maxFallCode >= 0) out.DerivedReal("max_fall", ct::kMaxFall, hdr.MaxFall(), {at + 5, at + 5});
  if (hdr.minLuminanceCode >= 0 && hdr.maxLuminanceCode >= 0) {
    out.DerivedReal("min_luminance", ct::kMinLuminance, hdr.MinLuminance(), {at + 4, at + 6});
  }
  DescribeRest(block, 7, out);
}

// Each entry: its length, the metadata type (two bytes, least significant first), then the
// type's own bytes, of which the first holds its version in bits 3-0.
void ParseHdrDynamic(Bytes block, CtaDataBlock& out) {
  CtaHdrDynamic dynamic;
  size_t p = 2;
  while (p + 3 <= block.size()) {
    const size_t length = block[p];
    if (length < 2 || p + 1 + length > block.size()) break;
    HdrDynamicEntry entry;
    const int at = out.bytes.first + static_cast<int>(p);
    entry.bytes = {at, at + static_cast<int>(length)};
    entry.type = block[p + 1] | block[p + 2] << 8;
    if (length > 2) entry.version = block[p + 3] & 0x0F;
    dynamic.entries.push_back(entry);
    p += length + 1;
  }
  out.content = std::move(dynamic);
}

void DescribeHdrDynamic(const CtaDataBlock& block, Describer& out) {
  int end = 2;
  for (const HdrDynamicEntry& entry : std::get<CtaHdrDynamic>(block.content).entries) {
    char label[48];
    std::snprintf(label, sizeof label, ct::kDynamicLabel, entry.type);
    const int at = entry.bytes.first;
    out.BeginEntry("entries", label, entry.bytes);
    out.Number("type", ct::kMetadataType, entry.type, LittleEndian(at + 1, 2));
    if (entry.version >= 0) out.Number("version", ct::kMetadataVersion, entry.version, Bits(at + 3, 3, 0));
    out.End();
    end = entry.bytes.last - block.bytes.first + 1;
  }
  DescribeRest(block, end, out);
}

void ParseOverride(Bytes block, CtaDataBlock& out) { ParseRows(std::span(kOverrideRows), block, out); }

void DescribeOverride(const CtaDataBlock& block, Describer& out) { DescribeRows(std::span(kOverrideRows), block, 3, out); }

}  // namespace cta

}  // namespace tolvex
