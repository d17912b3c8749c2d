// Keeping what an EEPROM held before a write replaces it: the whole EDID as read, raw, in a file
// of its own under the user's state folder, named after the time and the monitor. A backup is
// written whole or not at all and never replaces another file.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "model/edid_block.h"

namespace tolvex {

// Who a base block says the monitor is.
struct MonitorIdentity {
  std::string manufacturer;  // three letters
  uint16_t productCode = 0;
  uint32_t serialNumber = 0;
  std::string name;  // the monitor name descriptor's text; empty without one

  bool SameMonitor(const MonitorIdentity& other) const {
    return manufacturer == other.manufacturer && productCode == other.productCode && serialNumber == other.serialNumber;
  }
  bool SameModel(const MonitorIdentity& other) const {
    return manufacturer == other.manufacturer && productCode == other.productCode;
  }
};

// Whether a base block is an EDID: its header and its checksum right.
bool HoldsEdid(const EdidBytes& base);
// Who the block says the monitor is, whether it is an EDID or not.
MonitorIdentity IdentityOf(const EdidBytes& base);
// "TLV 0x0301, serial 0x00012345, "TOLVEX SIM17"", for the user.
std::string DescribeMonitor(const MonitorIdentity& monitor);

// Bytes an EEPROM holds when nothing was ever written to it: all 0xFF, or all 0x00.
bool IsBlankEeprom(std::span<const uint8_t> bytes);

// Where backups go: TOLVEX_BACKUP_DIR when it is set, else the folder the settings name, else
// $XDG_STATE_HOME/tolvex/backups when that is an absolute path, else ~/.local/state/tolvex/backups.
// Empty when none can be found.
struct BackupEnvironment {
  std::string backupDir;     // TOLVEX_BACKUP_DIR
  std::string xdgStateHome;  // XDG_STATE_HOME
  std::string home;          // HOME
};
BackupEnvironment ProcessBackupEnvironment();
std::string BackupFolder(const BackupEnvironment& environment, const std::string& configured = {});

// "20261209-142530-TLV-0301-00012345.bin" in local time; a block that is no EDID is "unknown".
// Only letters, digits and '-' come from the bytes, so nothing in them can reach another folder.
std::string BackupFileName(std::time_t time, const EdidBytes& base);

struct BackupResult {
  std::string path;   // the file written; empty when nothing was
  std::string error;  // why the backup could not be kept; empty on success
  bool blank = false;  // the EEPROM was blank: nothing to keep
};

// Saves `bytes` (base block first) into `folder`, creating it (mode 0700) where it is missing.
// A name already taken gets -2, -3, ... before its extension.
BackupResult SaveEdidBackup(const std::string& folder, const std::vector<uint8_t>& bytes, std::time_t time);

}  // namespace tolvex
