// The utilities page as it opens: its version list, the uninstall button's state and the
// selection shared with the plug-in page.
#include <gtest/gtest.h>

#include "utilities_session.h"

namespace utilities_test {
namespace {

using testsupport::IsEnabled;
using testsupport::ListSelectedIndex;
using testsupport::ListTexts;

constexpr wchar_t kNoSketchUp[] = L"未检测到已安装的草图大师，请先安装草图大师！";

using PageTest = UtilitiesPageTest;

TEST_F(PageTest, WithoutSketchUpEveryButtonAsksToInstallItFirst) {
  // A registered version whose install folder is gone does not count.
  versions_.Add(L"SketchUp 2021", scratch_ + L"\\gone\\");
  Launch();
  EXPECT_TRUE(ListTexts(list_).empty());
  EXPECT_FALSE(IsEnabled(Button(kUninstallId)));
  EXPECT_FALSE(testsupport::Click(Button(kUninstallId)));
  for (int index = 1; index < 8; ++index) {
    SCOPED_TRACE(index);
    ExpectClickShows(kCommandIds[index], kNoSketchUp);
  }
}

TEST_F(PageTest, UninstallButtonFollowsTheInstallStateOfTheChosenVersion) {
  AddVersion(L"SketchUp 2019");
  AddVersion(L"SketchUp 2020");
  AddVersion(L"SketchUp 2021");
  ASSERT_TRUE(PutPlugin(PluginFolder1(L"SketchUp 2019")));
  ASSERT_TRUE(PutPlugin(PluginFolder2(L"SketchUp 2021")));
  // Without its marker a "Brindo" folder is no installed plug-in.
  ASSERT_TRUE(MakeFolders(PluginFolder1(L"SketchUp 2020") + L"\\Brindo"));
  Launch();

  EXPECT_EQ(ListTexts(list_),
            (std::vector<std::wstring>{L"SketchUp 2019", L"SketchUp 2020", L"SketchUp 2021"}));
  EXPECT_EQ(ListSelectedIndex(list_), 0);
  EXPECT_TRUE(IsEnabled(Button(kUninstallId)));
  ASSERT_TRUE(Choose(L"SketchUp 2020"));
  EXPECT_FALSE(IsEnabled(Button(kUninstallId)));
  ASSERT_TRUE(Choose(L"SketchUp 2021"));
  EXPECT_TRUE(IsEnabled(Button(kUninstallId)));
}

TEST_F(PageTest, UninstallButtonStartsDisabledWhenTheFirstVersionHasNoPlugin) {
  AddVersion(L"SketchUp 2019");
  AddVersion(L"SketchUp 2020");
  ASSERT_TRUE(PutPlugin(PluginFolder1(L"SketchUp 2020")));
  Launch();
  EXPECT_FALSE(IsEnabled(Button(kUninstallId)));
}

TEST_F(PageTest, SelectionIsMirroredWithThePluginPageBothWays) {
  AddVersion(L"SketchUp 2019");
  AddVersion(L"SketchUp 2020");
  AddVersion(L"SketchUp 2021");
  ASSERT_TRUE(PutPlugin(PluginFolder2(L"SketchUp 2020")));
  Launch();
  const HWND pluginList = testsupport::ChildById(pluginPage_, kPluginPageListId);
  ASSERT_TRUE(pluginList);

  ASSERT_TRUE(testsupport::SelectAsUser(list_, 2));
  EXPECT_EQ(ListSelectedIndex(pluginList), 2);
  EXPECT_FALSE(IsEnabled(Button(kUninstallId)));

  // The plug-in page is hidden behind this one; its list is told of a selection directly.
  ASSERT_TRUE(testsupport::SelectTabAsUser(testsupport::ChildById(app_.window, kTabControlId), 0));
  ASSERT_TRUE(testsupport::SelectAsUser(pluginList, 1));
  EXPECT_EQ(ListSelectedIndex(list_), 1);
  EXPECT_TRUE(IsEnabled(Button(kUninstallId)));
}

TEST_F(PageTest, ButtonsWithoutAChosenVersionAskForOne) {
  AddVersion(L"SketchUp 2021");
  Launch();
  ASSERT_TRUE(testsupport::SelectAsUser(list_, -1));  // a selection change that leaves none
  EXPECT_EQ(ListSelectedIndex(list_), -1);
  for (int index = 1; index < 8; ++index) {
    SCOPED_TRACE(index);
    ExpectClickShows(kCommandIds[index], L"请选择要操作的草图版本！");
  }
}

TEST_F(PageTest, ButtonsCarryTheirToolTips) {
  AddVersion(L"SketchUp 2021");
  Launch();
  const std::pair<int, const wchar_t*> tips[] = {
      {kUninstallId, L"删除插件目录下的翎图匠文件"},
      {kPluginOwnFolderId, L"打开草图大师插件目录下的翎图匠目录"},
      {kConfigFolder1Id, L"打开草图大师配置文件路径，该文件保存用户设置"},
      {kConfigFolder2Id, L"打开草图大师配置文件路径，该文件保存系统设置"},
      {kPluginFolder1Id, L"打开带用户名的插件启动目录(AppData)"},
      {kPluginFolder2Id, L"打开不带用户名的插件启动目录(ProgramData)"},
      {kSketchUpFolderId, L"打开草图大师启动程序所在目录"},
      {kEnvironmentCheckId, L"检测当前草图版本插件安装环境"},
      {kListId, L"当前已安装的SU版本列表"},
  };
  for (const auto& [id, tip] : tips) {
    EXPECT_EQ(testsupport::ToolTipText(testsupport::ChildById(page_, id)), std::wstring(tip)) << id;
  }
}

}  // namespace
}  // namespace utilities_test
