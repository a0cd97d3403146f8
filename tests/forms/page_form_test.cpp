// A form built from a layout table, under Wine: records, slots, routing, painting, clean-up,
// following the DPI of its monitor, and what a screen reader calls its controls.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <array>
#include <string>
#include <thread>
#include <vector>

#include "forms/accessible_names.h"
#include "forms/control_props.h"
#include "forms/create.h"
#include "forms/handle_map.h"
#include "forms/list_box.h"
#include "forms/owner_thread.h"
#include "forms/page_form.h"
#include "forms/scaling.h"
#include "forms/styles.h"
#include "forms/windowless.h"
#include "support/shared_resources.h"

namespace {

using forms::ControlKind;
using forms::ControlSpec;

enum Slot { kFrame, kLabel, kButtonA, kButtonB, kList, kProgress, kHidden, kIcon, kSlotCount };

// clang-format off
constexpr std::array kLayout = {
    ControlSpec{.kind = ControlKind::kFrame, .name = L"Frame1", .id = 102, .caption = L"框",
        .rect = {10, 10, 200, 150}, .font = L"Microsoft YaHei,9,0"},
    ControlSpec{.kind = ControlKind::kLabel, .name = L"Label1", .id = 103, .caption = L"标签",
        .rect = {220, 10, 100, 20}, .font = L"Microsoft YaHei,9,0",
        .labelAlignment = forms::kMiddleCentre},
    ControlSpec{.kind = ControlKind::kButton, .name = L"Command1", .arrayIndex = 0, .id = 104,
        .caption = L"甲", .rect = {220, 40, 80, 30}, .style = forms::styles::kButton, .exStyle = 0,
        .font = L"Microsoft YaHei,9,0", .toolTip = L"标题\r\n提示"},
    ControlSpec{.kind = ControlKind::kButton, .name = L"Command1", .arrayIndex = 1, .id = 105,
        .caption = L"乙", .rect = {220, 80, 80, 30}, .style = forms::styles::kButton, .exStyle = 0,
        .font = L"Microsoft YaHei,9,0", .disabled = true},
    ControlSpec{.kind = ControlKind::kListBox, .name = L"List1", .id = 106,
        .rect = {14, 30, 190, 125}, .style = forms::styles::kSortedListBox,
        .exStyle = WS_EX_CLIENTEDGE, .font = L"Microsoft YaHei,9,0", .toolTip = L"列表",
        .itemHeight = 18, .textColor = forms::kColorWindowText, .backColor = forms::kColorWindow},
    ControlSpec{.kind = ControlKind::kProgressBar, .name = L"Progress1", .id = 107,
        .rect = {10, 170, 200, 20}},
    ControlSpec{.kind = ControlKind::kNonVisual, .name = L"Hidden1", .id = 108},
    ControlSpec{.kind = ControlKind::kIconButton, .name = L"Command2", .id = 109,
        .caption = L"启动", .rect = {288, 26, 50, 50}, .style = forms::styles::kIconButton,
        .font = L"Microsoft YaHei,9,1", .icon = L"TEST_ICON"},
};
// clang-format on

constexpr forms::FormSpec kSpec{
    L"翎图匠助手_TestForm", L"测试", 416, 239, forms::styles::kPage | WS_VISIBLE,
    forms::styles::kPageEx, kLayout, 106};

forms::FormDescriptor descriptor;
int clicks[2] = {};
int selections = 0;
int loads = 0;

void ButtonClicked(HWND, int32_t index, LPARAM) {
  ++clicks[index];
}
void ListSelected(HWND, int32_t, LPARAM) {
  ++selections;
}
void Load(HWND, LPARAM userValue) {
  loads += static_cast<int>(userValue);
}

constexpr std::array kRoutes = {
    forms::Route{104, forms::kClicked, ButtonClicked, 0},
    forms::Route{105, forms::kClicked, ButtonClicked, 1},
    forms::Route{106, forms::kSelectionChanged, ListSelected},
};

const forms::FormBehavior& Behavior() {
  static const forms::FormBehavior behavior{&descriptor, kRoutes, Load, {}};
  return behavior;
}

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// How many more GDI objects this process can make: the platform's limit less those alive.
// A leak lowers it, under Wine too (where GetGuiResources answers 0).
int GdiObjectsLeft() {
  std::vector<HBRUSH> made;
  while (made.size() < 200000) {
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    if (!brush) break;
    made.push_back(brush);
  }
  for (HBRUSH brush : made) DeleteObject(brush);
  return static_cast<int>(made.size());
}

int WindowsOfThisThread() {
  int count = 0;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND, LPARAM param) -> BOOL {
        ++*reinterpret_cast<int*>(param);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count;
}

// Pages are children of the main window's tab control; a plain top-level window stands in.
HWND Host() {
  testsupport::ExpectLocked(testsupport::Shared::kDesktop, "shows a window");
  static HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600,
                                     nullptr, nullptr, nullptr, nullptr);
  return host;
}

