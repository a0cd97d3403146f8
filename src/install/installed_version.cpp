#include "install/installed_version.h"

#include <windows.h>

#include "base/unique_handle.h"
#include "install/version_order.h"

namespace install {

namespace {

constexpr DWORD kMaxRecordBytes = 256;  // a version and a line end; longer is no record of ours

}  // namespace

std::optional<std::string> ReadInstalledVersion(const std::wstring& pluginFolder) {
  const std::wstring path = pluginFolder + L"\\" + kInstalledVersionFile;
  base::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  std::string text(kMaxRecordBytes + 1, '\0');
  DWORD read = 0, total = 0;
  while (total < text.size() &&
         ::ReadFile(file.get(), text.data() + total, static_cast<DWORD>(text.size() - total), &read,
                    nullptr) &&
         read > 0) {
    total += read;
  }
  if (total > kMaxRecordBytes) return std::nullopt;
  text.resize(total);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  if (!IsDottedVersion(text)) return std::nullopt;
  return text;
}

std::string InstalledVersionBytes(std::string_view verified) {
  return verified.empty() ? std::string() : std::string(verified) + "\r\n";
}

bool IsOlderThanInstalled(std::string_view offered, const std::optional<std::string>& installed) {
  return !offered.empty() && installed && IsDottedVersion(offered) &&
         CompareVersions(offered, *installed) < 0;
}

}  // namespace install
