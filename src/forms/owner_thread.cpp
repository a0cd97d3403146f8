#include "forms/owner_thread.h"

#include <atomic>
#include <cstdio>
#include <string_view>

namespace forms {

namespace {

// The exit code of a process stopped by the strict rule; it tells a test runner why.
[[maybe_unused]] constexpr UINT kWrongThreadExitCode = 0x7EAD;  // test builds only

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

// The bare name in a compiler's function signature ("bool forms::SetCaption(const ...)" gives
// "SetCaption"): what comes before the parameter list, after its last qualifier or space.
std::string_view BareName(std::string_view signature) {
  std::string_view name = signature.substr(0, signature.find('('));
  if (const size_t space = name.rfind(' '); space != std::string_view::npos) {
    name.remove_prefix(space + 1);
  }
  if (const size_t scope = name.rfind("::"); scope != std::string_view::npos) {
    name.remove_prefix(scope + 2);
  }
  return name;
}

}  // namespace

bool OnOwnerThread(HWND window, const char* caller) {
  if (!window) return true;
  const DWORD owner = ::GetWindowThreadProcessId(window, nullptr);
  if (owner == 0 || owner == ::GetCurrentThreadId()) return true;
  char function[128];
  const std::string_view name = BareName(caller ? caller : "");
  std::snprintf(function, sizeof(function), "%.*s", static_cast<int>(name.size()), name.data());
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
