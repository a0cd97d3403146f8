#include "app/tab_pages.h"

#include <commctrl.h>

#include <string>

#include "forms/create.h"
#include "forms/scaling.h"

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

void StepTab(HWND tabControl, int steps) {
  const auto count = static_cast<int>(::SendMessageW(tabControl, TCM_GETITEMCOUNT, 0, 0));
  if (count <= 0) return;
  const auto current = static_cast<int>(::SendMessageW(tabControl, TCM_GETCURSEL, 0, 0));
  const int next = ((current + steps) % count + count) % count;
  // Moving the control's focus to a tab selects it as the arrow keys and a click do.
  ::SendMessageW(tabControl, TCM_SETCURFOCUS, static_cast<WPARAM>(next), 0);
}

void ScaleTabs(HWND tabControl, int dpi) {
  // Tabs carry no images, but the control owns an (empty) image list all the same.
  HIMAGELIST images = ImageList_Create(forms::ScaleAt(16, dpi), forms::ScaleAt(16, dpi),
                                       ILC_COLOR32 | ILC_MASK, 2, 10);
  auto old = reinterpret_cast<HIMAGELIST>(
      ::SendMessageW(tabControl, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images)));
  if (old) ImageList_Destroy(old);
  ::SendMessageW(tabControl, TCM_SETITEMSIZE, 0,
                 MAKELPARAM(forms::ScaleAt(80, dpi), forms::ScaleAt(22, dpi)));
  ::SendMessageW(tabControl, TCM_SETPADDING, 0,
                 MAKELPARAM(forms::ScaleAt(4, dpi), forms::ScaleAt(4, dpi)));
}

void ReleaseTabs(HWND tabControl) {
  auto images = reinterpret_cast<HIMAGELIST>(::SendMessageW(tabControl, TCM_SETIMAGELIST, 0, 0));
  if (images) ImageList_Destroy(images);
}

}  // namespace app
