// Taking the plug-in out of a plug-in folder: the folder "Brindo" and the marker "Brindo.rb"
// beside it, nothing else.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "install/outcome.h"

namespace install {

// Deletes a file or a whole folder tree through the shell, for good (not to the Recycle Bin
// unless `flags` asks for it). The path reaches the shell exactly as given, in UTF-16: a
// conversion to the ANSI code page could turn an unrepresentable character into a look-alike
// and so name another folder. Refused (false, nothing deleted): an empty or relative path,
// and one the shell would read as a pattern or as several paths. True when the shell
// reports success.
bool ShellDeletePath(const std::wstring& path, FILEOP_FLAGS flags);

enum class RemovalResult {
  kNotInstalled,  // the folder holds no marker: nothing was touched
  kRemoved,       // neither the marker nor the "Brindo" folder is there any more
  kLeftBehind,    // something could not be deleted (a file in use, say)
};

// Removes the plug-in from `pluginFolder` when the marker is there. The "Brindo" folder goes
// first and the marker only once the folder is gone, so a removal that stops half way still
// shows as installed and can be tried again. `quiet` keeps the shell from showing an error box
// of its own (for a run without a window).
RemovalResult RemovePlugin(const std::wstring& pluginFolder, bool quiet = false);

enum class RemovalScope {
  kBothFolders,       // the user's and the shared plug-in folder, as the window removes it
  kSharedFolderOnly,  // the shared folder alone (a command run for all users)
};

// Removes the plug-in of SketchUp `version` from the folders of `scope`: kRemoved when none of
// them holds it any more (a folder without the plug-in is no failure), kLeftBehind when
// something could not be deleted in any of them, kSketchUpRunning (nothing touched) when
// SketchUp runs at that moment.
Outcome UninstallPlugin(const std::wstring& version, RemovalScope scope, bool quiet = false);

}  // namespace install
