// Plug-in folders on disk for the utilities page's tests: making them, and telling what is
// left in them.
#pragma once

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <set>
#include <string>

#include "base/unique_handle.h"
#include "support/archive_builder.h"
#include "support/paths.h"

namespace utilities_test {

inline bool Exists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Makes the folder and any missing parents; true when it exists afterwards.
inline bool MakeFolders(const std::wstring& folder) {
  ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
  return Exists(folder);
}

inline bool WriteText(const std::wstring& path, std::string_view text = "x") {
  return testsupport::WriteFileBytes(path, text);
}

// A plug-in as an install leaves it: the marker, and the "Brindo" folder with a few files,
// a sub-folder and a read-only file in it.
inline bool PutPlugin(const std::wstring& pluginFolder) {
  return MakeFolders(pluginFolder + L"\\Brindo\\lib\\icons") &&
         WriteText(pluginFolder + L"\\Brindo.rb", "require 'Brindo/main'") &&
         WriteText(pluginFolder + L"\\Brindo\\main.rb") &&
         WriteText(pluginFolder + L"\\Brindo\\lib\\tools.rb") &&
         WriteText(pluginFolder + L"\\Brindo\\lib\\icons\\tool.png") &&
         ::SetFileAttributesW((pluginFolder + L"\\Brindo\\lib\\tools.rb").c_str(),
                              FILE_ATTRIBUTE_READONLY);
}

// Things that belong to others and must survive any removal of the plug-in.
inline bool PutNeighbours(const std::wstring& pluginFolder) {
  return MakeFolders(pluginFolder + L"\\Brindo2") && MakeFolders(pluginFolder + L"\\Other") &&
         WriteText(pluginFolder + L"\\Brindo2\\keep.rb") &&
         WriteText(pluginFolder + L"\\Other\\keep.rb") &&
         WriteText(pluginFolder + L"\\Brindo.rb.bak") && WriteText(pluginFolder + L"\\other.rb");
}

// Deletes a file or folder tree if it is there; for cleaning up after a test.
inline void DeleteTree(const std::wstring& path) {
  const std::wstring list = path + L'\0';
  SHFILEOPSTRUCTW operation{};
  operation.wFunc = FO_DELETE;
  operation.pFrom = list.c_str();
  operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
  if (Exists(path)) ::SHFileOperationW(&operation);
}

// The names directly inside a folder.
inline std::set<std::wstring> Names(const std::wstring& folder) {
  std::set<std::wstring> names;
  WIN32_FIND_DATAW data;
  base::UniqueFind find(::FindFirstFileW((folder + L"\\*").c_str(), &data));
  if (!find) return names;
  do {
    const std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") names.insert(name);
  } while (::FindNextFileW(find.get(), &data));
  return names;
}

inline const std::set<std::wstring>& NeighbourNames() {
  static const std::set<std::wstring> names{L"Brindo2", L"Other", L"Brindo.rb.bak", L"other.rb"};
  return names;
}

// Opens a file the way a program that keeps it open would: nobody may delete it meanwhile.
inline base::UniqueFile HoldOpen(const std::wstring& path) {
  return base::UniqueFile(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace utilities_test
