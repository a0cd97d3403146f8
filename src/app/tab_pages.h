// The main window's tab control: tabs, the page bound to each, and fitting pages into it.
#pragma once

#include <windows.h>

#include <string_view>

namespace app {

// Appends a tab; its index, or -1 when the control does not exist.
int AddTab(HWND tabControl, std::wstring_view caption, LPARAM parameter, int imageIndex);
// Binds a page window to an existing tab; other indexes do nothing.
void BindPage(HWND tabControl, int tabIndex, HWND page);
// The page bound to a tab, or none.
HWND PageOf(HWND tabControl, int tabIndex);
// Places every bound page over the tab control's display area (one pixel lower).
void FitPages(HWND tabControl);
// Chooses the tab `steps` away from the current one, round the ends, the way a click on it
// does: the control asks its parent first (TCN_SELCHANGING) and reports the change
// (TCN_SELCHANGE).
void StepTab(HWND tabControl, int steps);
// Sizes the tabs and their (empty) image list for a DPI; the image list made before is freed.
void ScaleTabs(HWND tabControl, int dpi);
// Frees what the tab control owns (its image list); for its WM_DESTROY.
void ReleaseTabs(HWND tabControl);

}  // namespace app
