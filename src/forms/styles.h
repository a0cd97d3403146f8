// The window styles the program's forms and controls are made with, named by their parts.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace forms::styles {

// Every designed control: a visible child that does not paint over its siblings.
inline constexpr DWORD kControl = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;

// A push button reached with the Tab key, its caption centred both ways.
inline constexpr DWORD kButton = kControl | WS_TABSTOP | BS_CENTER | BS_VCENTER;
static_assert(kButton == 0x54010F00);

// The same button showing an icon instead of its caption.
inline constexpr DWORD kIconButton = kButton | BS_ICON;
static_assert(kIconButton == 0x54010F40);

// A list box that reports selections, scrolls vertically and keeps exactly its designed
// height (no rounding to whole lines).
inline constexpr DWORD kListBox =
    kControl | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
static_assert(kListBox == 0x54210101);

// The same list box, kept in sorted order.
inline constexpr DWORD kSortedListBox = kListBox | LBS_SORT;
static_assert(kSortedListBox == 0x54210103);

// A progress bar that stays hidden until a download begins.
inline constexpr DWORD kHiddenProgressBar = WS_CHILD | WS_CLIPSIBLINGS;
static_assert(kHiddenProgressBar == 0x44000000);

// A page: a hidden child of the main window's tab control that hosts its own controls.
inline constexpr DWORD kPage =
    WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
static_assert(kPage == 0x460B0000);
inline constexpr DWORD kPageEx = WS_EX_CONTROLPARENT;
static_assert(kPageEx == 0x00010000);

}  // namespace forms::styles
