// The main window: a tab control with the three pages and a six-panel status bar.
#pragma once

#include <windows.h>

#include "forms/records.h"

namespace app {

enum Form1Slot { kTabControl1, kStatus1, kForm1SlotCount };

forms::FormDescriptor& Form1();

// Creates and shows the main window. With modal flag 1 the call runs the program's message
// loop and returns once the window no longer exists.
INT_PTR CreateForm1(HWND parent, int modalFlag, LPARAM userValue);

}  // namespace app
