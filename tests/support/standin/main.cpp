// A stand-in for SketchUp.exe: opens the windows its command line asks for and lets a test
// observe what another program does to them. The interface is described in
// support/standin_protocol.h.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "base/text.h"
#include "base/unique_handle.h"
#include "standin/controls_window.h"
#include "standin/model_window.h"
#include "standin/options.h"
#include "support/standin_protocol.h"

namespace {

std::vector<std::wstring> Arguments() {
  std::vector<std::wstring> args;
  int count = 0;
  LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (!argv) return args;
  for (int i = 1; i < count; ++i) args.emplace_back(argv[i]);
  ::LocalFree(argv);
  return args;
}

// Appends "<executable path>\t<log-on name>" to the start log a test asked for, if any.
void LogStart() {
  wchar_t logPath[MAX_PATH];
  const DWORD length =
      ::GetEnvironmentVariableW(testsupport::kStandinLogVariable, logPath, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  wchar_t exePath[MAX_PATH];
  const DWORD exeLength = ::GetModuleFileNameW(nullptr, exePath, MAX_PATH);
  wchar_t user[256] = {};
  DWORD userLength = 256;
  if (!::GetUserNameW(user, &userLength)) user[0] = L'\0';
  base::UniqueFile log(::CreateFileW(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!log) return;
  const std::string line =
      base::WideToUtf8(std::wstring(exePath, exeLength)) + "\t" + base::WideToUtf8(user) + "\n";
  DWORD written = 0;
  ::WriteFile(log.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  LogStart();
  const auto options = standin::ParseOptions(Arguments());
  if (!options) return testsupport::kStandinBadArguments;
  if (!standin::RegisterModelWindowClass(instance)) return 1;
  for (const auto& request : options->windows) {
    const bool created = request.kind == standin::WindowRequest::Kind::kControls
                             ? standin::CreateControlsWindow(instance, request) != nullptr
                             : standin::CreateModelWindow(instance, request) != nullptr;
    if (!created) return 1;
  }
  base::UniqueKernelHandle ready;
  if (!options->readyEvent.empty()) {
    ready.reset(::CreateEventW(nullptr, TRUE, FALSE, options->readyEvent.c_str()));
    if (ready) ::SetEvent(ready.get());
  }
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return 0;
}
