// Removing the plug-in from a plug-in folder, on the real file system.
#include "install/plugin_removal.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "support/plugin_tree.h"
#include "support/paths.h"

namespace install {
namespace {

using utilities_test::Exists;
using utilities_test::HoldOpen;
using utilities_test::Names;
using utilities_test::NeighbourNames;

class PluginRemovalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    scratch_ = testsupport::MakeScratchFolder(L"removal_" + base::Utf8ToWide(test->name()));
    plugins_ = scratch_ + L"\\SketchUp 2021\\SketchUp\\Plugins";
    ASSERT_TRUE(utilities_test::MakeFolders(plugins_));
  }

  std::wstring scratch_;
  std::wstring plugins_;
};

TEST_F(PluginRemovalTest, RemovesMarkerAndFolderTreeAndNothingElse) {
  ASSERT_TRUE(utilities_test::PutPlugin(plugins_));
  ASSERT_TRUE(utilities_test::PutNeighbours(plugins_));

  EXPECT_EQ(RemovePlugin(plugins_), RemovalResult::kRemoved);
  EXPECT_EQ(Names(plugins_), NeighbourNames());
  EXPECT_TRUE(Exists(plugins_ + L"\\Brindo2\\keep.rb"));
  EXPECT_TRUE(Exists(plugins_ + L"\\Other\\keep.rb"));
}

TEST_F(PluginRemovalTest, FolderWithoutMarkerIsNotTouched) {
  ASSERT_TRUE(utilities_test::PutPlugin(plugins_));
  ASSERT_TRUE(::DeleteFileW((plugins_ + L"\\Brindo.rb").c_str()));

  EXPECT_EQ(RemovePlugin(plugins_), RemovalResult::kNotInstalled);
  EXPECT_TRUE(Exists(plugins_ + L"\\Brindo\\lib\\icons\\tool.png"));
  EXPECT_EQ(RemovePlugin(scratch_ + L"\\missing"), RemovalResult::kNotInstalled);
}

TEST_F(PluginRemovalTest, MarkerWithoutFolderIsRemoved) {
  ASSERT_TRUE(utilities_test::WriteText(plugins_ + L"\\Brindo.rb"));
  EXPECT_EQ(RemovePlugin(plugins_), RemovalResult::kRemoved);
  EXPECT_TRUE(Names(plugins_).empty());
}

TEST_F(PluginRemovalTest, FileInUseLeavesTheMarkerSoTheRemovalCanBeRepeated) {
  ASSERT_TRUE(utilities_test::PutPlugin(plugins_));
  {
    base::UniqueFile inUse = HoldOpen(plugins_ + L"\\Brindo\\main.rb");
    ASSERT_TRUE(inUse);
    EXPECT_EQ(RemovePlugin(plugins_), RemovalResult::kLeftBehind);
    EXPECT_TRUE(Exists(plugins_ + L"\\Brindo.rb"));
    EXPECT_TRUE(Exists(plugins_ + L"\\Brindo\\main.rb"));
  }
  EXPECT_EQ(RemovePlugin(plugins_), RemovalResult::kRemoved);
  EXPECT_TRUE(Names(plugins_).empty());
}

TEST_F(PluginRemovalTest, MarkerInUseIsReportedAsLeftBehind) {
  ASSERT_TRUE(utilities_test::PutPlugin(plugins_));
  base::UniqueFile inUse = HoldOpen(plugins_ + L"\\Brindo.rb");
  ASSERT_TRUE(inUse);
  EXPECT_EQ(RemovePlugin(plugins_), RemovalResult::kLeftBehind);
  EXPECT_EQ(Names(plugins_), std::set<std::wstring>{L"Brindo.rb"});
}

// Names the ANSI code page cannot spell must still name exactly their own folder: a lossy
// conversion would turn "caf\u0151" into "cafo" (best fit) or "caf?" (a pattern).
TEST_F(PluginRemovalTest, FolderNamedOutsideTheAnsiCodePageIsRemovedExactly) {
  const std::wstring exact = scratch_ + L"\\caf\u0151\\Plugins";
  const std::wstring lookAlike = scratch_ + L"\\cafo\\Plugins";
  ASSERT_TRUE(utilities_test::PutPlugin(exact));
  ASSERT_TRUE(utilities_test::PutPlugin(lookAlike));

  EXPECT_EQ(RemovePlugin(exact), RemovalResult::kRemoved);
  EXPECT_TRUE(Names(exact).empty());
  EXPECT_TRUE(Exists(lookAlike + L"\\Brindo\\lib\\icons\\tool.png"));
  EXPECT_TRUE(Exists(lookAlike + L"\\Brindo.rb"));
}

// Wine keeps its Recycle Bin in the desktop's trash folder below the Unix home, which it
// names in WINEHOMEDIR behind the four characters of an NT path prefix.
TEST_F(PluginRemovalTest, RemovedFilesDoNotGoToTheRecycleBin) {
  wchar_t home[MAX_PATH];
  const DWORD length = ::GetEnvironmentVariableW(L"WINEHOMEDIR", home, MAX_PATH);
  if (length <= 4 || length >= MAX_PATH) GTEST_SKIP() << "not under Wine: no trash to look in";
  const std::wstring trash = std::wstring(home + 4) + L"\\.local\\share\\Trash\\files";
  const auto before = Names(trash);
  ASSERT_TRUE(utilities_test::PutPlugin(plugins_));

  EXPECT_EQ(RemovePlugin(plugins_), RemovalResult::kRemoved);
  EXPECT_EQ(Names(trash), before);
}

TEST_F(PluginRemovalTest, ShellDeletePathRefusesPatternsAndRelativePaths) {
  ASSERT_TRUE(utilities_test::PutPlugin(plugins_));
  const FILEOP_FLAGS flags = FOF_SILENT | FOF_NOCONFIRMATION;

  EXPECT_FALSE(ShellDeletePath(plugins_ + L"\\Brin*", flags));
  EXPECT_FALSE(ShellDeletePath(plugins_ + L"\\Brind?", flags));
  EXPECT_FALSE(ShellDeletePath(plugins_ + std::wstring(L"\\Brindo.rb\0\\Brindo", 18), flags));
  EXPECT_FALSE(ShellDeletePath(L"Brindo", flags));
  EXPECT_FALSE(ShellDeletePath(L"\\Brindo", flags));
  EXPECT_FALSE(ShellDeletePath(L"", flags));
  EXPECT_TRUE(Exists(plugins_ + L"\\Brindo\\main.rb"));
  EXPECT_TRUE(Exists(plugins_ + L"\\Brindo.rb"));

  EXPECT_TRUE(ShellDeletePath(plugins_ + L"\\Brindo", flags));
  EXPECT_EQ(Names(plugins_), std::set<std::wstring>{L"Brindo.rb"});
}

}  // namespace
}  // namespace install
