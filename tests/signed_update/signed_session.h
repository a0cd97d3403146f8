// The signed builds of the assistant driven by a person: launching one, refused installations,
// archive files, command runs, and served files replaced for a while (run_e2e.sh and
// run_tls_e2e.sh publish and serve the trees).
#pragma once

#include <gtest/gtest.h>

#include "pages/plugin/plugin_page_session.h"

namespace plugin_test {

constexpr wchar_t kInstalled[] = L"安装成功！";
constexpr wchar_t kRefused[] = L"安装包校验失败，已停止安装！";

inline std::wstring State(const std::wstring& path) {
  return testsupport::WindowsPathFromUnix(LINGTU_SIGNED_STATE) + path;
}
const std::wstring kArchive = L"\\update\\翎图匠.rbz";
const std::wstring kSignature = kArchive + L".sig";

// Puts other bytes in place of a served file (none: removes it) until the end of the scope.
class ServedFile {
 public:
  ServedFile(const std::wstring& name, const std::optional<std::string>& bytes)
      : path_(State(L"\\tree" + name)), original_(testsupport::ReadBinaryFile(path_)) {
    ::DeleteFileW(path_.c_str());
    if (bytes) testsupport::WriteFileBytes(path_, *bytes);
  }
  ~ServedFile() { testsupport::WriteFileBytes(path_, original_); }

 private:
  std::wstring path_;
  std::string original_;
};

class SignedInstallTest : public PluginPageTest {
 protected:
  void LaunchSigned() {
    app_.process = testsupport::LaunchProcess(testsupport::WindowsPathFromUnix(exe_), {},
                                              {{L"USERPROFILE", profile_},
                                               {L"APPDATA", profile_ + L"\\AppData\\Roaming"},
                                               {L"ALLUSERSPROFILE", programData_},
                                               {L"TEMP", temp_},
                                               {L"TMP", temp_}});
    app_.window = testsupport::WaitForWindow(testsupport::kMainWindowClass, std::nullopt, Pid());
    ASSERT_TRUE(app_.window) << "the signed assistant did not start";
    page_ = testsupport::FindDescendant(app_.window, L"翎图匠助手_Form2");
    list_ = testsupport::ChildById(page_, kListId);
    progress_ = testsupport::ChildById(page_, kProgressId);
    // The versions are listed by the page's load, which runs once the window is up.
    ASSERT_TRUE(testsupport::WaitUntil([&] { return testsupport::ListCount(list_) > 0; }));
  }

  // One refused installation: the message, an idle page, no archive left, the folder as before.
  // Started by a click, or by dropping `dropped` onto the window.
  void ExpectRefused(const std::string& why, bool overwrite, const std::wstring& dropped = L"") {
    SCOPED_TRACE(why);
    const std::wstring folder = PluginFolder1(L"SketchUp 2021");
    const auto before = Snapshot(folder);
    const bool existed = Exists(folder);
    const auto box = dropped.empty() ? Install(overwrite) : DropForBox({dropped});
    ExpectBox(box, kRefused);
    ASSERT_TRUE(box && testsupport::Answer(*box, IDOK));
    ExpectIdle();
    EXPECT_FALSE(Exists(TempArchive()));
    EXPECT_EQ(Exists(folder), existed);
    EXPECT_EQ(Snapshot(folder), before);
  }

  // An archive file, and beside it a signature file when given.
  std::wstring ArchiveFile(const std::string& archive,
                           const std::optional<std::string>& signature) {
    const std::wstring path = scratch_ + L"\\翎图匠.rbz";
    EXPECT_TRUE(testsupport::WriteFileBytes(path, archive));
    ::DeleteFileW((path + L".sig").c_str());
    if (signature) {
      EXPECT_TRUE(testsupport::WriteFileBytes(path + L".sig", *signature));
    }
    return path;
  }

  int64_t RunSigned(const std::vector<std::wstring>& args) {
    const auto code = testsupport::RunToExit(
        testsupport::WindowsPathFromUnix(exe_), args,
        {{L"USERPROFILE", profile_}, {L"ALLUSERSPROFILE", programData_}, {L"TEMP", temp_}});
    return code ? static_cast<int64_t>(*code) : -1;
  }

  // The plug-in's files as published, without the version the assistant remembers beside them.
  static std::map<std::wstring, std::string> Published(const std::wstring& folder) {
    auto files = Snapshot(folder);
    files.erase(L"Brindo\\installed.version");
    return files;
  }

  const char* exe_ = LINGTU_SIGNED_APP_EXE;
};

}  // namespace plugin_test
