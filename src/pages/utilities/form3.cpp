#include "pages/utilities/form3.h"

#include <array>

#include "environment/plugin_folders.h"
#include "environment/sketchup_process.h"
#include "forms/control_props.h"
#include "forms/list_box.h"
#include "forms/message_box.h"
#include "forms/page_form.h"
#include "pages/plugin/install_run.h"
#include "pages/utilities/environment_report.h"
#include "pages/utilities/folder_shortcuts.h"
#include "pages/utilities/plugin_removal.h"
#include "pages/version_list.h"

namespace utilities_page {

namespace {

using forms::ControlKind;

constexpr wchar_t kFont[] = L"Microsoft YaHei,9,0";
constexpr wchar_t kPlainFont[] = L"Microsoft YaHei,9";
constexpr DWORD kButtonStyle = 0x54010F00;       // child, visible, tab stop, centred caption
constexpr DWORD kVersionListStyle = 0x54210103;  // sorted, notify, vertical scroll, exact height

constexpr std::array kLayout = {
    forms::ControlSpec{ControlKind::kButton, L"Command1", 2, 102, L"配置目录1", 232, 89, 80, 30,
                       kButtonStyle, 0, kFont, L"打开草图大师配置文件路径，该文件保存用户设置"},
    forms::ControlSpec{ControlKind::kButton, L"Command1", 5, 103, L"插件目录2", 317, 137, 80, 30,
                       kButtonStyle, 0, kFont, L"打开不带用户名的插件启动目录(ProgramData)"},
    forms::ControlSpec{ControlKind::kButton, L"Command1", 4, 104, L"插件目录1", 232, 137, 80, 30,
                       kButtonStyle, 0, kFont, L"打开带用户名的插件启动目录(AppData)"},
    forms::ControlSpec{ControlKind::kButton, L"Command1", 0, 105, L"卸载翎图匠", 232, 41, 80, 30,
                       kButtonStyle, 0, kPlainFont, L"删除插件目录下的翎图匠文件", 0, nullptr, 0,
                       forms::kColorDefault, forms::kColorDefault, true},
    forms::ControlSpec{ControlKind::kFrame, L"Frame2", -1, 106, L"功能模块", 224, 15, 180, 210, 0,
                       0, kFont},
    forms::ControlSpec{ControlKind::kFrame, L"Frame1", -1, 107, L"选择草图版本", 11, 15, 200, 210,
                       0, 0, kFont},
    forms::ControlSpec{ControlKind::kListBox, L"List1", -1, 108, L"", 15, 36, 193, 185,
                       kVersionListStyle, WS_EX_CLIENTEDGE, kFont, L"当前已安装的SU版本列表", 0,
                       nullptr, 18, forms::kColorWindowText, forms::kColorWindow},
    forms::ControlSpec{ControlKind::kButton, L"Command1", 1, 109, L"翎图匠目录", 317, 41, 80, 30,
                       kButtonStyle, 0, kPlainFont, L"打开草图大师插件目录下的翎图匠目录"},
    forms::ControlSpec{ControlKind::kButton, L"Command1", 3, 110, L"配置目录2", 317, 89, 80, 30,
                       kButtonStyle, 0, kFont, L"打开草图大师配置文件路径，该文件保存系统设置"},
    forms::ControlSpec{ControlKind::kButton, L"Command1", 6, 111, L"草图目录", 232, 186, 80, 30,
                       kButtonStyle, 0, kFont, L"打开草图大师启动程序所在目录"},
    forms::ControlSpec{ControlKind::kButton, L"Command1", 7, 112, L"环境检测", 317, 186, 80, 30,
                       kButtonStyle, 0, kFont, L"检测当前草图版本插件安装环境"},
};
static_assert(kLayout.size() == kSlotCount);

constexpr forms::FormSpec kForm3Spec{L"翎图匠助手_Form3", L"实用工具", 416,     239,
                                     0x460B0000,          0x00010000,  kLayout, 102};

constexpr wchar_t kNoSketchUp[] = L"未检测到已安装的草图大师，请先安装草图大师！";
constexpr wchar_t kNoVersionChosen[] = L"请选择要操作的草图版本！";
constexpr wchar_t kQuitSketchUpFirst[] = L"为保证卸载成功，请先退出草图大师！";
constexpr wchar_t kConfirmUninstall[] = L"慎重操作！确定要卸载翎图匠吗？";
constexpr wchar_t kUninstalled[] = L"卸载成功！";
constexpr wchar_t kInstallRunning[] = L"正在下载安装翎图匠，请等待安装完成后再卸载！";
constexpr wchar_t kUninstallIncomplete[] = L"卸载失败，请关闭占用插件文件的程序后重试！";
constexpr wchar_t kEnvironmentFine[] = L"安装环境正常！";

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
  if (plugin_page::TheInstallRun().Running()) {
    forms::AppMessageBox(page, kInstallRunning, MB_OK);
    return;
  }
  if (!environment::IsPluginInstalled(version, environment::kAutomaticFolder)) return;
  if (environment::IsSketchUpRunning()) {
    forms::AppMessageBox(page, kQuitSketchUpFirst, MB_OK);
    return;
  }
  if (forms::AppMessageBox(page, kConfirmUninstall, MB_OKCANCEL) != IDOK) return;

