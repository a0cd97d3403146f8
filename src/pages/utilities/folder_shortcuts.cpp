#include "pages/utilities/folder_shortcuts.h"

#include <shellapi.h>

#include "environment/file_exists.h"
#include "environment/plugin_folders.h"
#include "environment/sketchup_install.h"
#include "forms/message_box.h"

namespace utilities_page {

namespace {

constexpr wchar_t kCannotOpen[] = L"打开路径失败，路径可能不存在！";

ShortcutTarget FolderOnly(std::wstring folder) {
  return ShortcutTarget{std::move(folder), std::wstring()};
}

}  // namespace

std::optional<ShortcutTarget> FolderShortcut(int index, const std::wstring& version) {
  switch (index) {
    case 1:
      return FolderOnly(environment::GetPluginFolder(version, environment::kAutomaticFolder) +
                        L"\\brindo");
    case 2: {
      std::wstring folder = environment::GetUserConfigFolder(version);
      return ShortcutTarget{folder, folder + L"\\" + environment::kPrivatePreferences};
    }
    case 3: {
      std::wstring folder = environment::GetSystemConfigFolder(version);
      return ShortcutTarget{folder, folder + L"\\" + environment::kSharedPreferences};
    }
    case 4:
      return FolderOnly(environment::GetPluginFolder(version, environment::kUserPluginFolder));
    case 5:
      return FolderOnly(environment::GetPluginFolder(version, environment::kSharedPluginFolder));
    case 6:
      // The install folder is stored with its closing backslash; without it the program file
      // is not found and the folder itself opens.
      return ShortcutTarget{environment::GetInstallLocation(version, false),
                            environment::GetInstallLocation(version, true)};
    default:
      return std::nullopt;
  }
}

void OpenFolderOrSelectFile(HWND owner, const std::wstring& folder, const std::wstring& file) {
  if (!file.empty() && environment::FileExists(file)) {
    const std::wstring parameters = L"/select," + file;
    ::ShellExecuteW(nullptr, L"open", L"explorer.exe", parameters.c_str(), nullptr, SW_SHOW);
    return;
  }
  // An empty folder would let the shell pick a folder of its own choosing.
  const auto result = reinterpret_cast<INT_PTR>(
      folder.empty()
          ? nullptr
          : ::ShellExecuteW(nullptr, L"explore", folder.c_str(), nullptr, nullptr, SW_SHOW));
  if (result <= 32) forms::AppMessageBox(owner, kCannotOpen, MB_OK);
}

}  // namespace utilities_page
