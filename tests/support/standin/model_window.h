// The stand-in's top-level windows: they count what is done to them so that a test can ask.
#pragma once

#include <windows.h>

#include "standin/options.h"

namespace standin {

bool RegisterModelWindowClass(HINSTANCE instance);
// Creates (and, when asked, shows) one window. Null on failure.
HWND CreateModelWindow(HINSTANCE instance, const WindowRequest& request);

// The process lives while it has visible windows: the last one gone posts the quit message.
void NoteVisibleWindowCreated();
void NoteVisibleWindowGone();

}  // namespace standin
