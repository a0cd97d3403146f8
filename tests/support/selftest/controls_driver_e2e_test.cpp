// The driver's control, message-box and tooltip calls against the stand-in's window of
// common controls (standin/controls_window.h), which lives in another process.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "support/driver.h"
#include "support/standin.h"

namespace testsupport {
namespace {

class ControlsDriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    standin_ = LaunchStandin({L"--controls"});
    window_ = WaitForWindow(L"StandinControlsWindow", std::nullopt, standin_.pid());
    ASSERT_TRUE(window_);
  }
  HWND Child(int id) const { return ChildById(window_, id); }
  std::wstring Report() const { return WindowText(Child(207)); }

  Process standin_;
  HWND window_ = nullptr;
};

TEST_F(ControlsDriverTest, ReadsAndSelectsListLines) {
  const HWND list = Child(203);
  EXPECT_EQ(ListTexts(list), (std::vector<std::wstring>{L"alpha", L"第二", L"gamma"}));
  EXPECT_EQ(ListItemData(list, 1), 101);
  EXPECT_EQ(ListSelectedIndex(list), -1);
  EXPECT_TRUE(SelectAsUser(list, 2));
  EXPECT_EQ(ListSelectedIndex(list), 2);
  EXPECT_EQ(Report(), L"selected 2");
}

TEST_F(ControlsDriverTest, ReadsStatusPanelsFromTheOtherProcess) {
  const HWND status = Child(204);
  EXPECT_EQ(PanelCount(status), 3);
  EXPECT_EQ(PanelRightEdges(status), (std::vector<int>{100, 200, -1}));
  EXPECT_EQ(PanelText(status, 0), L"\t居中");
  EXPECT_EQ(PanelText(status, 2), L"flat");
  EXPECT_EQ(PanelStyle(status, 1), 0);
  EXPECT_EQ(PanelStyle(status, 2), SBT_NOBORDERS);
}

TEST_F(ControlsDriverTest, ChoosesTabsAndHonoursARefusal) {
  const HWND tabs = Child(205);
  EXPECT_EQ(TabCount(tabs), 3);
  EXPECT_EQ(TabText(tabs, 1), L"二");
  EXPECT_EQ(CurrentTab(tabs), 0);
  EXPECT_TRUE(SelectTabAsUser(tabs, 2));
  EXPECT_EQ(CurrentTab(tabs), 2);
  EXPECT_EQ(Report(), L"tab 2");
  EXPECT_EQ(FocusedWindow(window_), tabs);  // a click on a tab focuses the control
  EXPECT_FALSE(SelectTabAsUser(tabs, 0));   // the stand-in refuses to leave "three"
  EXPECT_EQ(CurrentTab(tabs), 2);
}

TEST_F(ControlsDriverTest, FindsTheTooltipOfAControl) {
  EXPECT_EQ(ToolTipText(Child(203)), L"列表提示");
  EXPECT_EQ(ToolTipText(Child(201)), L"ask tip");
  EXPECT_EQ(ToolTipText(Child(202)), std::nullopt);
}

TEST_F(ControlsDriverTest, ClickingOpensAMessageBoxThatCanBeReadAndAnswered) {
  EXPECT_TRUE(ExpectNoMessageBox(standin_.pid(), 200));
  ASSERT_TRUE(Click(Child(201)));
  auto box = WaitForMessageBox(standin_.pid());
  ASSERT_TRUE(box);
  EXPECT_EQ(box->title, L"Stand-in");
  EXPECT_EQ(box->text, L"继续吗？");
  EXPECT_EQ(box->owner, window_);
  EXPECT_TRUE(box->hasOk);
  EXPECT_TRUE(box->hasCancel);
  EXPECT_TRUE(box->hasIcon);
  EXPECT_FALSE(ExpectNoMessageBox(standin_.pid(), 0));
  EXPECT_TRUE(Answer(*box, IDCANCEL));
  EXPECT_TRUE(WaitIdle(window_));
  EXPECT_EQ(WindowText(Child(201)), L"answer 2");
}

TEST_F(ControlsDriverTest, AMessageBoxOwnedByAChildBelongsToItsTopLevelWindow) {
  ASSERT_TRUE(Click(Child(202)));
  auto box = WaitForMessageBox(standin_.pid());
  ASSERT_TRUE(box);
  EXPECT_EQ(box->owner, window_);
  EXPECT_TRUE(box->hasOk);
  EXPECT_FALSE(box->hasCancel);
  EXPECT_FALSE(box->hasIcon);
  EXPECT_FALSE(Answer(*box, IDCANCEL));  // no such button
  EXPECT_TRUE(Answer(*box, IDOK));
}

TEST_F(ControlsDriverTest, ADisabledButtonCannotBeClicked) {
  EXPECT_FALSE(Click(Child(206)));
  EXPECT_EQ(Report(), L"ready");
}

}  // namespace
}  // namespace testsupport
