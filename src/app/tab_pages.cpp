#include "app/tab_pages.h"

#include <commctrl.h>

#include <string>

#include "forms/create.h"

namespace app {

int AddTab(HWND tabControl, std::wstring_view caption, LPARAM parameter, int imageIndex) {
  if (!tabControl || !::IsWindow(tabControl)) return -1;
  std::wstring text(caption);
  TCITEMW item{};
  item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_PARAM;
  item.pszText = text.data();
  item.iImage = imageIndex;
  item.lParam = parameter;
  const auto count = static_cast<int>(::SendMessageW(tabControl, TCM_GETITEMCOUNT, 0, 0));
  return static_cast<int>(
      ::SendMessageW(tabControl, TCM_INSERTITEMW, count, reinterpret_cast<LPARAM>(&item)));
}

void BindPage(HWND tabControl, int tabIndex, HWND page) {
  forms::ControlInfo* info = forms::InfoOf(tabControl);
  if (!info) return;
  const auto count = static_cast<int>(::SendMessageW(tabControl, TCM_GETITEMCOUNT, 0, 0));
  if (tabIndex < 0 || tabIndex >= count) return;
  if (info->pages.size() <= static_cast<size_t>(tabIndex)) info->pages.resize(tabIndex + 1);
  info->pages[tabIndex] = page;
}

HWND PageOf(HWND tabControl, int tabIndex) {
  forms::ControlInfo* info = forms::InfoOf(tabControl);
  if (!info || tabIndex < 0 || static_cast<size_t>(tabIndex) >= info->pages.size()) return nullptr;
  return info->pages[tabIndex];
}

void FitPages(HWND tabControl) {
  forms::ControlInfo* info = forms::InfoOf(tabControl);
  if (!info || ::SendMessageW(tabControl, TCM_GETITEMCOUNT, 0, 0) <= 0) return;
  RECT area{};
  ::GetWindowRect(tabControl, &area);
  ::SendMessageW(tabControl, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  ::MapWindowPoints(nullptr, tabControl, reinterpret_cast<POINT*>(&area), 2);
  for (HWND page : info->pages) {
    if (!page) continue;
    ::SetWindowPos(page, HWND_TOP, area.left, area.top + 1, area.right - area.left,
                   area.bottom - area.top, 0);
  }
}

}  // namespace app
