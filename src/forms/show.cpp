#include "forms/show.h"

#include "forms/form_object.h"

namespace forms {

namespace {
INT_PTR modalResult = 0;
}

INT_PTR ShowFormWindow(HWND window, int modalFlag, HWND parent, int showCommand) {
  if (!window || !::IsWindow(window)) return 0;
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
  ::ShowWindow(window, showCommand);
  ::UpdateWindow(window);
  FormObject* form = FormObjectOf(window);
  HACCEL accelerators = form ? form->accelerators : nullptr;
  MSG message;
  while (::IsWindow(window) && ::GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (accelerators && ::IsWindow(window) &&
        ::TranslateAcceleratorW(window, accelerators, &message)) {
      continue;
    }
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
  if (!window || !::IsWindow(window)) return;
  if (::IsIconic(window)) ::ShowWindow(window, SW_RESTORE);
  ::SetForegroundWindow(window);
  FLASHWINFO flash{sizeof(flash), window, FLASHW_ALL, 5, 100};
  ::FlashWindowEx(&flash);
}

}  // namespace forms
