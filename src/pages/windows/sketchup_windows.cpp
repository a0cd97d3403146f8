#include "pages/windows/sketchup_windows.h"

#include <algorithm>
#include <new>

namespace windows_page {

namespace {

struct Search {
  std::span<const DWORD> processIds;
  std::vector<ListedWindow> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<Search*>(param);
  if (!::IsWindowVisible(window)) return TRUE;
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (std::find(search.processIds.begin(), search.processIds.end(), owner) ==
      search.processIds.end()) {
    return TRUE;
  }
  // Another process's title is read from the system's copy: no message is sent, so a window
  // that does not respond cannot stall the list.
  wchar_t title[kMaxTitleLength + 1] = {};
  const int length = ::GetWindowTextW(window, title, kMaxTitleLength + 1);
  try {
    search.found.push_back({window, owner, std::wstring(title, length > 0 ? length : 0)});
  } catch (const std::bad_alloc&) {
    return FALSE;  // no exception may cross the system's callback
  }
  return TRUE;
}

}  // namespace

std::vector<ListedWindow> VisibleWindowsOf(std::span<const DWORD> processIds) {
  Search search{processIds, {}};
  if (!processIds.empty()) ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  return std::move(search.found);
}

}  // namespace windows_page
