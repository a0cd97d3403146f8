#include "forms/tool_tips.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <utility>

#include "forms/create.h"

namespace forms {

namespace {

constexpr size_t kMaxTitleChars = 99;
constexpr int kMaxTipWidth = 600;

// The record that keeps the control's tooltip windows: the form that is its top-level window,
// for every form inside it (one set for the whole program); else its nearest form's, or its
// own when it is on no form.
ControlInfo& HolderOf(HWND control, ControlInfo& info) {
  ControlInfo* top = InfoOf(::GetAncestor(control, GA_ROOT));
  if (top && top->isForm) return *top;
  for (HWND at = ::GetParent(control); at; at = ::GetParent(at)) {
    ControlInfo* form = InfoOf(at);
    if (form && form->isForm) return *form;
  }
  return info;
}

// The holder's tooltip window with the given look, made when it has none yet.
HWND ToolTipWindowWith(ControlInfo& holder, HWND control, bool balloon, const std::wstring& title) {
  for (const ToolTipWindow& existing : holder.toolTipWindows) {
    if (existing.balloon == balloon && existing.title == title && existing.window) {
      return existing.window.get();
    }
  }
  DWORD style = WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX;
  if (balloon) style |= TTS_BALLOON;
  HWND tip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, style, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, control, nullptr,
                               ::GetModuleHandleW(nullptr), nullptr);
  if (!tip) return nullptr;
  holder.toolTipWindows.push_back({balloon, title, base::UniqueWindow(tip)});
  ::SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, kMaxTipWidth);
  if (!title.empty()) {
    ::SendMessageW(tip, TTM_SETTITLEW, TTI_NONE, reinterpret_cast<LPARAM>(title.c_str()));
  }
  return tip;
}

TOOLINFOW ToolOf(HWND control) {
  TOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = control;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  return tool;
}

}  // namespace

void RemoveToolTipOf(HWND control, ControlInfo& info) {
  HWND tip = std::exchange(info.toolTip, nullptr);
  // The form's tooltip windows go before its controls when the form is destroyed.
  if (!tip || !::IsWindow(tip)) return;
  TOOLINFOW tool = ToolOf(control);
  ::SendMessageW(tip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

bool ShowToolTipFor(HWND control, ControlInfo& info, std::wstring_view text) {
  RemoveToolTipOf(control, info);
  if (text.empty()) return true;
  std::wstring title, body(text);
  if (const size_t breakAt = body.find(L"\r\n"); breakAt != std::wstring::npos) {
    title = body.substr(0, std::min(breakAt, kMaxTitleChars));
    body = body.substr(breakAt + 2);
  }
  HWND tip = ToolTipWindowWith(HolderOf(control, info), control, info.balloonToolTip, title);
  if (!tip) return false;
  TOOLINFOW tool = ToolOf(control);
  tool.lpszText = body.data();
  ::GetClientRect(control, &tool.rect);
  if (!::SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) return false;
  info.toolTip = tip;
  return true;
}

}  // namespace forms
