// The utilities page as it opens: its version list, the uninstall button's
// state and the selection shared with the plug-in page.
#include <gtest/gtest.h>

#include "utilities_session.h"

namespace utilities_test {
namespace {

using testsupport::IsEnabled;
using testsupport::ListSelectedIndex;
using testsupport::ListTexts;

constexpr wchar_t kNoSketchUp[] = L"未检测到已安装的草图大师，请先安装草图大师！";

using UtilitiesLoadTest = UtilitiesPageTest;

TEST_F(UtilitiesLoadTest, WithoutSketchUpEveryButtonAsksToInstallItFirst) {
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

TEST_F(UtilitiesLoadTest, UninstallButtonFollowsTheInstallStateOfTheChosenVersion) {
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

TEST_F(UtilitiesLoadTest, UninstallButtonStartsDisabledWhenTheFirstVersionHasNoPlugin) {
  AddVersion(L"SketchUp 2019");
  AddVersion(L"SketchUp 2020");
  ASSERT_TRUE(PutPlugin(PluginFolder1(L"SketchUp 2020")));
  Launch();
  EXPECT_FALSE(IsEnabled(Button(kUninstallId)));
}

TEST_F(UtilitiesLoadTest, SelectionIsMirroredWithThePluginPageBothWays) {
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

  // The plug-in page is hidden behind this one; its list is told of a selection
  // directly.
  ASSERT_TRUE(testsupport::SelectTabAsUser(testsupport::ChildById(app_.window, kTabControlId), 0));
  ASSERT_TRUE(testsupport::SelectAsUser(pluginList, 1));
  EXPECT_EQ(ListSelectedIndex(list_), 1);
  EXPECT_TRUE(IsEnabled(Button(kUninstallId)));
}

TEST_F(UtilitiesLoadTest, ButtonsWithoutAChosenVersionAskForOne) {
  AddVersion(L"SketchUp 2021");
  Launch();
  ASSERT_TRUE(testsupport::SelectAsUser(list_, -1));  // a selection change that leaves none
  EXPECT_EQ(ListSelectedIndex(list_), -1);
  for (int index = 1; index < 8; ++index) {
    SCOPED_TRACE(index);
    ExpectClickShows(kCommandIds[index], L"请选择要操作的草图版本！");
  }
}

}  // namespace
}  // namespace utilities_test
