// The window page (third tab): SketchUp's visible windows and seven operations on one of them.
#pragma once

#include <windows.h>

#include <cstdint>

#include "forms/records.h"

namespace windows_page {

// Slots of the page's controls, in design (creation) order.
enum Slot {
  kList1,
  kCommand1,       // "刷新列表"
  kResetPosition,  // Command2(0)
  kFrame1,
  kFrame2,
  kMakeTopmost,    // Command2(1)
  kCancelTopmost,  // Command2(2)
  kDisable,        // Command2(3)
  kEnable,         // Command2(4)
  kShake,          // Command2(5)
  kClose,          // Command2(6)
  kSlotCount
};

// The page's caption, also its tab's.
inline constexpr wchar_t kPageCaption[] = L"窗口管理";

forms::FormDescriptor& Form4();

HWND CreateForm4(HWND parent, LPARAM userValue);

// Rebuilds List1 from the visible windows of every running SketchUp process and selects the
// first line (raising no selection event). Without SketchUp, Frame1 says there is nothing to act
// on and the list stays empty.
void RefreshWindowList();

// Applies the operation of Command2's button `index` to the window of the selected line; `page`
// is the page's window. Tells the user when no line is selected or the window is gone.
void WindowOperation(int32_t index, HWND page);

}  // namespace windows_page
