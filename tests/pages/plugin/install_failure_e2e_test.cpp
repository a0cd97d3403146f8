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

// The most the assistant's working set may reach, whatever a server or an archive sends.
constexpr uint64_t kMaxPeakWorkingSet = 100 << 20;

struct BrokenDownload {
  const char* what;
  std::function<bool()> serve;  // sets the update server up
  const wchar_t* message;
};

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

  // Installs from each broken download in turn: each ends with its message, changing nothing,
  // and the assistant's memory stays small throughout.
  void ExpectEachEndsUnchanged(const std::vector<BrokenDownload>& cases, DWORD timeoutMs = 15000) {
    for (const BrokenDownload& broken : cases) {
      SCOPED_TRACE(broken.what);
      ASSERT_TRUE(testsupport::UpdateServer::Reset());
      ASSERT_TRUE(broken.serve());
      ::DeleteFileW(TempArchive().c_str());

      ExpectInstallEndsWith(broken.message, true, timeoutMs);
      ExpectIdle();
      ExpectPluginFolderUnchanged();
      EXPECT_FALSE(Exists(TempArchive()));
      EXPECT_FALSE(Exists(profile_ + L"\\AppData\\Roaming\\escaped.rb"));
    }
    EXPECT_LT(app_.process.PeakWorkingSet(), kMaxPeakWorkingSet);
  }

  std::map<std::wstring, std::string> before_;
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

  const std::vector<BrokenDownload> cases = {
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
  ExpectEachEndsUnchanged(cases);
  ExpectNextClickInstalls();
}

// A download stops at the archive bound: a longer announced length before the body is read, an
// endless body where it passes the bound (lowered to 96 MiB so that the test need not write a
// gigabyte). The body is never held in memory, and the server sees the connection dropped.
TEST_F(InstallFailureTest, ADownloadOverTheBoundStopsThere) {
  SetUpInstalledPlugin();
  const testsupport::RouteOptions endless{
      .omitContentLength = true, .chunkSize = 1 << 16, .endless = true};
  auto announcing = [&](const char* length) {
    return [=] {
      testsupport::RouteOptions options = endless;
      options.extraHeaders = {std::string("Content-Length: ") + length};
      return Serve("PK\x03\x04", options);
    };
  };
  Launch();
  ExpectEachEndsUnchanged({{"1 GiB and a byte", announcing("1073741825"), kDownloadFailed},
                           {"beyond 32 bits", announcing("5368709120"), kDownloadFailed}});

  ASSERT_TRUE(testsupport::RequestClose(app_.window));
  Launch(L"", {{L"LINGTU_TEST_MAX_ARCHIVE_BYTES", std::to_wstring(96 << 20)}});
  ExpectEachEndsUnchanged(
      {{"endless", [&] { return Serve("PK\x03\x04", endless); }, kDownloadFailed}}, 120000);
  EXPECT_TRUE(testsupport::WaitUntil([] {
    return testsupport::UpdateServer::LastEnd() == "dropped";
  })) << "the server is still sending";
  ExpectNextClickInstalls();
}

// An archive that would expand too far is refused before anything is written (its entries
// declare more than 4 GiB together), or as soon as an entry makes more than it declares.
TEST_F(InstallFailureTest, AnArchiveThatWouldExpandTooFarIsNotInstalled) {
  SetUpInstalledPlugin();
  testsupport::ZipBuilder huge, deflated, stored;
  huge.Add("Brindo.rb", "marker");
  for (char part : {'1', '2', '3'})
    huge.Add(std::string("Brindo/") + part, "", testsupport::kZipDeflated, 1536u << 20);
  const std::string zeros(4 << 20, '\0');
  deflated.Add("Brindo.rb", "marker").Add("Brindo/zeros", zeros, testsupport::kZipDeflated, 4096);
  stored.Add("Brindo.rb", "marker").Add("Brindo/zeros", zeros, testsupport::kZipStored, 4096);
  Launch();
  ExpectEachEndsUnchanged(
      {{"4.5 GiB declared", [&] { return Serve(huge.Build().bytes); }, kInstallFailed},
       {"deflated past its size", [&] { return Serve(deflated.Build().bytes); }, kInstallFailed},
       {"stored past its size", [&] { return Serve(stored.Build().bytes); }, kInstallFailed}});
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
