// Building a form from its layout table: the form window, then each control in design order.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "forms/color_code.h"
#include "forms/create.h"
#include "forms/records.h"
#include "forms/window_proc.h"

namespace forms {

enum class ControlKind {
  kButton,      // push button with a caption
  kIconButton,  // push button showing an icon resource
  kListBox,
  kProgressBar,
  kFrame,      // windowless group frame
  kLabel,      // windowless label
  kNonVisual,  // has a slot and an ID but no window (for example a download control)
};

// One row of a layout table, written with designated initializers; what a row leaves out
// keeps the value given here.
struct ControlSpec {
  ControlKind kind;
  const wchar_t* name;
  int32_t arrayIndex = -1;  // -1 outside a control array
  int32_t id;
  const wchar_t* caption = L"";
  DesignRect rect{};
  DWORD style = kKindDefault;
  DWORD exStyle = kKindDefault;
  const wchar_t* font = L"";
  const wchar_t* toolTip = L"";
  uint32_t labelAlignment = 0;    // labels
  const wchar_t* icon = nullptr;  // icon buttons: the icon resource
  int itemHeight = 0;             // list boxes: line height in design units
  ColorCode textColor = kColorDefault;
  ColorCode backColor = kColorDefault;
  bool disabled = false;
};

struct FormSpec {
  const wchar_t* className;
  const wchar_t* caption;
  int width, height;  // design units
  DWORD style;
  DWORD exStyle;
  std::span<const ControlSpec> controls;  // slot i of the descriptor is row i
  int32_t focusId;                        // the control that has the focus at first
  // The order of the Tab key, when it is not the order of the table: these controls first.
  std::span<const int32_t> tabOrder = {};
};

// The form's record with icons and colours; shared by every form of the program.
ControlInfo* InitFormRecord(HWND window, HWND parent, const wchar_t* name);

// Creates a page form (as a child of `parent`), its controls and records, posts its load
// message with `userValue` and shows it, unless `parent` shows another page already: a parent
// shows one page at a time (the pages of a tab control), and a page built beside the one
// shown is built hidden. It takes no focus: the control the layout names for it
// is the one FocusControlOf gives, for whoever shows the page. Returns the window, or
// 0 when the form window cannot be created. A control that cannot be created is skipped.
HWND CreatePageForm(const FormSpec& layout, FormDescriptor& descriptor, const wchar_t* formName,
                    WNDPROC procedure, WNDPROC subclassProcedure, HWND parent, LPARAM userValue);

// The control a page gives the focus to when it is the page shown: the one it last had, at
// first the layout's focus control. None for a window that is not a form.
HWND FocusControlOf(HWND page);

// The same for a page whose behaviour `Behavior()` returns: its window and control procedures
// are the generic ones driven by that behaviour, its record the behaviour's descriptor.
template <const FormBehavior& (*Behavior)()>
HWND CreatePageForm(const FormSpec& layout, const wchar_t* formName, HWND parent,
                    LPARAM userValue) {
  return CreatePageForm(layout, *Behavior().descriptor, formName, FormProcedure<Behavior>,
                        ControlProcedure<Behavior>, parent, userValue);
}

}  // namespace forms
