#include "environment/plugin_folders.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <cwctype>
#include <memory>

#include "environment/file_exists.h"
#include "environment/login_user.h"

namespace environment {

namespace {

// The process environment block, read now: variables the program (or a test) sets at run time
// are seen by the very next call. Unset or empty gives the empty text.
std::wstring ReadEnvironmentVariable(const wchar_t* name) {
  std::wstring value(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    if (length == 0) return {};
    if (length < value.size()) {
      value.resize(length);
      return value;
    }
    value.resize(length);  // too small: `length` includes room for the zero
  }
}

std::wstring UserPluginFolder(const std::wstring& version) {
  return ReadEnvironmentVariable(L"USERPROFILE") + L"\\AppData\\Roaming\\SketchUp\\" + version +
         L"\\SketchUp\\Plugins";
}

// "C:\..." or "\\server\share\...": a path that means the same from any current folder or drive.
bool IsAbsolutePath(const std::wstring& path) {
  const auto separator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
  if (path.size() >= 3 && std::iswalpha(path[0]) && path[1] == L':' && separator(path[2])) {
    return true;
  }
  return path.size() >= 3 && separator(path[0]) && separator(path[1]) && !separator(path[2]);
}

// The folder shared by all users. A deployment tool may start the program without
// %ALLUSERSPROFILE%, or with something other than a full path in it: the system's own answer
// then, never a folder relative to whatever drive is current. Empty when neither is to be had.
std::wstring AllUsersFolder() {
  std::wstring folder = ReadEnvironmentVariable(L"ALLUSERSPROFILE");
  if (IsAbsolutePath(folder)) return folder;
  PWSTR known = nullptr;
  const HRESULT result = ::SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, &known);
  const std::unique_ptr<wchar_t, decltype(&::CoTaskMemFree)> owner(known, &::CoTaskMemFree);
  if (FAILED(result) || !known || !IsAbsolutePath(known)) return {};
  return known;
}

std::wstring SharedPluginFolder(const std::wstring& version) {
  const std::wstring allUsers = AllUsersFolder();
  if (allUsers.empty()) return {};
  return allUsers + L"\\SketchUp\\" + version + L"\\SketchUp\\Plugins";
}

}  // namespace

std::wstring GetUserConfigFolder(const std::wstring& version) {
  return ReadEnvironmentVariable(L"USERPROFILE") + L"\\AppData\\Local\\SketchUp\\" + version +
         L"\\SketchUp";
}

std::wstring GetSystemConfigFolder(const std::wstring& version) {
  return ReadEnvironmentVariable(L"APPDATA") + L"\\SketchUp\\" + version + L"\\SketchUp";
}

std::wstring GetPluginFolder(const std::wstring& version, int selector) {
  std::wstring userFolder = UserPluginFolder(version);
  std::wstring sharedFolder = SharedPluginFolder(version);
  switch (selector) {
    case kAutomaticFolder:
      return ContainsChinese(GetLoginUserName()) ? sharedFolder : userFolder;
    case kUserPluginFolder:
      return userFolder;
    case kSharedPluginFolder:
      return sharedFolder;
    default:
      return {};
  }
}

bool IsPluginInstalled(const std::wstring& version, int selector) {
  const auto holdsMarker = [&version](int folder) {
    const std::wstring path = GetPluginFolder(version, folder);
    return !path.empty() && FileExists(path + L"\\" + kPluginMarkerName);
  };
  const bool inUserFolder = holdsMarker(kUserPluginFolder);
  const bool inSharedFolder = holdsMarker(kSharedPluginFolder);
  switch (selector) {
    case kAutomaticFolder:
      return inUserFolder || inSharedFolder;
    case kUserPluginFolder:
      return inUserFolder;
    case kSharedPluginFolder:
      return inSharedFolder;
    default:
      return false;
  }
}

}  // namespace environment
