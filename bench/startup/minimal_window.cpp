// The reference: the least a Win32 program does to show one painted window.
#include <windows.h>

#include "reference_stamps.h"

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
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = Procedure;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = L"LingtuMinimalWindow";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(0, L"LingtuMinimalWindow", L"minimal", WS_OVERLAPPEDWINDOW, 100,
                                100, 430, 320, nullptr, nullptr, instance, nullptr);
  reference::Stamp(reference::Step::kMainFormCreated);
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  reference::Stamp(reference::Step::kFirstPaint);
  reference::RunMessageLoop(nullptr);
  return 0;
}
