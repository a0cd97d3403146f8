#include "pages/windows/form4.h"

#include <array>
#include <cstdint>
#include <vector>

#include "environment/sketchup_process.h"
#include "forms/control_props.h"
#include "forms/list_box.h"
#include "forms/message_box.h"
#include "forms/page_form.h"
#include "pages/windows/sketchup_windows.h"
#include "pages/windows/window_identity.h"
#include "pages/windows/window_operations.h"

namespace windows_page {

namespace {

using forms::ControlKind;

constexpr wchar_t kFont[] = L"Microsoft YaHei,9,0";
constexpr DWORD kButtonStyle = 0x54010F00;  // child, visible, tab stop, centred caption
constexpr DWORD kListStyle = 0x54210101;    // notify, vertical scroll, exact height

constexpr std::array kLayout = {
    forms::ControlSpec{ControlKind::kListBox, L"List1", -1, 102, L"", 15, 36, 193, 185, kListStyle,
                       WS_EX_CLIENTEDGE, kFont, L"", 0, nullptr, 18, forms::kColorWindowText,
                       forms::kColorWindow},
    forms::ControlSpec{ControlKind::kButton, L"Command1", -1, 103, L"刷新列表", 232, 41, 80, 30,
                       kButtonStyle, 0, kFont, L"刷新窗口列表"},
    forms::ControlSpec{ControlKind::kButton, L"Command2", 0, 104, L"重置位置", 317, 41, 80, 30,
                       kButtonStyle, 0, kFont, L"将窗口移到屏幕左上角"},
    forms::ControlSpec{ControlKind::kFrame, L"Frame1", -1, 105, L"选择操作窗口", 11, 15, 200, 210,
                       0, 0, kFont},
    forms::ControlSpec{ControlKind::kFrame, L"Frame2", -1, 106, L"窗口管理", 224, 15, 180, 210, 0,
                       0, kFont},
    forms::ControlSpec{ControlKind::kButton, L"Command2", 1, 107, L"窗口置顶", 232, 89, 80, 30,
                       kButtonStyle, 0, kFont, L"将窗口位于顶层"},
    forms::ControlSpec{ControlKind::kButton, L"Command2", 2, 108, L"取消置顶", 317, 89, 80, 30,
                       kButtonStyle, 0, kFont, L"取消窗口顶层"},
    forms::ControlSpec{ControlKind::kButton, L"Command2", 3, 109, L"禁用窗口", 232, 137, 80, 30,
                       kButtonStyle, 0, kFont, L"使窗口不接收鼠标键盘操作"},
    forms::ControlSpec{ControlKind::kButton, L"Command2", 4, 110, L"解除禁用", 317, 137, 80, 30,
                       kButtonStyle, 0, kFont, L"使窗口接收鼠标键盘操作"},
    forms::ControlSpec{ControlKind::kButton, L"Command2", 5, 111, L"抖动窗口", 232, 186, 80, 30,
                       kButtonStyle, 0, kFont, L"标记窗口位置"},
    forms::ControlSpec{ControlKind::kButton, L"Command2", 6, 112, L"关闭窗口", 317, 186, 80, 30,
                       kButtonStyle, 0, kFont, L"关掉窗口"},
};
static_assert(kLayout.size() == kSlotCount);

constexpr forms::FormSpec kForm4Spec{L"翎图匠助手_Form4", L"窗口管理", 416,     239,
                                     0x460B0000,          0x00010000,  kLayout, 102};

constexpr wchar_t kNoWindowCaption[] = L"无可操作窗口";
constexpr wchar_t kChooseWindowCaption[] = L"选择操作窗口";
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
    forms::Route{102, forms::kSelectionChanged, List1SelectionChange},
    forms::Route{103, forms::kClicked, Command1Click},
    forms::Route{104, forms::kClicked, Command2Click, operation::kMoveToTopLeft},
    forms::Route{107, forms::kClicked, Command2Click, operation::kMakeTopmost},
    forms::Route{108, forms::kClicked, Command2Click, operation::kCancelTopmost},
    forms::Route{109, forms::kClicked, Command2Click, operation::kDisableInput},
    forms::Route{110, forms::kClicked, Command2Click, operation::kEnableInput},
    forms::Route{111, forms::kClicked, Command2Click, operation::kShake},
    forms::Route{112, forms::kClicked, Command2Click, operation::kClose},
};
constexpr std::array<int32_t, 2> kPaintOrder = {106, 105};

const forms::FormBehavior& Behavior();

LRESULT CALLBACK Form4Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return forms::FormWindowProc(Behavior(), window, message, wParam, lParam);
}

LRESULT CALLBACK Form4ControlProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  return forms::ControlSubclassProc(Behavior(), control, message, wParam, lParam);
}

const forms::FormBehavior& Behavior() {
  static const forms::FormBehavior behavior{&Form4(), kRoutes, Form4Load, kPaintOrder};
  return behavior;
}

}  // namespace

forms::FormDescriptor& Form4() {
  static forms::FormDescriptor descriptor;
  return descriptor;
}

HWND CreateForm4(HWND parent, LPARAM userValue) {
  return forms::CreatePageForm(kForm4Spec, Form4(), L"Form4", Form4Procedure, Form4ControlProcedure,
                               parent, userValue);
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
  const OperationResult result = ApplyWindowOperation(target, index);
  if (result != OperationResult::kDone) {
    const bool closing = index == operation::kClose;
    forms::AppMessageBox(page,
                         result == OperationResult::kNotDone ? kNotDoneMessage
                         : closing                           ? kClosePendingMessage
                                                             : kPendingMessage,
                         0);
  }
  // The list shows whether the window went away or refused to close.
  if (index == operation::kClose) RefreshWindowList();
}

}  // namespace windows_page
