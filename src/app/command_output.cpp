#include "app/command_output.h"

#include <windows.h>

#include <string>

#include "base/text.h"
#include "base/unique_handle.h"

namespace app {

namespace {

void WriteToConsole(HANDLE console, std::wstring_view text) {
  DWORD written = 0;
  ::WriteConsoleW(console, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// The console of the program that started this one, attached once; none when it has none.
HANDLE ParentConsole() {
  static const base::UniqueFile console = [] {
    if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return base::UniqueFile();
    return base::UniqueFile(::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
  }();
  return console.get();
}

}  // namespace

void WriteOutput(std::wstring_view text) {
  const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
  if (output && output != INVALID_HANDLE_VALUE) {
    DWORD mode = 0;
    if (::GetFileType(output) == FILE_TYPE_CHAR && ::GetConsoleMode(output, &mode)) {
      WriteToConsole(output, text);
      return;
    }
    if (::GetFileType(output) != FILE_TYPE_UNKNOWN) {
      const std::string bytes = base::WideToUtf8(text);
      DWORD written = 0;
      ::WriteFile(output, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
      return;
    }
  }
  // Started from a console window: the text appears there (after its prompt, which does not
  // wait for a window program unless told to: "start /wait").
  const HANDLE console = ParentConsole();
  if (console != INVALID_HANDLE_VALUE) WriteToConsole(console, text);
}

}  // namespace app
