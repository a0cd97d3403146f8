// The driver's view of common controls: list boxes, the status bar, the tab control and
// tooltips (declared in driver.h).
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include "support/driver.h"
#include "support/remote_buffer.h"

namespace testsupport {
namespace {

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  return SendWithin(window, message, wParam, lParam);
}

std::wstring ReadText(const RemoteBuffer& buffer, size_t offset, size_t chars) {
  std::wstring text(chars, L'\0');
  if (!buffer.Read(text.data(), chars * sizeof(wchar_t), offset)) return L"";
  text.resize(wcsnlen(text.c_str(), chars));
  return text;
}

}  // namespace

// ---- List boxes: the system carries these messages across processes.

int ListCount(HWND list) {
  return static_cast<int>(Send(list, LB_GETCOUNT));
}

std::wstring ListText(HWND list, int index) {
  const LRESULT length = Send(list, LB_GETTEXTLEN, index);
  if (length < 0) return L"";
  std::wstring text(length + 1, L'\0');
  const LRESULT copied = Send(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied < 0 ? 0 : static_cast<size_t>(copied));
  return text;
}

std::vector<std::wstring> ListTexts(HWND list) {
  std::vector<std::wstring> texts;
  const int count = ListCount(list);
  for (int i = 0; i < count; ++i) texts.push_back(ListText(list, i));
  return texts;
}

int ListSelectedIndex(HWND list) {
  return static_cast<int>(Send(list, LB_GETCURSEL));
}

LPARAM ListItemData(HWND list, int index) {
  return Send(list, LB_GETITEMDATA, index);
}

bool SelectAsUser(HWND list, int index, DWORD timeoutMs) {
  if (!::IsWindowVisible(list) || !::IsWindowEnabled(list)) return false;
  if (Send(list, LB_SETCURSEL, index) == LB_ERR && index != -1) return false;
  HWND parent = ::GetParent(list);
  const WPARAM command = MAKEWPARAM(::GetDlgCtrlID(list), LBN_SELCHANGE);
  return ::SendNotifyMessageW(parent, WM_COMMAND, command, reinterpret_cast<LPARAM>(list)) &&
         WaitIdle(parent, timeoutMs);
}

// ---- Status bar: its text and part messages pass raw pointers.

int PanelCount(HWND status) {
  return static_cast<int>(Send(status, SB_GETPARTS));
}

std::wstring PanelText(HWND status, int index) {
  const LRESULT answer = Send(status, SB_GETTEXTLENGTHW, index);
  if (answer < 0) return L"";
  const size_t length = LOWORD(answer);
  RemoteBuffer buffer(status, (length + 1) * sizeof(wchar_t));
  if (!buffer || Send(status, SB_GETTEXTW, index, buffer.AsLParam()) < 0) return L"";
  return ReadText(buffer, 0, length + 1);
}

int PanelStyle(HWND status, int index) {
  const LRESULT answer = Send(status, SB_GETTEXTLENGTHW, index);
  return answer < 0 ? -1 : HIWORD(answer);
}

std::vector<int> PanelRightEdges(HWND status) {
  const int count = PanelCount(status);
  if (count <= 0) return {};
  RemoteBuffer buffer(status, count * sizeof(int));
  if (!buffer || Send(status, SB_GETPARTS, count, buffer.AsLParam()) != count) return {};
  std::vector<int> edges(count);
  if (!buffer.Read(edges.data(), count * sizeof(int))) return {};
  return edges;
}

// ---- Tab control: TCM_GETITEMW and TCM_GETITEMRECT pass raw pointers.

int TabCount(HWND tab) {
  return static_cast<int>(Send(tab, TCM_GETITEMCOUNT));
}

std::wstring TabText(HWND tab, int index) {
  constexpr size_t kChars = 256;
  RemoteBuffer buffer(tab, sizeof(TCITEMW) + kChars * sizeof(wchar_t));
  if (!buffer) return L"";
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = static_cast<wchar_t*>(buffer.At(sizeof(TCITEMW)));
  item.cchTextMax = kChars;
  if (!buffer.WriteValue(item) || Send(tab, TCM_GETITEMW, index, buffer.AsLParam()) <= 0) {
    return L"";
  }
  return ReadText(buffer, sizeof(TCITEMW), kChars);
}

int CurrentTab(HWND tab) {
  return static_cast<int>(Send(tab, TCM_GETCURSEL));
}

