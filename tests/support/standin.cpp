#include "support/standin.h"

#include <atomic>
#include <filesystem>
#include <fstream>

#include "base/text.h"
#include "support/driver.h"
#include "support/shared_resources.h"

namespace testsupport {
namespace {

std::wstring UniqueEventName() {
  static std::atomic<int> counter{0};
  return L"LingtuStandinReady-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
         std::to_wstring(++counter);
}

}  // namespace

Process LaunchStandin(const std::vector<std::wstring>& args, const std::vector<EnvChange>& env,
                      const std::wstring& exe) {
  ExpectLocked(Shared::kSketchUp, "starts a SketchUp.exe");
  ExpectLocked(Shared::kDesktop, "shows stand-in windows");
  const std::wstring eventName = UniqueEventName();
  base::UniqueKernelHandle ready(::CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
  std::vector<std::wstring> allArgs = args;
  allArgs.insert(allArgs.end(), {L"--ready-event", eventName});
  Process process = LaunchProcess(exe, allArgs, env);
  if (process && ready) {
    const HANDLE waitFor[] = {ready.get(), process.handle()};
    ::WaitForMultipleObjects(2, waitFor, FALSE, kDefaultTimeoutMs);
  }
  return process;
}

std::wstring CopyStandinAs(const std::wstring& folder, const std::wstring& fileName) {
  ::CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring target = folder + L"\\" + fileName;
  if (!::CopyFileW(StandinExePath().c_str(), target.c_str(), FALSE)) return L"";
  return target;
}

Process LaunchStandinAs(const std::wstring& fileName, const std::vector<std::wstring>& args) {
  // Each copy gets a folder of its own: file names differ only in letter case here, and
  // Windows would take "sketchup.exe" and "SketchUp.exe" in one folder for the same file.
  static std::atomic<int> counter{0};
  MakeFolders(BinaryDir() + L"\\scratch\\standin-copies");
  for (int attempt = 0; attempt < 100; ++attempt) {
    // The process id keeps test programs that run side by side out of each other's folders.
    const std::wstring folder =
        MakeScratchFolder(L"standin-copies\\" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                          std::to_wstring(++counter));
    const std::wstring copy = CopyStandinAs(folder, fileName);
    if (!copy.empty()) return LaunchStandin(args, {}, copy);
    // A copy from an earlier run may still be running there: take the next folder.
  }
  return {};
}

std::vector<HWND> StandinWindows(DWORD pid) {
  std::vector<HWND> windows;
  for (HWND window : TopLevelWindows(pid)) {
    if (ClassOf(window) == kStandinWindowClass) windows.push_back(window);
  }
  return windows;
}

namespace {
LRESULT Ask(HWND window, UINT message) {
  DWORD_PTR result = 0;
  if (!::SendMessageTimeoutW(window, message, 0, 0, SMTO_NORMAL, kDefaultTimeoutMs, &result)) {
    return -1;
  }
  return static_cast<LRESULT>(result);
}
}  // namespace

LRESULT StandinMoveCount(HWND window) {
  return Ask(window, kStandinGetMoveCount);
}
void ResetStandinMoves(HWND window) {
  Ask(window, kStandinResetMoves);
}
LRESULT StandinCloseCount(HWND window) {
  return Ask(window, kStandinGetCloseCount);
}

std::vector<StandinStart> ReadStandinLog(const std::wstring& logFile) {
  std::vector<StandinStart> starts;
  std::ifstream in(std::filesystem::path(logFile), std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    const size_t tab = line.find('\t');
    starts.push_back({base::Utf8ToWide(line.substr(0, tab)),
                      tab == std::string::npos ? L"" : base::Utf8ToWide(line.substr(tab + 1))});
  }
  return starts;
}

}  // namespace testsupport
