// Design units (pixels at 96 DPI) to pixels and back. Every conversion rounds to nearest with
// ties to even, so 22.5 -> 22 and 61.5 -> 62.
#pragma once

namespace forms {

// The use-default position marker (CW_USEDEFAULT) passes through unscaled.
inline constexpr int kUseDefault = static_cast<int>(0x80000000);

int RoundHalfEven(double value);

float ScaleX(float designUnits);
float ScaleY(float designUnits);
float UnscaleX(float pixels);
float UnscaleY(float pixels);

// Rounded to whole pixels or design units.
int ScaleXi(int designUnits);
int ScaleYi(int designUnits);
int UnscaleXi(int pixels);
int UnscaleYi(int pixels);

// The factors, read once from the screen (1 when the process is not DPI aware).
float HorizontalFactor();
float VerticalFactor();

// The same conversions at a given DPI (a form's: the DPI of the monitor its window is on),
// with the same rounding; at the screen's DPI they give what ScaleXi and ScaleYi give.
float FactorAt(int dpi);
int ScaleAt(int designUnits, int dpi);
int UnscaleAt(int pixels, int dpi);

}  // namespace forms
