// SketchUp's plug-in and configuration folders of a version, and the plug-in's names in them.
//
// Folder 1 is per user:  %USERPROFILE%\AppData\Roaming\SketchUp\<version>\SketchUp\Plugins
// Folder 2 is shared:    %ALLUSERSPROFILE%\SketchUp\<version>\SketchUp\Plugins
// Both are plain concatenations (an unset variable contributes nothing) and are formed from the
// process environment afresh on every call. Nothing here creates a folder.
#pragma once

#include <string>

namespace environment {

// The plug-in's own names inside a plug-in folder: the file SketchUp loads (its presence is
// the install marker) and the folder with the rest of the plug-in.
inline constexpr wchar_t kPluginMarkerName[] = L"Brindo.rb";
inline constexpr wchar_t kPluginFilesName[] = L"Brindo";

// Folder selector: 0 the automatic choice, 1 the per-user folder, 2 the shared folder.
inline constexpr int kAutomaticFolder = 0;
inline constexpr int kUserPluginFolder = 1;
inline constexpr int kSharedPluginFolder = 2;

// Selector 1 or 2: that folder. Selector 0: the shared folder when the log-on name contains
// Chinese (a per-user folder under such a name does not work), otherwise the per-user one.
// Any other selector: the empty text.
std::wstring GetPluginFolder(const std::wstring& version, int selector);

// SketchUp's configuration folders of a version, formed like the plug-in folders:
// %USERPROFILE%\AppData\Local\SketchUp\<version>\SketchUp holds the user's settings
// (kPrivatePreferences), %APPDATA%\SketchUp\<version>\SketchUp the system settings
// (kSharedPreferences).
std::wstring GetUserConfigFolder(const std::wstring& version);
std::wstring GetSystemConfigFolder(const std::wstring& version);
inline constexpr wchar_t kPrivatePreferences[] = L"PrivatePreferences.json";
inline constexpr wchar_t kSharedPreferences[] = L"SharedPreferences.json";

// Whether the marker (file or folder) exists in folder 1, folder 2, or, for selector 0, in
// either of them. Any other selector: false.
bool IsPluginInstalled(const std::wstring& version, int selector);

}  // namespace environment
