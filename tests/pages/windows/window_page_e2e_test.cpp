// The window page as a person uses it: the list of SketchUp's windows, its tooltip, and the
// seven buttons observed on stand-in SketchUp windows.
//
// An operation may wait on the target (moving or closing another process's window is carried
// to that window's thread); while it waits the assistant still answers the driver's idle
// check, so each test waits for what the operation does rather than for the click alone.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app/form1_ids.h"
#include "base/text.h"
#include "pages/windows/form4_ids.h"
#include "support/driver.h"
#include "support/standin.h"

namespace {

using namespace testsupport;

constexpr wchar_t kTitle[] = L"翎图匠助手";
constexpr wchar_t kChooseFirst[] = L"请选中要操作的窗口再操作！";
constexpr wchar_t kWindowGone[] = L"窗口已被销毁，请刷新列表后再操作！";

namespace id = windows_page::id;
constexpr int kTabControlId = app::id::kTabControl;
constexpr int kListId = id::kWindowList;
constexpr int kRefreshId = id::kRefreshButton;
enum OperationId {
  kResetPositionId = id::kResetPositionButton,
  kMakeTopmostId = id::kMakeTopmostButton,
  kCancelTopmostId = id::kCancelTopmostButton,
  kDisableId = id::kDisableButton,
  kEnableId = id::kEnableButton,
  kShakeId = id::kShakeButton,
  kCloseId = id::kCloseButton,
};

// Moves a tab control's selection with the arrow keys, as a person with the keyboard would;
// the tab control then notifies its parent within the assistant's process. (Wine 8 does not
// carry a WM_NOTIFY sent from this process into the assistant's.)
bool ChooseTabByKeyboard(HWND tab, int index) {
  for (int step = 0; step <= TabCount(tab) && CurrentTab(tab) != index; ++step) {
    const WPARAM key = CurrentTab(tab) < index ? VK_RIGHT : VK_LEFT;
    if (!::SendNotifyMessageW(tab, WM_KEYDOWN, key, 1) || !WaitIdle(tab)) return false;
  }
  return CurrentTab(tab) == index;
}

class WindowPageTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (app_.window) RequestClose(app_.window);
    app_.process.WaitForExit();
  }

  // Starts the assistant and shows its third tab.
  void Launch() {
    app_ = LaunchApp();
    ASSERT_TRUE(app_.window) << "the assistant did not start";
    page_ = FindDescendant(app_.window, L"翎图匠助手_Form4");
    ASSERT_TRUE(page_);
    list_ = ChildById(page_, kListId);
    ASSERT_TRUE(ChooseTabByKeyboard(ChildById(app_.window, kTabControlId), 2));
    ASSERT_TRUE(WaitUntil([&] { return IsVisible(page_); }));
  }

  HWND Button(int id) const { return ChildById(page_, id); }

  std::vector<HWND> Listed() const {
    std::vector<HWND> handles;
    for (int i = 0; i < ListCount(list_); ++i) {
      handles.push_back(reinterpret_cast<HWND>(ListItemData(list_, i)));
    }
    return handles;
  }
  bool IsListed(HWND window) const {
    const auto listed = Listed();
    return std::find(listed.begin(), listed.end(), window) != listed.end();
  }
  int LineOf(HWND window) const {
    const auto listed = Listed();
    const auto at = std::find(listed.begin(), listed.end(), window);
    return at == listed.end() ? -1 : static_cast<int>(at - listed.begin());
  }
  bool Choose(HWND window) { return SelectAsUser(list_, LineOf(window)); }

  // Clicks and expects exactly this box, with an OK button and no icon, and closes it.
  void ExpectClickShows(int id, const std::wstring& text) {
    ASSERT_TRUE(Click(Button(id)));
    const auto box = WaitForMessageBox(app_.process.pid());
    ASSERT_TRUE(box) << "no message box; expected: " << base::WideToUtf8(text);
    EXPECT_EQ(box->title, kTitle);
    EXPECT_EQ(box->text, text);
    EXPECT_TRUE(box->hasOk);
    EXPECT_FALSE(box->hasCancel);
    EXPECT_FALSE(box->hasIcon);
    // The system gives a box asked for by a page its top-level window as owner.
    EXPECT_EQ(box->owner, app_.window);
    EXPECT_TRUE(Answer(*box, IDOK));
  }

  RunningApp app_;
  HWND page_ = nullptr;
  HWND list_ = nullptr;
};

HWND WindowTitled(const Process& standin, const std::wstring& title) {
  for (HWND window : StandinWindows(standin.pid())) {
    if (WindowText(window) == title) return window;
  }
  return nullptr;
}

bool HasRect(HWND window, const RECT& expected) {
  const RECT now = OuterRect(window);
  return EqualRect(&now, &expected) != FALSE;
}

