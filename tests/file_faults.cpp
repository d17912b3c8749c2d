#include "file_faults.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace tolvex::test {

SmallTmpfs::SmallTmpfs(const std::string& folder, int kib) : folder_(folder) {
  const std::string options = "size=" + std::to_string(kib) + "k,mode=0777";
  mounted_ = ::mount("tmpfs", folder.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0;
}

SmallTmpfs::~SmallTmpfs() {
  if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
}

void SmallTmpfs::Fill() const {
  const int fd = ::open((folder_ + "/filler").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
  if (fd < 0) return;
  const std::string block(512, 'f');
  for (size_t size = block.size(); size > 0; size /= 2) {
    while (::write(fd, block.data(), size) == static_cast<ssize_t>(size)) {
    }
  }
  ::close(fd);
}

FileSizeLimit::FileSizeLimit(rlim_t bytes) {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGXFSZ, &ignore, &keptAction_);
  ::getrlimit(RLIMIT_FSIZE, &kept_);
  struct rlimit limit = kept_;
  limit.rlim_cur = bytes;
  ::setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
  ::setrlimit(RLIMIT_FSIZE, &kept_);
  ::sigaction(SIGXFSZ, &keptAction_, nullptr);
}

int RunAsNobody(const std::function<int()>& body, std::string* output) {
  constexpr uid_t kNobody = 65534;
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return 77;
  const pid_t child = ::fork();
  if (child < 0) return 77;
  if (child == 0) {
    ::close(pipeFds[0]);
    ::dup2(pipeFds[1], STDERR_FILENO);
    if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
      ::_exit(77);
    }
    if (::geteuid() == 0) ::_exit(77);
    ::_exit(body());
  }
  ::close(pipeFds[1]);
  char buffer[512];
  for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;) {
    if (output) output->append(buffer, static_cast<size_t>(n));
  }
  ::close(pipeFds[0]);
  int status = 0;
  if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

}  // namespace tolvex::test
