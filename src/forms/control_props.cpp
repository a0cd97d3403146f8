#include "forms/control_props.h"

#include <commctrl.h>

#include <string>

#include "forms/accessible_names.h"
#include "forms/create.h"
#include "forms/font_string.h"
#include "forms/owner_thread.h"
#include "forms/tool_tips.h"
#include "forms/windowless.h"

namespace forms {

namespace {

std::wstring ClassNameOf(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return name;
}

// Only a form's record has windowless children, so a slot naming a real control finds none.
ControlInfo* WindowlessOfSlot(const ControlSlot& slot) {
  return FindWindowless(slot.window, slot.id);
}

// The slot's record, on the window's own thread only (a call from another one is reported by
// the name of the function that asked).
ControlInfo* OwnedInfoOfSlot(const ControlSlot& slot, const char* caller = __builtin_FUNCTION()) {
  if (!slot.window || !::IsWindow(slot.window) || !OnOwnerThread(slot.window, caller)) {
    return nullptr;
  }
  if (ControlInfo* windowless = WindowlessOfSlot(slot)) return windowless;
  return InfoOf(slot.window);
}

}  // namespace

ControlInfo* InfoOfSlot(const ControlSlot& slot) {
  return OwnedInfoOfSlot(slot);
}

bool SetControlFont(const ControlSlot& slot, std::wstring_view fontSpec) {
  ControlInfo* info = OwnedInfoOfSlot(slot);
  if (!info) return false;
  info->fontSpec = fontSpec;
  if (info->windowless != WindowlessKind::kNone) {
    ::InvalidateRect(slot.window, nullptr, TRUE);
    return true;
  }
  const std::wstring className = ClassNameOf(slot.window);
  const bool isEdit = _wcsicmp(className.c_str(), L"Edit") == 0;
  const bool isListBox = _wcsicmp(className.c_str(), L"ListBox") == 0;
  LRESULT margins = 0, itemHeight = 0;
  if (isEdit) margins = ::SendMessageW(slot.window, EM_GETMARGINS, 0, 0);
  if (isListBox) itemHeight = ::SendMessageW(slot.window, LB_GETITEMHEIGHT, 0, 0);
  HFONT font = FontFromSpec(fontSpec, DpiOf(slot.window));
  ::SendMessageW(slot.window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  if (isEdit) {
    ::SendMessageW(slot.window, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, margins);
  }
  if (isListBox && itemHeight > 0) {
    ::SendMessageW(slot.window, LB_SETITEMHEIGHT, 0, itemHeight);
  }
  return true;
}

bool SetForeColor(const ControlSlot& slot, ColorCode color) {
  ControlInfo* info = OwnedInfoOfSlot(slot);
  if (!info) return false;
  info->textColor = color;
  ::InvalidateRect(slot.window, nullptr, TRUE);
  return true;
}

bool SetBackColor(const ControlSlot& slot, ColorCode color) {
  ControlInfo* info = OwnedInfoOfSlot(slot);
  if (!info) return false;
  info->backColor = color;
  ::InvalidateRect(slot.window, nullptr, TRUE);
  return true;
}

bool SetToolTip(const ControlSlot& slot, std::wstring_view text) {
  ControlInfo* info = OwnedInfoOfSlot(slot);
  if (!info) return false;
  info->toolTipText = text;
  return ShowToolTipFor(slot.window, *info, text);
}

void MakePendingToolTips(HWND form) {
  if (!OnOwnerThread(form)) return;
  for (HWND child = ::GetWindow(form, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    ControlInfo* info = InfoOf(child);
    if (info && !info->toolTip && !info->toolTipText.empty()) {
      ShowToolTipFor(child, *info, info->toolTipText);
    }
  }
}

bool SetCaption(const ControlSlot& slot, std::wstring_view text) {
  if (!slot.window || !::IsWindow(slot.window) || !OnOwnerThread(slot.window)) {
    return false;
  }
  const std::wstring copy(text);
  if (ControlInfo* windowless = WindowlessOfSlot(slot)) {
    windowless->caption = copy;
    ::InvalidateRect(slot.window, nullptr, TRUE);
    if (windowless->windowless == WindowlessKind::kFrame) RenameInside(slot.window);
    return true;
  }
  if (ControlInfo* info = InfoOf(slot.window)) info->caption = copy;
  return ::SetWindowTextW(slot.window, copy.c_str()) != FALSE;
}

std::wstring CaptionOf(const ControlSlot& slot) {
  if (!slot.window || !OnOwnerThread(slot.window)) return {};
  if (ControlInfo* windowless = WindowlessOfSlot(slot)) return windowless->caption;
  const int length = ::GetWindowTextLengthW(slot.window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(slot.window, text.data(), length + 1)));
  return text;
}

bool EnableControl(const ControlSlot& slot, bool enabled) {
  ControlInfo* info = OwnedInfoOfSlot(slot);
  if (!info) return false;
  if (enabled) {
    info->flagBits |= flags::kEnabled;
  } else {
    info->flagBits &= ~flags::kEnabled;
  }
  if (info->windowless == WindowlessKind::kNone) ::EnableWindow(slot.window, enabled);
  return true;
}

}  // namespace forms
