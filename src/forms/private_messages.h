// Every message number the program sends or posts to its own windows, each with one meaning;
// nothing else in the program declares one. They are WM_APP and up, and one in WM_USER's range,
// which only the forms' own window classes receive. Work for a window goes through post.h, not
// through a number of its own. (The start-up timeline's query is a registered message.)
#pragma once

#include <windows.h>

namespace forms::messages {

// Every form posts itself its load message at creation; wParam: kLoadTag, lParam: the value
// the form was created with. The tag keeps a stray message of the same number from loading it.
inline constexpr UINT kLoad = 0x1000;
inline constexpr WPARAM kLoadTag = 0x1000;

// Posted by a page form right after its load message: makes the tooltips of its controls.
inline constexpr UINT kMakeToolTips = WM_APP + 0x3F1;

// Sent by a top-level form to every form inside it when its DPI changed; wParam: the new DPI.
inline constexpr UINT kFollowDpi = WM_APP + 0x3F3;

// Runs one task handed to the window's thread (post.h); wParam: the task's number.
inline constexpr UINT kRunPostedTask = WM_APP + 0x3F4;

}  // namespace forms::messages
