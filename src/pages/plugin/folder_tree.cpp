#include "pages/plugin/folder_tree.h"

#include <windows.h>

namespace plugin_page {

namespace {

bool IsSeparator(wchar_t c) {
  return c == L'\\' || c == L'/';
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// `path` without its last component and the separators before it; empty at a root.
std::wstring ParentOf(const std::wstring& path) {
  size_t end = path.size();
  while (end > 0 && IsSeparator(path[end - 1])) --end;
  while (end > 0 && !IsSeparator(path[end - 1])) --end;
  while (end > 0 && IsSeparator(path[end - 1])) --end;
  return path.substr(0, end);
}

}  // namespace

bool CreateFolderWithParents(const std::wstring& path, std::vector<std::wstring>* made) {
  auto madeHere = [&] {
    if (made) made->push_back(path);
    return true;
  };
  if (path.empty()) return false;
  if (::CreateDirectoryW(path.c_str(), nullptr)) return madeHere();
  const DWORD error = ::GetLastError();
  if (error == ERROR_ALREADY_EXISTS) return IsFolder(path);
  if (error != ERROR_PATH_NOT_FOUND) return IsFolder(path);  // a root, or no right to make it
  const std::wstring parent = ParentOf(path);
  // Reaching a missing root (a drive that is not there) ends the climb.
  if (parent.empty() || parent.size() >= path.size() || !CreateFolderWithParents(parent, made)) {
    return false;
  }
  if (::CreateDirectoryW(path.c_str(), nullptr)) return madeHere();
  return IsFolder(path);
}

void RemoveMadeFolders(const std::vector<std::wstring>& made) {
  for (auto folder = made.rbegin(); folder != made.rend(); ++folder) {
    ::RemoveDirectoryW(folder->c_str());
  }
}

}  // namespace plugin_page
