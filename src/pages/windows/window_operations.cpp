#include "pages/windows/window_operations.h"

#include "base/unique_handle.h"

namespace windows_page {

namespace {

// Moves are posted to the target's thread: a window that does not answer cannot hold up the
// page, and it still moves once it answers again.
constexpr UINT kAsync = SWP_ASYNCWINDOWPOS;
constexpr UINT kKeepSizeAndZOrderOfOwner = SWP_NOSIZE | SWP_NOOWNERZORDER | kAsync;
constexpr UINT kKeepSizeAndPosition = SWP_NOSIZE | SWP_NOMOVE | kAsync;

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

DWORD WINAPI EnableInput(void* target) {
  ::EnableWindow(static_cast<HWND>(target), TRUE);
  return 0;
}

DWORD WINAPI DisableInput(void* target) {
  ::EnableWindow(static_cast<HWND>(target), FALSE);
  return 0;
}

bool Answers(HWND target) {
  DWORD_PTR result = 0;
  return ::SendMessageTimeoutW(target, WM_NULL, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, kAnswerTimeMs,
                               &result) != 0;
}

// Enabling waits until the target's thread has taken the change, so it is only tried on a
// window that answers, and on a thread of its own in case the window stops answering just
// then. A window that does not answer is left as it is: changes queued on several threads
// could land in any order.
OperationResult ChangeInput(LPTHREAD_START_ROUTINE change, HWND target) {
  if (!Answers(target)) return OperationResult::kNotDone;
  base::UniqueKernelHandle thread(::CreateThread(nullptr, 0, change, target, 0, nullptr));
  if (!thread) return OperationResult::kNotDone;
  return ::WaitForSingleObject(thread.get(), kAnswerTimeMs) == WAIT_OBJECT_0
             ? OperationResult::kDone
             : OperationResult::kPending;
}

// A window that answers is handed the close request and the page goes on: it may ask its user
// first, or the window system may be slow to take it down, and neither is a window that does
// not respond. Only one that does not answer (a hung window, as the system judges it, or one
// busy beyond the page's wait) gets the request posted, to handle when it recovers.
OperationResult Close(HWND target, SENDASYNCPROC closeHandled) {
  if (!Answers(target)) {
    return ::PostMessageW(target, WM_CLOSE, 0, 0) ? OperationResult::kPending
                                                  : OperationResult::kNotDone;
  }
  const BOOL handedOver = closeHandled
                              ? ::SendMessageCallbackW(target, WM_CLOSE, 0, 0, closeHandled, 0)
                              : ::SendNotifyMessageW(target, WM_CLOSE, 0, 0);
  return handedOver ? OperationResult::kClosing : OperationResult::kNotDone;
}

}  // namespace

OperationResult ApplyWindowOperation(HWND target, int32_t index, SENDASYNCPROC closeHandled) {
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
      return ChangeInput(DisableInput, target);
    case operation::kEnableInput:
      return ChangeInput(EnableInput, target);
    case operation::kShake:
      Shake(target);
      break;
    case operation::kClose:
      return Close(target, closeHandled);
    default:
      break;
  }
  return OperationResult::kDone;
}

}  // namespace windows_page
