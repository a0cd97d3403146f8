// The third reference: the assistant's user interface built with plain Win32 calls. The same
// main window (class styles, styles, size, caption, icons), the tab control with its three
// tabs, the three pages as child windows of the tab control with their 18 buttons (two showing
// the assistant's icons), three list boxes, the progress bar, and the status bar with its six
// panels; one tooltip control holding the controls' tools; the frames and labels drawn by their
// page, double-buffered: outlines antialiased with GDI+ and text with GDI (DrawTextW). The
// environment is read as the pages read it at load (the SketchUp versions in the registry, the
// SketchUp processes and their windows, the log-on name), and listed the same way.
//
// The order is the assistant's: the first page before the first paint, the hidden pages, the
// pages' loads and the tooltips right after it (a posted message, handled before any input).
// The assistant draws the same way (one tooltip window for all the tips, GDI+ outlines, GDI
// text, no repaint after its loads); only the bookkeeping differs, so the interactive time of
// the two programs compares the form layer's work with the platform's. What the assistant does
// beyond this (a record for every control and its subclassing by the generic procedures, the
// tooltips made page by page, the loads as posted messages of their own, an empty image list
// on the tab control) is not repeated here.
#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>
#include <tlhelp32.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cwctype>
#include <span>
#include <string>
#include <vector>

#include "reference_stamps.h"
#include "version.h"

