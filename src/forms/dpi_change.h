// Following the DPI of the monitor a form is on. Everything a form shows is made again from its
// design values when the DPI changes, exactly as a start at that DPI makes it: rectangles,
// fonts, list line heights and icons. What belonged to the old DPI is freed.
#pragma once

#include <windows.h>

#include "forms/records.h"

namespace forms {

// Loads the icon button's icon (its record's resource) at 32 design units for `dpi` and shows
// it; the icon shown before is destroyed.
void ShowIconAt(HWND button, ControlInfo& info, int dpi);

// One form takes `dpi`: its default font, its size when it is inside another form, and the
// rectangle, font, line height and icon of each of its controls. The forms inside it are left
// to their own handling (messages::kFollowDpi). Nothing happens when the form is at that DPI.
void RescaleForm(HWND form, int dpi);

}  // namespace forms
