#include "pages/utilities/form3.h"

#include <array>

#include "environment/environment_report.h"
#include "environment/plugin_folders.h"
#include "environment/sketchup_process.h"
#include "forms/control_props.h"
#include "forms/list_box.h"
#include "forms/message_box.h"
#include "forms/page_form.h"
#include "forms/styles.h"
#include "install/install_lock.h"
#include "install/outcome.h"
#include "install/plugin_removal.h"
#include "pages/install_run.h"
#include "pages/utilities/folder_shortcuts.h"
#include "pages/utilities/form3_ids.h"
#include "pages/version_list.h"

namespace utilities_page {

namespace {

using forms::ControlKind;
using forms::ControlSpec;

constexpr wchar_t kFont[] = L"Microsoft YaHei,9,0";
constexpr wchar_t kPlainFont[] = L"Microsoft YaHei,9";
namespace styles = forms::styles;

// clang-format off
constexpr std::array kLayout = {
    ControlSpec{.kind = ControlKind::kButton, .name = L"Command1", .arrayIndex = 2,
        .id = id::kConfigFolder1Button, .caption = L"配置目录1", .rect = {232, 89, 80, 30},
        .style = styles::kButton, .font = kFont,
        .toolTip = L"打开草图大师配置文件路径，该文件保存用户设置"},
    ControlSpec{.kind = ControlKind::kButton, .name = L"Command1", .arrayIndex = 5,
        .id = id::kPluginFolder2Button, .caption = L"插件目录2", .rect = {317, 137, 80, 30},
        .style = styles::kButton, .font = kFont,
        .toolTip = L"打开不带用户名的插件启动目录(ProgramData)"},
    ControlSpec{.kind = ControlKind::kButton, .name = L"Command1", .arrayIndex = 4,
        .id = id::kPluginFolder1Button, .caption = L"插件目录1", .rect = {232, 137, 80, 30},
        .style = styles::kButton, .font = kFont, .toolTip = L"打开带用户名的插件启动目录(AppData)"},
    ControlSpec{.kind = ControlKind::kButton, .name = L"Command1", .arrayIndex = 0,
        .id = id::kUninstallButton, .caption = L"卸载翎图匠", .rect = {232, 41, 80, 30},
        .style = styles::kButton, .font = kPlainFont, .toolTip = L"删除插件目录下的翎图匠文件",
        .disabled = true},
    ControlSpec{.kind = ControlKind::kFrame, .name = L"Frame2", .id = id::kToolsFrame,
        .caption = L"功能模块", .rect = {224, 15, 180, 210}, .font = kFont},
    pages::VersionFrameRow(id::kVersionFrame, {11, 15, 200, 210}),
    pages::VersionListRow(id::kVersionList, {15, 36, 193, 185}),
    ControlSpec{.kind = ControlKind::kButton, .name = L"Command1", .arrayIndex = 1,
        .id = id::kPluginOwnFolderButton, .caption = L"翎图匠目录", .rect = {317, 41, 80, 30},
        .style = styles::kButton, .font = kPlainFont,
        .toolTip = L"打开草图大师插件目录下的翎图匠目录"},
    ControlSpec{.kind = ControlKind::kButton, .name = L"Command1", .arrayIndex = 3,
        .id = id::kConfigFolder2Button, .caption = L"配置目录2", .rect = {317, 89, 80, 30},
        .style = styles::kButton, .font = kFont,
        .toolTip = L"打开草图大师配置文件路径，该文件保存系统设置"},
    ControlSpec{.kind = ControlKind::kButton, .name = L"Command1", .arrayIndex = 6,
        .id = id::kSketchUpFolderButton, .caption = L"草图目录", .rect = {232, 186, 80, 30},
        .style = styles::kButton, .font = kFont, .toolTip = L"打开草图大师启动程序所在目录"},
    ControlSpec{.kind = ControlKind::kButton, .name = L"Command1", .arrayIndex = 7,
        .id = id::kEnvironmentCheckButton, .caption = L"环境检测", .rect = {317, 186, 80, 30},
        .style = styles::kButton, .font = kFont, .toolTip = L"检测当前草图版本插件安装环境"},
};
// clang-format on
static_assert(kLayout.size() == kSlotCount);

// The Tab key goes from the list to the buttons beside it, row by row (their array order).
constexpr std::array<int32_t, 9> kTabOrder = {id::kVersionList, id::kCommand1[0], id::kCommand1[1],
                                              id::kCommand1[2], id::kCommand1[3], id::kCommand1[4],
                                              id::kCommand1[5], id::kCommand1[6], id::kCommand1[7]};

// clang-format off
constexpr forms::FormSpec kForm3Spec{.className = L"翎图匠助手_Form3", .caption = kPageCaption,
    .width = 416, .height = 239, .style = styles::kPage, .exStyle = styles::kPageEx,
    .controls = kLayout, .focusId = id::kConfigFolder1Button, .tabOrder = kTabOrder};
// clang-format on

constexpr wchar_t kQuitSketchUpFirst[] = L"为保证卸载成功，请先退出草图大师！";
constexpr wchar_t kConfirmUninstall[] = L"慎重操作！确定要卸载翎图匠吗？";
constexpr wchar_t kInstallRunning[] = L"正在下载安装翎图匠，请等待安装完成后再卸载！";

// Command1 indexes with an action of their own; 1 to 6 are the folder shortcuts.
constexpr int32_t kUninstallIndex = 0;
constexpr int32_t kEnvironmentCheckIndex = 7;

// Event procedures, in the order a user meets them.
void Form3Load(HWND, LPARAM) {
  pages::ListSketchUpVersions(Form3().slots[kList1], Form3().slots[kFrame1]);
  pages::UpdateUninstallButton();
}

void List1SelectionChange(HWND, int32_t, LPARAM) {
  const int index = forms::list_box::SelectedIndex(Form3().slots[kList1]);
  if (index < 0) return;
  pages::MirrorSelection(pages::VersionPage::kUtilities, index);
}

void UninstallPlugin(HWND page, const std::wstring& version) {
  // The install's worker writes into the same folder.
  if (pages::TheInstallRun().Running()) {
    forms::AppMessageBox(page, kInstallRunning, MB_OK);
    return;
  }
  if (!environment::IsPluginInstalled(version, environment::kAutomaticFolder)) return;
  if (environment::IsSketchUpRunning()) {
    forms::AppMessageBox(page, kQuitSketchUpFirst, MB_OK);
    return;
  }
  if (forms::AppMessageBox(page, kConfirmUninstall, MB_OKCANCEL) != IDOK) return;
  // Another program (a command run, or the window of another session) installs or uninstalls.
  const install::InstallLock lock = install::InstallLock::Take();
  if (!lock) {
    forms::AppMessageBox(page, install::MessageOf(install::Outcome::kBusy), MB_OK);
    return;
  }

  const install::Outcome removed =
      install::UninstallPlugin(version, install::RemovalScope::kBothFolders);
  if (removed == install::Outcome::kRemoved) {
    forms::EnableControl(Form3().slots[kUninstall], false);
  } else {
    pages::UpdateUninstallButton();
  }
  forms::AppMessageBox(page, install::MessageOf(removed), MB_OK);
}

void CheckEnvironment(HWND page, const std::wstring& version) {
  forms::AppMessageBox(
      page, environment::EnvironmentCheckText(environment::ReadEnvironmentFacts(version)),
      MB_OK | MB_ICONINFORMATION);
}

void Command1Click(HWND page, int32_t index, LPARAM) {
  const forms::ControlSlot& list = Form3().slots[kList1];
  if (forms::list_box::Count(list) == 0) {
    forms::AppMessageBox(page, pages::texts::kNoSketchUpListed, MB_OK);
    return;
  }
  if (forms::list_box::SelectedIndex(list) < 0) {
    forms::AppMessageBox(page, pages::texts::kNoVersionSelected, MB_OK);
    return;
  }
  const std::wstring version = pages::SelectedVersion(list);
  if (index == kUninstallIndex) {
    UninstallPlugin(page, version);
  } else if (index == kEnvironmentCheckIndex) {
    CheckEnvironment(page, version);
  } else if (const auto target = FolderShortcut(index, version)) {
    OpenFolderOrSelectFile(page, target->folder, target->file);
  }
}

constexpr std::array kRoutes = {
    forms::Route{id::kCommand1[0], forms::kClicked, Command1Click, 0},
    forms::Route{id::kCommand1[1], forms::kClicked, Command1Click, 1},
    forms::Route{id::kCommand1[2], forms::kClicked, Command1Click, 2},
    forms::Route{id::kCommand1[3], forms::kClicked, Command1Click, 3},
    forms::Route{id::kCommand1[4], forms::kClicked, Command1Click, 4},
    forms::Route{id::kCommand1[5], forms::kClicked, Command1Click, 5},
    forms::Route{id::kCommand1[6], forms::kClicked, Command1Click, 6},
    forms::Route{id::kCommand1[7], forms::kClicked, Command1Click, 7},
    forms::Route{id::kVersionList, forms::kSelectionChanged, List1SelectionChange},
};
constexpr std::array<int32_t, 2> kPaintOrder = {id::kToolsFrame, id::kVersionFrame};

const forms::FormBehavior& Behavior() {
  static const forms::FormBehavior behavior{&Form3(), kRoutes, Form3Load, kPaintOrder};
  return behavior;
}

}  // namespace

forms::FormDescriptor& Form3() {
  static forms::FormDescriptor descriptor;
  return descriptor;
}

HWND CreateForm3(HWND parent, LPARAM userValue) {
  HWND page = forms::CreatePageForm<Behavior>(kForm3Spec, L"Form3", parent, userValue);
  if (!page) return nullptr;
  pages::RegisterVersionList(pages::VersionPage::kUtilities, Form3().slots[kList1]);
  pages::RegisterUninstallButton(Form3().slots[kUninstall]);
  return page;
}

}  // namespace utilities_page
