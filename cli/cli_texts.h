// The texts of tolvex-cli.
#pragma once

namespace tolvex::cli_texts {

inline constexpr char kProgram[] = "tolvex-cli";

inline constexpr char kUsage[] =
    "Usage:\n"
    "  tolvex-cli report [--fix-checksum] FILE...\n"
    "      Print the EDID report of each FILE (a .ddc report or raw binary EDID),\n"
    "      exactly as a saved .ddc file holds it.\n"
    "  tolvex-cli new\n"
    "      Print the report of a freshly reset block.\n"
    "  tolvex-cli read [OPTIONS] FILE\n"
    "      Read the monitor's EDID into FILE (a .ddc report, or raw binary when FILE ends in .bin).\n"
    "  tolvex-cli write [OPTIONS] FILE\n"
    "      Write the block of FILE into the monitor and verify it.\n"
    "  tolvex-cli probe [--simulate ...]\n"
    "      Print the I2C channel the program finds; exit status 1 when there is none.\n"
    "Options:\n";

inline constexpr char kFileTooLarge[] = "The file is too large to open.";
inline constexpr char kNoEdidContent[] = "neither an EDID report (no hex dump found) nor binary EDID";
inline constexpr char kNoPortAccess[] = "no port access";
inline constexpr char kNoAdapter[] = "no I2C adapter found (Black Box, Service Kit or S3 ViRGE card)";
inline constexpr char kCannotWrite[] = "cannot write";
inline constexpr char kWrittenAndVerified[] = "written to the monitor and verified";
inline constexpr char kChecksumNote[] = "the monitor's checksum byte was 0x%02X; the block now carries 0x%02X";

}  // namespace tolvex::cli_texts
