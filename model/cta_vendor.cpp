// The vendor-specific data blocks the program decodes: HDMI (HDMI 1.4b 8.3.2), HDMI Forum (HDMI
// 2.1 10.3.2, the same fields in the vendor block and in the Sink Capability Data Block), AMD
// FreeSync, and the HDR10+ and Dolby Vision video blocks as far as their layout is public.
// Offsets count from the data block's header byte.
#include <array>
#include <cstdio>

#include "model/cta_data_blocks.h"
#include "model/cta_texts.h"
#include "model/vic_table.h"

namespace tolvex {

namespace {

namespace ct = cta_text;

// ---- HDMI: the fixed part, bytes 4-8; the latencies and the HDMI video fields follow as the
// flags of byte 8 say.
using H = CtaHdmi;
constexpr auto kHdmiRows = std::to_array<FieldRow<H>>({
    NumberRow<H>("physical_a", ct::kPhysicalA, Bits(4, 7, 4), &H::physicalA),
    NumberRow<H>("physical_b", ct::kPhysicalB, Bits(4, 3, 0), &H::physicalB),
    NumberRow<H>("physical_c", ct::kPhysicalC, Bits(5, 7, 4), &H::physicalC),
    NumberRow<H>("physical_d", ct::kPhysicalD, Bits(5, 3, 0), &H::physicalD),
    FlagRow<H>("supports_ai", ct::kSupportsAi, Bit(6, 7), &H::supportsAi),
    FlagRow<H>("dc_48bit", ct::kDc48, Bit(6, 6), &H::dc48),
    FlagRow<H>("dc_36bit", ct::kDc36, Bit(6, 5), &H::dc36),
    FlagRow<H>("dc_30bit", ct::kDc30, Bit(6, 4), &H::dc30),
    FlagRow<H>("dc_y444", ct::kDcY444, Bit(6, 3), &H::dcY444),
    FlagRow<H>("dvi_dual", ct::kDviDual, Bit(6, 0), &H::dviDual),
    NumberRow<H>("max_tmds_mhz", ct::kMaxTmdsMhz, Bits(7).Scaled(5), &H::maxTmdsMhz),
    FlagRow<H>("latency_present", ct::kLatencyPresent, Bit(8, 7), &H::latencyPresent),
    FlagRow<H>("i_latency_present", ct::kILatencyPresent, Bit(8, 6), &H::iLatencyPresent),
    FlagRow<H>("hdmi_video_present", ct::kHdmiVideoPresent, Bit(8, 5), &H::hdmiVideoPresent),
    FlagRow<H>("cnc_graphics", ct::kCncGraphics, Bit(8, 0), &H::cncGraphics),
    FlagRow<H>("cnc_photo", ct::kCncPhoto, Bit(8, 1), &H::cncPhoto),
    FlagRow<H>("cnc_cinema", ct::kCncCinema, Bit(8, 2), &H::cncCinema),
    FlagRow<H>("cnc_game", ct::kCncGame, Bit(8, 3), &H::cncGame),
});
constexpr int kHdmiOptionalAt = 9;

// "(code - 1) x 2 ms"; 0 is unknown and 255 "not supported", which have no length.
double LatencyMs(int code) { return code > 0 && code < 255 ? 2.0 * (code - 1) : -1; }

void DescribeLatency(std::string_view key, std::string_view label, std::string_view msKey, std::string_view msLabel,
                     int code, int at, Describer& out) {
  if (code < 0) return;
  out.Number(key, label, code, Bits(at));
  if (LatencyMs(code) >= 0) out.DerivedNumber(msKey, msLabel, LatencyMs(code), {at, at});
}

// ---- HDMI Forum: version and rates from byte 4 on in both forms; the SCDB has two reserved
// bytes where the vendor block has its OUI.
using F = CtaHdmiForum;
constexpr auto kForumRows = std::to_array<FieldRow<F>>({
    NumberRow<F>("version", ct::kVersion, Bits(4), &F::version),
    NumberRow<F>("max_tmds_mhz", ct::kMaxTmdsRateMhz, Bits(5).Scaled(5), &F::maxTmdsMhz),
    FlagRow<F>("scdc_present", ct::kScdcPresent, Bit(6, 7), &F::scdcPresent),
    FlagRow<F>("rr_capable", ct::kRrCapable, Bit(6, 6), &F::rrCapable),
    FlagRow<F>("cable_status", ct::kCableStatus, Bit(6, 5), &F::cableStatus),
    FlagRow<F>("ccbpci", ct::kCcbpci, Bit(6, 4), &F::ccbpci),
    FlagRow<F>("lte_340mcsc_scramble", ct::kLte340Scramble, Bit(6, 3), &F::lte340Scramble),
    FlagRow<F>("independent_view", ct::kIndependentView, Bit(6, 2), &F::independentView),
    FlagRow<F>("dual_view", ct::kDualView, Bit(6, 1), &F::dualView),
    FlagRow<F>("osd_disparity_3d", ct::kOsdDisparity, Bit(6, 0), &F::osdDisparity),
    EnumRow<F>("max_frl_rate", ct::kMaxFrlRate, Bits(7, 7, 4).Named(ct::kFrlRates), &F::maxFrlRate),
    FlagRow<F>("uhd_vic", ct::kUhdVic, Bit(7, 3), &F::uhdVic),
    FlagRow<F>("dc_48bit_420", ct::kDc48_420, Bit(7, 2), &F::dc48_420),
    FlagRow<F>("dc_36bit_420", ct::kDc36_420, Bit(7, 1), &F::dc36_420),
    FlagRow<F>("dc_30bit_420", ct::kDc30_420, Bit(7, 0), &F::dc30_420),
    FlagRow<F>("fapa_end_extended", ct::kFapaEndExtended, Bit(8, 7), &F::fapaEndExtended),
    FlagRow<F>("qms", ct::kQms, Bit(8, 6), &F::qms),
    FlagRow<F>("m_delta", ct::kMDelta, Bit(8, 5), &F::mDelta),
    FlagRow<F>("cinema_vrr", ct::kCinemaVrr, Bit(8, 4), &F::cinemaVrr),
    FlagRow<F>("neg_mvrr", ct::kNegMvrr, Bit(8, 3), &F::negMvrr),
    FlagRow<F>("fva", ct::kFva, Bit(8, 2), &F::fva),
    FlagRow<F>("allm", ct::kAllm, Bit(8, 1), &F::allm),
    FlagRow<F>("fapa_start_location", ct::kFapaStart, Bit(8, 0), &F::fapaStart),
    NumberRow<F>("vrr_min_hz", ct::kVrrMinHz, Bits(9, 5, 0), &F::vrrMinHz),
    NumberRow<F>("vrr_max_hz", ct::kVrrMaxHz, Join(Bits(9, 7, 6), Bits(10)), &F::vrrMaxHz),
    FlagRow<F>("dsc_1p2", ct::kDsc12, Bit(11, 7), &F::dsc12),
    FlagRow<F>("dsc_native_420", ct::kDscNative420, Bit(11, 6), &F::dscNative420),
    FlagRow<F>("qms_tfr_max", ct::kQmsTfrMax, Bit(11, 5), &F::qmsTfrMax),
    FlagRow<F>("qms_tfr_min", ct::kQmsTfrMin, Bit(11, 4), &F::qmsTfrMin),
    FlagRow<F>("dsc_all_bpp", ct::kDscAllBpp, Bit(11, 3), &F::dscAllBpp),
    FlagRow<F>("dsc_16bpc", ct::kDsc16bpc, Bit(11, 2), &F::dsc16bpc),
    FlagRow<F>("dsc_12bpc", ct::kDsc12bpc, Bit(11, 1), &F::dsc12bpc),
    FlagRow<F>("dsc_10bpc", ct::kDsc10bpc, Bit(11, 0), &F::dsc10bpc),
    EnumRow<F>("dsc_max_frl_rate", ct::kDscMaxFrlRate, Bits(12, 7, 4).Named(ct::kFrlRates), &F::dscMaxFrlRate),
    EnumRow<F>("dsc_max_slices", ct::kDscMaxSlices, Bits(12, 3, 0).Named(ct::kDscSlices), &F::dscMaxSlices),
    NumberRow<F>("dsc_total_chunk_kbytes", ct::kDscChunkKBytes, Bits(13, 5, 0), &F::dscChunkKBytes),
});
// Rows up to and including the max FRL rate, after which the derived Gbit/s is shown.
constexpr size_t kForumRowsToFrl = 11;
constexpr size_t kForumRowsToDscFrl = 34;

// ---- AMD: version, refresh range and flags (public reverse engineering; AMD has not published it).
using A = CtaAmd;
constexpr auto kAmdHeadRows = std::to_array<FieldRow<A>>({
    NumberRow<A>("version", ct::kAmdVersion, Bits(4), &A::version),
    NumberRow<A>("feature_caps", ct::kAmdMinor, Bits(5), &A::featureCaps),
    NumberRow<A>("min_hz", ct::kMinRefreshHz, Bits(6), &A::minHz),
});
constexpr auto kAmdTailRows = std::to_array<FieldRow<A>>({
    NumberRow<A>("flags_1", ct::kAmdFlags1, Bits(8), &A::flags1),
    NumberRow<A>("flags_2", ct::kAmdFlags2, Bits(9), &A::flags2),
    NumberRow<A>("max_luminance_code", ct::kAmdMaxLuminance, Bits(10), &A::maxLuminance),
    NumberRow<A>("min_luminance_code", ct::kAmdMinLuminance, Bits(11), &A::minLuminance),
});
// The maximum is byte 7; version 3 keeps a 10-bit maximum in bytes 14-15 as well.
constexpr BitCode kAmdMaxHz = Bits(7);
constexpr BitCode kAmdMaxHz10 = Join(Bits(15, 1, 0), Bits(14));
constexpr int kAmdUnknownFrom = 12;

using P = CtaHdr10Plus;
constexpr auto kHdr10PlusRows = std::to_array<FieldRow<P>>({
    NumberRow<P>("application_version", ct::kApplicationVersion, Bits(5, 1, 0), &P::applicationVersion),
    NumberRow<P>("full_frame_peak_index", ct::kFullFramePeakIndex, Bits(5, 3, 2), &P::fullFramePeakIndex),
    NumberRow<P>("peak_index", ct::kPeakIndex, Bits(5, 7, 4), &P::peakIndex),
});

using D = CtaDolbyVision;
constexpr auto kDolbyRows = std::to_array<FieldRow<D>>({
    NumberRow<D>("version", ct::kDolbyVersion, Bits(5, 7, 5), &D::version),
    FlagRow<D>("yuv422_12bit", ct::kYuv422_12bit, Bit(5, 0), &D::yuv422_12bit),
    FlagRow<D>("supports_2160p60", ct::k2160p60, Bit(5, 1), &D::supports2160p60),
});
constexpr int kVendorRowsEnd = 6;

std::string HdmiVicLabel(int hdmiVic) {
  char head[40];
  std::snprintf(head, sizeof head, ct::kHdmiVicLabel, hdmiVic);
  const VideoTiming* timing = FindVic(HdmiVicToVic(hdmiVic));
  return head + (timing ? DescribeTiming(*timing) : std::string(ct::kVicUnknown));
}

}  // namespace

int CtaHdmiForum::MaxFrlGbps() const {
  return maxFrlRate >= 0 && maxFrlRate < static_cast<int>(ct::kFrlGbps.size()) ? ct::kFrlGbps[static_cast<size_t>(maxFrlRate)] : 0;
}

int CtaHdmiForum::DscMaxFrlGbps() const {
  return dscMaxFrlRate >= 0 && dscMaxFrlRate < static_cast<int>(ct::kFrlGbps.size())
             ? ct::kFrlGbps[static_cast<size_t>(dscMaxFrlRate)]
             : 0;
}

bool CtaAmd::HasWideMaximum() const { return version >= 3 && (maxHzHigh << 8 | maxHzLow) != 0; }

int CtaAmd::MaxRefreshHz() const { return HasWideMaximum() ? maxHzHigh << 8 | maxHzLow : maxHz; }

namespace cta {

void ParseHdmi(Bytes block, CtaDataBlock& out) {
  CtaHdmi hdmi;
  ReadRows(std::span(kHdmiRows), block, hdmi);
  size_t p = kHdmiOptionalAt;
  const auto take = [&]() { return p < block.size() ? static_cast<int>(block[p++]) : -1; };
  if (hdmi.latencyPresent) {
    hdmi.videoLatency = take();
    hdmi.audioLatency = take();
    if (hdmi.iLatencyPresent) {
      hdmi.iVideoLatency = take();
      hdmi.iAudioLatency = take();
    }
  }
  if (hdmi.hdmiVideoPresent && p + 1 < block.size()) {
    hdmi.videoFieldsAt = static_cast<int>(p);
    hdmi.present3d = block[p] >> 7 & 1;
    hdmi.multi3d = block[p] >> 5 & 3;
    hdmi.imageSize = block[p] >> 3 & 3;
    hdmi.hdmiVicLength = block[p + 1] >> 5;
    hdmi.hdmi3dLength = block[p + 1] & 0x1F;
    p += 2;
    for (int i = 0; i < hdmi.hdmiVicLength && p < block.size(); ++i, ++p) {
      const int at = out.bytes.first + static_cast<int>(p);
      hdmi.hdmiVics.push_back({{at, at}, block[p], false});
    }
    const size_t end3d = std::min(block.size(), p + static_cast<size_t>(hdmi.hdmi3dLength));
    if (end3d > p) hdmi.fields3d = {out.bytes.first + static_cast<int>(p), out.bytes.first + static_cast<int>(end3d) - 1};
  }
  out.content = std::move(hdmi);
}

void DescribeHdmi(const CtaDataBlock& block, Describer& out) {
  const auto& hdmi = std::get<CtaHdmi>(block.content);
  const int base = block.bytes.first;
  if (block.raw.size() > 5) {
    char address[24];
    std::snprintf(address, sizeof address, ct::kPhysicalAddressFormat, hdmi.physicalA, hdmi.physicalB, hdmi.physicalC,
                  hdmi.physicalD);
    out.Text("physical_address", ct::kPhysicalAddress, address, {base + 4, base + 5});
  }
  out.Rows(std::span(kHdmiRows), hdmi, block.bytes);
  int at = base + kHdmiOptionalAt;
  if (hdmi.latencyPresent) {
    DescribeLatency("video_latency", ct::kVideoLatency, "video_latency_ms", ct::kVideoLatencyMs, hdmi.videoLatency, at, out);
    DescribeLatency("audio_latency", ct::kAudioLatency, "audio_latency_ms", ct::kAudioLatencyMs, hdmi.audioLatency, at + 1, out);
    if (hdmi.iLatencyPresent) {
      DescribeLatency("i_video_latency", ct::kIVideoLatency, "i_video_latency_ms", ct::kIVideoLatencyMs, hdmi.iVideoLatency,
                      at + 2, out);
      DescribeLatency("i_audio_latency", ct::kIAudioLatency, "i_audio_latency_ms", ct::kIAudioLatencyMs, hdmi.iAudioLatency,
                      at + 3, out);
    }
  }
  if (hdmi.videoFieldsAt < 0) return;
  at = base + hdmi.videoFieldsAt;
  out.Flag("3d_present", ct::k3dPresent, hdmi.present3d, Bit(at, 7));
  out.Enum("3d_multi_present", ct::k3dMultiPresent, static_cast<uint32_t>(hdmi.multi3d), Bits(at, 6, 5).Named(ct::k3dMulti));
  out.Enum("image_size", ct::kImageSize, static_cast<uint32_t>(hdmi.imageSize), Bits(at, 4, 3).Named(ct::kImageSizes));
  out.Number("hdmi_vic_length", ct::kHdmiVicLength, hdmi.hdmiVicLength, Bits(at + 1, 7, 5));
  out.Number("hdmi_3d_length", ct::kHdmi3dLength, hdmi.hdmi3dLength, Bits(at + 1, 4, 0));
  for (const ShortVideo& vic : hdmi.hdmiVics) {
    out.BeginEntry("hdmi_vics", [&] { return HdmiVicLabel(vic.vic); }, vic.bytes, true);
    out.Number("hdmi_vic", ct::kHdmiVics, vic.vic, Bits(vic.bytes.first));
    out.DerivedNumber("vic", ct::kVic, HdmiVicToVic(vic.vic), vic.bytes);
    out.End();
  }
  if (!hdmi.fields3d.Empty()) {
    const auto from = static_cast<size_t>(hdmi.fields3d.first - base);
    const auto count = static_cast<size_t>(hdmi.fields3d.last - hdmi.fields3d.first + 1);
    out.Hex("fields_3d", ct::k3dFields, std::span(block.raw).subspan(from, count), hdmi.fields3d);
  }
}

void ParseHdmiForum(Bytes block, CtaDataBlock& out) {
  ParseRows(std::span(kForumRows), block, out);
  std::get<CtaHdmiForum>(out.content).scdb = (block[0] >> 5) == 7;
}

void DescribeHdmiForum(const CtaDataBlock& block, Describer& out) {
  const auto& forum = std::get<CtaHdmiForum>(block.content);
  const auto rows = std::span(kForumRows);
  out.DerivedFlag("scdb", ct::kScdbForm, forum.scdb, block.bytes);
  if (forum.scdb && block.raw.size() > 3) out.Hex("reserved", ct::kScdbReserved, std::span(block.raw).subspan(2, 2), {block.bytes.first + 2, block.bytes.first + 3});
  out.Rows(rows.first<kForumRowsToFrl>(), forum, block.bytes);
  if (RowPresent(rows[kForumRowsToFrl - 1], block.raw.size())) {
    out.DerivedNumber("max_frl_gbps", ct::kMaxFrlGbps, forum.MaxFrlGbps(), {block.bytes.first + 7, block.bytes.first + 7});
  }
  out.Rows(rows.subspan<kForumRowsToFrl, kForumRowsToDscFrl - kForumRowsToFrl>(), forum, block.bytes);
  if (RowPresent(rows[kForumRowsToDscFrl - 1], block.raw.size())) {
    out.DerivedNumber("dsc_max_frl_gbps", ct::kDscMaxFrlGbps, forum.DscMaxFrlGbps(), {block.bytes.first + 12, block.bytes.first + 12});
  }
  out.Rows(rows.subspan<kForumRowsToDscFrl>(), forum, block.bytes);
  DescribeRest(block, 14, out);
}

void ParseAmd(Bytes block, CtaDataBlock& out) {
  CtaAmd amd;
  ReadRows(std::span(kAmdHeadRows), block, amd);
  ReadRows(std::span(kAmdTailRows), block, amd);
  if (block.size() > static_cast<size_t>(kAmdMaxHz.LastOffset())) amd.maxHz = static_cast<int>(kAmdMaxHz.Read(block));
  if (block.size() > static_cast<size_t>(kAmdMaxHz10.LastOffset())) {
    amd.maxHzLow = block[14];
    amd.maxHzHigh = block[15] & 3;
  }
  out.content = amd;
}

void DescribeAmd(const CtaDataBlock& block, Describer& out) {
  const auto& amd = std::get<CtaAmd>(block.content);
  out.Rows(std::span(kAmdHeadRows), amd, block.bytes);
  if (block.raw.size() > static_cast<size_t>(kAmdMaxHz.LastOffset())) {
    const BitCode& code = amd.HasWideMaximum() ? kAmdMaxHz10 : kAmdMaxHz;
    out.Number("max_hz", ct::kMaxRefreshHz, amd.MaxRefreshHz(), code.Placed(block.bytes.first));
  }
  out.Rows(std::span(kAmdTailRows), amd, block.bytes);
  DescribeRest(block, kAmdUnknownFrom, out);
}

void ParseHdr10Plus(Bytes block, CtaDataBlock& out) { ParseRows(std::span(kHdr10PlusRows), block, out); }

void DescribeHdr10Plus(const CtaDataBlock& block, Describer& out) {
  DescribeRows(std::span(kHdr10PlusRows), block, kVendorRowsEnd, out);
}

void ParseDolbyVision(Bytes block, CtaDataBlock& out) { ParseRows(std::span(kDolbyRows), block, out); }

void DescribeDolbyVision(const CtaDataBlock& block, Describer& out) {
  DescribeRows(std::span(kDolbyRows), block, kVendorRowsEnd, out);
}

}  // namespace cta

}  // namespace tolvex
