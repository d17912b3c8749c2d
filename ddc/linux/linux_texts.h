// The texts of the Linux routes: refusals of the safety rules, kernel errors turned into what to
// do, and how channels are named in lists. Formats take the bus's label first.
#pragma once

namespace tolvex::texts {

// "%s: refused: %s", the bus and one of the reasons below.
inline constexpr char kRefused[] = "%s: refused: %s";
inline constexpr char kReasonDriverOwns[] = "address 0x%02X belongs to the kernel driver %s";
inline constexpr char kReasonKernelOwns[] = "address 0x%02X belongs to a kernel driver";
inline constexpr char kReasonSystemBus[] =
    "\"%s\" is a system bus, where memory modules' SPD EEPROMs answer at 0x50 and writing one can leave the PC "
    "unable to boot";
inline constexpr char kReasonSpdDriver[] =
    "memory modules' SPD EEPROMs are on this bus (address 0x%02X belongs to the kernel driver %s), and writing one "
    "can leave the PC unable to boot";
inline constexpr char kReasonSpdProbe[] =
    "more than one device answers at 0x50-0x57 (%s), as memory modules' SPD EEPROMs do, and writing one can leave "
    "the PC unable to boot";
inline constexpr char kReasonGpuFirmware[] =
    "\"%s\" is the graphics card's own firmware bus, and probing it hangs some cards";
inline constexpr char kReasonUsbInternal[] =
    "\"%s\" is a USB bridge inside the machine (a camera's), not an external programmer";
inline constexpr char kReasonSharedUnmatched[] =
    "\"%s\" also carries the graphics card's own chips, and no connector's EDID was found on it: nothing is "
    "written there";
inline constexpr char kReasonNotDisplay[] = "it is not a display adapter's bus";
inline constexpr char kReasonNoPlainI2c[] = "the adapter does SMBus commands only, not plain I2C transfers";
inline constexpr char kReasonNotEdid[] = "the EEPROM at 0xA0 holds neither an EDID header nor blank bytes";
inline constexpr char kReasonNothingAtEeprom[] = "nothing answers at 0xA0 to show what would be overwritten";
// The caption of a refusal's message box.
inline constexpr char kRefusedCaption[] = "I2C bus refused";
// Asked where a rule may be overridden (the desktop program's --force).
inline constexpr char kOverrideQuestion[] = "%s\n\nWrite anyway?";

// A write whose read-back equals what the EEPROM held before.
inline constexpr char kWriteProtected[] =
    "The EEPROM still holds its previous EDID: many monitors lock their DDC EEPROM against writes";
inline constexpr char kWriteProtectedCaption[] = "EEPROM write-protected";

// Opening a bus.
inline constexpr char kNoPermission[] =
    "%s: permission denied. Add your user to the i2c group (sudo usermod -aG i2c $USER, then log in again), or "
    "install the program's udev rule (sudo cmake --install build), which gives the desktop's user the buses of "
    "display adapters";
inline constexpr char kNoSuchBus[] = "%s: there is no such I2C bus";
inline constexpr char kNoDeviceNode[] = "%s does not exist: load the kernel's i2c-dev module (sudo modprobe i2c-dev)";
// A device and what the kernel said about it.
inline constexpr char kDeviceError[] = "%s: %s";
inline constexpr char kNoParportPermission[] =
    "%s: permission denied. Add your user to the lp group (sudo usermod -aG lp $USER, then log in again)";

// Ways round a USB adapter's limits: the device, a number, what the kernel said.
inline constexpr char kFallbackSeparate[] =
    "%s: each of %d messages went in a transfer of its own: the adapter refused them combined (%s)";
inline constexpr char kFallbackPieces[] =
    "%s: reads went in pieces of at most %d bytes: the adapter refused longer ones (%s)";
inline constexpr char kFallbackProbe[] =
    "%s: a one-byte read asked for the device at 0x%02X: the adapter refused a zero-length write (%s)";

// An EDID on a connector without flashing: the debugfs override and the firmware file.
inline constexpr char kDebugfsMissing[] =
    "debugfs is not mounted at %s: run sudo mount -t debugfs none /sys/kernel/debug, then: %s";
inline constexpr char kDebugfsDenied[] = "%s: permission denied: the kernel's EDID override needs root: %s";
inline constexpr char kNoOverride[] =
    "%s: the kernel offers no edid_override for this connector under %s (neither dri/%d nor dri/%s)";
inline constexpr char kOverrideFailed[] = "%s: %s";
inline constexpr char kOverrideApplied[] = "%s: the EDID (%zu bytes) went to %s; the kernel probes the connector again";
inline constexpr char kOverrideReset[] = "%s: the override is reset (%s); the kernel probes the connector again";
inline constexpr char kBadFirmwareName[] = "\"%s\" cannot name a firmware file: letters, digits, '-', '_' and '.' only";
inline constexpr char kFirmwareWritten[] = "The EDID is in %s";
inline constexpr char kFirmwareParameter[] = "Kernel parameter (add it to the boot loader's command line): %s";
inline constexpr char kFirmwareParameterValue[] = "drm.edid_firmware=%s:edid/%s.bin";
inline constexpr char kInitramfsTools[] =
    "initramfs-tools: to load it before the root file system, add a hook /etc/initramfs-tools/hooks/edid-%s "
    "with the lines '. /usr/share/initramfs-tools/hook-functions' and 'copy_file firmware /lib/firmware/edid/%s.bin', "
    "make it executable, then run: sudo update-initramfs -u";
inline constexpr char kInitramfsDracut[] =
    "dracut: to load it before the root file system, put 'install_items+=\" /lib/firmware/edid/%s.bin \"' into "
    "/etc/dracut.conf.d/edid-%s.conf, then run: sudo dracut --force";
inline constexpr char kInitramfsMkinitcpio[] =
    "mkinitcpio: to load it before the root file system, add /lib/firmware/edid/%s.bin to FILES=(...) in "
    "/etc/mkinitcpio.conf, then run: sudo mkinitcpio -P";
inline constexpr char kInitramfsNone[] =
    "No initramfs tool was found under %s: where the graphics driver loads from an initramfs, put the file there "
    "too";

// Reading a connector's EDID from the kernel's copy.
inline constexpr char kNoKernelEdid[] = "%s: the kernel holds no EDID (no display connected)";
inline constexpr char kFallbackToSysfs[] = "%s; the EDID was read from the kernel's copy %s instead";
inline constexpr char kReadFromDisplay[] = "The EDID was read from the kernel's copy %s";
// The caption of a message box when the chosen bus cannot be used.
inline constexpr char kBusUnavailableCaption[] = "Linux I2C bus";

// Channels in lists: "card0-HDMI-A-1: DELL P2415Q (i2c-5)".
inline constexpr char kBusLabel[] = "%s: %s (i2c-%d)";
inline constexpr char kNoDisplay[] = "no display";
// An external USB programmer in lists: its model and the USB port path it is plugged into.
inline constexpr char kUsbProgrammerTitle[] = "%s USB I2C adapter at USB %s";

}  // namespace tolvex::texts
