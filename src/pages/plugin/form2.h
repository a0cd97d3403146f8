// The plug-in page (first tab): install or update the plug-in, and start SketchUp.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "forms/records.h"

namespace plugin_page {

// Slots of the page's controls, in design order.
enum Slot {
  kLabel2,
  kLabel1,
  kCommand2,
  kWinInet1,
  kProgress1,
  kFrame1,
  kCommand1,
  kList1,
  kLabel3,
  kSlotCount
};

// The page's caption, also its tab's.
inline constexpr wchar_t kPageCaption[] = L"插件管理";

forms::FormDescriptor& Form2();

// Creates the page as a child of `parent` and returns its window (0 on failure).
HWND CreateForm2(HWND parent, LPARAM userValue);

// What was dropped onto the main window: one .rbz file is installed for the version chosen on
// the page as a downloaded archive would be, after the same checks; anything else is refused
// with a message. User-interface thread.
void InstallDroppedFiles(const std::vector<std::wstring>& paths);

// Called as the main window closes: stops a running download (its temporary archive goes),
// or waits until a running installation has left the plug-in folder whole, old or new.
void FinishBeforeClose();

}  // namespace plugin_page
