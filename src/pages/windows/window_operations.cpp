#include "pages/windows/window_operations.h"

namespace windows_page {

namespace {

constexpr UINT kKeepSizeAndZOrderOfOwner = SWP_NOSIZE | SWP_NOOWNERZORDER;
constexpr UINT kKeepSizeAndPosition = SWP_NOSIZE | SWP_NOMOVE;

void MoveTo(HWND target, int left, int top) {
  ::SetWindowPos(target, HWND_TOP, left, top, 0, 0, kKeepSizeAndZOrderOfOwner);
}

// Displaces the window alternately down-right and up-left, back to its place after each step,
// so that the user spots it; it ends where it was.
void Shake(HWND target) {
  RECT rect{};
  if (!::GetWindowRect(target, &rect)) return;  // gone meanwhile: nothing to shake
  int offset = kShakeOffset;
  for (int round = 0; round < kShakeRounds; ++round) {
    MoveTo(target, rect.left + offset, rect.top + offset);
    MoveTo(target, rect.left, rect.top);
    offset = -offset;
  }
}

}  // namespace

void ApplyWindowOperation(HWND target, int32_t index) {
  switch (index) {
    case operation::kMoveToTopLeft:
      MoveTo(target, 0, 0);
      break;
    case operation::kMakeTopmost:
      ::SetWindowPos(target, HWND_TOPMOST, 0, 0, 0, 0, kKeepSizeAndPosition);
      break;
    case operation::kCancelTopmost:
      ::SetWindowPos(target, HWND_NOTOPMOST, 0, 0, 0, 0, kKeepSizeAndPosition);
      break;
    case operation::kDisableInput:
      ::EnableWindow(target, FALSE);
      break;
    case operation::kEnableInput:
      ::EnableWindow(target, TRUE);
      break;
    case operation::kShake:
      Shake(target);
      break;
    case operation::kClose:
      ::SendMessageW(target, WM_CLOSE, 0, 0);
      break;
    default:
      break;
  }
}

}  // namespace windows_page
