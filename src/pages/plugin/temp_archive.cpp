#include "pages/plugin/temp_archive.h"

#include <windows.h>

#include "base/text.h"

namespace plugin_page {

namespace {
constexpr DWORD kTempPathBytes = 2048;
constexpr char kArchiveName[] = "\\brindo.tmp";
}  // namespace

std::optional<TempArchivePath> TempArchive() {
  char folder[kTempPathBytes] = {};
  const DWORD length = ::GetTempPathA(kTempPathBytes, folder);
  if (length == 0 || length >= kTempPathBytes) return std::nullopt;
  TempArchivePath path;
  path.ansi = std::string(folder, length) + kArchiveName;
  path.wide = base::AnsiToWide(path.ansi);
  return path;
}

base::UniqueFile CreateTempArchive(const TempArchivePath& path) {
  return base::UniqueFile(::CreateFileW(path.wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace plugin_page
