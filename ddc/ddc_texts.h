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

// Why raw port access is missing (%s: the system's reason).
inline constexpr char kNoPortPrivilege[] = "no access to the I/O ports (%s); run as root or give the program CAP_SYS_RAWIO";
inline constexpr char kKernelRefusesPorts[] =
    "the kernel refuses raw port access (%s)%s; reach the monitor through ppdev (/dev/parportN) or its Linux "
    "I2C bus (/dev/i2c-N) instead";
inline constexpr char kLockdownNote[] = " because kernel lockdown is on";
inline constexpr char kNoRawIoPlatform[] = "no access to the I/O ports: direct port access needs Linux on an x86 processor";

}  // namespace tolvex::texts
