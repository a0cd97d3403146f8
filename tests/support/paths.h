// Where the things under test live, as Windows paths inside the Wine prefix.
#pragma once

#include <string>
#include <string_view>

namespace testsupport {

// A Unix path of the build machine as Wine sees it (drive Z: is the Unix root).
std::wstring WindowsPathFromUnix(const std::string& unixPath);
std::wstring AppExePath();      // the assistant itself
std::wstring StandinExePath();  // the stand-in SketchUp.exe
std::wstring SourceDir();       // the source tree (for test data and scripts)
std::wstring BinaryDir();       // the build tree
// A fresh, empty folder for one test under the build tree's scratch area.
std::wstring MakeScratchFolder(const std::wstring& name);

// A folder and any missing parents; true when it exists afterwards.
bool MakeFolders(const std::wstring& path);
// Removes a file or a folder with everything in it; true when nothing is left.
bool DeleteTree(const std::wstring& path);
// Creates or replaces a file with exactly these bytes (parents must exist).
bool WriteFileBytes(const std::wstring& path, std::string_view bytes);

}  // namespace testsupport
