#include "forms/message_box.h"

#include <string>

#include "forms/owner_thread.h"
#include "forms/program_names.h"

namespace forms {

int AppMessageBox(HWND owner, std::wstring_view text, UINT flags) {
  return AppMessageBox(owner, text, GetProgramNames().title, flags);
}

int AppMessageBox(HWND owner, std::wstring_view text, std::wstring_view title, UINT flags) {
  // The box disables its owner and waits for the owner's thread: only that thread may show it.
  if (!OnOwnerThread(owner)) return 0;
  const std::wstring body(text), caption(title);
  return ::MessageBoxW(owner, body.c_str(), caption.c_str(), flags);
}

}  // namespace forms
