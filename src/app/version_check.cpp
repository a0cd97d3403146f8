#include "app/version_check.h"

#include <memory>
#include <new>

#include "base/text.h"
#include "forms/post.h"
#include "net/http_get_text.h"
#include "net/update_urls.h"

namespace app {

namespace {

// The reply is a short version designation; anything longer is no answer, and reading on would
// let whoever answers fill the memory.
constexpr size_t kMaxVersionTextBytes = 4096;

struct Check {
  HWND owner;
  void (*show)(const std::wstring& answer);
};

DWORD WINAPI VersionCheckThread(void* parameter) {
  const std::unique_ptr<Check> check(static_cast<Check*>(parameter));
  try {
    const std::string reply = net::HttpGetText(net::VersionUrl(), kMaxVersionTextBytes);
    forms::Post(check->owner, [show = check->show,
                               text = base::ToWide(reply, base::kChineseCodePage)] { show(text); });
  } catch (...) {
    // Memory ran out: the panel keeps its empty text, as when the server is down.
  }
  return 0;
}

}  // namespace

void StartVersionCheck(HWND owner, void (*show)(const std::wstring& answer)) noexcept {
  auto check = std::unique_ptr<Check>(new (std::nothrow) Check{owner, show});
  if (!check) return;
  if (HANDLE thread = ::CreateThread(nullptr, 0, VersionCheckThread, check.get(), 0, nullptr)) {
    check.release();        // the thread's now
    ::CloseHandle(thread);  // detached: nobody waits for it
  }
}

}  // namespace app
