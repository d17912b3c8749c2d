#include "report/edid_report.h"

#include <gtest/gtest.h>

#include <string>

#include "report_test_support.h"
#include "test_support.h"

namespace tolvex {
namespace {

using test::Between;
using test::Lines;
using test::ValueAfter;

std::string Title() {
  return Lines({
      "**********************************************************************",
      "EDID log file",
      "**********************************************************************",
      "",
  });
}

// A detailed timing whose 18 bytes are all zero, as every block of a fresh EDID is.
std::string ZeroDetailedTiming(int number) {
  return "Detailed Timing #" + std::to_string(number) + "\r\n" +
         Lines({
             "\tPixel Clock (MHz)               :  0",
             "\tH Active (pixels)               :  0",
             "\tH Blanking (pixels)             :  0",
             "\tV Active (lines)                :  0",
             "\tV Blanking (lines)              :  0",
             "\tH Sync Offset (F Porch) (pixels):  0",
             "\tH Sync Pulse Width (pixels)     :  0",
             "\tV Sync Offset (F Porch) (lines) :  0",
             "\tV Sync Pulse Width (lines)      :  0",
             "\tH Image Size (mm)               :  0",
             "\tV Image Size (mm)               :  0",
             "\tH Border (pixels)               :  0",
             "\tV Border (lines)                :  0",
             "\tFlags                           :  Non-interlaced",
             "\t\t\t\t\t:  Normal Display, No stereo",
             "\t\t\t\t\t:  Analog Composite sync.",
             "\t\t\t\t\t:  Serration not needed",
             "\t\t\t\t\t:  Sync. On Green only",
             "",
         });
}

void MarkStdTimingUnused(EdidBlock& block, int slot) {
  block.SetStdTimingWidth(slot, 256);
  block.SetStdTimingAspect(slot, 0);
  block.SetStdTimingRefresh(slot, 61);
}

void SetStdTiming(EdidBlock& block, int slot, unsigned width, unsigned aspect, unsigned hz) {
  block.SetStdTimingWidth(slot, width);
  block.SetStdTimingAspect(slot, aspect);
  block.SetStdTimingRefresh(slot, hz);
}

// ---- Whole reports --------------------------------------------------------------------------

TEST(FormatReport, AnalogVersion13MonitorWithEveryDescriptorKindOf13) {
  EdidBlock block(test::FixedDate(2001, 3, 20));
  block.SetManufacturerId("TLX");
  block.SetProductCode(0x1234);
  block.SetSerialNumber(12345678);
  block.SetSerialFormat(kSerialDecimal);
  block.SetWeek(12);
  block.SetYear(2001);
  block.SetVersion(1, 3);
  block.SetSignalLevel(1);
  block.SetBlankToBlackSetup(1);
  block.SetSeparateSync(1);
  block.SetSyncOnGreen(1);
  block.SetMaxImageWidth(34);
  block.SetMaxImageHeight(27);
  block.SetGamma(2.2f);
  block.SetStandby(1);
  block.SetActiveOff(1);
  block.SetDisplayType(1);
  block.SetStandardColorSpace(1);
  block.SetGtfSupported(1);
  block.SetChromaticity({0.64f, 0.33f, 0.30f, 0.60f, 0.15f, 0.06f, 0.313f, 0.329f});
  block.SetEstablishedTimings(0x21, 0x0C, 0x80);
  SetStdTiming(block, 0, 1280, 2, 60);
  SetStdTiming(block, 1, 1024, 0, 75);  // code 0 reads 16:10 in 1.3
  block.Bytes()[44] = 0x00;             // slot 3 = 00 00: a real entry, not an unused one
  block.Bytes()[45] = 0x00;

  block.SelectDescriptor(0);
  block.SetDescriptorText(kTagMonitorName, "TOLVEX 17");
  block.SelectDescriptor(1);
  block.SetRangeLimits(30, 82, 50, 75, 140);
  block.SetSecondaryGtf(2, 31, 40, 600, 128, 20);
  block.SelectDescriptor(2);
  block.SetColorPoint(0, 1, 0.313f, 0.329f, 2.2f);
  block.SetColorPoint(1, 0, 0.3f, 0.3f, 2.5f);  // index 0: unused, its values are not shown
  block.SelectDescriptor(3);
  block.WriteDescriptorHeader(kTagStdTimings);
  SetStdTiming(block, 8, 1600, 1, 60);
  MarkStdTimingUnused(block, 9);
  SetStdTiming(block, 10, 1920, 3, 75);
  for (int slot = 11; slot < 14; ++slot) MarkStdTimingUnused(block, slot);
  block.Bytes()[127] = 0x5A;

  EXPECT_EQ(FormatReport(block), Title() + Lines({
                                               "Vendor/Product Identification",
                                               "\tID Manufacturer Name            :  TLX",
                                               "\tID Product Code                 :  1234 (HEX.)",
                                               "\tID Serial Number                :  12345678 (DEC.)",
                                               "\tWeek of Manufacture             :  12",
                                               "\tYear of Manufacture             :  2001",
                                               "",
                                               "EDID Version, Revision",
                                               "\tVersion                         :  1",
                                               "\tRevision                        :  3",
                                               "",
                                               "Basic Display Parameters/Features",
                                               "\tVideo Input Definition          :  Analog Video Input",
                                               "\t\t\t\t\t   0.714V/0.286V (1.00Vpp)",
                                               "\t\t\t\t\t   Blank-to-Black Setup",
                                               "\t\t\t\t\t   Separate Sync",
                                               "\t\t\t\t\t   without Composite Sync",
                                               "\t\t\t\t\t   Sync on Green",
                                               "\t\t\t\t\t   no Serration required",
                                               "",
                                               "\tMaximum H Image Size            :  34",
                                               "\tMaximum V Image Size            :  27",
                                               "",
                                               "\tDisplay Transfer Characteristic :  2.2",
                                               "\t\t(gamma)",
                                               "",
                                               "\tFeature Support (DPMS)          :  Standby",
                                               "\t\t\t\t\t   no Suspend",
                                               "\t\t\t\t\t   Active Off",
                                               "",
                                               "\tDisplay Type                    :  RGB color display",
                                               "\tStandard Default Color Space    :  Primary color space",
                                               "\tGTF supported                   :  Based on GTF standard",
                                               "",
                                               "Color Characteristics",
                                               "\tRed   X coordinate              :  0.64",
                                               "\tRed   Y coordinate              :  0.33",
                                               "\tGreen X coordinate              :  0.3",
                                               "\tGreen Y coordinate              :  0.6",
                                               "\tBlue  X coordinate              :  0.15",
                                               "\tBlue  Y coordinate              :  0.06",
                                               "\tWhite X coordinate              :  0.313",
                                               "\tWhite Y coordinate              :  0.329",
                                               "",
                                               "Established Timings",
                                               "\tEstablished Timings I           :  640 x 480 @60Hz (IBM,VGA)",
                                               "\t\t\t\t\t   800 x 600 @60Hz (VESA)",
                                               "",
                                               "\tEstablished Timings II          :  1024 x 768 @60Hz (VESA)",
                                               "\t\t\t\t\t   1024 x 768 @70Hz (VESA)",
                                               "",
                                               "\tManufacturer's timings          :  1152 x 870 @75Hz (Apple,Mac II)",
                                               "",
                                               "Standard Timing Identification #1",
                                               "\tHorizontal active pixels        :  1280",
                                               "\tAspect Ratio                    :  5:4",
                                               "\tRefresh Rate                    :  60",
                                               "",
                                               "Standard Timing Identification #2",
                                               "\tHorizontal active pixels        :  1024",
                                               "\tAspect Ratio                    :  16:10",
                                               "\tRefresh Rate                    :  75",
                                               "",
                                               "Standard Timing Identification #4",
                                               "\tHorizontal active pixels        :  248",
                                               "\tAspect Ratio                    :  16:10",
                                               "\tRefresh Rate                    :  60",
                                               "",
                                               "Monitor Descriptor #1",
                                               "\tMonitor Name                    :  TOLVEX 17",
                                               "",
                                               "Monitor Descriptor #2",
                                               "\tMonitor Range Limits",
                                               "\tMin. Vt rate Hz                 :  50",
                                               "\tMax. Vt rate Hz                 :  75",
                                               "\tMin. Horiz. rate kHz            :  30",
                                               "\tMax. Horiz. rate kHz            :  82",
                                               "\tMax. Supported Pixel            :  140",
                                               "",
                                               "\tSecondary GTF timing formula supported.",
                                               "\tStart frequency Horiz. freq. KHz:  30",
                                               "\tC: Offset constant (%)          :  40",
                                               "\tM: Gradient constants (%/KHz)   :  600",
                                               "\tK: Blacking time scaling factor :  128",
                                               "\tJ: Scaling factor weighting (%) :  20",
                                               "",
                                               "Monitor Descriptor #3",
                                               "\tColor Point",
                                               "\tWhite point #1 index            :  1",
                                               "\tWhite X                         :  0.313",
                                               "\tWhite Y                         :  0.329",
                                               "\tWhite Gamma                     :  2.2",
                                               "\tWhite point #2 index            :  Unused",
                                               "",
                                               "Monitor Descriptor #4",
                                               "\tStandard Timing Identification #9",
                                               "\tHorizontal active pixels        :  1600",
                                               "\tAspect Ratio                    :  4:3",
                                               "\tRefresh Rate                    :  60",
                                               "",
                                               "\tStandard Timing Identification #11",
                                               "\tHorizontal active pixels        :  1920",
                                               "\tAspect Ratio                    :  16:9",
                                               "\tRefresh Rate                    :  75",
                                               "",
                                               "",
                                               "Extension Flag                          :  0",
                                               "",
                                               "Check sum                               :  5A (HEX.)",
                                               "",
                                           }));
}

TEST(FormatReport, DigitalVersion11HidesDfpBitAndRangeLimitExtras) {
  EdidBlock block(test::FixedDate(2010, 1, 1));
  block.SetManufacturerId("ab");    // codes 1, 2, 0: the blank stays
  block.SetProductCode(0x3412);     // 4660 entered with byte swap
  block.SetProductCodeFormat(kProductCodeDecimal | kProductCodeSwapped);
  block.SetSerialText("SN01");
  block.SetSerialFormat(kSerialAscii);
  block.SetWeek(45);
  block.SetYear(2010);
  block.SetVersion(1, 1);
  block.SetDigitalInput(1);
  block.SetSerration(1);  // DFP 1.x, which only 1.3 reports
  block.SetMaxImageWidth(47);
  block.SetMaxImageHeight(30);
  block.SetGamma(1.0f);
  block.SetDisplayType(3);
  block.SetPreferredTiming(1);
  block.SetChromaticity({0.625f, 0.34f, 0.28f, 0.605f, 0.155f, 0.07f, 0.313f, 0.329f});
  SetStdTiming(block, 5, 1024, 0, 85);  // code 0 reads 1:1 before 1.3

  block.SelectDescriptor(0);
  block.SetPixelClock(65.0f);
  block.SetHActive(1024);
  block.SetHBlanking(320);
  block.SetVActive(768);
  block.SetVBlanking(38);
  block.SetHSyncOffset(24);
  block.SetHSyncWidth(136);
  block.SetVSyncOffset(3);
  block.SetVSyncWidth(6);
  block.SetHImageSize(470);
  block.SetVImageSize(300);
  block.SetSyncMode(0b1101);  // digital separate, V negative, H positive
  block.SelectDescriptor(1);
  block.SetDescriptorText(kTagSerialNumber, "A1B2C3D4E5F6G");
  block.SelectDescriptor(2);
  block.SetDescriptorText(kTagDataString, "");
  block.SelectDescriptor(3);
  block.SetRangeLimits(31, 80, 56, 76, 2550);
  block.SetSecondaryGtf(2, 40, 40, 600, 128, 20);  // not reported before 1.3
  block.Bytes()[126] = 1;
  block.Bytes()[127] = 0x0B;

  EXPECT_EQ(FormatReport(block), Title() + Lines({
                                               "Vendor/Product Identification",
                                               "\tID Manufacturer Name            :  AB ",
                                               "\tID Product Code                 :  04660 (DEC. swap)",
                                               "\tID Serial Number                :  SN01 (ASCII.)",
                                               "\tWeek of Manufacture             :  45",
                                               "\tYear of Manufacture             :  2010",
                                               "",
                                               "EDID Version, Revision",
                                               "\tVersion                         :  1",
                                               "\tRevision                        :  1",
                                               "",
                                               "Basic Display Parameters/Features",
                                               "\tVideo Input Definition          :  Digital Video Input",
                                               "",
                                               "\tMaximum H Image Size            :  47",
                                               "\tMaximum V Image Size            :  30",
                                               "",
                                               "\tDisplay Transfer Characteristic :  1",
                                               "\t\t(gamma)",
                                               "",
                                               "\tFeature Support (DPMS)          :  no Standby",
                                               "\t\t\t\t\t   no Suspend",
                                               "\t\t\t\t\t   no Active Off",
                                               "",
                                               "\tDisplay Type                    :  Undefined",
                                               "\tPreferred Timing Mode           :  Detailed timing block 1",
                                               "",
                                               "Color Characteristics",
                                               "\tRed   X coordinate              :  0.625",
                                               "\tRed   Y coordinate              :  0.34",
                                               "\tGreen X coordinate              :  0.28",
                                               "\tGreen Y coordinate              :  0.605",
                                               "\tBlue  X coordinate              :  0.155",
                                               "\tBlue  Y coordinate              :  0.07",
                                               "\tWhite X coordinate              :  0.313",
                                               "\tWhite Y coordinate              :  0.329",
                                               "",
                                               "Established Timings",
                                               "\tEstablished Timings I           :  ",
                                               "",
                                               "\tEstablished Timings II          :  ",
                                               "",
                                               "\tManufacturer's timings          :  ",
                                               "",
                                               "Standard Timing Identification #6",
                                               "\tHorizontal active pixels        :  1024",
                                               "\tAspect Ratio                    :  1:1",
                                               "\tRefresh Rate                    :  85",
                                               "",
                                               "Detailed Timing #1",
                                               "\tPixel Clock (MHz)               :  65",
                                               "\tH Active (pixels)               :  1024",
                                               "\tH Blanking (pixels)             :  320",
                                               "\tV Active (lines)                :  768",
                                               "\tV Blanking (lines)              :  38",
                                               "\tH Sync Offset (F Porch) (pixels):  24",
                                               "\tH Sync Pulse Width (pixels)     :  136",
                                               "\tV Sync Offset (F Porch) (lines) :  3",
                                               "\tV Sync Pulse Width (lines)      :  6",
                                               "\tH Image Size (mm)               :  470",
                                               "\tV Image Size (mm)               :  300",
                                               "\tH Border (pixels)               :  0",
                                               "\tV Border (lines)                :  0",
                                               "\tFlags                           :  Non-interlaced",
                                               "\t\t\t\t\t:  Normal Display, No stereo",
                                               "\t\t\t\t\t:  Digital Separate sync.",
                                               "\t\t\t\t\t:  Negative Vertical Sync.",
                                               "\t\t\t\t\t:  Positive Horizontal Sync.",
                                               "",
                                               "Monitor Descriptor #2",
                                               "\tSerial Number                   :  A1B2C3D4E5F6G",
                                               "",
                                               "Monitor Descriptor #3",
                                               "\tData String                     :  ",
                                               "",
                                               "Monitor Descriptor #4",
                                               "\tMonitor Range Limits",
                                               "\tMin. Vt rate Hz                 :  56",
                                               "\tMax. Vt rate Hz                 :  76",
                                               "\tMin. Horiz. rate kHz            :  31",
                                               "\tMax. Horiz. rate kHz            :  80",
                                               "\tMax. Supported Pixel            :  Not specified",
                                               "",
                                               "Extension Flag                          :  1",
                                               "",
                                               "Check sum                               :  0B (HEX.)",
                                               "",
                                           }));
}

TEST(FormatReport, Version10ReadsEveryBlockAsDetailedTiming) {
  EdidBlock block(test::FixedDate(1995, 6, 30));
  block.SetManufacturerId("XYZ");
  block.SetProductCode(0xABCD);  // CDAB entered with byte swap
  block.SetProductCodeFormat(kProductCodeSwapped);
  block.SetSerialNumber(0x01010101);
  block.SetSerialFormat(kSerialUnused);
  block.SetWeek(26);
  block.SetYear(1995);
  block.SetVersion(1, 0);
  block.SetSignalLevel(3);
  block.SetCompositeSync(1);
  block.SetSerration(1);
  block.SetMaxImageWidth(30);
  block.SetMaxImageHeight(23);
  block.SetGamma(3.55f);
  block.SetStandby(1);
  block.SetSuspend(1);
  block.SetEstablishedTimings(0x80, 0x01, 0x7F);  // byte 37 bits 6-0 mean nothing

  // A monitor name in 1.0: 00 00 00 FC 00 "MONITOR" 0A 20 20 20 20 20, read as a timing.
  block.SelectDescriptor(0);
  block.SetDescriptorText(kTagMonitorName, "MONITOR");
  block.SelectDescriptor(1);
  block.SetPixelClock(25.175f);
  block.SetHActive(640);
  block.SetHBlanking(160);
  block.SetVActive(480);
  block.SetVBlanking(45);
  block.SetHSyncOffset(16);
  block.SetHSyncWidth(96);
  block.SetVSyncOffset(10);
  block.SetVSyncWidth(2);
  block.SetHImageSize(320);
  block.SetVImageSize(240);
  block.SetHBorder(8);
  block.SetVBorder(4);
  block.SetInterlaced(1);
  block.SetStereoMode(7);
  block.SetSyncMode(0b0111);  // bipolar analog composite, serration, sync on R, G and B
  block.SelectDescriptor(3);
  block.WriteDescriptorHeader(0x10);
  block.Bytes()[127] = 0xFF;

  EXPECT_EQ(FormatReport(block),
            Title() +
                Lines({
                    "Vendor/Product Identification",
                    "\tID Manufacturer Name            :  XYZ",
                    "\tID Product Code                 :  CDAB (HEX. swap)",
                    "\tID Serial Number                :  Unused",
                    "\tWeek of Manufacture             :  26",
                    "\tYear of Manufacture             :  1995",
                    "",
                    "EDID Version, Revision",
                    "\tVersion                         :  1",
                    "\tRevision                        :  0",
                    "",
                    "Basic Display Parameters/Features",
                    "\tVideo Input Definition          :  Analog Video Input",
                    "\t\t\t\t\t   0.700V/0.000V (0.70Vpp)",
                    "\t\t\t\t\t   without Blank-to-Black Setup",
                    "\t\t\t\t\t   without Separate Sync",
                    "\t\t\t\t\t   Composite Sync",
                    "\t\t\t\t\t   without Sync on Green",
                    "\t\t\t\t\t   Serration required",
                    "",
                    "\tMaximum H Image Size            :  30",
                    "\tMaximum V Image Size            :  23",
                    "",
                    "\tDisplay Transfer Characteristic :  3.55",
                    "\t\t(gamma)",
                    "",
                    "\tFeature Support (DPMS)          :  Standby",
                    "\t\t\t\t\t   Suspend",
                    "\t\t\t\t\t   no Active Off",
                    "",
                    "\tDisplay Type                    :  Monochcrome/gray display",
                    "",
                    "Color Characteristics",
                    "\tRed   X coordinate              :  0",
                    "\tRed   Y coordinate              :  0",
                    "\tGreen X coordinate              :  0",
                    "\tGreen Y coordinate              :  0",
                    "\tBlue  X coordinate              :  0",
                    "\tBlue  Y coordinate              :  0",
                    "\tWhite X coordinate              :  0",
                    "\tWhite Y coordinate              :  0",
                    "",
                    "Established Timings",
                    "\tEstablished Timings I           :  720 x 400 @70Hz (IBM,VGA)",
                    "",
                    "\tEstablished Timings II          :  1280 x 1024 @75Hz (VESA)",
                    "",
                    "\tManufacturer's timings          :  ",
                    "",
                    "Standard Timing Identification          :  Unused",
                    "",
                    "Detailed Timing #1",
                    "\tPixel Clock (MHz)               :  0",
                    "\tH Active (pixels)               :  0",
                    "\tH Blanking (pixels)             :  252",
                    "\tV Active (lines)                :  1101",
                    "\tV Blanking (lines)              :  3663",
                    "\tH Sync Offset (F Porch) (pixels):  329",
                    "\tH Sync Pulse Width (pixels)     :  340",
                    "\tV Sync Offset (F Porch) (lines) :  4",
                    "\tV Sync Pulse Width (lines)      :  47",
                    "\tH Image Size (mm)               :  522",
                    "\tV Image Size (mm)               :  32",
                    "\tH Border (pixels)               :  32",
                    "\tV Border (lines)                :  32",
                    "\tFlags                           :  Non-interlaced",
                    "\t\t\t\t\t:  Field sequential stereo,",
                    "\t\t\t\t\t   right image when stereo sync. = 1",
                    "\t\t\t\t\t:  Analog Composite sync.",
                    "\t\t\t\t\t:  Serration not needed",
                    "\t\t\t\t\t:  Sync. On Green only",
                    "",
                    "Detailed Timing #2",
                    "\tPixel Clock (MHz)               :  25.18",
                    "\tH Active (pixels)               :  640",
                    "\tH Blanking (pixels)             :  160",
                    "\tV Active (lines)                :  480",
                    "\tV Blanking (lines)              :  45",
                    "\tH Sync Offset (F Porch) (pixels):  16",
                    "\tH Sync Pulse Width (pixels)     :  96",
                    "\tV Sync Offset (F Porch) (lines) :  10",
                    "\tV Sync Pulse Width (lines)      :  2",
                    "\tH Image Size (mm)               :  320",
                    "\tV Image Size (mm)               :  240",
                    "\tH Border (pixels)               :  8",
                    "\tV Border (lines)                :  4",
                    "\tFlags                           :  Interlaced",
                    "\t\t\t\t\t:  Side-by-Side interleaved stereo",
                    "\t\t\t\t\t:  Bipolar Analog Composite sync.",
                    "\t\t\t\t\t:  Serration needed",
                    "\t\t\t\t\t:  Sync. On R.G.B.",
                    "",
                }) +
                ZeroDetailedTiming(3) +
                Lines({
                    "Detailed Timing #4",
                    "\tPixel Clock (MHz)               :  0",
                    "\tH Active (pixels)               :  0",
                    "\tH Blanking (pixels)             :  16",
                    "\tV Active (lines)                :  0",
                    "\tV Blanking (lines)              :  0",
                    "\tH Sync Offset (F Porch) (pixels):  0",
                    "\tH Sync Pulse Width (pixels)     :  0",
                    "\tV Sync Offset (F Porch) (lines) :  0",
                    "\tV Sync Pulse Width (lines)      :  0",
                    "\tH Image Size (mm)               :  0",
                    "\tV Image Size (mm)               :  0",
                    "\tH Border (pixels)               :  0",
                    "\tV Border (lines)                :  0",
                    "\tFlags                           :  Non-interlaced",
                    "\t\t\t\t\t:  Normal Display, No stereo",
                    "\t\t\t\t\t:  Analog Composite sync.",
                    "\t\t\t\t\t:  Serration not needed",
                    "\t\t\t\t\t:  Sync. On Green only",
                    "",
                    "Extension Flag                          :  0",
                    "",
                    "Check sum                               :  FF (HEX.)",
                    "",
                }));
}

// 15 March 2024 is day 74 of a leap year: week (74 + 6) / 7 = 11, year byte 34 (0x22). The
// bytes sum to 0xFA + 0x0B + 0x22 + 0x01 + 0x02 + 16 x 0x01 = 0x13A, so the checksum is 0xC6.
TEST(FormatEdidReport, FreshBlockWithDump) {
  EdidBlock block(test::FixedDate(2024, 3, 15));

  EXPECT_EQ(FormatEdidReport(block),
            Title() +
                Lines({
                    "Vendor/Product Identification",
                    "\tID Manufacturer Name            :  ",
                    "\tID Product Code                 :  0000 (HEX.)",
                    "\tID Serial Number                :  0 (HEX.)",
                    "\tWeek of Manufacture             :  11",
                    "\tYear of Manufacture             :  2024",
                    "",
                    "EDID Version, Revision",
                    "\tVersion                         :  1",
                    "\tRevision                        :  2",
                    "",
                    "Basic Display Parameters/Features",
                    "\tVideo Input Definition          :  Analog Video Input",
                    "\t\t\t\t\t   0.700V/0.300V (1.00Vpp)",
                    "\t\t\t\t\t   without Blank-to-Black Setup",
                    "\t\t\t\t\t   without Separate Sync",
                    "\t\t\t\t\t   without Composite Sync",
                    "\t\t\t\t\t   without Sync on Green",
                    "\t\t\t\t\t   no Serration required",
                    "",
                    "\tMaximum H Image Size            :  0",
                    "\tMaximum V Image Size            :  0",
                    "",
                    "\tDisplay Transfer Characteristic :  1",
                    "\t\t(gamma)",
                    "",
                    "\tFeature Support (DPMS)          :  no Standby",
                    "\t\t\t\t\t   no Suspend",
                    "\t\t\t\t\t   no Active Off",
                    "",
                    "\tDisplay Type                    :  Monochcrome/gray display",
                    "",
                    "Color Characteristics",
                    "\tRed   X coordinate              :  0",
                    "\tRed   Y coordinate              :  0",
                    "\tGreen X coordinate              :  0",
                    "\tGreen Y coordinate              :  0",
                    "\tBlue  X coordinate              :  0",
                    "\tBlue  Y coordinate              :  0",
                    "\tWhite X coordinate              :  0",
                    "\tWhite Y coordinate              :  0",
                    "",
                    "Established Timings",
                    "\tEstablished Timings I           :  ",
                    "",
                    "\tEstablished Timings II          :  ",
                    "",
                    "\tManufacturer's timings          :  ",
                    "",
                    "Standard Timing Identification          :  Unused",
                    "",
                }) +
                ZeroDetailedTiming(1) + ZeroDetailedTiming(2) + ZeroDetailedTiming(3) + ZeroDetailedTiming(4) +
                Lines({
                    "Extension Flag                          :  0",
                    "",
                    "Check sum                               :  C6 (HEX.)",
                    "",
                    "",
                    "**********************************************************************",
                    "EDID data (128 bytes)",
                    "**********************************************************************",
                    "",
                    "  0: 00   1: ff   2: ff   3: ff   4: ff   5: ff   6: ff   7: 00",
                    "  8: 00   9: 00  10: 00  11: 00  12: 00  13: 00  14: 00  15: 00",
                    " 16: 0b  17: 22  18: 01  19: 02  20: 00  21: 00  22: 00  23: 00",
                    " 24: 00  25: 00  26: 00  27: 00  28: 00  29: 00  30: 00  31: 00",
                    " 32: 00  33: 00  34: 00  35: 00  36: 00  37: 00  38: 01  39: 01",
                    " 40: 01  41: 01  42: 01  43: 01  44: 01  45: 01  46: 01  47: 01",
                    " 48: 01  49: 01  50: 01  51: 01  52: 01  53: 01  54: 00  55: 00",
                    " 56: 00  57: 00  58: 00  59: 00  60: 00  61: 00  62: 00  63: 00",
                    " 64: 00  65: 00  66: 00  67: 00  68: 00  69: 00  70: 00  71: 00",
                    " 72: 00  73: 00  74: 00  75: 00  76: 00  77: 00  78: 00  79: 00",
                    " 80: 00  81: 00  82: 00  83: 00  84: 00  85: 00  86: 00  87: 00",
                    " 88: 00  89: 00  90: 00  91: 00  92: 00  93: 00  94: 00  95: 00",
                    " 96: 00  97: 00  98: 00  99: 00 100: 00 101: 00 102: 00 103: 00",
                    "104: 00 105: 00 106: 00 107: 00 108: 00 109: 00 110: 00 111: 00",
                    "112: 00 113: 00 114: 00 115: 00 116: 00 117: 00 118: 00 119: 00",
                    "120: 00 121: 00 122: 00 123: 00 124: 00 125: 00 126: 00 127: c6",
                }));
}

TEST(FormatReport, LeavesBytesAloneAndTheLastDescriptorSelected) {
  EdidBlock block(test::FixedDate(2024, 3, 15));
  block.SelectDescriptor(1);
  block.Bytes()[127] = 0x00;  // wrong on purpose: the report must not mend it
  const EdidBytes before = block.Bytes();

  const std::string report = FormatReport(block);

  EXPECT_EQ(block.Bytes(), before);
  EXPECT_EQ(block.CurrentDescriptorIndex(), 3u);
  EXPECT_EQ(ValueAfter(report, "Check sum                               :  "), "00 (HEX.)");
}

TEST(FormatHexDump, PrintsLowerCaseHexWithLeadingZero) {
  EdidBlock block(test::FixedDate(2024, 3, 15));
  block.Bytes()[9] = 0x0A;
  block.Bytes()[10] = 0xFF;
  const std::string dump = FormatHexDump(block);
  EXPECT_NE(dump.find("\r\n  8: 00   9: 0a  10: ff  11: 00"), std::string::npos) << dump;
}

// ---- Identification -------------------------------------------------------------------------

TEST(FormatReport, ProductCodeFormats) {
  struct Case {
    uint8_t byte10, byte11, format;
    const char* text;
  };
  const Case cases[] = {
      {0x34, 0x12, 0x00, "1234 (HEX.)"},       {0x34, 0x12, 0x01, "04660 (DEC.)"},
      {0x12, 0x34, 0x80, "1234 (HEX. swap)"},  {0x12, 0x34, 0x81, "04660 (DEC. swap)"},
      {0x0A, 0x00, 0x00, "000A (HEX.)"},       {0xFF, 0xFF, 0x01, "65535 (DEC.)"},
  };
  for (const Case& c : cases) {
    EdidBlock block(test::FixedDate(2024, 3, 15));
    block.Bytes()[10] = c.byte10;
    block.Bytes()[11] = c.byte11;
    block.SetProductCodeFormat(c.format);
    EXPECT_EQ(ValueAfter(FormatReport(block), "\tID Product Code                 :  "), c.text)
        << "format " << int{c.format};
  }
}

TEST(FormatReport, SerialNumberFormats) {
  struct Case {
    uint32_t serial;
    uint8_t format;
    std::string text;
  };
  const Case cases[] = {
      {0x00ABCDEF, kSerialHex, "ABCDEF (HEX.)"},
      {0xFFFFFFFF, kSerialDecimal, "-1 (DEC.)"},
      {0x7FFFFFFF, kSerialDecimal, "2147483647 (DEC.)"},
      {0x80000000, kSerialDecimal, "-2147483648 (DEC.)"},
      {0x41422020, kSerialAscii, "AB   (ASCII.)"},  // bytes 15, 14, 13, 12 = A B blank blank
      {0x41004200, kSerialAscii, std::string("A\0B\0 (ASCII.)", 13)},  // verbatim, NULs included
      {0x01010101, kSerialUnused, "Unused"},
      {0x01010101, kSerialUnused | kSerialAscii, "Unused"},
  };
  for (const Case& c : cases) {
    EdidBlock block(test::FixedDate(2024, 3, 15));
    block.SetSerialNumber(c.serial);
    block.SetSerialFormat(c.format);
    EXPECT_EQ(ValueAfter(FormatReport(block), "\tID Serial Number                :  "), c.text)
        << "serial " << std::hex << c.serial;
  }
}

// ---- Values ---------------------------------------------------------------------------------

TEST(FormatReport, RealsPrintLikePercentG) {
  EdidBlock block(test::FixedDate(2024, 3, 15));
  block.Bytes()[23] = 120;   // gamma 2.2
  block.Bytes()[25] = 0xF0;  // low bits of red x and red y: 3 and 3
  block.Bytes()[27] = 163;   // red x = 163 x 4 + 3 = 655
  block.Bytes()[28] = 255;   // red y = 255 x 4 + 3 = 1023
  block.SelectDescriptor(0);
  block.SetPixelClock(108.0f);
  block.Bytes()[72] = 2518 & 0xFF;  // descriptor 2
  block.Bytes()[73] = 2518 >> 8;
  block.Bytes()[90] = 0xFF;  // descriptor 3: 65535 x 0.01
  block.Bytes()[91] = 0xFF;

  const std::string report = FormatReport(block);
  EXPECT_EQ(ValueAfter(report, "\tDisplay Transfer Characteristic :  "), "2.2");
  EXPECT_EQ(ValueAfter(report, "\tRed   X coordinate              :  "), "0.64");
  EXPECT_EQ(ValueAfter(report, "\tRed   Y coordinate              :  "), "0.999");
  EXPECT_EQ(ValueAfter(report, "Detailed Timing #1\r\n\tPixel Clock (MHz)               :  "), "108");
  EXPECT_EQ(ValueAfter(report, "Detailed Timing #2\r\n\tPixel Clock (MHz)               :  "), "25.18");
  EXPECT_EQ(ValueAfter(report, "Detailed Timing #3\r\n\tPixel Clock (MHz)               :  "), "655.35");
}

TEST(FormatReport, EstablishedTimingsListOneTimingPerLine) {
  EdidBlock block(test::FixedDate(2024, 3, 15));
  block.SetEstablishedTimings(0x21, 0xFF, 0xFF);
  EXPECT_EQ(Between(FormatReport(block), "\tEstablished Timings I", "Standard Timing"),
            Lines({
                "\tEstablished Timings I           :  640 x 480 @60Hz (IBM,VGA)",
                "\t\t\t\t\t   800 x 600 @60Hz (VESA)",
                "",
                "\tEstablished Timings II          :  800 x 600 @72Hz (VESA)",
                "\t\t\t\t\t   800 x 600 @75Hz (VESA)",
                "\t\t\t\t\t   832 x 624 @75Hz (Apple,Mac II)",
                "\t\t\t\t\t   1024 x 768 @87Hz (IBM)",
                "\t\t\t\t\t   1024 x 768 @60Hz (VESA)",
                "\t\t\t\t\t   1024 x 768 @70Hz (VESA)",
                "\t\t\t\t\t   1024 x 768 @75Hz (VESA)",
                "\t\t\t\t\t   1280 x 1024 @75Hz (VESA)",
                "",
                "\tManufacturer's timings          :  1152 x 870 @75Hz (Apple,Mac II)",
                "",
            }));
}

// ---- Video input and version differences ----------------------------------------------------

TEST(FormatReport, DfpCompatibilityOnlyInVersion13) {
  const char* kDfp = "\t\t\t\t\t   Compatible with VESA DFP 1.x\r\n";
  struct Case {
    uint8_t revision;
    bool shown;
  };
  for (const Case c : {Case{3, true}, Case{2, false}, Case{4, false}}) {
    EdidBlock block(test::FixedDate(2024, 3, 15));
    block.SetVersion(1, c.revision);
    block.SetDigitalInput(1);
    block.SetSerration(1);
    EXPECT_EQ(FormatReport(block).find(kDfp) != std::string::npos, c.shown) << "revision " << int{c.revision};
  }
}

TEST(FormatReport, RangeLimitsClockByVersion) {
  struct Case {
    uint8_t revision;
    uint16_t clockMHz;
    const char* text;
  };
  const Case cases[] = {
      {3, 2550, "2550"}, {2, 2550, "Not specified"}, {2, 2540, "2540"}, {0x13, 2550, "Not specified"}};
  for (const Case& c : cases) {
    EdidBlock block(test::FixedDate(2024, 3, 15));
    block.SetVersion(1, c.revision);
    block.SelectDescriptor(0);
    block.SetRangeLimits(30, 80, 50, 75, c.clockMHz);
    EXPECT_EQ(ValueAfter(FormatReport(block), "\tMax. Supported Pixel            :  "), c.text)
        << "revision " << int{c.revision} << ", clock " << c.clockMHz;
  }
}

TEST(FormatReport, RangeLimitsWithoutSecondaryGtfIn13) {
  EdidBlock block(test::FixedDate(2024, 3, 15));
  block.SetVersion(1, 3);
  block.SelectDescriptor(3);
  block.SetRangeLimits(30, 80, 50, 75, 135);
  EXPECT_EQ(Between(FormatReport(block), "Monitor Descriptor #4", "Extension Flag"),
            Lines({
                "Monitor Descriptor #4",
                "\tMonitor Range Limits",
                "\tMin. Vt rate Hz                 :  50",
                "\tMax. Vt rate Hz                 :  75",
                "\tMin. Horiz. rate kHz            :  30",
                "\tMax. Horiz. rate kHz            :  80",
                "\tMax. Supported Pixel            :  140",
                "",
                "\tNo secondary GTF timing formula supported.",
                "",
            }));
}

// ---- Standard timings -----------------------------------------------------------------------

TEST(FormatReport, OnlyZeroOneZeroOneIsSkipped) {
  EdidBlock block(test::FixedDate(2024, 3, 15));
  block.Bytes()[38] = 0x00;  // 00 00: 248 pixels, code 0, 60 Hz
  block.Bytes()[39] = 0x00;
  block.Bytes()[43] = 0x41;  // 01 41: 256 pixels, 4:3, 61 Hz
  block.Bytes()[53] = 0x02;  // 01 02: 256 pixels, code 0, 62 Hz
  EXPECT_EQ(Between(FormatReport(block), "Standard Timing", "Detailed Timing #1"),
            Lines({
                "Standard Timing Identification #1",
                "\tHorizontal active pixels        :  248",
                "\tAspect Ratio                    :  1:1",
                "\tRefresh Rate                    :  60",
                "",
                "Standard Timing Identification #3",
                "\tHorizontal active pixels        :  256",
                "\tAspect Ratio                    :  4:3",
                "\tRefresh Rate                    :  61",
                "",
                "Standard Timing Identification #8",
                "\tHorizontal active pixels        :  256",
                "\tAspect Ratio                    :  1:1",
                "\tRefresh Rate                    :  62",
                "",
            }));
}

TEST(FormatReport, StdTimingDescriptorWithNoEntryUsed) {
  EdidBlock block(test::FixedDate(2024, 3, 15));
  block.SelectDescriptor(3);
  block.WriteDescriptorHeader(kTagStdTimings);
  for (int slot = 8; slot < 14; ++slot) MarkStdTimingUnused(block, slot);
  EXPECT_EQ(Between(FormatReport(block), "Monitor Descriptor #4", "Extension Flag"),
            Lines({"Monitor Descriptor #4", "\tStandard Timing Identification  :  Unused", "", ""}));
}

// ---- Descriptors ----------------------------------------------------------------------------

TEST(FormatReport, UnknownTagIsUndefined) {
  EdidBlock block(test::FixedDate(2024, 3, 15));
  block.SetVersion(1, 3);
  block.SelectDescriptor(1);
  block.WriteDescriptorHeader(0x10);
  EXPECT_EQ(Between(FormatReport(block), "Monitor Descriptor #2", "Detailed Timing #3"),
            Lines({"Monitor Descriptor #2", "\tundefined", ""}));
}

std::string FlagLines(unsigned stereo, unsigned sync) {
  EdidBlock block(test::FixedDate(2024, 3, 15));
  block.SelectDescriptor(3);
  block.SetStereoMode(stereo);
  block.SetSyncMode(sync);
  return Between(Between(FormatReport(block), "Detailed Timing #4", "Extension Flag"), "\tFlags", "Extension Flag");
}

TEST(FormatReport, EveryStereoCode) {
  const char* kNonInterlaced = "\tFlags                           :  Non-interlaced";
  const std::string kSync = Lines({
      "\t\t\t\t\t:  Analog Composite sync.",
      "\t\t\t\t\t:  Serration not needed",
      "\t\t\t\t\t:  Sync. On Green only",
      "",
  });
  const std::string expected[8] = {
      Lines({kNonInterlaced, "\t\t\t\t\t:  Normal Display, No stereo"}),
      Lines({kNonInterlaced, "\t\t\t\t\t:  Normal Display, No stereo"}),
      Lines({kNonInterlaced, "\t\t\t\t\t:  Field sequential stereo,",
             "\t\t\t\t\t   right image when stereo sync. = 1"}),
      Lines({kNonInterlaced, "\t\t\t\t\t:  2-way interleaved stereo,", "\t\t\t\t\t   right image on even lines"}),
      Lines({kNonInterlaced, "\t\t\t\t\t:  Field sequential stereo,",
             "\t\t\t\t\t   left image when stereo sync. = 1"}),
      Lines({kNonInterlaced, "\t\t\t\t\t:  2-way interleaved stereo,", "\t\t\t\t\t   left image on even lines"}),
      Lines({kNonInterlaced, "\t\t\t\t\t:  4-way interleaved stereo"}),
      Lines({kNonInterlaced, "\t\t\t\t\t:  Side-by-Side interleaved stereo"}),
  };
  for (unsigned code = 0; code < 8; ++code) EXPECT_EQ(FlagLines(code, 0), expected[code] + kSync) << "stereo " << code;
}

TEST(FormatReport, EverySyncCode) {
  const std::string kHead = Lines({
      "\tFlags                           :  Non-interlaced",
      "\t\t\t\t\t:  Normal Display, No stereo",
  });
  const char* kAnalog = "\t\t\t\t\t:  Analog Composite sync.";
  const char* kBipolar = "\t\t\t\t\t:  Bipolar Analog Composite sync.";
  const char* kDigital = "\t\t\t\t\t:  Digital Composite sync.";
  const char* kSeparate = "\t\t\t\t\t:  Digital Separate sync.";
  const char* kNoSerr = "\t\t\t\t\t:  Serration not needed";
  const char* kSerr = "\t\t\t\t\t:  Serration needed";
  const char* kGreen = "\t\t\t\t\t:  Sync. On Green only";
  const char* kRgb = "\t\t\t\t\t:  Sync. On R.G.B.";
  const char* kNegHV = "\t\t\t\t\t:  Negative Sync. H+V";
  const char* kPosHV = "\t\t\t\t\t:  Positive Sync. H+V";
  const char* kNegV = "\t\t\t\t\t:  Negative Vertical Sync.";
  const char* kPosV = "\t\t\t\t\t:  Positive Vertical Sync.";
  const char* kNegH = "\t\t\t\t\t:  Negative Horizontal Sync.";
  const char* kPosH = "\t\t\t\t\t:  Positive Horizontal Sync.";
  // Sync code = flag bits 4-1: type in its bits 3-2, then flag bit 2, then flag bit 1.
  const std::string expected[16] = {
      Lines({kAnalog, kNoSerr, kGreen, ""}),     Lines({kAnalog, kNoSerr, kRgb, ""}),
      Lines({kAnalog, kSerr, kGreen, ""}),       Lines({kAnalog, kSerr, kRgb, ""}),
      Lines({kBipolar, kNoSerr, kGreen, ""}),    Lines({kBipolar, kNoSerr, kRgb, ""}),
      Lines({kBipolar, kSerr, kGreen, ""}),      Lines({kBipolar, kSerr, kRgb, ""}),
      Lines({kDigital, kNoSerr, kNegHV, ""}),    Lines({kDigital, kNoSerr, kPosHV, ""}),
      Lines({kDigital, kSerr, kNegHV, ""}),      Lines({kDigital, kSerr, kPosHV, ""}),
      Lines({kSeparate, kNegV, kNegH, ""}),      Lines({kSeparate, kNegV, kPosH, ""}),
      Lines({kSeparate, kPosV, kNegH, ""}),      Lines({kSeparate, kPosV, kPosH, ""}),
  };
  for (unsigned code = 0; code < 16; ++code) EXPECT_EQ(FlagLines(0, code), kHead + expected[code]) << "sync " << code;
}

}  // namespace
}  // namespace tolvex
