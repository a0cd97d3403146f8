#pragma once

#include <windows.h>

#include <string>

namespace app {

// Runs the program: 0 after the main window was closed, -1 when another instance runs.
// `handedFile`, when given, is taken as a file dropped on the window (handed_file.h): by this
// window once it is ready, or by the running instance's.
int RunApplication(HINSTANCE instance, const std::wstring& handedFile = L"");

}  // namespace app
