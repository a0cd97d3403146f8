#include "app/version_check.h"

#include <mutex>

#include "base/text.h"
#include "net/http_get_text.h"
#include "net/update_urls.h"

namespace app {

namespace {

// The reply is a short version designation; anything longer is no answer, and reading on would
// let whoever answers fill the memory.
constexpr size_t kMaxVersionTextBytes = 4096;

// Handed from the thread to the window's thread. Never destroyed: the thread may still be
// waiting for the server when the program ends.
struct Answer {
  std::mutex mutex;
  std::wstring text;
};
Answer& TheAnswer() {
  static Answer& answer = *new Answer;
  return answer;
}

DWORD WINAPI VersionCheckThread(void* owner) {
  try {
    const std::string reply = net::HttpGetText(net::VersionUrl(), kMaxVersionTextBytes);
    std::wstring text = base::ToWide(reply, base::kChineseCodePage);
    {
      std::lock_guard lock(TheAnswer().mutex);
      TheAnswer().text = std::move(text);
    }
    ::PostMessageW(static_cast<HWND>(owner), kVersionAnsweredMessage, 0, 0);
  } catch (...) {
    // Memory ran out: the panel keeps its empty text, as when the server is down.
  }
  return 0;
}

}  // namespace

void StartVersionCheck(HWND owner) {
  if (HANDLE thread = ::CreateThread(nullptr, 0, VersionCheckThread, owner, 0, nullptr)) {
    ::CloseHandle(thread);  // detached: nobody waits for it
  }
}

std::wstring TakeVersionAnswer() {
  std::lock_guard lock(TheAnswer().mutex);
  return std::move(TheAnswer().text);
}

}  // namespace app
