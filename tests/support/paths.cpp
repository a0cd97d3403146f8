#include "support/paths.h"

#include <windows.h>
#include <shellapi.h>

#include "base/text.h"

namespace testsupport {

std::wstring WindowsPathFromUnix(const std::string& unixPath) {
  std::wstring path = L"Z:" + base::Utf8ToWide(unixPath);
  for (auto& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

std::wstring AppExePath() {
  return WindowsPathFromUnix(LINGTU_APP_EXE);
}
std::wstring StandinExePath() {
  return WindowsPathFromUnix(LINGTU_STANDIN_EXE);
}
std::wstring SourceDir() {
  return WindowsPathFromUnix(LINGTU_SOURCE_DIR);
}
std::wstring BinaryDir() {
  return WindowsPathFromUnix(LINGTU_BINARY_DIR);
}

static void DeleteTree(const std::wstring& path) {
  std::wstring list = path + L'\0';
  SHFILEOPSTRUCTW op{};
  op.wFunc = FO_DELETE;
  op.pFrom = list.c_str();
  op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
  ::SHFileOperationW(&op);
}

std::wstring MakeScratchFolder(const std::wstring& name) {
  const std::wstring root = BinaryDir() + L"\\scratch";
  ::CreateDirectoryW(root.c_str(), nullptr);
  const std::wstring folder = root + L"\\" + name;
  DeleteTree(folder);
  ::CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

}  // namespace testsupport
