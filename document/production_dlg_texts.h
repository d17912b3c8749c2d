// The texts of the "Production Write" dialog.
#pragma once

namespace tolvex::texts {

inline constexpr char kProductionCaption[] = "Production Write";
inline constexpr char kSerialGroup[] = "Serial number per unit";
inline constexpr char kCounterLabel[] = "&Counter file:";
inline constexpr char kFieldLabel[] = "Serial &field:";
// In the order of SerialField.
inline constexpr const char* kSerialFieldChoices[] = {"Binary (bytes 12-15)", "Serial number descriptor (0xFF)",
                                                      "Both"};
inline constexpr char kTemplateLabel[] = "&Template:";
inline constexpr char kTemplateTip[] =
    "The serial's text: {} or {n} is the counter's number, {year} and {week} the date of manufacture; "
    "{:06d} pads with zeros to six digits, {:X} writes hexadecimal.";
inline constexpr char kStampDate[] = "Stamp today's &week and year of manufacture";
inline constexpr char kLogLabel[] = "&Log file:";
inline constexpr char kBrowse[] = "Browse...";
inline constexpr char kCounterFilter[] = "Counter files (*)";
inline constexpr char kLogFilter[] = "CSV files (*.csv);;All files (*)";
inline constexpr char kNoCounter[] = "Without a counter file every unit keeps the block's serial number.";
inline constexpr char kNextUnit[] = "Next unit: %1";
inline constexpr char kLastSerial[] = "Last serial: %1";
inline constexpr char kCounts[] = "Passed: %1    Failed: %2";
inline constexpr char kStart[] = "&Start";
inline constexpr char kStop[] = "S&top";
inline constexpr char kStopping[] = "Stopping after this unit...";
inline constexpr char kRunStopped[] = "Stopped.";
inline constexpr char kNoMoreMonitors[] = "Done: no further monitor can come.";
inline constexpr char kClose[] = "Close";

}  // namespace tolvex::texts
