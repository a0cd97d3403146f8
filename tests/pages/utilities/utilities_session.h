// A person at the utilities page: SketchUp versions registered for the test, a profile of
// folders of the test's own, the assistant started on it and its second tab chosen.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/form1_ids.h"
#include "base/text.h"
#include "base/unique_handle.h"
#include "pages/plugin/form2_ids.h"
#include "pages/utilities/form3_ids.h"
#include "support/plugin_tree.h"
#include "support/driver.h"
#include "support/paths.h"
#include "support/sketchup_fixture.h"

namespace utilities_test {

inline constexpr wchar_t kTitle[] = L"翎图匠助手";

// Control IDs, from the pages' own tables.
inline constexpr const auto& kCommandIds = utilities_page::id::kCommand1;  // Command1 by index
inline constexpr int kUninstallId = utilities_page::id::kUninstallButton;
inline constexpr int kPluginOwnFolderId = utilities_page::id::kPluginOwnFolderButton;
inline constexpr int kConfigFolder1Id = utilities_page::id::kConfigFolder1Button;
inline constexpr int kConfigFolder2Id = utilities_page::id::kConfigFolder2Button;
inline constexpr int kPluginFolder1Id = utilities_page::id::kPluginFolder1Button;
inline constexpr int kPluginFolder2Id = utilities_page::id::kPluginFolder2Button;
inline constexpr int kSketchUpFolderId = utilities_page::id::kSketchUpFolderButton;
inline constexpr int kEnvironmentCheckId = utilities_page::id::kEnvironmentCheckButton;
inline constexpr int kListId = utilities_page::id::kVersionList;
inline constexpr int kPluginPageListId = plugin_page::id::kVersionList;
inline constexpr int kTabControlId = app::id::kTabControl;

using testsupport::RegisteredVersions;

class UtilitiesPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    scratch_ = testsupport::MakeScratchFolder(L"utilities_" + base::Utf8ToWide(test->name()));
    profile_ = scratch_ + L"\\Users\\person";
    programData_ = scratch_ + L"\\ProgramData";
    ASSERT_TRUE(MakeFolders(profile_ + L"\\AppData\\Roaming"));
    ASSERT_TRUE(MakeFolders(programData_));
  }

  void TearDown() override {
    if (app_.window) testsupport::RequestClose(app_.window);
    app_.process.WaitForExit();
    for (const auto& folder : madeForVersions_) DeleteTree(folder);
  }

  // Runs the assistant under another log-on name; call before adding versions. Wine then
  // gives it the prefix's own profile folders, whatever its environment says, so the test
  // works in those (as this test program sees them) and removes what it made there.
  void SetLogOnName(const std::wstring& user) {
    user_ = user;
    profile_ = OwnVariable(L"USERPROFILE");
    programData_ = OwnVariable(L"ALLUSERSPROFILE");
    ASSERT_FALSE(profile_.empty() || programData_.empty());
    ASSERT_EQ(OwnVariable(L"APPDATA"), profile_ + L"\\AppData\\Roaming");
  }

  // Registers a version installed in a folder of its own below `parent` (a name inside the
  // test's folder); the install folder is stored with its closing backslash unless told not to.
  std::wstring AddVersion(const std::wstring& version, const std::wstring& parent = L"Programs",
                          bool closingBackslash = true) {
    const std::wstring folder = scratch_ + L"\\" + parent + L"\\" + version;
    EXPECT_TRUE(MakeFolders(folder));
    EXPECT_TRUE(WriteText(folder + L"\\SketchUp.exe", "MZ"));
    EXPECT_TRUE(versions_.Add(version, closingBackslash ? folder + L"\\" : folder));
    ++listedVersions_;
    // What the test makes in the profile for this version goes again afterwards: the
    // outermost folder that is not there yet.
    for (const std::wstring& parent :
         {profile_ + L"\\AppData\\Roaming\\SketchUp", profile_ + L"\\AppData\\Local\\SketchUp",
          programData_ + L"\\SketchUp"}) {
      if (!Exists(parent)) {
        madeForVersions_.push_back(parent);
      } else if (!Exists(parent + L"\\" + version)) {
        madeForVersions_.push_back(parent + L"\\" + version);
      }
    }
    return folder;
  }

  std::wstring PluginFolder1(const std::wstring& version) const {
    return profile_ + L"\\AppData\\Roaming\\SketchUp\\" + version + L"\\SketchUp\\Plugins";
  }
  std::wstring PluginFolder2(const std::wstring& version) const {
    return programData_ + L"\\SketchUp\\" + version + L"\\SketchUp\\Plugins";
  }
  std::wstring ConfigFolder1(const std::wstring& version) const {
    return profile_ + L"\\AppData\\Local\\SketchUp\\" + version + L"\\SketchUp";
  }
  std::wstring ConfigFolder2(const std::wstring& version) const {
    return profile_ + L"\\AppData\\Roaming\\SketchUp\\" + version + L"\\SketchUp";
  }

  // Starts the assistant on the test's profile and shows the utilities page.
  void Launch() {
    std::vector<testsupport::EnvChange> env = {
        {L"USERPROFILE", profile_},
        {L"APPDATA", profile_ + L"\\AppData\\Roaming"},
        {L"ALLUSERSPROFILE", programData_},
    };
    if (!user_.empty()) env.push_back({L"USER", user_});
    app_ = testsupport::LaunchApp(env);
    ASSERT_TRUE(app_.window) << "the assistant did not start";
    page_ = testsupport::FindDescendant(app_.window, L"翎图匠助手_Form3");
    pluginPage_ = testsupport::FindDescendant(app_.window, L"翎图匠助手_Form2");
    ASSERT_TRUE(page_ && pluginPage_);
    list_ = testsupport::ChildById(page_, kListId);
    // The pages fill their lists from messages posted to themselves, which may still wait
    // behind the window's first appearance.
    ASSERT_TRUE(
        testsupport::WaitUntil([&] { return testsupport::ListCount(list_) == listedVersions_; }));
    if (listedVersions_ == 0) ::Sleep(300);
    ASSERT_TRUE(
        testsupport::SelectTabAsUser(testsupport::ChildById(app_.window, kTabControlId), 1));
    ASSERT_TRUE(testsupport::WaitUntil([&] { return testsupport::IsVisible(page_); }));
  }

  HWND Button(int id) const { return testsupport::ChildById(page_, id); }
  DWORD Pid() const { return app_.process.pid(); }

  bool Choose(const std::wstring& version) {
    const auto lines = testsupport::ListTexts(list_);
    for (size_t i = 0; i < lines.size(); ++i) {
      if (lines[i] == version) return testsupport::SelectAsUser(list_, static_cast<int>(i));
    }
    return false;
  }

  // Clicks a button of the page and returns the message box that follows.
  std::optional<testsupport::MessageBoxInfo> ClickForBox(int id) {
    if (!testsupport::Click(Button(id))) return std::nullopt;
    return testsupport::WaitForMessageBox(Pid());
  }

  // Checks a box of the page: title, text, buttons and icon, owned by the main window.
  void ExpectBox(const std::optional<testsupport::MessageBoxInfo>& box, const std::wstring& text,
                 bool withCancel = false, bool withIcon = false) {
    ASSERT_TRUE(box) << "no message box; expected: " << base::WideToUtf8(text);
    EXPECT_EQ(box->title, kTitle);
    EXPECT_EQ(box->text, text);
    EXPECT_TRUE(box->hasOk);
    EXPECT_EQ(box->hasCancel, withCancel);
    EXPECT_EQ(box->hasIcon, withIcon);
    EXPECT_EQ(box->owner, app_.window);
  }

  // Clicks, expects exactly this box and closes it with OK.
  void ExpectClickShows(int id, const std::wstring& text, bool withIcon = false) {
    const auto box = ClickForBox(id);
    ExpectBox(box, text, false, withIcon);
    if (box) {
      EXPECT_TRUE(testsupport::Answer(*box, IDOK));
    }
  }

  static std::wstring OwnVariable(const wchar_t* name) {
    wchar_t value[MAX_PATH];
    const DWORD length = ::GetEnvironmentVariableW(name, value, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(value, length) : std::wstring();
  }

  std::wstring scratch_;
  std::wstring user_;
  std::vector<std::wstring> madeForVersions_;
  int listedVersions_ = 0;
  std::wstring profile_;
  std::wstring programData_;
  RegisteredVersions versions_;
  testsupport::RunningApp app_;
  HWND page_ = nullptr;
  HWND pluginPage_ = nullptr;
  HWND list_ = nullptr;
};

}  // namespace utilities_test
