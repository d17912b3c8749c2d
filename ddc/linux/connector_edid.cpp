#include "ddc/linux/connector_edid.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "ddc/format_text.h"
#include "ddc/linux/kernel.h"
#include "ddc/linux/linux_texts.h"
#include "util/file_io.h"

namespace tolvex {

namespace {

namespace fs = std::filesystem;

// "card0-HDMI-A-1" as card 0 and "HDMI-A-1"; card -1 when the name has no card.
struct ConnectorName {
  int card = -1;
  std::string connector;
};

ConnectorName SplitConnector(const std::string& name) {
  ConnectorName split{-1, name};
  const size_t dash = name.find('-');
  if (name.rfind("card", 0) != 0 || dash == std::string::npos || dash == 4 || dash + 1 == name.size()) return split;
  const std::string digits = name.substr(4, dash - 4);
  if (digits.size() > 6 || digits.find_first_not_of("0123456789") != std::string::npos) return split;
  return {std::stoi(digits), name.substr(dash + 1)};
}

// The PCI address newer kernels name the card's debugfs folder after: the device above cardN.
std::string CardDeviceName(const ConnectorRoots& roots, int card) {
  std::error_code failed;
  const fs::path resolved = fs::canonical(roots.sysfs + "/class/drm/card" + std::to_string(card), failed);
  return failed ? std::string() : resolved.parent_path().parent_path().filename().string();
}

bool Exists(const std::string& path) {
  std::error_code failed;
  return fs::exists(path, failed);
}

// One write() of everything: the kernel takes the override from a single write.
std::string WriteOnce(const std::string& path, const void* data, size_t size, const std::string& rootCommand) {
  const int fd = open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);  // as a shell's echo does
  if (fd < 0) {
    const int error = errno;
    if (error == EACCES || error == EPERM) return FormatText(texts::kDebugfsDenied, path.c_str(), rootCommand.c_str());
    return FormatText(texts::kOverrideFailed, path.c_str(), std::strerror(error));
  }
  const ssize_t written = write(fd, data, size);
  const int error = written < 0 ? errno : EIO;
  const bool closed = close(fd) == 0;
  if (written != static_cast<ssize_t>(size) || !closed) {
    return FormatText(texts::kOverrideFailed, path.c_str(), std::strerror(written == static_cast<ssize_t>(size) ? errno : error));
  }
  return {};
}

bool ValidFirmwareName(const std::string& name) {
  return !name.empty() && name.front() != '.' && name.size() <= 200 &&
         std::all_of(name.begin(), name.end(), [](char c) {
           return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                  c == '_' || c == '.';
         });
}

// The initramfs tools by the configuration each keeps, the first found decides.
struct InitramfsTool {
  const char* marker;  // below ROOT
  const char* step;    // takes the file's name twice
};
constexpr InitramfsTool kInitramfsTools[] = {
    {"/etc/mkinitcpio.conf", texts::kInitramfsMkinitcpio},
    {"/etc/dracut.conf.d", texts::kInitramfsDracut},
    {"/etc/dracut.conf", texts::kInitramfsDracut},
    {"/etc/initramfs-tools", texts::kInitramfsTools},
};

}  // namespace

std::string KernelConnectorName(const std::string& connector) { return SplitConnector(connector).connector; }

std::string EdidOverridePath(KernelFiles& files, const ConnectorRoots& roots, const std::string& connector) {
  const ConnectorName name = SplitConnector(connector);
  const auto path = [&](const std::string& card) {
    return roots.debugfs + "/dri/" + card + "/" + name.connector + "/edid_override";
  };
  const std::string byNumber = path(std::to_string(name.card));
  if (files.Exists(byNumber)) return byNumber;
  // The card's link ends in .../PCI-ADDRESS/drm/cardN, as CardDeviceName reads it.
  const std::string link = files.ReadLink(roots.sysfs + "/class/drm/card" + std::to_string(name.card)).value_or("");
  const fs::path device = fs::path(link).parent_path().parent_path().filename();
  if (!device.empty() && files.Exists(path(device.string()))) return path(device.string());
  return byNumber;
}

