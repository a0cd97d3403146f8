#include "forms/dpi.h"

#include <windows.h>

namespace forms {

bool IsProcessDpiAware() {
  using IsAwareFn = BOOL(WINAPI*)();
  HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
  if (!user32) return false;
  auto isAware = reinterpret_cast<IsAwareFn>(
      reinterpret_cast<void*>(::GetProcAddress(user32, "IsProcessDPIAware")));
  return isAware && isAware() != FALSE;
}

Dpi LogicalDpi() {
  Dpi dpi;
  if (HDC screen = ::GetDC(nullptr)) {
    dpi.x = ::GetDeviceCaps(screen, LOGPIXELSX);
    dpi.y = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
  }
  return dpi;
}

Dpi ScreenDpi() {
  return IsProcessDpiAware() ? LogicalDpi() : Dpi{};
}

}  // namespace forms
