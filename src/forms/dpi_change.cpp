#include "forms/dpi_change.h"

#include "forms/control_props.h"
#include "forms/create.h"
#include "forms/form_object.h"
#include "forms/list_box.h"
#include "forms/owner_thread.h"
#include "forms/scaling.h"

namespace forms {

namespace {

// Icons are drawn at 32 x 32 design units.
constexpr int kIconSize = 32;

void MoveToDesignRect(HWND control, const DesignRect& design, int dpi) {
  if (design.width <= 0 || design.height <= 0) return;  // a control that places itself
  ::SetWindowPos(control, nullptr, ScaleAt(design.x, dpi), ScaleAt(design.y, dpi),
                 ScaleAt(design.width, dpi), ScaleAt(design.height, dpi),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void RescaleControl(HWND control, ControlInfo& info, int dpi, HFONT oldDefaultFont,
                    HFONT newDefaultFont) {
  MoveToDesignRect(control, info.designRect, dpi);
  const ControlSlot slot{control, info.controlId};
  if (!info.fontSpec.empty()) {
    SetControlFont(slot, info.fontSpec);
  } else if (oldDefaultFont && ::SendMessageW(control, WM_GETFONT, 0, 0) ==
                                   reinterpret_cast<LRESULT>(oldDefaultFont)) {
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(newDefaultFont), TRUE);
  }
  if (info.itemHeight > 0) list_box::SetItemHeight(slot, ScaleAt(info.itemHeight, dpi));
  if (info.iconName) ShowIconAt(control, info, dpi);
}

}  // namespace

void ShowIconAt(HWND button, ControlInfo& info, int dpi) {
  if (!info.iconName || !OnOwnerThread(button)) return;
  const int size = ScaleAt(kIconSize, dpi);
  auto icon = static_cast<HICON>(
      ::LoadImageW(::GetModuleHandleW(nullptr), info.iconName, IMAGE_ICON, size, size, 0));
  ::SendMessageW(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
  info.icon.reset(icon);  // the button shows the new one now; the old one goes
}

void RescaleForm(HWND form, int dpi) {
  FormObject* object = FormObjectOf(form);
  ControlInfo* formInfo = InfoOf(form);
  if (!object || !formInfo || object->dpi == dpi) return;
  // The old DPI's fonts and the old default font stay until every control has new ones.
  const FormObject::PreviousDpi previous = object->ChangeDpi(dpi);
  object->ApplyDefaultFont();
  if (::GetWindowLongW(form, GWL_STYLE) & WS_CHILD) {
    const DesignRect& design = formInfo->designRect;
    if (design.width > 0 && design.height > 0) {
      ::SetWindowPos(form, nullptr, 0, 0, ScaleAt(design.width, dpi), ScaleAt(design.height, dpi),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  for (HWND child = ::GetWindow(form, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    ControlInfo* info = InfoOf(child);
    if (!info || info->isForm) continue;  // a form inside follows by itself
    RescaleControl(child, *info, dpi, previous.defaultFont.get(), object->defaultFont.get());
  }
  ::InvalidateRect(form, nullptr, TRUE);  // the windowless controls are drawn at the new DPI
}

}  // namespace forms
