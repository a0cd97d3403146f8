// Where the things under test live, as Windows paths inside the Wine prefix.
#pragma once

#include <string>

namespace testsupport {

// A Unix path of the build machine as Wine sees it (drive Z: is the Unix root).
std::wstring WindowsPathFromUnix(const std::string& unixPath);
std::wstring AppExePath();      // the assistant itself
std::wstring StandinExePath();  // the stand-in SketchUp.exe
std::wstring SourceDir();       // the source tree (for test data and scripts)
std::wstring BinaryDir();       // the build tree
// A fresh, empty folder for one test under the build tree's scratch area.
std::wstring MakeScratchFolder(const std::wstring& name);

}  // namespace testsupport
