// Showing forms; the modal show runs the program's only message loop.
#pragma once

#include <windows.h>

#include "forms/records.h"

namespace forms {

inline constexpr int kModal = -1;

// Modeless (modalFlag != kModal): shows the window and returns it. Modal: disables the owner's
// top-level window, shows the form and runs a message loop until the form no longer exists,
// then returns the modal result.
INT_PTR ShowFormWindow(HWND window, int modalFlag, HWND parent, int showCommand);

// Restores a minimised form, brings it to the foreground and flashes it.
void ActivateExistingForm(const FormDescriptor& descriptor);

}  // namespace forms
