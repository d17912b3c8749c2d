// The texts of wizard steps 6 to 9 and of the editors they host: the descriptor block page, the
// detailed timing editor, the monitor descriptor editor and its three sub-editors.
#pragma once

#include <array>

namespace tolvex::texts {

// ---- Descriptor block page -----------------------------------------------------------------
inline constexpr char kMonitorDescriptor[] = "Monitor Descriptor";
// Leaving the page with entries the block refused: those fields show the stored values again.
inline constexpr char kFieldsSetBack[] = "Set back to the value the EDID block holds: %1";

// ---- Detailed timing editor ----------------------------------------------------------------
// Each numeric field: its name and its range text, shown side by side before the edit box.
struct TimingFieldText {
  const char* name;
  const char* range;
};
inline constexpr std::array<TimingFieldText, 13> kTimingFields = {{
    {"Pixel Clock", "(0 - 655.35 MHz)"},
    {"H. Active", "(0 - 4095 pixels)"},
    {"H. Blanking", "(0 - 4095 pixels)"},
    {"V. Active", "(0 - 4095 lines)"},
    {"V. Blanking", "(0 - 4095 liness)"},
    {"H. SyncOffset", "(0 - 1023 pixels)"},
    {"H. SyncPWidth", "(0 - 1023 pixels)"},
    {"V. SyncOffset", "(0 - 63 lines)"},
    {"V. SyncPWidth", "(0 - 63 lines)"},
    {"H. ImageSize", "(0 - 4095 mm)"},
    {"V. ImageSize", "(0 - 4095 mm)"},
    {"H. Border", "(0 - 255 pixels)"},
    {"V. Border", "(0 - 255 lines)"},
}};

inline constexpr char kScanMode[] = "Scan Mode";
inline constexpr char kInterlaced[] = "Interlaced / Non-interlaced";
inline constexpr char kStereoMode[] = "Stero Mode";
// Indexed by stereo code; code 1 (also "no stereo") has a hidden button without a caption.
inline constexpr std::array<const char*, 8> kStereoButtons = {
    "No stereo",
    "",
    "Field stereo, right image",
    "2-way stereo, right image",
    "Field stereo, left image",
    "2-way stereo, left image",
    "4-way interleaved stereo",
    "Side-by-Side stereo",
};
inline constexpr char kSyncSignal[] = "Sync. Signal";
// Indexed by sync type (the top two bits of the sync code).
inline constexpr std::array<const char*, 4> kSyncTypes = {
    "Analog Composite Sync",
    "Bi-Analog Composite Sync",
    "Digital Composite Sync",
    "Digital Separate Sync",
};
// The captions of the two sync flag boxes, by sync type: first = bit 1, second = bit 0 of the code.
struct SyncFlagCaptions {
  const char* first;
  const char* second;
};
inline constexpr std::array<SyncFlagCaptions, 4> kSyncFlagCaptions = {{
    {"Serrate", "On RGB"},
    {"Serrate", "On RGB"},
    {"Serrate", "Composite H+Vsync"},
    {"Vsync Positive", "Hsync Positive"},
}};

// ---- Monitor descriptor editor -------------------------------------------------------------
inline constexpr char kDescriptorTagLabel[] = "Descriptor Data Type Tag :";
// The tag selector, in selector order (tag = 255 - index), and the text field's label per kind
// (empty for the kinds that a sub-editor edits).
struct DescriptorKindText {
  const char* entry;
  const char* textLabel;
};
inline constexpr std::array<DescriptorKindText, 6> kDescriptorKinds = {{
    {"Monitor S/N (ASCII)", "Monitor S/N (ASCII) :"},
    {"ASCII Data String", "ASCII Data String :"},
    {"Monitor Range Limits", ""},
    {"Monitor Name", "Monitor Name :"},
    {"Color Point", ""},
    {"Standard Timing Identifiers", ""},
}};

// ---- Range limits sub-editor ---------------------------------------------------------------
inline constexpr char kRangeLimitsHeading[] = "Monitor Range Limits :";
inline constexpr char kMinVerticalRate[] = "Min. Vertical Rate   (0 - 255 Hz)";
inline constexpr char kMaxVerticalRate[] = "Max. Vertical Rate  (0 - 255 Hz)";
inline constexpr char kMinHorizontalRate[] = "Min. Horizontal   (0 - 255 KHz)";
inline constexpr char kMaxHorizontalRate[] = "Max. Horizontal  (0 - 255 KHz)";
inline constexpr char kMaxPixelClock[] = "Max. Supported Pixel Clock  (0 - 2550 MHz)";
inline constexpr char kNotSpecified[] = "Not Specified";
inline constexpr char kSecondaryGtfSupport[] = "Secondary GTF timing formula support";
inline constexpr char kGtfStartFrequency[] = "Start frequency for 2nd curve, Hor freq.  (0 - 511 KHz)";
// The four GTF constants: a letter, then (after a tab) its meaning and range.
inline constexpr char kGtfC[] = "C";
inline constexpr char kGtfCMeaning[] = ": Offset constant  (0 - 127 %)";
inline constexpr char kGtfM[] = "M";
inline constexpr char kGtfMMeaning[] = ": Gradient constants  (0 - 65535 %/KHz)";
inline constexpr char kGtfK[] = "K";
inline constexpr char kGtfKMeaning[] = ": Blacking time scaling factor  (0 - 255)";
inline constexpr char kGtfJ[] = "J";
inline constexpr char kGtfJMeaning[] = ": Scaling factor weighting  (0 - 127 %)";

// ---- List sub-editors ----------------------------------------------------------------------

inline constexpr char kColorPointHeading[] = "Color Point : (White point value)";
inline constexpr char kWhitePointIndex[] = "White point index";
inline constexpr char kWhiteX[] = "White - X (0.000 - 0.999)";
inline constexpr char kWhiteY[] = "White - Y (0.000 - 0.999)";
inline constexpr char kWhiteGamma[] = "White Gamma (1.00 - 3.55)";
inline constexpr char kColorPointLine[] = "# %d\tWhite(%.3f  %.3f)\tGamma(%.2f)";

// The standard-timing list texts, and the Add, Replace and Remove buttons of both lists, are in
// wizard/std_timing_text.h.

}  // namespace tolvex::texts
