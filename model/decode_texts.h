// Every text of the decoded EDID that people read: the labels of the fields and items of each
// block family, the names of enumerated values, and the words values print as. The JSON keys
// and enum ids next to them are the stable spelling scripts rely on (cli/man/tolvex-cli.1 lists
// them); the texts may be improved, the keys and ids may not change.
#pragma once

#include <array>
#include <string_view>

#include "model/bit_code.h"

namespace tolvex::decode_text {

// ---- Values ---------------------------------------------------------------------------------
inline constexpr char kYes[] = "yes";
inline constexpr char kNo[] = "no";
inline constexpr char kNone[] = "none";
// An enumerated code no table entry names: "reserved (%g)".
inline constexpr char kReservedValue[] = "reserved (";
inline constexpr char kReservedValueEnd[] = ")";

// "%dx%d%s %.3f Hz" (the mark after the height says interlaced), then " %u:%u" for the aspect.
inline constexpr char kTimingFormat[] = "%dx%d%s %.3f Hz";
inline constexpr char kInterlacedMark[] = "i";
inline constexpr char kAspectFormat[] = " %u:%u";
// A structure version, "1.4", "2.0".
inline constexpr char kVersionFormat[] = "%d.%d";
// An entry's label: "%.*s %d: " (the kind, its number from 1), then what it is.
inline constexpr char kNumberedLabel[] = "%.*s %d: ";
// An item label's byte range: " (bytes %d-%d)" or " (byte %d)".
inline constexpr char kItemBytes[] = " (bytes %d-%d)";
inline constexpr char kItemByte[] = " (byte %d)";

// ---- Detailed timing descriptor (18 bytes, E-EDID 1.4 section 3.10.2) ------------------------
inline constexpr char kDtdUnused[] = "unused (pixel clock 0)";
inline constexpr std::string_view kPixelClockKHz = "Pixel Clock (kHz)";
inline constexpr std::string_view kHActive = "H Active (pixels)";
inline constexpr std::string_view kHBlank = "H Blanking (pixels)";
inline constexpr std::string_view kVActive = "V Active (lines)";
inline constexpr std::string_view kVBlank = "V Blanking (lines)";
inline constexpr std::string_view kHFront = "H Sync Offset (pixels)";
inline constexpr std::string_view kHSync = "H Sync Pulse Width (pixels)";
inline constexpr std::string_view kVFront = "V Sync Offset (lines)";
inline constexpr std::string_view kVSync = "V Sync Pulse Width (lines)";
inline constexpr std::string_view kHSizeMm = "H Image Size (mm)";
inline constexpr std::string_view kVSizeMm = "V Image Size (mm)";
inline constexpr std::string_view kHBorder = "H Border (pixels)";
inline constexpr std::string_view kVBorder = "V Border (lines)";
inline constexpr std::string_view kInterlaced = "Interlaced";
inline constexpr std::string_view kStereo = "Stereo";
inline constexpr std::string_view kSync = "Sync";
inline constexpr std::string_view kSerrations = "Serrations";
inline constexpr std::string_view kSyncOnRgb = "Sync on all of R, G and B";
inline constexpr std::string_view kHSyncPositive = "H Sync positive";
inline constexpr std::string_view kVSyncPositive = "V Sync positive";
inline constexpr std::string_view kRefreshHz = "Refresh Rate (Hz)";

// Bits 6-5 and 0 of byte 17, as one code.
inline constexpr std::array<EnumName, 8> kStereoModes = {{
    {"none", "none"},
    {"none", "none"},
    {"field-sequential-right", "field sequential, right image when stereo sync = 1"},
    {"interleaved-right-even", "2-way interleaved, right image on even lines"},
    {"field-sequential-left", "field sequential, left image when stereo sync = 1"},
    {"interleaved-left-even", "2-way interleaved, left image on even lines"},
    {"interleaved-4-way", "4-way interleaved"},
    {"side-by-side", "side-by-side interleaved"},
}};
// Bits 4-3 of byte 17.
inline constexpr std::array<EnumName, 4> kSyncTypes = {{
    {"analog-composite", "analog composite"},
    {"bipolar-analog-composite", "bipolar analog composite"},
    {"digital-composite", "digital composite"},
    {"digital-separate", "digital separate"},
}};

}  // namespace tolvex::decode_text

namespace tolvex::decode_text {

// ---- Whole EDID: one item per block -------------------------------------------------------------
inline constexpr char kBlockLabel[] = "Block %d: ";
inline constexpr std::string_view kBlockChecksum = "Checksum";
inline constexpr std::string_view kBlockChecksumRight = "Checksum correct";
inline constexpr std::string_view kBlockTag = "Tag";
inline constexpr std::string_view kBlockBytes = "Bytes";
inline constexpr char kUnknownBlockLabel[] = "Extension Block, tag 0x%02X";

// ---- Block map (tag 0xF0, E-EDID 1.3 section 2.2.4) ---------------------------------------------
inline constexpr char kBlockMapLabel[] = "Block Map";
inline constexpr char kBlockMapEntryLabel[] = "block %d: tag 0x%02X";
inline constexpr std::string_view kMappedBlock = "Block number";
inline constexpr std::string_view kMappedTag = "Tag";

}  // namespace tolvex::decode_text
