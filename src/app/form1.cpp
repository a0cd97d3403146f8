#include "app/form1.h"

#include <commctrl.h>
#include <shellapi.h>

#include <array>
#include <ctime>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/form1_ids.h"
#include "app/handed_file.h"
#include "app/startup_timeline.h"
#include "app/status_bar.h"
#include "app/tab_pages.h"
#include "app/version_check.h"
#include "environment/login_user.h"
#include "forms/control_props.h"
#include "forms/create.h"
#include "forms/page_form.h"
#include "forms/post.h"
#include "forms/private_messages.h"
#include "forms/scaling.h"
#include "forms/show.h"
#include "forms/window_proc.h"
#include "install/archive_file.h"
#include "pages/plugin/form2.h"
#include "pages/utilities/form3.h"
#include "pages/windows/form4.h"
#include "version.h"

namespace app {

namespace {

constexpr forms::DesignRect kTabDesignRect{0, 0, 400, 260};

// A framed window with a title bar, a system menu and a minimize box, kept above others.
constexpr DWORD kMainWindowStyle =
    WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
static_assert(kMainWindowStyle == 0x86CA0000);
constexpr DWORD kMainWindowExStyle = WS_EX_CONTROLPARENT | WS_EX_WINDOWEDGE | WS_EX_TOPMOST;
static_assert(kMainWindowExStyle == 0x00010108);
// Tabs of one width; the pages are its children and are not painted over.
// A tab stop of its own: the Tab key reaches the tabs as well as the page under them.
constexpr DWORD kTabControlStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN |
                                   WS_GROUP | WS_TABSTOP | TCS_FIXEDWIDTH;
static_assert(kTabControlStyle == 0x56030400);
// Along the bottom edge, with tooltips for panel texts that do not fit.
constexpr DWORD kStatusBarStyle =
    WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | SBARS_TOOLTIPS | CCS_BOTTOM;
static_assert(kStatusBarStyle == 0x56000803);

struct TabRow {
  const wchar_t* caption;
  HWND (*createPage)(HWND parent, LPARAM userValue);
};
constexpr std::array kTabs = {
    TabRow{plugin_page::kPageCaption, plugin_page::CreateForm2},
    TabRow{utilities_page::kPageCaption, utilities_page::CreateForm3},
    TabRow{windows_page::kPageCaption, windows_page::CreateForm4},
};

// A leading tab centres a panel's text.
constexpr std::array kPanels = {
    PanelSpec{L"\t最新版本", 60}, PanelSpec{L"\t", 50},         PanelSpec{L"\t用户名", 55},
    PanelSpec{L"\t", 110},        PanelSpec{L"\t系统时间", 65}, PanelSpec{L"", 0},
};
constexpr int kLatestVersionPanel = 1;
constexpr int kUserNamePanel = 3;
constexpr int kStartDatePanel = 5;

// Keys that switch pages from anywhere in the window, as property sheets have them: Ctrl+Tab
// and Ctrl+PageDown to the next page, Ctrl+Shift+Tab and Ctrl+PageUp to the previous one.
enum PageCommand : WORD { kNextPageCommand = 0x7F01, kPreviousPageCommand = 0x7F02 };
constexpr ACCEL kPageKeys[] = {
    {FVIRTKEY | FCONTROL, VK_TAB, kNextPageCommand},
    {FVIRTKEY | FCONTROL, VK_NEXT, kNextPageCommand},
    {FVIRTKEY | FCONTROL | FSHIFT, VK_TAB, kPreviousPageCommand},
    {FVIRTKEY | FCONTROL, VK_PRIOR, kPreviousPageCommand},
};
constexpr int32_t kAccelerator = 1;  // the notification code of a command from a key

HWND TabControl() {
  return Form1().slots[kTabControl1].window;
}
HWND StatusBar() {
  return Form1().slots[kStatus1].window;
}

// Event procedures, in the order a user meets them.

// The version check starts once the window answers input (OnModalLoopEvent).
void Form1Load(HWND, LPARAM) {
  SetPanelText(StatusBar(), kUserNamePanel, environment::GetLoginUserName());
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  wchar_t date[16];
  swprintf(date, 16, L"%04u-%02u-%02u", now.wYear, now.wMonth, now.wDay);
  SetPanelText(StatusBar(), kStartDatePanel, date);
  startup::Mark(startup::Step::kPagesLoaded);
}

void TabSelectionChanging(HWND, int32_t, LPARAM) {
  const auto current = static_cast<int>(::SendMessageW(TabControl(), TCM_GETCURSEL, 0, 0));
  if (HWND page = PageOf(TabControl(), current)) ::ShowWindow(page, SW_HIDE);
}

void TabSelectionChanged(HWND, int32_t, LPARAM) {
  const auto current = static_cast<int>(::SendMessageW(TabControl(), TCM_GETCURSEL, 0, 0));
  if (HWND page = PageOf(TabControl(), current)) ::ShowWindow(page, SW_SHOW);
  ::SetFocus(TabControl());
}

// The page keys: what a click on the next or previous tab does, and the focus is drawn.
void NextPage(HWND window, int32_t, LPARAM) {
  ::SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  StepTab(TabControl(), 1);
}

void PreviousPage(HWND window, int32_t, LPARAM) {
  ::SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  StepTab(TabControl(), -1);
}

// The tab control fills the client area above the status bar.
void Form1Resize(int width, int height) {
  HWND tab = TabControl();
  if (!tab) return;
  RECT current{}, status{};
  ::GetWindowRect(tab, &current);
  if (StatusBar()) ::GetWindowRect(StatusBar(), &status);
  int tabWidth = width, tabHeight = height - (status.bottom - status.top);
  if (tabWidth <= 0) tabWidth = current.right - current.left;
  if (tabHeight <= 0) tabHeight = current.bottom - current.top;
  ::SetWindowPos(tab, nullptr, 0, 0, tabWidth, tabHeight, SWP_NOACTIVATE | SWP_NOZORDER);
  if (forms::ControlInfo* info = forms::InfoOf(tab)) {
    const int dpi = forms::DpiOf(tab);
    info->designRect = {0, 0, forms::UnscaleAt(tabWidth, dpi), forms::UnscaleAt(tabHeight, dpi)};
  }
}

// The first page, which the tab control opens on, is shown when it is made; the others are
// built hidden beside it (CreatePageForm).
void BuildPage(HWND tab, size_t index) {
  BindPage(tab, static_cast<int>(index), kTabs[index].createPage(tab, 0));
}

// Only the first page is needed for the window's first paint; the other pages are built right
// after it, before any input can reach them (posted work comes before input). This is posted
// behind the first page's load and posts Form1's load behind the other pages', so that the
// loads run in tab order, Form1's last.
void BuildHiddenPages(HWND window, LPARAM form1LoadValue) {
  if (HWND tab = TabControl()) {
    for (size_t index = 1; index < kTabs.size(); ++index) BuildPage(tab, index);
    FitPages(tab);
  }
  ::PostMessageW(window, forms::messages::kLoad, forms::messages::kLoadTag, form1LoadValue);
}

// Files for the plug-in page, which installs one archive file and refuses anything else
// (several files, whatever their names, or a name that cannot be read).
void TakeFiles(const std::vector<std::wstring>& paths) {
  // The installation shows its progress on the plug-in page: bring it to the front.
  const auto current = static_cast<int>(::SendMessageW(TabControl(), TCM_GETCURSEL, 0, 0));
  if (install::IsOneArchiveFile(paths) && current > 0) StepTab(TabControl(), -current);
  plugin_page::InstallDroppedFiles(paths);
}

void Form1DropFiles(HDROP drop) {
  std::vector<std::wstring> paths;
  const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  if (count == 1) {
    const UINT length = ::DragQueryFileW(drop, 0, nullptr, 0);
    std::vector<wchar_t> path(length + 1);
    if (length > 0 && ::DragQueryFileW(drop, 0, path.data(), length + 1) == length) {
      paths.emplace_back(path.data(), length);
    }
  } else {
    paths.resize(count > 1 ? 2 : 0);
  }
  ::DragFinish(drop);
  TakeFiles(paths);
}

// Files handed to the window (handed_file.h): the one the program was started with, and those
// later starts pass on. They wait for the first idle, when the pages are loaded and the version
// lists filled, so that they meet the checks a drop meets; then each is taken as a drop.
std::deque<std::wstring>& WaitingHandedFiles() {
  static std::deque<std::wstring> files;
  return files;
}
bool takingHandedFiles = false;

void TakeHandedFileSoon(HWND window, std::wstring path) {
  forms::Post(window, [path = std::move(path)] { TakeFiles({path}); });
}

void HandFile(HWND window, std::wstring path) {
  if (takingHandedFiles) {
    TakeHandedFileSoon(window, std::move(path));
  } else {
    WaitingHandedFiles().push_back(std::move(path));
  }
}

void StartTakingHandedFiles(HWND window) {
  takingHandedFiles = true;
  for (std::wstring& path : WaitingHandedFiles()) TakeHandedFileSoon(window, std::move(path));
  WaitingHandedFiles().clear();
}

std::optional<LRESULT> Form1Message(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (auto answer = startup::AnswerQuery(message, wParam)) return answer;
  if (message == WM_DROPFILES) {
    Form1DropFiles(reinterpret_cast<HDROP>(wParam));
    return 0;
  }
  // Sent by a second start, which waits: the file is taken once this returns.
  if (message == WM_COPYDATA) {
    auto path = ReadHandedFile(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    if (!path) return std::nullopt;
    HandFile(window, std::move(*path));
    return TRUE;
  }
  // An installation must not be cut in half by the program's end.
  if (message == WM_CLOSE) plugin_page::FinishBeforeClose();
  if (message != WM_SIZE) return std::nullopt;
  if (wParam != SIZE_MINIMIZED) {
    Form1().slots[kStatus1].window = ::GetDlgItem(window, id::kStatusBar);
    LayoutPanels(StatusBar());
  }
  Form1Resize(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
  return ::DefWindowProcW(window, message, wParam, lParam);
}

void Form1ControlMessage(HWND control, UINT message, WPARAM, LPARAM) {
  const int id = ::GetDlgCtrlID(control);
  if (message == WM_SIZE && id == id::kTabControl) {
    FitPages(control);
  } else if (message == WM_DESTROY && id == id::kTabControl) {
    ReleaseTabs(control);
  } else if (message == WM_DESTROY && id == id::kStatusBar) {
    if (forms::ControlInfo* info = forms::InfoOf(control)) {
      for (HICON& icon : info->panelIcons) {
        if (icon) ::DestroyIcon(icon);
        icon = nullptr;
      }
    }
  }
}

constexpr std::array kRoutes = {
    forms::Route{id::kTabControl, static_cast<int32_t>(TCN_SELCHANGING), TabSelectionChanging, -1,
                 forms::RouteSource::kNotify},
    forms::Route{id::kTabControl, static_cast<int32_t>(TCN_SELCHANGE), TabSelectionChanged, -1,
                 forms::RouteSource::kNotify},
    forms::Route{kNextPageCommand, kAccelerator, NextPage},
    forms::Route{kPreviousPageCommand, kAccelerator, PreviousPage},
};

// At a new DPI the tabs are sized again and the pages fitted under them (the window has its
// new size by now).
void Form1DpiChanged(HWND, int dpi) {
  if (HWND tab = TabControl()) {
    ScaleTabs(tab, dpi);
    FitPages(tab);
  }
}

const forms::FormBehavior& Behavior() {
  static const forms::FormBehavior behavior{
      &Form1(), kRoutes, Form1Load, {}, Form1Message, Form1ControlMessage, Form1DpiChanged};
  return behavior;
}

// The latest version is asked for once the window is up, every page loaded, and answers input:
// at the loop's first idle. Panel 1 fills when the answer comes.
void OnModalLoopEvent(forms::ModalLoopEvent event) {
  if (event == forms::ModalLoopEvent::kShownAndPainted) {
    startup::Mark(startup::Step::kFirstPaint);
    return;
  }
  startup::Mark(startup::Step::kIdle);
  StartVersionCheck(Form1().window, [](const std::wstring& answer) {
    SetPanelText(StatusBar(), kLatestVersionPanel, answer);
  });
  StartTakingHandedFiles(Form1().window);
}

// What DragAcceptFiles does, without loading the shell at start. An elevated window also takes
// drops from the desktop's unelevated Explorer.
void AcceptDroppedFiles(HWND window) {
  ::SetWindowLongPtrW(window, GWL_EXSTYLE,
                      ::GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_ACCEPTFILES);
  constexpr UINT kCopyGlobalData = 0x0049;  // carries the dropped names into the process
  for (UINT message :
       {static_cast<UINT>(WM_DROPFILES), static_cast<UINT>(WM_COPYDATA), kCopyGlobalData}) {
    ::ChangeWindowMessageFilterEx(window, message, MSGFLT_ALLOW, nullptr);
  }
}

void CentreOnWorkArea(HWND window) {
  RECT outer{};
  ::GetWindowRect(window, &outer);
  const int width = outer.right - outer.left, height = outer.bottom - outer.top;
  RECT work{};
  if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) {
    work = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  }
  int left = work.left + (work.right - work.left - width) / 2;
  int top = work.top + (work.bottom - work.top - height) / 2;
  if (left < work.left) {
    left = work.left;
  } else if (left + width > work.right) {
    left = work.right - width;
  }
  if (top < work.top) {
    top = work.top;
  } else if (top + height > work.bottom) {
    top = work.bottom - height;
  }
  ::SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void CreateTabControl(forms::FormObject* form, HWND window) {
  HWND tab = forms::CreateControlWindow(
      form, L"TABCONTROL", window, id::kTabControl, L"", 0, 0, 400, 260, kTabControlStyle,
      WS_EX_CONTROLPARENT, nullptr, forms::ControlProcedure<Behavior>, forms::kReplaceProcedure, 0);
  if (!tab) return;
  forms::AttachControlInfo(tab, window, L"TabControl1", -1, id::kTabControl, L"",
                           &Form1().slots[kTabControl1]);
  for (const TabRow& row : kTabs) AddTab(tab, row.caption, 0, -1);
  BuildPage(tab, 0);
  // The window gives the focus to the shown page's control once it is shown and active; no
  // page takes it while it is built.
  forms::InfoOf(window)->lastFocused = forms::FocusControlOf(PageOf(tab, 0));
  ::SendMessageW(tab, TCM_SETCURSEL, 0, 0);
  forms::InfoOf(tab)->designRect = kTabDesignRect;
  ScaleTabs(tab, form->dpi);
  FitPages(tab);
}

void CreateStatusBar(forms::FormObject* form, HWND window) {
  HWND status = forms::CreateControlWindow(
      form, L"STATUSBAR", window, id::kStatusBar, L"", 0, 0, 0, 0, kStatusBarStyle, 0, nullptr,
      forms::ControlProcedure<Behavior>, forms::kReplaceProcedure, 0);
  if (!status) return;
  forms::ControlInfo* info = forms::AttachControlInfo(
      status, window, L"Status1", -1, id::kStatusBar, L"", &Form1().slots[kStatus1]);
  AddPanels(status, kPanels);
  forms::SetControlFont(Form1().slots[kStatus1], L"Microsoft YaHei,9,0");
  ::SendMessageW(status, SB_SETBKCOLOR, 0, static_cast<LPARAM>(::GetSysColor(COLOR_BTNFACE)));
  info->backColor = forms::kColorButtonFace;
}

}  // namespace

forms::FormDescriptor& Form1() {
  static forms::FormDescriptor descriptor{0, nullptr,
                                          std::vector<forms::ControlSlot>(kForm1SlotCount)};
  return descriptor;
}

INT_PTR CreateForm1(HWND parent, int modalFlag, LPARAM userValue) {
  if (Form1().window && ::IsWindow(Form1().window)) {
    forms::ActivateExistingForm(Form1());
    return reinterpret_cast<INT_PTR>(Form1().window);
  }
  auto* form = new forms::FormObject(kMainWindowClass);
  HWND window = forms::CreateFormWindow(form, parent, L"翎图匠助手 v" LINGTU_VERSION_SHORT,
                                        forms::FormProcedure<Behavior>, 0, 0, 430, 320,
                                        kMainWindowStyle, kMainWindowExStyle);
  Form1().window = window;
  if (!window) return 0;
  forms::InitFormRecord(window, parent, L"Form1");
  AcceptDroppedFiles(window);
  form->accelerators = ::CreateAcceleratorTableW(const_cast<ACCEL*>(kPageKeys),
                                                 static_cast<int>(std::size(kPageKeys)));
  CentreOnWorkArea(window);
  CreateTabControl(form, window);
  CreateStatusBar(form, window);
  // Laid out at its size before it is first shown: the tabs above the status bar.
  RECT client{};
  ::GetClientRect(window, &client);
  ::SendMessageW(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
  forms::Post(window, [window, userValue] { BuildHiddenPages(window, userValue); });
  startup::Mark(startup::Step::kMainFormCreated);
  forms::SetModalLoopObserver(OnModalLoopEvent);
  return forms::ShowFormWindow(window, -modalFlag, parent, SW_SHOWNORMAL);
}

void HandFileToForm1(std::wstring path) {
  HandFile(Form1().window, std::move(path));
}

}  // namespace app
