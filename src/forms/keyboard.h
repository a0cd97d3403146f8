// The keys a modal form answers before the system's dialog handling: Tab and Shift+Tab walk
// the controls a person can see, and Enter on a focused push button is its click.
//
// The system's dialog navigation never stops on a window that holds controls of its own (a
// control parent, such as the main window's tab control holding the pages), and it judges a
// control by its own visible style, so it would walk the controls of a hidden page. Here the
// Tab order is every control that is shown and enabled and is a tab stop, in window order,
// each control parent's controls right after it.
#pragma once

#include <windows.h>

#include <vector>

namespace forms {

// The controls of `form` the Tab key visits, in order.
std::vector<HWND> TabStopsOf(HWND form);

// Moves the focus to the next (or previous) tab stop after the focused window, round the end,
// and shows the focus from now on. False when the form has no tab stop.
bool MoveFocus(HWND form, bool backwards);

// Handles Tab, Shift+Tab and Enter for a modal form's message loop; true when the message was
// used up. A control that wants those keys itself (an edit box, say) gets them.
bool HandleNavigationKey(HWND form, const MSG& message);

// Gives the focus to the form's control that had it last (its record's), when a person can
// still reach it: it is enabled and shown. For a form that gets the focus itself.
void GiveFocusBack(HWND form);

// True when `control` and every window between it and `form` are shown.
bool IsShownIn(HWND control, HWND form);

}  // namespace forms
