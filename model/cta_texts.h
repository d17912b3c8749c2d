// The texts of the decoded CTA-861 extension: labels of its header and of every data block kind
// the program decodes, and the names of their enumerated values (CTA-861-H unless noted, HDMI
// 1.4b and 2.1 for the HDMI blocks).
#pragma once

#include <array>
#include <string_view>

#include "model/bit_code.h"

namespace tolvex::cta_text {

// ---- Block header, bytes 0-3 ----------------------------------------------------------------
inline constexpr char kBlockLabel[] = "CTA-861 Extension Block, revision %d";
inline constexpr std::string_view kRevision = "Revision";
inline constexpr std::string_view kDtdOffset = "Detailed Timings Offset";
inline constexpr std::string_view kUnderscan = "Underscans IT formats";
inline constexpr std::string_view kBasicAudio = "Basic audio";
inline constexpr std::string_view kYcbcr444 = "YCbCr 4:4:4";
inline constexpr std::string_view kYcbcr422 = "YCbCr 4:2:2";
inline constexpr std::string_view kNativeDtds = "Native detailed timings";
inline constexpr char kDtdEntry[] = "DTD";

// ---- Data block header ----------------------------------------------------------------------
inline constexpr std::string_view kPayload = "Payload";
// An unknown or cut-short data block: "Unknown Data Block (tag %u)", "(extended tag %u)",
// "Vendor-Specific Data Block, OUI %s", "Data block cut short by the block's end".
inline constexpr char kUnknownTagLabel[] = "Unknown Data Block (tag %u)";
inline constexpr char kUnknownExtendedLabel[] = "Unknown Data Block (extended tag %u)";
inline constexpr char kUnknownVendorLabel[] = "Vendor-Specific Data Block, OUI %s";
inline constexpr char kOuiFormat[] = "%02X-%02X-%02X";
inline constexpr std::string_view kOverrun = "Runs past the data block collection (byte d - 1)";
inline constexpr std::string_view kCutShort = "Cut short by the end of the block";
inline constexpr char kTruncatedLabel[] = "Data block cut short at the end of the data block collection";

// ---- Video and YCbCr 4:2:0 data blocks --------------------------------------------------------
inline constexpr std::string_view kVic = "VIC";
inline constexpr std::string_view kNative = "Native";
inline constexpr char kVicLabel[] = "VIC %3d: ";
inline constexpr char kVicUnknown[] = "unknown format";
inline constexpr char kNativeMark[] = ", native";
inline constexpr std::string_view kYcbcr420OnlyVics = "YCbCr 4:2:0 only VICs";
inline constexpr std::string_view kYcbcr420CapableVics = "Also YCbCr 4:2:0 (VICs)";
inline constexpr std::string_view kAllSvds = "Every VIC of the Video Data Block";
inline constexpr std::string_view kMapBits = "SVD bit map";

// ---- Video Format Preference data block ---------------------------------------------------------
inline constexpr std::string_view kSvr = "SVR";
inline constexpr char kSvrVicLabel[] = "VIC %d";
inline constexpr char kSvrDtdLabel[] = "DTD %d";
inline constexpr char kSvrType7Label[] = "DisplayID timing %d";
inline constexpr char kSvrReservedLabel[] = "reserved SVR %d";

// ---- Audio data block (CTA-861-H 7.5.2, table 37) ------------------------------------------------
inline constexpr std::string_view kAudioFormat = "Audio format code";
inline constexpr std::string_view kExtendedType = "Extended type code";
inline constexpr std::string_view kMaxChannels = "Max channels";
inline constexpr std::string_view kRatesKHz = "Sample rates (kHz)";
inline constexpr std::string_view kSampleSizes = "Sample sizes (bits)";
inline constexpr std::string_view kMaxBitRate = "Max bit rate (kb/s)";
inline constexpr std::string_view kFormatValue = "Format dependent value";
inline constexpr char kSadLabel[] = "%s, %d channels";
// Audio format codes 0-15 (table 37), extended type codes 0-31 (table 38).
inline constexpr std::array<std::string_view, 16> kAudioFormats = {
    "reserved",   "L-PCM",  "AC-3",     "MPEG-1",         "MP3",          "MPEG-2", "AAC LC", "DTS",
    "ATRAC",      "One Bit Audio", "Enhanced AC-3", "DTS-HD", "MAT (MLP)", "DST", "WMA Pro", "extended",
};
inline constexpr std::array<std::string_view, 16> kAudioExtendedTypes = {
    "reserved",     "HE AAC (obsolete)",  "HE AAC v2 (obsolete)", "MPEG Surround (obsolete)",
    "MPEG-4 HE AAC", "MPEG-4 HE AAC v2",  "MPEG-4 AAC LC",        "DRA",
    "MPEG-4 HE AAC + MPEG Surround", "reserved", "MPEG-4 AAC LC + MPEG Surround", "MPEG-H 3D Audio",
    "AC-4",          "L-PCM 3D Audio",    "Auro-Cx",              "MPEG-D USAC",
};
// Byte 2 bits 0-6, 32 to 192 kHz.
inline constexpr std::array<double, 7> kSampleRatesKHz = {32, 44.1, 48, 88.2, 96, 176.4, 192};
// The same bits as flags, to set one at a time.
inline constexpr std::array<EnumName, 7> kRateFlags = {{
    {"rate_32", "32 kHz"}, {"rate_44_1", "44.1 kHz"}, {"rate_48", "48 kHz"}, {"rate_88_2", "88.2 kHz"},
    {"rate_96", "96 kHz"}, {"rate_176_4", "176.4 kHz"}, {"rate_192", "192 kHz"},
}};
inline constexpr std::array<EnumName, 3> kSizeFlags = {{{"size_16", "16 bit"}, {"size_20", "20 bit"}, {"size_24", "24 bit"}}};
// Byte 3 bits 0-2 of L-PCM.
inline constexpr std::array<double, 3> kSampleSizesBits = {16, 20, 24};

// ---- Speaker allocation (table 48) and room configuration ----------------------------------------
// Bits 0-7 of byte 1, 0-7 of byte 2 and 0-3 of byte 3 of the allocation.
inline constexpr std::array<EnumName, 20> kSpeakers = {{
    {"fl_fr", "FL/FR - Front Left/Right"},
    {"lfe1", "LFE1 - Low Frequency Effects 1"},
    {"fc", "FC - Front Center"},
    {"bl_br", "BL/BR - Back Left/Right"},
    {"bc", "BC - Back Center"},
    {"flc_frc", "FLc/FRc - Front Left/Right of Center"},
    {"rlc_rrc", "RLC/RRC - Rear Left/Right of Center"},
    {"flw_frw", "FLw/FRw - Front Left/Right Wide"},
    {"tpfl_tpfr", "TpFL/TpFR - Top Front Left/Right"},
    {"tpc", "TpC - Top Center"},
    {"tpfc", "TpFC - Top Front Center"},
    {"ls_rs", "LS/RS - Left/Right Surround"},
    {"lfe2", "LFE2 - Low Frequency Effects 2"},
    {"tpbc", "TpBC - Top Back Center"},
    {"sil_sir", "SiL/SiR - Side Left/Right"},
    {"tpsil_tpsir", "TpSiL/TpSiR - Top Side Left/Right"},
    {"tpbl_tpbr", "TpBL/TpBR - Top Back Left/Right"},
    {"btfc", "BtFC - Bottom Front Center"},
    {"btfl_btfr", "BtFL/BtFR - Bottom Front Left/Right"},
    {"tpls_tprs", "TpLS/TpRS - Top Left/Right Surround"},
}};
inline constexpr std::string_view kDisplayCoordinates = "Display coordinates present";
inline constexpr std::string_view kSpeakerCountPresent = "Speaker count present";
inline constexpr std::string_view kSpeakerLocations = "Speaker Location Data Block present";
inline constexpr std::string_view kSpeakerCount = "Speaker count";
inline constexpr std::string_view kXmax = "Xmax (dm)";
inline constexpr std::string_view kYmax = "Ymax (dm)";
inline constexpr std::string_view kZmax = "Zmax (dm)";
inline constexpr std::string_view kDisplayX = "Display X (x Xmax)";
inline constexpr std::string_view kDisplayY = "Display Y (x Ymax)";
inline constexpr std::string_view kDisplayZ = "Display Z (x Zmax)";
inline constexpr std::string_view kChannel = "Channel index";
inline constexpr std::string_view kActive = "Active";
inline constexpr std::string_view kCoordinates = "Coordinates present";
inline constexpr std::string_view kSpeakerId = "Speaker";
inline constexpr std::string_view kLocationX = "X (x Xmax)";
inline constexpr std::string_view kLocationY = "Y (x Ymax)";
inline constexpr std::string_view kLocationZ = "Z (x Zmax)";
inline constexpr char kLocationLabel[] = "Channel %d";
// Speaker IDs of the speaker location descriptor (table 54); 31 is "none given".
inline constexpr std::array<EnumName, 28> kSpeakerIds = {{
    {"fl", "FL - Front Left"},           {"fr", "FR - Front Right"},
    {"fc", "FC - Front Center"},         {"lfe1", "LFE1 - Low Frequency Effects 1"},
    {"bl", "BL - Back Left"},            {"br", "BR - Back Right"},
    {"flc", "FLC - Front Left of Center"}, {"frc", "FRC - Front Right of Center"},
    {"bc", "BC - Back Center"},          {"lfe2", "LFE2 - Low Frequency Effects 2"},
    {"sil", "SiL - Side Left"},          {"sir", "SiR - Side Right"},
    {"tpfl", "TpFL - Top Front Left"},   {"tpfr", "TpFR - Top Front Right"},
    {"tpfc", "TpFC - Top Front Center"}, {"tpc", "TpC - Top Center"},
    {"tpbl", "TpBL - Top Back Left"},    {"tpbr", "TpBR - Top Back Right"},
    {"tpsil", "TpSiL - Top Side Left"},  {"tpsir", "TpSiR - Top Side Right"},
    {"tpbc", "TpBC - Top Back Center"},  {"btfc", "BtFC - Bottom Front Center"},
    {"btfl", "BtFL - Bottom Front Left"}, {"btfr", "BtFR - Bottom Front Right"},
    {"flw", "FLW - Front Left Wide"},    {"frw", "FRW - Front Right Wide"},
    {"ls", "LS - Left Surround"},        {"rs", "RS - Right Surround"},
}};

// ---- HDMI vendor-specific data block (HDMI 1.4b 8.3.2) ---------------------------------------------
inline constexpr std::string_view kPhysicalAddress = "Source physical address";
inline constexpr std::string_view kPhysicalA = "Physical address A";
inline constexpr std::string_view kPhysicalB = "Physical address B";
inline constexpr std::string_view kPhysicalC = "Physical address C";
inline constexpr std::string_view kPhysicalD = "Physical address D";
inline constexpr std::string_view kSupportsAi = "Supports_AI";
inline constexpr std::string_view kDc48 = "DC_48bit";
inline constexpr std::string_view kDc36 = "DC_36bit";
inline constexpr std::string_view kDc30 = "DC_30bit";
inline constexpr std::string_view kDcY444 = "DC_Y444";
inline constexpr std::string_view kDviDual = "DVI_Dual";
inline constexpr std::string_view kMaxTmdsMhz = "Max TMDS clock (MHz)";
inline constexpr std::string_view kLatencyPresent = "Latency fields present";
inline constexpr std::string_view kILatencyPresent = "Interlaced latency fields present";
inline constexpr std::string_view kHdmiVideoPresent = "HDMI video fields present";
inline constexpr std::string_view kCncGraphics = "Content type graphics";
inline constexpr std::string_view kCncPhoto = "Content type photo";
inline constexpr std::string_view kCncCinema = "Content type cinema";
inline constexpr std::string_view kCncGame = "Content type game";
inline constexpr std::string_view kVideoLatency = "Video latency (code)";
inline constexpr std::string_view kAudioLatency = "Audio latency (code)";
inline constexpr std::string_view kIVideoLatency = "Interlaced video latency (code)";
inline constexpr std::string_view kIAudioLatency = "Interlaced audio latency (code)";
inline constexpr std::string_view kVideoLatencyMs = "Video latency (ms)";
inline constexpr std::string_view kAudioLatencyMs = "Audio latency (ms)";
inline constexpr std::string_view kIVideoLatencyMs = "Interlaced video latency (ms)";
inline constexpr std::string_view kIAudioLatencyMs = "Interlaced audio latency (ms)";
inline constexpr std::string_view k3dPresent = "3D present";
inline constexpr std::string_view k3dMultiPresent = "3D_Multi_present";
inline constexpr std::string_view kImageSize = "Image size";
inline constexpr std::string_view kHdmiVicLength = "HDMI VIC length";
inline constexpr std::string_view kHdmi3dLength = "HDMI 3D length";
inline constexpr std::string_view kHdmiVics = "HDMI VICs";
inline constexpr char kHdmiVicLabel[] = "HDMI VIC %d: ";
// The physical address a.b.c.d, one hexadecimal digit each.
inline constexpr char kPhysicalAddressFormat[] = "%x.%x.%x.%x";
inline constexpr std::string_view k3dFields = "3D fields";
inline constexpr std::array<EnumName, 4> k3dMulti = {{
    {"none", "no 3D structure fields"},
    {"all", "3D_Structure_ALL"},
    {"all-and-mask", "3D_Structure_ALL and 3D_MASK"},
    {"reserved", "reserved"},
}};
inline constexpr std::array<EnumName, 4> kImageSizes = {{
    {"none", "no information"},
    {"aspect", "base block size is the aspect ratio"},
    {"cm", "base block size in units of 1 cm"},
    {"5cm", "base block size in units of 5 cm"},
}};

// ---- HDMI Forum VSDB and SCDB (HDMI 2.1 10.3.2) ------------------------------------------------------
inline constexpr std::string_view kVersion = "Version";
inline constexpr std::string_view kMaxTmdsRateMhz = "Max TMDS character rate (MHz)";
inline constexpr std::string_view kScdcPresent = "SCDC present";
inline constexpr std::string_view kRrCapable = "SCDC read request capable";
inline constexpr std::string_view kCableStatus = "Cable status";
inline constexpr std::string_view kCcbpci = "Colour content bits per component indication";
inline constexpr std::string_view kLte340Scramble = "Scrambling at 340 Mcsc and below";
inline constexpr std::string_view kIndependentView = "3D independent view";
inline constexpr std::string_view kDualView = "3D dual view";
inline constexpr std::string_view kOsdDisparity = "3D OSD disparity";
inline constexpr std::string_view kMaxFrlRate = "Max fixed rate link";
inline constexpr std::string_view kMaxFrlGbps = "Max FRL (Gbit/s)";
inline constexpr std::string_view kUhdVic = "UHD VIC";
inline constexpr std::string_view kDc48_420 = "Deep colour 48 bit 4:2:0";
inline constexpr std::string_view kDc36_420 = "Deep colour 36 bit 4:2:0";
inline constexpr std::string_view kDc30_420 = "Deep colour 30 bit 4:2:0";
inline constexpr std::string_view kFapaEndExtended = "FAPA end extended";
inline constexpr std::string_view kQms = "QMS";
inline constexpr std::string_view kMDelta = "M_delta";
inline constexpr std::string_view kCinemaVrr = "CinemaVRR (deprecated)";
inline constexpr std::string_view kNegMvrr = "Negative M_VRR";
inline constexpr std::string_view kFva = "Fast vactive";
inline constexpr std::string_view kAllm = "Auto low-latency mode";
inline constexpr std::string_view kFapaStart = "FAPA start location";
inline constexpr std::string_view kVrrMinHz = "VRRmin (Hz)";
inline constexpr std::string_view kVrrMaxHz = "VRRmax (Hz)";
inline constexpr std::string_view kDsc12 = "DSC 1.2a";
inline constexpr std::string_view kDscNative420 = "DSC native 4:2:0";
inline constexpr std::string_view kQmsTfrMax = "QMS TFRmax";
inline constexpr std::string_view kQmsTfrMin = "QMS TFRmin";
inline constexpr std::string_view kDscAllBpp = "DSC at any 1/16 bpp";
inline constexpr std::string_view kDsc16bpc = "DSC 16 bpc";
inline constexpr std::string_view kDsc12bpc = "DSC 12 bpc";
inline constexpr std::string_view kDsc10bpc = "DSC 10 bpc";
inline constexpr std::string_view kDscMaxFrlRate = "DSC max fixed rate link";
inline constexpr std::string_view kDscMaxFrlGbps = "DSC max FRL (Gbit/s)";
inline constexpr std::string_view kDscMaxSlices = "DSC max slices";
inline constexpr std::string_view kDscChunkKBytes = "DSC total chunk (KiB - 1)";
inline constexpr std::string_view kScdbReserved = "Reserved bytes";
inline constexpr std::string_view kScdbForm = "Sink Capability Data Block form";
// Max_FRL_Rate codes 0-6 and the link rate each gives (lanes x Gbit/s per lane).
inline constexpr std::array<EnumName, 7> kFrlRates = {{
    {"none", "not supported"},
    {"3x3", "3 Gbit/s on 3 lanes"},
    {"6x3", "6 Gbit/s on 3 lanes"},
    {"6x4", "6 Gbit/s on 4 lanes"},
    {"8x4", "8 Gbit/s on 4 lanes"},
    {"10x4", "10 Gbit/s on 4 lanes"},
    {"12x4", "12 Gbit/s on 4 lanes"},
}};
inline constexpr std::array<int, 7> kFrlGbps = {0, 9, 18, 24, 32, 40, 48};
inline constexpr std::array<EnumName, 8> kDscSlices = {{
    {"none", "not supported"},
    {"1-340", "1 slice, 340 MHz"},
    {"2-340", "2 slices, 340 MHz"},
    {"4-340", "4 slices, 340 MHz"},
    {"8-340", "8 slices, 340 MHz"},
    {"8-400", "8 slices, 400 MHz"},
    {"12-400", "12 slices, 400 MHz"},
    {"12-600", "12 slices, 600 MHz"},
}};

// ---- AMD (FreeSync) ----------------------------------------------------------------------------------
inline constexpr std::string_view kAmdVersion = "Version";
inline constexpr std::string_view kAmdMinor = "Feature caps";
inline constexpr std::string_view kMinRefreshHz = "Minimum refresh rate (Hz)";
inline constexpr std::string_view kMaxRefreshHz = "Maximum refresh rate (Hz)";
inline constexpr std::string_view kAmdFlags1 = "Flags 1.x";
inline constexpr std::string_view kAmdFlags2 = "Flags 2.x";
inline constexpr std::string_view kAmdMaxLuminance = "Maximum luminance (code)";
inline constexpr std::string_view kAmdMinLuminance = "Minimum luminance (code)";

// ---- HDR10+ and Dolby Vision vendor-specific video data blocks (identified; the rest is hex) ---------
inline constexpr std::string_view kApplicationVersion = "Application version";
inline constexpr std::string_view kFullFramePeakIndex = "Full frame peak luminance index";
inline constexpr std::string_view kPeakIndex = "Peak luminance index";
inline constexpr std::string_view kDolbyVersion = "Version";
inline constexpr std::string_view kYuv422_12bit = "YUV 4:2:2 12 bit";
inline constexpr std::string_view k2160p60 = "2160p60";

// ---- Video Capability data block (table 79) --------------------------------------------------------------
inline constexpr std::string_view kQy = "YCbCr quantization selectable";
inline constexpr std::string_view kQs = "RGB quantization selectable";
inline constexpr std::string_view kScanPt = "PT scan behaviour";
inline constexpr std::string_view kScanIt = "IT scan behaviour";
inline constexpr std::string_view kScanCe = "CE scan behaviour";
inline constexpr std::array<EnumName, 4> kScanBehaviours = {{
    {"none", "not supported / no data"},
    {"overscan", "always overscanned"},
    {"underscan", "always underscanned"},
    {"both", "over- and underscan"},
}};

// ---- Colorimetry data block (table 81) ------------------------------------------------------------------
inline constexpr std::array<EnumName, 16> kColorimetry = {{
    {"xvycc601", "xvYCC601"},     {"xvycc709", "xvYCC709"},   {"sycc601", "sYCC601"},       {"opycc601", "opYCC601"},
    {"oprgb", "opRGB"},           {"bt2020cycc", "BT2020cYCC"}, {"bt2020ycc", "BT2020YCC"}, {"bt2020rgb", "BT2020RGB"},
    {"md0", "Gamut metadata MD0"}, {"md1", "Gamut metadata MD1"}, {"md2", "Gamut metadata MD2"},
    {"md3", "Gamut metadata MD3"}, {"default_rgb", "defaultRGB"}, {"srgb", "sRGB"},     {"ictcp", "ICtCp"},
    {"st2113rgb", "ST2113RGB"},
}};

// ---- HDR static metadata data block (table 85) ----------------------------------------------------------
inline constexpr std::array<EnumName, 6> kEotfs = {{
    {"eotf_sdr", "EOTF traditional gamma, SDR"},
    {"eotf_hdr", "EOTF traditional gamma, HDR"},
    {"eotf_pq", "EOTF SMPTE ST 2084 (PQ)"},
    {"eotf_hlg", "EOTF hybrid log-gamma"},
    {"eotf_4", "EOTF bit 4 (reserved)"},
    {"eotf_5", "EOTF bit 5 (reserved)"},
}};
inline constexpr std::string_view kEotfList = "EOTFs (bit numbers)";
inline constexpr std::string_view kStaticType1 = "Static metadata type 1";
inline constexpr std::string_view kStaticTypes = "Static metadata types (byte)";
inline constexpr std::string_view kMaxLuminanceCode = "Desired content max luminance (code)";
inline constexpr std::string_view kMaxFallCode = "Desired content max frame-average luminance (code)";
inline constexpr std::string_view kMinLuminanceCode = "Desired content min luminance (code)";
inline constexpr std::string_view kMaxLuminance = "Desired content max luminance (cd/m^2)";
inline constexpr std::string_view kMaxFall = "Desired content max frame-average luminance (cd/m^2)";
inline constexpr std::string_view kMinLuminance = "Desired content min luminance (cd/m^2)";

// ---- HDR dynamic metadata data block (table 87) ------------------------------------------------------------
inline constexpr std::string_view kMetadataType = "Metadata type";
inline constexpr std::string_view kMetadataVersion = "Version";
inline constexpr char kDynamicLabel[] = "HDR dynamic metadata type %d";

// ---- HDMI Forum EDID extension override (HDMI 2.1 10.3.6) --------------------------------------------------
inline constexpr std::string_view kOverrideCount = "EDID extension block count";

// ---- Data block kinds: JSON kind word and label ---------------------------------------------------------------
inline constexpr std::string_view kKindAudio = "Audio Data Block";
inline constexpr std::string_view kKindVideo = "Video Data Block";
inline constexpr std::string_view kKindHdmi = "Vendor-Specific Data Block (HDMI), OUI 00-0C-03";
inline constexpr std::string_view kKindHdmiForum = "Vendor-Specific Data Block (HDMI Forum), OUI C4-5D-D8";
inline constexpr std::string_view kKindAmd = "Vendor-Specific Data Block (AMD), OUI 00-00-1A";
inline constexpr std::string_view kKindSpeakers = "Speaker Allocation Data Block";
inline constexpr std::string_view kKindVcdb = "Video Capability Data Block";
inline constexpr std::string_view kKindHdr10Plus = "Vendor-Specific Video Data Block (HDR10+), OUI 90-84-8B";
inline constexpr std::string_view kKindDolby = "Vendor-Specific Video Data Block (Dolby Vision), OUI 00-D0-46";
inline constexpr std::string_view kKindColorimetry = "Colorimetry Data Block";
inline constexpr std::string_view kKindHdrStatic = "HDR Static Metadata Data Block";
inline constexpr std::string_view kKindHdrDynamic = "HDR Dynamic Metadata Data Block";
inline constexpr std::string_view kKindVfpdb = "Video Format Preference Data Block";
inline constexpr std::string_view kKind420Video = "YCbCr 4:2:0 Video Data Block";
inline constexpr std::string_view kKind420Map = "YCbCr 4:2:0 Capability Map Data Block";
inline constexpr std::string_view kKindRoom = "Room Configuration Data Block";
inline constexpr std::string_view kKindSpeakerLocation = "Speaker Location Data Block";
inline constexpr std::string_view kKindType7 = "DisplayID Type VII Video Timing Data Block";
inline constexpr std::string_view kKindEeodb = "HDMI Forum EDID Extension Override Data Block";
inline constexpr std::string_view kKindScdb = "HDMI Forum Sink Capability Data Block";

}  // namespace tolvex::cta_text
