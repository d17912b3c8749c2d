// Reading named files without blocking or growing without bound, and saving so that a failure at
// any step keeps the previous file byte for byte.
#include "util/file_io.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "file_faults.h"
#include "test_support.h"
#include "util/file_texts.h"

namespace tolvex {
namespace {

namespace fs = std::filesystem;

constexpr size_t kLimit = 1000;

class FileIoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tolvex-file-io-" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::string Write(const std::string& name, const std::string& content) const {
    std::ofstream(Path(name), std::ios::binary) << content;
    return Path(name);
  }
  // The folder holds exactly these names: no temporary file was left behind.
  std::vector<std::string> Names(const std::string& folder = {}) const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.empty() ? dir_ : fs::path(folder))) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path dir_;
};

// ---- Reading -------------------------------------------------------------------------------

TEST_F(FileIoTest, ReadsWhatEndsAndRefusesTheRestWithoutWaiting) {
  ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
  struct Case {
    const char* what;
    std::string path;
    FileProblem problem;
    int error;
    size_t size;
  };
  const Case cases[] = {
      {"regular file", Write("a", "hello"), FileProblem::kNone, 0, 5},
      {"exactly the limit", Write("b", std::string(kLimit, 'x')), FileProblem::kNone, 0, kLimit},
      {"one byte over", Write("c", std::string(kLimit + 1, 'x')), FileProblem::kTooLarge, 0, 0},
      {"device that ends", "/dev/null", FileProblem::kNone, 0, 0},
      {"device that never ends", "/dev/zero", FileProblem::kTooLarge, 0, 0},
      {"FIFO without a writer", Path("fifo"), FileProblem::kNotAFile, 0, 0},
      {"directory", dir_.string(), FileProblem::kSystem, EISDIR, 0},
      {"missing", Path("missing"), FileProblem::kSystem, ENOENT, 0},
  };
  for (const Case& c : cases) {
    const FileContent content = ReadInputFile(c.path, kLimit);
    EXPECT_EQ(content.error.problem, c.problem) << c.what;
    EXPECT_EQ(content.error.error, c.error) << c.what;
    EXPECT_EQ(content.bytes.size(), c.size) << c.what;
  }
  EXPECT_EQ(ReadInputFile("/dev/null", kLimit, Devices::kRefused).error.problem, FileProblem::kNotAFile);
  EXPECT_EQ(DescribeFileError({FileProblem::kNotAFile, 0}), file_texts::kNotAFile);
  EXPECT_EQ(DescribeFileError(FileError::System(EISDIR)), "Is a directory");
}

// ---- Writing -------------------------------------------------------------------------------

TEST_F(FileIoTest, ReplacesKeepingTheModeAndFollowingALink) {
  const std::string target = Write("report.ddc", "old");
  ASSERT_EQ(chmod(target.c_str(), 0640), 0);
  fs::create_symlink(target, Path("link.ddc"));

  ASSERT_FALSE(WriteFileAtomically(Path("link.ddc"), "new\r\n"));
  EXPECT_EQ(test::ReadFile(target), "new\r\n");
  EXPECT_TRUE(fs::is_symlink(Path("link.ddc")));
  EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, fs::perms(0640));

  const mode_t kept = umask(027);
  ASSERT_FALSE(WriteFileAtomically(Path("fresh.ddc"), ""));
  umask(kept);
  EXPECT_EQ(fs::status(Path("fresh.ddc")).permissions() & fs::perms::all, fs::perms(0640));
  EXPECT_EQ(Names(), (std::vector<std::string>{"fresh.ddc", "link.ddc", "report.ddc"}));
}

TEST_F(FileIoTest, RefusesWhatIsNotARegularFileUntouched) {
  ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
  EXPECT_EQ(WriteFileAtomically(Path("fifo"), "x").problem, FileProblem::kNotAFile);
  EXPECT_TRUE(fs::is_fifo(Path("fifo")));
  EXPECT_EQ(WriteFileAtomically(dir_.string(), "x").error, EISDIR);
  EXPECT_EQ(WriteFileAtomically(Path("no/folder/x"), "x").error, ENOENT);
  EXPECT_EQ(Names(), std::vector<std::string>{"fifo"});
}

TEST_F(FileIoTest, AReadOnlyFileStaysForAnOrdinaryUser) {
  const std::string target = Write("kept.ddc", "previous");
  ASSERT_EQ(chmod(target.c_str(), 0444), 0);
  ASSERT_EQ(chmod(dir_.c_str(), 0777), 0);
  const int status = test::RunAsNobody([&] {
    const FileError error = WriteFileAtomically(target, "replacement");
    return error.problem == FileProblem::kNotWritable ? 0 : 1;
  });
  if (status == 77) GTEST_SKIP() << "cannot drop root privilege here";
  EXPECT_EQ(status, 0);
  EXPECT_EQ(test::ReadFile(target), "previous");
  EXPECT_EQ(Names(), std::vector<std::string>{"kept.ddc"});
}

TEST_F(FileIoTest, AFullFileSystemKeepsThePreviousFile) {
  const std::string folder = Path("small");
  fs::create_directories(folder);
  test::SmallTmpfs tmpfs(folder, 64);
  if (!tmpfs.Mounted()) GTEST_SKIP() << "cannot mount a tmpfs here";
  const std::string target = folder + "/report.ddc";
  const std::string previous(20000, 'p');
  ASSERT_FALSE(WriteFileAtomically(target, previous));
  tmpfs.Fill();

  const FileError error = WriteFileAtomically(target, std::string(30000, 'n'));
  EXPECT_EQ(error.problem, FileProblem::kSystem);
  EXPECT_EQ(error.error, ENOSPC);
  EXPECT_EQ(test::ReadFile(target), previous);
  EXPECT_EQ(Names(folder), (std::vector<std::string>{"filler", "report.ddc"}));
}

TEST_F(FileIoTest, AFileSizeLimitKeepsThePreviousFile) {
  const std::string target = Write("report.ddc", std::string(5000, 'p'));
  FileError error;
  {
    test::FileSizeLimit limit(4096);
    error = WriteFileAtomically(target, std::string(8000, 'n'));
  }
  EXPECT_EQ(error.error, EFBIG);
  EXPECT_EQ(test::ReadFile(target), std::string(5000, 'p'));
  EXPECT_EQ(Names(), std::vector<std::string>{"report.ddc"});
}

}  // namespace
}  // namespace tolvex
