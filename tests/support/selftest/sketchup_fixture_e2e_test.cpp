// The registry and folder fixture leaves the machine as it found it.
#include <windows.h>
#include <shellapi.h>

#include "base/unique_handle.h"
#include "support/driver.h"
#include "support/paths.h"
#include "support/sketchup_fixture.h"
#include "support/standin_protocol.h"

#include <gtest/gtest.h>

namespace testsupport {
namespace {

std::optional<std::wstring> InstallLocation(const std::wstring& version) {
  base::UniqueRegKey key;
  const std::wstring path = std::wstring(kSketchUpKey) + L"\\" + version + L"\\InstallLocation";
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE, key.put()) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  wchar_t value[512] = {};
  DWORD bytes = sizeof(value) - sizeof(wchar_t);
  if (::RegQueryValueExW(key.get(), nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(value),
                         &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::wstring(value);
}

bool Exists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(SketchUpFixtureTest, RegistersVersionsAndCleansUpOnlyWhatItMade) {
  const std::wstring outside = MakeScratchFolder(L"fixture-outside");
  const std::wstring explicitFolder = outside + L"\\草图 2023\\bin";
  std::wstring madeUp;
  {
    SketchUpInstallations installations;
    madeUp = installations.Add(L"SketchUp 2021");
    EXPECT_EQ(InstallLocation(L"SketchUp 2021"), madeUp);
    ASSERT_EQ(madeUp.back(), L'\\');
    EXPECT_TRUE(Exists(madeUp + L"SketchUp.exe"));

    EXPECT_EQ(installations.Add(L"SketchUp 2023", explicitFolder + L"\\"), explicitFolder + L"\\");
    EXPECT_TRUE(Exists(explicitFolder + L"\\SketchUp.exe"));

    installations.Add(L"SketchUp 2019", std::nullopt, true, false);
    EXPECT_FALSE(Exists(*InstallLocation(L"SketchUp 2019") + L"SketchUp.exe"));
    const std::wstring missing = installations.Add(L"SketchUp 2018", std::nullopt, false);
    EXPECT_FALSE(Exists(missing));

    EXPECT_TRUE(installations.AddWithoutInstallLocation(L"SketchUp 2017"));
    EXPECT_EQ(InstallLocation(L"SketchUp 2017"), std::nullopt);
    EXPECT_TRUE(installations.SetInstallLocationValue(L"SketchUp 2016", L"C:\\no backslash"));
    EXPECT_EQ(InstallLocation(L"SketchUp 2016"), L"C:\\no backslash");

    const std::wstring plugins = installations.PluginFolder2(L"SketchUp 2021");
    EXPECT_TRUE(WritePluginFiles(plugins, true, false));
    EXPECT_TRUE(PluginMarkerExists(plugins));
    EXPECT_FALSE(PluginFolderExists(plugins));
  }
  base::UniqueRegKey key;
  EXPECT_NE(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSketchUpKey, 0, KEY_READ, key.put()),
            ERROR_SUCCESS);
  EXPECT_FALSE(Exists(madeUp));
  EXPECT_FALSE(Exists(outside + L"\\草图 2023"));
  EXPECT_TRUE(Exists(outside));  // it existed before
}

TEST(SketchUpFixtureTest, EndsASketchUpStartedFromItsFolderBeforeRemovingIt) {
  std::wstring folder;
  {
    SketchUpInstallations installations;
    folder = installations.Add(L"SketchUp 2021");
    // Started the way the program under test starts it: through the shell, with no handle.
    ::ShellExecuteW(nullptr, L"open", (folder + L"SketchUp.exe").c_str(), nullptr, nullptr,
                    SW_SHOW);
    ASSERT_TRUE(WaitForWindow(kStandinWindowClass));
  }
  EXPECT_TRUE(ProcessesNamed(L"SketchUp.exe").empty());
  EXPECT_FALSE(Exists(folder));
}

TEST(SketchUpFixtureTest, PluginFoldersFollowTheProfiles) {
  SketchUpInstallations installations;
  EXPECT_EQ(installations.PluginFolder1(L"SketchUp 2021"),
            installations.UserProfile() +
                L"\\AppData\\Roaming\\SketchUp\\SketchUp 2021\\SketchUp\\Plugins");
  EXPECT_EQ(PluginFolder2Under(L"C:\\ProgramData", L"SketchUp 2023"),
            L"C:\\ProgramData\\SketchUp\\SketchUp 2023\\SketchUp\\Plugins");
}

}  // namespace
}  // namespace testsupport
