#include "model/edid_block.h"

#include <gtest/gtest.h>

#include <climits>

#include <cstdio>
#include <numeric>
#include <string>

#include "test_support.h"

namespace tolvex {
namespace {

using test::FixedDate;

uint8_t Sum(const EdidBytes& bytes) { return static_cast<uint8_t>(std::accumulate(bytes.begin(), bytes.end(), 0u)); }

std::string G(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%g", value);
  return buffer;
}

class EdidBlockTest : public ::testing::Test {
 protected:
  EdidBlock block{FixedDate(2026, 12, 8)};
  EdidBytes& b = block.Bytes();
};

// ---- Block level ---------------------------------------------------------------------------

TEST_F(EdidBlockTest, ResetBuildsTheDefaultBlock) {
  const EdidBytes expected_header = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
  EXPECT_TRUE(std::equal(expected_header.begin(), expected_header.begin() + 8, b.begin()));
  for (int i = 8; i < 126; ++i) {
    if (i == 16 || i == 17 || i == 18 || i == 19) continue;
    const uint8_t expected = (i >= 38 && i <= 53) ? 0x01 : 0x00;
    EXPECT_EQ(b[i], expected) << "byte " << i;
  }
  EXPECT_EQ(b[16], (341 + 6) / 7);  // 8 December 2026 is day 341
  EXPECT_EQ(b[17], 2026 - 1990);
  EXPECT_EQ(b[18], 1);
  EXPECT_EQ(b[19], 2);
  EXPECT_EQ(b[126], 0);
  EXPECT_EQ(Sum(b), 0);
  EXPECT_EQ(block.GetProductCodeFormat(), 0);
  EXPECT_EQ(block.GetSerialFormat(), 0);
}

TEST(EdidBlockReset, WeekOfManufactureFollowsTheCalendar) {
  struct Case {
    int year, month, day, week;
  };
  for (const Case c : {Case{2025, 1, 1, 0}, Case{2025, 1, 2, 1}, Case{2025, 1, 8, 1}, Case{2025, 1, 9, 2},
                       Case{2025, 12, 31, 52}, Case{2024, 12, 31, 53}, Case{2024, 3, 1, 9}, Case{2023, 3, 1, 9}}) {
    EdidBlock block(FixedDate(c.year, c.month, c.day));
    EXPECT_EQ(block.GetWeek(), c.week) << c.year << "-" << c.month << "-" << c.day;
    EXPECT_EQ(block.GetYear(), c.year);
    EXPECT_EQ(Sum(block.Bytes()), 0);
  }
  EXPECT_EQ(DayOfYear({2024, 3, 1}), 60);
  EXPECT_EQ(DayOfYear({2023, 3, 1}), 59);
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_FALSE(IsLeapYear(1900));
}

TEST_F(EdidBlockTest, ChecksumMakesTheSumZeroAndIsOnlyWrittenOnRequest) {
  b[20] = 0x47;
  EXPECT_EQ(ComputeChecksum(b), static_cast<uint8_t>(b[127] - 0x47));
  b.fill(0);
  b[0] = 0x47;
  EXPECT_EQ(ComputeChecksum(b), 0xB9);
  b[0] = 0;
  EXPECT_EQ(ComputeChecksum(b), 0x00);

  // A wrong checksum survives every field operation until UpdateChecksum.
  block.Reset();
  b[127] = 0x5A;
  block.SetManufacturerId("ABC");
  block.SetGamma(2.2f);
  block.SelectDescriptor(2);
  block.SetDescriptorText(kTagMonitorName, "NAME");
  EXPECT_EQ(block.GetChecksum(), 0x5A);
  block.UpdateChecksum();
  EXPECT_EQ(Sum(b), 0);
}

TEST_F(EdidBlockTest, VersionCasesAreExactPairs) {
  struct Case {
    uint8_t version, revision;
    bool is10, is13;
  };
  for (const Case c : {Case{1, 0, true, false}, Case{1, 3, false, true}, Case{1, 1, false, false},
                       Case{1, 2, false, false}, Case{2, 0, false, false}, Case{0, 3, false, false},
                       Case{1, 4, false, false}}) {
    block.SetVersion(c.version, c.revision);
    EXPECT_EQ(block.IsVersion10(), c.is10) << int(c.version) << "." << int(c.revision);
    EXPECT_EQ(block.IsVersion13(), c.is13) << int(c.version) << "." << int(c.revision);
    EXPECT_EQ(block.GetVersion().version, c.version);
    EXPECT_EQ(block.GetVersion().revision, c.revision);
  }
  b[126] = 1;
  EXPECT_EQ(block.GetExtensionFlag(), 1);
}

// ---- Identification ------------------------------------------------------------------------

TEST_F(EdidBlockTest, ManufacturerIdEncoding) {
  block.SetManufacturerId("ab");
  EXPECT_EQ(b[8], 0x04);
  EXPECT_EQ(b[9], 0x40);
  EXPECT_EQ(block.GetManufacturerId(), "AB ");
  block.SetManufacturerId("AB ");
  EXPECT_EQ(b[8], 0x04);
  EXPECT_EQ(b[9], 0x40);

  block.SetManufacturerId("");
  EXPECT_EQ(b[8], 0x00);
  EXPECT_EQ(b[9], 0x00);
  EXPECT_EQ(block.GetManufacturerId(), "");

  block.SetManufacturerId("TLVEXTRA");  // cut to three letters
  EXPECT_EQ(block.GetManufacturerId(), "TLV");
  EXPECT_EQ(b[8], (20 << 2) | (12 >> 3));
  EXPECT_EQ(b[9], ((12 & 7) << 5) | 22);

  block.SetManufacturerId("Z09");  // digits keep their low five bits: 0 -> 16 (P), 9 -> 25 (Y)
  EXPECT_EQ(block.GetManufacturerId(), "ZPY");
}

TEST_F(EdidBlockTest, ManufacturerIdDecoding) {
  struct Case {
    uint8_t b8, b9;
    const char* id;
  };
  for (const Case c : {Case{0xFF, 0xFF, ""}, Case{0x80, 0x00, ""}, Case{0x04, 0x02, "A B"},
                       Case{static_cast<uint8_t>(1 << 2 | 27 >> 3), static_cast<uint8_t>((27 & 7) << 5 | 2), "AB"},
                       Case{0x00, 0x21, " AA"}, Case{0x20, 0xAC, "HEL"}}) {
    b[8] = c.b8;
    b[9] = c.b9;
    EXPECT_EQ(block.GetManufacturerId(), c.id) << std::hex << int(c.b8) << " " << int(c.b9);
  }
}

TEST_F(EdidBlockTest, ProductCodeAndSerialNumber) {
  block.SetProductCode(0x1234);
  EXPECT_EQ(b[10], 0x34);
  EXPECT_EQ(b[11], 0x12);
  EXPECT_EQ(block.GetProductCode(), 0x1234);

  block.SetSerialNumber(0x89ABCDEF);
  EXPECT_EQ(b[12], 0xEF);
  EXPECT_EQ(b[13], 0xCD);
  EXPECT_EQ(b[14], 0xAB);
  EXPECT_EQ(b[15], 0x89);
  EXPECT_EQ(block.GetSerialNumber(), 0x89ABCDEFu);

  block.SetSerialText("AB");
  EXPECT_EQ(b[12], 0x20);
  EXPECT_EQ(b[13], 0x20);
  EXPECT_EQ(b[14], 0x42);
  EXPECT_EQ(b[15], 0x41);
  EXPECT_EQ(block.GetSerialNumber(), 0x41422020u);
  block.SetSerialText("WXYZ!");
  EXPECT_EQ(block.GetSerialNumber(), 0x5758595Au);
  block.SetSerialText("");
  EXPECT_EQ(block.GetSerialNumber(), 0x20202020u);
}

TEST_F(EdidBlockTest, WeekAndYearKeepSixBits) {
  block.SetWeek(64);
  EXPECT_EQ(b[16], 0);
  block.SetWeek(53);
  EXPECT_EQ(block.GetWeek(), 53);
  b[16] = 0xC5;  // bits 7-6 are not part of the week
  EXPECT_EQ(block.GetWeek(), 5);

  block.SetYear(2053);
  EXPECT_EQ(b[17], 63);
  block.SetYear(1989);
  EXPECT_EQ(b[17], 63);
  EXPECT_EQ(block.GetYear(), 2053);
  block.SetYear(2054);
  EXPECT_EQ(block.GetYear(), 1990);
  b[17] = 0xC1;
  EXPECT_EQ(block.GetYear(), 1991);
  // The extremes keep six bits too, without overflowing on the way (the sanitizer build checks).
  block.SetYear(INT_MIN);
  EXPECT_EQ(b[17], (int64_t{INT_MIN} - 1990) & 0x3F);
  block.SetYear(INT_MAX);
  EXPECT_EQ(b[17], (int64_t{INT_MAX} - 1990) & 0x3F);
}

// ---- Video input, features, gamma ----------------------------------------------------------

TEST_F(EdidBlockTest, VideoInputDefinitionBits) {
  b[20] = 0x6F;
  block.SetDigitalInput(true);
  EXPECT_EQ(b[20], 0x80);
  b[20] = 0x81;
  block.SetDigitalInput(false);
  EXPECT_EQ(b[20], 0x01);

  b[20] = 0;
  block.SetSignalLevel(7);  // only the low two bits count
  EXPECT_EQ(b[20], 0x60);
  EXPECT_EQ(block.GetSignalLevel(), 3u);
  block.SetSignalLevel(1);
  EXPECT_EQ(b[20], 0x20);

  struct Flag {
    void (EdidBlock::*set)(int);
    int (EdidBlock::*get)() const;
    uint8_t mask;
  };
  const Flag flags[] = {{&EdidBlock::SetBlankToBlackSetup, &EdidBlock::GetBlankToBlackSetup, 0x10},
                        {&EdidBlock::SetSeparateSync, &EdidBlock::GetSeparateSync, 0x08},
                        {&EdidBlock::SetCompositeSync, &EdidBlock::GetCompositeSync, 0x04},
                        {&EdidBlock::SetSyncOnGreen, &EdidBlock::GetSyncOnGreen, 0x02},
                        {&EdidBlock::SetSerration, &EdidBlock::GetSerration, 0x01}};
  for (const Flag& f : flags) {
    b[20] = 0x00;
    (block.*f.set)(5);  // any non-zero value sets the bit
    EXPECT_EQ(b[20], f.mask);
    EXPECT_EQ((block.*f.get)(), 1);
    b[20] = 0xFF;
    (block.*f.set)(0);
    EXPECT_EQ(b[20], 0xFF & ~f.mask);
    EXPECT_EQ((block.*f.get)(), 0);
  }
  b[20] = 0x80;
  EXPECT_EQ(block.IsDigitalInput(), 1);
}

TEST_F(EdidBlockTest, FeatureSupportBits) {
  struct Flag {
    void (EdidBlock::*set)(int);
    int (EdidBlock::*get)() const;
    uint8_t mask;
  };
  const Flag flags[] = {{&EdidBlock::SetStandby, &EdidBlock::GetStandby, 0x80},
                        {&EdidBlock::SetSuspend, &EdidBlock::GetSuspend, 0x40},
                        {&EdidBlock::SetActiveOff, &EdidBlock::GetActiveOff, 0x20},
                        {&EdidBlock::SetStandardColorSpace, &EdidBlock::GetStandardColorSpace, 0x04},
                        {&EdidBlock::SetPreferredTiming, &EdidBlock::GetPreferredTiming, 0x02},
                        {&EdidBlock::SetGtfSupported, &EdidBlock::GetGtfSupported, 0x01}};
  for (const Flag& f : flags) {
    b[24] = 0x00;
    (block.*f.set)(1);
    EXPECT_EQ(b[24], f.mask);
    EXPECT_EQ((block.*f.get)(), 1);
    b[24] = 0xFF;
    (block.*f.set)(0);
    EXPECT_EQ(b[24], 0xFF & ~f.mask);
  }
  b[24] = 0xFF;
  block.SetDisplayType(1);
  EXPECT_EQ(b[24], 0xEF);
  EXPECT_EQ(block.GetDisplayType(), 1u);
  block.SetDisplayType(6);
  EXPECT_EQ(block.GetDisplayType(), 2u);

  block.SetMaxImageWidth(52);
  block.SetMaxImageHeight(32);
  EXPECT_EQ(b[21], 52);
  EXPECT_EQ(b[22], 32);
}

TEST_F(EdidBlockTest, GammaRoundsUpFromHalfAStepMinusAHundredth) {
  struct Case {
    float gamma;
    uint8_t stored;
  };
  for (const Case c : {Case{2.2f, 120}, Case{1.0f, 0}, Case{3.55f, 255}, Case{2.2049f, 121}, Case{2.205f, 121},
                       Case{2.2048f, 120}, Case{1.01f, 1}, Case{2.28f, 128}, Case{2.35f, 135}}) {
    block.SetGamma(c.gamma);
    EXPECT_EQ(b[23], c.stored) << c.gamma;
  }
  block.SetGamma(2.2f);
  EXPECT_EQ(G(block.GetGamma()), "2.2");
  b[23] = 255;
  EXPECT_EQ(G(block.GetGamma()), "3.55");
}

// ---- Chromaticity --------------------------------------------------------------------------

TEST_F(EdidBlockTest, ChromaticityRoundTripsThreeDecimals) {
  const Chromaticity srgb = {0.64f, 0.33f, 0.30f, 0.60f, 0.15f, 0.06f, 0.313f, 0.329f};
  block.SetChromaticity(srgb);
  const Chromaticity back = block.GetChromaticity();
  for (int i = 0; i < 8; ++i) EXPECT_EQ(back[i], srgb[i]) << "coordinate " << i;

  // Every three-decimal value survives the 10-bit encoding.
  for (int milli = 0; milli < 1000; ++milli) {
    const float x = static_cast<float>(milli * 0.001);
    Chromaticity all{};
    all.fill(x);
    block.SetChromaticity(all);
    const Chromaticity read = block.GetChromaticity();
    ASSERT_EQ(G(read[kWhiteY]), G(milli * 0.001)) << milli;
    ASSERT_EQ(G(read[kRedX]), G(milli * 0.001)) << milli;
  }
}

TEST_F(EdidBlockTest, ChromaticityBitLayout) {
  // Distinct 10-bit values show where each coordinate's bits land.
  const unsigned v[8] = {0x3FD, 0x002, 0x001, 0x3FF, 0x100, 0x0C3, 0x140, 0x151};
  Chromaticity xy{};
  for (int i = 0; i < 8; ++i) xy[i] = static_cast<float>(v[i] / 1024.0);
  b[25] = 0xAA;  // cleared and rebuilt
  block.SetChromaticity(xy);
  EXPECT_EQ(b[25], (1 << 6) | (2 << 4) | (1 << 2) | 3);
  EXPECT_EQ(b[26], (0 << 6) | (3 << 4) | (0 << 2) | 1);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(b[27 + i], (v[i] >> 2) & 0xFF) << i;

  EXPECT_EQ(DecodeChromaValue(655), 0.64f);
  EXPECT_EQ(DecodeChromaValue(321), 0.313f);
  EXPECT_EQ(DecodeChromaValue(1023), 0.999f);
  EXPECT_EQ(DecodeChromaValue(0), 0.0f);
  EXPECT_EQ(EncodeChromaValue(1.0f) & 0x3FF, 0u);  // 1.0 wraps to 0
}

// ---- Timings -------------------------------------------------------------------------------

TEST_F(EdidBlockTest, EstablishedTimingsAreThreeBytes) {
  block.SetEstablishedTimings(0x21, 0x0F, 0x80);
  EXPECT_EQ(b[35], 0x21);
  EXPECT_EQ(b[36], 0x0F);
  EXPECT_EQ(b[37], 0x80);
  const auto t = block.GetEstablishedTimings();
  EXPECT_EQ(t[0], 0x21);
  EXPECT_EQ(t[1], 0x0F);
  EXPECT_EQ(t[2], 0x80);
}

TEST_F(EdidBlockTest, StandardTimingEncodingAndClamps) {
  struct Width {
    unsigned in;
    uint8_t stored;
    unsigned read;
  };
  for (const Width w : {Width{640, 0x31, 640}, Width{1280, 0x81, 1280}, Width{1366, 139, 1360}, Width{100, 1, 256},
                        Width{255, 1, 256}, Width{4000, 255, 2288}, Width{65536 + 640, 0x31, 640}}) {
    block.SetStdTimingWidth(3, w.in);
    EXPECT_EQ(b[44], w.stored) << w.in;
    EXPECT_EQ(block.GetStdTimingWidth(3), w.read) << w.in;
  }
  b[44] = 0;
  EXPECT_EQ(block.GetStdTimingWidth(3), 248u);

  struct Rate {
    unsigned in;
    uint8_t stored;
  };
  for (const Rate r : {Rate{60, 0}, Rate{75, 15}, Rate{123, 63}, Rate{200, 63}, Rate{300, 0}, Rate{10, 0}}) {
    b[45] = 0xC0;
    block.SetStdTimingRefresh(3, r.in);
    EXPECT_EQ(b[45], 0xC0 | r.stored) << r.in;  // aspect bits kept
  }
  b[45] = 0x3F;
  block.SetStdTimingAspect(3, 2);
  EXPECT_EQ(b[45], 0xBF);
  EXPECT_EQ(block.GetStdTimingAspect(3), 2u);
  EXPECT_EQ(block.GetStdTimingRefresh(3), 123u);
}

TEST_F(EdidBlockTest, StandardTimingSlotsAddressBaseBlockAndCurrentDescriptor) {
  for (int slot = 0; slot < 8; ++slot) {
    block.SetStdTimingWidth(slot, 256 + 8 * (slot + 1));
    EXPECT_EQ(b[38 + 2 * slot], slot + 2);
  }
  block.SelectDescriptor(1);  // offset 72
  block.SetStdTimingWidth(9, 1024);
  block.SetStdTimingAspect(9, 1);
  block.SetStdTimingRefresh(9, 85);
  EXPECT_EQ(b[79], 0x61);
  EXPECT_EQ(b[80], 0x40 | 25);
  block.SelectDescriptor(3);  // offset 108: slot 13 is the last pair before byte 125
  block.SetStdTimingWidth(13, 1600);
  EXPECT_EQ(b[108 + 5 + 10], 1600 / 8 - 31);
  EXPECT_EQ(block.GetStdTimingWidth(13), 1600u);
}

TEST_F(EdidBlockTest, OnlyZeroOneZeroOneIsAnUnusedStandardTiming) {
  EXPECT_TRUE(block.IsStdTimingUnused(0));
  block.SetStdTimingWidth(0, 256);
  block.SetStdTimingAspect(0, 0);
  block.SetStdTimingRefresh(0, 61);
  EXPECT_EQ(b[38], 0x01);
  EXPECT_EQ(b[39], 0x01);
  b[38] = 0;
  b[39] = 0;
  EXPECT_FALSE(block.IsStdTimingUnused(0));
  b[38] = 1;
  b[39] = 0x41;
  EXPECT_FALSE(block.IsStdTimingUnused(0));
}

// ---- Descriptor classification -------------------------------------------------------------

TEST_F(EdidBlockTest, DescriptorClassification) {
  block.SelectDescriptor(0);
  const uint8_t name[18] = {0, 0, 0, 0xFC, 0, 'T', 'E', 'S', 'T', '\n', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
  std::copy(std::begin(name), std::end(name), b.begin() + 54);

  block.SetVersion(1, 0);
  EXPECT_FALSE(block.GetDescriptorTag().isDescriptor);
  EXPECT_EQ(block.GetPixelClock(), 0.0);
  EXPECT_EQ(block.GetHActive(), 0u);
  EXPECT_EQ(block.GetHBlanking(), 252u);

  for (uint8_t revision : {1, 2, 3, 4}) {
    block.SetVersion(1, revision);
    EXPECT_TRUE(block.GetDescriptorTag().isDescriptor) << int(revision);
    EXPECT_EQ(block.GetDescriptorTag().tag, 0xFC);
  }
  block.SetVersion(2, 0);  // not 1.0: the default reading knows descriptors
  EXPECT_TRUE(block.GetDescriptorTag().isDescriptor);

  block.SetVersion(1, 3);
  b[58] = 1;  // byte 4 non-zero
  EXPECT_FALSE(block.GetDescriptorTag().isDescriptor);
  b[58] = 0;
  for (int i : {54, 55, 56}) {
    b[i] = 1;
    EXPECT_FALSE(block.GetDescriptorTag().isDescriptor) << i;
    b[i] = 0;
  }
  b[57] = 0;  // tag 0: a wholly blank block is a detailed timing
  EXPECT_FALSE(block.GetDescriptorTag().isDescriptor);
  b[57] = 0x10;
  EXPECT_TRUE(block.GetDescriptorTag().isDescriptor);
  EXPECT_EQ(block.GetDescriptorTag().tag, 0x10);
}

TEST_F(EdidBlockTest, SelectDescriptorMasksTheIndex) {
  for (unsigned index : {0u, 1u, 2u, 3u, 5u, 255u}) {
    block.SelectDescriptor(index);
    EXPECT_EQ(block.CurrentDescriptorIndex(), index & 3);
    EXPECT_EQ(block.CurrentDescriptorOffset(), 54 + 18 * (index & 3));
  }
  block.SelectDescriptor(2);
  for (int i = 90; i < 108; ++i) b[i] = 0xEE;
  block.WriteDescriptorHeader(0xFA);
  const uint8_t expected[6] = {0, 0, 0, 0xFA, 0, 0xEE};
  EXPECT_TRUE(std::equal(std::begin(expected), std::end(expected), b.begin() + 90));
  EXPECT_EQ(b[89], 0);  // the block before is untouched
}

// ---- Detailed timing -----------------------------------------------------------------------

TEST_F(EdidBlockTest, PixelClock) {
  block.SelectDescriptor(1);
  struct Case {
    float mhz;
    unsigned units;
    const char* read;
  };
  for (const Case c : {Case{65.0f, 6500, "65"}, Case{25.175f, 2518, "25.18"}, Case{108.0f, 10800, "108"},
                       Case{655.35f, 65535, "655.35"}, Case{700.0f, 4464, "44.64"}, Case{0.0f, 0, "0"}}) {
    block.SetPixelClock(c.mhz);
    EXPECT_EQ(b[72] | b[73] << 8, c.units) << c.mhz;
    EXPECT_EQ(G(block.GetPixelClock()), c.read) << c.mhz;
  }
}

TEST_F(EdidBlockTest, DetailedTimingFieldsLandOnTheirBits) {
  block.SelectDescriptor(3);
  const int o = 108;
  for (int i = 0; i < 18; ++i) b[o + i] = 0;

  block.SetHActive(0xABC);
  block.SetHBlanking(0x123);
  block.SetVActive(0x456);
  block.SetVBlanking(0x789);
  EXPECT_EQ(b[o + 2], 0xBC);
  EXPECT_EQ(b[o + 3], 0x23);
  EXPECT_EQ(b[o + 4], 0xA1);
  EXPECT_EQ(b[o + 5], 0x56);
  EXPECT_EQ(b[o + 6], 0x89);
  EXPECT_EQ(b[o + 7], 0x47);
  EXPECT_EQ(block.GetHActive(), 0xABCu);
  EXPECT_EQ(block.GetHBlanking(), 0x123u);
  EXPECT_EQ(block.GetVActive(), 0x456u);
  EXPECT_EQ(block.GetVBlanking(), 0x789u);

  block.SetHSyncOffset(0x2F1);
  block.SetHSyncWidth(0x1E2);
  block.SetVSyncOffset(0x2D);
  block.SetVSyncWidth(0x1C);
  EXPECT_EQ(b[o + 8], 0xF1);
  EXPECT_EQ(b[o + 9], 0xE2);
  EXPECT_EQ(b[o + 10], 0xDC);
  EXPECT_EQ(b[o + 11], 0b10'01'10'01);
  EXPECT_EQ(block.GetHSyncOffset(), 0x2F1u);
  EXPECT_EQ(block.GetHSyncWidth(), 0x1E2u);
  EXPECT_EQ(block.GetVSyncOffset(), 0x2Du);
  EXPECT_EQ(block.GetVSyncWidth(), 0x1Cu);

  block.SetHImageSize(0x5DE);
  block.SetVImageSize(0x3AF);
  EXPECT_EQ(b[o + 12], 0xDE);
  EXPECT_EQ(b[o + 13], 0xAF);
  EXPECT_EQ(b[o + 14], 0x53);
  EXPECT_EQ(block.GetHImageSize(), 0x5DEu);
  EXPECT_EQ(block.GetVImageSize(), 0x3AFu);

  block.SetHBorder(7);
  block.SetVBorder(9);
  EXPECT_EQ(block.GetHBorder(), 7u);
  EXPECT_EQ(block.GetVBorder(), 9u);

  // Each setter keeps its neighbours' bits.
  block.SetHActive(0);
  EXPECT_EQ(b[o + 4], 0x01);
  block.SetVSyncWidth(0);
  EXPECT_EQ(b[o + 10], 0xD0);
  EXPECT_EQ(b[o + 11], 0b10'01'10'00);
  EXPECT_EQ(b[o - 1], 0);  // nothing leaked into the block before
}

TEST_F(EdidBlockTest, FlagsByteStereoSyncInterlace) {
  block.SelectDescriptor(0);
  b[71] = 0x9E;
  block.SetStereoMode(7);
  EXPECT_EQ(b[71], 0xFF);
  block.SetStereoMode(0);
  EXPECT_EQ(b[71], 0x9E);
  for (unsigned code = 0; code < 8; ++code) {
    block.SetStereoMode(code);
    EXPECT_EQ(block.GetStereoMode(), code);
    EXPECT_EQ(b[71] & 0x9E, 0x9E);
  }
  b[71] = 0xE1;
  block.SetSyncMode(0x1B);  // low four bits only
  EXPECT_EQ(b[71], 0xE1 | (0x0B << 1));
  EXPECT_EQ(block.GetSyncMode(), 0x0Bu);
  block.SetInterlaced(0);
  EXPECT_EQ(b[71], 0x61 | (0x0B << 1));
  block.SetInterlaced(3);
  EXPECT_EQ(block.GetInterlaced(), 1);
}

// ---- Monitor descriptors -------------------------------------------------------------------

TEST_F(EdidBlockTest, DescriptorTextPayloads) {
  block.SetVersion(1, 3);
  block.SelectDescriptor(1);
  block.SetDescriptorText(kTagMonitorName, "ABCDEFGHIJKLM");
  const std::string full = "ABCDEFGHIJKLM";
  EXPECT_TRUE(std::equal(full.begin(), full.end(), b.begin() + 77));
  EXPECT_EQ(block.GetDescriptorText(), full);
  EXPECT_EQ(block.GetDescriptorTag().tag, kTagMonitorName);

  block.SetDescriptorText(kTagSerialNumber, "");
  EXPECT_EQ(b[77], 0x0A);
  for (int i = 78; i < 90; ++i) EXPECT_EQ(b[i], 0x20);
  EXPECT_EQ(block.GetDescriptorText(), "");

  block.SetDescriptorText(kTagDataString, "Hello");
  EXPECT_EQ(b[75], kTagDataString);
  EXPECT_EQ(b[82], 0x0A);
  EXPECT_EQ(block.GetDescriptorText(), "Hello");

  block.SetDescriptorText(kTagMonitorName, "A much too long name");
  EXPECT_EQ(block.GetDescriptorText(), "A much too lo");

  block.SetDescriptorText(kTagMonitorName, "AB          ");  // 12 characters, trailing blanks kept
  EXPECT_EQ(block.GetDescriptorText(), "AB          ");

  b[79] = 0x00;  // the reader stops at any byte outside 0x20-0x7F
  EXPECT_EQ(block.GetDescriptorText(), "AB");
  b[79] = 0x80;
  EXPECT_EQ(block.GetDescriptorText(), "AB");
  b[79] = 0x7F;
  EXPECT_EQ(block.GetDescriptorText().size(), 12u);
}

TEST_F(EdidBlockTest, RangeLimitsAndSecondaryGtf) {
  block.SelectDescriptor(2);
  for (int i = 90; i < 108; ++i) b[i] = 0xEE;
  block.SetRangeLimits(30, 95, 50, 160, 230);
  const uint8_t expected[18] = {0, 0, 0, 0xFD, 0, 0x32, 0xA0, 0x1E, 0x5F, 0x17, 0x00, 0x0A,
                                0x20, 0x20, 0x20, 0x20, 0x20, 0x20};
  EXPECT_TRUE(std::equal(std::begin(expected), std::end(expected), b.begin() + 90));
  const RangeLimits r = block.GetRangeLimits();
  EXPECT_EQ(r.minHorizontalKHz, 30);
  EXPECT_EQ(r.maxHorizontalKHz, 95);
  EXPECT_EQ(r.minVerticalHz, 50);
  EXPECT_EQ(r.maxVerticalHz, 160);
  EXPECT_EQ(r.maxPixelClockMHz, 230);

  for (auto [mhz, byte] : {std::pair{135, 14}, std::pair{134, 13}, std::pair{0, 0}, std::pair{2550, 255}}) {
    block.SetRangeLimits(30, 95, 50, 160, static_cast<uint16_t>(mhz));
    EXPECT_EQ(b[99], byte) << mhz;
  }

  block.SetSecondaryGtf(2, 31, 40, 600, 128, 20);
  const uint8_t gtf[8] = {0x02, 0x00, 0x0F, 0x50, 0x58, 0x02, 0x80, 0x28};
  EXPECT_TRUE(std::equal(std::begin(gtf), std::end(gtf), b.begin() + 100));
  EXPECT_EQ(b[99], 255);  // bytes 5-9 untouched
  const SecondaryGtf g = block.GetSecondaryGtf();
  EXPECT_EQ(g.code, 2);
  EXPECT_EQ(g.startKHz, 30u);
  EXPECT_EQ(g.c, 40u);
  EXPECT_EQ(g.m, 600);
  EXPECT_EQ(g.k, 128u);
  EXPECT_EQ(g.j, 20u);

  block.SetRangeLimits(30, 95, 50, 160, 230);  // removes the secondary block again
  EXPECT_TRUE(std::equal(std::begin(expected), std::end(expected), b.begin() + 90));
}

TEST_F(EdidBlockTest, ColorPointWritesOneWhitePoint) {
  block.SelectDescriptor(0);
  for (int i = 54; i < 72; ++i) b[i] = 0xEE;
  block.SetColorPoint(1, 1, 0.313f, 0.329f, 2.2f);
  const uint8_t second[5] = {0x01, 0x05, 0x50, 0x54, 0x78};
  EXPECT_TRUE(std::equal(std::begin(second), std::end(second), b.begin() + 64));
  for (int i = 59; i < 64; ++i) EXPECT_EQ(b[i], 0xEE) << i;  // the first white point is kept
  EXPECT_EQ(b[57], kTagColorPoint);
  EXPECT_EQ(b[69], 0x0A);
  EXPECT_EQ(b[70], 0x20);
  EXPECT_EQ(b[71], 0x20);

  block.SetColorPoint(2, 7, 0.64f, 0.33f, 2.205f);  // 2 counts as the first white point
  EXPECT_EQ(b[59], 7);
  EXPECT_EQ(b[63], 120);  // 0.005 here, where the base block's 0.0051 gives 121

  const ColorPoint first = block.GetColorPoint(0);
  EXPECT_EQ(first.index, 7);
  EXPECT_EQ(first.x, 0.64f);
  EXPECT_EQ(first.y, 0.33f);
  EXPECT_EQ(G(first.gamma), "2.2");
  const ColorPoint other = block.GetColorPoint(1);
  EXPECT_EQ(other.index, 1);
  EXPECT_EQ(other.x, 0.313f);
  EXPECT_EQ(other.y, 0.329f);
  EXPECT_EQ(G(other.gamma), "2.2");
}

}  // namespace
}  // namespace tolvex
