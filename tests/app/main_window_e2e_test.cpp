// The assistant as a person meets it at start: the main window, its tabs and status bar, the
// single-instance guard and closing.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <ctime>
#include <map>
#include <tuple>
#include <string>

#include "app/form1_ids.h"
#include "pages/plugin/form2_ids.h"
#include "pages/utilities/form3_ids.h"
#include "support/driver.h"
#include "support/paths.h"
#include "support/update_server_client.h"

namespace {

using namespace testsupport;

constexpr int kTabControlId = app::id::kTabControl;
constexpr int kStatusBarId = app::id::kStatusBar;
const wchar_t* const kPageClasses[] = {L"翎图匠助手_Form2", L"翎图匠助手_Form3",
                                       L"翎图匠助手_Form4"};

std::wstring Today() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  wchar_t text[16];
  swprintf(text, 16, L"%04u-%02u-%02u", now.wYear, now.wMonth, now.wDay);
  return text;
}

HWND Page(HWND tab, int index) {
  return FindDescendant(tab, kPageClasses[index]);
}

// Pixels of the program's icon (a teal tile) at the left end of the window's title bar, read
// off the screen.
int IconPixelsInTitleBar(HWND window) {
  const RECT outer = OuterRect(window);
  const int captionBottom =
      outer.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION);
  HDC screen = GetDC(nullptr);
  int teal = 0;
  for (int y = outer.top; y < captionBottom; ++y) {
    for (int x = outer.left; x < outer.left + 32; ++x) {
      const COLORREF c = GetPixel(screen, x, y);
      if (GetRValue(c) < 60 && GetGValue(c) > 80 && GetBValue(c) > 80 &&
          std::abs(GetGValue(c) - GetBValue(c)) < 30) {
        ++teal;
      }
    }
  }
  ReleaseDC(nullptr, screen);
  return teal;
}

// Every test starts from a plain server and leaves the session free for the next one.
class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(UpdateServer::Reset()); }
  void TearDown() override {
    if (app_.window && IsWindow(app_.window)) RequestClose(app_.window);
    UpdateServer::Reset();
  }
  void Launch(const std::vector<EnvChange>& env = {}) {
    app_ = LaunchApp(env);
    ASSERT_NE(app_.window, nullptr) << "the main window did not appear";
    tab_ = ChildById(app_.window, kTabControlId);
    status_ = ChildById(app_.window, kStatusBarId);
    ASSERT_NE(tab_, nullptr);
    ASSERT_NE(status_, nullptr);
    // The load event writes the start date last; the layout is final from then on.
    ASSERT_TRUE(WaitUntil([&] { return PanelText(status_, 5) == Today(); }));
    WaitIdle(app_.window);
  }
  static std::string Units(const std::wstring& text) {
    std::string hex;
    for (wchar_t unit : text) {
      char part[8];
      snprintf(part, sizeof(part), "%04X ", static_cast<unsigned>(unit));
      hex += part;
    }
    return hex;
  }
  // The version request ends quickly against the local server; wait for its answer.
  void WaitForVersionPanel(const std::wstring& expected) {
    EXPECT_TRUE(WaitUntil([&] { return PanelText(status_, 1) == expected; }))
        << "panel 1 holds " << Units(PanelText(status_, 1));
  }

  RunningApp app_;
  HWND tab_ = nullptr;
  HWND status_ = nullptr;
};

