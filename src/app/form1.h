// The main window: a tab control with the three pages and a six-panel status bar.
#pragma once

#include <windows.h>

#include <string>

#include "forms/records.h"

namespace app {

// The main window's class, by which a second start finds it.
inline constexpr wchar_t kMainWindowClass[] = L"翎图匠助手_Form1";

enum Form1Slot { kTabControl1, kStatus1, kForm1SlotCount };

forms::FormDescriptor& Form1();

// Creates and shows the main window. With modal flag 1 the call runs the program's message
// loop and returns once the window no longer exists.
INT_PTR CreateForm1(HWND parent, int modalFlag, LPARAM userValue);

// A file the window takes as a drop once it is up and its pages are loaded (the program was
// started with it). User-interface thread.
void HandFileToForm1(std::wstring path);

}  // namespace app