HWND CreateTestForm() {
  HWND form = forms::CreatePageForm<Behavior>(kSpec, L"TestForm", Host(), 5);
  Pump();
  return form;
}

TEST(PageFormTest, BuildsControlsFromTheLayoutTable) {
  HWND form = CreateTestForm();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(descriptor.window, form);
  ASSERT_EQ(descriptor.slots.size(), size_t{kSlotCount});
  EXPECT_EQ(loads, 5);  // the posted load message ran once with the user value

  // Windowless controls live in the form's record; their slots name the form.
  EXPECT_EQ(descriptor.slots[kFrame].window, form);
  EXPECT_EQ(descriptor.slots[kFrame].id, 102);
  forms::ControlInfo* frame = forms::FindWindowless(form, 102);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->caption, L"框");
  EXPECT_EQ(forms::flags::FrameCornerRadius(frame->flagBits), 3u);
  EXPECT_EQ(forms::flags::FrameBorderWidthOf(frame->flagBits), 1u);

  // Real controls: ID, scaled rectangle, record with the array index.
  HWND buttonA = descriptor.slots[kButtonA].window;
  EXPECT_EQ(GetDlgCtrlID(buttonA), 104);
  forms::ControlInfo* recordA = forms::InfoOf(buttonA);
  ASSERT_NE(recordA, nullptr);
  EXPECT_EQ(recordA->name, L"Command1");
  EXPECT_EQ(recordA->arrayIndex, 0);
  RECT rect;
  GetWindowRect(buttonA, &rect);
  EXPECT_EQ(rect.right - rect.left, forms::ScaleXi(80));
  EXPECT_FALSE(IsWindowEnabled(descriptor.slots[kButtonB].window));

  // The list keeps exactly its design height and its line height.
  HWND list = descriptor.slots[kList].window;
  GetWindowRect(list, &rect);
  EXPECT_EQ(rect.bottom - rect.top, forms::ScaleYi(125));
  EXPECT_EQ(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0), forms::ScaleYi(18));
  forms::SetControlFont(descriptor.slots[kList], L"Microsoft YaHei,12,1");
  EXPECT_EQ(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0), forms::ScaleYi(18));

  EXPECT_EQ(descriptor.slots[kHidden].id, 108);
  DestroyWindow(form);
}

