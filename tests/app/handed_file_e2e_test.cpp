// A file handed to the assistant as its only argument, as Windows does for "Open with" or a file
// dropped on its icon: the window opens and takes it as a drop, and a second start hands its file
// to the window that is open and ends.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pages/plugin/plugin_page_session.h"
#include "support/process.h"

namespace plugin_test {
namespace {

constexpr wchar_t kDropOneArchive[] = L"请拖入单个 .rbz 格式的翎图匠安装包！";

class HandedFileTest : public PluginPageTest {
 protected:
  // A second start with `file`: it ends with 0, and the open window answers with `text`.
  void ExpectSecondStartShows(const std::wstring& file, const std::wstring& text,
                              bool withCancel = false) {
    SCOPED_TRACE(base::WideToUtf8(file));
    testsupport::Process second = testsupport::LaunchProcess(testsupport::AppExePath(), {file});
    ASSERT_TRUE(second);
    EXPECT_EQ(second.WaitForExit(), std::optional<DWORD>(0));
    const auto box = testsupport::WaitForMessageBox(Pid(), 15000);
    ExpectBox(box, text, withCancel);
    if (box) {
      EXPECT_TRUE(testsupport::Answer(*box, withCancel ? IDCANCEL : IDOK));
    }
    ExpectIdle();
  }

  void ExpectBoxNow(const std::wstring& text) {
    const auto box = testsupport::WaitForMessageBox(Pid(), 15000);
    ExpectBox(box, text);
    if (box) {
      EXPECT_TRUE(testsupport::Answer(*box, IDOK));
    }
    ExpectIdle();
  }
};

TEST_F(HandedFileTest, AFileHandedAtStartOrByASecondStartIsTakenAsADrop) {
  AddVersion(L"SketchUp 2021");
  const PluginFiles plugin = NewPlugin(64 * 1024);
  const std::wstring archive = scratch_ + L"\\翎图匠 1.0.9.rbz";
  const std::wstring other = scratch_ + L"\\plugin.zip";
  ASSERT_TRUE(testsupport::WriteFileBytes(archive, plugin.Zip().bytes));
  ASSERT_TRUE(testsupport::WriteFileBytes(other, plugin.Zip().bytes));
  const std::wstring folder = PluginFolder1(L"SketchUp 2021");

  // An archive handed at start is installed once the page is ready, with the drop's progress.
  Launch(L"", {}, {archive});
  const auto box = testsupport::WaitForMessageBox(Pid(), 15000);
  ExpectBox(box, L"安装成功！");
  EXPECT_EQ(ProgressPosition(), 100) << "the bar showed the file as it was read";
  ASSERT_TRUE(box && testsupport::Answer(*box, IDOK));
  ExpectIdle();
  ExpectInstalled(folder, plugin);

  // Starts while the window is open hand their file over and end.
  ExpectSecondStartShows(other, kDropOneArchive);
  ExpectSecondStartShows(archive, L"检测到当前版本已安装翎图匠，需要覆盖安装吗？", true);
  ExpectInstalled(folder, plugin);
  ASSERT_TRUE(testsupport::RequestClose(app_.window));
  ASSERT_TRUE(app_.process.WaitForExit());

  // Anything else handed at start gets what a drop of it gets.
  Launch(L"", {}, {other});
  ExpectBoxNow(kDropOneArchive);
  EXPECT_TRUE(testsupport::ExpectNoMessageBox(Pid(), 500));
}

}  // namespace
}  // namespace plugin_test
