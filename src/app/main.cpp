#include <windows.h>
#include <commctrl.h>

#include <clocale>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/app_info.h"
#include "app/command_line.h"
#include "app/command_run.h"
#include "app/handed_file.h"
#include "app/run_application.h"
#include "app/startup_timeline.h"
#include "base/file_system.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  app::startup::Mark(app::startup::Step::kMain);
  // Upper- and lower-case conversion of narrow text follows the user's locale.
  std::setlocale(LC_CTYPE, "");
  // With arguments, a command run: no window, and the exit code tells how it went. But one file
  // alone, as Windows hands it for "Open with" or a drop on the icon, opens the window on it.
  std::wstring handedFile;
  if (__argc > 1) {
    const std::vector<std::wstring> arguments(__wargv + 1, __wargv + __argc);
    const app::ParsedCommand parsed = app::ParseCommandLine(arguments);
    if (!parsed.command || parsed.command->kind != app::CommandKind::kWindow) {
      std::exit(app::RunCommandLine(arguments));
    }
    // It may be relative to this process's current folder (a start from a console).
    const std::wstring& openFile = parsed.command->openFile;
    handedFile = base::FullPath(openFile);
    if (handedFile.empty()) handedFile = openFile;
  }
  ::InitCommonControls();
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  app::FillAppInfo();
  app::RunApplication(app::TheAppInfo().Instance, handedFile);
  std::exit(0);  // background threads (a pending version request) end with the process
}
