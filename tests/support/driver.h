// Drives a program of another process the way a person would: finds its windows, clicks,
// chooses list lines and tabs, reads what is on screen and answers message boxes. Every call
// goes through window messages and ordinary platform calls; nothing is mocked.
//
// Cross-process facts this relies on (Wine 8, as on Windows):
// - WM_GETTEXT and the list-box messages are carried across processes by the system; the
//   status-bar, tab and tooltip messages pass raw pointers, so their buffers are placed in
//   the target process (RemoteBuffer).
// - A message sent to another thread is handled before anything posted to it, and a modal
//   loop (a message box) keeps handling sent messages. So a user action is delivered with
//   SendNotifyMessage (it does not wait, and cannot deadlock on a message box the action
//   opens) and followed by WaitIdle, whose WM_NULL comes back once the action has been
//   handled or has reached a modal loop. A plain PostMessage could be overtaken by it.
// - WM_NOTIFY is not carried across processes under Wine 8: SendMessage fails without
//   delivering it, even with the header placed in the target. So a tab is chosen by a
//   click on it, and the tab control raises TCN_SELCHANGING and TCN_SELCHANGE itself.
// - A message box's owner (GW_OWNER) is always a top-level window: the system replaces a
//   child window passed as owner by its top-level ancestor.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "support/process.h"

namespace testsupport {

inline constexpr wchar_t kMainWindowClass[] = L"翎图匠助手_Form1";
inline constexpr DWORD kAnyProcess = 0;

// ---- The assistant under test.
struct RunningApp {
  Process process;
  HWND window = nullptr;  // the visible main window; null when it did not appear in time
};
// Starts AppExePath() with the environment changes (USER sets the log-on name, see
// process.h) and the arguments, and waits until its main window is visible.
RunningApp LaunchApp(const std::vector<EnvChange>& env = {}, const std::wstring& workdir = L"",
                     DWORD timeoutMs = 60000, const std::vector<std::wstring>& args = {});

// ---- Messages.
// Sends a message to a window of another thread and returns its answer, or -1 when the window's
// thread did not answer within the time: a test never waits on a program without a bound.
LRESULT SendWithin(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0,
                   DWORD timeoutMs = kDefaultTimeoutMs);

// ---- Waiting.
// Polls `condition` until it holds or the time is up; the last answer.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kDefaultTimeoutMs);
// Returns once the window's thread has handled everything sent to it so far (see above).
bool WaitIdle(HWND window, DWORD timeoutMs = kDefaultTimeoutMs);
// Returns once the assistant's main window has handled everything of its start, the pages'
// posted load events included.
bool WaitUntilStarted(HWND window, DWORD timeoutMs = kDefaultTimeoutMs);
bool WaitForWindowGone(HWND window, DWORD timeoutMs = kDefaultTimeoutMs);

// ---- Windows.
// The first visible top-level window of the class (and title, and process) to appear.
HWND WaitForWindow(std::wstring_view className, std::optional<std::wstring> title = std::nullopt,
                   DWORD pid = kAnyProcess, DWORD timeoutMs = kDefaultTimeoutMs);
// All top-level windows of a process, hidden ones included, in desktop enumeration order.
std::vector<HWND> TopLevelWindows(DWORD pid);
DWORD ProcessOf(HWND window);
std::wstring ClassOf(HWND window);
std::wstring WindowText(HWND window);
HWND ChildById(HWND parent, int id);
// The first descendant window of the class, depth first.
HWND FindDescendant(HWND parent, std::wstring_view className);
bool IsVisible(HWND window);
bool IsEnabled(HWND window);
RECT OuterRect(HWND window);  // screen coordinates
RECT ClientRect(HWND window);
RECT RectInParent(HWND child);  // outer rectangle in the parent's client coordinates
LONG_PTR Style(HWND window);
LONG_PTR ExStyle(HWND window);
bool IsTopmost(HWND window);
// The window with the keyboard focus in the thread that owns `window`.
HWND FocusedWindow(HWND window);
// Clicks a button as a person would: nothing happens (false) when it is hidden or disabled.
bool Click(HWND button, DWORD timeoutMs = kDefaultTimeoutMs);
// Asks a window to close (WM_CLOSE, posted) and waits until it is gone.
bool RequestClose(HWND window, DWORD timeoutMs = kDefaultTimeoutMs);

// ---- Message boxes.
struct MessageBoxInfo {
  HWND window = nullptr;
  HWND owner = nullptr;
  std::wstring title;
  std::wstring text;
  bool hasOk = false;
  bool hasCancel = false;
  bool hasIcon = false;
};
// The first visible message box of the process to appear (any process: kAnyProcess).
std::optional<MessageBoxInfo> WaitForMessageBox(DWORD pid, DWORD timeoutMs = kDefaultTimeoutMs);
MessageBoxInfo ReadMessageBox(HWND box);
// Presses IDOK or IDCANCEL and waits until the box has closed (it is no longer visible);
// false when the box has no such button or does not close.
bool Answer(const MessageBoxInfo& box, int buttonId, DWORD timeoutMs = kDefaultTimeoutMs);
// Succeeds when no message box of the process shows up within `ms`; otherwise names it.
::testing::AssertionResult ExpectNoMessageBox(DWORD pid, DWORD ms = 1000);

// ---- List boxes.
int ListCount(HWND list);
std::wstring ListText(HWND list, int index);
std::vector<std::wstring> ListTexts(HWND list);
int ListSelectedIndex(HWND list);  // -1: none
LPARAM ListItemData(HWND list, int index);
// Selects a line and tells the parent, as a click on the line would (LBN_SELCHANGE).
bool SelectAsUser(HWND list, int index, DWORD timeoutMs = kDefaultTimeoutMs);

// ---- Status bar.
int PanelCount(HWND status);
std::wstring PanelText(HWND status, int index);
int PanelStyle(HWND status, int index);  // the drawing style (SBT_...) the text was set with
std::vector<int> PanelRightEdges(HWND status);

// ---- Tab control.
int TabCount(HWND tab);
std::wstring TabText(HWND tab, int index);
int CurrentTab(HWND tab);
// A tab's rectangle in the tab control's client area.
std::optional<RECT> TabItemRect(HWND tab, int index);
// Clicks a tab: the control asks its parent (TCN_SELCHANGING, which may refuse), selects
// the tab and reports it (TCN_SELCHANGE). True when the tab is then the current one.
bool SelectTabAsUser(HWND tab, int index, DWORD timeoutMs = kDefaultTimeoutMs);

// ---- Monitors.
// Tells a top-level window, as the system does when it is moved to a monitor of another DPI,
// that its DPI is now `dpi` and it is to take `suggested` (screen coordinates).
bool SendDpiChange(HWND window, int dpi, const RECT& suggested);

// ---- The keyboard.
// Brings the window's top-level window to the front, so that key input reaches it.
bool BringToFront(HWND window);
// Presses and releases a key with real input (SendInput), the modifiers held around it (for
// instance {VK_CONTROL, VK_SHIFT}). Input is handled after everything sent or posted to the
// window's thread, so a test waits for what the key does.
bool PressKey(WORD key, std::initializer_list<WORD> modifiers = {});

// ---- Dropping files.
// Drops files onto a window as the shell does (WM_DROPFILES); true once the window handled it.
bool DropFiles(HWND window, const std::vector<std::wstring>& paths,
               DWORD timeoutMs = kDefaultTimeoutMs);

// ---- Tooltips.
// The tooltip text registered for a control in any tooltip window of its process; nothing
// when no tool names the control.
std::optional<std::wstring> ToolTipText(HWND control);

}  // namespace testsupport
