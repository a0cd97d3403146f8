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

enum class OperationResult {
  kDone,     // carried out, or handed to the window's thread to carry out in order
  kClosing,  // the window answers and was asked to close; it goes in its own time (it may ask
             // its user first, or be slow to take down), and tells when it has handled that
  kPending,  // the window did not answer in time: it carries the operation out once it does
  kNotDone,  // left undone: the window does not answer, or the request could not be made
};

// How long the page waits for a window to answer.
inline constexpr DWORD kAnswerTimeMs = 1000;

// Applies the operation with this index to the window; other indexes do nothing. No operation
// keeps the caller waiting much longer than kAnswerTimeMs: moves are posted to the window's
// thread; enabling and closing wait at most that long for the window to answer. Enabling a
// window that does not answer is not done; closing it is left queued for when it answers.
// Closing a window that answers waits for nothing: `closeHandled` is called on the caller's
// thread, from its message loop, once the window has handled the request.
OperationResult ApplyWindowOperation(HWND target, int32_t index,
                                     SENDASYNCPROC closeHandled = nullptr);

// How far and how often a shake displaces the window.
inline constexpr int kShakeOffset = 15;
inline constexpr int kShakeRounds = 20;

}  // namespace windows_page