namespace {

using reference::Step;

constexpr wchar_t kWindowClass[] = L"LingtuPlainWin32Window";
constexpr wchar_t kPageClass[] = L"LingtuPlainWin32Page";
constexpr wchar_t kCaption[] = L"翎图匠助手 v" LINGTU_VERSION_SHORT;
constexpr wchar_t kProgramIcon[] = L"AAAAA_APPICON";
// Posted before the first paint: builds the hidden pages, runs the loads, makes the tooltips.
constexpr UINT kAfterFirstPaintMessage = WM_APP + 1;
constexpr int kTabControlId = 102, kStatusBarId = 103;

// ---- Design units (pixels at 96 DPI) and fonts, as the assistant sizes them.

int dpi = 96;

int Px(int designUnits) {
  return static_cast<int>(std::nearbyint(static_cast<float>(designUnits) * dpi / 96.0f));
}

enum Font { kYaHei, kYaHeiBold, kSegoeUi, kFontCount };  // "Microsoft YaHei,9[,1]", form default
std::array<HFONT, kFontCount> fonts{};

HFONT MakeFont(const wchar_t* face, int weight) {
  LOGFONTW font{};
  font.lfHeight = -MulDiv(9, dpi, 72);
  font.lfWeight = weight;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfOutPrecision = OUT_TT_PRECIS;
  lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
  return CreateFontIndirectW(&font);
}

// ---- The pages' layout tables (the assistant's src/pages/*/form*.cpp).

struct DesignRect {
  int left, top, width, height;
};

enum class Kind { kButton, kIconButton, kListBox, kProgressBar };

constexpr DWORD kControl = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr DWORD kButton = kControl | WS_TABSTOP | BS_CENTER | BS_VCENTER;
constexpr DWORD kIconButton = kButton | BS_ICON;
constexpr DWORD kListBox = kControl | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
constexpr DWORD kSortedListBox = kListBox | LBS_SORT;
constexpr DWORD kHiddenProgressBar = WS_CHILD | WS_CLIPSIBLINGS;
constexpr DWORD kPage =
    WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

struct ControlRow {
  Kind kind;
  int id;
  const wchar_t* caption;
  DesignRect rect;
  DWORD style;
  Font font = kYaHei;
  const wchar_t* toolTip = nullptr;
  const wchar_t* icon = nullptr;  // icon buttons
};

// Frames and labels, in painting order.
enum class Drawn { kFrame, kCentredLabel, kWrappedLabel };
struct DrawnRow {
  Drawn kind;
  int id;
  const wchar_t* caption;
  DesignRect rect;
};

constexpr wchar_t kVersionListTip[] = L"当前已安装的SU版本列表";
constexpr int kPluginVersionFrame = 107, kUtilitiesVersionFrame = 107, kWindowFrame = 105;

// clang-format off
constexpr ControlRow kPluginControls[] = {
    {Kind::kIconButton, 104, L"", {288, 124, 50, 50}, kIconButton, kYaHeiBold,
     L"启动对应版本的草图大师", L"ICON_SKETCHUP"},
    {Kind::kProgressBar, 106, L"", {11, 210, 269, 20}, kHiddenProgressBar},
    {Kind::kIconButton, 108, L"", {288, 26, 50, 50}, kIconButton, kYaHeiBold,
     L"下载最新版翎图匠并安装", L"AAAAA_APPICON"},
    {Kind::kListBox, 109, L"", {15, 36, 193, 160}, kSortedListBox, kYaHei, kVersionListTip},
};
constexpr DrawnRow kPluginDrawn[] = {
    {Drawn::kCentredLabel, 102, L"安装/更新翎图匠", {263, 81, 100, 20}},
    {Drawn::kFrame, kPluginVersionFrame, L"选择草图版本", {11, 15, 200, 184}},
    {Drawn::kWrappedLabel, 103, L"", {295, 210, 100, 20}},
    {Drawn::kCentredLabel, 110, L"启动草图大师", {263, 179, 100, 20}},
};

constexpr ControlRow kUtilitiesControls[] = {
    {Kind::kButton, 102, L"配置目录1", {232, 89, 80, 30}, kButton, kYaHei,
     L"打开草图大师配置文件路径，该文件保存用户设置"},
    {Kind::kButton, 103, L"插件目录2", {317, 137, 80, 30}, kButton, kYaHei,
     L"打开不带用户名的插件启动目录(ProgramData)"},
    {Kind::kButton, 104, L"插件目录1", {232, 137, 80, 30}, kButton, kYaHei,
     L"打开带用户名的插件启动目录(AppData)"},
    // Enabled by the load when the selected version has the plug-in: never without a version.
    {Kind::kButton, 105, L"卸载翎图匠", {232, 41, 80, 30}, kButton | WS_DISABLED, kYaHei,
     L"删除插件目录下的翎图匠文件"},
    {Kind::kListBox, 108, L"", {15, 36, 193, 185}, kSortedListBox, kYaHei, kVersionListTip},
    {Kind::kButton, 109, L"翎图匠目录", {317, 41, 80, 30}, kButton, kYaHei,
     L"打开草图大师插件目录下的翎图匠目录"},
    {Kind::kButton, 110, L"配置目录2", {317, 89, 80, 30}, kButton, kYaHei,
     L"打开草图大师配置文件路径，该文件保存系统设置"},
    {Kind::kButton, 111, L"草图目录", {232, 186, 80, 30}, kButton, kYaHei,
     L"打开草图大师启动程序所在目录"},
    {Kind::kButton, 112, L"环境检测", {317, 186, 80, 30}, kButton, kYaHei,
     L"检测当前草图版本插件安装环境"},
};
constexpr DrawnRow kUtilitiesDrawn[] = {
    {Drawn::kFrame, 106, L"功能模块", {224, 15, 180, 210}},
    {Drawn::kFrame, kUtilitiesVersionFrame, L"选择草图版本", {11, 15, 200, 210}},
};

constexpr ControlRow kWindowsControls[] = {
    {Kind::kListBox, 102, L"", {15, 36, 193, 185}, kListBox},
    {Kind::kButton, 103, L"刷新列表", {232, 41, 80, 30}, kButton, kYaHei, L"刷新窗口列表"},
    {Kind::kButton, 104, L"重置位置", {317, 41, 80, 30}, kButton, kYaHei, L"将窗口移到屏幕左上角"},
    {Kind::kButton, 107, L"窗口置顶", {232, 89, 80, 30}, kButton, kYaHei, L"将窗口位于顶层"},
    {Kind::kButton, 108, L"取消置顶", {317, 89, 80, 30}, kButton, kYaHei, L"取消窗口顶层"},
    {Kind::kButton, 109, L"禁用窗口", {232, 137, 80, 30}, kButton, kYaHei,
     L"使窗口不接收鼠标键盘操作"},
    {Kind::kButton, 110, L"解除禁用", {317, 137, 80, 30}, kButton, kYaHei,
     L"使窗口接收鼠标键盘操作"},
    {Kind::kButton, 111, L"抖动窗口", {232, 186, 80, 30}, kButton, kYaHei, L"标记窗口位置"},
    {Kind::kButton, 112, L"关闭窗口", {317, 186, 80, 30}, kButton, kYaHei, L"关掉窗口"},
};
constexpr DrawnRow kWindowsDrawn[] = {
    {Drawn::kFrame, 106, L"窗口管理", {224, 15, 180, 210}},
    {Drawn::kFrame, kWindowFrame, L"选择操作窗口", {11, 15, 200, 210}},
};
// clang-format on

struct Page;
using LoadProcedure = void (*)(Page& page);

struct PageRow {
  const wchar_t* caption;  // the tab's
  std::span<const ControlRow> controls;
  std::span<const DrawnRow> drawn;
  int focusId;
  int listId;
  LoadProcedure load;
};

struct Page {
  const PageRow* row = nullptr;
  HWND window = nullptr;
  std::vector<std::wstring> captions;  // of the drawn rows, which the loads may change
};

void LoadPluginPage(Page& page);
void LoadUtilitiesPage(Page& page);
void LoadWindowsPage(Page& page);

const PageRow kPageRows[] = {
    {L"插件管理", kPluginControls, kPluginDrawn, 104, 109, LoadPluginPage},
    {L"实用工具", kUtilitiesControls, kUtilitiesDrawn, 102, 108, LoadUtilitiesPage},
    {L"窗口管理", kWindowsControls, kWindowsDrawn, 102, 102, LoadWindowsPage},
};

// The status bar's panels: design width (0: the rest) and first text; a tab centres it.
struct PanelRow {
  int width;
  const wchar_t* text;
};
constexpr PanelRow kPanels[] = {{60, L"\t最新版本"}, {50, L"\t"},         {55, L"\t用户名"},
                                {110, L"\t"},        {65, L"\t系统时间"}, {0, L""}};
constexpr int kUserNamePanel = 3, kStartDatePanel = 5;

HWND mainWindow, tabControl, statusBar;
std::array<Page, std::size(kPageRows)> pages;

// ---- Building.

HWND CreateControl(HWND page, const ControlRow& row) {
  static constexpr const wchar_t* kClasses[] = {WC_BUTTONW, WC_BUTTONW, WC_LISTBOXW,
                                                PROGRESS_CLASSW};
  const DWORD exStyle = row.kind == Kind::kListBox ? WS_EX_CLIENTEDGE : 0;
  HWND control = CreateWindowExW(
      exStyle, kClasses[static_cast<int>(row.kind)], row.caption, row.style, Px(row.rect.left),
      Px(row.rect.top), Px(row.rect.width), Px(row.rect.height), page,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), GetModuleHandleW(nullptr), nullptr);
  if (row.kind != Kind::kProgressBar) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts[row.font]), FALSE);
  }
  if (row.kind == Kind::kIconButton) {
    HANDLE icon =
        LoadImageW(GetModuleHandleW(nullptr), row.icon, IMAGE_ICON, Px(32), Px(32), LR_SHARED);
    SendMessageW(control, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
  } else if (row.kind == Kind::kListBox) {
    SendMessageW(control, LB_SETITEMHEIGHT, 0, MAKELPARAM(Px(18), 0));
  } else if (row.kind == Kind::kProgressBar) {
    SendMessageW(control, PBM_SETRANGE32, 1, 100);
    SendMessageW(control, PBM_SETPOS, 30, 0);
  }
  return control;
}

