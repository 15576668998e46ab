#pragma once

#include <filesystem>
#include <vector>

namespace zt {

// Where the game finds its resources/ folder: the first of `folders` that
// holds one (an empty path stands for the working folder). When none does,
// the working folder: the loaders then say what is missing.
std::filesystem::path findResourceFolder(const std::vector<std::filesystem::path>& folders);

// The folders a program looks in, in order: the working folder, then those
// next to the program in `programFolder` (its installed share folder, then
// its own folder).
std::vector<std::filesystem::path> resourceFolders(const std::filesystem::path& programFolder);

}  // namespace zt
