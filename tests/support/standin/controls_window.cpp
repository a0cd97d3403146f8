#include "standin/controls_window.h"

#include <commctrl.h>

#include <string>

#include "standin/model_window.h"

namespace standin {
namespace {

constexpr wchar_t kClassName[] = L"StandinControlsWindow";
enum : int { kAsk = 201, kTell, kList, kStatus, kTabs, kDisabled, kReport };

void Report(HWND window, const std::wstring& text) {
  ::SetDlgItemTextW(window, kReport, text.c_str());
}

HWND AddChild(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int id,
              int x, int y, int width, int height) {
  return ::CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           ::GetModuleHandleW(nullptr), nullptr);
}

void AddTool(HWND tip, HWND owner, HWND control, const wchar_t* text) {
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = owner;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = const_cast<wchar_t*>(text);
  ::SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CreateControls(HWND window) {
  AddChild(window, WC_BUTTONW, L"Ask", BS_PUSHBUTTON, kAsk, 10, 10, 100, 28);
  AddChild(window, WC_BUTTONW, L"Tell", BS_PUSHBUTTON, kTell, 120, 10, 100, 28);
  AddChild(window, WC_BUTTONW, L"Disabled", BS_PUSHBUTTON | WS_DISABLED, kDisabled, 230, 10, 100,
           28);
  HWND list = AddChild(window, WC_LISTBOXW, L"", LBS_NOTIFY | WS_VSCROLL | WS_BORDER, kList, 10, 50,
                       150, 120);
  const wchar_t* lines[] = {L"alpha", L"第二", L"gamma"};
  for (int i = 0; i < 3; ++i) {
    const LRESULT index = ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lines[i]));
    ::SendMessageW(list, LB_SETITEMDATA, index, 100 + i);
  }
  HWND tabs = AddChild(window, WC_TABCONTROLW, L"", WS_CLIPSIBLINGS, kTabs, 170, 50, 300, 120);
  const wchar_t* captions[] = {L"one", L"二", L"three"};
  for (int i = 0; i < 3; ++i) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(captions[i]);
    ::SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
  AddChild(window, WC_STATICW, L"ready", 0, kReport, 10, 180, 300, 20);
  HWND status = AddChild(window, STATUSCLASSNAMEW, L"", 0, kStatus, 0, 0, 0, 0);
  const int edges[] = {100, 200, -1};
  ::SendMessageW(status, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
  ::SendMessageW(status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"\t居中"));
  ::SendMessageW(status, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(L"plain"));
  ::SendMessageW(status, SB_SETTEXTW, 2 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(L"flat"));
  HWND tip = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                               window, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  AddTool(tip, window, list, L"列表提示");
  AddTool(tip, window, ::GetDlgItem(window, kAsk), L"ask tip");
}

void OnCommand(HWND window, int id, int code, HWND control) {
  if (id == kList && code == LBN_SELCHANGE) {
    Report(window, L"selected " + std::to_wstring(::SendMessageW(control, LB_GETCURSEL, 0, 0)));
    return;
  }
  if (code != BN_CLICKED) return;
  Report(window, L"clicked " + std::to_wstring(id));
  if (id == kAsk) {
    const int answer =
        ::MessageBoxW(window, L"继续吗？", L"Stand-in", MB_OKCANCEL | MB_ICONQUESTION);
    ::SetWindowTextW(control, (L"answer " + std::to_wstring(answer)).c_str());
  } else if (id == kTell) {
    ::MessageBoxW(control, L"Told", L"Stand-in", MB_OK);
  }
}

LRESULT OnNotify(HWND window, const NMHDR& header) {
  if (header.idFrom != kTabs) return 0;
  const LRESULT current = ::SendMessageW(header.hwndFrom, TCM_GETCURSEL, 0, 0);
  if (header.code == TCN_SELCHANGING) return current == 2;  // refuse to leave "three"
  if (header.code == TCN_SELCHANGE) Report(window, L"tab " + std::to_wstring(current));
  return 0;
}

LRESULT CALLBACK ControlsWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateControls(window);
      return 0;
    case WM_SIZE:
      ::SendMessageW(::GetDlgItem(window, kStatus), WM_SIZE, 0, 0);
      return 0;
    case WM_COMMAND:
      OnCommand(window, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_NOTIFY:
      return OnNotify(window, *reinterpret_cast<const NMHDR*>(lParam));
    case WM_DESTROY:
      NoteVisibleWindowGone();
      return 0;
    default:
      return ::DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

HWND CreateControlsWindow(HINSTANCE instance, const WindowRequest& request) {
  INITCOMMONCONTROLSEX init{sizeof(init), ICC_TAB_CLASSES | ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&init);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = ControlsWindowProc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  if (!::RegisterClassExW(&wc)) return nullptr;
  RECT rect = request.rect.value_or(RECT{50, 50, 550, 350});
  HWND window = ::CreateWindowExW(0, kClassName, kControlsWindowTitle, WS_OVERLAPPEDWINDOW,
                                  rect.left, rect.top, rect.right - rect.left,
                                  rect.bottom - rect.top, nullptr, nullptr, instance, nullptr);
  if (!window) return nullptr;
  NoteVisibleWindowCreated();
  ::ShowWindow(window, SW_SHOWNORMAL);
  ::UpdateWindow(window);
  return window;
}

}  // namespace standin
