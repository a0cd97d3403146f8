// Asks the update server for the latest plug-in version once per run and shows the answer,
// verbatim, in a status-bar panel. The window stays usable while the server answers. A reply
// over 4 KiB is no version: the panel stays empty, as when the server is down.
#pragma once

#include <windows.h>

#include <string>

namespace app {

// Starts the detached version-check thread. Once the server has answered (or failed to: the
// answer is empty then), the thread posts `show` with the answer to the thread that owns
// `owner` (forms/post.h); it touches no window itself.
void StartVersionCheck(HWND owner, void (*show)(const std::wstring& answer)) noexcept;

}  // namespace app
