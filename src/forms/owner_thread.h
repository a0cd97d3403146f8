// The form layer belongs to the thread that owns a window: only that thread may read or change
// the window or its record. Another thread reaches a window by posting to it (post.h).
#pragma once

#include <windows.h>

namespace forms {

// The guard every form-layer function that touches a window opens with:
//   if (!OnOwnerThread(window)) return ...;
// True when the calling thread owns `window`, or when there is no such window (the caller's
// own checks decide then). A call from any other thread is a programming error: it is reported,
// naming the function that asked (`caller`: the calling function, through the compilers'
// __builtin_FUNCTION, unless one is passed on), and
// false tells the caller to do nothing. Builds with the strict rule (the test build) end the
// process at once on such a report; a release build goes on.
bool OnOwnerThread(HWND window, const char* caller = __builtin_FUNCTION());

// Receives the reports (the function's own name, without its namespace) instead of the
// build's default; null restores the default. For a test that checks the rule itself.
using WrongThreadHandler = void (*)(const char* function);
void SetWrongThreadHandler(WrongThreadHandler handler);

}  // namespace forms
