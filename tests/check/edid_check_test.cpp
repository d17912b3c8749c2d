#include "check/edid_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>
#include <random>
#include <vector>

#include "check/check_texts.h"
#include "ddc/sim/sim_edid.h"
#include "test_support.h"

namespace tolvex {
namespace {

constexpr int kThisYear = 2026;

using Edid = std::vector<uint8_t>;

// The simulated monitor's EDID: a 1.3 analog CRT with a detailed timing, range limits, a name
// and a serial number, built with the program's own field operations. Descriptors: 1 timing
// (54-71), 2 range limits (72-89), 3 name (90-107), 4 serial (108-125).
Edid CleanEdid(bool digital = false) {
  EdidBlock block(test::FixedDate(2025, 6, 30));
  sim::FillSimulatedEdid(block, digital);
  return Edid(block.Bytes().begin(), block.Bytes().end());
}

void FixChecksum(Edid& edid, size_t block = 0) {
  const auto begin = edid.begin() + static_cast<long>(block * kEdidSize);
  edid[block * kEdidSize + 127] = static_cast<uint8_t>(0u - std::accumulate(begin, begin + 127, 0u));
}

// A CTA-861 revision 3 block with one 3-byte data block and no detailed timings.
Edid WithCtaExtension(Edid edid) {
  Edid cta(kEdidSize, 0);
  cta[0] = 0x02;
  cta[1] = 0x03;
  cta[2] = 0x08;
  cta[4] = 0x63;  // vendor-specific, 3 bytes
  edid.insert(edid.end(), cta.begin(), cta.end());
  edid[126] = 1;
  FixChecksum(edid, 0);
  FixChecksum(edid, 1);
  return edid;
}

// The clean EDID with one extension block of `bytes` (padded with zeros), both checksums right.
Edid WithExtension(Edid edid, std::vector<uint8_t> bytes) {
  bytes.resize(kEdidSize, 0);
  edid.insert(edid.end(), bytes.begin(), bytes.end());
  edid[126] = 1;
  FixChecksum(edid, 0);
  FixChecksum(edid, 1);
  return edid;
}

// A CTA-861 revision 3 block holding the data blocks `collection`, header flags `flags`.
std::vector<uint8_t> CtaBlock(std::vector<uint8_t> collection, uint8_t flags = 0) {
  std::vector<uint8_t> block = {0x02, 0x03, static_cast<uint8_t>(4 + collection.size()), flags};
  block.insert(block.end(), collection.begin(), collection.end());
  return block;
}

// A DisplayID 1.3 block: one section holding `data`, product type `type`, its checksum right.
std::vector<uint8_t> DisplayIdBlock(std::vector<uint8_t> data, uint8_t type = 0x03) {
  std::vector<uint8_t> block = {0x70, 0x13, static_cast<uint8_t>(data.size()), type, 0x00};
  block.insert(block.end(), data.begin(), data.end());
  block.push_back(static_cast<uint8_t>(0u - std::accumulate(block.begin() + 1, block.end(), 0u)));
  return block;
}

void SetDescriptor(Edid& edid, int n, std::initializer_list<uint8_t> bytes) {
  std::fill_n(edid.begin() + 54 + 18 * n, 18, uint8_t{0});
  std::copy(bytes.begin(), bytes.end(), edid.begin() + 54 + 18 * n);
}

struct Expected {
  CheckLevel level;
  int first;
  int last;
  std::string_view rule;
};

struct RuleCase {
  const char* name;
  std::function<void(Edid&)> breakIt;
  std::vector<Expected> findings;
  bool keepChecksum = false;  // the case is about the checksum itself
};

constexpr CheckLevel F = CheckLevel::kFailure;
constexpr CheckLevel W = CheckLevel::kWarning;

// One case per rule family: the clean block broken in exactly one way, and what must come of it
// (all of it: a case that raises more than it names fails).
const std::vector<RuleCase>& RuleCases() {
  namespace t = check_text;
  static const std::vector<RuleCase> cases = {
      {"header", [](Edid& e) { e[7] = 0xFF; }, {{F, 0, 7, t::kRuleHeader}}},
      {"checksum", [](Edid& e) { ++e[127]; }, {{F, 127, 127, t::kRuleChecksum}}, true},
      {"version", [](Edid& e) { e[18] = 2; }, {{F, 18, 18, t::kRuleVersion}}},
      // Read as 1.4, where the clean block's default GTF needs continuous frequencies.
      {"unknown revision", [](Edid& e) { e[19] = 7; }, {{W, 19, 19, t::kRuleVersion}, {F, 82, 82, t::kRuleRangeLimits}}},
      {"1.4 with GTF", [](Edid& e) { e[19] = 4; e[24] |= 0x01; }, {{W, 82, 82, t::kRuleRangeLimits}}},
      {"manufacturer bit 7", [](Edid& e) { e[8] |= 0x80; }, {{F, 8, 8, t::kRuleManufacturer}}},
      {"manufacturer letter 27", [](Edid& e) { e[9] = (e[9] & 0xE0) | 27; }, {{F, 8, 9, t::kRuleManufacturer}}},
      {"week 60", [](Edid& e) { e[16] = 60; }, {{F, 16, 16, t::kRuleDate}}},
      {"year in two years", [](Edid& e) { e[17] = kThisYear + 2 - 1990; }, {{F, 17, 17, t::kRuleDate}}},
      {"digital reserved bits", [](Edid& e) { e[20] = 0x88; }, {{F, 20, 20, t::kRuleVideoInput}}},
      {"one screen size", [](Edid& e) { e[22] = 0; }, {{W, 21, 22, t::kRuleScreenSize}}},
      {"1.3 without preferred bit", [](Edid& e) { e[24] &= ~0x02; }, {{F, 24, 24, t::kRuleFeatureSupport}}},
      {"preferred bit over a descriptor",
       [](Edid& e) { std::swap_ranges(e.begin() + 54, e.begin() + 72, e.begin() + 108); },
       {{F, 54, 71, t::kRulePreferredTiming}, {F, 108, 125, t::kRuleDescriptorOrder}}},
      {"sRGB with other primaries", [](Edid& e) { e[24] |= 0x04; e[27] += 3; }, {{F, 24, 34, t::kRuleSrgb}}},
      {"sRGB with the wizard's 0.313 white", [](Edid& e) { e[24] |= 0x04; }, {}},
      {"no chromaticity", [](Edid& e) { std::fill(e.begin() + 25, e.begin() + 35, 0); }, {{W, 25, 34, t::kRuleChromaticity}}},
      {"standard timing 00 00", [](Edid& e) { e[48] = e[49] = 0x00; }, {{F, 48, 49, t::kRuleStandardTiming}}},
      {"standard timing twice", [](Edid& e) { e[48] = e[38]; e[49] = e[39]; },
       {{W, 48, 49, t::kRuleStandardTiming}}},
      {"descriptor byte 2", [](Edid& e) { e[92] = 0x01; }, {{F, 92, 92, t::kRuleDescriptorHeader}}},
      {"reserved tag", [](Edid& e) { e[111] = 0x20; }, {{F, 111, 111, t::kRuleDescriptorKind}}},
      {"display descriptor in 1.0", [](Edid& e) { e[19] = 0; e[24] &= ~0x02; },
       {{F, 72, 89, t::kRuleDescriptorKind}, {F, 90, 107, t::kRuleDescriptorKind}, {F, 108, 125, t::kRuleDescriptorKind}}},
      {"timing after a descriptor", [](Edid& e) { std::copy_n(e.begin() + 54, 18, e.begin() + 108); },
       {{F, 108, 125, t::kRuleDescriptorOrder}}},
      {"all-zero descriptor", [](Edid& e) { SetDescriptor(e, 3, {}); }, {{W, 108, 125, t::kRuleUnusedDescriptor}}},
      {"dummy with data", [](Edid& e) { SetDescriptor(e, 3, {0, 0, 0, 0x10, 0, 0x55}); },
       {{F, 113, 125, t::kRuleUnusedDescriptor}}},
      {"descriptor after a dummy",
       [](Edid& e) {
         std::copy_n(e.begin() + 90, 18, e.begin() + 108);
         SetDescriptor(e, 2, {0, 0, 0, 0x10});
       },
       {{W, 108, 125, t::kRuleDescriptorOrder}}},
      {"1.3 without a name",
       [](Edid& e) { SetDescriptor(e, 2, {0, 0, 0, 0xFE, 0, 'X', 0x0A, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20}); },
       {{F, 54, 125, t::kRuleRequiredDescriptor}}},
      {"name without 0A, padded", [](Edid& e) { e[107] = 0x20; }, {{F, 95, 107, t::kRuleDescriptorText}}},
      {"serial padded with zeros", [](Edid& e) { e[125] = 0x00; }, {{F, 125, 125, t::kRuleDescriptorText}}},
      {"name with a control character", [](Edid& e) { e[96] = 0x07; }, {{F, 96, 96, t::kRuleDescriptorText}}},
      {"empty serial text", [](Edid& e) { e[113] = 0x0A; std::fill(e.begin() + 114, e.begin() + 126, 0x20); },
       {{W, 113, 125, t::kRuleDescriptorText}}},
      {"range minimum above maximum", [](Edid& e) { e[77] = 90; }, {{F, 77, 78, t::kRuleRangeLimits}}},
      {"range formula 05", [](Edid& e) { e[82] = 0x05; }, {{F, 82, 82, t::kRuleRangeLimits}}},
      {"range padding", [](Edid& e) { e[89] = 0x00; }, {{F, 83, 89, t::kRuleRangeLimits}}},
      {"colour point end",
       [](Edid& e) { SetDescriptor(e, 3, {0, 0, 0, 0xFB, 0, 1, 0x05, 0x50, 0x54, 0x78, 0, 0, 0, 0, 0, 0x0A, 0x20, 0x00}); },
       {{F, 123, 125, t::kRuleColorPoint}}},
      {"colour point beyond the spectrum",
       [](Edid& e) { SetDescriptor(e, 3, {0, 0, 0, 0xFB, 0, 1, 0x00, 0xF0, 0xF0, 0x78, 0, 0, 0, 0, 0, 0x0A, 0x20, 0x20}); },
       {{F, 113, 117, t::kRuleColorPoint}}},
      {"standard timing descriptor end",
       [](Edid& e) { SetDescriptor(e, 3, {0, 0, 0, 0xFA, 0, 0x61, 0x40, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0x20}); },
       {{F, 125, 125, t::kRuleStandardTiming}}},
      {"sync past the blanking", [](Edid& e) { e[62] = 250; }, {{F, 54, 71, t::kRuleDetailedTiming}}},
      {"no sync pulse", [](Edid& e) { e[64] &= 0xF0; e[65] &= ~0x03; }, {{F, 54, 71, t::kRuleDetailedTiming}}},
      {"timing above the limits", [](Edid& e) { e[54] = 0x10; e[55] = 0x27; },  // 100 MHz: 74.4 kHz, 92.3 Hz
       {{F, 54, 71, t::kRuleTimingRange}, {F, 54, 71, t::kRuleTimingRange}}},
      {"1.4 timing above the limits", [](Edid& e) { e[19] = 4; e[24] |= 0x01; e[54] = 0x10; e[55] = 0x27; },
       {{W, 54, 71, t::kRuleTimingRange}, {W, 54, 71, t::kRuleTimingRange}, {W, 82, 82, t::kRuleRangeLimits}}},
      {"clock just above the limit", [](Edid& e) { e[81] = 9; },  // 90 MHz limit, 94.5 MHz timing
       {{W, 38, 39, t::kRuleTimingRange}}},
      {"established timing above the limits", [](Edid& e) { e[36] |= 0x01; },  // 1280x1024@75: 80 kHz, 135 MHz
       {{F, 36, 36, t::kRuleTimingRange}, {F, 36, 36, t::kRuleTimingRange}}},
      {"image larger than the screen", [](Edid& e) { e[66] = 0x90; e[68] = 0x10; },  // 400 mm wide
       {{F, 66, 68, t::kRuleImageSize}}},
      {"CRT image smaller than its maximum", [](Edid& e) { e[66] = 0x2C; },  // 300 mm of 32 cm
       {{W, 66, 68, t::kRuleImageSize}}},
      {"image in cm", [](Edid& e) { e[66] = 32; e[67] = 24; e[68] = 0; }, {{F, 66, 68, t::kRuleImageSize}}},
      {"extension count without blocks", [](Edid& e) { e[126] = 1; }, {{F, 126, 126, t::kRuleExtensionCount}}},
      {"extension checksum", [](Edid& e) { e = WithCtaExtension(e); ++e[255]; }, {{F, 255, 255, t::kRuleExtensionChecksum}},
       true},
      {"unknown extension tag",
       [](Edid& e) {
         e = WithCtaExtension(e);
         e[128] = 0x33;
         FixChecksum(e, 1);
       },
       {{F, 128, 128, t::kRuleExtensionTag}}, true},
      {"CTA data block past the timings",
       [](Edid& e) {
         e = WithCtaExtension(e);
         e[132] = 0x64;
         FixChecksum(e, 1);
       },
       {{F, 132, 135, t::kRuleCta861}}, true},
      {"VIC unknown and repeated",
       [](Edid& e) { e = WithExtension(e, CtaBlock({0x43, 0x01, 0x01, 0x00, 0xE2, 0x00, 0x40})); },
       {{F, 134, 134, t::kRuleVic}, {F, 135, 135, t::kRuleVic}}},
      {"native VIC beside another native resolution",
       [](Edid& e) { e = WithExtension(e, CtaBlock({0x42, 0x81, 0x90, 0xE2, 0x00, 0x40}, 0x01)); },  // DTD 1: 1024x768
       {{W, 133, 133, t::kRuleVic}, {F, 134, 134, t::kRuleTimingRange}, {W, 134, 134, t::kRuleVic}}},
      {"no VCDB, no 640x480", [](Edid& e) { e[35] &= ~0x20; e = WithExtension(e, CtaBlock({0x41, 0x02})); },
       {{W, 132, 133, t::kRuleVic}, {W, 132, 133, t::kRuleVideoCapability}}},
      {"VCDB without QS, IT overscanned against the header",
       [](Edid& e) { e = WithExtension(e, CtaBlock({0x41, 0x01, 0xE2, 0x00, 0x08}, 0x80)); },
       {{W, 136, 136, t::kRuleVideoCapability}, {W, 136, 136, t::kRuleVideoCapability}}},
      {"HDMI block in a 1.2 base, above 340 MHz, forum block apart",
       [](Edid& e) {
         e[19] = 2;
         e = WithExtension(e, CtaBlock({0x67, 0x03, 0x0C, 0x00, 0x10, 0x00, 0x00, 0x70, 0x41, 0x01,
                                        0x65, 0xD8, 0x5D, 0xC4, 0x01, 0x3C}));  // 560 MHz, then 300 MHz
       },
       {{F, 132, 139, t::kRuleHdmi}, {F, 139, 139, t::kRuleHdmi}, {W, 140, 141, t::kRuleVideoCapability},
        {F, 142, 147, t::kRuleHdmi}, {F, 147, 147, t::kRuleHdmi}}},
      {"HDMI VIC without its VIC",
       [](Edid& e) {
         // HDMI VIC 1 (byte 143) is VIC 95, 3840x2160 at 30 Hz: beyond the limits, and missing from the VDB.
         e = WithExtension(e, CtaBlock({0x6B, 0x03, 0x0C, 0x00, 0x10, 0x00, 0x00, 0x00, 0x20, 0x00, 0x20, 0x01,
                                        0x41, 0x01, 0xE2, 0x00, 0x40}));
       },
       {{F, 143, 143, t::kRuleHdmi}, {F, 143, 143, t::kRuleTimingRange}, {F, 143, 143, t::kRuleTimingRange}}},
      {"colorimetry twice, reserved bits",
       [](Edid& e) { e = WithExtension(e, CtaBlock({0xE3, 0x05, 0x01, 0x01, 0xE3, 0x05, 0x01, 0x00})); },
       {{F, 135, 135, t::kRuleCtaDataBlock}, {F, 136, 139, t::kRuleCtaDataBlock}}},
      {"audio without basic audio", [](Edid& e) { e = WithExtension(e, CtaBlock({0x23, 0x09, 0x07, 0x07})); },
       {{F, 131, 131, t::kRuleCta861}}},
      {"extension DTD above the range limits",
       [](Edid& e) {
         std::vector<uint8_t> cta = CtaBlock({});
         cta.insert(cta.end(), e.begin() + 54, e.begin() + 72);
         cta[4] = 0x10;
         cta[5] = 0x27;  // 100 MHz
         e = WithExtension(e, cta);
       },
       {{F, 132, 149, t::kRuleTimingRange}, {F, 132, 149, t::kRuleTimingRange}}},
      {"DisplayID section checksum, padding, product type 0",
       [](Edid& e) {
         std::vector<uint8_t> id = DisplayIdBlock({}, 0x00);
         ++id.back();
         id.resize(100, 0);
         id.push_back(0x55);
         e = WithExtension(e, id);
       },
       {{W, 131, 131, t::kRuleDisplayId}, {F, 133, 133, t::kRuleDisplayIdChecksum}, {W, 228, 254, t::kRuleDisplayId}}},
      {"DisplayID 2.x tag in 1.3, timing without back porch",
       [](Edid& e) {
         // 640x480 at 25.2 MHz with 160 pixels of blanking, of which front porch and sync take 80 + 96.
         e = WithExtension(e, DisplayIdBlock({0x29, 0x00, 0x00,
                                              0x03, 0x00, 0x14, 0xD7, 0x09, 0x00, 0x00, 0x7F, 0x02, 0x9F, 0x00,
                                              0x4F, 0x00, 0x5F, 0x00, 0xDF, 0x01, 0x2C, 0x00, 0x09, 0x00, 0x01, 0x00}));
       },
       {{F, 133, 133, t::kRuleDisplayId}, {F, 139, 158, t::kRuleDetailedTiming}}},
      {"short EDID", [](Edid& e) { e.resize(100); }, {{F, 0, 99, t::kRuleEdidSize}}, true},
      {"trailing bytes", [](Edid& e) { e.push_back(0); }, {{F, 128, 128, t::kRuleEdidSize}}},
  };
  return cases;
}

TEST(CheckEdid, TheProgramsOwnMonitorEdidIsClean) {
  EXPECT_EQ(CheckEdid(CleanEdid(false), kThisYear), CheckFindings{});
  EXPECT_EQ(CheckEdid(CleanEdid(true), kThisYear), CheckFindings{});
  EXPECT_EQ(CheckEdid(WithCtaExtension(CleanEdid()), kThisYear), CheckFindings{});
}

TEST(CheckEdid, EachRuleFamilyRaisesItsFindingAndNothingElse) {
  for (const RuleCase& c : RuleCases()) {
    SCOPED_TRACE(c.name);
    Edid edid = CleanEdid();
    c.breakIt(edid);
    if (!c.keepChecksum) FixChecksum(edid);
    const CheckFindings findings = CheckEdid(edid, kThisYear);
    EXPECT_EQ(findings.size(), c.findings.size()) << (findings.empty() ? "" : FormatFinding(findings.front()));
    for (size_t i = 0; i < std::min(findings.size(), c.findings.size()); ++i) {
      const Expected& e = c.findings[i];
      EXPECT_EQ(findings[i].level, e.level) << FormatFinding(findings[i]);
      EXPECT_EQ(findings[i].first, e.first) << FormatFinding(findings[i]);
      EXPECT_EQ(findings[i].last, e.last) << FormatFinding(findings[i]);
      EXPECT_EQ(findings[i].rule, e.rule) << FormatFinding(findings[i]);
      EXPECT_FALSE(findings[i].text.empty());
    }
  }
}

TEST(CheckEdid, AFindingPrintsItsLevelBytesRuleAndSentence) {
  Edid edid = CleanEdid();
  edid[126] = 2;
  FixChecksum(edid);
  const CheckFindings findings = CheckEdid(edid, kThisYear);
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_TRUE(tolvex::HasFailure(findings));
  EXPECT_EQ(FormatFinding(findings[0]),
            "failure: bytes 126-126: extension-count: Byte 126 announces 2 extension block(s), but the EDID holds 0; "
            "store 0, or add the missing blocks.");
}

TEST(CheckEdid, FindingsComeInByteOrder) {
  Edid edid = CleanEdid();
  edid[126] = 1;
  edid[8] |= 0x80;
  edid[48] = edid[49] = 0;
  FixChecksum(edid);
  const CheckFindings findings = CheckEdid(edid, kThisYear);
  ASSERT_EQ(findings.size(), 3u);
  EXPECT_TRUE(std::is_sorted(findings.begin(), findings.end(),
                             [](const CheckFinding& a, const CheckFinding& b) { return a.first < b.first; }));
}

// Real monitors' EDIDs, cut and extended, and the real whole EDIDs with their extension blocks
// as they are and filled with random bytes behind their tags: every finding points inside the
// bytes it was given, and inside one block.
TEST(CheckEdid, FindingsOfRealEdidsPointInsideThem) {
  auto files = test::SampleFiles();
  const auto whole = test::WholeEdidFiles();
  files.insert(files.end(), whole.begin(), whole.end());
  if (files.empty()) GTEST_SKIP() << "no sample EDIDs";
  std::mt19937 random(20);
  for (const auto& path : files) {
    const std::string data = test::ReadFile(path);
    std::vector<Edid> variants;
    for (size_t size : {data.size(), size_t{127}, size_t{200}, size_t{384}}) {
      Edid& edid = variants.emplace_back(data.begin(), data.end());
      edid.resize(size, 0xA5);
    }
    Edid& noise = variants.emplace_back(data.begin(), data.end());
    for (size_t i = kEdidSize; i < noise.size(); ++i) {
      if (i % kEdidSize != 0) noise[i] = static_cast<uint8_t>(random());
    }
    for (const Edid& edid : variants) {
      for (const CheckFinding& f : CheckEdid(edid, kThisYear)) {
        ASSERT_LE(0, f.first) << path << ": " << FormatFinding(f);
        ASSERT_LE(f.first, f.last) << path << ": " << FormatFinding(f);
        ASSERT_LT(f.last, static_cast<int>(edid.size())) << path << ": " << FormatFinding(f);
        ASSERT_EQ(f.first / kEdidSize, f.last / kEdidSize) << path << ": " << FormatFinding(f);
      }
    }
  }
}

}  // namespace
}  // namespace tolvex
