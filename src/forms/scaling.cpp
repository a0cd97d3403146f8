#include "forms/scaling.h"

#include <windows.h>

#include <cmath>

#include "forms/dpi.h"

namespace forms {

int RoundHalfEven(double value) {
  return static_cast<int>(std::nearbyint(value));
}

float HorizontalFactor() {
  static const float factor = static_cast<float>(ScreenDpi().x) / 96.0f;
  return factor;
}

float VerticalFactor() {
  static const float factor = static_cast<float>(ScreenDpi().y) / 96.0f;
  return factor;
}

float FactorAt(int dpi) {
  return static_cast<float>(dpi) / 96.0f;
}

int ScaleAt(int v, int dpi) {
  return v == kUseDefault ? v : RoundHalfEven(static_cast<float>(v) * FactorAt(dpi));
}

int UnscaleAt(int v, int dpi) {
  return v == kUseDefault ? v : RoundHalfEven(static_cast<float>(v) / FactorAt(dpi));
}

float ScaleX(float v) {
  return v * HorizontalFactor();
}
float ScaleY(float v) {
  return v * VerticalFactor();
}
float UnscaleX(float v) {
  return v / HorizontalFactor();
}
float UnscaleY(float v) {
  return v / VerticalFactor();
}

int ScaleXi(int v) {
  return v == kUseDefault ? v : RoundHalfEven(ScaleX(static_cast<float>(v)));
}
int ScaleYi(int v) {
  return v == kUseDefault ? v : RoundHalfEven(ScaleY(static_cast<float>(v)));
}
int UnscaleXi(int v) {
  return v == kUseDefault ? v : RoundHalfEven(UnscaleX(static_cast<float>(v)));
}
int UnscaleYi(int v) {
  return v == kUseDefault ? v : RoundHalfEven(UnscaleY(static_cast<float>(v)));
}

}  // namespace forms
