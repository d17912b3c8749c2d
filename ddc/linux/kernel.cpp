#include <deque>
#include <vector>

#include "ddc/linux/kernel.h"

namespace tolvex {

namespace {

// As the kernel's own limit on links followed in one lookup.
constexpr int kMaxLinks = 40;

}  // namespace

std::vector<std::string> PathComponents(const std::string& path) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

std::string JoinPath(const std::vector<std::string>& components) {
  std::string path;
  for (const std::string& part : components) path += "/" + part;
  return path.empty() ? "/" : path;
}

std::string ResolvePath(KernelFiles& files, const std::string& path) {
  return ResolvePathWith(path, true, [&files](const std::string& at) { return files.ReadLink(at); });
}

std::string ResolvePathWith(const std::string& path, bool followLast,
                            const std::function<std::optional<std::string>(const std::string&)>& linkAt) {
  std::vector<std::string> resolved;
  const std::vector<std::string> parts = PathComponents(path);
  std::deque<std::string> pending(parts.begin(), parts.end());
  int links = 0;
  while (!pending.empty()) {
    const std::string part = pending.front();
    pending.pop_front();
    if (part == ".") continue;
    if (part == "..") {
      if (!resolved.empty()) resolved.pop_back();
      continue;
    }
    resolved.push_back(part);
    if (pending.empty() && !followLast) break;
    const std::optional<std::string> target = linkAt(JoinPath(resolved));
    if (!target || ++links > kMaxLinks) continue;
    resolved.pop_back();
    if (!target->empty() && target->front() == '/') resolved.clear();
    const std::vector<std::string> replacement = PathComponents(*target);
    pending.insert(pending.begin(), replacement.begin(), replacement.end());
  }
  return JoinPath(resolved);
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ParentPath(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace tolvex
