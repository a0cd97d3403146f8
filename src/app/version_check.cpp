#include "app/version_check.h"

#include "app/status_bar.h"
#include "base/text.h"
#include "net/http_get_text.h"
#include "net/update_urls.h"

namespace app {

namespace {

struct Target {
  HWND statusBar;
  int panel;
};
Target target{};

DWORD WINAPI VersionCheckThread(void*) {
  const std::string reply = net::HttpGetText(net::VersionUrl(), "", "", "");
  SetPanelText(target.statusBar, target.panel, base::ToWide(reply, base::kChineseCodePage));
  return 0;
}

}  // namespace

void StartVersionCheck(HWND statusBar, int panel) {
  target = {statusBar, panel};
  if (HANDLE thread = ::CreateThread(nullptr, 0, VersionCheckThread, nullptr, 0, nullptr)) {
    ::CloseHandle(thread);  // detached: nobody waits for it
  }
}

}  // namespace app
