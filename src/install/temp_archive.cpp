#include "install/temp_archive.h"

#include <windows.h>

namespace install {

namespace {
constexpr wchar_t kArchiveName[] = L"\\brindo.tmp";
}  // namespace

std::optional<std::wstring> TempArchive() {
  const DWORD size = ::GetTempPathW(0, nullptr);  // characters, terminator included
  if (size == 0) return std::nullopt;
  std::wstring folder(size, L'\0');
  const DWORD length = ::GetTempPathW(size, folder.data());
  if (length == 0 || length >= size) return std::nullopt;
  folder.resize(length);
  return folder + kArchiveName;
}

base::UniqueFile CreateTempArchive(const std::wstring& path) {
  return base::UniqueFile(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace install
