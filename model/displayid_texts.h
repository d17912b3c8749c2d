// The texts of the decoded DisplayID extension (DisplayID 1.3 and 2.1): the section header, the
// data blocks the program decodes and the names of their enumerated values.
#pragma once

#include <array>
#include <string_view>

#include "model/bit_code.h"

namespace tolvex::displayid_text {

// ---- Section header -----------------------------------------------------------------------------
inline constexpr char kBlockLabel[] = "DisplayID Extension Block, version %d.%d";
inline constexpr std::string_view kVersion = "Version";
inline constexpr std::string_view kRevision = "Revision";
inline constexpr std::string_view kSectionBytes = "Section bytes";
inline constexpr std::string_view kProductType = "Product type / primary use";
inline constexpr std::string_view kExtensionCount = "Extension count";
inline constexpr std::string_view kSectionChecksum = "Section checksum";
inline constexpr std::string_view kSectionChecksumRight = "Section checksum correct";
// DisplayID 1.3 product types (table 2-3) and 2.x primary use cases (table 2-3 of 2.1).
inline constexpr std::array<EnumName, 9> kProductTypes13 = {{
    {"extension", "extension section"}, {"test", "test structure"}, {"panel", "display panel"},
    {"standalone", "standalone display"}, {"tv-receiver", "television receiver"}, {"repeater", "repeater/translator"},
    {"direct-drive", "direct drive monitor"}, {"reserved-7", "reserved"}, {"reserved-8", "reserved"},
}};
inline constexpr std::array<EnumName, 9> kPrimaryUses20 = {{
    {"extension", "same as the base section"}, {"test", "test equipment"}, {"generic", "generic display"},
    {"television", "television"}, {"productivity", "desktop productivity"}, {"gaming", "desktop gaming"},
    {"presentation", "presentation"}, {"vr", "virtual reality headset"}, {"ar", "augmented reality"},
}};

// ---- Data block header ----------------------------------------------------------------------------
inline constexpr std::string_view kBlockRevision = "Block revision";
inline constexpr std::string_view kPayloadBytes = "Payload bytes";
inline constexpr std::string_view kPayload = "Payload";
inline constexpr char kUnknownLabel[] = "Unknown DisplayID Data Block (tag 0x%02X)";
inline constexpr char kTruncatedLabel[] = "Data block cut short at the end of the section";
inline constexpr std::string_view kCutShort = "Cut short by the end of the section";

// ---- Detailed timings, Type I (tag 0x03) and Type VII (tag 0x22) -----------------------------------
inline constexpr char kTimingLabel[] = "Timing %d: ";
inline constexpr std::string_view kPixelClockKHz = "Pixel clock (kHz)";
inline constexpr std::string_view kPreferred = "Preferred";
inline constexpr std::string_view kStereo = "3D stereo";
inline constexpr std::string_view kInterlaced = "Interlaced";
inline constexpr std::string_view kAspect = "Aspect ratio";
inline constexpr std::string_view kHActive = "H active (pixels)";
inline constexpr std::string_view kHBlank = "H blanking (pixels)";
inline constexpr std::string_view kHFront = "H front porch (pixels)";
inline constexpr std::string_view kHSyncPositive = "H sync positive";
inline constexpr std::string_view kHSync = "H sync width (pixels)";
inline constexpr std::string_view kVActive = "V active (lines)";
inline constexpr std::string_view kVBlank = "V blanking (lines)";
inline constexpr std::string_view kVFront = "V front porch (lines)";
inline constexpr std::string_view kVSyncPositive = "V sync positive";
inline constexpr std::string_view kVSync = "V sync width (lines)";
inline constexpr std::string_view kRefreshHz = "Refresh rate (Hz)";
inline constexpr std::array<EnumName, 9> kAspects = {{
    {"1:1", "1:1"}, {"5:4", "5:4"}, {"4:3", "4:3"}, {"15:9", "15:9"}, {"16:9", "16:9"},
    {"16:10", "16:10"}, {"64:27", "64:27"}, {"256:135", "256:135"}, {"undefined", "undefined"},
}};
inline constexpr std::array<EnumName, 4> kStereoModes = {{
    {"none", "no 3D stereo"}, {"stereo", "3D stereo"}, {"user", "3D stereo on user action"}, {"reserved", "reserved"},
}};

// ---- Display Parameters (tags 0x01 and 0x21) -----------------------------------------------------------
inline constexpr std::string_view kImageWidth = "Image width (0.1 mm)";
inline constexpr std::string_view kImageHeight = "Image height (0.1 mm)";
inline constexpr std::string_view kNativeWidth = "Native width (pixels)";
inline constexpr std::string_view kNativeHeight = "Native height (pixels)";
inline constexpr std::string_view kFeatures = "Feature flags";
inline constexpr std::string_view kGamma = "Gamma";
inline constexpr std::string_view kAspectRatio = "Aspect ratio";
inline constexpr std::string_view kBpcOverall = "Colour depth overall (bpc)";
inline constexpr std::string_view kBpcNative = "Colour depth native (bpc)";
inline constexpr std::string_view kScanFlags = "Scan, luminance and audio flags";
inline constexpr std::string_view kMaxLuminanceFull = "Max luminance, full coverage (cd/m^2)";
inline constexpr std::string_view kMaxLuminance10 = "Max luminance, 10% coverage (cd/m^2)";
inline constexpr std::string_view kMinLuminance = "Min luminance (cd/m^2)";
inline constexpr std::string_view kDepthTechnology = "Colour depth and technology";
inline constexpr std::string_view kChromaticity = "Native chromaticity";
inline constexpr std::string_view kGammaEotf = "Native gamma EOTF";

// ---- Tiled Display Topology (tags 0x12 and 0x28) ----------------------------------------------------------
inline constexpr std::string_view kSingleEnclosure = "Single enclosure";
inline constexpr std::string_view kBezelInfo = "Bezel information";
inline constexpr std::string_view kSingleTileBehaviour = "Behaviour when the only tile";
inline constexpr std::string_view kTilesH = "Horizontal tiles";
inline constexpr std::string_view kTilesV = "Vertical tiles";
inline constexpr std::string_view kTileH = "Tile location, horizontal";
inline constexpr std::string_view kTileV = "Tile location, vertical";
inline constexpr std::string_view kTileWidth = "Tile width (pixels)";
inline constexpr std::string_view kTileHeight = "Tile height (pixels)";
inline constexpr std::string_view kPixelMultiplier = "Bezel pixel multiplier";
inline constexpr std::string_view kBezelTop = "Top bezel";
inline constexpr std::string_view kBezelBottom = "Bottom bezel";
inline constexpr std::string_view kBezelRight = "Right bezel";
inline constexpr std::string_view kBezelLeft = "Left bezel";
inline constexpr std::string_view kTileVendor = "Tiled display vendor";
inline constexpr std::string_view kTileProduct = "Tiled display product code";
inline constexpr std::string_view kTileSerial = "Tiled display serial number";
inline constexpr std::array<EnumName, 4> kSingleTile = {{
    {"undefined", "undefined"}, {"at-location", "shown at the tile location"}, {"scaled", "scaled to the whole display"},
    {"cloned", "cloned to all tiles"},
}};

// ---- Display Interface Features (tag 0x26) ---------------------------------------------------------------
inline constexpr std::string_view kRgbDepths = "RGB depths (bpc)";
inline constexpr std::string_view kYcbcr444Depths = "YCbCr 4:4:4 depths (bpc)";
inline constexpr std::string_view kYcbcr422Depths = "YCbCr 4:2:2 depths (bpc)";
inline constexpr std::string_view kYcbcr420Depths = "YCbCr 4:2:0 depths (bpc)";
inline constexpr std::string_view kMin420RateMhz = "Minimum YCbCr 4:2:0 pixel rate (MHz)";
inline constexpr std::string_view kAudioRates = "Audio rates (kHz)";
inline constexpr std::string_view kColorspaces2 = "Colour space and EOTF combinations 2";
inline constexpr std::string_view kAdditional = "Additional combinations";
inline constexpr std::array<double, 6> kDepths444 = {6, 8, 10, 12, 14, 16};
inline constexpr std::array<double, 5> kDepths4xx = {8, 10, 12, 14, 16};
inline constexpr std::array<EnumName, 7> kColorspaceFlags = {{
    {"srgb", "sRGB"}, {"bt601", "BT.601"}, {"bt709", "BT.709/BT.1886"}, {"adobe_rgb", "Adobe RGB"},
    {"dci_p3", "DCI-P3"}, {"bt2020", "BT.2020"}, {"bt2020_pq", "BT.2020/SMPTE ST 2084"},
}};

// ---- Adaptive Sync (tag 0x2B) -----------------------------------------------------------------------------
inline constexpr char kAdaptiveLabel[] = "Adaptive-Sync descriptor %d";
inline constexpr std::string_view kNativeRange = "Native panel range";
inline constexpr std::string_view kAdaptiveFlags = "Flags";
inline constexpr std::string_view kMaxIncrease = "Max duration increase (1/4 ms)";
inline constexpr std::string_view kMinRefreshHz = "Min refresh rate (Hz)";
inline constexpr std::string_view kMaxRefreshHz = "Max refresh rate (Hz)";
inline constexpr std::string_view kMaxDecrease = "Max duration decrease (1/4 ms)";

// ---- Dynamic Video Timing Range Limits (tag 0x25) --------------------------------------------------------
inline constexpr std::string_view kMinClockKHz = "Min pixel clock (kHz)";
inline constexpr std::string_view kMaxClockKHz = "Max pixel clock (kHz)";
inline constexpr std::string_view kSeamless = "Seamless dynamic timing change";

// ---- ContainerID (tag 0x29), Product Identification (0x00, 0x20) and the embedded CTA block (0x81) ------------
inline constexpr std::string_view kContainerId = "ContainerID";
// The ContainerID as a UUID: lower-case digit pairs, a dash after bytes 4, 6, 8 and 10.
inline constexpr char kUuidByte[] = "%02x";
inline constexpr char kUuidDash = '-';
inline constexpr std::string_view kProductVendor = "Vendor";
inline constexpr std::string_view kProductCode = "Product code";
inline constexpr std::string_view kProductSerial = "Serial number";
inline constexpr std::string_view kProductWeek = "Week";
inline constexpr std::string_view kProductYear = "Year";
inline constexpr std::string_view kProductName = "Product name";

// ---- Data block names by tag ---------------------------------------------------------------------------------
inline constexpr std::string_view kKindProduct = "Product Identification Data Block";
inline constexpr std::string_view kKindParameters = "Display Parameters Data Block";
inline constexpr std::string_view kKindType1 = "Video Timing Modes Type I - Detailed Timings Data Block";
inline constexpr std::string_view kKindTiled = "Tiled Display Topology Data Block";
inline constexpr std::string_view kKindType7 = "Video Timing Modes Type VII - Detailed Timings Data Block";
inline constexpr std::string_view kKindDynamic = "Dynamic Video Timing Range Limits Data Block";
inline constexpr std::string_view kKindInterface = "Display Interface Features Data Block";
inline constexpr std::string_view kKindContainer = "ContainerID Data Block";
inline constexpr std::string_view kKindAdaptive = "Adaptive Sync Data Block";
inline constexpr std::string_view kKindCta = "CTA-861 DisplayID Data Block";

}  // namespace tolvex::displayid_text
