// The version lists of the plug-in page and the utilities page. Both are filled from the same
// registry by the same operation, so equal indexes name equal versions; a selection on one
// page is mirrored on the other, which is the one link between the two pages.
#pragma once

#include <string>

#include "forms/page_form.h"
#include "forms/records.h"
#include "forms/styles.h"

namespace pages {

// What both version pages show and say about their version lists, word for word.
namespace texts {
inline constexpr wchar_t kVersionFrameCaption[] = L"选择草图版本";
inline constexpr wchar_t kVersionListToolTip[] = L"当前已安装的SU版本列表";
inline constexpr wchar_t kNoSketchUpListed[] = L"未检测到已安装的草图大师，请先安装草图大师！";
inline constexpr wchar_t kNoVersionSelected[] = L"请选择要操作的草图版本！";
}  // namespace texts

// The version frame and list as both version pages lay them out; only their IDs and places
// differ.
constexpr forms::ControlSpec VersionFrameRow(int32_t id, forms::DesignRect rect) {
  return {.kind = forms::ControlKind::kFrame,
          .name = L"Frame1",
          .id = id,
          .caption = texts::kVersionFrameCaption,
          .rect = rect,
          .font = L"Microsoft YaHei,9,0"};
}

constexpr forms::ControlSpec VersionListRow(int32_t id, forms::DesignRect rect) {
  return {.kind = forms::ControlKind::kListBox,
          .name = L"List1",
          .id = id,
          .rect = rect,
          .style = forms::styles::kSortedListBox,
          .exStyle = WS_EX_CLIENTEDGE,
          .font = L"Microsoft YaHei,9,0",
          .toolTip = texts::kVersionListToolTip,
          .itemHeight = 18,
          .textColor = forms::kColorWindowText,
          .backColor = forms::kColorWindow};
}

// Fills a sorted version list with the installed SketchUp versions and selects line 0 (without
// a notification), or sets the frame's caption to "请先安装草图大师" when there is none.
void ListSketchUpVersions(const forms::ControlSlot& list, const forms::ControlSlot& frame);

// The version entry a list shows now: its selected line's text (empty when none).
std::wstring SelectedVersion(const forms::ControlSlot& list);

enum class VersionPage { kPlugin, kUtilities };

// Each page registers its list once it exists; the utilities page also its uninstall button.
void RegisterVersionList(VersionPage page, const forms::ControlSlot& list);
void RegisterUninstallButton(const forms::ControlSlot& button);

// Enables the uninstall button exactly when the plug-in is installed (in either plug-in folder)
// for the version selected in the utilities page's list.
void UpdateUninstallButton();

// After the user selected line `index` on `from`: selects the same line on the other page
// (raising no event there) and updates the uninstall button.
void MirrorSelection(VersionPage from, int index);

}  // namespace pages
