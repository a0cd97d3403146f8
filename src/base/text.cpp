#include "base/text.h"

namespace base {

std::wstring ToWide(std::string_view text, UINT codePage) {
  if (text.empty()) return {};
  const DWORD flags = (codePage == CP_UTF8) ? 0 : MB_PRECOMPOSED;
  const int length = ::MultiByteToWideChar(codePage, flags, text.data(),
                                           static_cast<int>(text.size()), nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<size_t>(length), L'\0');
  ::MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), wide.data(),
                        length);
  return wide;
}

std::optional<std::wstring> ToWideExact(std::string_view text, UINT codePage) {
  if (text.empty()) return std::wstring();
  const DWORD flags = MB_ERR_INVALID_CHARS | ((codePage == CP_UTF8) ? 0 : MB_PRECOMPOSED);
  const int length = ::MultiByteToWideChar(codePage, flags, text.data(),
                                           static_cast<int>(text.size()), nullptr, 0);
  if (length <= 0) return std::nullopt;
  std::wstring wide(static_cast<size_t>(length), L'\0');
  if (::MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()),
                            wide.data(), length) != length) {
    return std::nullopt;
  }
  return wide;
}

std::string ToNarrow(std::wstring_view text, UINT codePage) {
  if (text.empty()) return {};
  const int length = ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string narrow(static_cast<size_t>(length), '\0');
  ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), narrow.data(),
                        length, nullptr, nullptr);
  return narrow;
}

std::optional<std::string> ToNarrowExact(std::wstring_view text, UINT codePage) {
  if (text.empty()) return std::string();
  const DWORD flags = (codePage == CP_UTF8) ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* usedDefaultOut = (codePage == CP_UTF8) ? nullptr : &usedDefault;
  const int length =
      ::WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr, 0,
                            nullptr, usedDefaultOut);
  if (length <= 0 || usedDefault) return std::nullopt;
  std::string narrow(static_cast<size_t>(length), '\0');
  ::WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), narrow.data(),
                        length, nullptr, usedDefaultOut);
  if (usedDefault || ToWide(narrow, codePage) != text) return std::nullopt;
  return narrow;
}

}  // namespace base
