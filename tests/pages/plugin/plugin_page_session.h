// A person at the plug-in page: SketchUp versions registered for the test, a profile, a
// shared-data folder and a temporary folder of the test's own, the local update server serving
// the plug-in archive, and the assistant started on all that.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/text.h"
#include "base/unique_handle.h"
#include "pages/plugin/form2_ids.h"
#include "pages/utilities/form3_ids.h"
#include "support/archive_builder.h"
#include "support/driver.h"
#include "support/paths.h"
#include "support/sketchup_fixture.h"
#include "support/standin.h"
#include "support/update_server_client.h"

namespace plugin_test {

inline constexpr wchar_t kTitle[] = L"翎图匠助手";
inline constexpr char kArchiveTarget[] = "/update/%E7%BF%8E%E5%9B%BE%E5%8C%A0.rbz";

// Control IDs, from the pages' own tables.
inline constexpr int kLaunchId = plugin_page::id::kLaunchButton;
inline constexpr int kProgressId = plugin_page::id::kProgressBar;
inline constexpr int kInstallId = plugin_page::id::kInstallButton;
inline constexpr int kListId = plugin_page::id::kVersionList;
inline constexpr int kUtilitiesListId = utilities_page::id::kVersionList;
// Label1, drawn by the page, in design units (the test prefix runs at 96 DPI).
inline constexpr RECT kLabel1Rect{295, 210, 395, 230};

inline bool Exists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline bool MakeFolders(const std::wstring& folder) {
  ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
  return Exists(folder);
}

// A file's content in a form that reads well in a failed comparison: its size and a hash.
inline std::string Digest(std::string_view content) {
  uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (unsigned char c : content) hash = (hash ^ c) * 1099511628211ull;
  char text[40];
  std::snprintf(text, sizeof text, "%zu bytes #%016llx", content.size(),
                static_cast<unsigned long long>(hash));
  return text;
}

// Every file below `folder` (relative path -> Digest of its content) and every folder
// (relative path -> "<folder>"), so that two snapshots tell whether anything changed.
inline std::map<std::wstring, std::string> Snapshot(const std::wstring& folder,
                                                    const std::wstring& prefix = L"") {
  std::map<std::wstring, std::string> tree;
  WIN32_FIND_DATAW data;
  base::UniqueFind find(::FindFirstFileW((folder + L"\\*").c_str(), &data));
  if (!find) return tree;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring relative = prefix + name;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      tree[relative] = "<folder>";
      tree.merge(Snapshot(folder + L"\\" + name, relative + L"\\"));
    } else {
      tree[relative] = Digest(testsupport::ReadBinaryFile(folder + L"\\" + name));
    }
  } while (::FindNextFileW(find.get(), &data));
  return tree;
}