TEST_F(MainWindowTest, OpensCentredAndTopmostWithTheFirstPage) {
  Launch();
  EXPECT_EQ(ClassOf(app_.window), L"翎图匠助手_Form1");
  EXPECT_EQ(WindowText(app_.window), L"翎图匠助手 v1.0.8");
  EXPECT_TRUE(IsTopmost(app_.window));
  EXPECT_EQ(Style(app_.window) & 0xFFFF0000, 0x96CA0000);  // as designed, now visible
  EXPECT_GT(IconPixelsInTitleBar(app_.window), 40) << "no program icon in the title bar";

  const RECT outer = OuterRect(app_.window);
  EXPECT_EQ(outer.right - outer.left, 430);
  EXPECT_EQ(outer.bottom - outer.top, 320);
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(outer.left, work.left + (work.right - work.left - 430) / 2);
  EXPECT_EQ(outer.top, work.top + (work.bottom - work.top - 320) / 2);

  ASSERT_EQ(TabCount(tab_), 3);
  EXPECT_EQ(TabText(tab_, 0), L"插件管理");
  EXPECT_EQ(TabText(tab_, 1), L"实用工具");
  EXPECT_EQ(TabText(tab_, 2), L"窗口管理");
  EXPECT_EQ(CurrentTab(tab_), 0);
  EXPECT_TRUE(IsVisible(Page(tab_, 0)));
  EXPECT_FALSE(IsVisible(Page(tab_, 1)));
  EXPECT_FALSE(IsVisible(Page(tab_, 2)));
  // The icon buttons carry the words painted under them, for screen readers.
  EXPECT_EQ(WindowText(ChildById(Page(tab_, 0), plugin_page::id::kInstallButton)),
            L"安装/更新翎图匠");
  EXPECT_EQ(WindowText(ChildById(Page(tab_, 0), plugin_page::id::kLaunchButton)), L"启动草图大师");
}

TEST_F(MainWindowTest, TheKeyboardReachesWhatIsShownAndDoesWhatAClickDoes) {
  Launch();
  HWND page = Page(tab_, 0);
  HWND launch = ChildById(page, plugin_page::id::kLaunchButton);
  HWND install = ChildById(page, plugin_page::id::kInstallButton);
  HWND list = ChildById(page, plugin_page::id::kVersionList);
  auto focusIs = [&](HWND w) { return WaitUntil([&] { return FocusedWindow(app_.window) == w; }); };
  ASSERT_TRUE(BringToFront(app_.window));
  EXPECT_TRUE(focusIs(launch)) << "the first page's start button has the focus";
  // Enter and Space on a button are its click: no version is listed.
  for (WORD key : {VK_RETURN, VK_SPACE}) {
    ASSERT_TRUE(PressKey(key));
    const auto box = WaitForMessageBox(app_.process.pid());
    ASSERT_TRUE(box) << "key " << key;
    EXPECT_EQ(box->text, L"未检测到已安装的草图大师，请先安装草图大师！");
    ASSERT_TRUE(Answer(*box, IDOK));
    EXPECT_TRUE(focusIs(launch));
  }
  // Tab walks the tabs and the shown page, round the end; Shift+Tab walks back.
  for (HWND next : {tab_, list, install, launch}) {
    ASSERT_TRUE(PressKey(VK_TAB));
    EXPECT_TRUE(focusIs(next)) << GetDlgCtrlID(next);
  }
  EXPECT_EQ(SendWithin(launch, WM_QUERYUISTATE) & UISF_HIDEFOCUS, 0) << "the focus is drawn";
  ASSERT_TRUE(PressKey(VK_TAB, {VK_SHIFT}));
  EXPECT_TRUE(focusIs(install));
  // The page keys choose pages from anywhere as a click on a tab does: the tabs take the focus.
  const std::tuple<WORD, bool, int> pageKeys[] = {
      {VK_TAB, false, 1},
      {VK_NEXT, false, 2},
      {VK_NEXT, false, 0},
      {VK_PRIOR, false, 2},
      {VK_TAB, true, 1}};  // with Shift; the tab chosen then, round the ends
  for (const auto& [key, shift, tab] : pageKeys) {
    ASSERT_TRUE(shift ? PressKey(key, {VK_CONTROL, VK_SHIFT}) : PressKey(key, {VK_CONTROL}));
    EXPECT_TRUE(WaitUntil([&, tab = tab] { return CurrentTab(tab_) == tab; }, 5000)) << tab;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(IsVisible(Page(tab_, i)), i == tab);
    EXPECT_TRUE(focusIs(tab_));
  }
  // From the tabs, Tab goes into the page shown (its list first), never into a hidden one.
  ASSERT_TRUE(PressKey(VK_TAB));
  EXPECT_TRUE(focusIs(ChildById(Page(tab_, 1), utilities_page::id::kVersionList)));
}

