// Creating form windows and control windows from design data (design units).
#pragma once

#include <windows.h>

#include <string_view>

#include "forms/form_object.h"
#include "forms/records.h"

namespace forms {

// A style or exstyle of kKindDefault takes the kind's default.
inline constexpr DWORD kKindDefault = 0xFFFFFFFF;
// The subclass ID that replaces the window procedure and keeps the old one in "OLDWNDPROC".
inline constexpr UINT_PTR kReplaceProcedure = static_cast<UINT_PTR>(-1);
inline constexpr wchar_t kOldProcedureProperty[] = L"OLDWNDPROC";

// Registers the form's class and creates its window with the form object as creation
// parameter; stores the form object in the window's extra slot and sets the default font.
// On failure the form object is destroyed and 0 returned.
HWND CreateFormWindow(FormObject* form, HWND parent, std::wstring_view caption, WNDPROC procedure,
                      int left, int top, int width, int height, DWORD style, DWORD exStyle);

// Creates a control of the given kind ("BUTTON", "LISTBOX", "PROGRESSBAR", "TABCONTROL"/"TAB",
// "STATUSBAR"; compared without case) as a child of `parent`, scaled from design units, and
// subclasses it. Returns 0 on failure.
HWND CreateControlWindow(FormObject* form, std::wstring_view kind, HWND parent, int controlId,
                         std::wstring_view caption, int left, int top, int width, int height,
                         DWORD style, DWORD exStyle, void* creationParameter,
                         WNDPROC subclassProcedure, UINT_PTR subclassId, DWORD_PTR referenceData);

// The record of a form window or control window (from the handle map), or none. Every function
// here works on the calling thread's windows only (owner_thread.h).
ControlInfo* InfoOf(HWND window);

// The DPI of the form a window belongs to: a form's own, a control's form's; the screen's DPI
// for a window outside every form.
int DpiOf(HWND window);

// Creates a control's record, enters it in the handle map and stores the window in `slot`.
// None for a window of another thread.
ControlInfo* AttachControlInfo(HWND window, HWND form, std::wstring_view name, int32_t arrayIndex,
                               int32_t controlId, std::wstring_view caption, ControlSlot* slot);

}  // namespace forms
