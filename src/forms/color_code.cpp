#include "forms/color_code.h"

namespace forms {

namespace {
constexpr uint32_t kSpecialLow = 0x7F7F7F;
}

COLORREF ResolveColor(ColorCode code, COLORREF fallback) {
  if ((code & 0xFFFFFF) != kSpecialLow) return code & 0xFFFFFF;
  const uint32_t selector = code >> 24;
  if (selector == 25) return fallback;
  if (selector < 31) return ::GetSysColor(static_cast<int>(selector));
  return kSpecialLow;
}

uint32_t ColorToArgb(ColorCode code, uint32_t fallbackArgb) {
  if (IsDefaultColor(code)) return fallbackArgb;
  const COLORREF bgr = ResolveColor(code, 0);
  const uint32_t red = GetRValue(bgr), green = GetGValue(bgr), blue = GetBValue(bgr);
  return 0xFF000000u | (red << 16) | (green << 8) | blue;
}

}  // namespace forms
