// The second reference: the bare window of minimal_window.cpp with the assistant's platform
// load: the same manifest (common controls 6, DPI awareness), the same DLLs imported at load
// time, GDI+ started, the common controls initialised, a tab control and a status bar.
// What the assistant takes beyond this is its own work.
// Built a second time with LINGTU_BENCH_GDIPLUS_TEXT, the window also paints one line of
// Chinese text with GDI+ as the assistant's labels are painted: what the platform charges for
// the first GDI+ font of a process (under Wine, a list of every installed font).
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

#ifdef LINGTU_BENCH_GDIPLUS_TEXT
#define LINGTU_BENCH_CLASS L"LingtuSameDllTextWindow"
static void PaintText(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  LOGFONTW logFont{};
  logFont.lfHeight = -MulDiv(9, GetDeviceCaps(dc, LOGPIXELSY), 72);
  logFont.lfCharSet = DEFAULT_CHARSET;
  lstrcpyW(logFont.lfFaceName, L"Microsoft YaHei");
  HFONT hfont = CreateFontIndirectW(&logFont);
  {
    Gdiplus::Graphics graphics(dc);
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
    Gdiplus::Font font(dc, hfont);
    Gdiplus::SolidBrush brush(Gdiplus::Color(255, 0, 0, 0));
    graphics.DrawString(L"安装插件", -1, &font, Gdiplus::PointF(20, 40), &brush);
  }
  DeleteObject(hfont);
  EndPaint(window, &paint);
}
#else
#define LINGTU_BENCH_CLASS L"LingtuSameDllWindow"
#endif

static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (LRESULT answer; reference::AnswerQuery(message, wParam, &answer)) return answer;
#ifdef LINGTU_BENCH_GDIPLUS_TEXT
  if (message == WM_PAINT) {
    PaintText(window);
    return 0;
  }
#endif
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
  windowClass.lpszClassName = LINGTU_BENCH_CLASS;
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(0, LINGTU_BENCH_CLASS, L"same DLLs", WS_OVERLAPPEDWINDOW, 100, 100,
                                430, 320, nullptr, nullptr, instance, nullptr);
  CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 400, 260,
                  window, nullptr, instance, nullptr);
  CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | CCS_BOTTOM, 0, 0, 0, 0, window,
                  nullptr, instance, nullptr);
  reference::Stamp(reference::Step::kMainFormCreated);
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  reference::Stamp(reference::Step::kFirstPaint);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  Gdiplus::GdiplusShutdown(token);
  return 0;
}
