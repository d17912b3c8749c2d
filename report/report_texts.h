// Every literal of the EDID report, in one place. Saved .ddc files carry these texts byte for
// byte, and the reader finds its way by some of them, so none may change: not a blank, not a
// tab, not a spelling. The value texts of the base block (signal levels, display types,
// established timings, aspect ratios) live with the model in model/edid_tables.h.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "model/edid_extensions.h"

namespace tolvex::report_text {

inline constexpr std::string_view kLineEnd = "\r\n";
inline constexpr std::string_view kSeparator =
    "**********************************************************************";
static_assert(kSeparator.size() == 70);

// Continuation lines line up under the value column of the labels above them.
inline constexpr std::string_view kContinuation = "\t\t\t\t\t   ";

// A line chosen by one bit: the text when the bit is set, the text when it is clear.
struct BitLine {
  std::string_view set;
  std::string_view clear;
};

// ---- Title ----------------------------------------------------------------------------------
inline constexpr std::string_view kTitle = "EDID log file";

// ---- Identification, bytes 8-19 -------------------------------------------------------------
inline constexpr std::string_view kIdentificationHeading = "Vendor/Product Identification";
inline constexpr std::string_view kManufacturerLabel = "\tID Manufacturer Name            :  ";
inline constexpr std::string_view kProductCodeLabel = "\tID Product Code                 :  ";
inline constexpr std::string_view kSerialNumberLabel = "\tID Serial Number                :  ";
inline constexpr std::string_view kWeekLabel = "\tWeek of Manufacture             :  ";
inline constexpr std::string_view kYearLabel = "\tYear of Manufacture             :  ";

// Product code: "%05d (DEC.%s)" or "%04X (HEX.%s)", %s being the swap mark or nothing.
inline constexpr std::string_view kProductCodeDecimalMark = " (DEC.";
inline constexpr std::string_view kProductCodeHexMark = " (HEX.";
inline constexpr std::string_view kProductCodeSwapMark = " swap";
inline constexpr std::string_view kProductCodeMarkEnd = ")";
// Serial number: "%X (HEX.)", "%d (DEC.)", "%c%c%c%c (ASCII.)" or the unused mark.
inline constexpr std::string_view kSerialHexMark = " (HEX.)";
inline constexpr std::string_view kSerialDecimalMark = " (DEC.)";
inline constexpr std::string_view kSerialAsciiMark = " (ASCII.)";
// An ASCII serial byte that would break the line (CR or LF) prints as this, so the line, and
// with it the serial format, survives a reopening.
inline constexpr char kSerialLineBreakStandIn = '.';
inline constexpr std::string_view kUnused = "Unused";

inline constexpr std::string_view kVersionHeading = "EDID Version, Revision";
inline constexpr std::string_view kVersionLabel = "\tVersion                         :  ";
inline constexpr std::string_view kRevisionLabel = "\tRevision                        :  ";

// ---- Basic display parameters, bytes 20-24 --------------------------------------------------
inline constexpr std::string_view kBasicParametersHeading = "Basic Display Parameters/Features";
inline constexpr std::string_view kDigitalInput = "\tVideo Input Definition          :  Digital Video Input";
inline constexpr std::string_view kDfpCompatible = "\t\t\t\t\t   Compatible with VESA DFP 1.x";
inline constexpr std::string_view kAnalogInput = "\tVideo Input Definition          :  Analog Video Input";
// Analog input, byte 20 bits 4 to 0.
inline constexpr BitLine kBlankToBlackSetup = {"\t\t\t\t\t   Blank-to-Black Setup",
                                               "\t\t\t\t\t   without Blank-to-Black Setup"};
inline constexpr BitLine kSeparateSync = {"\t\t\t\t\t   Separate Sync", "\t\t\t\t\t   without Separate Sync"};
inline constexpr BitLine kCompositeSync = {"\t\t\t\t\t   Composite Sync", "\t\t\t\t\t   without Composite Sync"};
inline constexpr BitLine kSyncOnGreen = {"\t\t\t\t\t   Sync on Green", "\t\t\t\t\t   without Sync on Green"};
inline constexpr BitLine kSerration = {"\t\t\t\t\t   Serration required", "\t\t\t\t\t   no Serration required"};

inline constexpr std::string_view kMaxHImageSizeLabel = "\tMaximum H Image Size            :  ";
inline constexpr std::string_view kMaxVImageSizeLabel = "\tMaximum V Image Size            :  ";
inline constexpr std::string_view kGammaLabel = "\tDisplay Transfer Characteristic :  ";
inline constexpr std::string_view kGammaNote = "\t\t(gamma)";

// Feature support, byte 24 bits 7 to 5.
inline constexpr BitLine kStandby = {"\tFeature Support (DPMS)          :  Standby",
                                     "\tFeature Support (DPMS)          :  no Standby"};
inline constexpr BitLine kSuspend = {"\t\t\t\t\t   Suspend", "\t\t\t\t\t   no Suspend"};
inline constexpr BitLine kActiveOff = {"\t\t\t\t\t   Active Off", "\t\t\t\t\t   no Active Off"};
inline constexpr std::string_view kDisplayTypeLabel = "\tDisplay Type                    :  ";
// Byte 24 bits 2 to 0 print a line only when set.
inline constexpr std::string_view kStandardColorSpace = "\tStandard Default Color Space    :  Primary color space";
inline constexpr std::string_view kPreferredTiming = "\tPreferred Timing Mode           :  Detailed timing block 1";
inline constexpr std::string_view kGtfSupported = "\tGTF supported                   :  Based on GTF standard";

// ---- Colour characteristics, bytes 25-34 ----------------------------------------------------
inline constexpr std::string_view kColorHeading = "Color Characteristics";
// In the order of the model's ChromaCoordinate.
inline constexpr std::array<std::string_view, 8> kChromaticityLabels = {
    "\tRed   X coordinate              :  ",  // kRedX
    "\tRed   Y coordinate              :  ",  // kRedY
    "\tGreen X coordinate              :  ",  // kGreenX
    "\tGreen Y coordinate              :  ",  // kGreenY
    "\tBlue  X coordinate              :  ",  // kBlueX
    "\tBlue  Y coordinate              :  ",  // kBlueY
    "\tWhite X coordinate              :  ",  // kWhiteX
    "\tWhite Y coordinate              :  ",  // kWhiteY
};

// ---- Established timings, bytes 35-37 -------------------------------------------------------
inline constexpr std::string_view kEstablishedHeading = "Established Timings";
struct EstablishedGroup {
  uint8_t offset;  // block byte whose bits the group lists
  std::string_view label;
};
inline constexpr std::array<EstablishedGroup, 3> kEstablishedGroups = {{
    {35, "\tEstablished Timings I           :  "},
    {36, "\tEstablished Timings II          :  "},
    {37, "\tManufacturer's timings          :  "},
}};

// ---- Standard timings, bytes 38-53 and descriptor tag 0xFA ----------------------------------
inline constexpr std::string_view kStdTimingHeading = "Standard Timing Identification #";
inline constexpr std::string_view kStdTimingsUnused = "Standard Timing Identification          :  Unused";
inline constexpr std::string_view kDescriptorStdTimingHeading = "\tStandard Timing Identification #";
inline constexpr std::string_view kDescriptorStdTimingsUnused = "\tStandard Timing Identification  :  Unused";
inline constexpr std::string_view kStdTimingWidthLabel = "\tHorizontal active pixels        :  ";
inline constexpr std::string_view kStdTimingAspectLabel = "\tAspect Ratio                    :  ";
inline constexpr std::string_view kStdTimingRefreshLabel = "\tRefresh Rate                    :  ";

// ---- Descriptor blocks, bytes 54-125 --------------------------------------------------------
inline constexpr std::string_view kDetailedTimingHeading = "Detailed Timing #";
inline constexpr std::string_view kMonitorDescriptorHeading = "Monitor Descriptor #";

inline constexpr std::string_view kPixelClockLabel = "\tPixel Clock (MHz)               :  ";
inline constexpr std::string_view kHActiveLabel = "\tH Active (pixels)               :  ";
inline constexpr std::string_view kHBlankingLabel = "\tH Blanking (pixels)             :  ";
inline constexpr std::string_view kVActiveLabel = "\tV Active (lines)                :  ";
inline constexpr std::string_view kVBlankingLabel = "\tV Blanking (lines)              :  ";
inline constexpr std::string_view kHSyncOffsetLabel = "\tH Sync Offset (F Porch) (pixels):  ";
inline constexpr std::string_view kHSyncWidthLabel = "\tH Sync Pulse Width (pixels)     :  ";
inline constexpr std::string_view kVSyncOffsetLabel = "\tV Sync Offset (F Porch) (lines) :  ";
inline constexpr std::string_view kVSyncWidthLabel = "\tV Sync Pulse Width (lines)      :  ";
inline constexpr std::string_view kHImageSizeLabel = "\tH Image Size (mm)               :  ";
inline constexpr std::string_view kVImageSizeLabel = "\tV Image Size (mm)               :  ";
inline constexpr std::string_view kHBorderLabel = "\tH Border (pixels)               :  ";
inline constexpr std::string_view kVBorderLabel = "\tV Border (lines)                :  ";
inline constexpr BitLine kInterlaced = {"\tFlags                           :  Interlaced",
                                        "\tFlags                           :  Non-interlaced"};

// Stereo code 0-7 (flag bits 6, 5 and 0); the second line is empty for one-line codes.
struct StereoLines {
  std::string_view first;
  std::string_view second;
};
inline constexpr std::array<StereoLines, 8> kStereoLines = {{
    {"\t\t\t\t\t:  Normal Display, No stereo", ""},  // 0
    {"\t\t\t\t\t:  Normal Display, No stereo", ""},  // 1
    {"\t\t\t\t\t:  Field sequential stereo,", "\t\t\t\t\t   right image when stereo sync. = 1"},  // 2
    {"\t\t\t\t\t:  2-way interleaved stereo,", "\t\t\t\t\t   right image on even lines"},          // 3
    {"\t\t\t\t\t:  Field sequential stereo,", "\t\t\t\t\t   left image when stereo sync. = 1"},   // 4
    {"\t\t\t\t\t:  2-way interleaved stereo,", "\t\t\t\t\t   left image on even lines"},           // 5
    {"\t\t\t\t\t:  4-way interleaved stereo", ""},         // 6
    {"\t\t\t\t\t:  Side-by-Side interleaved stereo", ""},  // 7
}};

// Sync type (flag bits 4-3), then one line for each of its two qualifiers (flag bits 2 and 1).
struct SyncLines {
  std::string_view type;
  BitLine bit2;
  BitLine bit1;
};
inline constexpr BitLine kSerrationNeeded = {"\t\t\t\t\t:  Serration needed", "\t\t\t\t\t:  Serration not needed"};
inline constexpr BitLine kSyncOnRgb = {"\t\t\t\t\t:  Sync. On R.G.B.", "\t\t\t\t\t:  Sync. On Green only"};
inline constexpr std::array<SyncLines, 4> kSyncLines = {{
    {"\t\t\t\t\t:  Analog Composite sync.", kSerrationNeeded, kSyncOnRgb},          // 0
    {"\t\t\t\t\t:  Bipolar Analog Composite sync.", kSerrationNeeded, kSyncOnRgb},  // 1
    {"\t\t\t\t\t:  Digital Composite sync.", kSerrationNeeded,                      // 2
     {"\t\t\t\t\t:  Positive Sync. H+V", "\t\t\t\t\t:  Negative Sync. H+V"}},
    {"\t\t\t\t\t:  Digital Separate sync.",  // 3
     {"\t\t\t\t\t:  Positive Vertical Sync.", "\t\t\t\t\t:  Negative Vertical Sync."},
     {"\t\t\t\t\t:  Positive Horizontal Sync.", "\t\t\t\t\t:  Negative Horizontal Sync."}},
}};

// Text descriptors: one label line followed by the decoded payload.
struct TextDescriptor {
  uint8_t tag;
  std::string_view label;
};
inline constexpr std::array<TextDescriptor, 3> kTextDescriptors = {{
    {0xFF, "\tSerial Number                   :  "},
    {0xFE, "\tData String                     :  "},
    {0xFC, "\tMonitor Name                    :  "},
}};
inline constexpr std::string_view kUndefinedDescriptor = "\tundefined";

// Range limits, tag 0xFD.
inline constexpr std::string_view kRangeLimitsHeading = "\tMonitor Range Limits";
inline constexpr std::string_view kMinVerticalLabel = "\tMin. Vt rate Hz                 :  ";
inline constexpr std::string_view kMaxVerticalLabel = "\tMax. Vt rate Hz                 :  ";
inline constexpr std::string_view kMinHorizontalLabel = "\tMin. Horiz. rate kHz            :  ";
inline constexpr std::string_view kMaxHorizontalLabel = "\tMax. Horiz. rate kHz            :  ";
inline constexpr std::string_view kMaxPixelClockLabel = "\tMax. Supported Pixel            :  ";
inline constexpr std::string_view kNotSpecified = "Not specified";
inline constexpr std::string_view kSecondaryGtf = "\tSecondary GTF timing formula supported.";
inline constexpr std::string_view kNoSecondaryGtf = "\tNo secondary GTF timing formula supported.";
inline constexpr std::string_view kGtfStartLabel = "\tStart frequency Horiz. freq. KHz:  ";
inline constexpr std::string_view kGtfCLabel = "\tC: Offset constant (%)          :  ";
inline constexpr std::string_view kGtfMLabel = "\tM: Gradient constants (%/KHz)   :  ";
inline constexpr std::string_view kGtfKLabel = "\tK: Blacking time scaling factor :  ";
inline constexpr std::string_view kGtfJLabel = "\tJ: Scaling factor weighting (%) :  ";

// Colour point, tag 0xFB.
inline constexpr std::string_view kColorPointHeading = "\tColor Point";
inline constexpr std::string_view kWhitePointLabel = "\tWhite point #";
inline constexpr std::string_view kWhitePointIndexLabel = " index            :  ";
inline constexpr std::string_view kWhiteXLabel = "\tWhite X                         :  ";
inline constexpr std::string_view kWhiteYLabel = "\tWhite Y                         :  ";
inline constexpr std::string_view kWhiteGammaLabel = "\tWhite Gamma                     :  ";

// ---- Closing, bytes 126-127 -----------------------------------------------------------------
inline constexpr std::string_view kExtensionFlagLabel = "Extension Flag                          :  ";
inline constexpr std::string_view kChecksumLabel = "Check sum                               :  ";
inline constexpr std::string_view kChecksumSuffix = " (HEX.)";

// ---- Hex dump -------------------------------------------------------------------------------
inline constexpr std::string_view kDumpHeading = "EDID data (128 bytes)";
// A cell is "%3d: %02x"; cells of a row are one blank apart, eight to a row.
inline constexpr std::string_view kDumpIndexEnd = ": ";
inline constexpr char kDumpCellGap = ' ';
inline constexpr int kDumpCellsPerRow = 8;

// ---- Extension blocks: one section each after the base block's dump -------------------------
// "EDID extension block %d (128 bytes)", then the kind and the checksum lines.
inline constexpr std::string_view kExtensionHeading = "EDID extension block ";
inline constexpr std::string_view kExtensionHeadingEnd = " (128 bytes)";
inline constexpr std::string_view kExtensionKindLabel = "\tBlock Kind                      :  ";
inline constexpr std::string_view kExtensionChecksumLabel = "\tCheck sum                       :  ";
// After "%02X (HEX.)" of byte 127 of the block.
inline constexpr std::string_view kExtensionChecksumRight = ", correct";
inline constexpr std::string_view kExtensionChecksumWrong = ", wrong: the block's bytes need ";

// The kinds by tag (byte 0); a CTA-861 block adds its revision (byte 1).
struct ExtensionKind {
  uint8_t tag;
  std::string_view name;
};
inline constexpr std::array<ExtensionKind, 4> kExtensionKinds = {{
    {kTagCta861, "CTA-861"},
    {kTagVideoTimingBlock, "VTB"},
    {kTagDisplayId, "DisplayID"},
    {kTagBlockMap, "block map"},
}};
inline constexpr std::string_view kExtensionRevision = " revision ";
// "unknown tag 0x%02X"
inline constexpr std::string_view kExtensionUnknownTag = "unknown tag 0x";

// ---- The EDID code window: the heading row of an extension block ---------------------------
// "Block %d (%d-%d): " and the block's kind as its section names it.
inline constexpr std::string_view kCodeBlockHeading = "Block ";
inline constexpr std::string_view kCodeBlockBytesOpen = " (";
inline constexpr std::string_view kCodeBlockBytesClose = "): ";

// ---- The base block's E-EDID 1.4 reading: a section of its own after the base block's dump ---
inline constexpr std::string_view kBase14Heading = "E-EDID 1.4 reading of the base block";

// The first dump row of any block with a valid header; readers find the dump by it.
inline constexpr std::string_view kDumpFirstRow =
    "  0: 00   1: ff   2: ff   3: ff   4: ff   5: ff   6: ff   7: 00";
// The same row in files of the older layout (values blank-padded, two blanks between cells),
// which this writer no longer produces but which still open.
inline constexpr std::string_view kOlderDumpFirstRow =
    "  0:  0    1: ff    2: ff    3: ff    4: ff    5: ff    6: ff    7:  0";

// The lines a reader takes the two display settings from, and the marks it looks for in them.
inline constexpr std::string_view kProductCodeLineKey = "ID Product Code";
inline constexpr std::string_view kSerialNumberLineKey = "ID Serial Number";
inline constexpr std::string_view kFormatLineDecimal = "DEC.";
inline constexpr std::string_view kFormatLineSwap = "swap";
inline constexpr std::string_view kFormatLineAscii = "ASCII";
inline constexpr std::string_view kFormatLineUnused = "Unused";

// Why a dump is not the well-formed dump of its layout; each names the line (1 = the first).
inline constexpr char kDumpRowMissing[] = "line %zu: the dump ends before offset %d";
inline constexpr char kDumpCellCount[] = "line %zu: %d cells where a dump row has 8";
inline constexpr char kDumpCellOffset[] = "line %zu: the cell of offset %d does not follow the dump layout";
inline constexpr char kDumpCellValue[] = "line %zu: the cell of offset %d is not two hexadecimal digits";
inline constexpr char kDumpTrailing[] = "line %zu: more than eight cells from offset %d on";

// ---- The differences between two EDIDs ------------------------------------------------------
inline constexpr std::string_view kDiffFields = "Fields:";
inline constexpr std::string_view kDiffBytes = "Bytes:";
inline constexpr std::string_view kDiffPathEnd = ": ";
inline constexpr std::string_view kDiffArrow = " -> ";
inline constexpr std::string_view kDiffAbsent = "(absent)";
inline constexpr std::string_view kDiffSame = "no difference";

}  // namespace tolvex::report_text