// The tab control's display area, where every page lies (one pixel lower, as in the assistant).
RECT PageArea() {
  RECT area{};
  GetClientRect(tabControl, &area);
  SendMessageW(tabControl, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  OffsetRect(&area, 0, 1);
  return area;
}

void BuildPage(size_t index) {
  Page& page = pages[index];
  page.row = &kPageRows[index];
  for (const DrawnRow& drawn : page.row->drawn) page.captions.emplace_back(drawn.caption);
  const RECT area = PageArea();
  page.window = CreateWindowExW(WS_EX_CONTROLPARENT, kPageClass, page.row->caption,
                                kPage | (index == 0 ? WS_VISIBLE : 0), area.left, area.top,
                                area.right - area.left, area.bottom - area.top, tabControl, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(page.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&page));
  for (const ControlRow& row : page.row->controls) CreateControl(page.window, row);
}

void AddToolTips(HWND tip, const Page& page) {
  for (const ControlRow& row : page.row->controls) {
    if (!row.toolTip) continue;
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = page.window;
    tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(page.window, row.id));
    tool.lpszText = const_cast<wchar_t*>(row.toolTip);
    SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void SetPanelText(int panel, const std::wstring& text) {
  SendMessageW(statusBar, SB_SETTEXTW, panel, reinterpret_cast<LPARAM>(text.c_str()));
}

void Layout() {
  RECT client{}, status{};
  GetClientRect(mainWindow, &client);
  SendMessageW(statusBar, WM_SIZE, 0, 0);
  GetWindowRect(statusBar, &status);
  std::array<int, std::size(kPanels)> edges{};
  int x = 0;
  for (size_t i = 0; i < edges.size(); ++i) {
    x = kPanels[i].width > 0 ? x + Px(kPanels[i].width) : client.right;
    edges[i] = x;
  }
  SendMessageW(statusBar, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  SetWindowPos(tabControl, nullptr, 0, 0, client.right,
               client.bottom - (status.bottom - status.top), SWP_NOZORDER | SWP_NOACTIVATE);
  const RECT area = PageArea();
  for (const Page& page : pages) {
    if (page.window) {
      SetWindowPos(page.window, nullptr, area.left, area.top, area.right - area.left,
                   area.bottom - area.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
}

void CreateMainWindow(HINSTANCE instance) {
  mainWindow = CreateWindowExW(
      WS_EX_CONTROLPARENT | WS_EX_WINDOWEDGE | WS_EX_TOPMOST, kWindowClass, kCaption,
      WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0,
      Px(430), Px(320), nullptr, nullptr, instance, nullptr);
  SendMessageW(mainWindow, WM_SETFONT, reinterpret_cast<WPARAM>(fonts[kSegoeUi]), FALSE);
  RECT outer{}, work{};
  GetWindowRect(mainWindow, &outer);
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int width = outer.right - outer.left, height = outer.bottom - outer.top;
  SetWindowPos(mainWindow, nullptr, work.left + std::max(0L, (work.right - work.left - width) / 2),
               work.top + std::max(0L, (work.bottom - work.top - height) / 2), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER);

  tabControl = CreateWindowExW(
      WS_EX_CONTROLPARENT, WC_TABCONTROLW, L"",
      WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_GROUP | TCS_FIXEDWIDTH, 0, 0,
      Px(400), Px(260), mainWindow, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTabControlId)),
      instance, nullptr);
  SendMessageW(tabControl, WM_SETFONT, reinterpret_cast<WPARAM>(fonts[kSegoeUi]), FALSE);
  for (const PageRow& row : kPageRows) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(row.caption);
    const auto count = static_cast<int>(SendMessageW(tabControl, TCM_GETITEMCOUNT, 0, 0));
    SendMessageW(tabControl, TCM_INSERTITEMW, count, reinterpret_cast<LPARAM>(&item));
  }
  SendMessageW(tabControl, TCM_SETITEMSIZE, 0, MAKELPARAM(Px(80), Px(22)));
  SendMessageW(tabControl, TCM_SETPADDING, 0, MAKELPARAM(Px(4), Px(4)));

  statusBar = CreateWindowExW(
      0, STATUSCLASSNAMEW, L"",
      WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | SBARS_TOOLTIPS | CCS_BOTTOM, 0, 0,
      0, 0, mainWindow, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusBarId)), instance,
      nullptr);
  SendMessageW(statusBar, WM_SETFONT, reinterpret_cast<WPARAM>(fonts[kYaHei]), FALSE);
  SendMessageW(statusBar, SB_SETBKCOLOR, 0, static_cast<LPARAM>(GetSysColor(COLOR_BTNFACE)));
  Layout();
  for (int i = 0; i < static_cast<int>(std::size(kPanels)); ++i) SetPanelText(i, kPanels[i].text);

  BuildPage(0);
}

// ---- The pages' loads: what the environment holds, listed as the assistant lists it.

constexpr wchar_t kSketchUpKey[] = L"SOFTWARE\\SketchUp";

// The versions whose install folder exists (read once: both version lists show the same).
const std::vector<std::wstring>& SketchUpVersions() {
  static const std::vector<std::wstring> versions = [] {
    std::vector<std::wstring> found;
    HKEY root = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSketchUpKey, 0, KEY_READ, &root) != ERROR_SUCCESS) {
      return found;
    }
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
      DWORD length = 256;
      if (RegEnumKeyExW(root, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS) {
        break;
      }
      const std::wstring key = std::wstring(name) + L"\\InstallLocation";
      wchar_t folder[261] = {};
      DWORD bytes = 260 * sizeof(wchar_t);
      if (wcsstr(name, L"SketchUp") &&
          RegGetValueW(root, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, folder, &bytes) ==
              ERROR_SUCCESS &&
          GetFileAttributesW(folder) != INVALID_FILE_ATTRIBUTES) {
        found.emplace_back(name);
      }
    }
    RegCloseKey(root);
    return found;
  }();
  return versions;
}

