// The assistant started with arguments, as a deployment tool or a script runs it: no window, no
// question, and an exit code for each outcome.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "pages/plugin/plugin_page_session.h"
#include "support/process.h"

namespace plugin_test {
namespace {

using testsupport::EnvChange;
using testsupport::PluginMarkerExists;

constexpr wchar_t kBusyElsewhere[] = L"另一个翎图匠助手正在安装或卸载翎图匠，请稍后再试！";
constexpr wchar_t kFine[] = L"安装环境正常！";

class CommandRunTest : public PluginPageTest {
 protected:
  // The test's folders, and `more`.
  std::vector<EnvChange> Environment(std::vector<EnvChange> more = {}) const {
    more.insert(more.begin(), {{L"USERPROFILE", profile_},
                               {L"APPDATA", profile_ + L"\\AppData\\Roaming"},
                               {L"ALLUSERSPROFILE", programData_},
                               {L"TEMP", temp_},
                               {L"TMP", temp_}});
    return more;
  }

  // The exit code (-1 when the run did not end in time).
  int64_t Run(const std::vector<std::wstring>& args,
              const std::vector<EnvChange>& more = {}) const {
    const auto code = testsupport::RunToExit(testsupport::AppExePath(), args, Environment(more));
    return code ? static_cast<int64_t>(*code) : -1;
  }

  // The exit code and what the run wrote to its standard output, here a file.
  std::pair<int64_t, std::string> RunWritingTo(const std::vector<std::wstring>& args,
                                               const std::vector<EnvChange>& more = {}) const {
    const std::wstring output = scratch_ + L"\\output.txt";
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    base::UniqueFile file(::CreateFileW(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                                        CREATE_ALWAYS, 0, nullptr));
    const auto code =
        testsupport::LaunchProcess(testsupport::AppExePath(), args,
                                   more.empty() ? std::vector<EnvChange>{} : Environment(more), L"",
                                   file.get())
            .WaitForExit();
    file.reset();
    return {code ? static_cast<int64_t>(*code) : -1, testsupport::ReadBinaryFile(output)};
  }

