// Downloads and archives that go wrong: each ends with its message, the page Idle again, the
// plug-in folder as it was, and the next click working.
#include <gtest/gtest.h>

#include <functional>

#include "plugin_page_session.h"

namespace plugin_test {
namespace {

constexpr wchar_t kDownloadFailed[] = L"下载失败，请检查网络连接后重试！";
constexpr wchar_t kInstallFailed[] = L"安装失败，请尝试管理员身份运行本程序！";
constexpr wchar_t kInstalled[] = L"安装成功！";
constexpr wchar_t kVersion[] = L"SketchUp 2021";

class InstallFailureTest : public PluginPageTest {
 protected:
  // An earlier version of the plug-in, which a failed update must leave alone.
  void SetUpInstalledPlugin() {
    AddVersion(kVersion);
    PutPlugin(PluginFolder1(kVersion), {{{L"Brindo.rb", "old marker"},
                                         {L"Brindo\\main.rb", "old main"},
                                         {L"Brindo\\retired.rb", "old only"}}});
    before_ = Snapshot(PluginFolder1(kVersion));
  }

  void ExpectPluginFolderUnchanged() { EXPECT_EQ(Snapshot(PluginFolder1(kVersion)), before_); }

  // After a failure: a good archive now installs with one more click.
  void ExpectNextClickInstalls() {
    const PluginFiles plugin = NewPlugin();
    ASSERT_TRUE(testsupport::UpdateServer::Reset());
    ASSERT_TRUE(Serve(plugin.Zip().bytes));
    ExpectInstallEndsWith(kInstalled, true);
    ExpectIdle();
    auto expected = plugin.files;
    expected[L"Brindo\\retired.rb"] = "old only";
    EXPECT_EQ(Snapshot(PluginFolder1(kVersion)), TreeOf(expected));
  }

  std::map<std::wstring, std::string> before_;
};

struct BrokenDownload {
  const char* what;
  std::function<bool()> serve;  // sets the update server up
  const wchar_t* message;
};

TEST_F(InstallFailureTest, EachBrokenDownloadEndsWithItsMessageAndChangesNothing) {
  SetUpInstalledPlugin();
  const std::string good = NewPlugin(64 * 1024).Zip().bytes;

  testsupport::BuiltZip corrupt = NewPlugin(64 * 1024).Zip();
  corrupt.bytes[corrupt.dataOffsets.back() + 100] ^= 0x5A;  // inside the largest entry's data

  testsupport::ZipBuilder hostile;
  hostile.Add("Brindo.rb", "marker").Add("../../../../escaped.rb", "outside");
  testsupport::ZipBuilder markerless;
  markerless.AddFolder("Brindo/").Add("Brindo/main.rb", "module Brindo; end");
  testsupport::RouteOptions notFound;
  notFound.status = 404;
  notFound.contentType = "text/html";
  testsupport::RouteOptions cutShort;
  cutShort.closeAfter = static_cast<int64_t>(good.size() / 2);

  const BrokenDownload cases[] = {
      {"404 page", [&] { return Serve("<html><body>404 Not Found</body></html>", notFound); },
       kDownloadFailed},
      {"500 page that is a zip",
       [&] {
         testsupport::RouteOptions error;
         error.status = 500;
         return Serve(good, error);
       },
       kDownloadFailed},
      {"truncated", [&] { return Serve(good, cutShort); }, kDownloadFailed},
      {"server down", [] { return testsupport::UpdateServer::RefuseConnections(true); },
       kDownloadFailed},
      {"corrupt archive", [&] { return Serve(corrupt.bytes); }, kInstallFailed},
      {"not an archive", [] { return Serve("<html>maintenance</html>"); }, kInstallFailed},
      {"entry outside the folder", [&] { return Serve(hostile.Build().bytes); }, kInstallFailed},
      // Zips, but no plug-in: without its marker nothing would be installed.
      {"no marker", [&] { return Serve(markerless.Build().bytes); }, kInstallFailed},
      {"empty zip", [&] { return Serve(testsupport::ZipBuilder().Build().bytes); }, kInstallFailed},
  };

  Launch();
  for (const BrokenDownload& broken : cases) {
    SCOPED_TRACE(broken.what);
    ASSERT_TRUE(testsupport::UpdateServer::Reset());
    ASSERT_TRUE(broken.serve());
    ::DeleteFileW(TempArchive().c_str());

    ExpectInstallEndsWith(broken.message, true);
    ExpectIdle();
    ExpectPluginFolderUnchanged();
    EXPECT_FALSE(Exists(TempArchive()));
    EXPECT_FALSE(Exists(profile_ + L"\\AppData\\Roaming\\escaped.rb"));
  }
  ExpectNextClickInstalls();
}

TEST_F(InstallFailureTest, AFailedFirstInstallRemovesTheFoldersItMade) {
  AddVersion(kVersion);
  testsupport::BuiltZip corrupt = NewPlugin(64 * 1024).Zip();
  corrupt.bytes[corrupt.dataOffsets.back() + 100] ^= 0x5A;
  ASSERT_TRUE(Serve(corrupt.bytes));
  Launch();
  ExpectInstallEndsWith(kInstallFailed);
  EXPECT_FALSE(Exists(profile_ + L"\\AppData\\Roaming\\SketchUp"));
}

TEST_F(InstallFailureTest, AStalledDownloadEndsAfterTheTimeOut) {
  SetUpInstalledPlugin();
  testsupport::RouteOptions stall;
  stall.stallAfter = 8192;
  ASSERT_TRUE(Serve(NewPlugin(64 * 1024).Zip().bytes, stall));
  Launch();

  const DWORD start = ::GetTickCount();
  const auto box = Install(true, 60000);
  const DWORD elapsed = ::GetTickCount() - start;
  ExpectBox(box, kDownloadFailed);
  EXPECT_GE(elapsed, 15000u) << "gave up before the time-out";
  ASSERT_TRUE(box && testsupport::Answer(*box, IDOK));
  ExpectIdle();
  ExpectPluginFolderUnchanged();
  EXPECT_FALSE(Exists(TempArchive()));
  ExpectNextClickInstalls();
}

}  // namespace
}  // namespace plugin_test
