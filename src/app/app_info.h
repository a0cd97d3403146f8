// What the program knows about itself.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace app {

// The program's name (message box titles, the single-instance guard) and its icon resource.
inline constexpr wchar_t kProgramTitle[] = L"翎图匠助手";
inline constexpr wchar_t kProgramIcon[] = L"AAAAA_APPICON";

struct AppInfo {
  std::wstring ExeName;
  std::wstring FileDescription;
  HINSTANCE Instance = nullptr;
  std::wstring Path;  // folder of the program, with its trailing separator
  std::wstring ProductName;
  std::array<uint32_t, 4> FileVersion{};
  std::array<uint32_t, 4> ProductVersion{};
};

AppInfo& TheAppInfo();
void FillAppInfo();

// Splits a module path after its last ":", "/" or "\" into folder (separator included) and
// file name; without a separator the folder is empty.
void SplitModulePath(std::wstring_view fullPath, std::wstring& folder, std::wstring& fileName);

}  // namespace app
