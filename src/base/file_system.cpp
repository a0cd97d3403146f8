#include "base/file_system.h"

#include <string_view>

namespace base {

namespace {

bool IsSeparator(wchar_t c) {
  return c == L'\\' || c == L'/';
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

std::wstring FullPath(const std::wstring& path) {
  std::wstring full(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return {};
    if (length < full.size()) {
      full.resize(length);
      return full;
    }
    full.resize(length);  // too small: `length` includes room for the zero
  }
}

std::wstring ExtendedLengthPath(const std::wstring& path) {
  constexpr std::wstring_view kPrefix = L"\\\\?\\";
  if (path.empty()) return {};
  if (std::wstring_view(path).substr(0, kPrefix.size()) == kPrefix) return path;
  std::wstring full = FullPath(path);
  if (full.empty()) return {};
  while (full.size() > 3 && full.back() == L'\\') full.pop_back();
  if (full.size() >= 2 && full[0] == L'\\' && full[1] == L'\\') {
    return std::wstring(kPrefix) + L"UNC" +
           full.substr(1);  // \\server\share -> \\?\UNC\server\share
  }
  return std::wstring(kPrefix) + full;
}

bool IsFolder(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsFolder(const std::wstring& path) {
  return IsFolder(::GetFileAttributesW(path.c_str()));
}

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

bool DeleteTree(const std::wstring& path) {
  // Carries on past an item that will not go; removing the folder itself tells the outcome.
  const bool listed = ForEachItem(path, [&](const std::wstring& name, DWORD attributes) {
    const std::wstring item = path + L"\\" + name;
    if (attributes & FILE_ATTRIBUTE_READONLY) {
      ::SetFileAttributesW(item.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    if (!IsFolder(attributes)) {
      ::DeleteFileW(item.c_str());
    } else if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
      ::RemoveDirectoryW(item.c_str());
    } else {
      DeleteTree(item);
    }
    return true;
  });
  return ::RemoveDirectoryW(path.c_str()) && listed;
}

}  // namespace base
