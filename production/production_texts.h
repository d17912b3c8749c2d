// The texts of production programming: template, counter and log problems, what the loop tells
// the operator, and the log's columns. Shared by tolvex-cli and the "Production Write" dialog.
#pragma once

namespace tolvex::production_texts {

// The serial template.
inline constexpr char kUnmatchedOpen[] = "the serial template has a '{' without its '}'";
inline constexpr char kUnmatchedClose[] = "the serial template has a '}' without its '{' (write }} for the brace itself)";
inline constexpr char kUnknownField[] = "the serial template names an unknown field {%s} (the fields are n, year and week)";
inline constexpr char kBadFormat[] = "the serial template has a format '%s' it cannot use (a 0, a width up to 20 and d, x or X, as in {:06d})";
inline constexpr char kNotPrintable[] = "the serial template may hold printable ASCII characters only";
inline constexpr char kNoNumberField[] =
    "the serial template has no {} or {n} for the counter's number, so every unit would get the same serial";

// The per-unit block.
inline constexpr char kNoSerialDescriptor[] =
    "the block has no serial number descriptor (tag 0xFF) to take the serial text; add one in step 6 to 9 of File New, or program the binary field";
inline constexpr char kTextTooLong[] = "the serial text \"%s\" is longer than the 13 characters a descriptor holds";
inline constexpr char kNumberTooLarge[] = "the serial number %s does not fit the 32-bit binary field";
inline constexpr char kAsciiTooLong[] =
    "the serial text \"%s\" is longer than the 4 characters the binary field holds in the block's ASCII serial format";
inline constexpr char kSerialUnused[] =
    "the block marks its binary serial number unused; program the descriptor only, or give the block a serial format";

// The counter file (the first %s is its name).
inline constexpr char kNoCounter[] = "%s: no such counter file; create it holding the first serial number (echo 1 > %s)";
inline constexpr char kBadCounter[] = "%s: not a counter file: it must hold the next serial number in decimal";
inline constexpr char kCounterAtEnd[] = "%s: the counter cannot go beyond %s";
inline constexpr char kCounterFileError[] = "%s: %s";
inline constexpr char kCounterIsFolder[] = "%s: is a directory, not a counter file: name the file that holds the next serial number";
inline constexpr char kCounterHardLinked[] =
    "%s: the counter has %d names (hard links); give it one, as each unit replaces the file and the other names would keep the old number";
// %s: the reason (naming the counter), the unit's serial.
inline constexpr char kCounterNotReserved[] = "%s (no unit was programmed with serial %s)";
// %s: the unit's serial, the reason (naming the counter).
inline constexpr char kCounterNotGivenBack[] =
    "the unit with serial %s failed, and its number could not be given back (%s); it stays unused";

// The log file.
inline constexpr char kNotARegularFile[] = "not a regular file";
inline constexpr char kLogError[] = "%s: cannot write the log: %s";
inline constexpr char kLogHeader[] =
    "time,channel,bus,protocol,serial_text,serial_number,checksum,outcome,result,differences,backup\n";
// The last column, which logs begun before it was added lack.
inline constexpr char kLogBackupColumn[] = ",backup\n";
// The log's channel column for a kernel I2C bus (its bus column names the device and connector).
inline constexpr char kKernelChannel[] = "i2c-dev";
// The log's protocol column beyond the plain protocol name (%s: the page).
inline constexpr char kSoftwareDdcLabel[] = "Software DDC only, page %s";
inline constexpr char kFactoryLabel[] = "%s, factory page %s";
inline constexpr char kVerified[] = "verified";
inline constexpr char kPass[] = "PASS";
inline constexpr char kFail[] = "FAIL";

// What the loop says.
inline constexpr char kWaitingForMonitor[] = "Waiting for a monitor...";
inline constexpr char kProgramming[] = "Programming %s...";
inline constexpr char kRemoveMonitor[] = "Remove the monitor.";
inline constexpr char kNothingVerified[] =
    "Software DDC only without the factory write writes and verifies nothing; turn the factory write on";

}  // namespace tolvex::production_texts
