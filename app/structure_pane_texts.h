// The texts of the structure panel. The items' and fields' own labels and values are the
// decoded model's (model/*_texts.h), as the report prints them.
#pragma once

namespace tolvex::texts {

inline constexpr char kStructurePaneTitle[] = "Structure";
inline constexpr char kStructurePaneMenuLabel[] = "St&ructure";
inline constexpr char kStructurePanePrompt[] = "Show or hide the decoded structure of the whole EDID";
inline constexpr char kStructureColumnItem[] = "Item";
inline constexpr char kStructureColumnValue[] = "Value";
inline constexpr char kStructureColumnBytes[] = "Bytes";
inline constexpr char kStructureByte[] = "%1";
inline constexpr char kStructureBytes[] = "%1-%2";

}  // namespace tolvex::texts