// A folder of the prefix itself as this test program sees it through an environment
// variable (for instance ALLUSERSPROFILE); empty when unset.
inline std::wstring PrefixFolder(const wchar_t* variable) {
  wchar_t value[MAX_PATH] = {};
  const DWORD length = ::GetEnvironmentVariableW(variable, value, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::wstring(value, length) : std::wstring();
}

// Deletes, when the test ends, a folder of the prefix that did not exist when it began.
class RemovedAtEnd {
 public:
  explicit RemovedAtEnd(std::wstring folder)
      : folder_(std::move(folder)), existed_(Exists(folder_)) {}
  RemovedAtEnd(const RemovedAtEnd&) = delete;
  RemovedAtEnd& operator=(const RemovedAtEnd&) = delete;
  ~RemovedAtEnd() {
    if (existed_ || folder_.empty()) return;
    std::wstring from = folder_ + L'\0';  // a double-terminated list of one
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NO_UI;
    ::SHFileOperationW(&operation);
  }
  bool Existed() const { return existed_; }

 private:
  std::wstring folder_;
  bool existed_;
};

using testsupport::RegisteredVersions;

// The plug-in as the update server publishes it.
struct PluginFiles {
  std::map<std::wstring, std::string> files;  // relative Windows path -> content

  testsupport::BuiltZip Zip() const {
    testsupport::ZipBuilder zip;
    zip.AddFolder("Brindo/");
    for (const auto& [path, content] : files) {
      std::string name = base::WideToUtf8(path);
      for (char& c : name) {
        if (c == '\\') c = '/';
      }
      zip.Add(name, content);
    }
    return zip.Build();
  }
};

inline PluginFiles NewPlugin(size_t padding = 0) {
  return {{{L"Brindo.rb", "require 'Brindo/main' # 1.0.9"},
           {L"Brindo\\main.rb", "module Brindo; VERSION = '1.0.9'; end"},
           {L"Brindo\\toolbar.png", testsupport::IncompressibleBytes(padding + 512, 7)}}};
}

class PluginPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    scratch_ = testsupport::MakeScratchFolder(L"plugin_" + base::Utf8ToWide(test->name()));
    profile_ = scratch_ + L"\\Users\\person";
    programData_ = scratch_ + L"\\ProgramData";
    temp_ = scratch_ + L"\\Temp";
    standinLog_ = scratch_ + L"\\standin.log";
    ASSERT_TRUE(MakeFolders(profile_ + L"\\AppData\\Roaming"));
    ASSERT_TRUE(MakeFolders(programData_));
    ASSERT_TRUE(MakeFolders(temp_));
    ASSERT_TRUE(testsupport::UpdateServer::Reset()) << "the update server does not answer";
  }

  void TearDown() override {
    if (app_.window) testsupport::RequestClose(app_.window);
    app_.process.WaitForExit();
    testsupport::UpdateServer::Reset();
  }

  // Registers a version installed in a folder of the test's own, holding a SketchUp.exe (the
  // stand-in when asked for, else a placeholder file).
  std::wstring AddVersion(const std::wstring& version, bool runnable = false) {
    const std::wstring folder = scratch_ + L"\\Programs\\" + version;
    EXPECT_TRUE(MakeFolders(folder));
    if (runnable) {
      EXPECT_FALSE(testsupport::CopyStandinAs(folder, L"SketchUp.exe").empty());
    } else {
      EXPECT_TRUE(testsupport::WriteFileBytes(folder + L"\\SketchUp.exe", "MZ"));
    }
    EXPECT_TRUE(versions_.Add(version, folder + L"\\"));
    return folder;
  }

  std::wstring PluginFolder1(const std::wstring& version) const {
    return profile_ + L"\\AppData\\Roaming\\SketchUp\\" + version + L"\\SketchUp\\Plugins";
  }
  std::wstring PluginFolder2(const std::wstring& version) const {
    return programData_ + L"\\SketchUp\\" + version + L"\\SketchUp\\Plugins";
  }
  std::wstring TempArchive() const { return temp_ + L"\\brindo.tmp"; }

  // Puts a plug-in into a folder as an earlier install would have left it.
  static void PutPlugin(const std::wstring& folder, const PluginFiles& plugin) {
    for (const auto& [path, content] : plugin.files) {
      const std::wstring file = folder + L"\\" + path;
      ASSERT_TRUE(MakeFolders(file.substr(0, file.rfind(L'\\'))));
      ASSERT_TRUE(testsupport::WriteFileBytes(file, content));
    }
  }

  // The snapshot of a folder holding exactly these files and the folders they lie in.
  static std::map<std::wstring, std::string> TreeOf(
      const std::map<std::wstring, std::string>& files) {
    std::map<std::wstring, std::string> tree;
    for (const auto& [path, content] : files) {
      tree[path] = Digest(content);
      for (size_t cut = path.find(L'\\'); cut != std::wstring::npos;
           cut = path.find(L'\\', cut + 1)) {
        tree[path.substr(0, cut)] = "<folder>";
      }
    }
    return tree;
  }

  // What the plug-in folder holds: exactly the plug-in's files.
  static void ExpectInstalled(const std::wstring& folder, const PluginFiles& plugin) {
    EXPECT_EQ(Snapshot(folder), TreeOf(plugin.files)) << base::WideToUtf8(folder);
  }

  static bool Serve(const std::string& archive, const testsupport::RouteOptions& options = {}) {
    return testsupport::UpdateServer::SetRoute(kArchiveTarget, archive, options);
  }

  static size_t ArchiveRequests() {
    size_t count = 0;
    for (const auto& request : testsupport::UpdateServer::Requests()) {
      if (request.target == kArchiveTarget) ++count;
    }
    return count;
  }

  // Starts the assistant on the test's folders. A log-on name other than the prefix's own
  // starts it through Wine's Unix loader, which rebuilds the profile variables from the
  // registry: the assistant then works on the prefix's own profile, shared-data and temporary
  // folders (see PrefixFolder), not on the test's.
  void Launch(const std::wstring& user = L"", const std::vector<testsupport::EnvChange>& more = {},
              const std::vector<std::wstring>& args = {}) {
    std::vector<testsupport::EnvChange> env = {
        {L"USERPROFILE", profile_},
        {L"APPDATA", profile_ + L"\\AppData\\Roaming"},
        {L"ALLUSERSPROFILE", programData_},
        {L"TEMP", temp_},
        {L"TMP", temp_},
        {L"LINGTU_STANDIN_LOG", standinLog_},
    };
    env.insert(env.end(), more.begin(), more.end());
    if (!user.empty()) env.push_back({L"USER", user});
    app_ = testsupport::LaunchApp(env, L"", 60000, args);
    ASSERT_TRUE(app_.window) << "the assistant did not start";
    page_ = testsupport::FindDescendant(app_.window, L"翎图匠助手_Form2");
    ASSERT_TRUE(page_);
    list_ = testsupport::ChildById(page_, kListId);
    progress_ = testsupport::ChildById(page_, kProgressId);
    ASSERT_TRUE(list_ && progress_);
  }

  DWORD Pid() const { return app_.process.pid(); }
  HWND Button(int id) const { return testsupport::ChildById(page_, id); }

  bool Choose(const std::wstring& version) {
    const auto lines = testsupport::ListTexts(list_);
    for (size_t i = 0; i < lines.size(); ++i) {
      if (lines[i] == version) return testsupport::SelectAsUser(list_, static_cast<int>(i));
    }
    return false;
  }

  int ProgressPosition() const {
    return static_cast<int>(testsupport::SendWithin(progress_, PBM_GETPOS));
  }

  std::optional<testsupport::MessageBoxInfo> ClickForBox(int id, DWORD timeoutMs = 10000) {
    if (!testsupport::Click(Button(id))) return std::nullopt;
    return testsupport::WaitForMessageBox(Pid(), timeoutMs);
  }
  // Drops files onto the main window: the box that answers (the end of an installation, too).
  std::optional<testsupport::MessageBoxInfo> DropForBox(const std::vector<std::wstring>& paths) {
    if (!testsupport::DropFiles(app_.window, paths)) return std::nullopt;
    return testsupport::WaitForMessageBox(Pid(), 15000);
  }

  // A box of the page: its title and text, OK (and Cancel only for the overwrite question),
  // no icon, owned by the page's window (which the system reports as its top-level window).
  void ExpectBox(const std::optional<testsupport::MessageBoxInfo>& box, const std::wstring& text,
                 bool withCancel = false) {
    ASSERT_TRUE(box) << "no message box; expected: " << base::WideToUtf8(text);
    EXPECT_EQ(base::WideToUtf8(box->text), base::WideToUtf8(text));
    EXPECT_EQ(box->title, kTitle);
    EXPECT_TRUE(box->hasOk);
    EXPECT_EQ(box->hasCancel, withCancel);
    EXPECT_FALSE(box->hasIcon);
    EXPECT_EQ(box->owner, app_.window);
  }

  // Clicks, expects exactly this box and closes it with OK.
  void ExpectClickShows(int id, const std::wstring& text) {
    const auto box = ClickForBox(id);
    ExpectBox(box, text);
    if (box) {
      EXPECT_TRUE(testsupport::Answer(*box, IDOK));
    }
  }

  // Clicks Command1 (answering the overwrite question with OK when asked `overwrite`) and
  // returns the box that ends the installation.
  std::optional<testsupport::MessageBoxInfo> Install(bool overwrite = false,
                                                     DWORD timeoutMs = 15000) {
    auto box = ClickForBox(kInstallId, overwrite ? 10000 : timeoutMs);
    if (overwrite) {
      ExpectBox(box, L"检测到当前版本已安装翎图匠，需要覆盖安装吗？", true);
      if (!box || !testsupport::Answer(*box, IDOK)) return std::nullopt;
      box = testsupport::WaitForMessageBox(Pid(), timeoutMs);
    }
    return box;
  }

  void ExpectInstallEndsWith(const std::wstring& text, bool overwrite = false,
                             DWORD timeoutMs = 15000) {
    const auto box = Install(overwrite, timeoutMs);
    ExpectBox(box, text);
    if (box) {
      EXPECT_TRUE(testsupport::Answer(*box, IDOK));
    }
  }

  // Whether anything is drawn in Label1's place, as the screen shows it now.
  bool Label1ShowsText() const {
    POINT origin{kLabel1Rect.left, kLabel1Rect.top};
    ::ClientToScreen(page_, &origin);
    const int width = kLabel1Rect.right - kLabel1Rect.left;
    const int height = kLabel1Rect.bottom - kLabel1Rect.top;
    HDC screen = ::GetDC(nullptr);
    base::UniqueMemoryDc memory(::CreateCompatibleDC(screen));
    base::UniqueBitmap bitmap(::CreateCompatibleBitmap(screen, width, height));
    {
      base::SelectGuard select(memory.get(), bitmap.get());
      ::BitBlt(memory.get(), 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
    }
    ::ReleaseDC(nullptr, screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    ::GetDIBits(memory.get(), bitmap.get(), 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const uint32_t background = (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face);
    for (uint32_t pixel : pixels) {
      if ((pixel & 0xFFFFFF) != background) return true;
    }
    return false;
  }

  // Idle: no bar and nothing in Label1. The download's worker ends a run after the result box
  // is closed, so give it a moment.
  void ExpectIdle() {
    ASSERT_TRUE(testsupport::WaitIdle(page_));
    EXPECT_TRUE(testsupport::WaitUntil([&] { return !testsupport::IsVisible(progress_); }, 2000))
        << "the progress bar is still shown";
    EXPECT_TRUE(testsupport::WaitUntil([&] { return !Label1ShowsText(); }, 2000))
        << "Label1 still shows a text";
  }

  std::wstring scratch_;
  std::wstring profile_;
  std::wstring programData_;
  std::wstring temp_;
  std::wstring standinLog_;
  RegisteredVersions versions_;
  testsupport::RunningApp app_;
  HWND page_ = nullptr;
  HWND list_ = nullptr;
  HWND progress_ = nullptr;
};

}  // namespace plugin_test
