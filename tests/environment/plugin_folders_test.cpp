#include "environment/plugin_folders.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "base/text.h"
#include "base/unique_handle.h"
#include "environment/login_user.h"
#include "support/paths.h"

namespace {

using environment::ContainsChinese;
using environment::GetLoginUserName;
using environment::GetPluginFolder;
using environment::IsPluginInstalled;

constexpr wchar_t kVersion[] = L"SketchUp 2021";

std::optional<std::wstring> ReadVariable(const wchar_t* name) {
  wchar_t value[32768];
  const DWORD length = ::GetEnvironmentVariableW(name, value, 32768);
  if (length == 0 && ::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
  return std::wstring(value, length);
}

void RestoreVariable(const wchar_t* name, const std::optional<std::wstring>& value) {
  ::SetEnvironmentVariableW(name, value ? value->c_str() : nullptr);
}

void MakeFolders(const std::wstring& path) {
  for (size_t at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1)) {
    ::CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
  }
  ::CreateDirectoryW(path.c_str(), nullptr);
}

void MakeFile(const std::wstring& path) {
  base::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(file) << base::WideToUtf8(path);
}

// Points the process's own profile variables at scratch folders and puts them back afterwards.
class PluginFoldersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    scratch_ = testsupport::MakeScratchFolder(L"env_" + base::Utf8ToWide(test->name()));
    userProfile_ = scratch_ + L"\\users\\Ann";
    allUsers_ = scratch_ + L"\\ProgramData";
    ::SetEnvironmentVariableW(L"USERPROFILE", userProfile_.c_str());
    ::SetEnvironmentVariableW(L"ALLUSERSPROFILE", allUsers_.c_str());
  }
  void TearDown() override {
    RestoreVariable(L"USERPROFILE", savedUserProfile_);
    RestoreVariable(L"ALLUSERSPROFILE", savedAllUsers_);
  }

  std::wstring UserFolder() const {
    return userProfile_ + L"\\AppData\\Roaming\\SketchUp\\SketchUp 2021\\SketchUp\\Plugins";
  }
  std::wstring SharedFolder() const {
    return allUsers_ + L"\\SketchUp\\SketchUp 2021\\SketchUp\\Plugins";
  }
  void ExpectInstalled(bool automatic, bool user, bool shared) {
    EXPECT_EQ(IsPluginInstalled(kVersion, 0), automatic);
    EXPECT_EQ(IsPluginInstalled(kVersion, 1), user);
    EXPECT_EQ(IsPluginInstalled(kVersion, 2), shared);
    EXPECT_FALSE(IsPluginInstalled(kVersion, 3));
  }

  const std::optional<std::wstring> savedUserProfile_ = ReadVariable(L"USERPROFILE");
  const std::optional<std::wstring> savedAllUsers_ = ReadVariable(L"ALLUSERSPROFILE");
  std::wstring scratch_, userProfile_, allUsers_;
};

TEST_F(PluginFoldersTest, FoldersArePlainConcatenationsOfTheCurrentEnvironment) {
  EXPECT_EQ(GetPluginFolder(kVersion, 1), UserFolder());
  EXPECT_EQ(GetPluginFolder(kVersion, 2), SharedFolder());
  EXPECT_EQ(GetPluginFolder(kVersion, 3), L"");
  EXPECT_EQ(GetPluginFolder(kVersion, -1), L"");

  // Read again on every call; nothing is added or removed at the seams.
  ::SetEnvironmentVariableW(L"USERPROFILE", L"D:\\profiles\\ann\\");
  EXPECT_EQ(GetPluginFolder(L"v", 1),
            L"D:\\profiles\\ann\\\\AppData\\Roaming\\SketchUp\\v\\SketchUp\\Plugins");
  ::SetEnvironmentVariableW(L"USERPROFILE", nullptr);
  EXPECT_EQ(GetPluginFolder(kVersion, 1),
            L"\\AppData\\Roaming\\SketchUp\\SketchUp 2021\\SketchUp\\Plugins");
}

// A deployment tool may start the program without %ALLUSERSPROFILE% or with a relative one: the
// shared folder is then the system's ProgramData, never a folder on the current drive's root.
TEST_F(PluginFoldersTest, SharedFolderFallsBackToTheSystemsProgramData) {
  const std::wstring expected = L"C:\\ProgramData\\SketchUp\\SketchUp 2021\\SketchUp\\Plugins";
  for (const wchar_t* value : {L"", L"\\ProgramData", L"ProgramData", L"C:ProgramData"}) {
    ::SetEnvironmentVariableW(L"ALLUSERSPROFILE", value);
    EXPECT_EQ(GetPluginFolder(kVersion, 2), expected) << value;
  }
  ::SetEnvironmentVariableW(L"ALLUSERSPROFILE", nullptr);
  EXPECT_EQ(GetPluginFolder(kVersion, 2), expected);
  ::SetEnvironmentVariableW(L"ALLUSERSPROFILE", L"\\\\server\\all");
  EXPECT_EQ(GetPluginFolder(kVersion, 2),
            L"\\\\server\\all\\SketchUp\\SketchUp 2021\\SketchUp\\Plugins");
}

TEST_F(PluginFoldersTest, MarkerIsBrindoRbAsFileOrFolderInEitherFolder) {
  ExpectInstalled(false, false, false);

  MakeFolders(UserFolder() + L"\\Brindo");  // the plug-in's folder alone is no installation
  ExpectInstalled(false, false, false);

  MakeFile(UserFolder() + L"\\Brindo.rb");
  ExpectInstalled(true, true, false);

  MakeFolders(SharedFolder() + L"\\Brindo.rb");  // a folder of that name counts too
  ExpectInstalled(true, true, true);

  ASSERT_TRUE(::DeleteFileW((UserFolder() + L"\\Brindo.rb").c_str()));  // seen at once
  ExpectInstalled(true, false, true);
}

