#include "environment/environment_report.h"

#include <gtest/gtest.h>

namespace environment {
namespace {

constexpr wchar_t kChineseFolderItem[] = L"、草图大师所在路径包含中文文件夹，请重新安装\r\n\r\n";
constexpr wchar_t kChineseNameItem[] =
    L"、计算机用户名有中文，请勿安装到插件目录1(助手安装会自动判断)\r\n\r\n";
constexpr wchar_t kUserFolderItem[] =
    L"、计算机用户名有中文，插件目录1已装翎图匠，需卸载并装至插件目录2\r\n\r\n";
constexpr wchar_t kTwiceItem[] =
    L"、两个插件目录都装有翎图匠，将导致无法加载，请卸载并重新安装\r\n\r\n";
constexpr wchar_t kOldVersionItem[] =
    L"、当前草图版本过低，可能不兼容，建议草图大师2017以上版本\r\n\r\n";

// A healthy setup: ASCII everywhere, nothing installed, a recent version.
EnvironmentFacts Healthy() {
  return {L"C:\\Program Files\\SketchUp\\SketchUp 2021\\", L"alice", false, false, 2021};
}

TEST(EnvironmentReport, NothingWrongGivesAnEmptyReport) {
  EXPECT_EQ(EnvironmentReport(Healthy()), L"");

  EnvironmentFacts installedOnce = Healthy();
  installedOnce.pluginInUserFolder = true;  // folder 1 is right for an ASCII name
  EXPECT_EQ(EnvironmentReport(installedOnce), L"");
  installedOnce = Healthy();
  installedOnce.pluginInSharedFolder = true;
  EXPECT_EQ(EnvironmentReport(installedOnce), L"");
}

TEST(EnvironmentReport, EveryRuleAtOnceIsNumberedOneToFiveInOrder) {
  const EnvironmentFacts facts{L"D:\\草图大师\\", L"张三", true, true, 2016};
  EXPECT_EQ(EnvironmentReport(facts),
            L"1、草图大师所在路径包含中文文件夹，请重新安装\r\n\r\n"
            L"2、计算机用户名有中文，请勿安装到插件目录1(助手安装会自动判断)\r\n\r\n"
            L"3、计算机用户名有中文，插件目录1已装翎图匠，需卸载并装至插件目录2\r\n\r\n"
            L"4、两个插件目录都装有翎图匠，将导致无法加载，请卸载并重新安装\r\n\r\n"
            L"5、当前草图版本过低，可能不兼容，建议草图大师2017以上版本\r\n\r\n");
}

TEST(EnvironmentReport, EachRuleAloneIsItemOne) {
  EnvironmentFacts chineseFolder = Healthy();
  chineseFolder.installFolder = L"C:\\软件\\SketchUp 2021\\";
  EXPECT_EQ(EnvironmentReport(chineseFolder), std::wstring(L"1") + kChineseFolderItem);

  EnvironmentFacts chineseName = Healthy();
  chineseName.loginName = L"bob王";
  EXPECT_EQ(EnvironmentReport(chineseName), std::wstring(L"1") + kChineseNameItem);

  EnvironmentFacts twice = Healthy();
  twice.pluginInUserFolder = twice.pluginInSharedFolder = true;
  EXPECT_EQ(EnvironmentReport(twice), std::wstring(L"1") + kTwiceItem);

  EnvironmentFacts old = Healthy();
  old.versionYear = 2017;
  EXPECT_EQ(EnvironmentReport(old), std::wstring(L"1") + kOldVersionItem);
}

TEST(EnvironmentReport, NumbersHaveNoGapsForRulesThatDoNotApply) {
  EnvironmentFacts facts = Healthy();
  facts.installFolder = L"C:\\草图\\";
  facts.versionYear = 0;  // an entry without a year
  EXPECT_EQ(EnvironmentReport(facts),
            std::wstring(L"1") + kChineseFolderItem + L"2" + kOldVersionItem);
}

TEST(EnvironmentReport, ChineseNameWithPluginInUserFolderAddsBothNameRules) {
  EnvironmentFacts facts = Healthy();
  facts.loginName = L"张三";
  facts.pluginInUserFolder = true;
  EXPECT_EQ(EnvironmentReport(facts),
            std::wstring(L"1") + kChineseNameItem + L"2" + kUserFolderItem);

  facts.versionYear = 2015;
  EXPECT_EQ(EnvironmentReport(facts), std::wstring(L"1") + kChineseNameItem + L"2" +
                                          kUserFolderItem + L"3" + kOldVersionItem);

  // The shared folder is where a Chinese name's plug-in belongs: no third rule.
  facts = Healthy();
  facts.loginName = L"张三";
  facts.pluginInSharedFolder = true;
  EXPECT_EQ(EnvironmentReport(facts), std::wstring(L"1") + kChineseNameItem);
}

TEST(EnvironmentReport, YearBoundaryIs2018) {
  EnvironmentFacts facts = Healthy();
  facts.versionYear = 2018;
  EXPECT_EQ(EnvironmentReport(facts), L"");
  facts.versionYear = 2017;
  EXPECT_NE(EnvironmentReport(facts), L"");
  facts.versionYear = -2021;  // a sign among the last four characters
  EXPECT_NE(EnvironmentReport(facts), L"");
}

TEST(EnvironmentReport, OnlyCharactersBeyondLatin1CountAsChinese) {
  EnvironmentFacts latin1 = Healthy();
  latin1.loginName = L"José Müller";
  latin1.installFolder = L"C:\\Programme\\Entwürfe\\";
  EXPECT_EQ(EnvironmentReport(latin1), L"");

  EnvironmentFacts cyrillic = Healthy();
  cyrillic.loginName = L"Иван";
  EXPECT_EQ(EnvironmentReport(cyrillic), std::wstring(L"1") + kChineseNameItem);

  // Unreadable facts are empty texts, which contain nothing Chinese.
  EnvironmentFacts unreadable = Healthy();
  unreadable.installFolder.clear();
  unreadable.loginName.clear();
  EXPECT_EQ(EnvironmentReport(unreadable), L"");
}

}  // namespace
}  // namespace environment
