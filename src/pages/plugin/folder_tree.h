// Making a plug-in folder that SketchUp has not made yet.
#pragma once

#include <string>

namespace plugin_page {

// Creates the folder at `path` together with every missing parent ("\" or "/" separated).
// True when a folder exists there afterwards; false when a file is in the way, a folder cannot
// be made, or the climb reaches a root (a drive or share) that is not there.
bool CreateFolderWithParents(const std::wstring& path);

}  // namespace plugin_page
