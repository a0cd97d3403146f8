// The assistant built with the publisher's key installs the plug-in from nginx only when the
// archive carries the publisher's signature (run_e2e.sh publishes and serves it).
#include <gtest/gtest.h>

#include "pages/plugin/plugin_page_session.h"

namespace plugin_test {
namespace {

constexpr wchar_t kInstalled[] = L"安装成功！";
constexpr wchar_t kRefused[] = L"安装包校验失败，已停止安装！";

std::wstring State(const std::wstring& path) {
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
    app_.process =
        testsupport::LaunchProcess(testsupport::WindowsPathFromUnix(LINGTU_SIGNED_APP_EXE), {},
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
        testsupport::WindowsPathFromUnix(LINGTU_SIGNED_APP_EXE), args,
        {{L"USERPROFILE", profile_}, {L"ALLUSERSPROFILE", programData_}, {L"TEMP", temp_}});
    return code ? static_cast<int64_t>(*code) : -1;
  }
};

TEST_F(SignedInstallTest, OnlyThePublishersArchiveIsInstalledAndByteForByte) {
  AddVersion(L"SketchUp 2021");
  LaunchSigned();
  {
    std::string tampered = testsupport::ReadBinaryFile(State(L"\\tree" + kArchive));
    ASSERT_GT(tampered.size(), 10u);
    tampered[10] ^= 1;  // in the first entry's time: the archive still extracts
    ServedFile archive(kArchive, tampered);
    ExpectRefused("a flipped byte in the archive", false);
  }
  {
    ServedFile signature(kSignature, std::nullopt);
    ExpectRefused("no signature", false);
  }
  {
    ServedFile signature(kSignature, std::string(63, 'x'));
    ExpectRefused("a short signature", false);
  }
  {
    ServedFile archive(kArchive, testsupport::ReadBinaryFile(State(L"\\stranger-tree" + kArchive)));
    ServedFile signature(kSignature,
                         testsupport::ReadBinaryFile(State(L"\\stranger-tree" + kSignature)));
    ExpectRefused("a stranger's archive and signature", false);
  }

  ExpectInstallEndsWith(kInstalled);
  ExpectIdle();
  EXPECT_EQ(Snapshot(PluginFolder1(L"SketchUp 2021")), Snapshot(State(L"\\plugin")));
  EXPECT_FALSE(Exists(TempArchive()));

  // Over an installed plug-in a refused archive changes nothing either.
  ServedFile signature(kSignature, std::string(64, '\0'));
  ExpectRefused("a zero signature over an installed plug-in", true);
}

TEST_F(SignedInstallTest, AnArchiveFileNeedsThePublishersSignatureBesideIt) {
  AddVersion(L"SketchUp 2021");
  const std::string archive = testsupport::ReadBinaryFile(State(L"\\tree" + kArchive));
  const std::string signature = testsupport::ReadBinaryFile(State(L"\\tree" + kSignature));
  std::string tampered = archive;
  tampered[10] ^= 1;
  LaunchSigned();

  ExpectRefused("dropped without a signature", false, ArchiveFile(archive, std::nullopt));
  ExpectRefused("dropped, tampered", false, ArchiveFile(tampered, signature));
  const auto box = DropForBox({ArchiveFile(archive, signature)});
  ExpectBox(box, kInstalled);
  ASSERT_TRUE(box && testsupport::Answer(*box, IDOK));
  ExpectIdle();
  EXPECT_EQ(Snapshot(PluginFolder1(L"SketchUp 2021")), Snapshot(State(L"\\plugin")));
  testsupport::RequestClose(app_.window);

  // A command run checks the same, from a file and from the server.
  const std::wstring folder = PluginFolder1(L"SketchUp 2021");
  EXPECT_EQ(RunSigned({L"/uninstall"}), 0);
  EXPECT_EQ(RunSigned({L"/install", L"/from", ArchiveFile(archive, std::nullopt)}), 5);
  EXPECT_EQ(RunSigned({L"/install", L"/from", ArchiveFile(tampered, signature)}), 5);
  {
    ServedFile served(kSignature, std::string(64, '\0'));
    EXPECT_EQ(RunSigned({L"/install"}), 5);
  }
  EXPECT_FALSE(Exists(folder + L"\\Brindo.rb") || Exists(TempArchive()));
  EXPECT_EQ(RunSigned({L"/install", L"/from", ArchiveFile(archive, signature)}), 0);
  EXPECT_EQ(Snapshot(folder), Snapshot(State(L"\\plugin")));
}

}  // namespace
}  // namespace plugin_test
