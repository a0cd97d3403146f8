// The process-wide table from window handle to its ControlInfo. Windowless controls are not
// in it; they are reached through their form's record. User-interface thread only.
#pragma once

#include <windows.h>

namespace forms {

struct ControlInfo;

namespace handle_map {

ControlInfo* Find(HWND window);
void Set(HWND window, ControlInfo* info);
void Remove(HWND window);

}  // namespace handle_map

}  // namespace forms