TEST_F(WindowPageTest, WithoutSketchUpTheButtonsAskForAWindowUntilARefreshFindsOne) {
  Launch();
  EXPECT_TRUE(ExpectNoMessageBox(app_.process.pid(), 500));
  EXPECT_EQ(ListCount(list_), 0);
  // Every button is routed to the one operation (see the operations test); two suffice here.
  for (int id : {kResetPositionId, kCloseId}) {
    SCOPED_TRACE(id);
    ExpectClickShows(id, kChooseFirst);
  }

  Process standin = LaunchStandin({L"--window", L"模型"});
  const HWND model = WindowTitled(standin, L"模型");
  ASSERT_TRUE(Click(Button(kRefreshId)));
  EXPECT_EQ(ListTexts(list_), std::vector<std::wstring>{L"模型"});
  EXPECT_EQ(Listed(), std::vector<HWND>{model});
  EXPECT_EQ(ListSelectedIndex(list_), 0);
}

TEST_F(WindowPageTest, ToolTipShowsTheChosenTitleAndARefreshLeavesIt) {
  const std::wstring longTitle(120, L'长');
  Process standin = LaunchStandin({L"--window", L"短", L"--window", longTitle, L"--empty-title"});
  Launch();
  ASSERT_EQ(ListCount(list_), 3);
  EXPECT_FALSE(ToolTipText(list_)) << "the list has no tooltip before a choice";

  ASSERT_TRUE(Choose(WindowTitled(standin, longTitle)));
  EXPECT_EQ(ToolTipText(list_), longTitle);
  ASSERT_TRUE(Click(Button(kRefreshId)));
  EXPECT_EQ(ListSelectedIndex(list_), 0);
  EXPECT_EQ(ToolTipText(list_), longTitle);

  // A window without a title is a line of its own; choosing it removes the tooltip.
  ASSERT_TRUE(Choose(WindowTitled(standin, L"")));
  EXPECT_EQ(ListText(list_, ListSelectedIndex(list_)), L"");
  EXPECT_FALSE(ToolTipText(list_));
}

