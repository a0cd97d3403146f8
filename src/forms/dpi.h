// The screen's DPI as this process sees it.
#pragma once

#include <windows.h>

namespace forms {

struct Dpi {
  int x = 96;
  int y = 96;
};

// Whether the process is DPI aware (user32's IsProcessDPIAware, looked up at run time).
bool IsProcessDpiAware();
// The screen's logical DPI when the process is DPI aware; 96 x 96 otherwise.
Dpi ScreenDpi();
// The screen's logical DPI whatever the awareness (what fonts are sized against).
Dpi LogicalDpi();

// The DPI of the monitor a top-level window is on, as the platform tells this process (user32's
// GetDpiForWindow, looked up at run time); 0 where the platform cannot tell (before Windows 10),
// and the form keeps the screen's DPI there.
int PlatformWindowDpi(HWND window);

}  // namespace forms
