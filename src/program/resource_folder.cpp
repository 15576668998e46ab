#include "program/resource_folder.h"

#include <system_error>

#include "core/resource_files.h"

namespace zt {

std::filesystem::path findResourceFolder(const std::vector<std::filesystem::path>& folders) {
  for (const std::filesystem::path& folder : folders) {
    std::error_code unreadable;
    if (std::filesystem::is_directory(folder / resource_files::kFolder, unreadable)) return folder;
  }
  return {};
}

std::vector<std::filesystem::path> resourceFolders(const std::filesystem::path& programFolder) {
  std::vector<std::filesystem::path> folders = {std::filesystem::path()};
  if (!programFolder.empty()) {
    // An installed program: <prefix>/bin/zummertock and
    // <prefix>/share/zummertock/resources.
    folders.push_back(programFolder / ".." / "share" / "zummertock");
    folders.push_back(programFolder);
  }
  return folders;
}

}  // namespace zt
