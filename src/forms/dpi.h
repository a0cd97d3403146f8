// The screen's DPI as this process sees it.
#pragma once

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

}  // namespace forms
