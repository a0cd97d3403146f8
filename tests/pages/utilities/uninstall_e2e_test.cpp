// Removing the plug-in from the utilities page, watched on screen and on disk.
#include <gtest/gtest.h>

#include "support/standin.h"
#include "utilities_session.h"

namespace utilities_test {
namespace {

using testsupport::Answer;
using testsupport::IsEnabled;

constexpr wchar_t kVersion[] = L"SketchUp 2021";
constexpr wchar_t kConfirm[] = L"慎重操作！确定要卸载翎图匠吗？";
constexpr wchar_t kDone[] = L"卸载成功！";
constexpr wchar_t kFailed[] = L"卸载失败，请关闭占用插件文件的程序后重试！";

class UninstallTest : public UtilitiesPageTest {
 protected:
  // The version with both plug-in folders holding things of others; call first.
  void Prepare(const std::wstring& user = L"") {
    if (!user.empty()) SetLogOnName(user);
    AddVersion(kVersion);
    ASSERT_TRUE(MakeFolders(PluginFolder1(kVersion)));
    ASSERT_TRUE(MakeFolders(PluginFolder2(kVersion)));
    ASSERT_TRUE(PutNeighbours(PluginFolder1(kVersion)));
    ASSERT_TRUE(PutNeighbours(PluginFolder2(kVersion)));
  }

  // Clicks "卸载翎图匠" and answers the confirmation.
  void ConfirmUninstall(int answer = IDOK) {
    const auto box = ClickForBox(kUninstallId);
    ExpectBox(box, kConfirm, /*withCancel=*/true);
    ASSERT_TRUE(box);
    ASSERT_TRUE(Answer(*box, answer));
  }

  void ExpectFinalBox(const std::wstring& text) {
    const auto box = testsupport::WaitForMessageBox(Pid());
    ExpectBox(box, text);
    if (box) {
      EXPECT_TRUE(Answer(*box, IDOK));
    }
    EXPECT_TRUE(testsupport::ExpectNoMessageBox(Pid(), 500));
  }

  bool Cleaned(const std::wstring& folder) const { return Names(folder) == NeighbourNames(); }
};

TEST_F(UninstallTest, FromTheUserFolderOnly) {
  Prepare();
  ASSERT_TRUE(PutPlugin(PluginFolder1(kVersion)));
  ASSERT_TRUE(MakeFolders(PluginFolder2(kVersion) + L"\\Brindo"));  // no marker beside it
  Launch();
  ConfirmUninstall();
  ExpectFinalBox(kDone);
  EXPECT_TRUE(Cleaned(PluginFolder1(kVersion)));
  EXPECT_TRUE(Exists(PluginFolder2(kVersion) + L"\\Brindo"));
  EXPECT_FALSE(IsEnabled(Button(kUninstallId)));
}

TEST_F(UninstallTest, FromTheSharedFolderOnlyLeavesTheUserFolderAlone) {
  Prepare();
  ASSERT_TRUE(PutPlugin(PluginFolder2(kVersion)));
  ASSERT_TRUE(MakeFolders(PluginFolder1(kVersion) + L"\\Brindo\\lib"));
  Launch();
  ConfirmUninstall();
  ExpectFinalBox(kDone);
  EXPECT_TRUE(Cleaned(PluginFolder2(kVersion)));
  EXPECT_TRUE(Exists(PluginFolder1(kVersion) + L"\\Brindo\\lib"));
  EXPECT_FALSE(IsEnabled(Button(kUninstallId)));
}

TEST_F(UninstallTest, FromBothFoldersWithOneConfirmationAndOneMessage) {
  Prepare(L"张三");  // the log-on name does not decide what is removed
  ASSERT_TRUE(PutPlugin(PluginFolder1(kVersion)));
  ASSERT_TRUE(PutPlugin(PluginFolder2(kVersion)));
  Launch();
  ConfirmUninstall();
  ExpectFinalBox(kDone);
  EXPECT_TRUE(Cleaned(PluginFolder1(kVersion)));
  EXPECT_TRUE(Cleaned(PluginFolder2(kVersion)));
  EXPECT_FALSE(IsEnabled(Button(kUninstallId)));
}

TEST_F(UninstallTest, CancelDeletesNothing) {
  Prepare();
  ASSERT_TRUE(PutPlugin(PluginFolder1(kVersion)));
  Launch();
  ConfirmUninstall(IDCANCEL);
  EXPECT_TRUE(testsupport::ExpectNoMessageBox(Pid()));
  EXPECT_TRUE(Exists(PluginFolder1(kVersion) + L"\\Brindo.rb"));
  EXPECT_TRUE(Exists(PluginFolder1(kVersion) + L"\\Brindo\\lib\\icons\\tool.png"));
  EXPECT_TRUE(IsEnabled(Button(kUninstallId)));
}

TEST_F(UninstallTest, RefusedWhileSketchUpRuns) {
  Prepare();
  ASSERT_TRUE(PutPlugin(PluginFolder1(kVersion)));
  Launch();
  testsupport::Process sketchUp = testsupport::LaunchStandin();
  ASSERT_TRUE(sketchUp.IsRunning());
  ExpectClickShows(kUninstallId, L"为保证卸载成功，请先退出草图大师！");
  EXPECT_TRUE(testsupport::ExpectNoMessageBox(Pid(), 500));
  EXPECT_TRUE(Exists(PluginFolder1(kVersion) + L"\\Brindo.rb"));
  EXPECT_TRUE(Exists(PluginFolder1(kVersion) + L"\\Brindo\\main.rb"));
  EXPECT_TRUE(IsEnabled(Button(kUninstallId)));
}

TEST_F(UninstallTest, FileInUseIsReportedAndTheButtonStaysForAnotherTry) {
  Prepare();
  ASSERT_TRUE(PutPlugin(PluginFolder1(kVersion)));
  Launch();
  {
    base::UniqueFile inUse = HoldOpen(PluginFolder1(kVersion) + L"\\Brindo\\main.rb");
    ASSERT_TRUE(inUse);
    ConfirmUninstall();
    ExpectFinalBox(kFailed);
    EXPECT_TRUE(Exists(PluginFolder1(kVersion) + L"\\Brindo.rb"));
    EXPECT_TRUE(IsEnabled(Button(kUninstallId)));
  }
  ConfirmUninstall();
  ExpectFinalBox(kDone);
  EXPECT_TRUE(Cleaned(PluginFolder1(kVersion)));
}

TEST_F(UninstallTest, NothingHappensForAVersionWithoutPlugin) {
  Prepare();
  AddVersion(L"SketchUp 2020");
  ASSERT_TRUE(PutPlugin(PluginFolder1(kVersion)));
  ASSERT_TRUE(MakeFolders(PluginFolder1(L"SketchUp 2020") + L"\\Brindo"));
  Launch();
  ASSERT_TRUE(Choose(L"SketchUp 2020"));
  EXPECT_FALSE(IsEnabled(Button(kUninstallId)));
  // The button's own click, as a keyboard shortcut or a stale enable would deliver it.
  ::SendNotifyMessageW(page_, WM_COMMAND, MAKEWPARAM(kUninstallId, BN_CLICKED),
                       reinterpret_cast<LPARAM>(Button(kUninstallId)));
  EXPECT_TRUE(testsupport::ExpectNoMessageBox(Pid()));
  EXPECT_TRUE(Exists(PluginFolder1(L"SketchUp 2020") + L"\\Brindo"));
  EXPECT_TRUE(Exists(PluginFolder1(kVersion) + L"\\Brindo.rb"));
}

}  // namespace
}  // namespace utilities_test