TEST(ContainsChineseTest, AnyUnitBeyondLatin1Counts) {
  EXPECT_FALSE(ContainsChinese(L""));
  EXPECT_FALSE(ContainsChinese(L"Administrator"));
  EXPECT_FALSE(ContainsChinese(L"Jos\u00E9 M\u00FCller \u00FF"));
  EXPECT_TRUE(ContainsChinese(L"\u0100"));
  EXPECT_TRUE(ContainsChinese(L"Ann\u5F20"));
  EXPECT_TRUE(ContainsChinese(L"\u0418\u0432\u0430\u043D"));  // Cyrillic counts as well
  EXPECT_TRUE(ContainsChinese(L"\xD83D\xDE00"));              // so do surrogate halves
  EXPECT_TRUE(ContainsChinese(L"\uFF21"));                    // and full-width letters
}

// --- Log-on names -------------------------------------------------------------------------
// Wine takes the log-on name from the Unix USER variable when a process starts; an
// environment block handed to CreateProcessW does not change it (checked under Wine 8). So the
// parent test starts this same program again through /bin/sh with USER set, and the child
// (LoginNameChild) writes what it sees into a report file.

constexpr wchar_t kReportVariable[] = L"LINGTU_LOGIN_REPORT";

TEST(LoginNameChild, ReportsNameAndFolders) {
  const std::optional<std::wstring> report = ReadVariable(kReportVariable);
  if (!report) GTEST_SKIP() << "started by LoginNameTest only";
  ::SetEnvironmentVariableW(L"USERPROFILE", L"C:\\u");
  ::SetEnvironmentVariableW(L"ALLUSERSPROFILE", L"C:\\all");
  const std::string text =
      base::WideToUtf8(GetLoginUserName() + L"\n" + GetPluginFolder(kVersion, 0) + L"\n");
  base::UniqueFile file(::CreateFileW(report->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  ASSERT_TRUE(file && ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()),
                                  &written, nullptr));
}

std::string ReadText(const std::wstring& path) {
  base::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  char buffer[4096];
  DWORD read = 0;
  if (!file || !::ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr)) return {};
  return std::string(buffer, read);
}

// Runs LoginNameChild under the log-on name `user` and returns its report ("" if none came).
std::string RunChildAs(const std::wstring& user, const std::wstring& folder,
                       const std::string& unixFolder) {
  const std::wstring report = folder + L"\\report.txt";
  const std::wstring done = folder + L"\\done.txt";
  ::DeleteFileW(report.c_str());
  ::DeleteFileW(done.c_str());

  wchar_t self[MAX_PATH];
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring environment = L"USER=" + user + L'\0' + kReportVariable + L"=" + report + L'\0';
  const wchar_t* current = ::GetEnvironmentStringsW();
  for (const wchar_t* entry = current; *entry; entry += wcslen(entry) + 1) {
    const std::wstring text = entry;
    if (_wcsnicmp(entry, L"USER=", 5) == 0 || _wcsnicmp(entry, L"WINEUSERNAME=", 13) == 0) continue;
    environment += text + L'\0';
  }
  ::FreeEnvironmentStringsW(const_cast<wchar_t*>(current));
  environment += L'\0';

  std::wstring command = L"sh -c \"wine '" + std::wstring(self) +
                         L"' --gtest_filter=LoginNameChild.* >/dev/null 2>&1; echo done > '" +
                         base::Utf8ToWide(unixFolder) + L"/done.txt'\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(L"Z:\\bin\\sh", command.data(), nullptr, nullptr, FALSE,
                        CREATE_UNICODE_ENVIRONMENT, environment.data(), nullptr, &startup,
                        &process)) {
    ADD_FAILURE() << "cannot start /bin/sh: " << ::GetLastError();
    return {};
  }
  // A Unix process has no Windows handles to wait on; the shell leaves a file when done.
  if (process.hProcess) ::CloseHandle(process.hProcess);
  if (process.hThread) ::CloseHandle(process.hThread);
  for (int i = 0; i < 600 && ::GetFileAttributesW(done.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) {
    ::Sleep(100);
  }
  return ReadText(report);
}

TEST(LoginNameTest, ChineseLogOnNameMovesTheAutomaticFolderToTheSharedOne) {
  const std::wstring folder = testsupport::MakeScratchFolder(L"env_login");
  const std::string unixFolder = std::string(LINGTU_BINARY_DIR) + "/scratch/env_login";
  const std::wstring user = L"C:\\u\\AppData\\Roaming\\SketchUp\\SketchUp 2021\\SketchUp\\Plugins";
  const std::wstring shared = L"C:\\all\\SketchUp\\SketchUp 2021\\SketchUp\\Plugins";
  for (const auto& [name, folderSeen] :
       {std::pair{L"annuser", user}, std::pair{L"Jos\u00E9", user},
        std::pair{L"\u5F20\u4E09", shared}, std::pair{L"ann\u5F20", shared}}) {
    EXPECT_EQ(RunChildAs(name, folder, unixFolder),
              base::WideToUtf8(std::wstring(name) + L"\n" + folderSeen + L"\n"))
        << base::WideToUtf8(name);
  }
}

}  // namespace
