#include "test_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <fstream>
#include <iterator>
#include <sstream>

#include "ddc/sim/sim_edid.h"

namespace tolvex::test {

EdidBlock::DateSource FixedDate(int year, int month, int day) {
  return [=] { return CalendarDate{year, month, day}; };
}

namespace {

// The folder an environment variable names, else the build's default; empty when it is absent.
std::filesystem::path ExistingDir(const char* variable, const char* fallback) {
  const char* env = std::getenv(variable);
  const std::filesystem::path dir = env ? env : fallback;
  std::error_code ec;
  return std::filesystem::is_directory(dir, ec) ? dir : std::filesystem::path();
}

std::vector<std::filesystem::path> BinFiles(const std::filesystem::path& dir) {
  std::vector<std::filesystem::path> files;
  if (dir.empty()) return files;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (entry.path().extension() == ".bin" && entry.file_size() >= kEdidSize) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

std::filesystem::path SampleDir() { return ExistingDir("TOLVEX_EDID_SAMPLES", TOLVEX_SAMPLE_DIR); }

std::vector<std::filesystem::path> SampleFiles() { return BinFiles(SampleDir()); }

std::vector<std::filesystem::path> WholeEdidFiles() { return BinFiles(ExistingDir("TOLVEX_EDID_WHOLE", TOLVEX_WHOLE_DIR)); }

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string RunCommand(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::string out;
  if (!pipe) return out;
  char buffer[4096];
  while (size_t n = fread(buffer, 1, sizeof buffer, pipe.get())) out.append(buffer, n);
  return out;
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

namespace tolvex::test {

std::string EdidNamed(const char* name) {
  EdidBlock block(FixedDate(2024, 3, 1));
  sim::FillSimulatedEdid(block, false);
  block.SetManufacturerId("DEL");
  block.SelectDescriptor(1);
  block.SetDescriptorText(kTagMonitorName, name);
  block.UpdateChecksum();
  return std::string(block.Bytes().begin(), block.Bytes().end());
}

void BuildDesktopTree(sim::SimFiles& files) {
  sim::SysfsBuilder sysfs(files);
  const std::string intel = sysfs.PciDevice("0000:00:02.0", 0x030000);
  const std::string gmbus = sysfs.I2cAdapter(intel, 3, "i915 gmbus dpb");
  const std::string card0 = sysfs.DrmCard(intel, 0);
  const std::string hdmi = sysfs.Connector(card0, "HDMI-A-1", true, [] { return EdidNamed("DELL P2415Q"); });
  sysfs.DdcLink(hdmi, gmbus);
  const std::string dp = sysfs.Connector(card0, "DP-1", true, [] { return EdidNamed("DELL U2720Q"); });
  sysfs.I2cAdapter(dp, 5, "DPDDC-B");

  const std::string card = sysfs.PciDevice("0000:01:00.0", 0x030000);
  sysfs.I2cAdapter(card, 8, "NVIDIA i2c adapter 1 at 1:00.0");
  sysfs.I2cAdapter(card, 9, "NVIDIA i2c adapter 2 at 1:00.0");
  sysfs.Connector(sysfs.DrmCard(card, 1), "DP-2", true, [] { return EdidNamed("MATCHED"); });

  const std::string smbus = sysfs.I2cAdapter(sysfs.PciDevice("0000:00:1f.4", 0x0C0500), 0, "SMBus I801 adapter at efa0");
  sysfs.I2cClient(smbus, 0, 0x50, "ee1004", "ee1004");
  const std::string lpss = sysfs.PciDevice("0000:00:15.0", 0x118000);
  sysfs.I2cAdapter(lpss + "/i2c_designware.0", 1, "Synopsys DesignWare I2C adapter");
  const std::string usb = sysfs.UsbDevice(sysfs.PciDevice("0000:00:14.0", 0x0C0330), "usb1/1-2");
  sysfs.UsbIds(usb, 0x0403, 0xC631);
  sysfs.BindDriver(usb, "usb", "i2c-tiny-usb");
  sysfs.I2cAdapter(usb, 7, "i2c-tiny-usb at bus 001 device 003");
}

void WriteTree(const sim::SimFiles& files, const std::filesystem::path& root) {
  namespace fs = std::filesystem;
  for (const auto& [path, node] : files.Nodes()) {
    const fs::path target = root / path.substr(1);
    if (node.kind == sim::SimFiles::Node::kFolder) {
      fs::create_directories(target);
      continue;
    }
    fs::create_directories(target.parent_path());
    if (node.kind == sim::SimFiles::Node::kLink) {
      fs::create_symlink(node.content, target);
    } else {
      std::ofstream(target, std::ios::binary) << (node.source ? node.source() : node.content);
    }
  }
}

}  // namespace tolvex::test

namespace tolvex::test {
namespace {

// Every write a test makes keeps its backup in a folder of the test program's own, never in the
// user's state folder; a test that looks at backups names its own folder.
class PrivateBackupFolder {
 public:
  PrivateBackupFolder() {
    if (std::getenv("TOLVEX_BACKUP_DIR")) return;
    std::string folder = (std::filesystem::temp_directory_path() / "tolvex-test-backups.XXXXXX").string();
    if (!::mkdtemp(folder.data())) return;
    folder_ = folder;
    ::setenv("TOLVEX_BACKUP_DIR", folder_.c_str(), 1);
  }
  ~PrivateBackupFolder() {
    std::error_code ec;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ec);
  }
  PrivateBackupFolder(const PrivateBackupFolder&) = delete;
  PrivateBackupFolder& operator=(const PrivateBackupFolder&) = delete;

 private:
  std::string folder_;
};

const PrivateBackupFolder kPrivateBackupFolder;

}  // namespace
}  // namespace tolvex::test
