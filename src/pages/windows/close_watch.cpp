#include "pages/windows/close_watch.h"

#include <algorithm>

namespace windows_page {

void CloseWatch::Start(HWND target, ULONGLONG now) {
  std::erase_if(watched_, [&](const Watched& w) { return w.window == target; });
  watched_.push_back({target, now});
}

void CloseWatch::Handled(HWND target) {
  std::erase_if(watched_,
                [&](const Watched& w) { return w.window == target && !::IsWindow(target); });
}

bool CloseWatch::Look(ULONGLONG now) {
  bool gone = false;
  std::erase_if(watched_, [&](const Watched& w) {
    if (!::IsWindow(w.window)) return gone = true;
    return now - w.since > kCloseWatchMs;
  });
  return gone;
}

}  // namespace windows_page
