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
  // The window's next box: `text`, closed with OK; then the page is idle, unless the box was
  // the overwrite question.
  void ExpectBoxAnswered(const std::wstring& text, bool question = false) {
    const auto box = testsupport::WaitForMessageBox(Pid(), 15000);
    ExpectBox(box, text, question);
    EXPECT_TRUE(box && testsupport::Answer(*box, IDOK));
    if (!question) ExpectIdle();
  }

  // A second start with `file` (relative to the scratch folder, as from a console there) ends
  // with 0 once the open window took the file.
  void StartASecondTime(const std::wstring& file) {
    testsupport::Process second =
        testsupport::LaunchProcess(testsupport::AppExePath(), {file}, {}, scratch_);
    EXPECT_EQ(second.WaitForExit(), std::optional<DWORD>(0)) << base::WideToUtf8(file);
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
  StartASecondTime(other);
  ExpectBoxAnswered(kDropOneArchive);
  StartASecondTime(L"翎图匠 1.0.9.rbz");
  ExpectBoxAnswered(L"检测到当前版本已安装翎图匠，需要覆盖安装吗？", true);
  ExpectBoxAnswered(L"安装成功！");
  ExpectInstalled(folder, plugin);
  ASSERT_TRUE(testsupport::RequestClose(app_.window));
  ASSERT_TRUE(app_.process.WaitForExit());

  // Anything else handed at start gets what a drop of it gets.
  Launch(L"", {}, {other});
  ExpectBoxAnswered(kDropOneArchive);
  EXPECT_TRUE(testsupport::ExpectNoMessageBox(Pid(), 500));
}

}  // namespace
}  // namespace plugin_test