  bool leftBehind = false;
  for (int selector : {environment::kUserPluginFolder, environment::kSharedPluginFolder}) {
    const std::wstring folder = environment::GetPluginFolder(version, selector);
    if (RemovePlugin(folder) == RemovalResult::kLeftBehind) leftBehind = true;
  }
  if (leftBehind) {
    pages::UpdateUninstallButton();
    forms::AppMessageBox(page, kUninstallIncomplete, MB_OK);
    return;
  }
  forms::EnableControl(Form3().slots[kUninstall], false);
  forms::AppMessageBox(page, kUninstalled, MB_OK);
}

void CheckEnvironment(HWND page, const std::wstring& version) {
  const std::wstring report = EnvironmentReport(ReadEnvironmentFacts(version));
  forms::AppMessageBox(page, report.empty() ? kEnvironmentFine : report,
                       MB_OK | MB_ICONINFORMATION);
}

void Command1Click(HWND page, int32_t index, LPARAM) {
  const forms::ControlSlot& list = Form3().slots[kList1];
  if (forms::list_box::Count(list) == 0) {
    forms::AppMessageBox(page, kNoSketchUp, MB_OK);
    return;
  }
  if (forms::list_box::SelectedIndex(list) < 0) {
    forms::AppMessageBox(page, kNoVersionChosen, MB_OK);
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
    forms::Route{105, forms::kClicked, Command1Click, 0},
    forms::Route{109, forms::kClicked, Command1Click, 1},
    forms::Route{102, forms::kClicked, Command1Click, 2},
    forms::Route{110, forms::kClicked, Command1Click, 3},
    forms::Route{104, forms::kClicked, Command1Click, 4},
    forms::Route{103, forms::kClicked, Command1Click, 5},
    forms::Route{111, forms::kClicked, Command1Click, 6},
    forms::Route{112, forms::kClicked, Command1Click, 7},
    forms::Route{108, forms::kSelectionChanged, List1SelectionChange},
};
constexpr std::array<int32_t, 2> kPaintOrder = {106, 107};

const forms::FormBehavior& Behavior();

LRESULT CALLBACK Form3Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return forms::FormWindowProc(Behavior(), window, message, wParam, lParam);
}

LRESULT CALLBACK Form3ControlProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  return forms::ControlSubclassProc(Behavior(), control, message, wParam, lParam);
}

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
  HWND page = forms::CreatePageForm(kForm3Spec, Form3(), L"Form3", Form3Procedure,
                                    Form3ControlProcedure, parent, userValue);
  if (!page) return nullptr;
  pages::RegisterVersionList(pages::VersionPage::kUtilities, Form3().slots[kList1]);
  pages::RegisterUninstallButton(Form3().slots[kUninstall]);
  return page;
}

}  // namespace utilities_page