void SetDrawnCaption(Page& page, int id, const wchar_t* caption) {
  for (size_t i = 0; i < page.row->drawn.size(); ++i) {
    if (page.row->drawn[i].id == id) page.captions[i] = caption;
  }
  InvalidateRect(page.window, nullptr, FALSE);
}

void ListVersions(Page& page, int frameId) {
  HWND list = GetDlgItem(page.window, page.row->listId);
  for (const std::wstring& version : SketchUpVersions()) {
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(version.c_str()));
  }
  if (SendMessageW(list, LB_GETCOUNT, 0, 0) > 0) {
    SendMessageW(list, LB_SETCURSEL, 0, 0);
  } else {
    SetDrawnCaption(page, frameId, L"请先安装草图大师");
  }
}

void LoadPluginPage(Page& page) {
  ListVersions(page, kPluginVersionFrame);
}

void LoadUtilitiesPage(Page& page) {
  ListVersions(page, kUtilitiesVersionFrame);
}

struct WindowSearch {
  std::vector<DWORD> processes;
  HWND list;
};

BOOL CALLBACK ListWindow(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<WindowSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (IsWindowVisible(window) && std::ranges::count(search.processes, owner)) {
    wchar_t title[256] = {};
    GetWindowTextW(window, title, 256);
    SendMessageW(search.list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title));
  }
  return TRUE;
}

