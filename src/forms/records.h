// The records of forms and controls that the event routing and the pages consult.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/unique_handle.h"
#include "forms/color_code.h"

namespace forms {

// A designed control as the pages address it: its window (for a windowless control, the
// form's window) and its control ID.
struct ControlSlot {
  HWND window = nullptr;
  int32_t id = 0;
};

// One program-wide record per designed form.
struct FormDescriptor {
  uint8_t allowSecondWindow = 0;   // 0 for every form of this program
  HWND window = nullptr;           // 0 while the form does not exist
  std::vector<ControlSlot> slots;  // one per designed control, in design order
};

// A control's place on its form in design units (pixels at 96 DPI): the layout tables' and the
// records' rectangle. Scaled to pixels where a window or a picture needs them (scaling.h).
struct DesignRect {
  int x = 0, y = 0, width = 0, height = 0;
};

// Label text alignments (flags bits 16-23 of a label).
enum LabelAlignment : uint32_t {
  kTopLeft = 0,  // 0-2 wrap words
  kTopCentre = 1,
  kTopRight = 2,
  kMiddleLeft = 3,  // 3-8 single line
  kMiddleCentre = 4,
  kMiddleRight = 5,
  kBottomLeft = 6,
  kBottomCentre = 7,
  kBottomRight = 8,
};

// Flags word of a ControlInfo. Bits 12 and up mean one thing for a frame and another for a
// label: each field has its encoder and, beside it, its decoder.
namespace flags {
inline constexpr uint32_t kEnabled = 1u << 0;
inline constexpr uint32_t kVisible = 1u << 1;
inline constexpr uint32_t kLabelPrefix = 1u << 2;
inline constexpr uint32_t kLabelWordEllipsis = 1u << 3;

// Frames: border width (bits 12-15), corner radius (16-23), caption alignment (24-31); pixels.
inline constexpr uint32_t FrameBorderWidth(uint32_t px) {
  return (px & 0xF) << 12;
}
inline constexpr uint32_t FrameBorderWidthOf(uint32_t flagBits) {
  return (flagBits >> 12) & 0xF;
}
inline constexpr uint32_t CornerRadius(uint32_t px) {
  return (px & 0xFF) << 16;
}
inline constexpr uint32_t FrameCornerRadius(uint32_t flagBits) {
  return (flagBits >> 16) & 0xFF;
}
inline constexpr uint32_t CaptionAlign(uint32_t a) {
  return (a & 0xFF) << 24;
}
inline constexpr uint32_t CaptionAlignmentOf(uint32_t flagBits) {
  return (flagBits >> 24) & 0xFF;
}

// Labels: text alignment (bits 16-23, a LabelAlignment) and a border (bits 24-31: 1 draws one).
inline constexpr uint32_t LabelAlign(uint32_t a) {
  return (a & 0xFF) << 16;
}
inline constexpr uint32_t LabelAlignmentOf(uint32_t flagBits) {
  return (flagBits >> 16) & 0xFF;
}
inline constexpr uint32_t LabelBorder() {
  return 1u << 24;
}
inline constexpr bool HasLabelBorder(uint32_t flagBits) {
  return ((flagBits >> 24) & 0xFF) == 1;
}
}  // namespace flags

enum class WindowlessKind { kNone, kFrame, kLabel };

// A tooltip window of a form: it shows the tips of the controls inside the form that have its
// look (balloon or not, and the title above the text).
struct ToolTipWindow {
  bool balloon = false;
  std::wstring title;
  base::UniqueWindow window;
};

// One per form window, control window and windowless control. Owns the GDI and USER objects
// made for it; they go when the record goes.
struct ControlInfo {
  bool isForm = false;  // the record of a form window (its window keeps a FormObject)
  HWND parent = nullptr;
  std::wstring name;
  int32_t arrayIndex = -1;
  int32_t controlId = 0;
  HWND lastFocused = nullptr;           // forms only
  WNDPROC previousProcedure = nullptr;  // subclassed controls: a copy of their "OLDWNDPROC"
  std::wstring caption;
  ColorCode borderColor = kColorButtonShadow;
  uint32_t flagBits = 0;
  int32_t transparencyPercent = 0;
  ColorCode transparentKey = kColorDefault;
  int32_t cursorKind = 0;
  ColorCode textColor = kColorDefault;
  ColorCode backColor = kColorDefault;
  base::UniqueBrush brush;
  std::wstring fontSpec;
  std::wstring toolTipText;
  bool balloonToolTip = false;
  HWND toolTip = nullptr;  // the tooltip window that holds the control's tip (tool_tips.h)
  // A form's tooltip windows, one for each look the tips inside it have (tool_tips.h).
  std::vector<ToolTipWindow> toolTipWindows;
  base::UniqueHandle<base::IconTraits> cursor;  // custom cursors are icons underneath
  DesignRect designRect;
  // What else is made again from design values when the form's DPI changes: a list box's line
  // height (design units) and an icon button's icon (resource name) with the icon it shows.
  int32_t itemHeight = 0;
  const wchar_t* iconName = nullptr;
  base::UniqueIcon icon;
  // The name a screen reader reads for the control when its window text does not give one
  // (set on first request); empty until then.
  std::wstring accessibleName;
  int32_t anchorMode = 0;
  WindowlessKind windowless = WindowlessKind::kNone;
  // A form's windowless controls, in creation order.
  std::vector<std::unique_ptr<ControlInfo>> windowlessControls;
  // A tab control's page windows, by tab index (none where nothing is bound).
  std::vector<HWND> pages;
  // A status bar's panel widths (design units; 0 takes an equal share of the rest) and the
  // icons set on its panels.
  std::vector<int32_t> panelWidths;
  std::vector<HICON> panelIcons;

  bool Enabled() const { return (flagBits & flags::kEnabled) != 0; }
  bool Visible() const { return (flagBits & flags::kVisible) != 0; }
};

}  // namespace forms
