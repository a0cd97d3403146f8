#include "base/file_system.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/archive_builder.h"
#include "support/paths.h"

namespace {

using base::CreateFolderWithParents;
using base::IsFolder;

TEST(CreateFolderWithParentsTest, MakesEveryMissingLevel) {
  const std::wstring root = testsupport::MakeScratchFolder(L"folder_tree_levels");
  const std::wstring target = root + L"\\SketchUp\\SketchUp 2021\\SketchUp\\Plugins";
  ASSERT_TRUE(CreateFolderWithParents(target));
  EXPECT_TRUE(IsFolder(target));
  // Again: an existing folder is fine, and forward slashes or a trailing separator too.
  EXPECT_TRUE(CreateFolderWithParents(target));
  EXPECT_TRUE(CreateFolderWithParents(root + L"/a/b/"));
  EXPECT_TRUE(IsFolder(root + L"\\a\\b"));
  EXPECT_TRUE(CreateFolderWithParents(root + L"\\中文\\用户\\Plugins"));
  EXPECT_TRUE(IsFolder(root + L"\\中文\\用户\\Plugins"));
}

TEST(CreateFolderWithParentsTest, KeepsWhatIsAlreadyThere) {
  const std::wstring root = testsupport::MakeScratchFolder(L"folder_tree_keeps");
  ASSERT_TRUE(::CreateDirectoryW((root + L"\\Plugins").c_str(), nullptr));
  ASSERT_TRUE(testsupport::WriteFileBytes(root + L"\\Plugins\\keep.txt", "x"));
  ASSERT_TRUE(CreateFolderWithParents(root + L"\\Plugins"));
  EXPECT_EQ("x", testsupport::ReadBinaryFile(root + L"\\Plugins\\keep.txt"));
}

TEST(CreateFolderWithParentsTest, RefusesWhenAFileIsInTheWay) {
  const std::wstring root = testsupport::MakeScratchFolder(L"folder_tree_file");
  ASSERT_TRUE(testsupport::WriteFileBytes(root + L"\\SketchUp", "not a folder"));
  EXPECT_FALSE(CreateFolderWithParents(root + L"\\SketchUp"));
  EXPECT_FALSE(CreateFolderWithParents(root + L"\\SketchUp\\Plugins"));
  EXPECT_EQ("not a folder", testsupport::ReadBinaryFile(root + L"\\SketchUp"));
}

TEST(CreateFolderWithParentsTest, RefusesAMissingDriveAndTheEmptyPath) {
  EXPECT_FALSE(CreateFolderWithParents(L""));
  // Wine maps letters to Unix folders; Q: is not one of them in the test prefix.
  EXPECT_FALSE(CreateFolderWithParents(L"Q:\\nowhere\\Plugins"));
}

}  // namespace
