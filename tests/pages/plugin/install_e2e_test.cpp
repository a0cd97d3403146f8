// Installing the plug-in from the first page: the road from the click to "安装成功！", what the
// page shows on the way, and the checks that refuse a click.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "plugin_page_session.h"

namespace plugin_test {
namespace {

constexpr wchar_t kInstalled[] = L"安装成功！";

// A download slow enough to watch: about 60 chunks, 15 ms apart.
testsupport::RouteOptions Slowly(bool withLength = true) {
  testsupport::RouteOptions options;
  options.omitContentLength = !withLength;
  options.chunkSize = 4096;
  options.chunkDelayMs = 15;
  return options;
}

// A download that lasts several seconds (64 chunks, 100 ms apart): time enough to act on the
// page while it runs, even on a busy machine.
testsupport::RouteOptions VerySlowly() {
  testsupport::RouteOptions options;
  options.chunkSize = 4096;
  options.chunkDelayMs = 100;
  return options;
}
constexpr size_t kVerySlowPadding = 256 * 1024;

// Reads the bar while the download runs, until the result box appears.
struct BarWatch {
  std::vector<int> positions;  // while the bar was visible
  bool labelShowedText = false;
  std::optional<testsupport::MessageBoxInfo> result;
};

class InstallTest : public PluginPageTest {
 protected:
  BarWatch ClickAndWatch() {
    BarWatch watch;
    if (!testsupport::Click(Button(kInstallId))) return watch;
    const DWORD deadline = ::GetTickCount() + 20000;
    while (!watch.result && ::GetTickCount() < deadline) {
      if (testsupport::IsVisible(progress_)) {
        watch.positions.push_back(ProgressPosition());
        if (!watch.labelShowedText) watch.labelShowedText = Label1ShowsText();
      }
      watch.result = testsupport::WaitForMessageBox(Pid(), 10);
    }
    return watch;
  }
};

TEST_F(InstallTest, FirstInstallForAnAsciiNameCreatesPluginFolder1AndShowsProgress) {
  AddVersion(L"SketchUp 2021");
  const PluginFiles plugin = NewPlugin(240 * 1024);
  ASSERT_TRUE(Serve(plugin.Zip().bytes, Slowly()));
  Launch();
  ASSERT_FALSE(Exists(profile_ + L"\\AppData\\Roaming\\SketchUp"));
  EXPECT_FALSE(testsupport::IsVisible(progress_));
  EXPECT_EQ(30, ProgressPosition());

  BarWatch watch = ClickAndWatch();
  ExpectBox(watch.result, kInstalled);
  // The bar moved through the middle and never went back.
  ASSERT_FALSE(watch.positions.empty());
  EXPECT_TRUE(std::is_sorted(watch.positions.begin(), watch.positions.end()));
  EXPECT_TRUE(std::any_of(watch.positions.begin(), watch.positions.end(),
                          [](int p) { return p > 10 && p < 90; }));
  EXPECT_TRUE(watch.labelShowedText) << "Label1 was empty during the download";
  // While the result is shown, the bar stays at its last position.
  EXPECT_TRUE(testsupport::IsVisible(progress_));
  EXPECT_EQ(100, ProgressPosition());
  ASSERT_TRUE(watch.result && testsupport::Answer(*watch.result, IDOK));

  ExpectIdle();
  ExpectInstalled(PluginFolder1(L"SketchUp 2021"), plugin);
  EXPECT_FALSE(Exists(programData_ + L"\\SketchUp"));
  EXPECT_FALSE(Exists(TempArchive())) << "the downloaded archive was left behind";

  const auto requests = testsupport::UpdateServer::Requests();
  const auto archive = std::find_if(requests.begin(), requests.end(),
                                    [](const auto& r) { return r.target == kArchiveTarget; });
  ASSERT_NE(archive, requests.end());
  EXPECT_EQ("GET", archive->method);
  EXPECT_EQ("HTTP/1.1", archive->version);
  EXPECT_FALSE(archive->HasHeader("Range"));
}

TEST_F(InstallTest, WithoutContentLengthTheBarStaysAtItsLowestPosition) {
  AddVersion(L"SketchUp 2021");
  const PluginFiles plugin = NewPlugin(160 * 1024);
  ASSERT_TRUE(Serve(plugin.Zip().bytes, Slowly(false)));
  Launch();

  BarWatch watch = ClickAndWatch();
  ExpectBox(watch.result, kInstalled);
  ASSERT_GT(watch.positions.size(), 5u) << "the bar was hardly seen";
  EXPECT_TRUE(
      std::all_of(watch.positions.begin(), watch.positions.end(), [](int p) { return p == 1; }));
  ASSERT_TRUE(watch.result && testsupport::Answer(*watch.result, IDOK));
  ExpectIdle();
  ExpectInstalled(PluginFolder1(L"SketchUp 2021"), plugin);
}

TEST_F(InstallTest, AChineseLogOnNameInstallsIntoTheSharedPluginFolder) {
  // Started under another log-on name, the assistant works on the prefix's own folders.
  const std::wstring shared = PrefixFolder(L"ALLUSERSPROFILE") + L"\\SketchUp";
  const std::wstring ownProfile = PrefixFolder(L"APPDATA") + L"\\SketchUp";
  RemovedAtEnd sharedCleanup(shared), profileCleanup(ownProfile);
  ASSERT_FALSE(sharedCleanup.Existed() || profileCleanup.Existed())
      << "SketchUp folders in the prefix itself: a test left them behind";
  AddVersion(L"SketchUp 2022");
  const PluginFiles plugin = NewPlugin();
  ASSERT_TRUE(Serve(plugin.Zip().bytes));
  Launch(L"张三");

  ExpectInstallEndsWith(kInstalled);
  ExpectIdle();
  ExpectInstalled(shared + L"\\SketchUp 2022\\SketchUp\\Plugins", plugin);
  EXPECT_FALSE(Exists(ownProfile));
}

TEST_F(InstallTest, ReinstallAsksFirstAndReplacesOnlyTheFilesItBrings) {
  AddVersion(L"SketchUp 2021");
  const std::wstring folder = PluginFolder1(L"SketchUp 2021");
  PluginFiles old{{{L"Brindo.rb", "old marker"},
                   {L"Brindo\\main.rb", "old main"},
                   {L"Brindo\\retired.rb", "only in the old version"}}};
  PutPlugin(folder, old);
  ASSERT_TRUE(testsupport::WriteFileBytes(folder + L"\\other_plugin.rb", "someone else's"));
  const PluginFiles plugin = NewPlugin();
  ASSERT_TRUE(Serve(plugin.Zip().bytes));
  Launch();
  const auto before = Snapshot(folder);

  // Cancel: nothing is fetched, no temporary archive is made, the page stays Idle.
  auto box = ClickForBox(kInstallId);
  ExpectBox(box, L"检测到当前版本已安装翎图匠，需要覆盖安装吗？", true);
  ASSERT_TRUE(box && testsupport::Answer(*box, IDCANCEL));
  EXPECT_TRUE(testsupport::ExpectNoMessageBox(Pid(), 500));
  ExpectIdle();
  EXPECT_EQ(0u, ArchiveRequests());
  EXPECT_FALSE(Exists(TempArchive()));
  EXPECT_EQ(Snapshot(folder), before);

  // OK: the new files replace the old ones of the same names; the others stay.
  ExpectInstallEndsWith(kInstalled, true);
  ExpectIdle();
  auto expected = plugin.files;
  expected[L"Brindo\\retired.rb"] = "only in the old version";
  expected[L"other_plugin.rb"] = "someone else's";
  EXPECT_EQ(Snapshot(folder), TreeOf(expected));
}

TEST_F(InstallTest, ChecksRefuseInTheirOrder) {
  // Nothing listed: that is said first, even while SketchUp runs.
  testsupport::Process sketchUp = testsupport::LaunchStandinAs(L"SketchUp.exe");
  ASSERT_TRUE(sketchUp.IsRunning());
  ASSERT_TRUE(Serve(NewPlugin().Zip().bytes));
  Launch();
  ASSERT_EQ(0, testsupport::ListCount(list_)) << "another test left a SketchUp version behind";
  ExpectClickShows(kInstallId, L"未检测到已安装的草图大师，请先安装草图大师！");
  testsupport::RequestClose(app_.window);
  app_.process.WaitForExit();

  AddVersion(L"SketchUp 2021");
  Launch();
  // Nothing selected comes before SketchUp running.
  testsupport::SendWithin(list_, LB_SETCURSEL, static_cast<WPARAM>(-1));
  ExpectClickShows(kInstallId, L"请选择要操作的草图版本！");
  ASSERT_TRUE(testsupport::SelectAsUser(list_, 0));
  ExpectClickShows(kInstallId, L"请先退出草图大师后再操作！");
  sketchUp.Kill();

  ExpectIdle();
  EXPECT_EQ(0u, ArchiveRequests());
  EXPECT_FALSE(Exists(TempArchive()));
  EXPECT_FALSE(Exists(PluginFolder1(L"SketchUp 2021")));
  ExpectInstallEndsWith(kInstalled);
}

TEST_F(InstallTest, ASecondClickWhileDownloadingIsRefusedAndTheFirstGoesOn) {
  AddVersion(L"SketchUp 2021");
  const PluginFiles plugin = NewPlugin(kVerySlowPadding);
  ASSERT_TRUE(Serve(plugin.Zip().bytes, VerySlowly()));
  Launch();

  ASSERT_TRUE(testsupport::Click(Button(kInstallId)));
  ASSERT_TRUE(testsupport::WaitUntil([&] { return testsupport::IsVisible(progress_); }));
  // The downloading check comes before every other, SketchUp running included.
  testsupport::Process sketchUp = testsupport::LaunchStandinAs(L"SketchUp.exe");
  ExpectClickShows(kInstallId, L"正在下载文件，请等待操作完成！");
  sketchUp.Kill();

  const auto box = testsupport::WaitForMessageBox(Pid(), 15000);
  ExpectBox(box, kInstalled);
  ASSERT_TRUE(box && testsupport::Answer(*box, IDOK));
  ExpectIdle();
  EXPECT_EQ(1u, ArchiveRequests());
  ExpectInstalled(PluginFolder1(L"SketchUp 2021"), plugin);
}

TEST_F(InstallTest, ATemporaryArchiveThatCannotBeCreatedIsReported) {
  AddVersion(L"SketchUp 2021");
  ASSERT_TRUE(Serve(NewPlugin().Zip().bytes));
  ASSERT_TRUE(MakeFolders(TempArchive()));  // a folder where the file should go
  Launch();

  ExpectClickShows(kInstallId, L"创建文件失败，请尝试以管理员身份运行本程序！");
  ExpectIdle();
  EXPECT_EQ(0u, ArchiveRequests());
  EXPECT_FALSE(Exists(PluginFolder1(L"SketchUp 2021")));
}

TEST_F(InstallTest, AnEarlierTemporaryArchiveIsReplaced) {
  AddVersion(L"SketchUp 2021");
  const PluginFiles plugin = NewPlugin();
  ASSERT_TRUE(Serve(plugin.Zip().bytes));
  ASSERT_TRUE(testsupport::WriteFileBytes(TempArchive(), std::string(300000, 'x')));
  Launch();

  ExpectInstallEndsWith(kInstalled);
  ExpectInstalled(PluginFolder1(L"SketchUp 2021"), plugin);
  EXPECT_FALSE(Exists(TempArchive()));
}

TEST_F(InstallTest, ThePluginGoesToTheVersionSelectedWhenTheClickWasAccepted) {
  AddVersion(L"SketchUp 2021");
  AddVersion(L"SketchUp 2022");
  const PluginFiles plugin = NewPlugin(kVerySlowPadding);
  ASSERT_TRUE(Serve(plugin.Zip().bytes, VerySlowly()));
  Launch();
  ASSERT_TRUE(Choose(L"SketchUp 2021"));

  ASSERT_TRUE(testsupport::Click(Button(kInstallId)));
  ASSERT_TRUE(testsupport::WaitUntil([&] { return testsupport::IsVisible(progress_); }));
  ASSERT_TRUE(Choose(L"SketchUp 2022"));
  ASSERT_FALSE(testsupport::WaitForMessageBox(Pid(), 0))
      << "the download ended before the selection changed";
  const auto box = testsupport::WaitForMessageBox(Pid(), 15000);
  ExpectBox(box, kInstalled);
  ASSERT_TRUE(box && testsupport::Answer(*box, IDOK));

  ExpectInstalled(PluginFolder1(L"SketchUp 2021"), plugin);
  EXPECT_FALSE(Exists(PluginFolder1(L"SketchUp 2022")));
}

TEST_F(InstallTest, TheSelectionIsMirroredOnTheUtilitiesPage) {
  AddVersion(L"SketchUp 2020");
  AddVersion(L"SketchUp 2021");
  AddVersion(L"SketchUp 2022");
  Launch();
  HWND utilities = testsupport::FindDescendant(app_.window, L"翎图匠助手_Form3");
  ASSERT_TRUE(utilities);
  HWND utilitiesList = testsupport::ChildById(utilities, kUtilitiesListId);

  EXPECT_EQ(0, testsupport::ListSelectedIndex(list_));
  EXPECT_EQ(0, testsupport::ListSelectedIndex(utilitiesList));
  ASSERT_TRUE(Choose(L"SketchUp 2022"));
  EXPECT_EQ(2, testsupport::ListSelectedIndex(utilitiesList));
  ASSERT_TRUE(Choose(L"SketchUp 2020"));
  EXPECT_EQ(0, testsupport::ListSelectedIndex(utilitiesList));
}

// The window's download goes on after a break as a command run's does.
TEST_F(InstallTest, ABrokenDownloadGoesOnFromWhereItBroke) {
  AddVersion(L"SketchUp 2021");
  const PluginFiles plugin = NewPlugin(240 * 1024);
  const std::string zip = plugin.Zip().bytes;
  ASSERT_TRUE(Serve(zip, {.ranges = true,
                          .cutOnce = static_cast<int64_t>(zip.size() / 3),
                          .extraHeaders = {"Last-Modified: Wed, 09 Dec 2026 08:00:00 GMT"}}));
  Launch();
  ExpectInstallEndsWith(kInstalled);
  ExpectInstalled(PluginFolder1(L"SketchUp 2021"), plugin);
  EXPECT_EQ(ArchiveRequests(), 2u);
  EXPECT_FALSE(Exists(TempArchive()));
}

}  // namespace
}  // namespace plugin_test
