#include "forms/owner_thread.h"

#include <atomic>
#include <cstdio>

namespace forms {

namespace {

// The exit code of a process stopped by the strict rule; it tells a test runner why.
[[maybe_unused]] constexpr UINT kWrongThreadExitCode = 0x7EAD;

std::atomic<WrongThreadHandler> handler{nullptr};

void DefaultHandler(const char* function) {
#ifdef LINGTU_STRICT_THREADS
  char text[200];
  std::snprintf(text, sizeof(text),
                "forms::%s was called from a thread that does not own the window\n", function);
  std::fputs(text, stderr);
  std::fflush(stderr);
  ::OutputDebugStringA(text);
  // No abort(): in a program without a console it would stop at a message box.
  ::TerminateProcess(::GetCurrentProcess(), kWrongThreadExitCode);
#else
  (void)function;
#endif
}

}  // namespace

bool OnOwnerThread(HWND window, const char* function) {
  if (!window) return true;
  const DWORD owner = ::GetWindowThreadProcessId(window, nullptr);
  if (owner == 0 || owner == ::GetCurrentThreadId()) return true;
  if (WrongThreadHandler replaced = handler.load()) {
    replaced(function);
  } else {
    DefaultHandler(function);
  }
  return false;
}

void SetWrongThreadHandler(WrongThreadHandler replacement) {
  handler.store(replacement);
}

}  // namespace forms
