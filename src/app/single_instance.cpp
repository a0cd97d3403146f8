#include "app/single_instance.h"

#include <windows.h>

#include "app/app_info.h"
#include "app/form1.h"
#include "app/handed_file.h"
#include "base/unique_handle.h"
#include "forms/message_box.h"

namespace app {

namespace {

constexpr const wchar_t* kMutexName = kProgramTitle;
constexpr wchar_t kAlreadyRunning[] = L"翎图匠助手已打开，请勿重复运行";

// A top-level window of this thread, if it has one yet; never one of the running instance, nor
// one of a helper thread of this process (a message box may only be owned by its own thread).
HWND OwnWindow() {
  const DWORD self = ::GetCurrentThreadId();
  for (HWND window = ::FindWindowW(nullptr, nullptr); window;
       window = ::GetWindow(window, GW_HWNDNEXT)) {
    if (!::GetParent(window) && ::GetWindowThreadProcessId(window, nullptr) == self) return window;
  }
  return nullptr;
}

// Debugging rights let the window page reach other processes' windows where the user may.
void EnableDebugPrivilege() {
  base::UniqueKernelHandle token;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, token.put())) return;
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  ::LookupPrivilegeValueW(nullptr, L"SeDebugPrivilege", &privileges.Privileges[0].Luid);
  ::AdjustTokenPrivileges(token.get(), FALSE, &privileges, sizeof(privileges), nullptr, nullptr);
}

// The running instance's main window takes the file as a drop. It may still be coming up: its
// mutex is taken first, so give its window a few seconds to appear.
bool HandToRunningInstance(const std::wstring& file) {
  constexpr DWORD kWindowWaitMs = 10000, kPollMs = 100;
  for (DWORD waited = 0;; waited += kPollMs) {
    if (HWND window = ::FindWindowW(kMainWindowClass, nullptr)) {
      if (::IsIconic(window)) ::ShowWindowAsync(window, SW_RESTORE);
      ::SetForegroundWindow(window);  // this process was just started: it may
      return SendHandedFile(window, file);
    }
    if (waited >= kWindowWaitMs) return false;
    ::Sleep(kPollMs);
  }
}

}  // namespace

int EnsureSingleInstance(const std::wstring& handedFile) {
  // The mutex lives as long as the process: its name is the guard.
  HANDLE mutex = ::CreateMutexW(nullptr, TRUE, kMutexName);
  if (mutex && ::GetLastError() == ERROR_ALREADY_EXISTS) {
    if (!handedFile.empty() && HandToRunningInstance(handedFile)) return -1;
    forms::AppMessageBox(OwnWindow(), kAlreadyRunning, 0);
    return -1;
  }
  EnableDebugPrivilege();
  return 0;
}

}  // namespace app
