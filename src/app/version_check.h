// Asks the update server for the latest plug-in version once per run and shows the answer,
// verbatim, in a status-bar panel. The window stays usable while the server answers.
#pragma once

#include <windows.h>

namespace app {

// Starts the detached version-check thread that fills `panel` of `statusBar`.
void StartVersionCheck(HWND statusBar, int panel);

}  // namespace app
