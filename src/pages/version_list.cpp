#include "pages/version_list.h"

#include "environment/plugin_folders.h"
#include "environment/sketchup_install.h"
#include "forms/control_props.h"
#include "forms/list_box.h"

namespace pages {

namespace {

constexpr wchar_t kNoSketchUp[] = L"请先安装草图大师";

struct Registry {
  forms::ControlSlot pluginList;
  forms::ControlSlot utilitiesList;
  forms::ControlSlot uninstallButton;
};

Registry& Lists() {
  static Registry lists;
  return lists;
}

}  // namespace

void ListSketchUpVersions(const forms::ControlSlot& list, const forms::ControlSlot& frame) {
  for (const std::wstring& version : environment::ReadSketchUpVersions()) {
    forms::list_box::AddItem(list, version);
  }
  if (forms::list_box::Count(list) > 0) {
    forms::list_box::Select(list, 0);
  } else {
    forms::SetCaption(frame, kNoSketchUp);
  }
}

std::wstring SelectedVersion(const forms::ControlSlot& list) {
  return forms::list_box::SelectedText(list);
}

void RegisterVersionList(VersionPage page, const forms::ControlSlot& list) {
  (page == VersionPage::kPlugin ? Lists().pluginList : Lists().utilitiesList) = list;
}

void RegisterUninstallButton(const forms::ControlSlot& button) {
  Lists().uninstallButton = button;
}

void UpdateUninstallButton() {
  const forms::ControlSlot& list = Lists().utilitiesList;
  if (forms::list_box::SelectedIndex(list) < 0) return;
  const bool installed =
      environment::IsPluginInstalled(SelectedVersion(list), environment::kAutomaticFolder);
  forms::EnableControl(Lists().uninstallButton, installed);
}

void MirrorSelection(VersionPage from, int index) {
  const forms::ControlSlot& other =
      from == VersionPage::kPlugin ? Lists().utilitiesList : Lists().pluginList;
  if (index >= 0) forms::list_box::Select(other, index);
  UpdateUninstallButton();
}

}  // namespace pages
