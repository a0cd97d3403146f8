// One instance per log-on session.
#pragma once

#include <string>

namespace app {

// 0 to go on; -1 when another instance runs: its window has been handed `handedFile` (when
// given), or else the user has been told.
int EnsureSingleInstance(const std::wstring& handedFile = L"");

}  // namespace app
