// A small helper for scripts/demo_env.sh: finds the assistant's main window once it is shown
// and filled in, and closes it again.
//   demo_tool wait-main [timeout ms]   prints "<window> <left> <top> <width> <height>"
//   demo_tool tab <window> <index>     shows a tab page, as a click on its tab would
//   demo_tool close <window>           asks the window to close and waits until it is gone
// Exit code 0 on success, 1 when the window did not appear or did not close, 2 on bad usage.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/driver.h"

namespace {

using namespace testsupport;

int WaitMain(DWORD timeoutMs) {
  const HWND window = WaitForWindow(kMainWindowClass, std::nullopt, kAnyProcess, timeoutMs);
  if (!window) {
    std::fprintf(stderr, "demo_tool: the main window did not appear\n");
    return 1;
  }
  // Filled in once the version check has answered (status panel 1), or after a while anyway.
  if (HWND status = FindDescendant(window, L"msctls_statusbar32")) {
    WaitUntil([status] { return !PanelText(status, 1).empty(); }, 5000);
  }
  WaitIdle(window);
  ::Sleep(300);  // let the display show the last paint
  const RECT rect = OuterRect(window);
  std::printf("%llu %ld %ld %ld %ld\n",
              static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)), rect.left,
              rect.top, rect.right - rect.left, rect.bottom - rect.top);
  return 0;
}

HWND WindowFromText(const char* text) {
  return reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(text, nullptr, 10)));
}

int ShowTab(const char* windowText, const char* indexText) {
  const HWND window = WindowFromText(windowText);
  const HWND tab = ::IsWindow(window) ? FindDescendant(window, L"SysTabControl32") : nullptr;
  if (!tab || !SelectTabAsUser(tab, std::atoi(indexText))) {
    std::fprintf(stderr, "demo_tool: tab %s could not be shown\n", indexText);
    return 1;
  }
  WaitIdle(window);
  ::Sleep(300);  // let the display show the last paint
  return 0;
}

int Close(const char* text) {
  const HWND window = WindowFromText(text);
  if (!::IsWindow(window)) return 1;
  return RequestClose(window) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "wait-main") {
    return WaitMain(argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 30000);
  }
  if (command == "tab" && argc > 3) return ShowTab(argv[2], argv[3]);
  if (command == "close" && argc > 2) return Close(argv[2]);
  std::fprintf(stderr,
               "usage: demo_tool wait-main [timeout ms] | tab <window> <index> | close <window>\n");
  return 2;
}
