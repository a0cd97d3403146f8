#include "forms/keyboard.h"

#include <algorithm>

#include "forms/create.h"

namespace forms {

namespace {

LONG StyleOf(HWND window) {
  return ::GetWindowLongW(window, GWL_STYLE);
}

bool IsForm(HWND window) {
  const ControlInfo* info = InfoOf(window);
  return info && info->isForm;
}

void CollectTabStops(HWND parent, std::vector<HWND>& stops) {
  for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    const LONG style = StyleOf(child);
    if (!(style & WS_VISIBLE) || (style & WS_DISABLED)) continue;
    // A form inside another one is never a stop itself (on a page the tab-stop bit is the
    // maximise box's).
    if ((style & WS_TABSTOP) && !IsForm(child)) stops.push_back(child);
    if (::GetWindowLongW(child, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) CollectTabStops(child, stops);
  }
}

bool IsKeyDown(int key) {
  return (::GetKeyState(key) & 0x8000) != 0;
}

UINT DialogCodeOf(HWND control, const MSG& message) {
  return static_cast<UINT>(
      ::SendMessageW(control, WM_GETDLGCODE, message.wParam, reinterpret_cast<LPARAM>(&message)));
}

}  // namespace

bool IsShownIn(HWND control, HWND form) {
  for (HWND at = control; at && at != form; at = ::GetParent(at)) {
    if (!(StyleOf(at) & WS_VISIBLE)) return false;
  }
  return control != nullptr;
}

void GiveFocusBack(HWND form) {
  ControlInfo* info = InfoOf(form);
  HWND last = info ? info->lastFocused : nullptr;
  if (last && ::IsWindow(last) && ::IsChild(form, last) && ::IsWindowEnabled(last) &&
      IsShownIn(last, form)) {
    ::SetFocus(last);
  }
}

std::vector<HWND> TabStopsOf(HWND form) {
  std::vector<HWND> stops;
  CollectTabStops(form, stops);
  return stops;
}

bool MoveFocus(HWND form, bool backwards) {
  const std::vector<HWND> stops = TabStopsOf(form);
  if (stops.empty()) return false;
  // Where the focus is now: the tab stop that is the focused window, else the one holding it.
  HWND focus = ::GetFocus();
  auto at = std::find(stops.begin(), stops.end(), focus);
  if (at == stops.end()) {
    at =
        std::find_if(stops.begin(), stops.end(), [&](HWND stop) { return ::IsChild(stop, focus); });
  }
  const auto count = static_cast<ptrdiff_t>(stops.size());
  ptrdiff_t index = at == stops.end() ? (backwards ? 0 : -1) : at - stops.begin();
  index = (index + (backwards ? count - 1 : 1)) % count;
  ::SendMessageW(form, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  ::SetFocus(stops[static_cast<size_t>(index)]);
  return true;
}

bool HandleNavigationKey(HWND form, const MSG& message) {
  if (message.message != WM_KEYDOWN || IsKeyDown(VK_CONTROL) || IsKeyDown(VK_MENU)) return false;
  if (message.hwnd != form && !::IsChild(form, message.hwnd)) return false;
  HWND focus = ::GetFocus();
  if (message.wParam == VK_TAB) {
    if (focus && (DialogCodeOf(focus, message) & (DLGC_WANTTAB | DLGC_WANTMESSAGE))) return false;
    return MoveFocus(form, IsKeyDown(VK_SHIFT));
  }
  if (message.wParam == VK_RETURN && focus && ::IsChild(form, focus) && ::IsWindowEnabled(focus) &&
      IsShownIn(focus, form)) {
    const UINT code = DialogCodeOf(focus, message);
    if (!(code & DLGC_WANTMESSAGE) && (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
      ::SendMessageW(focus, BM_CLICK, 0, 0);  // exactly what a click does
      return true;
    }
  }
  return false;
}

}  // namespace forms
