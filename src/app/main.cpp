#include <windows.h>
#include <commctrl.h>

#include <clocale>
#include <cstdlib>

#include "app/app_info.h"
#include "app/run_application.h"
#include "app/startup_timeline.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  app::startup::Mark(app::startup::Step::kMain);
  // Upper- and lower-case conversion of narrow text follows the user's locale.
  std::setlocale(LC_CTYPE, "");
  ::InitCommonControls();
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  app::FillAppInfo();
  app::RunApplication(app::TheAppInfo().Instance);
  std::exit(0);  // background threads (a pending version request) end with the process
}
