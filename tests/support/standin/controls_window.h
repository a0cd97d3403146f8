// A window of common controls (--controls), so that the test driver can be checked against
// another process before the real program is at hand. Its controls, by ID:
//   201 button "Ask": message box "继续吗？" (OK, Cancel, question icon) owned by the window;
//       the button's text becomes "answer <id>" once it is answered.
//   202 button "Tell": message box "Told" (OK only, no icon) with the button as owner.
//   203 list box: "alpha", "第二", "gamma" with item data 100, 101, 102; tooltip "列表提示".
//   204 status bar: right edges 100, 200, -1; texts "\t居中", "plain", "flat" (SBT_NOBORDERS).
//   205 tab control: "one", "二", "three"; leaving "three" is refused.
//   206 button "Disabled", disabled.
//   207 static: "selected <index>" after LBN_SELCHANGE, "tab <index>" after TCN_SELCHANGE,
//       "clicked <id>" after a button click.
#pragma once

#include <windows.h>

#include "standin/options.h"

namespace standin {

inline constexpr wchar_t kControlsWindowTitle[] = L"Stand-in controls";

// Null on failure. A visible window: it keeps the process alive like the model windows.
HWND CreateControlsWindow(HINSTANCE instance, const WindowRequest& request);

}  // namespace standin
