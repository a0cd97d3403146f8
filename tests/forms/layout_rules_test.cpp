// Pure rules of the form layer: rounding, font strings, colour codes, the handle table.
#include <gtest/gtest.h>

#include "forms/color_code.h"
#include "forms/font_string.h"
#include "forms/handle_map.h"
#include "forms/records.h"
#include "forms/scaling.h"

namespace {

TEST(ScalingTest, RoundsHalfToEven) {
  // At 144 DPI: 15 -> 22.5 -> 22, 41 -> 61.5 -> 62, 80 -> 120.
  EXPECT_EQ(forms::RoundHalfEven(15 * 1.5), 22);
  EXPECT_EQ(forms::RoundHalfEven(41 * 1.5), 62);
  EXPECT_EQ(forms::RoundHalfEven(80 * 1.5), 120);
  EXPECT_EQ(forms::RoundHalfEven(2.5), 2);
  EXPECT_EQ(forms::RoundHalfEven(3.5), 4);
  EXPECT_EQ(forms::RoundHalfEven(-2.5), -2);
  EXPECT_EQ(forms::RoundHalfEven(2.4999), 2);
}

TEST(ScalingTest, UseDefaultPositionPassesThrough) {
  EXPECT_EQ(forms::ScaleXi(forms::kUseDefault), forms::kUseDefault);
  EXPECT_EQ(forms::ScaleYi(forms::kUseDefault), forms::kUseDefault);
}

TEST(FontSpecTest, ParsesFieldsAndDefaults) {
  const forms::FontSpec bold = forms::ParseFontSpec(L"Microsoft YaHei,9,1");
  EXPECT_EQ(bold.name, L"Microsoft YaHei");
  EXPECT_EQ(bold.points, 9);
  EXPECT_TRUE(bold.bold);
  EXPECT_FALSE(bold.italic);

  const forms::FontSpec empty = forms::ParseFontSpec(L",0");
  EXPECT_EQ(empty.name, L"SimSun");
  EXPECT_EQ(empty.points, 9);

  const forms::FontSpec nameOnly = forms::ParseFontSpec(L"Microsoft YaHei,9");
  EXPECT_FALSE(nameOnly.bold);

  const forms::FontSpec all = forms::ParseFontSpec(L"Tahoma,12,0,1,1,1");
  EXPECT_TRUE(all.italic && all.underline && all.strikeout);
  EXPECT_FALSE(all.bold);
}

TEST(FontSpecTest, LogFontFollowsSizeWeightAndQuality) {
  const LOGFONTW bold =
      forms::LogFontFromSpec(forms::ParseFontSpec(L"Microsoft YaHei,9,1"), 96, 96);
  EXPECT_EQ(bold.lfWeight, FW_BOLD);
  EXPECT_EQ(bold.lfHeight, -12);
  EXPECT_EQ(bold.lfCharSet, DEFAULT_CHARSET);
  EXPECT_EQ(bold.lfOutPrecision, OUT_TT_PRECIS);
  EXPECT_STREQ(bold.lfFaceName, L"Microsoft YaHei");

  const LOGFONTW large = forms::LogFontFromSpec(forms::ParseFontSpec(L"Arial,24"), 96, 96);
  EXPECT_EQ(large.lfQuality, ANTIALIASED_QUALITY);
  const LOGFONTW smaller = forms::LogFontFromSpec(forms::ParseFontSpec(L"Arial,23"), 96, 96);
  EXPECT_EQ(smaller.lfQuality, DEFAULT_QUALITY);

  const LOGFONTW at144 = forms::LogFontFromSpec(forms::ParseFontSpec(L"Arial,9"), 144, 144);
  EXPECT_EQ(at144.lfHeight, -18);

  // A face name longer than the platform allows is cut, never overruns.
  const LOGFONTW longName = forms::LogFontFromSpec(
      forms::ParseFontSpec(L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnop,9"), 96, 96);
  EXPECT_EQ(wcslen(longName.lfFaceName), 31u);
}

TEST(FontSpecTest, SameStringGivesSameCachedFont) {
  HFONT first = forms::FontFromSpec(L"Microsoft YaHei,9,0");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(forms::FontFromSpec(L"Microsoft YaHei,9,0"), first);
  EXPECT_NE(forms::FontFromSpec(L"Microsoft YaHei,9,1"), first);
}

TEST(ColorCodeTest, LiteralSystemAndDefault) {
  EXPECT_EQ(forms::ResolveColor(0x00123456, 0), 0x00123456u);
  EXPECT_EQ(forms::ResolveColor(forms::kColorDefault, 0x00ABCDEF), 0x00ABCDEFu);
  EXPECT_EQ(forms::ResolveColor(forms::kColorButtonFace, 0), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(forms::ResolveColor(forms::kColorWindowText, 0), GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(forms::ResolveColor(0x1F7F7F7F, 0), 0x007F7F7Fu);  // 31 and above: literal grey

  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const uint32_t argb = forms::ColorToArgb(forms::kColorButtonFace, 0);
  EXPECT_EQ(argb >> 24, 0xFFu);
  EXPECT_EQ((argb >> 16) & 0xFF, GetRValue(face));
  EXPECT_EQ(argb & 0xFF, GetBValue(face));
  EXPECT_EQ(forms::ColorToArgb(forms::kColorDefault, forms::kBackgroundFallbackArgb),
            forms::kBackgroundFallbackArgb);
}

TEST(HandleMapTest, SpillsIntoMoreBlocksAndForgetsRemovedKeys) {
  std::vector<forms::ControlInfo> records(250);
  auto key = [](size_t i) { return reinterpret_cast<HWND>(0x10000 + i * 8); };
  for (size_t i = 0; i < records.size(); ++i) forms::handle_map::Set(key(i), &records[i]);
  for (size_t i = 0; i < records.size(); ++i) {
    ASSERT_EQ(forms::handle_map::Find(key(i)), &records[i]) << i;
  }
  forms::handle_map::Remove(key(150));
  EXPECT_EQ(forms::handle_map::Find(key(150)), nullptr);
  EXPECT_EQ(forms::handle_map::Find(key(151)), &records[151]);
  forms::ControlInfo replacement;
  forms::handle_map::Set(key(3), &replacement);
  EXPECT_EQ(forms::handle_map::Find(key(3)), &replacement);
  EXPECT_EQ(forms::handle_map::Find(nullptr), nullptr);
  for (size_t i = 0; i < records.size(); ++i) forms::handle_map::Remove(key(i));
}

}  // namespace
