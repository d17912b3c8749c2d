#include "ddc/edid_backup.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "ddc/ddc_texts.h"
#include "ddc/format_text.h"
#include "model/edid_extensions.h"
#include "util/file_io.h"

namespace tolvex {

namespace {

constexpr int kDescriptorStart = 54;
constexpr int kDescriptorSize = 18;
constexpr int kDescriptorCount = 4;
constexpr int kDescriptorTextStart = 5;
// More backups of one monitor within one second than this is a loop gone wrong, not a user.
constexpr int kMaxNameSuffix = 1000;

std::string ManufacturerLetters(const EdidBytes& base) {
  const int code = (base[8] << 8) | base[9];
  std::string letters;
  for (const int shift : {10, 5, 0}) {
    const int value = (code >> shift) & 0x1F;
    letters += value >= 1 && value <= 26 ? static_cast<char>('A' + value - 1) : '?';
  }
  return letters;
}

std::string MonitorNameOf(const EdidBytes& base) {
  for (int d = 0; d < kDescriptorCount; ++d) {
    const uint8_t* descriptor = base.data() + kDescriptorStart + d * kDescriptorSize;
    if (descriptor[0] || descriptor[1] || descriptor[2] || descriptor[3] != kTagMonitorName) continue;
    std::string name;
    for (int i = kDescriptorTextStart; i < kDescriptorSize && descriptor[i] != '\n'; ++i) {
      name += descriptor[i] >= 0x20 && descriptor[i] < 0x7F ? static_cast<char>(descriptor[i]) : '?';
    }
    while (!name.empty() && name.back() == ' ') name.pop_back();
    return name;
  }
  return {};
}

// Letters and digits stay; anything else (a path separator, a control character) becomes '_'.
std::string NamePart(std::string_view text) {
  std::string part;
  for (const char c : text) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    part += plain ? c : '_';
  }
  return part;
}

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// Each missing folder on the way is made private to the user, as the state folder should be.
std::string MakeFolders(const std::string& folder) {
  for (size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
    const std::string prefix = folder.substr(0, end);
    if (!prefix.empty() && ::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return std::strerror(errno);
    if (end == std::string::npos) break;
  }
  struct stat info {};
  if (::stat(folder.c_str(), &info) != 0) return std::strerror(errno);
  if (!S_ISDIR(info.st_mode)) return std::strerror(ENOTDIR);
  return {};
}

// The name is ours once the empty file is created; the content then replaces it in one rename.
std::string ClaimName(const std::string& folder, const std::string& name, std::string& path) {
  const size_t dot = name.rfind('.');
  for (int suffix = 1; suffix <= kMaxNameSuffix; ++suffix) {
    path = folder + "/" + (suffix == 1 ? name : name.substr(0, dot) + "-" + std::to_string(suffix) + name.substr(dot));
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
      ::close(fd);
      return {};
    }
    if (errno != EEXIST) return std::strerror(errno);
  }
  return std::strerror(EEXIST);
}

}  // namespace

bool HoldsEdid(const EdidBytes& base) {
  return std::equal(kEdidHeader.begin(), kEdidHeader.end(), base.begin()) && IsChecksumRight(base);
}

MonitorIdentity IdentityOf(const EdidBytes& base) {
  MonitorIdentity monitor;
  monitor.manufacturer = ManufacturerLetters(base);
  monitor.productCode = static_cast<uint16_t>(base[10] | (base[11] << 8));
  monitor.serialNumber = static_cast<uint32_t>(base[12] | (base[13] << 8) | (base[14] << 16)) |
                         (static_cast<uint32_t>(base[15]) << 24);
  monitor.name = MonitorNameOf(base);
  return monitor;
}

std::string DescribeMonitor(const MonitorIdentity& monitor) {
  std::string text = FormatText(texts::kMonitorIdentity, monitor.manufacturer.c_str(), monitor.productCode,
                                monitor.serialNumber);
  if (!monitor.name.empty()) text += FormatText(texts::kMonitorNamed, monitor.name.c_str());
  return text;
}

bool IsBlankEeprom(std::span<const uint8_t> bytes) {
  const auto all = [&](uint8_t value) { return std::all_of(bytes.begin(), bytes.end(), [&](uint8_t b) { return b == value; }); };
  return all(0xFF) || all(0x00);
}

BackupEnvironment ProcessBackupEnvironment() {
  return {Environment("TOLVEX_BACKUP_DIR"), Environment("XDG_STATE_HOME"), Environment("HOME")};
}

std::string BackupFolder(const BackupEnvironment& environment, const std::string& configured) {
  if (!environment.backupDir.empty()) return environment.backupDir;
  if (!configured.empty()) return configured;
  if (!environment.xdgStateHome.empty() && environment.xdgStateHome.front() == '/') {
    return environment.xdgStateHome + "/tolvex/backups";
  }
  if (environment.home.empty()) return {};
  return environment.home + "/.local/state/tolvex/backups";
}

std::string BackupFileName(std::time_t time, const EdidBytes& base) {
  std::tm local{};
  localtime_r(&time, &local);
  char stamp[32];
  const size_t length = std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  std::string name(stamp, length);
  if (HoldsEdid(base)) {
    const MonitorIdentity monitor = IdentityOf(base);
    name += "-" + NamePart(monitor.manufacturer) + FormatText("-%04X-%08X", monitor.productCode, monitor.serialNumber);
  } else {
    name += "-unknown";
  }
  return name + ".bin";
}

BackupResult SaveEdidBackup(const std::string& folder, const std::vector<uint8_t>& bytes, std::time_t time) {
  BackupResult result;
  if (IsBlankEeprom(bytes)) {
    result.blank = true;
    return result;
  }
  if (folder.empty()) {
    result.error = texts::kNoBackupFolder;
    return result;
  }
  if (const std::string problem = MakeFolders(folder); !problem.empty()) {
    result.error = FormatText(texts::kBackupFileError, folder.c_str(), problem.c_str());
    return result;
  }
  EdidBytes base{};
  std::copy_n(bytes.begin(), std::min<size_t>(bytes.size(), kEdidSize), base.begin());
  std::string path;
  if (const std::string problem = ClaimName(folder, BackupFileName(time, base), path); !problem.empty()) {
    result.error = FormatText(texts::kBackupFileError, path.c_str(), problem.c_str());
    return result;
  }
  const std::string_view content(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (const FileError error = WriteFileAtomically(path, content)) {
    ::unlink(path.c_str());
    result.error = FormatText(texts::kBackupFileError, path.c_str(), DescribeFileError(error).c_str());
    return result;
  }
  result.path = path;
  return result;
}

}  // namespace tolvex