TEST_F(WindowPageTest, OperationsActOnTheChosenWindow) {
  Process standin =
      LaunchStandin({L"--at", L"300,200,800,600", L"--window", L"目标", L"--empty-title"});
  const HWND target = WindowTitled(standin, L"目标");
  const HWND untitled = WindowTitled(standin, L"");
  ASSERT_TRUE(target && untitled);
  Launch();
  ASSERT_TRUE(Choose(target));

  ASSERT_TRUE(Click(Button(kResetPositionId)));
  EXPECT_TRUE(WaitUntil([&] {
    return HasRect(target, RECT{0, 0, 800, 600});
  })) << "left "
      << OuterRect(target).left << " top " << OuterRect(target).top;

  ASSERT_TRUE(Click(Button(kMakeTopmostId)));
  EXPECT_TRUE(WaitUntil([&] { return IsTopmost(target); }));
  ASSERT_TRUE(Click(Button(kCancelTopmostId)));
  EXPECT_TRUE(WaitUntil([&] { return !IsTopmost(target); }));

  ASSERT_TRUE(Click(Button(kDisableId)));
  EXPECT_TRUE(WaitUntil([&] { return !IsEnabled(target); }));
  ASSERT_TRUE(Click(Button(kEnableId)));
  EXPECT_TRUE(WaitUntil([&] { return IsEnabled(target); }));
  EXPECT_TRUE(IsEnabled(untitled));

  // Shaking moves the window 40 times and puts it back where it was.
  ::SetWindowPos(target, nullptr, 120, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  const RECT before = OuterRect(target);
  ResetStandinMoves(target);
  ASSERT_TRUE(Click(Button(kShakeId)));
  EXPECT_TRUE(WaitUntil([&] { return StandinMoveCount(target) >= 40; }));
  WaitIdle(app_.window);
  ::Sleep(200);
  EXPECT_EQ(StandinMoveCount(target), 40);
  EXPECT_TRUE(HasRect(target, before));

  // The line of a window without a title works like any other.
  ASSERT_TRUE(Choose(untitled));
  ASSERT_TRUE(Click(Button(kDisableId)));
  EXPECT_TRUE(WaitUntil([&] { return !IsEnabled(untitled); }));
  EXPECT_TRUE(IsEnabled(target));
  EXPECT_TRUE(ExpectNoMessageBox(app_.process.pid(), 300));
}

TEST_F(WindowPageTest, ClosingRemovesTheWindowFromTheListAndARefusingOneStays) {
  Process standin =
      LaunchStandin({L"--window", L"甲", L"--refuse-close", L"关不掉", L"--window", L"乙"});
  const HWND closable = WindowTitled(standin, L"甲");
  const HWND refusing = WindowTitled(standin, L"关不掉");
  ASSERT_TRUE(closable && refusing);
  Launch();
  ASSERT_EQ(LineOf(refusing), 1);  // the middle window, whichever way the desktop orders them

  ASSERT_TRUE(Choose(refusing));
  ASSERT_TRUE(Click(Button(kCloseId)));
  // The refresh that follows the close selects the first line again.
  EXPECT_TRUE(WaitUntil([&] { return ListSelectedIndex(list_) == 0; }));
  EXPECT_EQ(StandinCloseCount(refusing), 1);
  EXPECT_EQ(ListCount(list_), 3);
  EXPECT_TRUE(IsListed(refusing));

  ASSERT_TRUE(Choose(closable));
  ASSERT_TRUE(Click(Button(kCloseId)));
  EXPECT_TRUE(WaitUntil([&] { return !IsListed(closable); }));
  EXPECT_FALSE(::IsWindow(closable));
  EXPECT_EQ(ListCount(list_), 2);
  EXPECT_EQ(ListSelectedIndex(list_), 0);
  EXPECT_TRUE(ExpectNoMessageBox(app_.process.pid(), 300));
}

// A window that answers but takes its time to close (it asks its user first, or the window
// system is slow to take it down) holds nothing up and is not called unresponsive: it leaves
// the list by itself once it is gone.
TEST_F(WindowPageTest, AWindowSlowToCloseLeavesTheListByItselfWithoutAWord) {
  Process standin = LaunchStandin({L"--slow-close", L"慢", L"--window", L"留"});
  const HWND slow = WindowTitled(standin, L"慢");
  ASSERT_TRUE(slow);
  Launch();
  ASSERT_TRUE(Choose(slow));
  const DWORD start = ::GetTickCount();
  ASSERT_TRUE(Click(Button(kCloseId)));
  EXPECT_LT(::GetTickCount() - start, kStandinSlowCloseMs / 2) << "the page waited for it";
  EXPECT_TRUE(WaitUntil([&] { return !IsListed(slow); }, 4 * kStandinSlowCloseMs));
  EXPECT_FALSE(::IsWindow(slow));
  EXPECT_EQ(ListTexts(list_), std::vector<std::wstring>{L"留"});
  EXPECT_TRUE(ExpectNoMessageBox(app_.process.pid(), 300));
}

TEST_F(WindowPageTest, AWindowGoneSinceTheLastRefreshAsksForARefresh) {
  Process standin = LaunchStandin({L"--window", L"会消失"});
  const HWND doomed = WindowTitled(standin, L"会消失");
  Launch();
  ASSERT_EQ(Listed(), std::vector<HWND>{doomed});
  ASSERT_TRUE(RequestClose(doomed));

  ExpectClickShows(kMakeTopmostId, kWindowGone);
  EXPECT_EQ(ListTexts(list_), std::vector<std::wstring>{L"会消失"}) << "no refresh of its own";
  ASSERT_TRUE(Click(Button(kRefreshId)));
  EXPECT_EQ(ListCount(list_), 0);
  ExpectClickShows(kMakeTopmostId, kChooseFirst);
}

// A SketchUp that stops answering holds no click up for long; queued moves land later.
TEST_F(WindowPageTest, AHungWindowNeverHoldsUpThePage) {
  Process standin = LaunchStandin({L"--at", L"300,200,800,600", L"--refuse-close", L"冻结"});
  const HWND frozen = WindowTitled(standin, L"冻结");
  Launch();
  ASSERT_TRUE(Choose(frozen));
  ASSERT_TRUE(::PostMessageW(frozen, kStandinHang, 8000, 0));
  ::Sleep(200);

  const std::pair<int, const wchar_t*> steps[] = {
      // button, message (none: nullptr)
      {kShakeId, nullptr},
      {kMakeTopmostId, nullptr},
      {kResetPositionId, nullptr},
      {kDisableId, L"窗口没有响应，操作未完成！"},
      {kCloseId, L"窗口没有响应，已发出关闭请求，请稍后刷新列表！"}};
  for (const auto& [id, message] : steps) {
    const DWORD start = ::GetTickCount();
    ASSERT_TRUE(Click(Button(id)));
    const auto box = WaitForMessageBox(app_.process.pid(), message ? 3000 : 300);
    EXPECT_LT(::GetTickCount() - start, 2500u) << "button " << id;
    ASSERT_EQ(box.has_value(), message != nullptr) << "button " << id;
    if (box) {
      EXPECT_EQ(box->text, message);
      EXPECT_TRUE(Answer(*box, IDOK));
    }
  }
  // Answering again, the window carries out what was queued, in order.
  EXPECT_TRUE(WaitUntil([&] { return StandinCloseCount(frozen) == 1; }));
  EXPECT_TRUE(WaitUntil([&] { return HasRect(frozen, RECT{0, 0, 800, 600}); }));
  EXPECT_TRUE(IsTopmost(frozen));
  EXPECT_TRUE(IsEnabled(frozen));
}

}  // namespace
