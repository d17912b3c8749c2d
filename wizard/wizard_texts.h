// Every text the wizard sheet and its steps 1 to 5 show: titles, group boxes, labels, choices and
// messages, byte for byte as the program has always shown them.
#pragma once

#include <array>

namespace tolvex::wizard_text {

inline constexpr char kCaption[] = "Wizard";

// ---- Page titles ------------------------------------------------------------------------------
inline constexpr char kStep1Title[] = "Step 1 of 9 : EDID Structure version / Production Identification";
inline constexpr char kStep2Title[] = "Step 2 of 9 : Basic Display Parameters and Features";
inline constexpr char kStep3Title[] = "Step 3 of 9 : DPMS and Color Characteristics";
inline constexpr char kStep4Title[] = "Step 4 of 9 : Established Timings";
inline constexpr char kStep5Title[] = "Step 5 of 9 : Standard Timing Identification";
inline constexpr std::array<const char*, 4> kDescriptorStepTitles = {
    "Step 6 of 9 : Detailed timing and Descriptor description (BLOCK 1)",
    "Step 7 of 9 : Detailed timing and Descriptor description (BLOCK 2)",
    "Step 8 of 9 : Detailed timing and Descriptor description (BLOCK 3)",
    "Step 9 of 9 : Detailed timing and Descriptor description (BLOCK 4)",
};

// ---- Step 1: identification -----------------------------------------------------------------
inline constexpr char kVersionGroup[] = "EDID Structure Version";
inline constexpr std::array<const char*, 4> kVersionChoices = {"1.0", "1.1", "1.2", "1.3"};
inline constexpr char kVendorGroup[] = "VID / Vendor ID";
inline constexpr char kManufacturerLabel[] = "ID Manufacturer Name";
// A manufacturer ID is three of the letters that bytes 8-9 can code.
inline constexpr char kManufacturerLettersOnly[] = "Please enter only the letters A to Z.";
inline constexpr char kProductGroup[] = "PID / vendor assigned Product ID";
inline constexpr char kProductCodeLabel[] = "ID Product Code";
inline constexpr char kSerialGroup[] = "SNO / Serial Number ID";
inline constexpr char kSerialLabel[] = "ID Serial Number";
inline constexpr char kHex[] = "Hex";
inline constexpr char kDec[] = "Dec";
inline constexpr char kAscii[] = "ASCII";
inline constexpr char kByteSwap[] = "Byte swap";
inline constexpr char kUnused[] = "Unused";
inline constexpr char kDateGroup[] = "Date Code";
inline constexpr char kWeekLabel[] = "Week of Manufacture (0 - 53), use 0 if unused.";
inline constexpr char kYearLabel[] = "Year of Manufacture (1990 - 2053)";
inline constexpr char kLoad[] = "&Load ...";

inline constexpr char kProductCodeWrongCharacter[] =
    "Invalid data input\n\nHex Mode:\t0 --- 9, A --- F\nDec mode:\t0 --- 9";
inline constexpr char kSerialWrongCharacter[] =
    "Invalid data input\n\nHex Mode:\t0 --- 9, A --- F, a --- f\nDec mode:\t0 --- 9";

inline constexpr char kReportFileFilter[] = "Tolvex files(*.ddc);;All files (*)";
inline constexpr char kCannotOpenFile[] = "Cannot open file !";
inline constexpr char kOpenError[] = "Open error";
inline constexpr char kInvalidReportFile[] = "Invalid ddc log file !";
inline constexpr char kDataError[] = "Data error";

// ---- Step 2: basic display parameters -------------------------------------------------------
inline constexpr char kVideoInputGroup[] = "Video Input Definition";
inline constexpr char kDigitalInput[] = "Digital Signal Level";
inline constexpr char kDfpCompatible[] = "Compatible with DFP 1.x";
inline constexpr char kAnalogGroup[] = "Analog Signal Level";
inline constexpr char kSignalLevelLabel[] = "Signal Level Standard";
inline constexpr std::array<const char*, 4> kSignalLevels = {
    "0.700V/0.300V (1.000Vp-p)",
    "0.714V/0.286V (1.000Vp-p)",
    "1.000V/0.400V (1.400Vp-p)",
    "0.700V/0.000V (0.700Vp-p)",
};
inline constexpr char kSetupLabel[] = "Setup Display";
inline constexpr char kBlankToBlack[] = "with blank-to-black";
inline constexpr char kSyncLabel[] = "Sync Inputs Supported";
inline constexpr char kSeparateSync[] = "Separate Syncs.";
inline constexpr char kCompositeSync[] = "Composite Sync (on Hsync)";
inline constexpr char kSyncOnGreen[] = "Sync. on Green Video";
inline constexpr char kSerration[] = "Serration Vsync. is required";
inline constexpr char kSizeGroup[] = "Image Size / Display Transfer";
inline constexpr char kImageSizeLabel[] = "Max. Image Size  Hz. x  Vt. (0 - 255 cm)";
inline constexpr char kGammaLabel[] = "Transfer Characteristic (Gamma 1.00 - 3.55)";

// ---- Step 3: DPMS and colour ----------------------------------------------------------------
inline constexpr char kFeatureGroup[] = "Feature Support (DPMS)";
inline constexpr char kDpmsLabel[] = "DPMS";
inline constexpr char kStandby[] = "Stand-by";
inline constexpr char kSuspend[] = "Suspend";
inline constexpr char kActiveOff[] = "Active Off";
inline constexpr char kDisplayTypeLabel[] = "Basic display type";
inline constexpr std::array<const char*, 4> kDisplayTypes = {
    "Monochrome/gray scale display",
    "RGB color display",
    "Non-RGB multicolor display",
    "Undefined",
};
inline constexpr char kDefaultFeatureLabel[] = "Default feature";
inline constexpr char kStandardColorSpace[] = "Std. default color space / sRGB";
inline constexpr char kPreferredTiming[] = "Preferred timing mode";
inline constexpr char kGtfSupported[] = "GTF supported";
inline constexpr char kChromaticityGroup[] = "RGB chromaticity/White point values";
inline constexpr char kPhosphorLabel[] = "Phosphor\t(0.000 - 0.999)";
// One label per coordinate, in the order of bytes 25 to 34: red x, red y, ... white y.
inline constexpr std::array<const char*, 8> kCoordinateLabels = {
    "Red\tX", "\tY", "Green\tX", "\tY", "Blue\tX", "\tY", "White\tX", "\tY",
};

// ---- Step 4: established timings ------------------------------------------------------------
inline constexpr char kEstablishedGroup[] = "Established VESA (one-bit flags)";
// The box labels; which bit each box sets is in the step's own table.
inline constexpr std::array<const char*, 17> kEstablishedTimingLabels = {
    "720x400 @70Hz (IBM, VGA)",
    "720x400 @88Hz (IBM, XGA2)",
    "640x480 @60Hz (IBM, VGA)",
    "640x480 @67Hz (Apple, Mac II)",
    "640x480 @72Hz (VESA)",
    "640x480 @75Hz (VESA)",
    "800x600 @56Hz (VESA)",
    "800x600 @60Hz (VESA)",
    "800x600 @72Hz (VESA)",
    "800x600 @75Hz (VESA)",
    "832x624 @75Hz (Apple, Mac II)",
    "1024x768 @87Hz (Interlaced) (IBM)",
    "1024x768 @60Hz (VESA)",
    "1024x768 @70Hz (VESA)",
    "1024x768 @75Hz (VESA)",
    "1280x1024 @75Hz (VESA)",
    "1152x870 @75Hz (Apple, Mac  II)",
};

// Step 5's texts are those of every standard-timing list: wizard/std_timing_text.h.

}  // namespace tolvex::wizard_text
