#include "forms/dpi.h"

#include <windows.h>

namespace forms {

namespace {

bool QueryDpiAwareness() {
  using IsAwareFn = BOOL(WINAPI*)();
  HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
  if (!user32) return false;
  auto isAware = reinterpret_cast<IsAwareFn>(
      reinterpret_cast<void*>(::GetProcAddress(user32, "IsProcessDPIAware")));
  return isAware && isAware() != FALSE;
}

Dpi QueryLogicalDpi() {
  Dpi dpi;
  if (HDC screen = ::GetDC(nullptr)) {
    dpi.x = ::GetDeviceCaps(screen, LOGPIXELSX);
    dpi.y = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
  }
  return dpi;
}

}  // namespace

// Both are fixed for the life of the process (its awareness comes from the manifest, and a
// system-aware process keeps the DPI it started with), so they are asked for once: each
// question about the screen costs the window system several round trips.
bool IsProcessDpiAware() {
  static const bool aware = QueryDpiAwareness();
  return aware;
}

Dpi LogicalDpi() {
  static const Dpi dpi = QueryLogicalDpi();
  return dpi;
}

int PlatformWindowDpi(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpi = [] {
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<GetDpiForWindowFn>(
                        reinterpret_cast<void*>(::GetProcAddress(user32, "GetDpiForWindow")))
                  : nullptr;
  }();
  return getDpi && window ? static_cast<int>(getDpi(window)) : 0;
}

Dpi ScreenDpi() {
  return IsProcessDpiAware() ? LogicalDpi() : Dpi{};
}

}  // namespace forms
