// Helpers shared by the test programs.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "model/edid_block.h"

namespace tolvex::test {

// A date source that always answers the given day.
EdidBlock::DateSource FixedDate(int year, int month, int day);

// The folder of real monitor EDIDs beside the checkout, or an empty path when it is absent.
std::filesystem::path SampleDir();
// Every *.bin sample (128 bytes and more), sorted by name; empty when the folder is absent.
std::vector<std::filesystem::path> SampleFiles();

std::string ReadFile(const std::filesystem::path& path);
EdidBytes ReadSample(const std::filesystem::path& path);

// Spells out a CR LF text line by line, so a failing comparison shows readable lines.
std::string Lines(std::initializer_list<const char*> lines);

}  // namespace tolvex::test
