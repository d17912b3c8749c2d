// The texts of the Structure panel's editor: the form of the selected item and the editors of
// the data blocks a form of fields cannot express. The fields' labels and values are the decoded
// model's, as the tree shows them.
#pragma once

namespace tolvex::texts {

// The undo step of a field's change: "set max_tmds_mhz".
inline constexpr char kSetFieldStep[] = "set %1";
inline constexpr char kNodeEditorNothing[] = "Choose an item in the tree to edit it.";
inline constexpr char kNodeEditorHeading[] = "<b>%1</b>";
// A field the edit bookkeeping writes itself, or one worked out from others.
inline constexpr char kNodeEditorKept[] = "set by the program";
inline constexpr char kEnterIntegerInSteps[] = "Please enter an integer between %1 and %2 in steps of %3.";
inline constexpr char kEnterNumberInSteps[] = "Please enter a number between %1 and %2 in steps of %3.";

// The Video Data Block's list of VICs.
inline constexpr char kVicListHeading[] = "VICs of this block:";
inline constexpr char kVicPickerHeading[] = "Add a VIC from the table:";
inline constexpr char kVicFilterPrompt[] = "Filter: VIC, resolution or rate (\"3840\", \"120 Hz\")";
inline constexpr char kVicAdd[] = "&Add VIC";
inline constexpr char kVicRemove[] = "&Remove VIC";
inline constexpr char kVicLine[] = "VIC %1: %2";
inline constexpr char kAddVicStep[] = "add VIC %1";
inline constexpr char kRemoveVicStep[] = "remove VIC %1";
inline constexpr char kVicBlockFull[] = "The Video Data Block holds 31 VICs, as many as it can.";
inline constexpr char kVicThere[] = "VIC %1 is in this Video Data Block already.";
inline constexpr char kNotThisBlock[] = "The data block is no longer where it was.";

// The Audio Data Block's descriptors.
inline constexpr char kSadHeading[] =
    "Short Audio Descriptors (choose one in the tree to edit its format, channels, rates and sizes):";
inline constexpr char kSadAdd[] = "Add &descriptor";
inline constexpr char kSadRemove[] = "&Remove descriptor";
inline constexpr char kAddSadStep[] = "add audio descriptor";
inline constexpr char kRemoveSadStep[] = "remove audio descriptor";
inline constexpr char kAudioBlockFull[] = "The Audio Data Block holds 10 descriptors, as many as it can.";

// HDR static metadata in cd/m².
inline constexpr char kHdrHeading[] = "Luminance in cd/m\u00b2 (stored as the nearest codes):";
inline constexpr char kHdrMax[] = "Maximum";
inline constexpr char kHdrAvg[] = "Maximum frame average";
inline constexpr char kHdrMin[] = "Minimum";
inline constexpr char kHdrApply[] = "Set &luminance";
inline constexpr char kHdrStep[] = "set HDR luminance";
inline constexpr char kHdrStored[] = "Stored: maximum %1, frame average %2, minimum %3 cd/m\u00b2";
inline constexpr char kHdrNotStored[] = "not given";
inline constexpr char kHdrBadNumber[] = "%1: please enter a number of cd/m\u00b2 (or leave it empty).";

// A detailed timing descriptor.
inline constexpr char kEditTiming[] = "Edit &timing...";
inline constexpr char kEditTimingTitle[] = "Detailed Timing";
inline constexpr char kEditTimingStep[] = "edit %1";

}  // namespace tolvex::texts
