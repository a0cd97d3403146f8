#include "install/archive_entry_name.h"

#include <zlib.h>

#include <algorithm>
#include <array>

#include "base/text.h"

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

constexpr uint16_t kUtf8NameFlag = 0x0800;
constexpr uint16_t kUnicodePathField = 0x7075;
constexpr char kUnicodePathVersion = 1;

uint32_t ReadLittleEndian(std::string_view bytes, size_t at, size_t count) {
  uint32_t value = 0;
  for (size_t i = count; i-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

// The UTF-8 name an Info-ZIP Unicode path field gives for `raw`. A field written for other
// name bytes (the name was changed since: its checksum differs) or of another version is none.
std::optional<std::string_view> UnicodePathName(std::string_view raw, std::string_view extra) {
  for (size_t at = 0; at + 4 <= extra.size();) {
    const uint32_t id = ReadLittleEndian(extra, at, 2);
    const size_t size = ReadLittleEndian(extra, at + 2, 2);
    if (size > extra.size() - at - 4) break;  // a broken field ends the list
    const std::string_view data = extra.substr(at + 4, size);
    if (id == kUnicodePathField) {
      const uLong crc =
          crc32(0, reinterpret_cast<const Bytef*>(raw.data()), static_cast<uInt>(raw.size()));
      if (data.size() < 5 || data[0] != kUnicodePathVersion ||
          ReadLittleEndian(data, 1, 4) != crc) {
        return std::nullopt;
      }
      return data.substr(5);
    }
    at += 4 + size;
  }
  return std::nullopt;
}

// The bytes before the first zero, cut to kMaxEntryNameBytes; a character the cut would split
// is left out rather than turned into an invalid byte.
std::string_view CutName(std::string_view name, bool utf8) {
  name = name.substr(0, name.find('\0'));
  if (name.size() <= kMaxEntryNameBytes) return name;
  name = name.substr(0, kMaxEntryNameBytes);
  auto byte = [&](size_t at) { return static_cast<unsigned char>(name[at]); };
  size_t start = name.size();
  if (utf8) {
    while (start > 0 && (byte(start - 1) & 0xC0) == 0x80) --start;  // continuation bytes
    if (start > 0 && byte(--start) >= 0xC0) {
      const size_t length = byte(start) >= 0xF0 ? 4 : byte(start) >= 0xE0 ? 3 : 2;
      if (name.size() - start < length) name = name.substr(0, start);
    }
  } else {
    // GBK: lead bytes are 0x81-0xFE, and a trail byte can look like either kind, so the
    // characters are counted from the start.
    for (start = 0; start < name.size();)
      start += (byte(start) >= 0x81 && byte(start) <= 0xFE) ? 2 : 1;
    if (start > name.size()) name.remove_suffix(1);
  }
  return name;
}

}  // namespace

std::optional<std::wstring> DecodeEntryName(std::string_view raw, uint16_t flags,
                                            std::string_view extraField) {
  if (flags & kUtf8NameFlag) return base::Utf8ToWideExact(CutName(raw, true));
  if (const auto unicode = UnicodePathName(raw, extraField)) {
    if (auto name = base::Utf8ToWideExact(CutName(*unicode, true))) return name;
  }
  return base::GbkToWideExact(CutName(raw, false));
}

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
