// Text conversions at the program's edges. Inside, text is UTF-16 (std::wstring); narrow
// text appears only where the platform or a file format speaks it, in a named code page.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace base {

// The code page of the program's own narrow texts (the version reply, the form layer).
inline constexpr UINT kChineseCodePage = 936;

// Narrow text in `codePage` to UTF-16 (precomposed characters). Empty in, empty out.
std::wstring ToWide(std::string_view text, UINT codePage);
// UTF-16 to narrow text in `codePage`; characters the code page lacks become its default.
std::string ToNarrow(std::wstring_view text, UINT codePage);
// Narrow text in `codePage` to UTF-16 only when every byte belongs to a character the code page
// defines (no substitutes for invalid bytes or a lone lead byte); otherwise nothing.
std::optional<std::wstring> ToWideExact(std::string_view text, UINT codePage);
// UTF-16 to narrow text only when the code page represents every character exactly (no
// best-fit substitutes, no default character); otherwise nothing.
std::optional<std::string> ToNarrowExact(std::wstring_view text, UINT codePage);

inline std::wstring AnsiToWide(std::string_view text) {
  return ToWide(text, CP_ACP);
}
inline std::string WideToAnsi(std::wstring_view text) {
  return ToNarrow(text, CP_ACP);
}
inline std::wstring Utf8ToWide(std::string_view text) {
  return ToWide(text, CP_UTF8);
}
// Names that arrive from elsewhere (archive entries) in a known encoding, decoded strictly.
inline std::optional<std::wstring> Utf8ToWideExact(std::string_view text) {
  return ToWideExact(text, CP_UTF8);
}
inline std::optional<std::wstring> GbkToWideExact(std::string_view text) {
  return ToWideExact(text, kChineseCodePage);
}
inline std::string WideToUtf8(std::wstring_view text) {
  return ToNarrow(text, CP_UTF8);
}

}  // namespace base
