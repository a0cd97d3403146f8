#pragma once

#include <windows.h>

namespace app {

// Runs the program: 0 after the main window was closed, -1 when another instance runs.
int RunApplication(HINSTANCE instance);

}  // namespace app
