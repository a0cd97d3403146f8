#include <windows.h>
#include <commctrl.h>

#include <clocale>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/app_info.h"
#include "app/command_run.h"
#include "app/run_application.h"
#include "app/startup_timeline.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  app::startup::Mark(app::startup::Step::kMain);
  // Upper- and lower-case conversion of narrow text follows the user's locale.
  std::setlocale(LC_CTYPE, "");
  // With arguments, a command run: no window, and the exit code tells how it went.
  if (__argc > 1) {
    std::exit(app::RunCommandLine(std::vector<std::wstring>(__wargv + 1, __wargv + __argc)));
  }
  ::InitCommonControls();
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  app::FillAppInfo();
  app::RunApplication(app::TheAppInfo().Instance);
  std::exit(0);  // background threads (a pending version request) end with the process
}
