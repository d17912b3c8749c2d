// Helpers shared by the test programs.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "ddc/sim/sim_files.h"
#include "model/edid_block.h"

namespace tolvex::test {

// A date source that always answers the given day.
EdidBlock::DateSource FixedDate(int year, int month, int day);

// The folder of real monitor EDIDs beside the checkout, or an empty path when it is absent.
std::filesystem::path SampleDir();
// Every *.bin sample (128 bytes and more), sorted by name; empty when the folder is absent.
std::vector<std::filesystem::path> SampleFiles();
// The real whole EDIDs (base block and extensions) beside the checkout, sorted by name; empty
// when the folder is absent.
std::vector<std::filesystem::path> WholeEdidFiles();

std::string ReadFile(const std::filesystem::path& path);
// What a shell command prints on stdout (the tests run peers with it).
std::string RunCommand(const std::string& command);
EdidBytes ReadSample(const std::filesystem::path& path);

// A desktop PC's sysfs: Intel graphics with an HDMI port (its bus named by the `ddc` link, i2c-3,
// "DELL P2415Q") and a DisplayPort (its AUX channel's bus i2c-5 inside the connector, "DELL
// U2720Q"), a graphics card whose driver links no bus to its connector card1-DP-2 ("MATCHED",
// adapters i2c-8 and i2c-9), the chipset's SMBus i2c-0 with a memory module's SPD EEPROM owned
// by ee1004, a DesignWare controller i2c-1, and an i2c-tiny-usb programmer i2c-7 at USB 1-2.
void BuildDesktopTree(sim::SimFiles& files);
// The 128 bytes of an EDID whose monitor name descriptor holds `name`.
std::string EdidNamed(const char* name);
// Writes a tree to disk below `root` (its /sys as root/sys), links as links.
void WriteTree(const sim::SimFiles& files, const std::filesystem::path& root);

// Spells out a CR LF text line by line, so a failing comparison shows readable lines.
std::string Lines(std::initializer_list<const char*> lines);

// A CTA-861 extension as an HDMI monitor carries it: revision 3, a video data block (VICs 16, 4,
// 3, 2), a 2-channel LPCM audio data block, an HDMI vendor block, one detailed timing (1920x1080
// at 60 Hz) and its checksum.
EdidBytes MakeCtaBlock();
// Any extension block: the tag, bytes counting up from `seed`, and its checksum.
EdidBytes MakeExtensionBlock(uint8_t tag, uint8_t seed);
// `base` with byte 126 counting the blocks and both checksum kinds right, then the blocks.
std::vector<uint8_t> MakeWholeEdid(EdidBytes base, const std::vector<EdidBytes>& extensions);

}  // namespace tolvex::test
