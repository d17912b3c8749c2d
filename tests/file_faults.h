// Ways to make writing a file fail for real, for the tests of saving: a full file system, a
// file-size limit, and an ordinary user who may not write where root may.
#pragma once

#include <sys/resource.h>

#include <csignal>
#include <functional>
#include <string>

namespace tolvex::test {

// A tmpfs of `kib` KiB mounted on `folder` (which must exist) for the object's lifetime. Mounting
// needs privilege; Mounted() says whether it worked, and a test skips when it did not.
class SmallTmpfs {
 public:
  SmallTmpfs(const std::string& folder, int kib);
  ~SmallTmpfs();
  SmallTmpfs(const SmallTmpfs&) = delete;
  SmallTmpfs& operator=(const SmallTmpfs&) = delete;

  bool Mounted() const { return mounted_; }
  // Writes a filler file until the file system is full.
  void Fill() const;

 private:
  std::string folder_;
  bool mounted_ = false;
};

// Files this process writes stop growing at `bytes`; SIGXFSZ is ignored, so the write that
// crosses the limit fails with EFBIG instead of ending the process. Both are restored after.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes);
  ~FileSizeLimit();
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  struct rlimit kept_ {};
  struct sigaction keptAction_ {};
};

// Runs `body` in a child process as the user "nobody" and returns its exit status; 77 when the
// privileges cannot be dropped (the caller skips then). Output goes to `output` when given.
int RunAsNobody(const std::function<int()>& body, std::string* output = nullptr);

}  // namespace tolvex::test
