// The texts of the USB programmers: how they are named in lists and on the command line, and what
// goes wrong opening and driving them. Formats take the programmer's label first.
#pragma once

namespace tolvex::texts {

// "CH341A USB programmer (bus 001 device 004)", as lsusb numbers the bus and the device.
inline constexpr char kCh341aLabel[] = "CH341A USB programmer (bus %03u device %03u)";
// What --bus takes: "ch341a", or "ch341a:1.4" where several are plugged in.
inline constexpr char kCh341aName[] = "ch341a";
inline constexpr char kCh341aNameAt[] = "ch341a:%u.%u";

inline constexpr char kNoCh341a[] = "no CH341A USB programmer (1a86:5512) is plugged in";
inline constexpr char kNoCh341aAt[] = "%s: there is no CH341A USB programmer at this bus and device";
inline constexpr char kSeveralCh341a[] = "%d CH341A USB programmers are plugged in: name one with --bus (%s)";
inline constexpr char kUsbNoPermission[] =
    "%s: permission denied. Install the program's udev rule, which gives the desktop's user the programmer "
    "(sudo cmake --install build, or copy app/udev/60-tolvex.rules to /etc/udev/rules.d and run sudo udevadm "
    "control --reload-rules), then plug the programmer in again";
inline constexpr char kUsbBusy[] = "%s: another program holds the programmer";
inline constexpr char kUsbGone[] = "%s: the programmer is gone (unplugged?)";
inline constexpr char kUsbError[] = "%s: USB error: %s";
// The caption of a message box when the chosen programmer cannot be used.
inline constexpr char kProgrammerUnavailableCaption[] = "USB programmer";
// A reply shorter than the commands asked for.
inline constexpr char kUsbShortReply[] = "%s: the programmer answered %d of %d bytes";

}  // namespace tolvex::texts
