#include "environment/plugin_folders.h"

#include <windows.h>

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

std::wstring SharedPluginFolder(const std::wstring& version) {
  return ReadEnvironmentVariable(L"ALLUSERSPROFILE") + L"\\SketchUp\\" + version +
         L"\\SketchUp\\Plugins";
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
  const std::wstring marker = std::wstring(L"\\") + kPluginMarkerName;
  const bool inUserFolder = FileExists(GetPluginFolder(version, kUserPluginFolder) + marker);
  const bool inSharedFolder = FileExists(GetPluginFolder(version, kSharedPluginFolder) + marker);
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
