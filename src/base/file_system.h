// The file-system operations the program shares: full and long paths, the folder test, walking
// a folder and making folders with their parents.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "base/unique_handle.h"

namespace base {

// The absolute form of `path`, as the file system resolves it now; empty when it cannot.
std::wstring FullPath(const std::wstring& path);

// The absolute, long-path ("\\?\") form of `path`, so that deep paths are not cut off at
// MAX_PATH; no trailing separator except at a root. Empty when the path cannot be resolved.
std::wstring ExtendedLengthPath(const std::wstring& path);

bool IsFolder(DWORD attributes);
bool IsFolder(const std::wstring& path);

// Calls `visit(name, attributes)` for each item of `folder` ("." and ".." left out) until it
// returns false. False when the listing failed or a visit said stop; an empty or missing
// listing is no failure.
template <typename Visit>
bool ForEachItem(const std::wstring& folder, Visit visit) {
  WIN32_FIND_DATAW data;
  UniqueFind find(::FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
  if (!find) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
  do {
    const std::wstring_view name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    if (!visit(std::wstring(name), data.dwFileAttributes)) return false;
  } while (::FindNextFileW(find.get(), &data));
  return ::GetLastError() == ERROR_NO_MORE_FILES;
}

// Creates the folder at `path` together with every missing parent ("\" or "/" separated).
// True when a folder exists there afterwards; false when a file is in the way, a folder cannot
// be made, or the climb reaches a root (a drive or share) that is not there.
// `made`, when given, receives every folder made here, outermost first.
bool CreateFolderWithParents(const std::wstring& path, std::vector<std::wstring>* made = nullptr);

// Removes the folders `made` by CreateFolderWithParents again, innermost first, as far as they
// are empty.
void RemoveMadeFolders(const std::vector<std::wstring>& made);

// Deletes a folder with everything inside it; links inside are removed, never followed.
bool DeleteTree(const std::wstring& path);

}  // namespace base
