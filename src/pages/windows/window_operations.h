// The seven things the window page can do to another program's window. The target's process
// may refuse any of them (a process with higher rights); that passes silently.
#pragma once

#include <windows.h>

#include <cstdint>

namespace windows_page {

// The operations by the index of their button in the page's button array.
namespace operation {
inline constexpr int32_t kMoveToTopLeft = 0;
inline constexpr int32_t kMakeTopmost = 1;
inline constexpr int32_t kCancelTopmost = 2;
inline constexpr int32_t kDisableInput = 3;
inline constexpr int32_t kEnableInput = 4;
inline constexpr int32_t kShake = 5;
inline constexpr int32_t kClose = 6;
}  // namespace operation

// Applies the operation with this index to the window; other indexes do nothing. Closing
// waits until the window has handled the close request (it may ask its user first).
void ApplyWindowOperation(HWND target, int32_t index);

// How far and how often a shake displaces the window.
inline constexpr int kShakeOffset = 15;
inline constexpr int kShakeRounds = 20;

}  // namespace windows_page
