// The video data blocks of CTA-861-H: the Video Data Block (7.5.1), the YCbCr 4:2:0 Video and
// Capability Map Data Blocks (7.5.10, 7.5.11), the Video Format Preference Data Block (7.5.12)
// and the DisplayID Type VII timing data block (7.5.17).
#include <cstdio>

#include "model/cta_data_blocks.h"
#include "model/cta_texts.h"
#include "model/vic_table.h"

namespace tolvex::cta {

namespace {

namespace ct = cta_text;

constexpr int kSvdStart = 1;          // after the header
constexpr int kExtendedStart = 2;     // after the header and the extended tag
constexpr int kFirstNativeSvd = 129;  // 129-192 are VICs 1-64 marked native
constexpr int kLastNativeSvd = 192;

std::string VicLabel(int vic, bool native) {
  char head[24];
  std::snprintf(head, sizeof head, ct::kVicLabel, vic);
  const VideoTiming* timing = FindVic(vic);
  std::string label = head + (timing ? DescribeTiming(*timing) : std::string(ct::kVicUnknown));
  if (native) label += ct::kNativeMark;
  return label;
}

std::vector<ShortVideo> ReadSvds(Bytes block, int from, int offset) {
  std::vector<ShortVideo> svds;
  for (size_t i = static_cast<size_t>(from); i < block.size(); ++i) svds.push_back(DecodeSvd(block[i], offset + static_cast<int>(i)));
  return svds;
}

// Each SVD as a compact entry; a VIC with a native bit has its code in bits 6-0.
void DescribeSvds(const std::vector<ShortVideo>& svds, std::string_view key, Describer& out) {
  for (const ShortVideo& svd : svds) {
    const int at = svd.bytes.first;
    out.BeginEntry(key, [&] { return VicLabel(svd.vic, svd.native); }, svd.bytes, true);
    if (svd.vic >= 1 && svd.vic <= 64) {
      out.Number("vic", ct::kVic, svd.vic, Bits(at, 6, 0));
      out.Flag("native", ct::kNative, svd.native, Bit(at, 7));
    } else {
      out.Number("vic", ct::kVic, svd.vic, Bits(at));
      out.DerivedFlag("native", ct::kNative, false, svd.bytes);
    }
    out.End();
  }
}

std::vector<double> VicList(const std::vector<ShortVideo>& svds) {
  std::vector<double> vics;
  for (const ShortVideo& svd : svds) vics.push_back(svd.vic);
  return vics;
}

}  // namespace

ShortVideo DecodeSvd(uint8_t svd, int offset) {
  ShortVideo decoded;
  decoded.bytes = {offset, offset};
  if (svd >= kFirstNativeSvd && svd <= kLastNativeSvd) {
    decoded.vic = svd & 0x7F;
    decoded.native = true;
  } else {
    decoded.vic = svd;
  }
  return decoded;
}

void ParseVideo(Bytes block, CtaDataBlock& out) { out.content = CtaVideo{ReadSvds(block, kSvdStart, out.bytes.first)}; }

void DescribeVideo(const CtaDataBlock& block, Describer& out) {
  DescribeSvds(std::get<CtaVideo>(block.content).svds, "svds", out);
}

void ParseYcbcr420Video(Bytes block, CtaDataBlock& out) {
  out.content = CtaYcbcr420Video{ReadSvds(block, kExtendedStart, out.bytes.first)};
}

void DescribeYcbcr420Video(const CtaDataBlock& block, Describer& out) {
  const auto& video = std::get<CtaYcbcr420Video>(block.content);
  out.List("vics", ct::kYcbcr420OnlyVics, VicList(video.svds), block.payload);
  DescribeSvds(video.svds, "svds", out);
}

void ParseYcbcr420Map(Bytes, CtaDataBlock& out) { out.content = CtaYcbcr420Map{}; }

void ResolveYcbcr420Map(CtaYcbcr420Map& map, std::span<const uint8_t> bitmap, bool all, const std::vector<ShortVideo>& svds) {
  map.all = all;
  map.vics.clear();
  map.outOfRange.clear();
  if (all) {
    for (const ShortVideo& svd : svds) map.vics.push_back(svd.vic);
    return;
  }
  for (size_t i = 0; i < bitmap.size() * 8; ++i) {
    if (!(bitmap[i / 8] >> (i % 8) & 1)) continue;
    if (i < svds.size()) {
      map.vics.push_back(svds[i].vic);
    } else {
      map.outOfRange.push_back(static_cast<int>(i));
    }
  }
}

void DescribeYcbcr420Map(const CtaDataBlock& block, Describer& out) {
  const auto& map = std::get<CtaYcbcr420Map>(block.content);
  out.DerivedFlag("all_svds", ct::kAllSvds, map.all, block.bytes);
  std::vector<double> vics(map.vics.begin(), map.vics.end());
  out.List("vics", ct::kYcbcr420CapableVics, std::move(vics), block.bytes);
  if (!map.all) out.Hex("bitmap", ct::kMapBits, std::span(block.raw).subspan(kExtendedStart), block.payload);
}

void ParseVideoFormatPreference(Bytes block, CtaDataBlock& out) {
  CtaVideoFormatPreference preference;
  for (size_t i = kExtendedStart; i < block.size(); ++i) {
    const int at = out.bytes.first + static_cast<int>(i);
    preference.svrs.push_back({{at, at}, block[i], false});
  }
  out.content = std::move(preference);
}

// CTA-861-H table 90: 1-127 and 193-253 are VICs, 129-144 the n-th DTD, 145-160 the n-th
// DisplayID Type VII/X timing.
void DescribeVideoFormatPreference(const CtaDataBlock& block, Describer& out) {
  for (const ShortVideo& svr : std::get<CtaVideoFormatPreference>(block.content).svrs) {
    char label[48];
    const int code = svr.vic;
    if ((code >= 1 && code <= 127) || (code >= 193 && code <= 253)) {
      std::snprintf(label, sizeof label, ct::kSvrVicLabel, code);
    } else if (code >= 129 && code <= 144) {
      std::snprintf(label, sizeof label, ct::kSvrDtdLabel, code - 128);
    } else if (code >= 145 && code <= 160) {
      std::snprintf(label, sizeof label, ct::kSvrType7Label, code - 144);
    } else {
      std::snprintf(label, sizeof label, ct::kSvrReservedLabel, code);
    }
    out.BeginEntry("svrs", label, svr.bytes, true);
    out.Number("svr", ct::kSvr, code, Bits(svr.bytes.first));
    out.End();
  }
}

// Byte 2 is the block revision: bits 6-4 add bytes to each 20-byte descriptor.
void ParseType7(Bytes block, CtaDataBlock& out) {
  CtaType7Timings timings;
  if (block.size() > kExtendedStart) {
    const size_t size = kDisplayIdTimingSize + (block[kExtendedStart] >> 4 & 0x07);
    for (size_t p = kExtendedStart + 1; p + size <= block.size(); p += size) {
      timings.timings.push_back(
          ParseDisplayIdTiming(block.subspan(p).first<kDisplayIdTimingSize>(), out.bytes.first + static_cast<int>(p), true));
    }
  }
  out.content = std::move(timings);
}

void DescribeType7(const CtaDataBlock& block, Describer& out) {
  const auto& timings = std::get<CtaType7Timings>(block.content).timings;
  for (size_t i = 0; i < timings.size(); ++i) DescribeDisplayIdTiming(timings[i], static_cast<int>(i) + 1, out);
}

}  // namespace tolvex::cta
