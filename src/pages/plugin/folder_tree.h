// Making a plug-in folder that SketchUp has not made yet.
#pragma once

#include <string>
#include <vector>

namespace plugin_page {

// Creates the folder at `path` together with every missing parent ("\" or "/" separated).
// True when a folder exists there afterwards; false when a file is in the way, a folder cannot
// be made, or the climb reaches a root (a drive or share) that is not there.
// `made`, when given, receives every folder made here, outermost first.
bool CreateFolderWithParents(const std::wstring& path, std::vector<std::wstring>* made = nullptr);

// Removes the folders `made` by CreateFolderWithParents again, innermost first, as far as they
// are empty.
void RemoveMadeFolders(const std::vector<std::wstring>& made);

}  // namespace plugin_page
