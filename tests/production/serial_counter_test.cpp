#include "production/serial_counter.h"

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "test_support.h"

namespace tolvex {
namespace {

namespace fs = std::filesystem;

class SerialCounterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tolvex-counter-test-" + std::to_string(getpid()));
    fs::create_directories(dir_);
    path_ = (dir_ / "serial.counter").string();
  }
  void TearDown() override { fs::remove_all(dir_); }
  void Put(const std::string& content) { std::ofstream(path_, std::ios::binary) << content; }

  fs::path dir_;
  std::string path_;
};

TEST_F(SerialCounterTest, ReadsADecimalNumberAndNothingElse) {
  struct Row {
    const char* content;
    bool ok;
    uint64_t number;
  };
  const Row rows[] = {
      {"1000\n", true, 1000},  {" 42 \r\n", true, 42}, {"18446744073709551615", true, UINT64_MAX},
      {"", false, 0},          {"-1\n", false, 0},     {"12a\n", false, 0},
      {"0x10\n", false, 0},    {"1 2\n", false, 0},    {"18446744073709551616\n", false, 0},
  };
  for (const Row& row : rows) {
    Put(row.content);
    uint64_t number = 0;
    std::string error;
    EXPECT_EQ(SerialCounter::Read(path_, number, error), row.ok) << row.content;
    if (row.ok) {
      EXPECT_EQ(number, row.number) << row.content;
    } else {
      EXPECT_NE(error.find(path_), std::string::npos) << error;
    }
  }
}

TEST_F(SerialCounterTest, AMissingCounterIsNeverStartedAfresh) {
  SerialCounter counter(path_);
  uint64_t number = 0;
  std::string error;
  EXPECT_EQ(counter.Lock(number, error), SerialCounter::Take::kFailed);
  EXPECT_NE(error.find("no such counter file"), std::string::npos) << error;
  EXPECT_FALSE(fs::exists(path_));
  EXPECT_FALSE(fs::exists(counter.LockPath())) << "no lock file beside a mistyped name";
}

TEST_F(SerialCounterTest, ReservesAndGivesBackOnlyWhenToldAndReplacesTheFileWhole) {
  Put("41\n");
  fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  SerialCounter counter(path_);
  uint64_t number = 0;
  std::string error;

  ASSERT_EQ(counter.Lock(number, error), SerialCounter::Take::kTaken) << error;
  EXPECT_EQ(number, 41u);
  counter.Unlock();  // a failed unit
  EXPECT_EQ(test::ReadFile(path_), "41\n");

  ASSERT_EQ(counter.Lock(number, error), SerialCounter::Take::kTaken) << error;
  ASSERT_TRUE(counter.Reserve(error)) << error;
  EXPECT_EQ(test::ReadFile(path_), "42\n") << "reserved while the unit is programmed";
  ASSERT_TRUE(counter.GiveBack(error)) << error;  // it failed
  EXPECT_EQ(test::ReadFile(path_), "41\n");
  counter.Unlock();

  ASSERT_EQ(counter.Lock(number, error), SerialCounter::Take::kTaken) << error;
  EXPECT_EQ(number, 41u);
  ASSERT_TRUE(counter.Reserve(error)) << error;
  counter.Unlock();
  EXPECT_EQ(test::ReadFile(path_), "42\n");
  EXPECT_EQ(fs::status(path_).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read)
      << "the new file keeps the counter's mode";
  int files = 0;
  for (const auto& entry : fs::directory_iterator(dir_)) files += entry.is_regular_file();
  EXPECT_EQ(files, 2) << "the counter and its lock file, no temporary left";

  Put("18446744073709551615\n");
  EXPECT_EQ(counter.Lock(number, error), SerialCounter::Take::kFailed) << "no number after the last";
}

TEST_F(SerialCounterTest, AWaitingProgramStopsWhenAsked) {
  Put("5\n");
  SerialCounter holder(path_);
  uint64_t number = 0;
  std::string error;
  ASSERT_EQ(holder.Lock(number, error), SerialCounter::Take::kTaken);
  SerialCounter waiter(path_);
  int asked = 0;
  EXPECT_EQ(waiter.Lock(number, error, [&] { return ++asked == 3; }), SerialCounter::Take::kStopped);
  EXPECT_EQ(asked, 3) << "it waited while the other held the counter";
}

// Both processes take numbers as fast as they can; without the lock they would read the same
// number between one's read and the other's rename.
TEST_F(SerialCounterTest, TwoProcessesNeverShareANumber) {
  constexpr int kTakesEach = 50;
  Put("1000\n");
  const fs::path numbers[2] = {dir_ / "a.txt", dir_ / "b.txt"};
  pid_t children[2];
  for (int child = 0; child < 2; ++child) {
    children[child] = fork();
    ASSERT_GE(children[child], 0);
    if (children[child] == 0) {
      std::ofstream out(numbers[child]);
      SerialCounter counter(path_);
      for (int i = 0; i < kTakesEach; ++i) {
        uint64_t number = 0;
        std::string error;
        if (counter.Lock(number, error) != SerialCounter::Take::kTaken || !counter.Reserve(error)) _exit(1);
        counter.Unlock();
        out << number << '\n';
      }
      out.close();
      _exit(out ? 0 : 1);
    }
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  std::set<uint64_t> taken;
  for (const fs::path& file : numbers) {
    std::ifstream in(file);
    for (uint64_t number; in >> number;) EXPECT_TRUE(taken.insert(number).second) << number << " handed out twice";
  }
  EXPECT_EQ(taken.size(), 2u * kTakesEach);
  EXPECT_EQ(test::ReadFile(path_), std::to_string(1000 + 2 * kTakesEach) + "\n");
}

}  // namespace
}  // namespace tolvex
