// The environment check as a person sees it: one information box per click, for the version
// chosen in the list, under ASCII and Chinese log-on names.
#include <gtest/gtest.h>

#include "utilities_session.h"

namespace utilities_test {
namespace {

constexpr wchar_t kFine[] = L"安装环境正常！";
constexpr wchar_t kChineseFolder[] = L"、草图大师所在路径包含中文文件夹，请重新安装\r\n\r\n";
constexpr wchar_t kChineseName[] =
    L"、计算机用户名有中文，请勿安装到插件目录1(助手安装会自动判断)\r\n\r\n";
constexpr wchar_t kUserFolder[] =
    L"、计算机用户名有中文，插件目录1已装翎图匠，需卸载并装至插件目录2\r\n\r\n";
constexpr wchar_t kTwice[] =
    L"、两个插件目录都装有翎图匠，将导致无法加载，请卸载并重新安装\r\n\r\n";
constexpr wchar_t kOld[] = L"、当前草图版本过低，可能不兼容，建议草图大师2017以上版本\r\n\r\n";

std::wstring Items(std::initializer_list<const wchar_t*> texts) {
  std::wstring report;
  int number = 0;
  for (const wchar_t* text : texts) report += std::to_wstring(++number) + text;
  return report;
}

class EnvironmentCheckTest : public UtilitiesPageTest {
 protected:
  // The same five versions for every log-on name: years 2017, 2018 and none, and one
  // installed below a folder with a Chinese name.
  void LaunchAs(const std::wstring& user) {
    SetLogOnName(user);
    AddVersion(L"SketchUp 2017");
    AddVersion(L"SketchUp 2018");
    AddVersion(L"SketchUp Make");
    AddVersion(L"SketchUp 2021", L"草图大师");
    AddVersion(L"SketchUp 2022");
    ASSERT_TRUE(PutPlugin(PluginFolder1(L"SketchUp 2017")));
    ASSERT_TRUE(PutPlugin(PluginFolder1(L"SketchUp Make")));
    ASSERT_TRUE(PutPlugin(PluginFolder2(L"SketchUp Make")));
    ASSERT_TRUE(PutPlugin(PluginFolder1(L"SketchUp 2022")));
    ASSERT_TRUE(PutPlugin(PluginFolder2(L"SketchUp 2022")));
    Launch();
  }

  void ExpectReport(const std::wstring& version, const std::wstring& report) {
    SCOPED_TRACE(base::WideToUtf8(version));
    ASSERT_TRUE(Choose(version));
    ExpectClickShows(kEnvironmentCheckId, report, /*withIcon=*/true);
  }
};

TEST_F(EnvironmentCheckTest, AsciiLogOnName) {
  LaunchAs(L"alice");
  ExpectReport(L"SketchUp 2018", kFine);
  ExpectReport(L"SketchUp 2017", Items({kOld}));
  ExpectReport(L"SketchUp Make", Items({kTwice, kOld}));
  ExpectReport(L"SketchUp 2021", Items({kChineseFolder}));
  ExpectReport(L"SketchUp 2022", Items({kTwice}));
}

TEST_F(EnvironmentCheckTest, ChineseLogOnName) {
  LaunchAs(L"张三");
  ExpectReport(L"SketchUp 2018", Items({kChineseName}));
  ExpectReport(L"SketchUp 2017", Items({kChineseName, kUserFolder, kOld}));
  ExpectReport(L"SketchUp Make", Items({kChineseName, kUserFolder, kTwice, kOld}));
  ExpectReport(L"SketchUp 2021", Items({kChineseFolder, kChineseName}));
  ExpectReport(L"SketchUp 2022", Items({kChineseName, kUserFolder, kTwice}));
}

TEST_F(EnvironmentCheckTest, OneChineseCharacterInALatinNameCounts) {
  LaunchAs(L"li明");
  ExpectReport(L"SketchUp 2018", Items({kChineseName}));
}

TEST_F(EnvironmentCheckTest, SeesAnInstallMadeAfterTheFirstCheck) {
  LaunchAs(L"alice");
  ExpectReport(L"SketchUp 2018", kFine);
  ASSERT_TRUE(PutPlugin(PluginFolder1(L"SketchUp 2018")));
  ASSERT_TRUE(PutPlugin(PluginFolder2(L"SketchUp 2018")));
  ExpectReport(L"SketchUp 2018", Items({kTwice}));
}

}  // namespace
}  // namespace utilities_test
