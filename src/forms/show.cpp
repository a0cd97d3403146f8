#include "forms/show.h"

#include "forms/form_object.h"
#include "forms/keyboard.h"
#include "forms/owner_thread.h"

namespace forms {

namespace {
INT_PTR modalResult = 0;
ModalLoopObserver observer = nullptr;

void Tell(ModalLoopEvent event) {
  if (observer) observer(event);
}

// True the first time the thread's queue holds nothing to handle; sent messages do not count,
// they are handled inside GetMessage without a turn of the loop.
bool FirstIdle() {
  static bool seen = false;
  if (seen || !observer || HIWORD(::GetQueueStatus(QS_ALLEVENTS)) != 0) return false;
  seen = true;
  return true;
}
}  // namespace

void SetModalLoopObserver(ModalLoopObserver callback) {
  observer = callback;
}

INT_PTR ShowFormWindow(HWND window, int modalFlag, HWND parent, int showCommand) {
  if (!window || !::IsWindow(window) || !OnOwnerThread(window)) return 0;
  if (showCommand == SW_SHOWNORMAL && (::GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_NOACTIVATE)) {
    showCommand = SW_SHOWNOACTIVATE;
  }
  if (modalFlag != kModal) {
    ::ShowWindow(window, showCommand);
    return reinterpret_cast<INT_PTR>(window);
  }
  if (parent) {
    HWND top = parent;
    while (::GetWindowLongW(top, GWL_STYLE) & WS_CHILD) {
      HWND up = ::GetParent(top);
      if (!up) break;
      top = up;
    }
    ::EnableWindow(top, FALSE);
  }
  // As a dialog does: the focus is drawn from the start only for a person who started the
  // program from the keyboard (or asked for keyboard cues always), and for everyone once the
  // keyboard moves it (keyboard.h).
  ::SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, 0), 0);
  ::ShowWindow(window, showCommand);
  // Showing activates the window, which focuses it, unless it was active already.
  if (::GetFocus() == window) GiveFocusBack(window);
  ::UpdateWindow(window);
  Tell(ModalLoopEvent::kShownAndPainted);
  FormObject* form = FormObjectOf(window);
  HACCEL accelerators = form ? form->accelerators : nullptr;
  MSG message;
  while (::IsWindow(window)) {
    if (FirstIdle()) Tell(ModalLoopEvent::kFirstIdle);
    if (::GetMessageW(&message, nullptr, 0, 0) <= 0) break;
    if (accelerators && ::IsWindow(window) &&
        ::TranslateAcceleratorW(window, accelerators, &message)) {
      continue;
    }
    if (::IsWindow(window) && HandleNavigationKey(window, message)) continue;
    if (::IsWindow(window) && ::IsDialogMessageW(window, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  const INT_PTR result = modalResult;
  modalResult = 0;
  return result;
}

void ActivateExistingForm(const FormDescriptor& descriptor) {
  HWND window = descriptor.window;
  if (!window || !::IsWindow(window) || !OnOwnerThread(window)) return;
  if (::IsIconic(window)) ::ShowWindow(window, SW_RESTORE);
  ::SetForegroundWindow(window);
  FLASHWINFO flash{sizeof(flash), window, FLASHW_ALL, 5, 100};
  ::FlashWindowEx(&flash);
}

}  // namespace forms
