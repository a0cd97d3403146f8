// Font strings: up to six comma-separated fields (name, size in points, bold, italic,
// underline, strikeout); missing trailing fields count as 0.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

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

// A font for the string, cached per exact string for the life of the program (never
// deleted). 0 when the font cannot be created.
HFONT FontFromSpec(std::wstring_view text);

}  // namespace forms
