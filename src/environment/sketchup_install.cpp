#include "environment/sketchup_install.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>

#include "base/unique_handle.h"
#include "environment/file_exists.h"

namespace environment {

namespace {

constexpr wchar_t kSketchUpKey[] = L"SOFTWARE\\SketchUp";
constexpr DWORD kVersionNameChars = 256;    // registry key names have at most 255 characters
constexpr DWORD kInstallFolderChars = 260;  // a folder of up to 259 characters plus the zero

}  // namespace

std::vector<std::wstring> ReadSketchUpVersions() {
  std::vector<std::wstring> versions;
  base::UniqueRegKey root;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSketchUpKey, 0, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS,
                      root.put()) != ERROR_SUCCESS) {
    return versions;
  }
  wchar_t name[kVersionNameChars];
  for (DWORD index = 0;; ++index) {
    DWORD length = kVersionNameChars;
    if (::RegEnumKeyExW(root.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    std::wstring version(name, length);
    if (version.find(L"SketchUp") == std::wstring::npos) continue;
    if (!FileExists(GetInstallLocation(version, false))) continue;
    versions.push_back(std::move(version));
  }
  return versions;
}

std::vector<std::wstring> ReadSketchUpVersionsInListOrder() {
  std::vector<std::wstring> versions = ReadSketchUpVersions();
  std::sort(versions.begin(), versions.end(), [](const std::wstring& a, const std::wstring& b) {
    return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(),
                            static_cast<int>(a.size()), b.c_str(),
                            static_cast<int>(b.size())) == CSTR_LESS_THAN;
  });
  return versions;
}

std::wstring GetInstallLocation(const std::wstring& version, bool programFile) {
  const std::wstring path = std::wstring(kSketchUpKey) + L"\\" + version + L"\\InstallLocation";
  base::UniqueRegKey key;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE, key.put()) !=
      ERROR_SUCCESS) {
    return {};
  }
  // One character more than announced stays zero, so the text always ends even when the
  // stored value carries no terminator of its own.
  wchar_t folder[kInstallFolderChars + 1] = {};
  DWORD bytes = kInstallFolderChars * sizeof(wchar_t);
  if (::RegQueryValueExW(key.get(), nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(folder),
                         &bytes) != ERROR_SUCCESS) {
    return {};
  }
  const size_t length = ::wcsnlen(folder, kInstallFolderChars);
  if (length == kInstallFolderChars) return {};  // 260 characters and no room left for the zero
  std::wstring result(folder, length);
  if (programFile) result += L"SketchUp.exe";
  return result;
}

int VersionYear(std::wstring_view entry) {
  std::wstring_view text = entry.size() > 4 ? entry.substr(entry.size() - 4) : entry;
  size_t i = 0;
  while (i < text.size() && std::iswspace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
  int value = 0;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i)
    value = value * 10 + (text[i] - L'0');
  return negative ? -value : value;
}

}  // namespace environment
