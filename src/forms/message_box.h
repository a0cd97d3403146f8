// Message boxes titled with the program's name.
#pragma once

#include <windows.h>

#include <string_view>

namespace forms {

// The program's name: the title of every message box.
inline constexpr wchar_t kProgramTitle[] = L"翎图匠助手";

// Flags pass through unchanged; 0 is an OK button without icon. Returns the button pressed.
int AppMessageBox(HWND owner, std::wstring_view text, UINT flags);
int AppMessageBox(HWND owner, std::wstring_view text, std::wstring_view title, UINT flags);

}  // namespace forms
