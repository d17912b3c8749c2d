// The log of a production line: one CSV line per unit attempted, appended and flushed to the disk
// before the next unit starts. Existing lines are never touched; a new (or empty) file first gets
// the header line. A line goes in whole or not at all, and on a line of its own even after a
// file that ends in a fragment. Several programs may append to one log: each line goes out in
// one write under a lock on the file.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "ddc/edid_transfer.h"

namespace tolvex {

struct UnitRecord {
  std::time_t time = 0;
  std::string channel;   // "Black Box", ... or the kernel bus's adapter
  std::string bus;       // the port, or the device node
  std::string protocol;  // "DDC2B", ...
  std::string serialText;
  uint64_t serialNumber = 0;
  uint8_t checksum = 0;
  bool verified = false;
  std::string result;                        // "verified", or the error's caption and message
  std::string help;                          // what the error means (shown, not logged)
  std::vector<ByteDifference> differences;  // of a failed verify
  std::string backup;                        // where the unit's old EDID was kept, if anywhere
};

// The local time with its offset from UTC, "2024-03-05T14:03:22+01:00".
std::string IsoLocalTime(std::time_t time);
// The line of one record, ending in a line feed; fields with commas, quotes or line ends are quoted.
// Without `backupColumn`, the line of a log begun before the backup column was added.
std::string FormatLogLine(const UnitRecord& record, bool backupColumn = true);

class ProductionLog {
 public:
  explicit ProductionLog(std::string path) : path_(std::move(path)) {}

  // False with the reason in `error`.
  bool Append(const UnitRecord& record, std::string& error);
  // Whether lines can be appended (a missing log is created empty, to get its header with the
  // first line); false with the reason in `error`.
  bool CheckWritable(std::string& error) const;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace tolvex