TEST_F(MainWindowTest, StatusBarShowsLabelsUserNameDateAndLatestVersion) {
  Launch();
  ASSERT_EQ(PanelCount(status_), 6);
  EXPECT_EQ(PanelText(status_, 0), L"\t最新版本");
  EXPECT_EQ(PanelText(status_, 2), L"\t用户名");
  EXPECT_EQ(PanelText(status_, 4), L"\t系统时间");
  wchar_t user[256] = {};
  DWORD size = 256;
  GetUserNameW(user, &size);
  EXPECT_TRUE(WaitUntil([&] { return PanelText(status_, 3) == user; }));
  EXPECT_EQ(PanelText(status_, 5), Today());
  WaitForVersionPanel(L"1.0.9");  // left-aligned: no leading tab
  for (int i = 0; i < 6; ++i) EXPECT_EQ(PanelStyle(status_, i), 0) << i;

  const std::vector<int> edges = PanelRightEdges(status_);
  ASSERT_EQ(edges.size(), 6u);
  EXPECT_EQ(std::vector<int>(edges.begin(), edges.begin() + 5),
            (std::vector<int>{60, 110, 165, 275, 340}));
  EXPECT_EQ(edges[5], ClientRect(status_).right);
  // The bar lies along the bottom of the window.
  EXPECT_EQ(RectInParent(status_).bottom, ClientRect(app_.window).bottom);

  const auto requests = UpdateServer::Requests();
  ASSERT_FALSE(requests.empty());
  EXPECT_EQ(requests[0].method, "GET");
  EXPECT_EQ(requests[0].target, "/index/tools/getVersion");
}

TEST_F(MainWindowTest, ChoosingATabShowsExactlyItsPageAndFocusesTheTabs) {
  Launch();
  HWND firstPage = Page(tab_, 0);
  const RECT pageBefore = RectInParent(firstPage);
  for (int index : {1, 2, 0}) {
    ASSERT_TRUE(SelectTabAsUser(tab_, index));
    EXPECT_EQ(CurrentTab(tab_), index);
    for (int page = 0; page < 3; ++page) {
      EXPECT_EQ(IsVisible(Page(tab_, page)), page == index) << "tab " << index << " page " << page;
    }
    EXPECT_EQ(FocusedWindow(app_.window), tab_);
  }
  // Pages are hidden and shown, never rebuilt.
  EXPECT_EQ(Page(tab_, 0), firstPage);
  const RECT pageAfter = RectInParent(firstPage);
  EXPECT_TRUE(EqualRect(&pageBefore, &pageAfter));
}

TEST_F(MainWindowTest, PagesFillTheTabAreaAndSurviveMinimiseAndRestore) {
  Launch();
  auto layout = [&] {
    const RECT client = ClientRect(app_.window);
    const RECT tab = RectInParent(tab_);
    const RECT status = OuterRect(status_);
    EXPECT_EQ(tab.left, 0);
    EXPECT_EQ(tab.top, 0);
    EXPECT_EQ(tab.right, client.right);
    EXPECT_EQ(tab.bottom, client.bottom - (status.bottom - status.top));
    // Each page sits in the tab's display area, one pixel lower.
    const RECT page = RectInParent(Page(tab_, 0));
    EXPECT_GT(page.top, 1);
    EXPECT_GT(page.right - page.left, 380);
    return std::make_pair(tab, page);
  };
  const auto before = layout();
  PostMessageW(app_.window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(WaitUntil([&] { return IsIconic(app_.window) != FALSE; }));
  PostMessageW(app_.window, WM_SYSCOMMAND, SC_RESTORE, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsIconic(app_.window); }));
  WaitIdle(app_.window);
  const auto after = layout();
  EXPECT_TRUE(EqualRect(&before.first, &after.first));
  EXPECT_TRUE(EqualRect(&before.second, &after.second));
}