TEST(PageFormTest, RoutesClicksAndSelectionsByControlId) {
  HWND form = CreateTestForm();
  clicks[0] = clicks[1] = selections = 0;
  SendMessageW(descriptor.slots[kButtonA].window, BM_CLICK, 0, 0);
  EXPECT_EQ(clicks[0], 1);
  EXPECT_EQ(clicks[1], 0);
  // A selection made by the program raises no event; the user's one does.
  forms::list_box::AddItem(descriptor.slots[kList], L"SketchUp 2021");
  forms::list_box::AddItem(descriptor.slots[kList], L"SketchUp 2019");
  forms::list_box::Select(descriptor.slots[kList], 0);
  Pump();
  EXPECT_EQ(selections, 0);
  EXPECT_EQ(forms::list_box::SelectedText(descriptor.slots[kList]), L"SketchUp 2019");  // sorted
  SendMessageW(form, WM_COMMAND, MAKEWPARAM(106, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(descriptor.slots[kList].window));
  EXPECT_EQ(selections, 1);
  SendMessageW(form, WM_COMMAND, MAKEWPARAM(106, LBN_DBLCLK),
               reinterpret_cast<LPARAM>(descriptor.slots[kList].window));
  EXPECT_EQ(selections, 1);
  EXPECT_EQ(forms::list_box::ItemText(descriptor.slots[kList], 7), L"");
  DestroyWindow(form);
}

TEST(PageFormTest, CaptionsAndToolTips) {
  HWND form = CreateTestForm();
  EXPECT_TRUE(forms::SetCaption(descriptor.slots[kFrame], L"请先安装草图大师"));
  EXPECT_EQ(forms::CaptionOf(descriptor.slots[kFrame]), L"请先安装草图大师");
  EXPECT_TRUE(forms::SetCaption(descriptor.slots[kButtonA], L"丙"));
  EXPECT_EQ(forms::CaptionOf(descriptor.slots[kButtonA]), L"丙");

  // Only the form's own thread may change it: another thread's call is reported by name and
  // changes nothing (the test build's default report would end the process).
  static std::string reported;
  forms::SetWrongThreadHandler([](const char* function) { reported = function; });
  std::thread([] { forms::SetCaption(descriptor.slots[kLabel], L"正在下载。。。"); }).join();
  forms::SetWrongThreadHandler(nullptr);
  EXPECT_EQ(reported, "SetCaption");
  EXPECT_EQ(forms::CaptionOf(descriptor.slots[kLabel]), L"标签");

  forms::ControlInfo* record = forms::InfoOf(descriptor.slots[kButtonA].window);
  ASSERT_NE(record->toolTip, nullptr);
  // The part after "\r\n" is the tip; the part before it became the title.
  wchar_t tip[100] = {};
  TOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.hwnd = descriptor.slots[kButtonA].window;
  tool.uId = reinterpret_cast<UINT_PTR>(tool.hwnd);
  tool.lpszText = tip;
  SendMessageW(record->toolTip, TTM_GETTEXTW, 100, reinterpret_cast<LPARAM>(&tool));
  EXPECT_STREQ(tip, L"提示");
  // One tooltip window of the form holds the tips of one look: the untitled ones together.
  HWND list = descriptor.slots[kList].window, buttonB = descriptor.slots[kButtonB].window;
  EXPECT_TRUE(forms::SetToolTip(descriptor.slots[kButtonB], L"乙"));
  EXPECT_EQ(forms::InfoOf(buttonB)->toolTip, forms::InfoOf(list)->toolTip);
  EXPECT_NE(record->toolTip, forms::InfoOf(list)->toolTip);
  forms::SetToolTip(descriptor.slots[kButtonA], L"");
  EXPECT_EQ(record->toolTip, nullptr);
  EXPECT_FALSE(forms::SetCaption(forms::ControlSlot{nullptr, 1}, L"x"));
  DestroyWindow(form);
}

TEST(PageFormTest, ColourRequestsReplaceTheBrush) {
  HWND form = CreateTestForm();
  HWND list = descriptor.slots[kList].window;
  HDC dc = GetDC(list);
  auto request = [&] {
    return reinterpret_cast<HBRUSH>(SendMessageW(
        form, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(list)));
  };
  HBRUSH brush = request();
  EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_WINDOW));
  // Each request replaces the brush: however many come, one stays alive.
  const int left = GdiObjectsLeft();
  for (int i = 0; i < 50; ++i) brush = request();
  EXPECT_GE(GdiObjectsLeft(), left - 5);
  EXPECT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH));
  EXPECT_EQ(forms::InfoOf(list)->brush.get(), brush);
  ReleaseDC(list, dc);
  DestroyWindow(form);
}

TEST(PageFormTest, PaintsFramesOnTheFormBackground) {
  HWND form = CreateTestForm();
  RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  HDC dc = GetDC(form);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  // Far from every control: the form's background.
  EXPECT_EQ(GetPixel(dc, forms::ScaleXi(380), forms::ScaleYi(200)), face);
  // The frame's left border line, half way down.
  const COLORREF border = GetPixel(dc, forms::ScaleXi(10), forms::ScaleYi(100));
  EXPECT_NE(border, face);
  ReleaseDC(form, dc);
  DestroyWindow(form);
}

