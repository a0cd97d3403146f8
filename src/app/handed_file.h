// A file handed to the program: Windows starts it with the file as its only argument when the
// file is dropped on its icon or opened with it. A second start while the window is open passes
// the file on to that window (WM_COPYDATA), which takes it as a drop.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace app {

// Hands `path` to the main window of another instance; true once that window took it.
bool SendHandedFile(HWND window, const std::wstring& path);

// The path a WM_COPYDATA carries when it is a handed file, from whichever process: the tag, an
// even size within bounds, and the one terminator at its end. Nothing for anything else.
std::optional<std::wstring> ReadHandedFile(const COPYDATASTRUCT* data);

}  // namespace app
