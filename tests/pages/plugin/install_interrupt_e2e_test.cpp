// Installs that meet the program's end or an uninstall halfway, and installs from a temporary
// folder that the ANSI code page cannot spell: the plug-in folder is always whole afterwards.
#include <gtest/gtest.h>

#include <functional>

#include "plugin_page_session.h"

namespace plugin_test {
namespace {

constexpr wchar_t kVersion[] = L"SketchUp 2021";
constexpr int kTabControlId = 102;
constexpr int kUninstallId = 105;  // on the utilities page

// Many small files: extracting them and moving them into place each take a while (seconds
// here; more files only slow a busy machine down further).
PluginFiles ManyFiles(const std::string& tag) {
  PluginFiles plugin{{{L"Brindo.rb", "marker " + tag}}};
  for (int i = 0; i < 1000; ++i) {
    plugin.files[L"Brindo\\part" + std::to_wstring(i) + L".rb"] = tag + std::to_string(i);
  }
  return plugin;
}

class InstallInterruptTest : public PluginPageTest {
 protected:
  // The hidden staging folder of a running extraction, or empty.
  std::wstring Staging() const {
    WIN32_FIND_DATAW data;
    const std::wstring folder = PluginFolder1(kVersion);
    base::UniqueFind find(::FindFirstFileW((folder + L"\\.unzip-*").c_str(), &data));
    return find ? folder + L"\\" + data.cFileName : std::wstring();
  }

  void StartInstallOver(const PluginFiles& plugin, const testsupport::RouteOptions& how = {}) {
    ASSERT_TRUE(Serve(plugin.Zip().bytes, how));
    Launch();
    const auto box = ClickForBox(kInstallId);
    ASSERT_TRUE(box && testsupport::Answer(*box, IDOK));  // the overwrite question
  }

  void CloseDuringInstall(const PluginFiles& old, const PluginFiles& served, int chunkDelayMs,
                          const std::function<bool()>& reached, const PluginFiles& expected);
};

// Closes the program once `reached` holds during an install of `served` over `old`; the
// plug-in folder must then hold `expected`, whole, and nothing temporary may remain.
void InstallInterruptTest::CloseDuringInstall(const PluginFiles& old, const PluginFiles& served,
                                              int chunkDelayMs,
                                              const std::function<bool()>& reached,
                                              const PluginFiles& expected) {
  AddVersion(kVersion);
  PutPlugin(PluginFolder1(kVersion), old);
  StartInstallOver(served, {.chunkDelayMs = chunkDelayMs});
  ASSERT_TRUE(testsupport::WaitUntil(reached, 30000));
  ASSERT_TRUE(::PostMessageW(app_.window, WM_CLOSE, 0, 0));
  EXPECT_EQ(app_.process.WaitForExit(60000), std::optional<DWORD>(0));
  app_.window = nullptr;
  EXPECT_FALSE(Exists(TempArchive()));
  EXPECT_EQ(Staging(), L"");
  ExpectInstalled(PluginFolder1(kVersion), expected);
}

// Each phase is a test of its own: on a busy machine the three together would come near the
// runner's time-out.
TEST_F(InstallInterruptTest, ClosingWhileDownloadingKeepsTheOldPlugin) {
  const PluginFiles old = ManyFiles("old");
  CloseDuringInstall(
      old, ManyFiles("new"), 200, [&] { return testsupport::IsVisible(progress_); }, old);
}

TEST_F(InstallInterruptTest, ClosingWhileExtractingFinishesTheInstall) {
  const PluginFiles fresh = ManyFiles("new");
  CloseDuringInstall(
      ManyFiles("old"), fresh, 0, [&] { return !Staging().empty(); }, fresh);
}

TEST_F(InstallInterruptTest, ClosingDuringTheFinalMoveFinishesTheInstall) {
  const PluginFiles fresher = ManyFiles("v3");
  CloseDuringInstall(
      ManyFiles("old"), fresher, 0, [&] { return Exists(Staging() + L"\\old-0"); }, fresher);
}

TEST_F(InstallInterruptTest, UninstallIsRefusedWhileAnInstallRuns) {
  AddVersion(kVersion);
  const PluginFiles old = NewPlugin();
  PutPlugin(PluginFolder1(kVersion), old);
  StartInstallOver(NewPlugin(256 * 1024), {.chunkDelayMs = 100});
  ASSERT_TRUE(testsupport::WaitUntil([&] { return testsupport::IsVisible(progress_); }));

  ASSERT_TRUE(testsupport::SelectTabAsUser(testsupport::ChildById(app_.window, kTabControlId), 1));
  HWND utilities = testsupport::FindDescendant(app_.window, L"翎图匠助手_Form3");
  ASSERT_TRUE(testsupport::Click(testsupport::ChildById(utilities, kUninstallId)));
  const auto refusal = testsupport::WaitForMessageBox(Pid());
  ExpectBox(refusal, L"正在下载安装翎图匠，请等待安装完成后再卸载！");
  ASSERT_TRUE(refusal && testsupport::Answer(*refusal, IDOK));
  ExpectInstalled(PluginFolder1(kVersion), old);

  ExpectBox(testsupport::WaitForMessageBox(Pid(), 60000), L"安装成功！");
}

// A profile whose name is Korean: code page 936 has no such letters.
TEST_F(InstallInterruptTest, ATemporaryFolderOutsideTheAnsiCodePageWorks) {
  AddVersion(kVersion);
  temp_ = scratch_ + L"\\임시";
  ASSERT_TRUE(MakeFolders(temp_));
  const PluginFiles plugin = NewPlugin();
  ASSERT_TRUE(Serve(plugin.Zip().bytes));
  Launch();
  ExpectInstallEndsWith(L"安装成功！");
  EXPECT_FALSE(Exists(TempArchive()));
}

}  // namespace
}  // namespace plugin_test