void LoadWindowsPage(Page& page) {
  WindowSearch search{{}, GetDlgItem(page.window, page.row->listId)};
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    if (lstrcmpiW(entry.szExeFile, L"SketchUp.exe") == 0) {
      search.processes.push_back(entry.th32ProcessID);
    }
  }
  CloseHandle(snapshot);
  if (search.processes.empty()) {
    SetDrawnCaption(page, kWindowFrame, L"无可操作窗口");
    return;
  }
  EnumWindows(ListWindow, reinterpret_cast<LPARAM>(&search));
  if (SendMessageW(search.list, LB_GETCOUNT, 0, 0) > 0)
    SendMessageW(search.list, LB_SETCURSEL, 0, 0);
}

// Everything that is not needed for the first paint, in the assistant's order: the hidden
// pages, the pages' loads, the main window's load (the status panels), the tooltips.
void AfterFirstPaint() {
  for (size_t index = 1; index < pages.size(); ++index) BuildPage(index);
  for (Page& page : pages) page.row->load(page);
  wchar_t user[256] = {};
  DWORD size = 255;
  if (GetUserNameW(user, &size)) SetPanelText(kUserNamePanel, user);
  SYSTEMTIME now{};
  GetLocalTime(&now);
  wchar_t date[16];
  swprintf(date, 16, L"%04u-%02u-%02u", now.wYear, now.wMonth, now.wDay);
  SetPanelText(kStartDatePanel, date);
  HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, mainWindow, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, 600);
  for (const Page& page : pages) AddToolTips(tip, page);
  SetFocus(GetDlgItem(pages[0].window, pages[0].row->focusId));
  reference::Stamp(Step::kPagesLoaded);
}

// ---- Painting a page: background, frames and labels, off screen, then copied in one go.

// A frame's outline: antialiased, corner radius 3, one pixel of the button shadow's colour, its
// top edge through the middle of the caption.
void AddFrameOutline(Gdiplus::GraphicsPath& path, const DesignRect& design, int captionHeight) {
  const float x = static_cast<float>(Px(design.left)), d = 6;
  const float y = Px(design.top) + captionHeight / 2.0f, w = Px(design.width) - 1.0f,
              h = Px(design.height) - captionHeight / 2.0f - 1.0f;
  path.StartFigure();
  path.AddArc(x, y, d, d, 180, 90);
  path.AddArc(x + w - d, y, d, d, 270, 90);
  path.AddArc(x + w - d, y + h - d, d, d, 0, 90);
  path.AddArc(x, y + h - d, d, d, 90, 90);
  path.CloseFigure();
}

// A frame's caption sits on its top edge, over a patch of the page's background.
void DrawFrameCaption(HDC dc, const DesignRect& design, const std::wstring& text) {
  const std::wstring caption = L" " + text + L" ";
  SIZE measured{};
  GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &measured);
  const int left = Px(design.left) + 5, top = Px(design.top);
  RECT box{left, top, left + std::min<int>(measured.cx, std::max(0, Px(design.width) - Px(20))),
           top + measured.cy};
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &box, nullptr, 0, nullptr);
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &box,
            DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void DrawLabel(HDC dc, const DrawnRow& row, const std::wstring& text) {
  RECT box{Px(row.rect.left), Px(row.rect.top), Px(row.rect.left + row.rect.width),
           Px(row.rect.top + row.rect.height)};
  const UINT format = row.kind == Drawn::kCentredLabel ? DT_SINGLELINE | DT_CENTER | DT_VCENTER
                                                       : DT_WORDBREAK | DT_EXPANDTABS;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, format | DT_NOPREFIX);
}

