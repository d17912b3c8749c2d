// The texts of the file helpers: why a file could not be read or written.
#pragma once

namespace tolvex::file_texts {

inline constexpr char kNotAFile[] = "not a regular file";
inline constexpr char kFileTooLarge[] = "The file is too large to open.";
inline constexpr char kNotWritable[] = "the existing file is not writable; it stays as it was";

}  // namespace tolvex::file_texts
