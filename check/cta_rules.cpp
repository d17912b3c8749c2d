// The content of a CTA-861 block: its data blocks (those allowed once, reserved bits, audio and
// the basic audio flag), its VICs, the HDMI blocks, the video capability block, and its timings
// against the base block's range limits.
#include <algorithm>
#include <array>
#include <set>

#include "check/check_rules.h"
#include "check/check_texts.h"
#include "model/vic_table.h"

namespace tolvex::check {

namespace {

constexpr int kHeaderFlagsByte = 3;  // in the block
constexpr int kMaxHdmiTmdsMhz = 340;
constexpr int kMinHdmiForumTmdsMhz = 345;
constexpr int kMaxHdmiForumTmdsMhz = 600;
constexpr int kHdmiTmdsByte = 7;       // in the HDMI block, header first
constexpr int kHdmiForumTmdsByte = 5;  // in both forms of the HDMI Forum block
constexpr int kVcdbFlagsByte = 2;
constexpr int kScanItOverscanned = 2;
constexpr int kScanItUnderscanned = 3;
constexpr int kVic640x480 = 1;
constexpr int kEstablished640x480Byte = 35;
constexpr int kEstablished640x480Bit = 5;

const CtaBlock& Cta(const ExtensionBlock& ext) { return *ext.block.As<CtaBlock>(); }

// CTA-861-H section 7.5: the data blocks a collection may hold once.
struct SingleKind {
  CtaKind kind;
  const char* name;
};
constexpr std::array<SingleKind, 9> kSingleKinds = {{
    {CtaKind::kSpeakers, check_text::kCtaKindSpeakers},
    {CtaKind::kVideoCapability, check_text::kCtaKindVideoCapability},
    {CtaKind::kColorimetry, check_text::kCtaKindColorimetry},
    {CtaKind::kHdrStatic, check_text::kCtaKindHdrStatic},
    {CtaKind::kVideoFormatPreference, check_text::kCtaKindVideoPreference},
    {CtaKind::kYcbcr420Map, check_text::kCtaKind420Map},
    {CtaKind::kRoomConfiguration, check_text::kCtaKindRoom},
    {CtaKind::kHdmi, check_text::kCtaKindHdmi},
    {CtaKind::kHdmiForum, check_text::kCtaKindHdmiForum},
}};

// Reserved bits the standards name in a data block's bytes (counted from its header byte); with
// a stride, the same bits of every entry from `byte` on.
struct ReservedBits {
  CtaKind kind;
  const char* name;
  int byte;
  int stride;
  uint8_t mask;
};
constexpr std::array<ReservedBits, 6> kReservedBits = {{
    {CtaKind::kColorimetry, check_text::kCtaKindColorimetry, 3, 0, 0x7F},  // F46-F44, MD3-MD0 (CTA-861-H 7.5.5)
    {CtaKind::kHdrStatic, check_text::kCtaKindHdrStatic, 2, 0, 0xF0},      // EOTF bits 4-7 (7.5.13)
    {CtaKind::kHdrStatic, check_text::kCtaKindHdrStatic, 3, 0, 0xFE},      // metadata types 2-8
    {CtaKind::kAudio, check_text::kCtaKindAudio, 1, 3, 0x80},              // each SAD's byte 1 bit 7 (7.5.2)
    {CtaKind::kAudio, check_text::kCtaKindAudio, 2, 3, 0x80},              // and byte 2 bit 7
    {CtaKind::kHdmi, check_text::kCtaKindHdmi, 6, 0, 0x06},                // byte 6 bits 2-1 (HDMI 1.4b 8.3.2)
}};

void CheckRepeats(const CtaBlock& cta, FindingList& findings) {
  for (const SingleKind& single : kSingleKinds) {
    const CtaDataBlock* first = nullptr;
    for (const CtaDataBlock& block : cta.dataBlocks) {
      if (block.kind != single.kind) continue;
      if (!first) {
        first = &block;
        continue;
      }
      findings.Fail(block.bytes.first, block.bytes.last, check_text::kRuleCtaDataBlock,
                    Sentence(check_text::kCtaRepeated, single.name, block.bytes.first, block.bytes.last,
                             first->bytes.first, first->bytes.last));
    }
  }
}

void CheckReservedBits(const CtaBlock& cta, FindingList& findings) {
  for (const CtaDataBlock& block : cta.dataBlocks) {
    for (const ReservedBits& reserved : kReservedBits) {
      if (block.kind != reserved.kind) continue;
      for (size_t i = static_cast<size_t>(reserved.byte); i < block.raw.size(); i += static_cast<size_t>(reserved.stride)) {
        const uint8_t value = block.raw[i];
        if (value & reserved.mask) {
          const int at = block.bytes.first + static_cast<int>(i);
          findings.Fail(at, at, check_text::kRuleCtaDataBlock,
                        Sentence(check_text::kCtaReservedBits, at, reserved.name, value, value & reserved.mask,
                                 value & ~reserved.mask & 0xFF));
        }
        if (reserved.stride == 0) break;
      }
    }
  }
}

// CTA-861-H 7.2.3: a sink that takes audio at all takes basic audio; revision 1 has no flags.
void CheckHeaderFlags(const ExtensionBlock& ext, const CtaBlock& cta, FindingList& findings) {
  const int at = cta.bytes.first + kHeaderFlagsByte;
  if (cta.revision == 1) {
    const uint8_t flags = ext.block.stored[kHeaderFlagsByte];
    if (flags != 0) findings.Fail(at, at, check_text::kRuleCta861, Sentence(check_text::kCtaHeaderReserved, at, flags));
    return;
  }
  const bool audio = std::any_of(cta.dataBlocks.begin(), cta.dataBlocks.end(), [](const CtaDataBlock& b) {
    return b.kind == CtaKind::kAudio || b.kind == CtaKind::kSpeakers;
  });
  if (audio && !cta.basicAudio) findings.Fail(at, at, check_text::kRuleCta861, Sentence(check_text::kCtaNoBasicAudio, at));
}

// The resolution a native mark promises: progressive and interlaced kept apart.
struct Resolution {
  int width = 0, height = 0;
  bool interlaced = false;
  bool operator==(const Resolution&) const = default;
};

// CTA-861-H 7.2.3: the first `native DTDs` detailed timings of the EDID, base block first, are
// the display's native formats.
std::vector<Resolution> NativeDtdResolutions(const ExtensionBlock& ext, const CtaBlock& cta) {
  std::vector<DetailedTiming> dtds = ext.Base().Dtds();
  dtds.insert(dtds.end(), cta.dtds.begin(), cta.dtds.end());
  std::vector<Resolution> out;
  for (int i = 0; i < cta.nativeDtds && i < static_cast<int>(dtds.size()); ++i) {
    const DetailedTiming& t = dtds[static_cast<size_t>(i)];
    out.push_back({t.hActive, t.interlaced ? 2 * t.vActive : t.vActive, t.interlaced != 0});
  }
  return out;
}

// A native mark on a VIC whose resolution is not the display's native one (the native DTDs',
// else the first native VIC's) names a format the panel scales: a warning, as CTA-861 asks no
// more than that the native formats be marked.
void CheckNativeVics(const ExtensionBlock& ext, const CtaBlock& cta, const std::vector<ShortVideo>& svds,
                     FindingList& findings) {
  std::vector<Resolution> natives = NativeDtdResolutions(ext, cta);
  for (const ShortVideo& svd : svds) {
    const VideoTiming* timing = svd.native ? FindVic(svd.vic) : nullptr;
    if (!timing) continue;
    const Resolution here{timing->hActive, timing->vActive, timing->interlaced};
    const auto same = std::find_if(natives.begin(), natives.end(),
                                   [&](const Resolution& r) { return r.interlaced == here.interlaced; });
    if (same == natives.end()) {
      natives.push_back(here);
      continue;
    }
    if (*same == here) continue;
    const int at = svd.bytes.first;
    findings.Warn(at, at, check_text::kRuleVic,
                  Sentence(check_text::kVicNativeMix, at, svd.vic, DescribeTiming(*timing).c_str(), same->width,
                           same->height, same->interlaced ? "i" : "", svd.vic));
  }
}

bool Lists640x480(const ExtensionBlock& ext, const std::vector<ShortVideo>& svds) {
  if ((ext.edid.blocks.front().stored[kEstablished640x480Byte] >> kEstablished640x480Bit) & 1) return true;
  return std::any_of(svds.begin(), svds.end(), [](const ShortVideo& s) { return s.vic == kVic640x480; });
}

const CtaDataBlock* FindBlock(const CtaBlock& cta, CtaKind kind) {
  const auto it = std::find_if(cta.dataBlocks.begin(), cta.dataBlocks.end(), [kind](const CtaDataBlock& b) { return b.kind == kind; });
  return it == cta.dataBlocks.end() ? nullptr : &*it;
}

}  // namespace

void CheckCtaDataBlocks(const ExtensionBlock& ext, FindingList& findings) {
  const CtaBlock& cta = Cta(ext);
  CheckHeaderFlags(ext, cta, findings);
  CheckRepeats(cta, findings);
  CheckReservedBits(cta, findings);
}

// CTA-861-H 7.5.1: every SVD names a VIC of the table, once; only VICs 1-64 carry a native bit.
// Section 4 (and HDMI) make 640x480p60 the format every sink takes.
void CheckCtaVideo(const ExtensionBlock& ext, FindingList& findings) {
  const CtaBlock& cta = Cta(ext);
  const std::vector<ShortVideo> svds = cta.Svds();
  std::set<int> seen;
  for (size_t i = 0; i < svds.size(); ++i) {
    const ShortVideo& svd = svds[i];
    const int at = svd.bytes.first;
    if (!FindVic(svd.vic)) {
      findings.Fail(at, at, check_text::kRuleVic, Sentence(check_text::kVicUnknown, at, ext.block.stored[at - ext.block.bytes.first]));
      continue;
    }
    if (!seen.insert(svd.vic).second) {
      const auto earlier = std::find_if(svds.begin(), svds.begin() + static_cast<long>(i),
                                        [&](const ShortVideo& s) { return s.vic == svd.vic; });
      findings.Fail(at, at, check_text::kRuleVic, Sentence(check_text::kVicRepeated, at, svd.vic, earlier->bytes.first));
    }
  }
  CheckNativeVics(ext, cta, svds, findings);
  if (!Lists640x480(ext, svds)) {
    const CtaDataBlock* video = FindBlock(cta, CtaKind::kVideo);
    const ByteRange at = video ? video->bytes : ByteRange{cta.bytes.first, cta.bytes.first + kHeaderFlagsByte};
    findings.Warn(at.first, at.last, check_text::kRuleVic, check_text::kVic640x480Missing);
  }
}

// HDMI 1.4b section 8.3: the HDMI block needs an E-EDID 1.3 base block or later, keeps its TMDS
// clock at 340 MHz at most (HDMI 2.1 section 10.3: the rest goes to the HDMI Forum block, which
// follows it directly and gives 345-600 MHz), and each HDMI VIC comes with its CTA-861 VIC.
void CheckCtaHdmi(const ExtensionBlock& ext, FindingList& findings) {
  const CtaBlock& cta = Cta(ext);
  const CtaDataBlock* hdmiBlock = FindBlock(cta, CtaKind::kHdmi);
  if (hdmiBlock) {
    const CtaHdmi& hdmi = std::get<CtaHdmi>(hdmiBlock->content);
    if (ext.Base().revision < 3) {
      findings.Fail(hdmiBlock->bytes.first, hdmiBlock->bytes.last, check_text::kRuleHdmi,
                    Sentence(check_text::kHdmiNeedsRevision3, ext.Base().revision));
    }
    if (hdmi.maxTmdsMhz > kMaxHdmiTmdsMhz) {
      const int at = hdmiBlock->bytes.first + kHdmiTmdsByte;
      findings.Fail(at, at, check_text::kRuleHdmi, Sentence(check_text::kHdmiTmdsAbove340, at, hdmi.maxTmdsMhz));
    }
    const std::vector<ShortVideo> svds = cta.Svds();
    for (const ShortVideo& hdmiVic : hdmi.hdmiVics) {
      const int vic = HdmiVicToVic(hdmiVic.vic);
      if (vic == 0 || std::any_of(svds.begin(), svds.end(), [vic](const ShortVideo& s) { return s.vic == vic; })) continue;
      const int at = hdmiVic.bytes.first;
      findings.Fail(at, at, check_text::kRuleHdmi, Sentence(check_text::kHdmiVicWithoutVic, at, hdmiVic.vic, vic, vic));
    }
  }
  for (size_t i = 0; i < cta.dataBlocks.size(); ++i) {
    const CtaDataBlock& block = cta.dataBlocks[i];
    if (block.kind != CtaKind::kHdmiForum) continue;
    const CtaHdmiForum& forum = std::get<CtaHdmiForum>(block.content);
    if (forum.maxTmdsMhz != 0 && (forum.maxTmdsMhz < kMinHdmiForumTmdsMhz || forum.maxTmdsMhz > kMaxHdmiForumTmdsMhz)) {
      const int at = block.bytes.first + kHdmiForumTmdsByte;
      findings.Fail(at, at, check_text::kRuleHdmi, Sentence(check_text::kHdmiForumTmds, at, forum.maxTmdsMhz));
    }
    if (!forum.scdb && hdmiBlock && (i == 0 || &cta.dataBlocks[i - 1] != hdmiBlock)) {
      findings.Fail(block.bytes.first, block.bytes.last, check_text::kRuleHdmi,
                    Sentence(check_text::kHdmiForumNotNext, block.bytes.first, block.bytes.last, hdmiBlock->bytes.first,
                             hdmiBlock->bytes.last));
    }
  }
}

// CTA-861-H 7.5.6: a sink with CE video formats should say in a video capability block that
// RGB quantization is selectable (QS), or sources guess the range; and its IT scan behaviour
// agrees with the header's underscan flag. Recommendations, so warnings.
void CheckCtaVideoCapability(const ExtensionBlock& ext, FindingList& findings) {
  const CtaBlock& cta = Cta(ext);
  const CtaDataBlock* vcdb = FindBlock(cta, CtaKind::kVideoCapability);
  if (!vcdb) {
    const CtaDataBlock* video = FindBlock(cta, CtaKind::kVideo);
    if (video && !cta.Svds().empty()) {
      findings.Warn(video->bytes.first, video->bytes.last, check_text::kRuleVideoCapability, check_text::kVcdbMissing);
    }
    return;
  }
  if (vcdb->raw.size() <= kVcdbFlagsByte) return;
  const int at = vcdb->bytes.first + kVcdbFlagsByte;
  const CtaVideoCapability& caps = std::get<CtaVideoCapability>(vcdb->content);
  if (!caps.qs) findings.Warn(at, at, check_text::kRuleVideoCapability, Sentence(check_text::kVcdbNoQs, at));
  if (cta.revision < 2) return;
  if ((caps.scanIt == kScanItOverscanned && cta.underscan) || (caps.scanIt == kScanItUnderscanned && !cta.underscan)) {
    findings.Warn(at, at, check_text::kRuleVideoCapability,
                  Sentence(check_text::kVcdbUnderscanMismatch, at,
                           caps.scanIt == kScanItOverscanned ? check_text::kOverscanned : check_text::kUnderscanned,
                           cta.bytes.first + kHeaderFlagsByte));
  }
}

// E-EDID 1.4 section 3.10.3 (1.3 alike): the formats of the extension lie within the range
// limits as the base block's own timings do.
void CheckCtaTimingRanges(const ExtensionBlock& ext, FindingList& findings) {
  if (!ext.limits) return;
  const CtaBlock& cta = Cta(ext);
  for (size_t i = 0; i < cta.dtds.size(); ++i) {
    const DetailedTiming& t = cta.dtds[i];
    const int hTotal = t.hActive + t.hBlank;
    const double lines = t.vActive + t.vBlank + (t.interlaced ? 0.5 : 0.0);
    if (t.pixelClockKHz == 0 || hTotal == 0 || lines == 0) continue;
    const double kHz = static_cast<double>(t.pixelClockKHz) / hTotal;
    CheckRatesAgainstLimits(Sentence(check_text::kExtensionDtdName, ext.block.index, static_cast<int>(i) + 1),
                            t.bytes.first, t.bytes.last, {kHz, kHz * 1000.0 / lines, t.pixelClockKHz / 1000.0},
                            *ext.limits, findings);
  }
  std::set<int> seen;
  const auto checkVic = [&](int vic, const char* nameFormat, int shownNumber, int at) {
    const VideoTiming* timing = FindVic(vic);
    if (!timing || !seen.insert(vic).second) return;
    CheckRatesAgainstLimits(Sentence(nameFormat, shownNumber, at), at, at,
                            {timing->HorizontalKHz(), timing->RefreshHz(), timing->pixelClockKHz / 1000.0}, *ext.limits,
                            findings);
  };
  for (const CtaDataBlock& block : cta.dataBlocks) {
    if (const auto* video = std::get_if<CtaVideo>(&block.content)) {
      for (const ShortVideo& svd : video->svds) checkVic(svd.vic, check_text::kSvdName, svd.vic, svd.bytes.first);
    } else if (const auto* only420 = std::get_if<CtaYcbcr420Video>(&block.content)) {
      for (const ShortVideo& svd : only420->svds) checkVic(svd.vic, check_text::kSvdName, svd.vic, svd.bytes.first);
    } else if (const auto* hdmi = std::get_if<CtaHdmi>(&block.content)) {
      for (const ShortVideo& v : hdmi->hdmiVics) checkVic(HdmiVicToVic(v.vic), check_text::kHdmiVicName, v.vic, v.bytes.first);
    }
  }
}

}  // namespace tolvex::check
