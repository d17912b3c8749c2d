// The texts of the Tasks menu: its commands' labels and prompts ("prompt\ntip"), the task
// dialogs' titles, labels and notes, the block commands' reasons for being greyed, and the
// free-space gauge of the Structure panel. What an edit did or why it was refused comes from
// the edit itself (model/edit_texts.h).
#pragma once

namespace tolvex::texts {

inline constexpr char kTasksMenu[] = "&Tasks";

// ---- Commands: label, then prompt and tool tip -------------------------------------------------
inline constexpr char kVrrLabel[] = "&VRR Range...";
inline constexpr char kVrrPrompt[] =
    "Set the variable refresh range everywhere the EDID keeps it\nVRR Range";
inline constexpr char kRgbOnlyLabel[] = "RGB &Only";
inline constexpr char kRgbOnlyPrompt[] = "Take every YCbCr format out of the EDID\nRGB Only";
inline constexpr char kMaxTmdsLabel[] = "Maximum &TMDS Clock...";
inline constexpr char kMaxTmdsPrompt[] =
    "Set the HDMI maximum TMDS clock and the HDMI Forum maximum FRL rate\nMaximum TMDS Clock";
inline constexpr char kAddVicLabel[] = "&Add Video Format...";
inline constexpr char kAddVicPrompt[] = "Add a CTA-861 video format (VIC) to the Video Data Block\nAdd Video Format";
inline constexpr char kRemoveVicLabel[] = "R&emove Video Format...";
inline constexpr char kRemoveVicPrompt[] = "Take a video format (VIC) out of every block that lists it\nRemove Video Format";
inline constexpr char kHdrLabel[] = "&HDR Luminance...";
inline constexpr char kHdrPrompt[] = "Set the HDR static metadata's maximum, average and minimum luminance\nHDR Luminance";
inline constexpr char kAddTimingLabel[] = "Add T&iming...";
inline constexpr char kAddTimingPrompt[] = "Add a timing made by CVT reduced blanking\nAdd Timing";
inline constexpr char kAddDataBlockLabel[] = "Add &Data Block...";
inline constexpr char kAddDataBlockPrompt[] =
    "Add a data block after the one selected in the Structure panel, or at the end of its CTA-861 block\nAdd Data Block";
inline constexpr char kRemoveDataBlockLabel[] = "Remove Data &Block";
inline constexpr char kRemoveDataBlockPrompt[] = "Remove the data block selected in the Structure panel\nRemove Data Block";
inline constexpr char kMoveUpLabel[] = "Move Data Block &Up";
inline constexpr char kMoveUpPrompt[] = "Move the selected data block before the one above it\nMove Data Block Up";
inline constexpr char kMoveDownLabel[] = "Move Data Block Do&wn";
inline constexpr char kMoveDownPrompt[] = "Move the selected data block after the one below it\nMove Data Block Down";
inline constexpr char kAddExtensionLabel[] = "Add E&xtension Block...";
inline constexpr char kAddExtensionPrompt[] = "Add an empty CTA-861 or DisplayID extension block\nAdd Extension Block";
inline constexpr char kRemoveExtensionLabel[] = "Remove Extension Bloc&k...";
inline constexpr char kRemoveExtensionPrompt[] = "Remove an extension block\nRemove Extension Block";

// Why a block command is greyed.
inline constexpr char kNoDataBlockSelected[] = "select a data block of a CTA-861 block in the Structure panel";
inline constexpr char kFirstDataBlock[] = "the selected data block is the first of its block";
inline constexpr char kLastDataBlock[] = "the selected data block is the last of its block";
inline constexpr char kNeedsCtaBlock[] = "the EDID has no CTA-861 extension block: Tasks > Add Extension Block";
inline constexpr char kNoExtensionBlock[] = "the EDID has no extension block";

// ---- The dialogs -----------------------------------------------------------------------------
// The undo step of each is its command's label without "&" and "...".
inline constexpr char kVrrMin[] = "&Minimum (Hz):";
inline constexpr char kVrrMax[] = "Ma&ximum (Hz):";
inline constexpr char kVrrAddAmd[] = "&Add the AMD block where there is none";
inline constexpr char kRgbOnlyWill[] = "RGB Only will change the EDID so:";
inline constexpr char kNoteBullet[] = "\n\u2022 ";
inline constexpr char kRgbOnlyNothing[] = "The EDID offers no YCbCr format; RGB Only has nothing to change.";
inline constexpr char kTmdsMhz[] = "&Maximum TMDS clock (MHz):";
inline constexpr char kFrlRate[] = "Maximum &FRL rate:";
inline constexpr char kFrlUnchanged[] = "unchanged";
inline constexpr char kFrlGbps[] = "%1 Gbit/s";
inline constexpr char kFrlNone[] = "0 (no FRL)";
inline constexpr char kVicColumn[] = "VIC";
inline constexpr char kResolutionColumn[] = "Resolution";
inline constexpr char kRateColumn[] = "Rate";
inline constexpr char kAspectColumn[] = "Aspect";
inline constexpr char kResolution[] = "%1x%2%3";  // 1920x1080p
inline constexpr char kRate[] = "%1 Hz";
inline constexpr char kAspect[] = "%1:%2";
inline constexpr char kChooseVic[] = "Choose a video format in the list.";
inline constexpr char kNoVicHeld[] = "The EDID holds no video format (VIC) to remove.";
inline constexpr char kHdrMax[] = "Ma&ximum (cd/m\u00b2):";
inline constexpr char kHdrAvg[] = "&Average frame (cd/m\u00b2, may be empty):";
inline constexpr char kHdrMin[] = "M&inimum (cd/m\u00b2, may be empty):";
inline constexpr char kHdrNow[] = "Stored now: %1";
inline constexpr char kTimingWidth[] = "&Width (pixels):";
inline constexpr char kTimingHeight[] = "&Height (lines):";
inline constexpr char kTimingHz[] = "&Refresh rate (Hz):";
inline constexpr char kTimingRb2[] = "Reduced blanking &v2";
inline constexpr char kDataBlockKind[] = "&Kind:";
inline constexpr char kDataBlockWhere[] = "Into block %1, as data block %2 of %3.";
inline constexpr char kExtensionKind[] = "&Kind:";
inline constexpr char kExtensionCta[] = "CTA-861 (empty, revision 3)";
inline constexpr char kExtensionDisplayId[] = "DisplayID (empty, version 1.3)";
inline constexpr char kExtensionWhere[] = "The new block comes after the last one, as block %1.";
inline constexpr char kRemoveWhich[] = "&Block:";
inline constexpr char kChooseBlock[] = "Choose a block in the list.";
inline constexpr char kRefusedPrefix[] = "Not done: %1";
// What a block command did (printf formats; data blocks and blocks count from 1 and 0 as the
// Structure panel shows them).
inline constexpr char kDataBlockAdded[] = "%s added as data block %d of block %d";
inline constexpr char kDataBlockRemoved[] = "Data block %d of block %d removed: %s";
inline constexpr char kDataBlockMoved[] = "%s moved to data block %d of block %d";
inline constexpr char kBlockAdded[] = "%s added";
inline constexpr char kBlockRemoved[] = "%s removed";
// The status bar after an edit: its notes one after another.
inline constexpr char kNotesSeparator[] = "; ";

// ---- The Structure panel's free-space gauge ----------------------------------------------------
inline constexpr char kGaugeFormat[] = "%v/%m bytes";
inline constexpr char kGaugeTip[] = "%1 of %2 bytes used, %3 free";

}  // namespace tolvex::texts
