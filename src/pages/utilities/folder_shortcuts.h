// The page's six folder shortcuts: SketchUp's configuration, plug-in and program folders of a
// version, opened in Explorer.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace utilities_page {

// A folder to open and, when it names one, the file to show selected in it if it exists.
struct ShortcutTarget {
  std::wstring folder;
  std::wstring file;  // empty: just the folder
};

// The target of the shortcut button with Command1 index 1 to 6 for a version entry; nothing
// for any other index. Formed afresh from the environment and the registry.
std::optional<ShortcutTarget> FolderShortcut(int index, const std::wstring& version);

// Shows `file` selected in Explorer when it exists, otherwise opens `folder`; tells the user
// (message box owned by `owner`) when the folder cannot be opened. Never creates a folder.
void OpenFolderOrSelectFile(HWND owner, const std::wstring& folder, const std::wstring& file = {});

}  // namespace utilities_page
