// Starting SketchUp from the first page, and the page as it opens.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "plugin_page_session.h"

namespace plugin_test {
namespace {

class LaunchTest : public PluginPageTest {
 protected:
  void SetUp() override {
    PluginPageTest::SetUp();
    const auto running = testsupport::ProcessesNamed(L"SketchUp.exe");
    runningBefore_.assign(running.begin(), running.end());
  }

  // The programs the assistant started through the shell are no children of this test: end
  // them here, or they would outlive it (and hold its output open).
  void TearDown() override {
    for (DWORD pid : testsupport::ProcessesNamed(L"SketchUp.exe")) {
      if (std::find(runningBefore_.begin(), runningBefore_.end(), pid) != runningBefore_.end()) {
        continue;
      }
      base::UniqueKernelHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
      if (!process) continue;
      ::TerminateProcess(process.get(), 0);
      ::WaitForSingleObject(process.get(), 5000);
    }
    PluginPageTest::TearDown();
  }

  std::vector<testsupport::StandinStart> Starts() const {
    return testsupport::ReadStandinLog(standinLog_);
  }

  std::vector<DWORD> runningBefore_;
};

TEST_F(LaunchTest, StartsTheSketchUpOfTheSelectedVersion) {
  AddVersion(L"SketchUp 2021", true);
  const std::wstring folder2022 = AddVersion(L"SketchUp 2022", true);
  Launch();
  ASSERT_TRUE(Choose(L"SketchUp 2022"));

  ASSERT_TRUE(testsupport::Click(Button(kLaunchId)));
  ASSERT_TRUE(testsupport::WaitUntil([&] { return !Starts().empty(); }))
      << "SketchUp was not started";
  const auto starts = Starts();
  ASSERT_EQ(1u, starts.size());
  EXPECT_EQ(base::WideToUtf8(starts[0].exePath), base::WideToUtf8(folder2022 + L"\\SketchUp.exe"));
  EXPECT_TRUE(testsupport::ExpectNoMessageBox(Pid(), 500));

  // No running check here: a second start is SketchUp's own business.
  ASSERT_TRUE(testsupport::Click(Button(kLaunchId)));
  EXPECT_TRUE(testsupport::WaitUntil([&] { return Starts().size() == 2; }));
}

TEST_F(LaunchTest, RefusesWithoutAVersionASelectionOrAProgram) {
  Launch();
  ASSERT_EQ(0, testsupport::ListCount(list_)) << "another test left a SketchUp version behind";
  ExpectClickShows(kLaunchId, L"未检测到已安装的草图大师，请先安装草图大师！");
  testsupport::RequestClose(app_.window);
  app_.process.WaitForExit();

  const std::wstring folder = AddVersion(L"SketchUp 2021");
  ASSERT_TRUE(::DeleteFileW((folder + L"\\SketchUp.exe").c_str()));
  Launch();
  testsupport::SendWithin(list_, LB_SETCURSEL, static_cast<WPARAM>(-1));
  ExpectClickShows(kLaunchId, L"请选择要操作的草图版本！");
  ASSERT_TRUE(testsupport::SelectAsUser(list_, 0));
  ExpectClickShows(kLaunchId, L"未检测到草图大师程序，请手动运行！");
  EXPECT_TRUE(Starts().empty());
}

TEST_F(LaunchTest, ThePageOpensIdleWithItsVersionsListed) {
  AddVersion(L"SketchUp 2022");
  AddVersion(L"SketchUp 2019");
  AddVersion(L"SketchUp 2021");
  Launch();

  EXPECT_EQ(testsupport::ListTexts(list_),
            (std::vector<std::wstring>{L"SketchUp 2019", L"SketchUp 2021", L"SketchUp 2022"}));
  EXPECT_EQ(0, testsupport::ListSelectedIndex(list_));
  EXPECT_FALSE(testsupport::IsVisible(progress_));
  EXPECT_EQ(1, testsupport::SendWithin(progress_, PBM_GETRANGE, TRUE));
  EXPECT_EQ(100, testsupport::SendWithin(progress_, PBM_GETRANGE, FALSE));
  EXPECT_FALSE(Label1ShowsText());
  EXPECT_EQ(testsupport::ToolTipText(Button(kInstallId)), L"下载最新版翎图匠并安装");
  EXPECT_EQ(testsupport::ToolTipText(Button(kLaunchId)), L"启动对应版本的草图大师");
  EXPECT_EQ(testsupport::ToolTipText(list_), L"当前已安装的SU版本列表");
}

}  // namespace
}  // namespace plugin_test
