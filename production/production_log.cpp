#include "production/production_log.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <span>

#include "ddc/format_text.h"
#include "util/file_io.h"
#include "production/production_texts.h"

namespace tolvex {

namespace {

// A message may span lines (a kernel's detail under the status); a log line may not.
std::string CsvField(std::string_view text) {
  std::string flat;
  for (char c : text) {
    if (c == '\r') continue;
    flat += c == '\n' ? ' ' : c;
  }
  if (flat.find_first_of(",\"") == std::string::npos) return flat;
  std::string quoted = "\"";
  for (char c : flat) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

// "0C:2A>FF": the offset, what was written, what came back.
std::string FormatDifferences(const std::vector<ByteDifference>& differences) {
  std::string text;
  for (const ByteDifference& d : differences) {
    if (!text.empty()) text += ' ';
    text += FormatText("%02X:%02X>%02X", d.offset, d.expected, d.read);
  }
  return text;
}

}  // namespace

std::string IsoLocalTime(std::time_t time) {
  std::tm local{};
  localtime_r(&time, &local);
  char stamp[40];
  const size_t length = std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S%z", &local);
  std::string text(stamp, length);
  if (text.size() >= 5) text.insert(text.size() - 2, ":");  // +0100 becomes +01:00
  return text;
}

std::string FormatLogLine(const UnitRecord& record, bool backupColumn) {
  const std::string fields[] = {
      IsoLocalTime(record.time),
      CsvField(record.channel),
      CsvField(record.bus),
      CsvField(record.protocol),
      CsvField(record.serialText),
      std::to_string(record.serialNumber),
      FormatText("0x%02X", record.checksum),
      record.verified ? production_texts::kPass : production_texts::kFail,
      CsvField(record.result),
      FormatDifferences(record.differences),
      CsvField(record.backup),
  };
  std::string line;
  for (const std::string& field : std::span(fields).first(std::size(fields) - (backupColumn ? 0 : 1))) {
    line += (line.empty() ? "" : ",") + field;
  }
  return line + '\n';
}

namespace {

// Whether the file's last byte ends a line (an empty file does): a record torn by someone else
// must not swallow the next one.
bool EndsInLineBreak(int fd, off_t size) {
  char last = '\n';
  return size == 0 || ::pread(fd, &last, 1, size - 1) != 1 || last == '\n';
}

// Whether the log begins with the header of the days before the backup column: its records keep
// the columns its header names, so that a reader of the file finds as many fields on every line.
bool HasEarlierHeader(int fd) {
  const std::string_view header = production_texts::kLogHeader;
  const std::string earlier = std::string(header.substr(0, header.rfind(production_texts::kLogBackupColumn))) + '\n';
  std::string start(earlier.size(), '\0');
  return ::pread(fd, start.data(), start.size(), 0) == static_cast<ssize_t>(start.size()) && start == earlier;
}

// Empty when the text is on the disk; otherwise why not. A record goes in whole or not at all: a
// failed write (a full disk) is cut off again, so the file still ends where it did.
std::string AppendLocked(int fd, const UnitRecord& record) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return std::strerror(errno);
  if (!S_ISREG(info.st_mode)) return production_texts::kNotARegularFile;
  // The header goes in by whichever program finds the file empty under the lock.
  if (::flock(fd, LOCK_EX) != 0 || ::fstat(fd, &info) != 0) return std::strerror(errno);
  std::string text = info.st_size == 0 ? std::string(production_texts::kLogHeader) : std::string();
  if (!EndsInLineBreak(fd, info.st_size)) text += '\n';
  text += FormatLogLine(record, info.st_size == 0 || !HasEarlierHeader(fd));
  if (!WriteAll(fd, text) && ::fsync(fd) == 0) return {};
  const int failure = errno;
  (void)!::ftruncate(fd, info.st_size);
  (void)::fsync(fd);
  return std::strerror(failure);
}

}  // namespace

bool ProductionLog::CheckWritable(std::string& error) const {
  const int fd = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
  struct stat info {};
  std::string problem;
  if (fd < 0 || ::fstat(fd, &info) != 0) {
    problem = std::strerror(errno);
  } else if (!S_ISREG(info.st_mode)) {
    problem = production_texts::kNotARegularFile;
  }
  if (fd >= 0) ::close(fd);
  if (problem.empty()) return true;
  error = FormatText(production_texts::kLogError, path_.c_str(), problem.c_str());
  return false;
}

bool ProductionLog::Append(const UnitRecord& record, std::string& error) {
  // Read access too, where the user has it: the last byte says whether the file ends a line.
  int fd = ::open(path_.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd < 0 && errno == EACCES) fd = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NONBLOCK);
  const std::string problem = fd < 0 ? std::strerror(errno) : AppendLocked(fd, record);
  if (fd >= 0) ::close(fd);
  if (problem.empty()) return true;
  error = FormatText(production_texts::kLogError, path_.c_str(), problem.c_str());
  return false;
}

}  // namespace tolvex