std::string EdidFirmwarePath(const std::string& root, const std::string& name) {
  return root + "/lib/firmware/edid/" + name + ".bin";
}

std::string EdidFirmwareParameter(const std::string& name) {
  return FormatText(texts::kFirmwareParameterValue, KernelConnectorName(name).c_str(), name.c_str());
}

std::string ApplyEdidOverride(const ConnectorRoots& roots, const ApplyRequest& request, std::string& done) {
  const ConnectorName name = SplitConnector(request.connector);
  DIR* debugfs = opendir(roots.debugfs.c_str());
  if (!debugfs && (errno == EACCES || errno == EPERM)) {
    return FormatText(texts::kDebugfsDenied, roots.debugfs.c_str(), request.rootCommand.c_str());
  }
  if (debugfs) closedir(debugfs);
  if (!debugfs || !Exists(roots.debugfs + "/dri")) {
    return FormatText(texts::kDebugfsMissing, roots.debugfs.c_str(), request.rootCommand.c_str());
  }
  const std::string device = CardDeviceName(roots, name.card);
  std::string target;
  for (const std::string& card : {std::to_string(name.card), device}) {
    const std::string candidate = roots.debugfs + "/dri/" + card + "/" + name.connector + "/edid_override";
    if (!card.empty() && Exists(candidate)) {
      target = candidate;
      break;
    }
  }
  if (target.empty()) {
    return FormatText(texts::kNoOverride, request.connector.c_str(), roots.debugfs.c_str(), name.card,
                      device.empty() ? "PCI-ADDRESS" : device.c_str());
  }
  static constexpr char kReset[] = "reset";
  const bool reset = request.edid.empty();
  if (std::string failed = reset ? WriteOnce(target, kReset, std::strlen(kReset), request.rootCommand)
                                 : WriteOnce(target, request.edid.data(), request.edid.size(), request.rootCommand);
      !failed.empty()) {
    return failed;
  }
  static constexpr char kDetect[] = "detect";
  const std::string status = roots.sysfs + "/class/drm/" + request.connector + "/status";
  if (std::string failed = WriteOnce(status, kDetect, std::strlen(kDetect), request.rootCommand); !failed.empty()) {
    return failed;
  }
  done = reset ? FormatText(texts::kOverrideReset, request.connector.c_str(), target.c_str())
               : FormatText(texts::kOverrideApplied, request.connector.c_str(), request.edid.size(), target.c_str());
  return {};
}

std::string InstallEdidFirmware(const std::string& root, const std::string& name, std::span<const uint8_t> edid,
                                std::vector<std::string>& lines) {
  if (!ValidFirmwareName(name)) return FormatText(texts::kBadFirmwareName, name.c_str());
  const std::string path = EdidFirmwarePath(root, name);
  const std::string folder = fs::path(path).parent_path().string();
  std::error_code failed;
  fs::create_directories(folder, failed);
  if (failed) return FormatText(texts::kOverrideFailed, folder.c_str(), failed.message().c_str());
  const std::string_view bytes(reinterpret_cast<const char*>(edid.data()), edid.size());
  if (const FileError error = WriteFileAtomically(path, bytes)) {
    return FormatText(texts::kOverrideFailed, path.c_str(), DescribeFileError(error).c_str());
  }
  lines.push_back(FormatText(texts::kFirmwareWritten, path.c_str()));
  lines.push_back(FormatText(texts::kFirmwareParameter, EdidFirmwareParameter(name).c_str()));
  const auto tool = std::find_if(std::begin(kInitramfsTools), std::end(kInitramfsTools),
                                 [&](const InitramfsTool& t) { return Exists(root + t.marker); });
  lines.push_back(tool == std::end(kInitramfsTools) ? FormatText(texts::kInitramfsNone, root.c_str())
                                                    : FormatText(tool->step, name.c_str(), name.c_str()));
  return {};
}

}  // namespace tolvex