TEST_F(MainWindowTest, ShowsAChineseLogOnName) {
  Launch({{L"USER", L"张三"}});
  EXPECT_TRUE(WaitUntil([&] { return PanelText(status_, 3) == L"张三"; }))
      << "panel 3 holds " << Units(PanelText(status_, 3));
}

TEST_F(MainWindowTest, ASecondStartOnlySaysSoAndEnds) {
  Launch();
  const RECT before = OuterRect(app_.window);
  Process second = LaunchProcess(AppExePath());
  ASSERT_TRUE(second);
  auto box = WaitForMessageBox(second.pid());
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->title, L"翎图匠助手");
  EXPECT_EQ(box->text, L"翎图匠助手已打开，请勿重复运行");
  EXPECT_TRUE(box->hasOk);
  EXPECT_FALSE(box->hasCancel);
  EXPECT_FALSE(box->hasIcon);
  EXPECT_EQ(box->owner, nullptr);  // the running instance's window is never the owner
  for (HWND window : TopLevelWindows(second.pid())) {
    EXPECT_NE(ClassOf(window), L"翎图匠助手_Form1");
  }
  ASSERT_TRUE(Answer(*box, IDOK));
  EXPECT_EQ(second.WaitForExit(), std::optional<DWORD>(0));
  EXPECT_TRUE(app_.process.IsRunning());
  const RECT after = OuterRect(app_.window);
  EXPECT_TRUE(EqualRect(&before, &after));
}

TEST_F(MainWindowTest, ClosingTheWindowEndsTheProgramWithCodeZero) {
  Launch();
  ASSERT_TRUE(RequestClose(app_.window));
  EXPECT_EQ(app_.process.WaitForExit(), std::optional<DWORD>(0));
  // The guard goes with the process: the next start runs normally.
  Launch();
  EXPECT_TRUE(IsWindow(app_.window));
}

TEST_F(MainWindowTest, ClosingWhileTheVersionRequestWaitsStillEndsAtOnce) {
  UpdateServer::SetRoute("/index/tools/getVersion", "1.0.9", {.delayMs = 60000});
  Launch();
  EXPECT_EQ(PanelText(status_, 1), L"\t");
  ASSERT_TRUE(RequestClose(app_.window));
  EXPECT_EQ(app_.process.WaitForExit(5000), std::optional<DWORD>(0));
}

TEST_F(MainWindowTest, LatestVersionIsShownVerbatimInChinese) {
  // "最新1.1.0" and a line break, in GBK.
  const std::string gbk =
      "\xD7\xEE\xD0\xC2"
      "1.1.0\r\n";
  UpdateServer::SetRoute("/index/tools/getVersion", gbk, {.contentType = "text/plain"});
  Launch();
  // The line break is handed over too; Wine's status bar keeps it as two blanks.
  EXPECT_TRUE(WaitUntil([&] {
    const std::wstring text = PanelText(status_, 1);
    return text == L"最新1.1.0\r\n" || text == L"最新1.1.0  ";
  })) << "panel 1 holds "
      << Units(PanelText(status_, 1));
}

TEST_F(MainWindowTest, LatestVersionStaysEmptyWhenTheServerIsDown) {
  UpdateServer::RefuseConnections(true);
  Launch();
  WaitForVersionPanel(L"");
  EXPECT_TRUE(ExpectNoMessageBox(app_.process.pid(), 500));
}

TEST_F(MainWindowTest, WindowAnswersAtOnceWhileTheServerIsSlow) {
  UpdateServer::SetRoute("/index/tools/getVersion", "1.0.9", {.delayMs = 4000});
  Launch();
  const DWORD start = GetTickCount();
  ASSERT_TRUE(SelectTabAsUser(tab_, 1));
  EXPECT_TRUE(IsVisible(Page(tab_, 1)));
  EXPECT_LT(GetTickCount() - start, 1500u);
  EXPECT_EQ(PanelText(status_, 1), L"\t");  // still waiting
  WaitForVersionPanel(L"1.0.9");
}

