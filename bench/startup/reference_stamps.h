// The references keep the assistant's start-up stamps too (main, window created, shown and
// painted, idle), so that the benchmark times every program alike and can set the assistant's
// breakdown beside theirs.
#pragma once

#include <windows.h>

#include "app/startup_timeline.h"

namespace reference {

using app::startup::Step;

inline LONGLONG stamps[static_cast<int>(Step::kCount)] = {};

inline void Stamp(Step step) {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  stamps[static_cast<int>(step)] = now.QuadPart;
}

// The answer to the benchmark's query, or false for any other message.
inline bool AnswerQuery(UINT message, WPARAM wParam, LRESULT* answer) {
  if (message < 0xC000 || message != RegisterWindowMessageW(app::startup::kQueryMessageName)) {
    return false;
  }
  *answer = wParam < static_cast<WPARAM>(Step::kCount) ? stamps[wParam] : 0;
  return true;
}

// The program's message loop; stamps the first time it finds nothing left to do (no input,
// posted message, timer or paint waiting), as the assistant's loop does. `dialog` gets the
// keyboard's dialog navigation, as in the assistant (may be none).
inline void RunMessageLoop(HWND dialog) {
  MSG message;
  for (bool idle = false;;) {
    if (!idle && HIWORD(GetQueueStatus(QS_ALLEVENTS)) == 0) {
      Stamp(Step::kIdle);
      idle = true;
    }
    if (GetMessageW(&message, nullptr, 0, 0) <= 0) return;
    if (dialog && IsDialogMessageW(dialog, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace reference
