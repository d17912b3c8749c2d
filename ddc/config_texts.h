// The texts of the "Configuration Setup" dialog.
#pragma once

namespace tolvex::texts {

inline constexpr char kConfigCaption[] = "Configuration Setup";
// The channel the commands use: the adapter found at start-up or a Linux I2C bus.
inline constexpr char kChannelChoiceGroup[] = "I2C channel";
inline constexpr char kChannelGroup[] = "DDC communication channel";
inline constexpr char kProtocolNames[3][32] = {"DDC2B", "AOC command (TX-3)", "AOC command (TX-1, TX-2)"};
inline constexpr char kFactoryGroup[] = "Factory memory data write";
inline constexpr char kFactoryEnable[] = "Enable (Monitor must be enter factory mode)";
inline constexpr char kMappedPageLabel[] = " Mapped EDID page address (Hex.)";
inline constexpr char kSoftwareDdcGroup[] = "Software DDC";
inline constexpr char kSoftwareDdcOnly[] = "Software DDC only";
inline constexpr char kOk[] = "OK";
inline constexpr char kCancel[] = "Cancel";
// The page Software DDC only switches to.
inline constexpr char kSoftwareDdcPage[] = "F0";

}  // namespace tolvex::texts
