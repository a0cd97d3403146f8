// Changing a control after creation. Each does nothing (returns false) when the slot's window
// does not exist or has no record, or when the caller is not the window's thread (owner_thread.h).
#pragma once

#include <string_view>

#include "forms/color_code.h"
#include "forms/records.h"

namespace forms {

// The record a slot names: the windowless control's for a frame or label, else the window's.
ControlInfo* InfoOfSlot(const ControlSlot& slot);

bool SetControlFont(const ControlSlot& slot, std::wstring_view fontSpec);
bool SetForeColor(const ControlSlot& slot, ColorCode color);
bool SetBackColor(const ControlSlot& slot, ColorCode color);
// Stores the text and shows it as the control's tooltip; the empty text removes the tooltip.
// A text with "\r\n" gets the part before it as the tooltip's title. The tooltip
// windows of the control's top-level form hold the tips of all its controls (tool_tips.h).
bool SetToolTip(const ControlSlot& slot, std::wstring_view text);
// Shows the tips of a form's controls whose text was stored without showing it.
void MakePendingToolTips(HWND form);
// Sets a control's caption: the window text of a real control, or the stored caption of a
// frame or label, which the form then repaints (with the next turn of its message loop).
bool SetCaption(const ControlSlot& slot, std::wstring_view text);
std::wstring CaptionOf(const ControlSlot& slot);
bool EnableControl(const ControlSlot& slot, bool enabled);

}  // namespace forms
