// Controls' tips. A top-level form keeps one tooltip window for each look the tips of the
// controls inside it have (balloon or not, title), each holding the tools of all those
// controls: one window for the whole program in practice, where a window of its own for each
// control would cost more than the control itself. A form inside a window that is no form
// keeps its own.
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
