// Font strings: up to six comma-separated fields (name, size in points, bold, italic,
// underline, strikeout); missing trailing fields count as 0.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <utility>

namespace forms {

struct FontSpec {
  std::wstring name;  // empty in the string -> "SimSun"
  int points = 9;     // 0 or missing -> 9
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeout = false;
};

FontSpec ParseFontSpec(std::wstring_view text);

// The LOGFONT for a font string at the given logical DPI (size adjusted as points * dpiX / dpiY,
// integer division; antialiased from 24 points).
LOGFONTW LogFontFromSpec(const FontSpec& fontSpec, int dpiX, int dpiY);

// A font for the string at a DPI (a form's), cached per exact string and DPI. Fonts at the
// screen's DPI live as long as the program; fonts at another DPI while a form holds that DPI
// (FontDpiHold). 0 when the font cannot be created.
HFONT FontFromSpec(std::wstring_view text, int dpi);
// At the screen's DPI.
HFONT FontFromSpec(std::wstring_view text);

// A form's claim on the fonts of its DPI. When the last claim on a DPI other than the screen's
// ends, the fonts made at that DPI are deleted: a form that moved to another monitor, or
// closed, leaves none behind.
class FontDpiHold {
 public:
  FontDpiHold() = default;
  explicit FontDpiHold(int dpi);
  ~FontDpiHold();
  FontDpiHold(FontDpiHold&& other) noexcept : dpi_(std::exchange(other.dpi_, 0)) {}
  FontDpiHold& operator=(FontDpiHold&& other) noexcept;
  FontDpiHold(const FontDpiHold&) = delete;
  FontDpiHold& operator=(const FontDpiHold&) = delete;

 private:
  int dpi_ = 0;
};

}  // namespace forms
