#include "environment/sketchup_install.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/unique_handle.h"
#include "environment/file_exists.h"
#include "base/text.h"
#include "support/paths.h"
#include "support/shared_resources.h"

namespace {

using environment::FileExists;
using environment::GetInstallLocation;
using environment::ReadSketchUpVersions;
using environment::VersionYear;

constexpr wchar_t kSketchUpKey[] = L"SOFTWARE\\SketchUp";

// Version keys this test adds under HKLM\SOFTWARE\SketchUp and removes again. Every name
// carries the process id, so that entries left by an earlier test can be told apart.
class SketchUpRegistry {
 public:
  SketchUpRegistry() {
    testsupport::ExpectLocked(testsupport::Shared::kSketchUp, "changes HKLM\\SOFTWARE\\SketchUp");
    base::UniqueRegKey existing;
    keyExisted_ = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSketchUpKey, 0, KEY_READ, existing.put()) ==
                  ERROR_SUCCESS;
  }
  ~SketchUpRegistry() {
    for (const std::wstring& name : added_) {
      ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(kSketchUpKey) + L"\\" + name).c_str());
    }
    // Removes the key only if this test made it and nobody else has put anything in since.
    if (!keyExisted_) ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kSketchUpKey);
  }

  static std::wstring Tag() { return L"t" + std::to_wstring(::GetCurrentProcessId()); }

  // `installLocation`: nothing for a version without an "InstallLocation" key; an empty
  // optional inside for the key without a default value.
  void Add(const std::wstring& name, std::optional<std::optional<std::wstring>> installLocation) {
    const std::wstring path = std::wstring(kSketchUpKey) + L"\\" + name;
    base::UniqueRegKey version;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, version.put(), nullptr),
              ERROR_SUCCESS);
    added_.push_back(name);
    if (!installLocation) return;
    base::UniqueRegKey location;
    ASSERT_EQ(::RegCreateKeyExW(version.get(), L"InstallLocation", 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, location.put(), nullptr),
              ERROR_SUCCESS);
    if (!*installLocation) return;
    const std::wstring& folder = **installLocation;
    ASSERT_EQ(::RegSetValueExW(location.get(), nullptr, 0, REG_SZ,
                               reinterpret_cast<const BYTE*>(folder.c_str()),
                               static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
  }

 private:
  bool keyExisted_ = false;
  std::vector<std::wstring> added_;
};

// The listed versions that belong to this test process.
std::vector<std::wstring> OwnVersions() {
  std::vector<std::wstring> own;
  for (const std::wstring& version : ReadSketchUpVersions()) {
    if (version.find(SketchUpRegistry::Tag()) != std::wstring::npos) own.push_back(version);
  }
  return own;
}

// A folder, created here, whose path with its trailing backslash is exactly `length` long.
std::wstring MakeFolderOfLength(const std::wstring& base, size_t length) {
  ::CreateDirectoryW(base.c_str(), nullptr);
  std::wstring path = base + L"\\";
  while (path.size() < length) {
    size_t remaining = length - path.size();  // a component takes its characters and a "\"
    size_t chars = remaining - 1 <= 200 ? remaining - 1 : (remaining - 201 >= 2 ? 200 : 150);
    path += std::wstring(chars, L'x') + L"\\";
    ::CreateDirectoryW((L"\\\\?\\" + path).c_str(), nullptr);
  }
  return path;
}

class SketchUpInstallTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = testsupport::MakeScratchFolder(L"env_" + base::Utf8ToWide(test->name())) + L"\\";
  }
  std::wstring Name(const std::wstring& text) { return text + L" " + SketchUpRegistry::Tag(); }

  SketchUpRegistry registry_;
  std::wstring folder_;  // an existing install folder, with its trailing backslash
};

TEST_F(SketchUpInstallTest, ListsOnlyNamesSpellingSketchUpWithAnExistingFolder) {
  registry_.Add(Name(L"SketchUp 2021"), folder_);
  registry_.Add(Name(L"My SketchUp Pro"), folder_);
  registry_.Add(Name(L"sketchup 2022"), folder_);
  registry_.Add(Name(L"SKETCHUP 2023"), folder_);
  registry_.Add(Name(L"Sketchup 2024"), folder_);
  registry_.Add(Name(L"LayOut 2021"), folder_);
  registry_.Add(Name(L"SketchUp no location key"), std::nullopt);
  registry_.Add(Name(L"SketchUp no default value"), std::optional<std::wstring>());
  registry_.Add(Name(L"SketchUp empty value"), std::wstring());
  registry_.Add(Name(L"SketchUp removed"), folder_ + L"gone\\");
  const std::vector<std::wstring> own = OwnVersions();
  EXPECT_EQ(std::set<std::wstring>(own.begin(), own.end()),
            (std::set<std::wstring>{Name(L"SketchUp 2021"), Name(L"My SketchUp Pro")}));
  EXPECT_EQ(GetInstallLocation(Name(L"SketchUp no default value"), false), L"");
  EXPECT_EQ(GetInstallLocation(Name(L"SketchUp no location key"), true), L"");
  EXPECT_EQ(GetInstallLocation(Name(L"SketchUp never registered"), false), L"");
}

