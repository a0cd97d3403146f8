// What a screen reader calls a control whose window text names nothing. A list box is named by
// the caption of the frame drawn around it (its frame is painted by the form, so no control
// carries those words), through Active Accessibility's dynamic annotation; where the system has
// no annotation service (Wine), through the list's window text, which a list box never shows.
// The name is given when an accessibility client first asks the list for its object
// (WM_GETOBJECT): a start without a screen reader loads none of it.
#pragma once

#include <windows.h>

#include <string>

namespace forms {

// The name the form gives a control: for a list box, the caption of the windowless frame of
// its form that encloses it; empty otherwise.
std::wstring FrameNameOf(HWND control);

// Gives the control its frame's name unless it has that name already: S_OK once given, S_FALSE
// when there was nothing to do, a failure when it could not be given (tried again next time).
HRESULT NameForScreenReaders(HWND control);

// Before a named control goes: the annotation service forgets it.
void ForgetName(HWND control);

// After a frame's caption changed: the controls it encloses that were named are named again.
void RenameInside(HWND form);

}  // namespace forms
