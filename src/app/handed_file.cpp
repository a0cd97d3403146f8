#include "app/handed_file.h"

namespace app {

namespace {

constexpr ULONG_PTR kHandedFileTag = 0x4C54464C;  // "LTFL"
// A path of up to the longest the system takes (32767 characters), with its terminator.
constexpr size_t kMaxPathChars = 32767;
// The sender waits no longer for a window that does not answer.
constexpr UINT kSendTimeoutMs = 10000;

}  // namespace

bool SendHandedFile(HWND window, const std::wstring& path) {
  if (path.empty() || path.size() > kMaxPathChars) return false;
  COPYDATASTRUCT data{};
  data.dwData = kHandedFileTag;
  data.cbData = static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t));
  data.lpData = const_cast<wchar_t*>(path.c_str());
  DWORD_PTR taken = FALSE;
  return ::SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                               SMTO_ABORTIFHUNG | SMTO_BLOCK, kSendTimeoutMs, &taken) &&
         taken == TRUE;
}

std::optional<std::wstring> ReadHandedFile(const COPYDATASTRUCT* data) {
  if (!data || data->dwData != kHandedFileTag || !data->lpData) return std::nullopt;
  const DWORD bytes = data->cbData;
  if (bytes % sizeof(wchar_t) != 0 || bytes < 2 * sizeof(wchar_t) ||
      bytes > (kMaxPathChars + 1) * sizeof(wchar_t)) {
    return std::nullopt;
  }
  const auto* text = static_cast<const wchar_t*>(data->lpData);
  const size_t length = bytes / sizeof(wchar_t) - 1;
  if (text[length] != L'\0') return std::nullopt;
  std::wstring path(text, length);
  if (path.find(L'\0') != std::wstring::npos) return std::nullopt;
  return path;
}

}  // namespace app
