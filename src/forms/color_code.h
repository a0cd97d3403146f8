// Colour codes: a literal colour 0x00BBGGRR, a system colour index, or the default marker.
// A code whose low 24 bits are 0x7F7F7F is special: its high byte 25 is the default marker,
// another value below 31 a system colour index, 31 or more the literal 0x7F7F7F.
#pragma once

#include <windows.h>

#include <cstdint>

namespace forms {

using ColorCode = uint32_t;

inline constexpr ColorCode kColorDefault = 0x197F7F7F;
inline constexpr ColorCode kColorWindowText = 0x087F7F7F;
inline constexpr ColorCode kColorWindow = 0x057F7F7F;
inline constexpr ColorCode kColorButtonFace = 0x0F7F7F7F;
inline constexpr ColorCode kColorButtonShadow = 0x107F7F7F;

inline constexpr bool IsDefaultColor(ColorCode code) {
  return code == kColorDefault;
}

// The COLORREF the code stands for, or `fallback` for the default marker.
COLORREF ResolveColor(ColorCode code, COLORREF fallback);
// 0xAARRGGBB for the drawing paths that need alpha; system colours are opaque and the default
// marker yields `fallbackArgb` unchanged.
uint32_t ColorToArgb(ColorCode code, uint32_t fallbackArgb);

inline constexpr uint32_t kTextFallbackArgb = 0xFF000000;
inline constexpr uint32_t kBackgroundFallbackArgb = 0xFFE0E0E0;

}  // namespace forms
