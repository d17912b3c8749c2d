// The texts the DDC transport shows: captions, messages and progress, each a printf format
// where it carries values.
#pragma once

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
