// Frames and labels that have no window of their own: the form keeps their records and paints
// them double-buffered: outlines and fills antialiased with GDI+, text with GDI as the native
// controls draw theirs.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string_view>

#include "forms/records.h"

namespace forms {

// A group frame: left-aligned caption, corner radius 3, border width 1, button-shadow border.
ControlInfo* AddFrame(HWND form, ControlSlot* slot, int32_t controlId, std::wstring_view name,
                      std::wstring_view caption, const DesignRect& designRect,
                      std::wstring_view font);

// A label with the given alignment (LabelAlignment) and no border.
ControlInfo* AddLabel(HWND form, ControlSlot* slot, int32_t controlId, std::wstring_view name,
                      std::wstring_view caption, const DesignRect& designRect,
                      std::wstring_view font, uint32_t alignment);

// The windowless control of a form with the given ID, or none.
ControlInfo* FindWindowless(HWND form, int32_t controlId);

// Paints the form's background and its visible windowless controls. `paintOrder` lists control
// IDs; when empty the controls are painted in creation order.
void PaintForm(HWND form, HDC target, std::span<const int32_t> paintOrder);

}  // namespace forms
