#include "forms/page_form.h"

#include <commctrl.h>

#include "forms/control_props.h"
#include "forms/dpi_change.h"
#include "forms/form_object.h"
#include "forms/handle_map.h"
#include "forms/list_box.h"
#include "forms/owner_thread.h"
#include "forms/private_messages.h"
#include "forms/scaling.h"
#include "forms/show.h"
#include "forms/windowless.h"

namespace forms {

namespace {

const wchar_t* KindKeyword(ControlKind kind) {
  switch (kind) {
    case ControlKind::kButton:
    case ControlKind::kIconButton:
      return L"BUTTON";
    case ControlKind::kListBox:
      return L"LISTBOX";
    case ControlKind::kProgressBar:
      return L"PROGRESSBAR";
    default:
      return nullptr;
  }
}

void CreateControl(const ControlSpec& row, FormObject* form, HWND window, ControlSlot& slot,
                   WNDPROC subclassProcedure) {
  if (row.kind == ControlKind::kFrame) {
    AddFrame(window, &slot, row.id, row.name, row.caption, row.rect, row.font);
    return;
  }
  if (row.kind == ControlKind::kLabel) {
    AddLabel(window, &slot, row.id, row.name, row.caption, row.rect, row.font, row.labelAlignment);
    return;
  }
  if (row.kind == ControlKind::kNonVisual) {
    slot = {window, row.id};
    return;
  }
  HWND control =
      CreateControlWindow(form, KindKeyword(row.kind), window, row.id, row.caption, row.rect.x,
                          row.rect.y, row.rect.width, row.rect.height, row.style, row.exStyle,
                          nullptr, subclassProcedure, kReplaceProcedure, 0);
  if (!control) return;
  ControlInfo* info =
      AttachControlInfo(control, window, row.name, row.arrayIndex, row.id, row.caption, &slot);
  if (row.font && *row.font) SetControlFont(slot, row.font);
  info->designRect = row.rect;
  if (row.kind == ControlKind::kIconButton && row.icon) {
    info->iconName = row.icon;
    ShowIconAt(control, *info, form->dpi);
  }
  if (row.kind == ControlKind::kListBox && row.itemHeight > 0) {
    info->itemHeight = row.itemHeight;
    list_box::SetItemHeight(slot, ScaleAt(row.itemHeight, form->dpi));
  }
  info->textColor = row.textColor;
  info->backColor = row.backColor;
  // The tips are shown from a tooltip window (tool_tips.h), a top-level window that costs more
  // than a control. It is made right after the page's load, once the window has been painted
  // (messages::kMakeToolTips): long before a pointer can rest on a control for a tip.
  if (row.toolTip) info->toolTipText = row.toolTip;
  if (row.disabled) EnableControl(slot, false);
}

// Puts the controls named in `tabOrder` first in the window order, in that order: the order the
// Tab key and the arrow keys follow. Nothing is drawn differently (no two controls overlap).
void ApplyTabOrder(const FormSpec& layout, const FormDescriptor& descriptor) {
  HWND previous = HWND_TOP;
  for (int32_t id : layout.tabOrder) {
    for (const ControlSlot& slot : descriptor.slots) {
      if (slot.id != id || !slot.window || slot.window == descriptor.window) continue;
      ::SetWindowPos(slot.window, previous, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
      previous = slot.window;
      break;
    }
  }
}

// True when a page form of `parent` other than `page` is shown: a parent shows one page at a
// time (the pages of a tab control).
bool ShowsAPage(HWND parent, HWND page) {
  if (!parent) return false;
  for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (child == page || !(::GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE)) continue;
    const ControlInfo* info = InfoOf(child);
    if (info && info->isForm) return true;
  }
  return false;
}

}  // namespace

ControlInfo* InitFormRecord(HWND window, HWND parent, const wchar_t* name) {
  if (!window || !OnOwnerThread(window)) return nullptr;
  auto* info = new ControlInfo();  // freed by the form's WM_DESTROY
  info->isForm = true;
  handle_map::Set(window, info);
  info->parent = parent;
  info->name = name;
  info->flagBits = flags::kEnabled | flags::kVisible;
  ::SetClassLongPtrW(window, GCL_STYLE, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS);
  info->transparentKey = kColorDefault;
  info->transparencyPercent = 0;
  info->cursorKind = 0;
  info->backColor = kColorButtonFace;
  info->brush.reset(::CreateSolidBrush(ResolveColor(info->backColor, 0)));
  ::SetClassLongPtrW(window, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(info->brush.get()));
  return info;
}

HWND FocusControlOf(HWND page) {
  ControlInfo* info = InfoOf(page);
  return info && info->isForm ? info->lastFocused : nullptr;
}

HWND CreatePageForm(const FormSpec& layout, FormDescriptor& descriptor, const wchar_t* formName,
                    WNDPROC procedure, WNDPROC subclassProcedure, HWND parent, LPARAM userValue) {
  if (!OnOwnerThread(parent)) return nullptr;
  if (descriptor.allowSecondWindow == 0 && descriptor.window && ::IsWindow(descriptor.window)) {
    ActivateExistingForm(descriptor);
    return descriptor.window;
  }
  auto* form = new FormObject(layout.className);
  HWND window = CreateFormWindow(form, parent, layout.caption, procedure, 0, 0, layout.width,
                                 layout.height, layout.style, layout.exStyle);
  if (!window) return nullptr;
  descriptor.window = window;
  ControlInfo* formInfo = InitFormRecord(window, parent, formName);
  formInfo->designRect = {0, 0, layout.width, layout.height};
  descriptor.slots.assign(layout.controls.size(), ControlSlot{});
  for (size_t i = 0; i < layout.controls.size(); ++i) {
    CreateControl(layout.controls[i], form, window, descriptor.slots[i], subclassProcedure);
  }
  ApplyTabOrder(layout, descriptor);
  // The load comes first: whoever waits for the page to be ready waits for its load.
  ::PostMessageW(window, messages::kLoad, messages::kLoadTag, userValue);
  ::PostMessageW(window, messages::kMakeToolTips, 0, 0);
  // A page never takes the focus while it is built (it may be built hidden): it names the
  // control that has it when the page is the one shown (FocusControlOf).
  for (const auto& slot : descriptor.slots) {
    if (slot.id == layout.focusId && slot.window && slot.window != window) {
      formInfo->lastFocused = slot.window;
      break;
    }
  }
  if (!ShowsAPage(parent, window)) ShowFormWindow(window, 0, parent, SW_SHOWNORMAL);
  return window;
}

}  // namespace forms
