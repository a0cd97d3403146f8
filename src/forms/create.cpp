#include "forms/create.h"

#include <commctrl.h>

#include <cwctype>
#include <memory>
#include <string>

#include "forms/dpi.h"
#include "forms/handle_map.h"
#include "forms/owner_thread.h"
#include "forms/scaling.h"

namespace forms {

namespace {

struct KindInfo {
  const wchar_t* keyword;
  const wchar_t* windowClass;
  DWORD defaultStyle;
  DWORD defaultExStyle;
  bool takesFormFont;
};

// Each kind's styles when a caller asks for the default; WS_CHILD is added at creation.
constexpr DWORD kDefaultButton = WS_VISIBLE | WS_TABSTOP | BS_CENTER | BS_VCENTER;
static_assert(kDefaultButton == 0x10010F00);
constexpr DWORD kDefaultListBox =
    WS_VISIBLE | WS_TABSTOP | WS_HSCROLL | LBS_STANDARD | LBS_HASSTRINGS;
static_assert(kDefaultListBox == 0x10B10043);
constexpr DWORD kDefaultProgressBar = WS_VISIBLE;
constexpr DWORD kDefaultTab =
    WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_GROUP | WS_TABSTOP | TCS_RAGGEDRIGHT;
static_assert(kDefaultTab == 0x16030800);
constexpr DWORD kDefaultStatusBar =
    WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | SBARS_SIZEGRIP | CCS_BOTTOM;
static_assert(kDefaultStatusBar == 0x16000103);

constexpr KindInfo kKinds[] = {
    {L"BUTTON", L"Button", kDefaultButton, 0, true},
    {L"LISTBOX", L"LISTBOX", kDefaultListBox, WS_EX_CLIENTEDGE, true},
    {L"PROGRESSBAR", L"msctls_progress32", kDefaultProgressBar, 0, false},
    {L"TABCONTROL", L"SysTabControl32", kDefaultTab, WS_EX_CONTROLPARENT, true},
    {L"TAB", L"SysTabControl32", kDefaultTab, WS_EX_CONTROLPARENT, true},
    {L"STATUSBAR", L"msctls_statusbar32", kDefaultStatusBar, 0, true},
};

const KindInfo* FindKind(std::wstring_view keyword) {
  for (const auto& kind : kKinds) {
    std::wstring_view candidate = kind.keyword;
    if (candidate.size() != keyword.size()) continue;
    bool same = true;
    for (size_t i = 0; i < keyword.size() && same; ++i) {
      same = std::towupper(keyword[i]) == candidate[i];
    }
    if (same) return &kind;
  }
  return nullptr;
}

}  // namespace

HWND CreateFormWindow(FormObject* form, HWND parent, std::wstring_view caption, WNDPROC procedure,
                      int left, int top, int width, int height, DWORD style, DWORD exStyle) {
  std::unique_ptr<FormObject> owned(form);
  if (!OnOwnerThread(parent)) return nullptr;
  form->classAtom =
      RegisterFormClass(form->className, form->instance, procedure, !(style & WS_CHILD));
  if (!form->classAtom) return nullptr;
  // A form inside another one shows at that one's DPI.
  if (!form->startDpiGiven && (style & WS_CHILD) && parent) form->ChangeDpi(DpiOf(parent));
  const std::wstring title(caption);
  HWND window = ::CreateWindowExW(exStyle, form->className.c_str(), title.c_str(), style,
                                  ScaleAt(left, form->dpi), ScaleAt(top, form->dpi),
                                  ScaleAt(width, form->dpi), ScaleAt(height, form->dpi), parent,
                                  nullptr, form->instance, form);
  if (!window) return nullptr;
  wchar_t className[260] = {};
  ::GetClassNameW(window, className, 260);
  form->className = className;
  form->window = window;
  ::SetWindowLongPtrW(window, 0, reinterpret_cast<LONG_PTR>(owned.release()));
  // A top-level form opened on a monitor whose DPI is not the screen's (the one the program
  // started with) takes that monitor's DPI before anything is put on it.
  if (!form->startDpiGiven && !(style & WS_CHILD)) {
    const int monitorDpi = PlatformWindowDpi(window);
    if (monitorDpi > 0 && monitorDpi != form->dpi) {
      form->ChangeDpi(monitorDpi);
      ::SetWindowPos(window, nullptr, 0, 0, ScaleAt(width, form->dpi), ScaleAt(height, form->dpi),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  form->ApplyDefaultFont();
  return window;
}

int DpiOf(HWND window) {
  for (HWND at = window; at && ::GetWindowThreadProcessId(at, nullptr) == ::GetCurrentThreadId();
       at = ::GetParent(at)) {
    ControlInfo* info = handle_map::Find(at);
    if (info && info->isForm) {
      if (FormObject* form = FormObjectOf(at)) return form->dpi;
    }
  }
  return ScreenDpi().x;
}

HWND CreateControlWindow(FormObject* form, std::wstring_view kind, HWND parent, int controlId,
                         std::wstring_view caption, int left, int top, int width, int height,
                         DWORD style, DWORD exStyle, void* creationParameter,
                         WNDPROC subclassProcedure, UINT_PTR subclassId, DWORD_PTR referenceData) {
  const KindInfo* info = FindKind(kind);
  if (!info || !OnOwnerThread(parent)) return nullptr;
  if (style == kKindDefault) style = info->defaultStyle;
  if (exStyle == kKindDefault) exStyle = info->defaultExStyle;
  const std::wstring text(caption);
  const int dpi = form ? form->dpi : DpiOf(parent);
  const int x = ScaleAt(left, dpi), y = ScaleAt(top, dpi), cx = ScaleAt(width, dpi),
            cy = ScaleAt(height, dpi);
  HWND window =
      ::CreateWindowExW(exStyle, info->windowClass, text.c_str(), style | WS_CHILD, x, y, cx, cy,
                        parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                        form ? form->instance : ::GetModuleHandleW(nullptr), creationParameter);
  if (!window) return nullptr;
  if (form && form->defaultFont && info->takesFormFont) {
    ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(form->defaultFont.get()), TRUE);
  }
  if (std::wstring_view(info->windowClass) == L"LISTBOX" && !(style & LBS_NOINTEGRALHEIGHT)) {
    // Unless told not to, the list box rounds its height to whole lines at creation; put the
    // design height back.
    ::SetWindowPos(window, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
  } else if (std::wstring_view(info->windowClass) == L"msctls_progress32") {
    ::SendMessageW(window, PBM_SETRANGE32, 0, 100);
    ::SendMessageW(window, PBM_SETPOS, 0, 0);
  }
  if (subclassProcedure) {
    if (subclassId == kReplaceProcedure) {
      auto old = reinterpret_cast<WNDPROC>(
          ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(subclassProcedure)));
      ::SetPropW(window, kOldProcedureProperty, reinterpret_cast<HANDLE>(old));
    } else {
      ::SetWindowSubclass(
          window, reinterpret_cast<SUBCLASSPROC>(reinterpret_cast<void*>(subclassProcedure)),
          subclassId, referenceData);
    }
  }
  return window;
}

ControlInfo* InfoOf(HWND window) {
  return OnOwnerThread(window) ? handle_map::Find(window) : nullptr;
}

ControlInfo* AttachControlInfo(HWND window, HWND form, std::wstring_view name, int32_t arrayIndex,
                               int32_t controlId, std::wstring_view caption, ControlSlot* slot) {
  if (!window || !OnOwnerThread(window)) return nullptr;
  auto* info = new ControlInfo();  // freed by the control's WM_DESTROY
  info->parent = form;
  info->name = name;
  info->arrayIndex = arrayIndex;
  info->controlId = controlId;
  info->caption = caption;
  info->flagBits = flags::kEnabled | flags::kVisible;
  handle_map::Set(window, info);
  if (slot) *slot = {window, controlId};
  return info;
}

}  // namespace forms
