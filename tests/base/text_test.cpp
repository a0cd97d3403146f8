#include "base/text.h"

#include <gtest/gtest.h>

namespace {

TEST(TextTest, ChineseCodePageRoundTrip) {
  const std::string gbk = "\xE7\xBF\x8E";  // not GBK: these bytes are UTF-8 for 翎
  EXPECT_EQ(base::Utf8ToWide(gbk), L"翎");
  const std::string gbkBytes = base::ToNarrow(L"翎图匠", base::kChineseCodePage);
  EXPECT_EQ(gbkBytes.size(), 6u);
  EXPECT_EQ(base::ToWide(gbkBytes, base::kChineseCodePage), L"翎图匠");
}

TEST(TextTest, EmptyStaysEmpty) {
  EXPECT_EQ(base::ToWide("", 936), L"");
  EXPECT_EQ(base::ToNarrow(L"", 936), "");
  EXPECT_EQ(base::ToNarrowExact(L"", 936), std::string());
}

TEST(TextTest, ExactConversionRefusesLossyText) {
  // Thai has no GBK form; a substitute character would name another path.
  EXPECT_FALSE(base::ToNarrowExact(L"plug\u0e01in", base::kChineseCodePage).has_value());
  EXPECT_FALSE(base::ToNarrowExact(L"\u0416", 1252).has_value());
  EXPECT_EQ(base::ToNarrowExact(L"C:\\users\\张三", base::kChineseCodePage),
            base::ToNarrow(L"C:\\users\\张三", base::kChineseCodePage));
}

}  // namespace
