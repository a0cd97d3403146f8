// Installing the plug-in from a file dropped onto the main window: the same road as a download,
// and a refusal for anything that is not one .rbz file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/form1_ids.h"
#include "plugin_page_session.h"

namespace plugin_test {
namespace {

constexpr wchar_t kDropOneArchive[] = L"请拖入单个 .rbz 格式的翎图匠安装包！";

class DropInstallTest : public PluginPageTest {
 protected:
  void ExpectDropEndsWith(const std::vector<std::wstring>& paths, const std::wstring& text) {
    SCOPED_TRACE(paths.empty() ? std::string() : base::WideToUtf8(paths.front()));
    const auto box = DropForBox(paths);
    ExpectBox(box, text);
    if (box) {
      EXPECT_TRUE(testsupport::Answer(*box, IDOK));
    }
    ExpectIdle();
  }
};

TEST_F(DropInstallTest, OneArchiveFileInstallsAndAnythingElseChangesNothing) {
  AddVersion(L"SketchUp 2021");
  const PluginFiles plugin = NewPlugin(64 * 1024);
  const std::wstring archive = scratch_ + L"\\翎图匠 1.0.9.RBZ";
  ASSERT_TRUE(testsupport::WriteFileBytes(archive, plugin.Zip().bytes));
  ASSERT_TRUE(testsupport::WriteFileBytes(scratch_ + L"\\plugin.zip", plugin.Zip().bytes));
  ASSERT_TRUE(MakeFolders(scratch_ + L"\\folder.rbz"));
  Launch();
  const std::wstring folder = PluginFolder1(L"SketchUp 2021");

  ExpectDropEndsWith({archive, archive}, kDropOneArchive);
  ExpectDropEndsWith({scratch_ + L"\\plugin.zip"}, kDropOneArchive);
  ExpectDropEndsWith({scratch_ + L"\\folder.rbz"}, kDropOneArchive);
  ExpectDropEndsWith({scratch_ + L"\\missing.rbz"}, L"读取安装包文件失败，已停止安装！");
  EXPECT_FALSE(Exists(folder) || Exists(TempArchive()));

  // Dropped while another page is shown, the plug-in page comes to the front for the progress.
  HWND tab = testsupport::ChildById(app_.window, app::id::kTabControl);
  ASSERT_TRUE(testsupport::SelectTabAsUser(tab, 1));
  const auto box = DropForBox({archive});
  ExpectBox(box, L"安装成功！");
  EXPECT_EQ(testsupport::CurrentTab(tab), 0);
  EXPECT_EQ(ProgressPosition(), 100) << "the bar showed the file as it was read";
  ASSERT_TRUE(box && testsupport::Answer(*box, IDOK));
  ExpectIdle();
  ExpectInstalled(folder, plugin);
  EXPECT_FALSE(Exists(TempArchive()));

  // Over an installed plug-in the question comes first, as for a download.
  const auto question = DropForBox({archive});
  ExpectBox(question, L"检测到当前版本已安装翎图匠，需要覆盖安装吗？", true);
  ASSERT_TRUE(question && testsupport::Answer(*question, IDCANCEL));
  EXPECT_TRUE(testsupport::ExpectNoMessageBox(Pid(), 500));
  ExpectIdle();
}

}  // namespace
}  // namespace plugin_test
