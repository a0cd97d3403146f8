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

// What a modal show reports to its observer, each once per run of the program.
enum class ModalLoopEvent {
  kShownAndPainted,  // the form and its children are shown and painted; the loop starts
  kFirstIdle,        // the loop found nothing to handle for the first time
};
using ModalLoopObserver = void (*)(ModalLoopEvent);
// At most one observer; it costs one queue-status call per message until the first idle.
void SetModalLoopObserver(ModalLoopObserver callback);

// Restores a minimised form, brings it to the foreground and flashes it.
void ActivateExistingForm(const FormDescriptor& descriptor);

}  // namespace forms
