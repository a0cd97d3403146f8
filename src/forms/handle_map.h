// The process-wide table from window handle to its ControlInfo. Windowless controls are not
// in it; they are reached through their form's record. A record is used on its window's thread
// only, but threads that own windows of their own share the table, so it has a lock.
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
