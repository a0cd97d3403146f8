#include "install/plugin_removal.h"

#include <string_view>

#include "base/file_system.h"
#include "environment/file_exists.h"
#include "environment/plugin_folders.h"
#include "environment/sketchup_process.h"

namespace install {

namespace {

constexpr FILEOP_FLAGS kDeleteFlags = FOF_SILENT | FOF_NOCONFIRMATION;

// "X:\..." or "\\server\share\..." (no device or long-path prefix): the shell resolves anything
// else against the current folder, which need not be where the marker was found.
bool IsFullyQualified(std::wstring_view path) {
  if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') return true;
  return path.size() >= 3 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'?' &&
         path[2] != L'.';
}

// Takes every link (reparse point) out of a tree: the link itself, never what it points to.
// The shell's folder deletion may follow a link and empty a folder outside the tree. False
// when a link could not be removed.
bool RemoveLinksIn(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return true;
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? ::RemoveDirectoryW(path.c_str())
                                                   : ::DeleteFileW(path.c_str());
  }
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
  bool removed = true;
  base::ForEachItem(path, [&](const std::wstring& name, DWORD) {
    removed = RemoveLinksIn(path + L"\\" + name) && removed;
    return true;
  });
  return removed;
}

}  // namespace

bool ShellDeletePath(const std::wstring& path, FILEOP_FLAGS flags) {
  if (!IsFullyQualified(path)) return false;
  if (path.find_first_of(std::wstring_view(L"*?\0", 3)) != std::wstring::npos) return false;

  // The shell takes a list of paths, each ending in a zero, the list in one more.
  std::wstring list = path;
  list.push_back(L'\0');
  SHFILEOPSTRUCTW operation{};
  operation.wFunc = FO_DELETE;
  operation.pFrom = list.c_str();
  operation.fFlags = flags;
  return ::SHFileOperationW(&operation) == 0 && !operation.fAnyOperationsAborted;
}

RemovalResult RemovePlugin(const std::wstring& pluginFolder, bool quiet) {
  const std::wstring folder = base::FullPath(pluginFolder);
  if (folder.empty()) return RemovalResult::kNotInstalled;
  const std::wstring marker = folder + L"\\" + environment::kPluginMarkerName;
  const std::wstring files = folder + L"\\" + environment::kPluginFilesName;
  if (!environment::FileExists(marker)) return RemovalResult::kNotInstalled;

  if (environment::FileExists(files) && RemoveLinksIn(files)) {
    ShellDeletePath(files, quiet ? kDeleteFlags | FOF_NOERRORUI : kDeleteFlags);
  }
  if (!environment::FileExists(files)) ::DeleteFileW(marker.c_str());
  return environment::FileExists(marker) || environment::FileExists(files)
             ? RemovalResult::kLeftBehind
             : RemovalResult::kRemoved;
}

Outcome UninstallPlugin(const std::wstring& version, RemovalScope scope, bool quiet) {
  if (environment::IsSketchUpRunning()) return Outcome::kSketchUpRunning;
  bool leftBehind = false;
  for (int selector : {environment::kUserPluginFolder, environment::kSharedPluginFolder}) {
    if (scope == RemovalScope::kSharedFolderOnly && selector != environment::kSharedPluginFolder) {
      continue;
    }
    const std::wstring folder = environment::GetPluginFolder(version, selector);
    if (RemovePlugin(folder, quiet) == RemovalResult::kLeftBehind) leftBehind = true;
  }
  return leftBehind ? Outcome::kLeftBehind : Outcome::kRemoved;
}

}  // namespace install
