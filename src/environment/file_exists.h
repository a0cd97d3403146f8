// The one existence test the SketchUp environment uses for folders and files alike.
#pragma once

#include <string>

namespace environment {

// True when something (a file or a folder) exists at `path`; the empty text never exists.
bool FileExists(const std::wstring& path);

}  // namespace environment
