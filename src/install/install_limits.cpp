#include "install/install_limits.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>

namespace install {

namespace {

// How far a growing file may get between two looks at the free space.
constexpr uint64_t kFreeSpaceStep = uint64_t{16} << 20;

}  // namespace

uint64_t MaxArchiveBytes() {
#ifdef LINGTU_TEST_BUILD
  wchar_t text[24];
  const DWORD length = ::GetEnvironmentVariableW(L"LINGTU_TEST_MAX_ARCHIVE_BYTES", text, 24);
  if (length > 0 && length < 24) {
    const uint64_t bytes = std::wcstoull(text, nullptr, 10);
    if (bytes > 0 && bytes < kMaxArchiveBytes) return bytes;
  }
#endif
  return kMaxArchiveBytes;
}

bool LeavesFreeMargin(const std::wstring& folder, uint64_t bytes) {
  ULARGE_INTEGER available{};
  if (!::GetDiskFreeSpaceExW(folder.c_str(), &available, nullptr, nullptr)) return false;
  return available.QuadPart >= kFreeSpaceMargin && available.QuadPart - kFreeSpaceMargin >= bytes;
}

bool FreeSpaceWatch::Allows(uint64_t written, uint64_t length, uint64_t expected) {
  if (written + length <= grantedUntil_) return true;
  const uint64_t until = std::max({written + length, expected, written + kFreeSpaceStep});
  if (!LeavesFreeMargin(folder_, until - written)) return false;
  grantedUntil_ = until;
  return true;
}

}  // namespace install
