// The texts of the application framework itself: the program's framework title (the caption of
// the framework's message boxes and its name in the settings store), the file prompts and the
// form validation messages. Every Qt layer takes them from here.
#pragma once

namespace tolvex::texts {

inline constexpr char kApplicationTitle[] = "tolvex3.01";
inline constexpr char kUntitled[] = "Untitled";

// Files.
inline constexpr char kSaveChanges[] = "Save changes to %1?";
inline constexpr char kFailedToOpen[] = "Failed to open document.";
inline constexpr char kFailedToSave[] = "Failed to save document.";
inline constexpr char kCannotFindFile[] =
    "%1\nCannot find this file.\nPlease verify that the correct path and file name are given.";
inline constexpr char kFileTooLarge[] = "The file is too large to open.";
inline constexpr char kSaveAsTitle[] = "Save As";

// Form validation.
inline constexpr char kEnterInteger[] = "Please enter an integer.";
inline constexpr char kEnterIntegerBetween[] = "Please enter an integer between %1 and %2.";
inline constexpr char kEnterNumber[] = "Please enter a number.";
inline constexpr char kEnterNumberBetween[] = "Please enter a number between %1 and %2.";
inline constexpr char kEnterNoMoreThan[] = "Please enter no more than %1 characters.";

}  // namespace tolvex::texts
