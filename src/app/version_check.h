// Asks the update server for the latest plug-in version once per run and shows the answer,
// verbatim, in a status-bar panel. The window stays usable while the server answers. A reply
// over 4 KiB is no version: the panel stays empty, as when the server is down.
#pragma once

#include <windows.h>

#include <string>

namespace app {

// Posted to the window that started the check once the server has answered (or failed to).
inline constexpr UINT kVersionAnsweredMessage = WM_APP + 1;

// Starts the detached version-check thread; it posts kVersionAnsweredMessage to `owner` and
// touches no window itself.
void StartVersionCheck(HWND owner);

// The answer the thread left; for the owner's thread, when the message arrives.
std::wstring TakeVersionAnswer();

}  // namespace app
