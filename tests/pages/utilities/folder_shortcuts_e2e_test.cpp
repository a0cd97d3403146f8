// The six folder shortcuts: which folder Explorer shows, and the message for a missing one.
#include <gtest/gtest.h>

#include "explorer_window.h"
#include "utilities_session.h"

namespace utilities_test {
namespace {

constexpr wchar_t kVersion[] = L"SketchUp 2021";
constexpr wchar_t kCannotOpen[] = L"打开路径失败，路径可能不存在！";

class FolderShortcutTest : public UtilitiesPageTest {
 protected:
  void TearDown() override {
    CloseExplorerWindows();
    UtilitiesPageTest::TearDown();
  }

  void ExpectOpens(int id, const std::wstring& title, const std::set<std::wstring>& items) {
    ASSERT_TRUE(testsupport::Click(Button(id)));
    EXPECT_TRUE(ExplorerShowed(title, items));
    EXPECT_TRUE(testsupport::ExpectNoMessageBox(Pid(), 300));
  }
};

TEST_F(FolderShortcutTest, MissingFoldersAreReportedAndNotMade) {
  AddVersion(kVersion);
  Launch();
  for (int id : {kPluginOwnFolderId, kConfigFolder1Id, kConfigFolder2Id, kPluginFolder1Id,
                 kPluginFolder2Id}) {
    SCOPED_TRACE(id);
    ExpectClickShows(id, kCannotOpen);
  }
  EXPECT_FALSE(::FindWindowW(kExplorerClass, nullptr));
  EXPECT_FALSE(Exists(ConfigFolder1(kVersion)));
  EXPECT_FALSE(Exists(ConfigFolder2(kVersion)));
  EXPECT_FALSE(Exists(PluginFolder1(kVersion)));
  EXPECT_FALSE(Exists(PluginFolder2(kVersion)));
}

TEST_F(FolderShortcutTest, UserConfigurationFolderWithOrWithoutItsFile) {
  AddVersion(kVersion);
  ASSERT_TRUE(MakeFolders(ConfigFolder1(kVersion)));
  ASSERT_TRUE(WriteText(ConfigFolder1(kVersion) + L"\\PrivatePreferences.json", "{}"));
  ASSERT_TRUE(WriteText(ConfigFolder1(kVersion) + L"\\local.txt"));
  Launch();
  ExpectOpens(kConfigFolder1Id, L"SketchUp", {L"PrivatePreferences.json", L"local.txt"});

  ASSERT_TRUE(::DeleteFileW((ConfigFolder1(kVersion) + L"\\PrivatePreferences.json").c_str()));
  ExpectOpens(kConfigFolder1Id, L"SketchUp", {L"local.txt"});

  ASSERT_TRUE(::DeleteFileW((ConfigFolder1(kVersion) + L"\\local.txt").c_str()));
  ASSERT_TRUE(::RemoveDirectoryW(ConfigFolder1(kVersion).c_str()));
  ExpectClickShows(kConfigFolder1Id, kCannotOpen);
}

TEST_F(FolderShortcutTest, SystemConfigurationAndPluginFolders) {
  AddVersion(kVersion);
  ASSERT_TRUE(MakeFolders(PluginFolder1(kVersion)));
  ASSERT_TRUE(WriteText(ConfigFolder2(kVersion) + L"\\SharedPreferences.json", "{}"));
  ASSERT_TRUE(WriteText(PluginFolder1(kVersion) + L"\\one.rb"));
  ASSERT_TRUE(MakeFolders(PluginFolder2(kVersion)));
  ASSERT_TRUE(WriteText(PluginFolder2(kVersion) + L"\\two.rb"));
  Launch();
  ExpectOpens(kConfigFolder2Id, L"SketchUp", {L"SharedPreferences.json", L"Plugins"});
  ExpectOpens(kPluginFolder1Id, L"Plugins", {L"one.rb"});
  ExpectOpens(kPluginFolder2Id, L"Plugins", {L"two.rb"});
}

TEST_F(FolderShortcutTest, SketchUpFolderWithAndWithoutClosingBackslash) {
  const std::wstring withSlash = AddVersion(L"SketchUp 2020");
  AddVersion(L"SketchUp 2021", L"Programs", /*closingBackslash=*/false);
  ASSERT_TRUE(WriteText(withSlash + L"\\readme.txt"));
  Launch();
  ASSERT_TRUE(Choose(L"SketchUp 2020"));
  ExpectOpens(kSketchUpFolderId, L"SketchUp 2020", {L"SketchUp.exe", L"readme.txt"});
  ASSERT_TRUE(Choose(L"SketchUp 2021"));
  ExpectOpens(kSketchUpFolderId, L"SketchUp 2021", {L"SketchUp.exe"});
}

TEST_F(FolderShortcutTest, PluginOwnFolderUnderAnAsciiNameIsTheUserOne) {
  AddVersion(kVersion);
  ASSERT_TRUE(PutPlugin(PluginFolder1(kVersion)));
  ASSERT_TRUE(PutPlugin(PluginFolder2(kVersion)));
  ASSERT_TRUE(WriteText(PluginFolder1(kVersion) + L"\\Brindo\\user.txt"));
  Launch();  // under the prefix's own log-on name, which is plain ASCII
  ExpectOpens(kPluginOwnFolderId, L"Brindo", {L"main.rb", L"lib", L"user.txt"});
}

// Wine's Explorer opens no window for a program started under another log-on name, so here
// the message (or its absence) is what shows which folder was chosen.
TEST_F(FolderShortcutTest, PluginOwnFolderUnderAChineseNameIsTheSharedOne) {
  SetLogOnName(L"张三");
  AddVersion(kVersion);
  ASSERT_TRUE(PutPlugin(PluginFolder1(kVersion)));
  Launch();
  ExpectClickShows(kPluginOwnFolderId, kCannotOpen);

  DeleteTree(PluginFolder1(kVersion) + L"\\Brindo");
  ASSERT_TRUE(PutPlugin(PluginFolder2(kVersion)));
  ASSERT_TRUE(testsupport::Click(Button(kPluginOwnFolderId)));
  EXPECT_TRUE(testsupport::ExpectNoMessageBox(Pid()));
}

}  // namespace
}  // namespace utilities_test
