#include "environment/sketchup_process.h"

#include <tlhelp32.h>

#include <cwctype>
#include <string>

#include "base/unique_handle.h"

namespace environment {

namespace {

bool IsSketchUpFileName(const wchar_t* exeFile) {
  std::wstring upper(exeFile);
  for (wchar_t& unit : upper) {
    if (std::iswlower(unit)) unit = static_cast<wchar_t>(std::towupper(unit));
  }
  return upper == L"SKETCHUP.EXE";
}

// Calls `found` with each SketchUp process of a fresh snapshot until it returns false.
template <typename Found>
void ForEachSketchUpProcess(Found found) {
  base::UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
       more = ::Process32NextW(snapshot.get(), &entry)) {
    if (IsSketchUpFileName(entry.szExeFile) && !found(entry.th32ProcessID)) return;
  }
}

}  // namespace

bool IsSketchUpRunning() {
  bool running = false;
  ForEachSketchUpProcess([&](DWORD) {
    running = true;
    return false;
  });
  return running;
}

std::vector<DWORD> SketchUpProcessIds() {
  std::vector<DWORD> ids;
  ForEachSketchUpProcess([&](DWORD id) {
    ids.push_back(id);
    return true;
  });
  return ids;
}

}  // namespace environment
