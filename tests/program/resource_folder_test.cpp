#include "program/resource_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "test_support.h"

namespace zt {
namespace {

namespace fs = std::filesystem;

// The working folder, the installed share folder and the program's folder,
// in their own scratch tree; `with` says which hold a resources/ folder.
class ResourceFolders : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const fs::path& folder : {working(), share(), program()}) fs::create_directories(folder);
  }

  fs::path working() const { return root / "home"; }
  fs::path program() const { return root / "prefix" / "bin"; }
  fs::path share() const { return root / "prefix" / "share" / "zummertock"; }

  fs::path found(std::initializer_list<fs::path> with) {
    for (const fs::path& folder : with) fs::create_directory(folder / "resources");
    std::vector<fs::path> folders = resourceFolders(program());
    folders[0] = working();  // stands in for the working folder
    const fs::path result = findResourceFolder(folders);
    for (const fs::path& folder : with) fs::remove(folder / "resources");
    return result;
  }

  test::TempDir dir;
  const fs::path root = dir.path();
};

TEST_F(ResourceFolders, TheWorkingFolderFirstThenNextToTheProgram) {
  EXPECT_EQ(found({working(), share(), program()}), working());
  EXPECT_EQ(found({share(), program()}), program() / ".." / "share" / "zummertock");
  EXPECT_EQ(found({program()}), program());
  EXPECT_EQ(found({working(), program()}), working());
  // Found nowhere: the working folder, where the loaders report what is missing.
  EXPECT_EQ(found({}), fs::path());
}

TEST_F(ResourceFolders, AFileNamedResourcesIsNotTheFolder) {
  std::ofstream(working() / "resources") << "not a folder";
  fs::create_directory(program() / "resources");
  std::vector<fs::path> folders = resourceFolders(program());
  folders[0] = working();
  EXPECT_EQ(findResourceFolder(folders), program());
}

TEST(ResourceFolderList, AProgramWithoutAKnownFolderLooksOnlyInTheWorkingFolder) {
  EXPECT_EQ(resourceFolders(fs::path()), std::vector<fs::path>{fs::path()});
  EXPECT_EQ(resourceFolders("/opt/zt/bin").front(), fs::path());
}

}  // namespace
}  // namespace zt