// A reply over 4 KiB is no version: the panel stays empty, an endless one is not read on (the
// server sees the connection dropped) and the memory stays small.
TEST_F(MainWindowTest, AVersionReplyOverTheBoundIsNotShown) {
  UpdateServer::SetRoute("/index/tools/getVersion", std::string(4097, '1'));
  Launch();
  WaitForVersionPanel(L"");
  ASSERT_TRUE(RequestClose(app_.window));
  UpdateServer::SetRoute("/index/tools/getVersion", "1.0.9",
                         {.omitContentLength = true, .chunkSize = 1 << 16, .endless = true});
  Launch();
  EXPECT_TRUE(WaitUntil([] { return UpdateServer::LastEnd() == "dropped"; }))
      << "the server is still sending";
  WaitForVersionPanel(L"");
  EXPECT_LT(app_.process.PeakWorkingSet(), 100u << 20);
}

}  // namespace

namespace {

// The screen's DPI for programs started from now on.
bool SetLogPixels(DWORD dpi) {
  return RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD,
                         &dpi, sizeof(dpi)) == ERROR_SUCCESS;
}

class HighDpiTest : public MainWindowTest, public ::testing::WithParamInterface<int> {
 protected:
  void TearDown() override {
    MainWindowTest::TearDown();
    SetLogPixels(96);
  }
  // What depends on the DPI alone (not on the title bar, which the system draws), as a start at
  // that DPI lays it out from the design values.
  void ExpectLayoutAt(int dpi) {
    auto scaled = [&](int designUnits) { return MulDiv(designUnits, dpi, 96); };
    const RECT outer = OuterRect(app_.window);
    EXPECT_EQ(outer.right - outer.left, scaled(430));
    EXPECT_EQ(outer.bottom - outer.top, scaled(320));
    // Panels of 60, 50, 55, 110 and 65 design units, each edge rounded half to even.
    const std::map<int, std::vector<int>> edges = {{96, {60, 110, 165, 275, 340}},
                                                   {144, {90, 165, 248, 413, 510}},
                                                   {192, {120, 220, 330, 550, 680}}};
    const std::vector<int> shown = PanelRightEdges(status_);
    EXPECT_EQ(std::vector<int>(shown.begin(), shown.end() - 1), edges.at(dpi));
    const RECT tabItem = TabItemRect(tab_, 0).value_or(RECT{});
    EXPECT_EQ(tabItem.right - tabItem.left, scaled(80));
    HWND page = Page(tab_, 0);
    const RECT launch = RectInParent(ChildById(page, plugin_page::id::kLaunchButton));
    EXPECT_EQ(launch.left, scaled(288));
    EXPECT_EQ(launch.top, scaled(124));
    EXPECT_EQ(launch.right - launch.left, scaled(50));
    HWND list = ChildById(page, plugin_page::id::kVersionList);
    EXPECT_EQ(RectInParent(list).bottom, scaled(36 + 160));
    EXPECT_EQ(SendWithin(list, LB_GETITEMHEIGHT), scaled(18));
  }
};

TEST_P(HighDpiTest, EverythingScalesWithTheScreen) {
  ASSERT_TRUE(SetLogPixels(GetParam()));
  Launch();
  ExpectLayoutAt(GetParam());
}

INSTANTIATE_TEST_SUITE_P(SystemDpi, HighDpiTest, ::testing::Values(144, 192));

// Moved to a monitor of another DPI, the window lays itself out as a start there does.
using MonitorDpiTest = HighDpiTest;

TEST_F(MonitorDpiTest, FollowsTheDpiOfItsMonitor) {
  Launch();
  for (int dpi : {144, 192, 96}) {
    SCOPED_TRACE(dpi);
    const RECT outer = OuterRect(app_.window);
    ASSERT_TRUE(SendDpiChange(app_.window, dpi,
                              {outer.left, outer.top, outer.left + MulDiv(430, dpi, 96),
                               outer.top + MulDiv(320, dpi, 96)}));
    ExpectLayoutAt(dpi);
  }
}

}  // namespace