// Background, frame outlines, then the texts, off screen; copied to the window in one go.
void PaintPage(HWND window) {
  const Page& page = *reinterpret_cast<Page*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  PAINTSTRUCT paint;
  HDC target = BeginPaint(window, &paint);
  RECT client{};
  GetClientRect(window, &client);
  HDC dc = CreateCompatibleDC(target);
  HBITMAP bitmap = CreateCompatibleBitmap(target, client.right, client.bottom);
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  HGDIOBJ oldFont = SelectObject(dc, fonts[kYaHei]);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  {
    Gdiplus::GraphicsPath outlines;
    for (const DrawnRow& row : page.row->drawn) {
      if (row.kind == Drawn::kFrame) AddFrameOutline(outlines, row.rect, metrics.tmHeight);
    }
    Gdiplus::Graphics graphics(dc);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    Gdiplus::Pen pen(Gdiplus::Color(GetRValue(shadow), GetGValue(shadow), GetBValue(shadow)), 1);
    graphics.DrawPath(&pen, &outlines);
  }
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  for (size_t i = 0; i < page.row->drawn.size(); ++i) {
    const DrawnRow& row = page.row->drawn[i];
    if (row.kind == Drawn::kFrame) {
      DrawFrameCaption(dc, row.rect, page.captions[i]);
    } else if (!page.captions[i].empty()) {
      DrawLabel(dc, row, page.captions[i]);
    }
  }
  BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(dc);
  EndPaint(window, &paint);
}

LRESULT CALLBACK PageProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the paint covers it all
    case WM_PAINT:
      PaintPage(window);
      return 0;
    case WM_COMMAND:
    case WM_NOTIFY:
      return 0;  // the assistant's pages act here; the reference has nothing to do
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

LRESULT CALLBACK MainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (LRESULT answer; reference::AnswerQuery(message, wParam, &answer)) return answer;
  switch (message) {
    case kAfterFirstPaintMessage:
      AfterFirstPaint();
      return 0;
    case WM_SIZE:
      if (statusBar && wParam != SIZE_MINIMIZED) Layout();
      return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->hwndFrom == tabControl &&
          (header->code == TCN_SELCHANGING || header->code == TCN_SELCHANGE)) {
        const auto current = static_cast<size_t>(SendMessageW(tabControl, TCM_GETCURSEL, 0, 0));
        if (current < pages.size() && pages[current].window) {
          ShowWindow(pages[current].window, header->code == TCN_SELCHANGE ? SW_SHOW : SW_HIDE);
        }
      }
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

void RegisterClasses(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  windowClass.lpfnWndProc = MainProcedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  windowClass.hIcon =
      static_cast<HICON>(LoadImageW(instance, kProgramIcon, IMAGE_ICON, 48, 48, LR_SHARED));
  windowClass.hIconSm =
      static_cast<HICON>(LoadImageW(instance, kProgramIcon, IMAGE_ICON, 32, 32, LR_SHARED));
  RegisterClassExW(&windowClass);
  windowClass.lpfnWndProc = PageProcedure;
  windowClass.lpszClassName = kPageClass;
  windowClass.hIcon = windowClass.hIconSm = nullptr;
  RegisterClassExW(&windowClass);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  reference::Stamp(Step::kMain);
  INITCOMMONCONTROLSEX controls{sizeof(controls),
                                ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
  if (HDC screen = GetDC(nullptr)) {
    dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
  }
  fonts = {MakeFont(L"Microsoft YaHei", FW_NORMAL), MakeFont(L"Microsoft YaHei", FW_BOLD),
           MakeFont(L"Segoe UI", FW_NORMAL)};
  RegisterClasses(instance);
  CreateMainWindow(instance);
  PostMessageW(mainWindow, kAfterFirstPaintMessage, 0, 0);
  reference::Stamp(Step::kMainFormCreated);
  ShowWindow(mainWindow, SW_SHOWNORMAL);
  UpdateWindow(mainWindow);
  reference::Stamp(Step::kFirstPaint);
  reference::RunMessageLoop(mainWindow);
  Gdiplus::GdiplusShutdown(token);
  for (HFONT font : fonts) DeleteObject(font);
  return 0;
}
