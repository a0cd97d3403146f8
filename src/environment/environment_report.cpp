#include "environment/environment_report.h"

#include "environment/login_user.h"
#include "environment/plugin_folders.h"
#include "environment/sketchup_install.h"

namespace environment {

namespace {

constexpr int kOldestCompatibleYear = 2018;

constexpr wchar_t kChineseInstallFolder[] = L"、草图大师所在路径包含中文文件夹，请重新安装";
constexpr wchar_t kChineseLoginName[] =
    L"、计算机用户名有中文，请勿安装到插件目录1(助手安装会自动判断)";
constexpr wchar_t kChineseNameWithUserFolder[] =
    L"、计算机用户名有中文，插件目录1已装翎图匠，需卸载并装至插件目录2";
constexpr wchar_t kInstalledTwice[] =
    L"、两个插件目录都装有翎图匠，将导致无法加载，请卸载并重新安装";
constexpr wchar_t kEnvironmentFine[] = L"安装环境正常！";
constexpr wchar_t kVersionTooOld[] = L"、当前草图版本过低，可能不兼容，建议草图大师2017以上版本";

}  // namespace

EnvironmentFacts ReadEnvironmentFacts(const std::wstring& version) {
  EnvironmentFacts facts;
  facts.installFolder = environment::GetInstallLocation(version, false);
  facts.loginName = environment::GetLoginUserName();
  facts.pluginInUserFolder =
      environment::IsPluginInstalled(version, environment::kUserPluginFolder);
  facts.pluginInSharedFolder =
      environment::IsPluginInstalled(version, environment::kSharedPluginFolder);
  facts.versionYear = environment::VersionYear(version);
  return facts;
}

std::wstring EnvironmentReport(const EnvironmentFacts& facts) {
  const bool chineseName = environment::ContainsChinese(facts.loginName);
  const struct {
    bool applies;
    const wchar_t* text;
  } rules[] = {
      {environment::ContainsChinese(facts.installFolder), kChineseInstallFolder},
      {chineseName, kChineseLoginName},
      {chineseName && facts.pluginInUserFolder, kChineseNameWithUserFolder},
      {facts.pluginInUserFolder && facts.pluginInSharedFolder, kInstalledTwice},
      {facts.versionYear < kOldestCompatibleYear, kVersionTooOld},
  };
  std::wstring report;
  int number = 0;
  for (const auto& rule : rules) {
    if (!rule.applies) continue;
    report += std::to_wstring(++number);
    report += rule.text;
    report += L"\r\n\r\n";
  }
  return report;
}

std::wstring EnvironmentCheckText(const EnvironmentFacts& facts) {
  std::wstring report = EnvironmentReport(facts);
  return report.empty() ? kEnvironmentFine : report;
}

}  // namespace environment
