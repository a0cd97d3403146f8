// Whether a listed window is still the one that was listed. A window handle outlives nothing:
// once SketchUp closes, the system may give the same value to another program's window.
#pragma once

#include <windows.h>

#include <span>

namespace windows_page {

// True when `window` names a window owned by process `processId` and that process is one of
// the running SketchUp processes `sketchUpIds`.
bool IsStillSketchUpWindow(HWND window, DWORD processId, std::span<const DWORD> sketchUpIds);

// The same against the processes running now.
bool IsStillSketchUpWindow(HWND window, DWORD processId);

}  // namespace windows_page