std::optional<RECT> TabItemRect(HWND tab, int index) {
  RemoteBuffer buffer(tab, sizeof(RECT));
  RECT rect{};
  if (!buffer || Send(tab, TCM_GETITEMRECT, index, buffer.AsLParam()) <= 0 ||
      !buffer.ReadValue(rect)) {
    return std::nullopt;
  }
  return rect;
}

bool SelectTabAsUser(HWND tab, int index, DWORD timeoutMs) {
  if (!::IsWindowVisible(tab) || !::IsWindowEnabled(tab)) return false;
  if (index < 0 || index >= TabCount(tab)) return false;
  const std::optional<RECT> item = TabItemRect(tab, index);
  if (!item) return false;
  const RECT rect = *item;
  // A click in the middle of the tab: the control raises both notifications itself.
  const LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  if (!::SendNotifyMessageW(tab, WM_LBUTTONDOWN, MK_LBUTTON, point) ||
      !::SendNotifyMessageW(tab, WM_LBUTTONUP, 0, point) || !WaitIdle(tab, timeoutMs)) {
    return false;
  }
  return CurrentTab(tab) == index;
}

// ---- Tooltips.

std::optional<std::wstring> ToolTipText(HWND control) {
  constexpr size_t kChars = 1024;  // the longest text a tooltip hands out
  for (HWND tip : TopLevelWindows(ProcessOf(control))) {
    if (ClassOf(tip) != TOOLTIPS_CLASSW) continue;
    RemoteBuffer buffer(tip, sizeof(TTTOOLINFOW) + (kChars + 1) * sizeof(wchar_t));
    if (!buffer) continue;
    const int count = static_cast<int>(Send(tip, TTM_GETTOOLCOUNT));
    for (int i = 0; i < count; ++i) {
      TTTOOLINFOW info{};
      info.cbSize = sizeof(info);
      if (!buffer.WriteValue(info) || Send(tip, TTM_ENUMTOOLSW, i, buffer.AsLParam()) <= 0 ||
          !buffer.ReadValue(info)) {
        continue;
      }
      const bool names = (info.uFlags & TTF_IDISHWND) ? reinterpret_cast<HWND>(info.uId) == control
                                                      : info.hwnd == control;
      if (!names) continue;
      info.lpszText = static_cast<wchar_t*>(buffer.At(sizeof(TTTOOLINFOW)));
      const wchar_t empty = L'\0';
      if (!buffer.WriteValue(info) || !buffer.WriteValue(empty, sizeof(TTTOOLINFOW))) {
        return std::nullopt;
      }
      Send(tip, TTM_GETTEXTW, kChars, buffer.AsLParam());
      return ReadText(buffer, sizeof(TTTOOLINFOW), kChars + 1);
    }
  }
  return std::nullopt;
}

// ---- Monitors: WM_DPICHANGED carries a pointer to the suggested rectangle.

bool SendDpiChange(HWND window, int dpi, const RECT& suggested) {
  RemoteBuffer buffer(window, sizeof(RECT));
  return buffer && buffer.WriteValue(suggested) &&
         SendWithin(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), buffer.AsLParam()) == 0;
}

// ---- Dropping files: WM_DROPFILES carries an HDROP, a DROPFILES record followed by the
// names, each ending in a zero, the list in one more. Wine 8 does not carry it across processes:
// an HDROP made with GlobalAlloc here reads as garbage there. The record placed in the target
// (VirtualAllocEx) is read as the window's own, because a handle that is a plain pointer locks
// to itself; DragFinish's free of it fails quietly.

bool DropFiles(HWND window, const std::vector<std::wstring>& paths, DWORD timeoutMs) {
  std::wstring names;
  for (const std::wstring& path : paths) names.append(path).push_back(L'\0');
  names.push_back(L'\0');
  DROPFILES header{};
  header.pFiles = sizeof(DROPFILES);
  header.fWide = TRUE;
  const size_t bytes = names.size() * sizeof(wchar_t);
  RemoteBuffer buffer(window, sizeof(DROPFILES) + bytes);
  // The window reads the names before anything it does in return (a message box) waits.
  return buffer && buffer.WriteValue(header) && buffer.Write(names.data(), bytes, sizeof header) &&
         ::SendNotifyMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(buffer.At()), 0) &&
         WaitIdle(window, timeoutMs);
}

}  // namespace testsupport
