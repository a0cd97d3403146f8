// Message boxes titled with the program's name.
#pragma once

#include <windows.h>

#include <string_view>

namespace forms {

// Titled with the program's name (see program_names.h). Flags pass through unchanged; 0 is an OK
// button without icon. Returns the button pressed; 0 when `owner` belongs to another thread.
int AppMessageBox(HWND owner, std::wstring_view text, UINT flags);
int AppMessageBox(HWND owner, std::wstring_view text, std::wstring_view title, UINT flags);

}  // namespace forms