  std::wstring ArchiveFile(const std::string& bytes) {
    const std::wstring path = scratch_ + L"\\插件.rbz";
    EXPECT_TRUE(testsupport::WriteFileBytes(path, bytes));
    return path;
  }
};

TEST_F(CommandRunTest, TheUsageAndBadArgumentsGoToTheStandardOutput) {
  const auto [usageCode, usage] = RunWritingTo({L"/?"});
  EXPECT_EQ(usageCode, 0);
  EXPECT_NE(usage.find(base::WideToUtf8(L"7  另一个翎图匠助手正在安装或卸载")), std::string::npos)
      << usage;

  const auto [badCode, bad] = RunWritingTo({L"/install", L"/sketchup"});
  EXPECT_EQ(badCode, 1);
  EXPECT_NE(bad.find("/sketchup\r\n"), std::string::npos) << bad;
  EXPECT_NE(bad.find("/install [/sketchup"), std::string::npos) << "no usage after the error";
}

TEST_F(CommandRunTest, InstallReportAndUninstallEveryVersion) {
  AddVersion(L"SketchUp 2021");
  AddVersion(L"SketchUp 2022");
  const PluginFiles plugin = NewPlugin();
  ASSERT_TRUE(Serve(plugin.Zip().bytes));

  EXPECT_EQ(Run({L"/install"}), 0);  // all by default
  ExpectInstalled(PluginFolder1(L"SketchUp 2021"), plugin);
  ExpectInstalled(PluginFolder1(L"SketchUp 2022"), plugin);
  EXPECT_EQ(Run({L"/install", L"/sketchup", L"2022", L"/allusers"}), 0);
  ExpectInstalled(PluginFolder2(L"SketchUp 2022"), plugin);
  EXPECT_FALSE(Exists(PluginFolder2(L"SketchUp 2021")));

  // The environment check of each version, as the window words it.
  const std::wstring report = scratch_ + L"\\报告.txt";
  EXPECT_EQ(Run({L"/report", report, L"/sketchup", L"all"}), 0);
  EXPECT_EQ(
      testsupport::ReadBinaryFile(report),
      "\xEF\xBB\xBF" + base::WideToUtf8(std::wstring(L"SketchUp 2021\r\n") + kFine +
                                        L"\r\n\r\nSketchUp 2022\r\n1、两个插件目录都装有翎图匠，"
                                        L"将导致无法加载，请卸载并重新安装\r\n\r\n"));

  EXPECT_EQ(Run({L"/uninstall", L"/sketchup", L"SketchUp 2022", L"/allusers"}), 0);
  EXPECT_FALSE(PluginMarkerExists(PluginFolder2(L"SketchUp 2022")));
  ExpectInstalled(PluginFolder1(L"SketchUp 2022"), plugin);
  EXPECT_EQ(Run({L"/uninstall"}), 0);
  EXPECT_FALSE(PluginMarkerExists(PluginFolder1(L"SketchUp 2021")));
  EXPECT_FALSE(PluginMarkerExists(PluginFolder1(L"SketchUp 2022")));
  EXPECT_EQ(Run({L"/uninstall"}), 0) << "nothing left to remove is no failure";
}

TEST_F(CommandRunTest, EachFailureHasItsExitCodeAndChangesNothing) {
  const std::wstring report = scratch_ + L"\\report.txt";
  EXPECT_EQ(Run({L"/install"}), 2);
  EXPECT_EQ(Run({L"/report", report}), 2);
  EXPECT_FALSE(Exists(report));

  AddVersion(L"SketchUp 2021");
  const std::wstring folder = PluginFolder1(L"SketchUp 2021");
  EXPECT_EQ(Run({L"/install"}), 4) << "the server has no archive";
  EXPECT_EQ(Run({L"/install", L"/from", scratch_ + L"\\missing.rbz"}), 4);
  EXPECT_EQ(Run({L"/install", L"/from", ArchiveFile(std::string(300000, 'x'))},
                {{L"LINGTU_TEST_MAX_ARCHIVE_BYTES", L"200000"}}),
            4)
      << "a file over the archive bound";
  ASSERT_TRUE(Serve(testsupport::ZipBuilder().Add("readme.txt", "no plug-in").Build().bytes));
  EXPECT_EQ(Run({L"/install"}), 6) << "an archive without the plug-in";
  EXPECT_FALSE(Exists(folder) || Exists(TempArchive()));
  EXPECT_EQ(Run({L"/report", scratch_}), 6) << "a folder in place of the report";

  const PluginFiles plugin = NewPlugin();
  PutPlugin(folder, plugin);
  testsupport::Process sketchUp = testsupport::LaunchStandinAs(L"SketchUp.exe");
  ASSERT_TRUE(sketchUp.IsRunning());
  EXPECT_EQ(Run({L"/uninstall"}), 3);
  EXPECT_EQ(Run({L"/install", L"/from", ArchiveFile(NewPlugin(99).Zip().bytes)}), 3);
  ExpectInstalled(folder, plugin);
}

// A run never reports less than what happened, and never takes what is not its own.
TEST_F(CommandRunTest, OutcomesAreToldAsTheyAreAndNothingElseIsTouched) {
  AddVersion(L"SketchUp 2021");
  AddVersion(L"SketchUp 2022");
  const std::wstring folder = PluginFolder1(L"SketchUp 2021");
  const PluginFiles old = NewPlugin();
  PutPlugin(folder, old);
  const std::wstring archive = ArchiveFile(NewPlugin(99).Zip().bytes);

  // A folder left half old, half new is named, with where the earlier files are.
  const auto [mixedCode, mixed] =
      RunWritingTo({L"/install", L"/from", archive}, {{L"LINGTU_TEST_BREAK_COMMIT", L"1"}});
  EXPECT_EQ(mixedCode, 6);
  const std::string folderText = base::WideToUtf8(folder);
  EXPECT_NE(mixed.find("SketchUp 2021: "), std::string::npos) << mixed;
  EXPECT_NE(mixed.find(folderText + "\r\n"), std::string::npos) << mixed;
  EXPECT_NE(mixed.find(folderText + "\\.unzip-"), std::string::npos) << "where the old files are";
  EXPECT_NE(mixed.find("SketchUp 2022: "), std::string::npos) << "each version on its own line";

  // A report file that cannot be opened stays as it is, even where it could be deleted.
  const std::wstring report = scratch_ + L"\\report.txt";
  ASSERT_TRUE(testsupport::WriteFileBytes(report, "kept"));
  {
    base::UniqueFile held(::CreateFileW(report.c_str(), GENERIC_READ, FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    EXPECT_EQ(Run({L"/report", report}), 6);
  }
  EXPECT_EQ(testsupport::ReadBinaryFile(report), "kept");

  // An object of another kind squatting the install lock's name is another instance, not a
  // reason to fall back to a lock of this session's own.
  {
    base::UniqueKernelHandle squatter(
        ::CreateEventW(nullptr, TRUE, FALSE, L"Global\\翎图匠助手_安装卸载"));
    ASSERT_TRUE(squatter);
    EXPECT_EQ(Run({L"/install", L"/from", archive}), 7);
    EXPECT_EQ(Run({L"/uninstall"}), 7);
  }
}

// SketchUp started while the archive comes in: no folder changes under it.
TEST_F(CommandRunTest, SketchUpStartedDuringTheDownloadKeepsItsPlugin) {
  AddVersion(L"SketchUp 2021");
  const std::wstring folder = PluginFolder1(L"SketchUp 2021");
  const PluginFiles old = NewPlugin();
  PutPlugin(folder, old);
  testsupport::RouteOptions slowly;
  slowly.chunkDelayMs = 100;
  ASSERT_TRUE(Serve(NewPlugin(128 * 1024).Zip().bytes, slowly));
  testsupport::Process run =
      testsupport::LaunchProcess(testsupport::AppExePath(), {L"/install"}, Environment());
  ASSERT_TRUE(testsupport::WaitUntil([] { return ArchiveRequests() > 0; }));
  testsupport::Process sketchUp = testsupport::LaunchStandinAs(L"SketchUp.exe");
  ASSERT_TRUE(sketchUp.IsRunning());
  EXPECT_EQ(run.WaitForExit(), 3u);
  ExpectInstalled(folder, old);
}

TEST_F(CommandRunTest, AllUsersInstallsIntoTheSharedFolderWhateverTheLogOnName) {
  // Under another log-on name the run works on the prefix's own profile and shared folders.
  const std::wstring shared = PrefixFolder(L"ALLUSERSPROFILE") + L"\\SketchUp";
  const std::wstring own = PrefixFolder(L"APPDATA") + L"\\SketchUp";
  RemovedAtEnd sharedCleanup(shared), ownCleanup(own);
  ASSERT_FALSE(sharedCleanup.Existed() || ownCleanup.Existed())
      << "SketchUp folders in the prefix itself: a test left them behind";
  AddVersion(L"SketchUp 2021");
  const PluginFiles plugin = NewPlugin();
  const std::wstring archive = ArchiveFile(plugin.Zip().bytes);
  const std::wstring folder2 = shared + L"\\SketchUp 2021\\SketchUp\\Plugins";

  for (const wchar_t* user : {L"张三", L"person"}) {
    SCOPED_TRACE(base::WideToUtf8(user));
    EXPECT_EQ(Run({L"/install", L"/allusers", L"/from", archive}, {{L"USER", user}}), 0);
    ExpectInstalled(folder2, plugin);
    EXPECT_FALSE(Exists(own));
    EXPECT_EQ(Run({L"/uninstall", L"/allusers"}, {{L"USER", user}}), 0);
    EXPECT_FALSE(PluginMarkerExists(folder2));
  }
}

TEST_F(CommandRunTest, ACommandRunAndTheWindowInstallInTurn) {
  AddVersion(L"SketchUp 2021");
  const PluginFiles plugin = NewPlugin(256 * 1024);
  testsupport::RouteOptions slowly;
  slowly.chunkDelayMs = 100;  // some six seconds
  ASSERT_TRUE(Serve(plugin.Zip().bytes, slowly));
  Launch();

  // The window installs: command runs are turned away meanwhile, and not before or after.
  ASSERT_TRUE(testsupport::Click(Button(kInstallId)));
  ASSERT_TRUE(testsupport::WaitUntil([&] { return testsupport::IsVisible(progress_); }));
  EXPECT_EQ(Run({L"/install"}), 7);
  EXPECT_EQ(Run({L"/uninstall"}), 7);
  const auto box = testsupport::WaitForMessageBox(Pid(), 20000);
  ExpectBox(box, L"安装成功！");
  ASSERT_TRUE(box && testsupport::Answer(*box, IDOK));
  EXPECT_EQ(Run({L"/uninstall"}), 0) << "the open window alone keeps no run out";

  // A command run installs: the window is told and installs nothing of its own.
  testsupport::Process run =
      testsupport::LaunchProcess(testsupport::AppExePath(), {L"/install"}, Environment());
  ASSERT_TRUE(testsupport::WaitUntil([] { return ArchiveRequests() > 1; }));
  ExpectClickShows(kInstallId, kBusyElsewhere);
  EXPECT_EQ(run.WaitForExit(), 0u);
  ExpectInstalled(PluginFolder1(L"SketchUp 2021"), plugin);
}

// A download the network breaks off asks for the rest of the same archive, and never installs a
// mix of two archives.
TEST_F(CommandRunTest, ABrokenDownloadGoesOnFromWhereItBroke) {
  AddVersion(L"SketchUp 2021");
  const std::wstring folder = PluginFolder1(L"SketchUp 2021");
  const PluginFiles plugin = NewPlugin(300000), republished = NewPlugin(200000);
  const std::string zip = plugin.Zip().bytes;
  const int64_t cut = static_cast<int64_t>(zip.size() / 2);
  const std::vector<std::string> v1 = {"ETag: \"v1\""};
  ASSERT_TRUE(Serve(zip, {.ranges = true, .cutOnce = cut, .extraHeaders = v1}));
  EXPECT_EQ(Run({L"/install"}), 0);
  ExpectInstalled(folder, plugin);
  const auto seen = testsupport::UpdateServer::Requests();  // the archive's only
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].Header("Range"), "bytes=" + std::to_string(cut) + "-");
  EXPECT_EQ(seen[1].Header("If-Range"), "\"v1\"");
  EXPECT_EQ(seen[0].sentBytes + seen[1].sentBytes, static_cast<int64_t>(zip.size()));

  // Republished while the connection was down: the new archive, from its first byte.
  ASSERT_TRUE(Serve(zip, {.ranges = true, .cutOnce = cut, .extraHeaders = v1}));
  ASSERT_TRUE(Serve(republished.Zip().bytes,
                    {.ranges = true, .afterCut = true, .extraHeaders = {"ETag: \"v2\""}}));
  EXPECT_EQ(Run({L"/install"}), 0);
  ExpectInstalled(folder, republished);

  // Not the rest asked for, or no validator to ask with: failed, and nothing changed.
  ASSERT_TRUE(Serve(zip, {.ranges = true, .rangeSkew = 1, .cutOnce = cut, .extraHeaders = v1}));
  EXPECT_EQ(Run({L"/install"}), 4);
  ASSERT_TRUE(Serve(zip, {.ranges = true, .cutOnce = cut}));
  EXPECT_EQ(Run({L"/install"}), 4);
  ExpectInstalled(folder, republished);
  EXPECT_FALSE(Exists(TempArchive()));
  EXPECT_EQ(testsupport::UpdateServer::Requests().size(), 2u + 2 + 2 + 1);
}

}  // namespace
}  // namespace plugin_test
