#include "pages/windows/form4.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "environment/sketchup_process.h"
#include "forms/control_props.h"
#include "forms/list_box.h"
#include "forms/message_box.h"
#include "forms/page_form.h"
#include "forms/styles.h"
#include "pages/windows/close_watch.h"
#include "pages/windows/form4_ids.h"
#include "pages/windows/sketchup_windows.h"
#include "pages/windows/window_identity.h"
#include "pages/windows/window_operations.h"

namespace windows_page {

namespace {

using forms::ControlKind;
using forms::ControlSpec;

constexpr wchar_t kFont[] = L"Microsoft YaHei,9,0";
namespace styles = forms::styles;

constexpr wchar_t kNoWindowCaption[] = L"无可操作窗口";
constexpr wchar_t kChooseWindowCaption[] = L"选择操作窗口";

// clang-format off
constexpr std::array kLayout = {
    ControlSpec{.kind = ControlKind::kListBox, .name = L"List1", .id = id::kWindowList,
        .rect = {15, 36, 193, 185}, .style = styles::kListBox, .exStyle = WS_EX_CLIENTEDGE,
        .font = kFont, .itemHeight = 18, .textColor = forms::kColorWindowText,
        .backColor = forms::kColorWindow},
    ControlSpec{.kind = ControlKind::kButton, .name = L"Command1", .id = id::kRefreshButton,
        .caption = L"刷新列表", .rect = {232, 41, 80, 30}, .style = styles::kButton, .font = kFont,
        .toolTip = L"刷新窗口列表"},
    ControlSpec{.kind = ControlKind::kButton, .name = L"Command2", .arrayIndex = 0,
        .id = id::kResetPositionButton, .caption = L"重置位置", .rect = {317, 41, 80, 30},
        .style = styles::kButton, .font = kFont, .toolTip = L"将窗口移到屏幕左上角"},
    ControlSpec{.kind = ControlKind::kFrame, .name = L"Frame1", .id = id::kWindowFrame,
        .caption = kChooseWindowCaption, .rect = {11, 15, 200, 210}, .font = kFont},
    ControlSpec{.kind = ControlKind::kFrame, .name = L"Frame2", .id = id::kToolsFrame,
        .caption = kPageCaption, .rect = {224, 15, 180, 210}, .font = kFont},
    ControlSpec{.kind = ControlKind::kButton, .name = L"Command2", .arrayIndex = 1,
        .id = id::kMakeTopmostButton, .caption = L"窗口置顶", .rect = {232, 89, 80, 30},
        .style = styles::kButton, .font = kFont, .toolTip = L"将窗口位于顶层"},
    ControlSpec{.kind = ControlKind::kButton, .name = L"Command2", .arrayIndex = 2,
        .id = id::kCancelTopmostButton, .caption = L"取消置顶", .rect = {317, 89, 80, 30},
        .style = styles::kButton, .font = kFont, .toolTip = L"取消窗口顶层"},
    ControlSpec{.kind = ControlKind::kButton, .name = L"Command2", .arrayIndex = 3,
        .id = id::kDisableButton, .caption = L"禁用窗口", .rect = {232, 137, 80, 30},
        .style = styles::kButton, .font = kFont, .toolTip = L"使窗口不接收鼠标键盘操作"},
    ControlSpec{.kind = ControlKind::kButton, .name = L"Command2", .arrayIndex = 4,
        .id = id::kEnableButton, .caption = L"解除禁用", .rect = {317, 137, 80, 30},
        .style = styles::kButton, .font = kFont, .toolTip = L"使窗口接收鼠标键盘操作"},
    ControlSpec{.kind = ControlKind::kButton, .name = L"Command2", .arrayIndex = 5,
        .id = id::kShakeButton, .caption = L"抖动窗口", .rect = {232, 186, 80, 30},
        .style = styles::kButton, .font = kFont, .toolTip = L"标记窗口位置"},
    ControlSpec{.kind = ControlKind::kButton, .name = L"Command2", .arrayIndex = 6,
        .id = id::kCloseButton, .caption = L"关闭窗口", .rect = {317, 186, 80, 30},
        .style = styles::kButton, .font = kFont, .toolTip = L"关掉窗口"},
};
// clang-format on
static_assert(kLayout.size() == kSlotCount);

// clang-format off
constexpr forms::FormSpec kForm4Spec{.className = L"翎图匠助手_Form4", .caption = kPageCaption,
    .width = 416, .height = 239, .style = styles::kPage, .exStyle = styles::kPageEx,
    .controls = kLayout, .focusId = id::kWindowList};
// clang-format on

constexpr wchar_t kChooseFirstMessage[] = L"请选中要操作的窗口再操作！";
constexpr wchar_t kWindowGoneMessage[] = L"窗口已被销毁，请刷新列表后再操作！";
constexpr wchar_t kClosePendingMessage[] = L"窗口没有响应，已发出关闭请求，请稍后刷新列表！";
constexpr wchar_t kPendingMessage[] = L"窗口没有响应，操作将在窗口恢复响应后完成！";
constexpr wchar_t kNotDoneMessage[] = L"窗口没有响应，操作未完成！";

// What the last refresh listed, with each window's owner at that time.
std::vector<ListedWindow>& Listed() {
  static std::vector<ListedWindow> listed;
  return listed;
}

DWORD ListedOwnerOf(HWND window) {
  for (const ListedWindow& entry : Listed()) {
    if (entry.window == window) return entry.processId;
  }
  return 0;
}

const forms::ControlSlot& SlotOf(Slot slot) {
  return Form4().slots[slot];
}

constexpr UINT_PTR kCloseWatchTimer = 1;

CloseWatch& Closing() {
  static CloseWatch watch;
  return watch;
}

// Called from the message loop once a window asked to close has handled the request.
void CALLBACK CloseHandled(HWND target, UINT, ULONG_PTR, LRESULT) {
  if (!Form4().window) return;  // the program is closing
  Closing().Handled(target);
  RefreshWindowList();
}

void WatchClose(HWND page, HWND target) {
  Closing().Start(target, ::GetTickCount64());
  ::SetTimer(page, kCloseWatchTimer, kCloseWatchPeriodMs, nullptr);
}

std::optional<LRESULT> Form4Message(HWND page, UINT message, WPARAM wParam, LPARAM) {
  if (message != WM_TIMER || wParam != kCloseWatchTimer) return std::nullopt;
  if (Closing().Look(::GetTickCount64())) RefreshWindowList();
  if (Closing().Empty()) ::KillTimer(page, kCloseWatchTimer);
  return 0;
}

// Event procedures, in the order a user meets them.

void Form4Load(HWND, LPARAM) {
  RefreshWindowList();
}

// The list is narrow: the selected line's full title is shown as its tooltip.
void List1SelectionChange(HWND, int32_t, LPARAM) {
  const forms::ControlSlot& list = SlotOf(kList1);
  forms::SetToolTip(list, forms::list_box::SelectedText(list));
}

void Command1Click(HWND, int32_t, LPARAM) {
  RefreshWindowList();
}

void Command2Click(HWND form, int32_t index, LPARAM) {
  WindowOperation(index, form);
}

constexpr std::array kRoutes = {
    forms::Route{id::kWindowList, forms::kSelectionChanged, List1SelectionChange},
    forms::Route{id::kRefreshButton, forms::kClicked, Command1Click},
    forms::Route{id::kResetPositionButton, forms::kClicked, Command2Click,
                 operation::kMoveToTopLeft},
    forms::Route{id::kMakeTopmostButton, forms::kClicked, Command2Click, operation::kMakeTopmost},
    forms::Route{id::kCancelTopmostButton, forms::kClicked, Command2Click,
                 operation::kCancelTopmost},
    forms::Route{id::kDisableButton, forms::kClicked, Command2Click, operation::kDisableInput},
    forms::Route{id::kEnableButton, forms::kClicked, Command2Click, operation::kEnableInput},
    forms::Route{id::kShakeButton, forms::kClicked, Command2Click, operation::kShake},
    forms::Route{id::kCloseButton, forms::kClicked, Command2Click, operation::kClose},
};
constexpr std::array<int32_t, 2> kPaintOrder = {id::kToolsFrame, id::kWindowFrame};

const forms::FormBehavior& Behavior() {
  static const forms::FormBehavior behavior{&Form4(), kRoutes, Form4Load, kPaintOrder,
                                            Form4Message};
  return behavior;
}

}  // namespace

forms::FormDescriptor& Form4() {
  static forms::FormDescriptor descriptor;
  return descriptor;
}

HWND CreateForm4(HWND parent, LPARAM userValue) {
  return forms::CreatePageForm<Behavior>(kForm4Spec, L"Form4", parent, userValue);
}

void RefreshWindowList() {
  if (!Form4().window || Form4().slots.size() != kSlotCount) return;
  const forms::ControlSlot& list = SlotOf(kList1);
  const std::vector<DWORD> processIds = environment::SketchUpProcessIds();
  forms::list_box::Clear(list);
  Listed().clear();
  if (processIds.empty()) {
    forms::SetCaption(SlotOf(kFrame1), kNoWindowCaption);
    return;
  }
  forms::SetCaption(SlotOf(kFrame1), kChooseWindowCaption);
  Listed() = VisibleWindowsOf(processIds);
  for (const ListedWindow& found : Listed()) {
    forms::list_box::AddItem(list, found.title, reinterpret_cast<intptr_t>(found.window));
  }
  if (forms::list_box::Count(list) > 0) forms::list_box::Select(list, 0);
}

void WindowOperation(int32_t index, HWND page) {
  if (Form4().slots.size() != kSlotCount) return;
  const forms::ControlSlot& list = SlotOf(kList1);
  const int selected = forms::list_box::SelectedIndex(list);
  if (selected < 0) {
    forms::AppMessageBox(page, kChooseFirstMessage, 0);
    return;
  }
  const auto target = reinterpret_cast<HWND>(forms::list_box::ItemData(list, selected));
  // A handle of a closed SketchUp may since name another program's window.
  if (!IsStillSketchUpWindow(target, ListedOwnerOf(target))) {
    // The entry stays until the user refreshes; the main window owns this message.
    forms::AppMessageBox(::GetAncestor(page, GA_ROOT), kWindowGoneMessage, 0);
    return;
  }
  const OperationResult result = ApplyWindowOperation(target, index, CloseHandled);
  if (result == OperationResult::kClosing) {
    // The list follows when the window has handled the request, and when it is gone.
    WatchClose(page, target);
    return;
  }
  if (result != OperationResult::kDone) {
    const bool closing = index == operation::kClose;
    forms::AppMessageBox(page,
                         result == OperationResult::kNotDone ? kNotDoneMessage
                         : closing                           ? kClosePendingMessage
                                                             : kPendingMessage,
                         0);
  }
  // The list shows whether the window went away.
  if (index == operation::kClose) RefreshWindowList();
}

}  // namespace windows_page