TEST_F(SketchUpInstallTest, KeepsRegistryOrderAndLongNamesAfterShortOnes) {
  // A short name enumerated before a 250-character one: the name buffer's size must be
  // handed in afresh for every subkey, or the long name would end the walk.
  const std::wstring longName =
      Name(L"SketchUp 2") + std::wstring(250 - Name(L"SketchUp 2").size(), L'L');
  registry_.Add(Name(L"SketchUp 1"), folder_);
  registry_.Add(longName, folder_);
  registry_.Add(Name(L"SketchUp 3"), folder_);

  std::vector<std::wstring> enumerated;  // the registry's own order of this test's keys
  base::UniqueRegKey root;
  ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSketchUpKey, 0, KEY_READ, root.put()),
            ERROR_SUCCESS);
  wchar_t name[256];
  for (DWORD i = 0, size = 256; ::RegEnumKeyExW(root.get(), i, name, &size, nullptr, nullptr,
                                                nullptr, nullptr) == ERROR_SUCCESS;
       ++i, size = 256) {
    if (std::wstring(name).find(SketchUpRegistry::Tag()) != std::wstring::npos) {
      enumerated.push_back(name);
    }
  }
  EXPECT_EQ(enumerated.size(), 3u);
  EXPECT_EQ(OwnVersions(), enumerated);
}

TEST_F(SketchUpInstallTest, InstallFoldersOfUpTo259CharactersAreRead) {
  for (size_t length : {129u, 130u, 259u}) {
    const std::wstring folder =
        MakeFolderOfLength(folder_ + L"len" + std::to_wstring(length), length);
    ASSERT_EQ(folder.size(), length);
    ASSERT_TRUE(FileExists(folder));
    const std::wstring version = Name(L"SketchUp " + std::to_wstring(length));
    registry_.Add(version, folder);
    EXPECT_EQ(GetInstallLocation(version, false), folder) << length;
    EXPECT_EQ(GetInstallLocation(version, true), folder + L"SketchUp.exe") << length;
    const std::vector<std::wstring> own = OwnVersions();
    EXPECT_NE(std::find(own.begin(), own.end(), version), own.end()) << length;
  }
  const std::wstring tooLong = Name(L"SketchUp 260");
  registry_.Add(tooLong, MakeFolderOfLength(folder_ + L"len260", 260));
  EXPECT_EQ(GetInstallLocation(tooLong, false), L"");
  const std::vector<std::wstring> own = OwnVersions();
  EXPECT_EQ(std::find(own.begin(), own.end(), tooLong), own.end());
}

TEST_F(SketchUpInstallTest, ProgramFileIsAppendedWithoutSeparator) {
  const std::wstring noSlash = folder_.substr(0, folder_.size() - 1);
  registry_.Add(Name(L"SketchUp 2020"), noSlash);
  EXPECT_EQ(GetInstallLocation(Name(L"SketchUp 2020"), true), noSlash + L"SketchUp.exe");
}

TEST_F(SketchUpInstallTest, NoSketchUpKeyListsNothing) {
  registry_.Add(Name(L"SketchUp 2021"), folder_);
  ASSERT_EQ(OwnVersions().size(), 1u);
  // This process alone then sees an empty machine hive; the real key, which other tests in
  // the same prefix may be using, is left alone.
  base::UniqueRegKey empty;
  const std::wstring path = L"Software\\LingtuTest\\EmptyMachine" + SketchUpRegistry::Tag();
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, empty.put(), nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(::RegOverridePredefKey(HKEY_LOCAL_MACHINE, empty.get()), ERROR_SUCCESS);
  const std::vector<std::wstring> versions = ReadSketchUpVersions();
  const std::wstring location = GetInstallLocation(Name(L"SketchUp 2021"), false);
  ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
  ::RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str());
  EXPECT_TRUE(versions.empty());
  EXPECT_EQ(location, L"");
}

TEST(VersionYearTest, ReadsTheLastFourCharactersLikeTheRuntime) {
  EXPECT_EQ(VersionYear(L"SketchUp 2021"), 2021);
  EXPECT_EQ(VersionYear(L"SketchUp"), 0);  // "chUp"
  EXPECT_EQ(VersionYear(L"SketchUp 2021 Pro"), 0);
  EXPECT_EQ(VersionYear(L"SketchUp 20a1"), 20);
  EXPECT_EQ(VersionYear(L"Ver -123"), -123);
  EXPECT_EQ(VersionYear(L"Ver +77"), 77);
  EXPECT_EQ(VersionYear(L"Ver  21"), 21);
  EXPECT_EQ(VersionYear(L"17"), 17);
  EXPECT_EQ(VersionYear(L""), 0);
}

}  // namespace
