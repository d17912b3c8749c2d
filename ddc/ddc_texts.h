// The texts the DDC transport shows: captions, messages and progress, each a printf format
// where it carries values.
#pragma once

#include <cstdint>

namespace tolvex::texts {

// The I2C channels 0, 1 and 2.
inline constexpr const char* kChannelNames[] = {"Black Box", "Service Kit", "S3 ViRGE card"};

// Shown on every probe of the S3 card.
inline constexpr char kChipIdentification[] = "Vendor ID = 0x%04X\nDevice  ID = 0x%04X";

// Progress in the status bar.
inline constexpr char kReadingProgress[] = "Reading... %d%%";
inline constexpr char kWritingProgress[] = "Writing... %d%%";
inline constexpr char kReady[] = "Ready";

// Error captions.
inline constexpr char kReadErrorCaption[] = "I2C read error";
inline constexpr char kWriteErrorCaption[] = "I2C write error";
inline constexpr char kVerifyErrorCaption[] = "Verify error";
inline constexpr char kFactoryWriteErrorCaption[] = "Factory write error";

// Error messages.
inline constexpr char kTransferError[] = "I2C transfer error (0x%02X)";
inline constexpr char kPageTransferError[] = "I2C transfer error (0x%02X, 0x%02X)";
inline constexpr char kAocTransferError[] = "Addr(0x%02X), Data(0x%02X), Error(0x%02X)";
inline constexpr char kAocVerifyError[] = "Addr(0x%02X), Data(0x%02X), Edid(0x%02X)";
inline constexpr char kEdidVerifyError[] = "EDID code verified error";
inline constexpr char kFactoryVerifyError[] = "EEPROM verified error (0x%02X, 0x%02X)";

// Whole EDIDs. A write is refused, with nothing written, for these reasons.
inline constexpr char kWriteRefusedCaption[] = "EDID write refused";
inline constexpr char kIncompleteEdid[] =
    "The EDID is incomplete: %d of its bytes were missing from its file and stand as zero. Save the document, or "
    "edit it with File New, to take it as it stands.";
inline constexpr char kExtensionCountMismatch[] =
    "Byte 126 of the base block announces %d extension blocks, but the EDID holds %d.";
inline constexpr char kBaseChecksumWrong[] = "The base block's checksum byte is 0x%02X, but its bytes need 0x%02X.";
inline constexpr char kExtensionChecksumWrong[] =
    "The checksum byte of extension block %d is 0x%02X, but its bytes need 0x%02X.";
inline constexpr char kNoSegmentPointer[] =
    "The monitor does not answer the E-DDC segment pointer (0x60), so extension blocks 2 and up cannot be written. "
    "Nothing was written.";
// Before a write that takes the base block alone.
inline constexpr char kBaseBlockOnlyCaption[] = "Base block only";
inline constexpr char kAocBaseBlockOnly[] =
    "The AOC command protocols write the base block alone: the %d extension blocks stay as the monitor holds them.";
inline constexpr char kFactoryBaseBlockOnly[] =
    "The factory write takes the base block alone: the %d extension blocks do not go into the factory memory.";
// What a read found, in the status bar (on stderr in tolvex-cli), joined by "; ".
inline constexpr char kNoteSeparator[] = "; ";
inline constexpr char kNoteNoHeader[] = "the base block does not begin with the EDID header";
inline constexpr char kNoteBaseChecksum[] = "the base block's checksum byte 0x%02X is now 0x%02X";
inline constexpr char kNoteExtensionChecksum[] = "extension block %d has the checksum 0x%02X where its bytes need 0x%02X";
inline constexpr char kNoteNoSegmentPointer[] =
    "extension blocks %d to %d were not read: the monitor does not answer the segment pointer";
inline constexpr char kNoteNotAnEdid[] =
    "the %d extension blocks byte 126 announces were not read: the base block is no EDID";
inline constexpr char kNoteBaseBlockOnly[] =
    "the %d extension blocks byte 126 announces were not read: this protocol reads the base block alone";

// What a bus status means and what to try: the first row whose flags the status holds explains
// it (a status carries several flags where one fault causes another: SDA held low also fails the
// START). Shown on a line of its own under the status.
struct StatusHelp {
  uint8_t flags;
  const char* sentence;
};
inline constexpr StatusHelp kStatusHelp[] = {
    {0x04, "SDA is held low, so the bus is stuck: unplug the cable and plug it in again; another master on the bus "
           "(a graphics card polling the monitor) can also hold it."},
    {0x01, "SCL stayed low past the time limit (a timeout): the monitor held the clock; switch the monitor off and "
           "on, and check the cable."},
    {0x08, "No device answered at the address: check the cable, the monitor's power and the chosen channel."},
    {0x80, "The START could not be sent because a line did not go high: check the cable and the adapter's power; "
           "another master may be on the bus."},
    {0x20, "The START of the controller's reply could not be sent: the monitor may be busy; try again, or check the "
           "protocol in the configuration."},
    {0x40, "The controller did not let the bus go after its frame: switch the monitor off and on and try again."},
    {0x10, "The controller's reply did not repeat the command: the monitor may use the other AOC protocol; check "
           "the protocol in the configuration."},
    {0x02, "The device refused a byte: an EEPROM that refuses a page is write protected (many monitors lock it; "
           "use the monitor's service mode, or a programmer with a clip on the EEPROM)."},
};
// A read-back that differs from what was written.
inline constexpr char kVerifyHelp[] =
    "What was read back differs from what was written: the EEPROM may be write protected, or the bus corrupts "
    "bytes; check the cable and write again.";
// After a write that failed once a byte had gone out.
inline constexpr char kMixtureNote[] = "The EEPROM may now hold a mixture of the old and the new EDID.";
inline constexpr char kBackupToWriteBack[] = " The old EDID was kept in %s and can be written back with EDID Write.";
inline constexpr char kNoBackupToWriteBack[] = " No backup of the old EDID was kept.";

// Before a write over another monitor's EDID (the desktop program asks Yes/Cancel).
inline constexpr char kMonitorIdentity[] = "%s 0x%04X, serial 0x%08X";
inline constexpr char kMonitorNamed[] = ", \"%s\"";
inline constexpr char kOtherMonitor[] =
    "The monitor's EEPROM holds the EDID of another monitor.\n  It holds: %s\n  To be written: %s\nWriting "
    "replaces it with %d blocks (%d bytes).";
inline constexpr char kReplaceQuestion[] = "%s\n\nReplace it?";
inline constexpr char kReplaceCancelled[] = "EDID Write cancelled: nothing was written";

// The backup of what the EEPROM held, before a write replaces it.
inline constexpr char kBackupKept[] = "the old EDID was kept in %s";
inline constexpr char kBackupUnread[] = "no backup of the old EDID was kept: the EEPROM could not be read before the write (%s)";
inline constexpr char kBackupFailedCaption[] = "Backup failed";
inline constexpr char kBackupFailed[] =
    "The EDID the EEPROM holds could not be kept before the write: %s. Nothing was written. Free space or mend the "
    "folder's permissions, or choose another backup folder.";
inline constexpr char kBackupFileError[] = "%s: %s";
inline constexpr char kNoBackupFolder[] = "no backup folder: neither TOLVEX_BACKUP_DIR, XDG_STATE_HOME nor HOME is set";

// Why raw port access is missing (%s: the system's reason).
inline constexpr char kNoPortPrivilege[] = "no access to the I/O ports (%s); run as root or give the program CAP_SYS_RAWIO";
inline constexpr char kKernelRefusesPorts[] =
    "the kernel refuses raw port access (%s)%s; reach the monitor through ppdev (/dev/parportN) or its Linux "
    "I2C bus (/dev/i2c-N) instead";
inline constexpr char kLockdownNote[] = " because kernel lockdown is on";
inline constexpr char kNoRawIoPlatform[] = "no access to the I/O ports: direct port access needs Linux on an x86 processor";

// The simulated monitor's state file (--sim-state), after its name.
inline constexpr char kSimStateBusy[] = "another program is using this simulated monitor state; waiting for it to end";

}  // namespace tolvex::texts
