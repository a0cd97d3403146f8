#include "forms/font_string.h"

#include <cwchar>
#include <map>
#include <mutex>
#include <vector>

#include "forms/dpi.h"

namespace forms {

namespace {

std::vector<std::wstring> SplitFields(std::wstring_view text) {
  std::vector<std::wstring> fields;
  size_t start = 0;
  while (fields.size() < 6) {
    const size_t comma = text.find(L',', start);
    fields.emplace_back(
        text.substr(start, comma == std::wstring_view::npos ? text.size() - start : comma - start));
    if (comma == std::wstring_view::npos) break;
    start = comma + 1;
  }
  return fields;
}

int FieldNumber(const std::vector<std::wstring>& fields, size_t index) {
  return index < fields.size() ? static_cast<int>(std::wcstol(fields[index].c_str(), nullptr, 10))
                               : 0;
}

}  // namespace

FontSpec ParseFontSpec(std::wstring_view text) {
  const std::vector<std::wstring> fields = SplitFields(text);
  FontSpec fontSpec;
  fontSpec.name = fields.empty() ? L"" : fields[0];
  if (fontSpec.name.empty()) fontSpec.name = L"SimSun";
  fontSpec.points = FieldNumber(fields, 1);
  if (fontSpec.points == 0) fontSpec.points = 9;
  fontSpec.bold = FieldNumber(fields, 2) != 0;
  fontSpec.italic = FieldNumber(fields, 3) != 0;
  fontSpec.underline = FieldNumber(fields, 4) != 0;
  fontSpec.strikeout = FieldNumber(fields, 5) != 0;
  return fontSpec;
}

LOGFONTW LogFontFromSpec(const FontSpec& fontSpec, int dpiX, int dpiY) {
  LOGFONTW font{};
  const int adjusted = dpiY > 0 ? fontSpec.points * dpiX / dpiY : fontSpec.points;
  font.lfHeight = -::MulDiv(adjusted, dpiY, 72);
  font.lfWeight = fontSpec.bold ? FW_BOLD : FW_NORMAL;
  font.lfItalic = fontSpec.italic;
  font.lfUnderline = fontSpec.underline;
  font.lfStrikeOut = fontSpec.strikeout;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfOutPrecision = OUT_TT_PRECIS;
  font.lfQuality = fontSpec.points >= 24 ? ANTIALIASED_QUALITY : DEFAULT_QUALITY;
  wcsncpy_s(font.lfFaceName, LF_FACESIZE, fontSpec.name.c_str(), _TRUNCATE);
  return font;
}

namespace {

// Every thread that owns windows shares the fonts.
struct FontCache {
  std::mutex mutex;
  std::map<std::pair<std::wstring, int>, HFONT, std::less<>> fonts;
  std::map<int, int> holds;  // DPI -> forms at that DPI
};

FontCache& Cache() {
  static FontCache& cache = *new FontCache;  // fonts outlive every window, to the process's end
  return cache;
}

int ScreenFontDpi() {
  return ScreenDpi().x;
}

}  // namespace

HFONT FontFromSpec(std::wstring_view text, int dpi) {
  FontCache& cache = Cache();
  std::lock_guard lock(cache.mutex);
  auto key = std::make_pair(std::wstring(text), dpi);
  if (auto hit = cache.fonts.find(key); hit != cache.fonts.end()) return hit->second;
  const LOGFONTW logFont = LogFontFromSpec(ParseFontSpec(text), dpi, dpi);
  HFONT font = ::CreateFontIndirectW(&logFont);
  if (font) cache.fonts.emplace(std::move(key), font);
  return font;
}

HFONT FontFromSpec(std::wstring_view text) {
  return FontFromSpec(text, ScreenFontDpi());
}

FontDpiHold::FontDpiHold(int dpi) : dpi_(dpi) {
  FontCache& cache = Cache();
  std::lock_guard lock(cache.mutex);
  ++cache.holds[dpi_];
}

FontDpiHold::~FontDpiHold() {
  if (dpi_ == 0) return;
  FontCache& cache = Cache();
  std::lock_guard lock(cache.mutex);
  if (--cache.holds[dpi_] > 0 || dpi_ == ScreenFontDpi()) return;
  cache.holds.erase(dpi_);
  std::erase_if(cache.fonts, [&](const auto& entry) {
    if (entry.first.second != dpi_) return false;
    ::DeleteObject(entry.second);
    return true;
  });
}

FontDpiHold& FontDpiHold::operator=(FontDpiHold&& other) noexcept {
  if (this != &other) {
    FontDpiHold released(std::move(*this));
    dpi_ = std::exchange(other.dpi_, 0);
  }
  return *this;
}

}  // namespace forms
