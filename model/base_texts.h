// The texts of the base block's decoded reading: the facts every block has (for JSON and `info`)
// and what E-EDID 1.4 reads differently from 1.3 (the report's section of its own), with the
// names of their enumerated values (VESA E-EDID 1.4 section 3).
#pragma once

#include <array>
#include <string_view>

#include "model/bit_code.h"

namespace tolvex::base_text {

inline constexpr char kBlockLabel[] = "Base Block, EDID %d.%d";

// ---- General facts ----------------------------------------------------------------------------
inline constexpr std::string_view kVersion = "Version";
inline constexpr std::string_view kManufacturer = "Manufacturer";
inline constexpr std::string_view kProductCode = "Product code";
inline constexpr std::string_view kSerialNumber = "Serial number";
inline constexpr std::string_view kWeek = "Week of manufacture";
inline constexpr std::string_view kYear = "Year of manufacture";
inline constexpr std::string_view kModelYear = "Model year";
inline constexpr std::string_view kDigital = "Digital input";
inline constexpr std::string_view kExtensionCount = "Extension blocks";
inline constexpr std::string_view kChecksum = "Checksum";
inline constexpr std::string_view kMonitorName = "Monitor name";
inline constexpr std::string_view kSerialText = "Serial number text";
inline constexpr char kDtdEntry[] = "DTD";
// Descriptor labels by tag; any other tag: "Descriptor, tag 0x%02X".
inline constexpr char kNameLabel[] = "Monitor Name";
inline constexpr char kSerialLabel[] = "Serial Number";
inline constexpr char kStringLabel[] = "Data String";
inline constexpr char kColorPointLabel[] = "Color Point";
inline constexpr char kStdTimingsLabel[] = "Standard Timing Identifiers";
inline constexpr char kDummyLabel[] = "Dummy Descriptor";
inline constexpr char kOtherLabel[] = "Descriptor, tag 0x%02X";

// ---- Byte 20, digital (table 3.11) --------------------------------------------------------------
inline constexpr std::string_view kBitDepth = "Bits per primary colour";
inline constexpr std::string_view kInterface = "Interface";
inline constexpr std::array<EnumName, 8> kBitDepths = {{
    {"undefined", "undefined"}, {"6", "6"}, {"8", "8"}, {"10", "10"}, {"12", "12"}, {"14", "14"}, {"16", "16"},
    {"reserved", "reserved"},
}};
inline constexpr std::array<EnumName, 6> kInterfaces = {{
    {"undefined", "undefined"}, {"dvi", "DVI"}, {"hdmi-a", "HDMI-a"}, {"hdmi-b", "HDMI-b"}, {"mddi", "MDDI"},
    {"displayport", "DisplayPort"},
}};

// ---- Bytes 21-22 (table 3.12) -----------------------------------------------------------------
inline constexpr std::string_view kWidthCm = "Screen width (cm)";
inline constexpr std::string_view kHeightCm = "Screen height (cm)";
inline constexpr std::string_view kLandscapeRatio = "Aspect ratio, landscape (width / height)";
inline constexpr std::string_view kPortraitRatio = "Aspect ratio, portrait (width / height)";
inline constexpr std::string_view kSizeUnknown = "Size and aspect ratio vary or are unknown";
inline constexpr std::string_view kGammaInExtension = "Gamma given in an extension";

// ---- Byte 24 (table 3.14) ------------------------------------------------------------------------
inline constexpr std::string_view kColorEncodings = "Colour encodings";
inline constexpr std::string_view kDisplayColorType = "Display colour type";
inline constexpr std::string_view kSrgb = "sRGB default colour space";
inline constexpr std::string_view kPreferredNative = "Preferred timing includes native format and rate";
inline constexpr std::string_view kContinuous = "Continuous frequency";
inline constexpr std::array<EnumName, 4> kEncodings = {{
    {"rgb444", "RGB 4:4:4"},
    {"rgb444-ycrcb444", "RGB 4:4:4, YCrCb 4:4:4"},
    {"rgb444-ycrcb422", "RGB 4:4:4, YCrCb 4:2:2"},
    {"rgb444-ycrcb444-ycrcb422", "RGB 4:4:4, YCrCb 4:4:4, YCrCb 4:2:2"},
}};
inline constexpr std::array<EnumName, 4> kColorTypes = {{
    {"monochrome", "monochrome or grey scale"}, {"rgb", "RGB colour"}, {"non-rgb", "non-RGB colour"},
    {"undefined", "undefined"},
}};

// ---- Display range limits (tag 0xFD, table 3.26-3.28) ---------------------------------------------
inline constexpr char kRangeLimitsLabel[] = "Display Range Limits";
inline constexpr std::string_view kVerticalOffsets = "Vertical rate offsets";
inline constexpr std::string_view kHorizontalOffsets = "Horizontal rate offsets";
inline constexpr std::string_view kMinVHz = "Min vertical rate (Hz)";
inline constexpr std::string_view kMaxVHz = "Max vertical rate (Hz)";
inline constexpr std::string_view kMinHKHz = "Min horizontal rate (kHz)";
inline constexpr std::string_view kMaxHKHz = "Max horizontal rate (kHz)";
inline constexpr std::string_view kMaxClockMHz = "Max pixel clock (MHz)";
inline constexpr std::string_view kTimingSupport = "Video timing support";
inline constexpr std::string_view kGtfStartKHz = "Secondary GTF start (kHz)";
inline constexpr std::string_view kGtfC = "Secondary GTF C";
inline constexpr std::string_view kGtfM = "Secondary GTF M";
inline constexpr std::string_view kGtfK = "Secondary GTF K";
inline constexpr std::string_view kGtfJ = "Secondary GTF J";
inline constexpr std::string_view kCvtMajor = "CVT major version";
inline constexpr std::string_view kCvtMinor = "CVT minor version";
inline constexpr std::string_view kClockPrecision = "Pixel clock precision (0.25 MHz below the max)";
inline constexpr std::string_view kPreciseClockMHz = "Max pixel clock, precise (MHz)";
inline constexpr std::string_view kMaxActivePixels = "Max active pixels per line (0: no limit)";
inline constexpr std::string_view kPreferredAspect = "Preferred aspect ratio";
inline constexpr std::string_view kCvtReducedBlanking = "CVT reduced blanking";
inline constexpr std::string_view kCvtStandardBlanking = "CVT standard blanking";
inline constexpr std::string_view kPreferredRefresh = "Preferred refresh rate (Hz)";
inline constexpr std::array<EnumName, 4> kRateOffsets = {{
    {"none", "none"}, {"reserved", "reserved"}, {"max", "max + 255"}, {"min-max", "min and max + 255"},
}};
inline constexpr std::array<EnumName, 5> kTimingSupports = {{
    {"default-gtf", "default GTF"}, {"range-only", "range limits only"}, {"secondary-gtf", "secondary GTF"},
    {"reserved", "reserved"}, {"cvt", "CVT"},
}};
inline constexpr std::array<EnumName, 5> kCvtAspectFlags = {{
    {"aspect_15_9", "15:9 supported"}, {"aspect_5_4", "5:4 supported"}, {"aspect_16_10", "16:10 supported"},
    {"aspect_16_9", "16:9 supported"}, {"aspect_4_3", "4:3 supported"},
}};
inline constexpr std::array<EnumName, 5> kCvtAspects = {{
    {"4:3", "4:3"}, {"16:9", "16:9"}, {"16:10", "16:10"}, {"5:4", "5:4"}, {"15:9", "15:9"},
}};
inline constexpr std::array<EnumName, 4> kScalingFlags = {{
    {"v_stretch", "Vertical stretch"}, {"v_shrink", "Vertical shrink"}, {"h_stretch", "Horizontal stretch"},
    {"h_shrink", "Horizontal shrink"},
}};

// ---- Established timings III (tag 0xF7, table 3.29) ---------------------------------------------------
inline constexpr char kEstablished3Label[] = "Established Timings III";
inline constexpr std::string_view kDescriptorRevision = "Revision";
// Bit 7 of byte 6 first; every entry a DMT mode (model/dmt_table.h lists their timings).
inline constexpr std::array<EnumName, 44> kEstablished3 = {{
    {"dmt_01", "640x350 85 Hz"},   {"dmt_02", "640x400 85 Hz"},    {"dmt_03", "720x400 85 Hz"},
    {"dmt_07", "640x480 85 Hz"},   {"dmt_0e", "848x480 60 Hz"},    {"dmt_0c", "800x600 85 Hz"},
    {"dmt_13", "1024x768 85 Hz"},  {"dmt_15", "1152x864 75 Hz"},   {"dmt_16", "1280x768 60 Hz RB"},
    {"dmt_17", "1280x768 60 Hz"},  {"dmt_18", "1280x768 75 Hz"},   {"dmt_19", "1280x768 85 Hz"},
    {"dmt_20", "1280x960 60 Hz"},  {"dmt_21", "1280x960 85 Hz"},   {"dmt_23", "1280x1024 60 Hz"},
    {"dmt_25", "1280x1024 85 Hz"}, {"dmt_27", "1360x768 60 Hz"},   {"dmt_2e", "1440x900 60 Hz RB"},
    {"dmt_2f", "1440x900 60 Hz"},  {"dmt_30", "1440x900 75 Hz"},   {"dmt_31", "1440x900 85 Hz"},
    {"dmt_29", "1400x1050 60 Hz RB"}, {"dmt_2a", "1400x1050 60 Hz"}, {"dmt_2b", "1400x1050 75 Hz"},
    {"dmt_2c", "1400x1050 85 Hz"}, {"dmt_39", "1680x1050 60 Hz RB"}, {"dmt_3a", "1680x1050 60 Hz"},
    {"dmt_3b", "1680x1050 75 Hz"}, {"dmt_3c", "1680x1050 85 Hz"},  {"dmt_33", "1600x1200 60 Hz"},
    {"dmt_34", "1600x1200 65 Hz"}, {"dmt_35", "1600x1200 70 Hz"},  {"dmt_36", "1600x1200 75 Hz"},
    {"dmt_37", "1600x1200 85 Hz"}, {"dmt_3e", "1792x1344 60 Hz"},  {"dmt_3f", "1792x1344 75 Hz"},
    {"dmt_41", "1856x1392 60 Hz"}, {"dmt_42", "1856x1392 75 Hz"},  {"dmt_44", "1920x1200 60 Hz RB"},
    {"dmt_45", "1920x1200 60 Hz"}, {"dmt_46", "1920x1200 75 Hz"},  {"dmt_47", "1920x1200 85 Hz"},
    {"dmt_49", "1920x1440 60 Hz"}, {"dmt_4a", "1920x1440 75 Hz"},
}};

// ---- CVT 3-byte codes (tag 0xF8, table 3.30) ------------------------------------------------------------
inline constexpr char kCvtLabel[] = "CVT 3-Byte Timing Codes";
inline constexpr char kCvtCodeLabel[] = "CVT %d lines, %s";
inline constexpr std::string_view kCvtVersion = "Version";
inline constexpr std::string_view kCvtLines = "Addressable lines";
inline constexpr std::string_view kCvtAspect = "Aspect ratio";
inline constexpr std::string_view kCvtPreferredRate = "Preferred vertical rate";
inline constexpr std::array<EnumName, 4> kCvtCodeAspects = {{{"4:3", "4:3"}, {"16:9", "16:9"}, {"16:10", "16:10"}, {"15:9", "15:9"}}};
inline constexpr std::array<EnumName, 4> kCvtRates = {{{"50", "50 Hz"}, {"60", "60 Hz"}, {"75", "75 Hz"}, {"85", "85 Hz"}}};
// Byte 2 bits 0-4.
inline constexpr std::array<EnumName, 5> kCvtRateFlags = {{
    {"rate_60_rb", "60 Hz reduced blanking"}, {"rate_85", "85 Hz"}, {"rate_75", "75 Hz"}, {"rate_60", "60 Hz"},
    {"rate_50", "50 Hz"},
}};

// ---- Colour management (tag 0xF9, table 3.31) ---------------------------------------------------------------
inline constexpr char kColorManagementLabel[] = "Display Colour Management";
inline constexpr std::string_view kRedA3 = "Red a3";
inline constexpr std::string_view kRedA2 = "Red a2";
inline constexpr std::string_view kGreenA3 = "Green a3";
inline constexpr std::string_view kGreenA2 = "Green a2";
inline constexpr std::string_view kBlueA3 = "Blue a3";
inline constexpr std::string_view kBlueA2 = "Blue a2";

}  // namespace tolvex::base_text
