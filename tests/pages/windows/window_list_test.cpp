// The window page's list, built in this process against stand-in SketchUp processes: which
// windows are listed, in which order, and what the frame above the list says.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "forms/control_props.h"
#include "forms/list_box.h"
#include "pages/windows/form4.h"
#include "pages/windows/window_identity.h"
#include "support/driver.h"
#include "support/standin.h"

namespace windows_page {
namespace {

void Pump() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

// The page hosted by a plain window of this process, as the main window's tab hosts it.
class WindowListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    host_ = ::CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 500, 320, nullptr,
                              nullptr, nullptr, nullptr);
    ASSERT_TRUE(host_);
    ASSERT_TRUE(CreateForm4(host_, 0));
    Pump();  // the load event lists the windows once
  }
  void TearDown() override {
    if (host_) ::DestroyWindow(host_);
    Pump();
  }

  const forms::ControlSlot& List() const { return Form4().slots[kList1]; }
  std::wstring Frame1Caption() const { return forms::CaptionOf(Form4().slots[kFrame1]); }

  std::vector<std::wstring> Lines() const {
    std::vector<std::wstring> lines;
    for (int i = 0; i < forms::list_box::Count(List()); ++i) {
      lines.push_back(forms::list_box::ItemText(List(), i));
    }
    return lines;
  }
  std::vector<HWND> ListedHandles() const {
    std::vector<HWND> handles;
    for (int i = 0; i < forms::list_box::Count(List()); ++i) {
      handles.push_back(reinterpret_cast<HWND>(forms::list_box::ItemData(List(), i)));
    }
    return handles;
  }

  HWND host_ = nullptr;
};

// The visible top-level windows of the processes, as the desktop enumerates them.
std::vector<HWND> VisibleWindowsInDesktopOrder(const std::vector<DWORD>& pids) {
  struct Collect {
    const std::vector<DWORD>* pids;
    std::vector<HWND> windows;
  } collect{&pids, {}};
  ::EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* c = reinterpret_cast<Collect*>(param);
        const DWORD pid = testsupport::ProcessOf(window);
        for (DWORD wanted : *c->pids) {
          if (pid == wanted && ::IsWindowVisible(window)) c->windows.push_back(window);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&collect));
  return collect.windows;
}

TEST_F(WindowListTest, ListsTheVisibleWindowsOfEverySketchUpProcessInDesktopOrder) {
  EXPECT_EQ(Frame1Caption(), L"无可操作窗口");
  EXPECT_EQ(forms::list_box::Count(List()), 0);

  testsupport::Process first = testsupport::LaunchStandin(
      {L"--window", L"模型 一", L"--hidden", L"hidden", L"--empty-title", L"--window", L"模型 二"});
  testsupport::Process lowerCase =
      testsupport::LaunchStandinAs(L"sketchup.exe", {L"--window", L"b"});
  testsupport::Process otherName =
      testsupport::LaunchStandinAs(L"SketchUp2021.exe", {L"--window", L"not SketchUp"});
  ASSERT_TRUE(first.IsRunning() && lowerCase.IsRunning() && otherName.IsRunning());

  RefreshWindowList();
  EXPECT_EQ(Frame1Caption(), L"选择操作窗口");
  const std::vector<HWND> expected = VisibleWindowsInDesktopOrder({first.pid(), lowerCase.pid()});
  ASSERT_EQ(expected.size(), 4u);
  EXPECT_EQ(ListedHandles(), expected);
  std::vector<std::wstring> titles;
  for (HWND window : expected) titles.push_back(testsupport::WindowText(window));
  EXPECT_EQ(Lines(), titles);
  EXPECT_EQ(forms::list_box::SelectedIndex(List()), 0);

  first.Kill();
  lowerCase.Kill();
  RefreshWindowList();
  EXPECT_EQ(Frame1Caption(), L"无可操作窗口");
  EXPECT_EQ(forms::list_box::Count(List()), 0);
  EXPECT_EQ(forms::list_box::SelectedIndex(List()), -1);
}

TEST_F(WindowListTest, SketchUpWithoutVisibleWindowsAndOverlongTitles) {
  testsupport::Process hiddenOnly = testsupport::LaunchStandin({L"--hidden", L"invisible"});
  RefreshWindowList();
  EXPECT_EQ(Frame1Caption(), L"选择操作窗口");
  EXPECT_EQ(forms::list_box::Count(List()), 0);
  EXPECT_EQ(forms::list_box::SelectedIndex(List()), -1);

  std::wstring longTitle;
  for (int i = 0; i < 30; ++i) longTitle += L"标题" + std::to_wstring(1000000 + i);  // 300 units
  testsupport::Process longOne = testsupport::LaunchStandin({L"--window", longTitle});
  RefreshWindowList();
  EXPECT_EQ(Lines(), std::vector<std::wstring>{longTitle.substr(0, 255)});
}

}  // namespace
// The system may give a closed SketchUp window's handle value to another program's window.
TEST_F(WindowListTest, AListedWindowMustStillBelongToTheSameSketchUp) {
  testsupport::Process sketchUp = testsupport::LaunchStandin({L"--window", L"模型"});
  testsupport::Process other =
      testsupport::LaunchStandinAs(L"SketchUp2021.exe", {L"--window", L"别的程序"});
  const HWND listed = testsupport::StandinWindows(sketchUp.pid()).front();
  const HWND foreign = testsupport::StandinWindows(other.pid()).front();
  EXPECT_TRUE(IsStillSketchUpWindow(listed, sketchUp.pid()));
  EXPECT_FALSE(IsStillSketchUpWindow(foreign, sketchUp.pid()));  // the value reused elsewhere
  EXPECT_FALSE(IsStillSketchUpWindow(foreign, other.pid()));     // a process that is no SketchUp
  sketchUp.Kill();
  EXPECT_FALSE(IsStillSketchUpWindow(listed, sketchUp.pid()));
}

}  // namespace windows_page
