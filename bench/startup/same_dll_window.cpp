// The second reference: the bare window of minimal_window.cpp with the assistant's platform
// load: the same manifest (common controls 6, DPI awareness), the same DLLs imported at load
// time, GDI+ started, the common controls initialised, a tab control and a status bar.
// What the assistant takes beyond this before its first paint is its own work.
#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>
#include <shellapi.h>
#include <wininet.h>

#include "reference_stamps.h"

// Referenced so that the linker keeps each DLL in the import table, as the assistant does.
static const void* const volatile kImports[] = {
    reinterpret_cast<const void*>(&InternetOpenW),
    reinterpret_cast<const void*>(&ShellExecuteW),
    reinterpret_cast<const void*>(&RegOpenKeyExW),
};

constexpr wchar_t kClass[] = L"LingtuSameDllWindow";

static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (LRESULT answer; reference::AnswerQuery(message, wParam, &answer)) return answer;
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  reference::Stamp(reference::Step::kMain);
  (void)kImports[0];
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
  INITCOMMONCONTROLSEX controls{sizeof(controls),
                                ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);

  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = Procedure;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClass;
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(0, kClass, L"same DLLs", WS_OVERLAPPEDWINDOW, 100, 100, 430, 320,
                                nullptr, nullptr, instance, nullptr);
  CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 400, 260,
                  window, nullptr, instance, nullptr);
  CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | CCS_BOTTOM, 0, 0, 0, 0, window,
                  nullptr, instance, nullptr);
  reference::Stamp(reference::Step::kMainFormCreated);
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  reference::Stamp(reference::Step::kFirstPaint);
  reference::RunMessageLoop(nullptr);
  Gdiplus::GdiplusShutdown(token);
  return 0;
}
