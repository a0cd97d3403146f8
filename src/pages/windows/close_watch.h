// The windows the page asked to close and now watches go, without waiting for any of them. The
// list is brought up to date when a window has handled the request (gone, or refusing and so
// still listed) and again when a window goes later (it asked its user first, say). Each window
// is watched for a bounded time; one still there by then is left alone.
#pragma once

#include <windows.h>

#include <vector>

namespace windows_page {

inline constexpr ULONGLONG kCloseWatchMs = 60000;
// How often the page looks whether a watched window is gone.
inline constexpr UINT kCloseWatchPeriodMs = 100;

class CloseWatch {
 public:
  void Start(HWND target, ULONGLONG now);
  // The window handled the request (the list is to be brought up to date now); it is watched
  // on while it is still there.
  void Handled(HWND target);
  // A look at the watched windows; true when one is gone and the list is to be brought up to
  // date. Windows watched for longer than kCloseWatchMs are given up.
  bool Look(ULONGLONG now);
  bool Empty() const { return watched_.empty(); }

 private:
  struct Watched {
    HWND window;
    ULONGLONG since;
  };
  std::vector<Watched> watched_;
};

}  // namespace windows_page
