// Finding the windows a user may act on: the visible top-level windows of given processes.
#pragma once

#include <windows.h>

#include <span>
#include <string>
#include <vector>

namespace windows_page {

struct ListedWindow {
  HWND window = nullptr;
  DWORD processId = 0;  // its owner when it was listed
  std::wstring title;   // at most kMaxTitleLength units; may be empty
};

// Longer titles are cut: the list shows what fits a 256-unit buffer.
inline constexpr int kMaxTitleLength = 255;

// The visible top-level windows owned by any of the processes, in the order the desktop
// enumerates them. Hidden windows are left out; windows without a title are kept.
std::vector<ListedWindow> VisibleWindowsOf(std::span<const DWORD> processIds);

}  // namespace windows_page