TEST(PageFormTest, DestroyingTheFormFreesEverything) {
  HWND form = CreateTestForm();
  HWND button = descriptor.slots[kButtonA].window;
  HWND list = descriptor.slots[kList].window;
  HDC dc = GetDC(list);
  SendMessageW(form, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(list));
  ReleaseDC(list, dc);
  HGDIOBJ listBrush = forms::InfoOf(list)->brush.get();
  HGDIOBJ formBrush = forms::InfoOf(form)->brush.get();
  HWND toolTip = forms::InfoOf(button)->toolTip;
  ASSERT_EQ(GetObjectType(listBrush), static_cast<DWORD>(OBJ_BRUSH));
  ASSERT_TRUE(IsWindow(toolTip));
  DestroyWindow(form);
  EXPECT_EQ(GetObjectType(listBrush), 0u);
  EXPECT_EQ(GetObjectType(formBrush), 0u);
  EXPECT_FALSE(IsWindow(toolTip));
  EXPECT_EQ(descriptor.window, nullptr);
  EXPECT_EQ(forms::InfoOf(form), nullptr);
  EXPECT_EQ(forms::InfoOf(button), nullptr);

  // Building and destroying the form again and again leaks no GDI objects and no windows.
  for (int i = 0; i < 3; ++i) DestroyWindow(CreateTestForm());
  Pump();
  const int gdiLeft = GdiObjectsLeft();
  const int windows = WindowsOfThisThread();
  for (int i = 0; i < 20; ++i) {
    HWND again = CreateTestForm();
    RedrawWindow(again, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    DestroyWindow(again);
  }
  Pump();
  EXPECT_GE(GdiObjectsLeft(), gdiLeft - 5);
  EXPECT_EQ(WindowsOfThisThread(), windows);
}

// A top-level form opened at `dpi` (on a monitor at that DPI) holding the page; the page.
HWND BuildAt(int dpi) {
  descriptor.allowSecondWindow = 1;  // the form that changes and the one a start builds
  HWND host = forms::CreateFormWindow(new forms::FormObject(L"翎图匠助手_DpiHost", dpi), Host(),
                                      L"", forms::FormProcedure<Behavior>, 0, 0, 430, 320,
                                      WS_POPUP | WS_VISIBLE, WS_EX_CONTROLPARENT);
  forms::InitFormRecord(host, nullptr, L"Host");
  HWND page = forms::CreatePageForm<Behavior>(kSpec, L"TestForm", host, 0);
  Pump();
  return page;
}

// What of the page depends on the DPI: its controls' rectangles, font heights, line heights and
// icon sizes, and its painting (frame and label).
std::vector<int> Look(HWND page) {
  RECT r{};
  GetClientRect(page, &r);
  const int width = r.right, height = r.bottom;
  std::vector<int> look = {width, height};
  for (HWND c = page; c; c = c == page ? GetWindow(page, GW_CHILD) : GetWindow(c, GW_HWNDNEXT)) {
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&r), 2);
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(c, WM_GETFONT, 0, 0)), sizeof(font), &font);
    ICONINFO icon{};
    BITMAP mask{};
    if (GetIconInfo(reinterpret_cast<HICON>(SendMessageW(c, BM_GETIMAGE, IMAGE_ICON, 0)), &icon)) {
      GetObjectW(icon.hbmMask, sizeof(mask), &mask);
      DeleteObject(icon.hbmMask);
      DeleteObject(icon.hbmColor);
    }
    look.insert(look.end(),
                {r.left, r.top, r.right, r.bottom, static_cast<int>(font.lfHeight),
                 static_cast<int>(SendMessageW(c, LB_GETITEMHEIGHT, 0, 0)), mask.bmWidth});
  }
  HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  forms::PaintForm(page, memory, {});
  for (int y = 0; y < height; y += 3) {
    for (int x = 0; x < width; x += 3) look.push_back(static_cast<int>(GetPixel(memory, x, y)));
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return look;
}

TEST(DpiChangeTest, AFormThatChangesDpiIsWhatAStartThereBuildsAndLeavesNothingBehind) {
  HWND page = BuildAt(96);
  HWND host = GetParent(page);
  const std::vector<int> at96 = Look(page);
  // The platform spends some objects once on a second window of the thread: spent here.
  DestroyWindow(GetParent(BuildAt(96)));
  const int gdiLeft = GdiObjectsLeft();
  for (int dpi : {144, 192, 96}) {
    SCOPED_TRACE(dpi);
    const RECT suggested{0, 0, MulDiv(430, dpi, 96), MulDiv(320, dpi, 96)};
    SendMessageW(host, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    RECT outer{};
    GetWindowRect(host, &outer);
    EXPECT_TRUE(EqualRect(&outer, &suggested));
    HWND fresh = BuildAt(dpi);
    EXPECT_TRUE(Look(page) == Look(fresh)) << "the page differs from one started at this DPI";
    DestroyWindow(GetParent(fresh));
  }
  EXPECT_TRUE(Look(page) == at96);
  EXPECT_EQ(GdiObjectsLeft(), gdiLeft);
  DestroyWindow(host);
}

// What a screen reader reads as a window's name, asked in this process.
std::wstring AccessibleName(HWND window) {
  IAccessible* object = nullptr;
  BSTR name = nullptr;
  VARIANT self{};
  self.vt = VT_I4;  // lVal 0: the window's object itself
  if (SUCCEEDED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                           __uuidof(IAccessible),
                                           reinterpret_cast<void**>(&object)))) {
    object->get_accName(self, &name);
    object->Release();
  }
  std::wstring text = name ? name : L"";
  SysFreeString(name);
  return text;
}

TEST(AccessibleNamesTest, IconButtonsCarryTheirWordsAndListsTheirFrameCaption) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  HWND form = CreateTestForm();
  HWND list = descriptor.slots[kList].window;
  EXPECT_EQ(AccessibleName(descriptor.slots[kIcon].window), L"启动");  // its window text
  // What a screen reader reads is read back here, in the process (Wine 8 gives another process
  // no object): on Windows the annotation, on Wine 8 (no annotation) the list's window text.
  EXPECT_TRUE(SUCCEEDED(forms::NameForScreenReaders(list)));
  EXPECT_EQ(AccessibleName(list), L"框");
  forms::SetCaption(descriptor.slots[kFrame], L"请先安装草图大师");  // the name follows
  EXPECT_EQ(AccessibleName(list), L"请先安装草图大师");
  EXPECT_EQ(forms::InfoOf(list)->accessibleName, L"请先安装草图大师");
  DestroyWindow(form);
}

}  // namespace
