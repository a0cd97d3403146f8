// The references keep the assistant's start-up stamps too (main, window created, shown and
// painted), so that the benchmark can set the assistant's breakdown beside theirs.
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

}  // namespace reference
