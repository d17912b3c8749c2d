// Files the user names: reading one without ever blocking or growing without bound, and writing
// one so that a failure at any step leaves the previous file exactly as it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tolvex {

enum class FileProblem : uint8_t {
  kNone,
  kSystem,       // a call failed; FileError::error holds its errno
  kNotAFile,     // a directory, FIFO, socket or block device
  kTooLarge,     // more bytes than the caller takes
  kNotWritable,  // an existing file the user may not write
};

struct FileError {
  FileProblem problem = FileProblem::kNone;
  int error = 0;

  explicit operator bool() const { return problem != FileProblem::kNone; }
  static FileError System(int error) { return {FileProblem::kSystem, error}; }
};

// Writes all of `content` to `fd`, going on after interruptions; on failure errno is set too.
FileError WriteAll(int fd, std::string_view content);

// One line for the user, without the file's name.
std::string DescribeFileError(const FileError& error);

struct FileContent {
  std::string bytes;
  FileError error;
};

enum class Devices : uint8_t { kRefused, kAccepted };
// What a file longer than the reader takes gives: kTooLarge, or its first maxSize bytes.
enum class Overflow : uint8_t { kTooLarge, kCut };

// The whole of a regular file, or, when `devices` accepts them, of a character device that ends
// (/dev/null, a sysfs attribute behind a device node). Anything else is refused without being
// read, and nothing waits: a FIFO without a writer or a device without data fails at once. More
// than maxSize bytes is kTooLarge, whether the size says so before reading or the reading finds
// it (a device that never ends), unless `overflow` cuts it there.
FileContent ReadInputFile(const std::string& path, size_t maxSize, Devices devices = Devices::kAccepted,
                          Overflow overflow = Overflow::kTooLarge);

// The file a name finally reaches, every link resolved; the name itself when it reaches nothing.
std::string ResolvedPath(const std::string& path);
// Whether two names reach one file (a link, a hard link, another spelling); names of files that
// do not exist yet are compared as the paths they would be created at.
bool SameFile(const std::string& a, const std::string& b);

// Puts `content` at `path` through a temporary file beside it: every write checked, flushed to
// the disk, then renamed over the target and the folder flushed. An existing target keeps its
// mode; one the user may not write, or one that is not a regular file, is refused untouched. A
// symbolic link is followed, so the link stays and its target gets the content.
FileError WriteFileAtomically(const std::string& path, std::string_view content);

}  // namespace tolvex
