#include "support/paths.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include "base/text.h"
#include "base/unique_handle.h"

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

bool DeleteTree(const std::wstring& path) {
  if (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
  std::wstring list = path + L'\0';  // the list ends with two zeros
  SHFILEOPSTRUCTW op{};
  op.wFunc = FO_DELETE;
  op.pFrom = list.c_str();
  op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
  ::SHFileOperationW(&op);
  return ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

bool MakeFolders(const std::wstring& path) {
  ::SHCreateDirectoryExW(nullptr, path.c_str(), nullptr);
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WriteFileBytes(const std::wstring& path, std::string_view bytes) {
  base::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) &&
         written == bytes.size();
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
