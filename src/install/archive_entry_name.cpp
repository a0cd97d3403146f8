#include "install/archive_entry_name.h"

#include <algorithm>
#include <array>

namespace install {

namespace {

bool IsSeparator(wchar_t c) {
  return c == L'/' || c == L'\\';
}

bool IsForbiddenCharacter(wchar_t c) {
  return c < 0x20 || c == L'<' || c == L'>' || c == L'"' || c == L'|' || c == L'?' || c == L'*';
}

wchar_t AsciiUpper(wchar_t c) {
  return (c >= L'a' && c <= L'z') ? c - (L'a' - L'A') : c;
}

bool EqualsIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](wchar_t x, wchar_t y) { return AsciiUpper(x) == AsciiUpper(y); });
}

// Windows reaches a device, not a file, when the part before the first dot (trailing spaces
// ignored) is a device name: "nul", "Con.rb", "com1 .txt" and "LPT²" all count.
bool IsReservedDeviceName(std::wstring_view component) {
  std::wstring_view base = component.substr(0, component.find(L'.'));
  while (!base.empty() && base.back() == L' ') base.remove_suffix(1);
  static constexpr std::array<std::wstring_view, 6> kDevices = {L"CON", L"PRN",    L"AUX",
                                                                L"NUL", L"CONIN$", L"CONOUT$"};
  for (std::wstring_view device : kDevices) {
    if (EqualsIgnoringAsciiCase(base, device)) return true;
  }
  if (base.size() == 4 && (EqualsIgnoringAsciiCase(base.substr(0, 3), L"COM") ||
                           EqualsIgnoringAsciiCase(base.substr(0, 3), L"LPT"))) {
    const wchar_t digit = base[3];
    return (digit >= L'0' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' ||
           digit == L'\u00B3';
  }
  return false;
}

bool IsSafeComponent(std::wstring_view component) {
  if (component.back() == L'.' || component.back() == L' ') return false;
  return !IsReservedDeviceName(component);
}

template <typename Visit>
void ForEachComponent(std::wstring_view name, Visit visit) {
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = start;
    while (end < name.size() && !IsSeparator(name[end])) ++end;
    if (end > start) visit(name.substr(start, end - start));
    start = end + 1;
  }
}

}  // namespace

bool IsSafeEntryName(std::wstring_view name) {
  if (name.empty() || IsSeparator(name.front())) return false;
  if (std::any_of(name.begin(), name.end(),
                  [](wchar_t c) { return c == L':' || IsForbiddenCharacter(c); })) {
    return false;
  }
  bool safe = true;
  ForEachComponent(name,
                   [&](std::wstring_view component) { safe = safe && IsSafeComponent(component); });
  return safe;
}

bool IsFolderEntryName(std::wstring_view name) {
  return !name.empty() && IsSeparator(name.back());
}

std::wstring ToRelativePath(std::wstring_view name) {
  std::wstring path;
  ForEachComponent(name, [&](std::wstring_view component) {
    if (!path.empty()) path += L'\\';
    path += component;
  });
  return path;
}

}  // namespace install
