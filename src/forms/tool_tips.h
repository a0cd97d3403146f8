// Controls' tips. A form keeps one tooltip window for each look its controls' tips have
// (balloon or not, title), each holding the tools of all its controls with that look: one
// window per form in practice, where a window of its own for each control would cost more than
// the control itself.
#pragma once

#include <windows.h>

#include <string_view>

#include "forms/records.h"

namespace forms {

// Shows `text` as the tip of `control` (whose record is `info`), in place of the one it had; a
// text with "\r\n" gets the part before it as the tip's title. The empty text only removes it.
// False when no tooltip window could be made.
bool ShowToolTipFor(HWND control, ControlInfo& info, std::wstring_view text);

// Takes the control's tip out of the tooltip window that holds it.
void RemoveToolTipOf(HWND control, ControlInfo& info);

}  // namespace forms
