// Updates through the proxy configured in Windows: a build whose server name does not resolve
// reaches the update server only through the proxy (nginx, started by run_e2e.sh, which also
// puts the prefix's proxy settings back afterwards).
#include <gtest/gtest.h>

#include "app/form1_ids.h"
#include "pages/plugin/plugin_page_session.h"

namespace plugin_test {
namespace {

// Points the prefix's Internet Settings at `server` (empty: no proxy).
void UseProxy(const std::wstring& server) {
  constexpr wchar_t kKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
  const DWORD on = server.empty() ? 0 : 1;
  ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"ProxyEnable", REG_DWORD, &on, sizeof on),
            ERROR_SUCCESS);
  ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"ProxyServer", REG_SZ, server.c_str(),
                              static_cast<DWORD>((server.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
}

class ProxyUpdateTest : public PluginPageTest {
 protected:
  const std::wstring unresolved_ = testsupport::WindowsPathFromUnix(LINGTU_UNRESOLVED_APP_EXE);

  std::vector<testsupport::EnvChange> Folders() const {
    return {{L"USERPROFILE", profile_},
            {L"APPDATA", profile_ + L"\\AppData\\Roaming"},
            {L"ALLUSERSPROFILE", programData_},
            {L"TEMP", temp_},
            {L"TMP", temp_}};
  }
  int64_t Run(const std::wstring& exe) const {
    const auto code = testsupport::RunToExit(exe, {L"/install"}, Folders());
    return code ? static_cast<int64_t>(*code) : -1;
  }
  // The window of the build whose server name does not resolve; the first line selected.
  void LaunchUnresolved() {
    app_.process = testsupport::LaunchProcess(unresolved_, {}, Folders());
    app_.window = testsupport::WaitForWindow(testsupport::kMainWindowClass, std::nullopt, Pid());
    ASSERT_TRUE(app_.window);
    page_ = testsupport::FindDescendant(app_.window, L"翎图匠助手_Form2");
    list_ = testsupport::ChildById(page_, kListId);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return testsupport::ListCount(list_) > 0; }));
  }
};

TEST_F(ProxyUpdateTest, AServerOnlyTheSystemProxyReachesIsReachedThroughIt) {
  AddVersion(L"SketchUp 2021");
  const std::wstring folder = PluginFolder1(L"SketchUp 2021");
  const PluginFiles plugin = NewPlugin(100000);
  ASSERT_TRUE(Serve(plugin.Zip().bytes));

  UseProxy(L"");
  const ULONGLONG start = ::GetTickCount64();
  EXPECT_EQ(Run(unresolved_), 4) << "no proxy: a failed download";
  EXPECT_LT(::GetTickCount64() - start, 30000u) << "and no hang";
  EXPECT_FALSE(Exists(folder) || Exists(TempArchive()));

  UseProxy(L"127.0.0.1:9");  // down: the direct road still works
  EXPECT_EQ(Run(testsupport::AppExePath()), 0);
  ExpectInstalled(folder, plugin);

  UseProxy(L"127.0.0.1:" + std::to_wstring(LINGTU_PROXY_PORT));
  const PluginFiles next = NewPlugin(90000);
  ASSERT_TRUE(Serve(next.Zip().bytes));
  EXPECT_EQ(Run(unresolved_), 0);
  ExpectInstalled(folder, next);
  ASSERT_TRUE(Serve(plugin.Zip().bytes));
  LaunchUnresolved();
  const HWND status = testsupport::ChildById(app_.window, app::id::kStatusBar);
  EXPECT_TRUE(testsupport::WaitUntil([&] { return testsupport::PanelText(status, 1) == L"1.0.9"; }))
      << "the version check did not come through the proxy";
  ExpectInstallEndsWith(L"安装成功！", true);
  ExpectInstalled(folder, plugin);
}

TEST_F(ProxyUpdateTest, AProxyThatAsksForCredentialsIsToldAsSuch) {
  AddVersion(L"SketchUp 2021");
  // The update server stands in for a proxy that wants a password.
  UseProxy(L"127.0.0.1:" + std::to_wstring(testsupport::UpdateServer::Port()));
  ASSERT_TRUE(testsupport::UpdateServer::SetRoute(
      std::string("http://") + LINGTU_UNRESOLVED_HOST + kArchiveTarget, "",
      {.status = 407, .extraHeaders = {"Proxy-Authenticate: Basic realm=\"p\""}}));
  EXPECT_EQ(Run(unresolved_), 4);
  LaunchUnresolved();
  ExpectInstallEndsWith(L"代理服务器要求身份验证，请联系网络管理员！");
  EXPECT_FALSE(Exists(PluginFolder1(L"SketchUp 2021")) || Exists(TempArchive()));
}

}  // namespace
}  // namespace plugin_test
