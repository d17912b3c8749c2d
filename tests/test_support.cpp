#include "test_support.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace tolvex::test {

EdidBlock::DateSource FixedDate(int year, int month, int day) {
  return [=] { return CalendarDate{year, month, day}; };
}

std::filesystem::path SampleDir() {
  std::filesystem::path dir;
  if (const char* env = std::getenv("TOLVEX_EDID_SAMPLES")) {
    dir = env;
  } else {
    dir = TOLVEX_SAMPLE_DIR;
  }
  std::error_code ec;
  return std::filesystem::is_directory(dir, ec) ? dir : std::filesystem::path();
}

std::vector<std::filesystem::path> SampleFiles() {
  std::vector<std::filesystem::path> files;
  const auto dir = SampleDir();
  if (dir.empty()) return files;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (entry.path().extension() == ".bin" && entry.file_size() >= kEdidSize) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

EdidBytes ReadSample(const std::filesystem::path& path) {
  const std::string data = ReadFile(path);
  EdidBytes bytes{};
  std::copy_n(data.begin(), std::min<size_t>(data.size(), kEdidSize), bytes.begin());
  return bytes;
}

std::string Lines(std::initializer_list<const char*> lines) {
  std::string text;
  for (const char* line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

}  // namespace tolvex::test
