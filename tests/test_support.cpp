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

EdidBytes MakeCtaBlock() {
  EdidBytes block{};
  const uint8_t head[] = {
      0x02, 0x03, 0x00, 0xF1,      // tag, revision 3, DTD offset (below), underscan/audio/YCbCr, 1 native DTD
      0x44, 0x90, 0x04, 0x03, 0x02,  // video data block: VIC 16 (native), 4, 3, 2
      0x23, 0x09, 0x07, 0x07,        // audio data block: LPCM, 2 channels, 32-48 kHz, 16-24 bit
      0x65, 0x03, 0x0C, 0x00, 0x10, 0x00,  // HDMI vendor-specific block, physical address 1.0.0.0
  };
  std::copy(std::begin(head), std::end(head), block.begin());
  block[2] = sizeof head;
  const uint8_t timing[] = {0x02, 0x3A, 0x80, 0x18, 0x71, 0x38, 0x2D, 0x40, 0x58,
                            0x2C, 0x45, 0x00, 0x50, 0x1D, 0x74, 0x00, 0x00, 0x1E};
  std::copy(std::begin(timing), std::end(timing), block.begin() + sizeof head);
  block[127] = ComputeChecksum(block);
  return block;
}

EdidBytes MakeExtensionBlock(uint8_t tag, uint8_t seed) {
  EdidBytes block{};
  block[0] = tag;
  for (int i = 1; i < kEdidSize - 1; ++i) block[i] = static_cast<uint8_t>(seed + i);
  block[127] = ComputeChecksum(block);
  return block;
}

std::vector<uint8_t> MakeWholeEdid(EdidBytes base, const std::vector<EdidBytes>& extensions) {
  base[126] = static_cast<uint8_t>(extensions.size());
  base[127] = ComputeChecksum(base);
  std::vector<uint8_t> whole(base.begin(), base.end());
  for (const EdidBytes& block : extensions) whole.insert(whole.end(), block.begin(), block.end());
  return whole;
}

}  // namespace tolvex::test
