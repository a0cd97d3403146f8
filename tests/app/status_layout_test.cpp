// Pure rules of the main window: panel edges and the program's own path.
#include <gtest/gtest.h>

#include <array>

#include "app/app_info.h"
#include "app/status_bar.h"
#include "app/tab_pages.h"

namespace {

float Identity(float v) {
  return v;
}

TEST(PanelEdgesTest, FixedWidthsThenTheRest) {
  const int32_t widths[] = {60, 50, 55, 110, 65, 0};
  EXPECT_EQ(app::PanelRightEdges(widths, 424, Identity),
            (std::vector<int>{60, 110, 165, 275, 340, 424}));
}

TEST(PanelEdgesTest, ZeroWidthsShareWhatIsLeft) {
  const int32_t widths[] = {0, 0, 0};
  EXPECT_EQ(app::PanelRightEdges(widths, 300, Identity), (std::vector<int>{100, 200, 300}));
  const int32_t mixed[] = {0, 100, 0};
  // 300 / 3 = 100, then 100 fixed, then the last one reaches the edge.
  EXPECT_EQ(app::PanelRightEdges(mixed, 300, Identity), (std::vector<int>{100, 200, 300}));
}

TEST(PanelEdgesTest, ScaledWidthsRoundHalfToEven) {
  const int32_t widths[] = {15, 41, 0};
  auto times1_5 = [](float v) { return v * 1.5f; };
  // 22.5 -> 22; 22 + 61.5 = 83.5 -> 84; the rest reaches 200.
  EXPECT_EQ(app::PanelRightEdges(widths, 200, times1_5), (std::vector<int>{22, 84, 200}));
}

TEST(PanelEdgesTest, BarNarrowerThanFixedPanelsKeepsOrder) {
  const int32_t widths[] = {60, 50, 0};
  const auto edges = app::PanelRightEdges(widths, 80, Identity);
  EXPECT_EQ(edges[0], 60);
  EXPECT_EQ(edges[1], 110);
  EXPECT_EQ(edges[2], 111);  // what is left is at least one pixel
  EXPECT_TRUE(app::PanelRightEdges({}, 300, Identity).empty());
}

TEST(AppInfoTest, SplitsModulePathAfterLastSeparator) {
  std::wstring folder, name;
  app::SplitModulePath(L"C:\\Program Files\\翎图匠\\翎图匠助手.exe", folder, name);
  EXPECT_EQ(folder, L"C:\\Program Files\\翎图匠\\");
  EXPECT_EQ(name, L"翎图匠助手.exe");
  app::SplitModulePath(L"Z:/tmp/a.exe", folder, name);
  EXPECT_EQ(folder, L"Z:/tmp/");
  EXPECT_EQ(name, L"a.exe");
  app::SplitModulePath(L"C:a.exe", folder, name);
  EXPECT_EQ(folder, L"C:");
  EXPECT_EQ(name, L"a.exe");
  app::SplitModulePath(L"a.exe", folder, name);
  EXPECT_EQ(folder, L"");
  EXPECT_EQ(name, L"a.exe");
}

TEST(AppInfoTest, FilledFromTheRunningModule) {
  app::FillAppInfo();
  const app::AppInfo& info = app::TheAppInfo();
  EXPECT_EQ(info.ProductName, L"翎图匠助手");
  EXPECT_EQ(info.FileDescription, L"翎图匠安装及更新");
  EXPECT_EQ(info.ExeName, L"test_app.exe");
  EXPECT_EQ(info.Path.back(), L'\\');
  EXPECT_EQ(info.Instance, GetModuleHandleW(nullptr));
  EXPECT_EQ(info.FileVersion, (std::array<uint32_t, 4>{1, 0, 8, 0}));
}

TEST(MissingControlsTest, OperationsOnAMissingControlDoNothing) {
  // The main window runs on without a tab control or status bar that could not be created.
  EXPECT_EQ(app::AddTab(nullptr, L"插件管理", 0, -1), -1);
  app::BindPage(nullptr, 0, nullptr);
  EXPECT_EQ(app::PageOf(nullptr, 0), nullptr);
  app::FitPages(nullptr);
  EXPECT_EQ(app::AddPanel(nullptr, L"\t", L"", 0, 60, L""), -1);
  app::AddPanels(nullptr, std::array{app::PanelSpec{L"\t", 60}});
  app::SetPanelText(nullptr, 1, L"1.0.9");
  app::LayoutPanels(nullptr);
}

}  // namespace
