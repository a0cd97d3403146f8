#include "forms/window_proc.h"

#include <memory>
#include <vector>

#include "forms/accessible_names.h"
#include "forms/control_props.h"
#include "forms/create.h"
#include "forms/dpi_change.h"
#include "forms/form_object.h"
#include "forms/handle_map.h"
#include "forms/keyboard.h"
#include "forms/post.h"
#include "forms/private_messages.h"
#include "forms/tool_tips.h"
#include "forms/windowless.h"

namespace forms {

namespace {

COLORREF FormBackground(const ControlInfo* formInfo) {
  return formInfo ? ResolveColor(formInfo->backColor, ::GetSysColor(COLOR_BTNFACE))
                  : ::GetSysColor(COLOR_BTNFACE);
}

// Runs one of a form's own handlers. Handlers are called from a window procedure, and nothing
// may escape to the system: only memory can run out in them, and then that event is dropped.
template <typename Handler>
void RunHandler(Handler&& handler) noexcept {
  try {
    handler();
  } catch (...) {
  }
}

void RouteEvent(const FormBehavior& behavior, HWND form, RouteSource source, int32_t controlId,
                int32_t code, LPARAM lParam) {
  for (const auto& row : behavior.routes) {
    if (row.source == source && row.controlId == controlId && row.code == code && row.procedure) {
      RunHandler([&] { row.procedure(form, row.arrayIndex, lParam); });
    }
  }
}

void OnPaint(const FormBehavior& behavior, HWND window) {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(window, &paint);
  if (dc) PaintForm(window, dc, behavior.paintOrder);
  ::EndPaint(window, &paint);
}

void OnDestroy(const FormBehavior& behavior, HWND window) {
  if (behavior.descriptor && behavior.descriptor->window == window) {
    behavior.descriptor->window = nullptr;
  }
  delete FormObjectOf(window);
  ::SetWindowLongPtrW(window, 0, 0);
  // The form's record owns its windowless controls and their objects.
  std::unique_ptr<ControlInfo> record(InfoOf(window));
  handle_map::Remove(window);
}

// Rebuilds a record's brush from its background colour (or the given fallback).
HBRUSH RebuildBrush(ControlInfo& info, COLORREF fallback) {
  info.brush.reset(::CreateSolidBrush(ResolveColor(info.backColor, fallback)));
  return info.brush.get();
}

void OnColourSchemeChange(HWND window) {
  ControlInfo* formInfo = InfoOf(window);
  if (!formInfo) return;
  const COLORREF formColour = FormBackground(formInfo);
  HBRUSH brush = RebuildBrush(*formInfo, ::GetSysColor(COLOR_BTNFACE));
  ::SetClassLongPtrW(window, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(brush));
  for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (ControlInfo* info = InfoOf(child)) RebuildBrush(*info, formColour);
  }
}

LRESULT OnControlColour(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto control = reinterpret_cast<HWND>(lParam);
  ControlInfo* info = InfoOf(control);
  if (!info) return ::DefWindowProcW(window, message, wParam, lParam);
  auto dc = reinterpret_cast<HDC>(wParam);
  if (!IsDefaultColor(info->textColor)) ::SetTextColor(dc, ResolveColor(info->textColor, 0));
  const COLORREF background = ResolveColor(info->backColor, FormBackground(InfoOf(window)));
  ::SetBkColor(dc, background);
  info->brush.reset(::CreateSolidBrush(background));
  return reinterpret_cast<LRESULT>(info->brush.get());
}

void RunDpiChanged(const FormBehavior& behavior, HWND window, int dpi) {
  if (behavior.dpiChanged) RunHandler([&] { behavior.dpiChanged(window, dpi); });
}

// A top-level form moved to a monitor of another DPI (or the monitor's DPI changed): it and
// every form inside it take the new DPI, then the window takes the rectangle the system
// suggests and lays itself out again.
void OnDpiChanged(const FormBehavior& behavior, HWND window, int dpi, const RECT* suggested) {
  if (dpi <= 0 || (::GetWindowLongW(window, GWL_STYLE) & WS_CHILD)) return;
  RescaleForm(window, dpi);
  std::vector<HWND> inner;
  ::EnumChildWindows(
      window,
      [](HWND child, LPARAM list) -> BOOL {
        ControlInfo* info = InfoOf(child);
        if (info && info->isForm) reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&inner));
  for (HWND form : inner) ::SendMessageW(form, messages::kFollowDpi, static_cast<WPARAM>(dpi), 0);
  if (suggested) {
    ::SetWindowPos(window, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
  }
  RECT client{};
  ::GetClientRect(window, &client);
  ::SendMessageW(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
  RunDpiChanged(behavior, window, dpi);
  ::RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

// The common handling of a form's messages; a value means "handled, return this".
std::optional<LRESULT> HandleFormMessage(const FormBehavior& behavior, HWND window, UINT message,
                                         WPARAM wParam, LPARAM lParam) {
  if (behavior.extraFormMessage) {
    std::optional<LRESULT> handled;
    RunHandler([&] { handled = behavior.extraFormMessage(window, message, wParam, lParam); });
    if (handled) return handled;
  }
  switch (message) {
    case WM_PAINT:
      OnPaint(behavior, window);
      return 1;
    case WM_ERASEBKGND:
      return 1;  // the paint covers the whole client area
    case WM_COMMAND:
      RouteEvent(behavior, window, RouteSource::kCommand, LOWORD(wParam), HIWORD(wParam), lParam);
      break;
    case WM_NOTIFY:
      if (auto* header = reinterpret_cast<const NMHDR*>(lParam)) {
        RouteEvent(behavior, window, RouteSource::kNotify, static_cast<int32_t>(header->idFrom),
                   static_cast<int32_t>(header->code), lParam);
      }
      break;
    case messages::kLoad:
      if (wParam != messages::kLoadTag) break;
      // A form is laid out at its size before it is first shown, and whatever its load changes
      // invalidates itself: painted with the next turn of the loop.
      if (behavior.load) RunHandler([&] { behavior.load(window, lParam); });
      return 0;
    case messages::kMakeToolTips:
      MakePendingToolTips(window);
      return 0;
    case messages::kRunPostedTask:
      RunPostedTask(window, wParam);
      return 0;
    case WM_DESTROY:
      OnDestroy(behavior, window);
      break;
    case WM_NCDESTROY:
      DropPostedTasks(window);  // the last message: nothing queued for the window runs now
      break;
    case WM_SETFOCUS:
      GiveFocusBack(window);
      break;
    case WM_DPICHANGED:
      OnDpiChanged(behavior, window, LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
      return 0;
    case messages::kFollowDpi:
      RescaleForm(window, static_cast<int>(wParam));
      RunDpiChanged(behavior, window, static_cast<int>(wParam));
      return 0;
    case WM_CLOSE: {
      // Give back the input that a modal show took from the owner.
      HWND up = ::GetParent(window);
      while (up && (::GetWindowLongW(up, GWL_STYLE) & WS_CHILD) &&
             !(::GetWindowLongW(up, GWL_EXSTYLE) & WS_EX_MDICHILD)) {
        HWND next = ::GetParent(up);
        if (!next) break;
        up = next;
      }
      if (up) ::EnableWindow(up, TRUE);
      break;
    }
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) {
        ::SendMessageW(window, WM_CLOSE, wParam, lParam);
        return 0;
      }
      break;
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
      OnColourSchemeChange(window);
      break;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT) {
        ControlInfo* info = InfoOf(reinterpret_cast<HWND>(wParam));
        if (info && info->cursor) {
          ::SetCursor(info->cursor.get());
          return 1;
        }
      }
      break;
    case WM_GETMINMAXINFO:
      if (!(::GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_MDICHILD)) {
        ::DefWindowProcW(window, message, wParam, lParam);
        return 0;
      }
      break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
      return OnControlColour(window, message, wParam, lParam);
    default:
      break;
  }
  return std::nullopt;
}

// The common handling of a control's messages before its own procedure.
std::optional<LRESULT> HandleControlMessage(const FormBehavior& behavior, HWND control,
                                            UINT message, WPARAM wParam, LPARAM lParam,
                                            WNDPROC previous) {
  if (behavior.extraControlMessage) {
    RunHandler([&] { behavior.extraControlMessage(control, message, wParam, lParam); });
  }
  switch (message) {
    case WM_DESTROY:
      ForgetName(control);
      if (previous) {
        ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        ::RemovePropW(control, kOldProcedureProperty);
      }
      if (ControlInfo* info = InfoOf(control)) RemoveToolTipOf(control, *info);
      delete InfoOf(control);  // its brush and cursor go with it
      handle_map::Remove(control);
      break;
    case WM_SETFOCUS:
      // Both the control's own form and the window it is in keep it: the window gives it the
      // focus back when it is activated again, and a page names it as its focus control.
      for (HWND form : {::GetParent(control), ::GetAncestor(control, GA_ROOT)}) {
        ControlInfo* info = InfoOf(form);
        if (info && info->isForm) info->lastFocused = control;
      }
      break;
    case WM_GETOBJECT:
      NameForScreenReaders(control);  // an accessibility client asks: the name is there first
      break;
    default:
      break;
  }
  return std::nullopt;
}

}  // namespace

// The one place where a failure in the handling of a form's or a control's message stops:
// the message then gets the system's default handling.
LRESULT FormWindowProc(const FormBehavior& behavior, HWND window, UINT message, WPARAM wParam,
                       LPARAM lParam) noexcept {
  try {
    if (auto handled = HandleFormMessage(behavior, window, message, wParam, lParam)) {
      return *handled;
    }
  } catch (...) {
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT ControlSubclassProc(const FormBehavior& behavior, HWND control, UINT message, WPARAM wParam,
                            LPARAM lParam) noexcept {
  // The property is the record of the old procedure; the control's record keeps a copy, since
  // reading a window property is a round trip to the window system on every message.
  ControlInfo* info = InfoOf(control);
  WNDPROC previous = info ? info->previousProcedure : nullptr;
  if (!previous) {
    previous = reinterpret_cast<WNDPROC>(::GetPropW(control, kOldProcedureProperty));
    if (info) info->previousProcedure = previous;
  }
  try {
    if (auto handled = HandleControlMessage(behavior, control, message, wParam, lParam, previous)) {
      return *handled;
    }
  } catch (...) {
  }
  return previous ? ::CallWindowProcW(previous, control, message, wParam, lParam)
                  : ::DefWindowProcW(control, message, wParam, lParam);
}

}  // namespace forms
