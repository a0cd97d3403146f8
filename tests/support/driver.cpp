#include "support/driver.h"

#include <gtest/gtest.h>

#include "app/startup_timeline.h"
#include "base/text.h"
#include "support/paths.h"
#include "support/shared_resources.h"

namespace testsupport {
namespace {

constexpr DWORD kPollMs = 20;
constexpr wchar_t kDialogClass[] = L"#32770";
constexpr int kMessageBoxTextId = 0xFFFF;
constexpr int kMessageBoxIconId = 1088;

bool TimeLeft(DWORD deadline) {
  return static_cast<LONG>(deadline - ::GetTickCount()) > 0;
}

bool IsShownButton(HWND box, int id) {
  HWND button = ::GetDlgItem(box, id);
  return button && ::IsWindowVisible(button);
}

bool IsMessageBox(HWND window) {
  return ClassOf(window) == kDialogClass && ::IsWindowVisible(window) &&
         ::GetDlgItem(window, kMessageBoxTextId);
}

HWND FindMessageBox(DWORD pid) {
  struct Search {
    DWORD pid;
    HWND found;
  } search{pid, nullptr};
  ::EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        if ((s->pid != kAnyProcess && ProcessOf(window) != s->pid) || !IsMessageBox(window)) {
          return TRUE;
        }
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

RunningApp LaunchApp(const std::vector<EnvChange>& env, const std::wstring& workdir,
                     DWORD timeoutMs, const std::vector<std::wstring>& args) {
  // The assistant runs once per session, looks at every SketchUp, asks the update server at
  // start and takes the foreground.
  ExpectLocked(Shared::kSketchUp, "runs the assistant");
  ExpectLocked(Shared::kUpdateServer, "runs the assistant");
  ExpectLocked(Shared::kDesktop, "runs the assistant");
  RunningApp app;
  Process started = LaunchProcess(AppExePath(), args, env, workdir);
  if (!started) {
    // Read before anything else runs: Wine reports a process lost at birth as error 1359.
    const DWORD error = ::GetLastError();
    ADD_FAILURE() << "the assistant could not be started, error " << error;
    return app;
  }
  app.process = std::move(started);
  app.window = WaitForWindow(kMainWindowClass, std::nullopt, app.process.pid(), timeoutMs);
  // A start that never settles is a fault of its own, not something to wait out silently.
  if (app.window && !WaitUntilStarted(app.window, timeoutMs)) {
    ADD_FAILURE() << "the assistant did not report that its start-up work was done within "
                  << timeoutMs << " ms";
  }
  return app;
}

bool WaitUntilStarted(HWND window, DWORD timeoutMs) {
  // The pages' load events are posted messages, which a sent message would overtake: ask the
  // assistant whether its message loop has run out of work once.
  const UINT query = ::RegisterWindowMessageW(app::startup::kQueryMessageName);
  const auto idle = static_cast<WPARAM>(app::startup::Step::kIdle);
  return WaitUntil(
      [&] {
        DWORD_PTR stamp = 0;
        return ::SendMessageTimeoutW(window, query, idle, 0, SMTO_NORMAL, 1000, &stamp) &&
               stamp != 0;
      },
      timeoutMs);
}

LRESULT SendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD timeoutMs) {
  DWORD_PTR result = 0;
  if (!::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, timeoutMs, &result)) {
    return -1;
  }
  return static_cast<LRESULT>(result);
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  const DWORD deadline = ::GetTickCount() + timeoutMs;
  while (TimeLeft(deadline)) {
    if (condition()) return true;
    ::Sleep(kPollMs);
  }
  return condition();
}

bool WaitIdle(HWND window, DWORD timeoutMs) {
  DWORD_PTR result = 0;
  return ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
}

bool WaitForWindowGone(HWND window, DWORD timeoutMs) {
  return WaitUntil([window] { return !::IsWindow(window); }, timeoutMs);
}

HWND WaitForWindow(std::wstring_view className, std::optional<std::wstring> title, DWORD pid,
                   DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND window = ::FindWindowExW(nullptr, nullptr, std::wstring(className).c_str(),
                                           title ? title->c_str() : nullptr);
             window; window = ::FindWindowExW(nullptr, window, std::wstring(className).c_str(),
                                              title ? title->c_str() : nullptr)) {
          if ((pid == kAnyProcess || ProcessOf(window) == pid) && ::IsWindowVisible(window)) {
            found = window;
            return true;
          }
        }
        return false;
      },
      timeoutMs);
  return found;
}

std::vector<HWND> TopLevelWindows(DWORD pid) {
  struct Collect {
    DWORD pid;
    std::vector<HWND> windows;
  } collect{pid, {}};
  ::EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* c = reinterpret_cast<Collect*>(param);
        if (ProcessOf(window) == c->pid) c->windows.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&collect));
  return collect.windows;
}

DWORD ProcessOf(HWND window) {
  DWORD pid = 0;
  ::GetWindowThreadProcessId(window, &pid);
  return pid;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256];
  const int length = ::GetClassNameW(window, name, 256);
  return std::wstring(name, length > 0 ? length : 0);
}

std::wstring WindowText(HWND window) {
  DWORD_PTR length = 0;
  if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kDefaultTimeoutMs,
                             &length)) {
    return L"";
  }
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!::SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_NORMAL, kDefaultTimeoutMs, &copied)) {
    return L"";
  }
  text.resize(copied < text.size() ? copied : text.size() - 1);
  return text;
}

HWND ChildById(HWND parent, int id) {
  return ::GetDlgItem(parent, id);
}

HWND FindDescendant(HWND parent, std::wstring_view className) {
  struct Search {
    std::wstring_view className;
    HWND found;
  } search{className, nullptr};
  // EnumChildWindows walks grandchildren too, each right after its parent.
  ::EnumChildWindows(
      parent,
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        if (ClassOf(window) != s->className) return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool IsVisible(HWND window) {
  return ::IsWindowVisible(window) != FALSE;
}
bool IsEnabled(HWND window) {
  return ::IsWindowEnabled(window) != FALSE;
}

RECT OuterRect(HWND window) {
  RECT rect{};
  ::GetWindowRect(window, &rect);
  return rect;
}

RECT ClientRect(HWND window) {
  RECT rect{};
  ::GetClientRect(window, &rect);
  return rect;
}

RECT RectInParent(HWND child) {
  RECT rect = OuterRect(child);
  ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

LONG_PTR Style(HWND window) {
  return ::GetWindowLongPtrW(window, GWL_STYLE);
}
LONG_PTR ExStyle(HWND window) {
  return ::GetWindowLongPtrW(window, GWL_EXSTYLE);
}
bool IsTopmost(HWND window) {
  return (ExStyle(window) & WS_EX_TOPMOST) != 0;
}

HWND FocusedWindow(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

bool Click(HWND button, DWORD timeoutMs) {
  if (!::IsWindowVisible(button) || !::IsWindowEnabled(button)) return false;
  if (!::SendNotifyMessageW(button, BM_CLICK, 0, 0)) return false;
  return WaitIdle(button, timeoutMs);
}

bool BringToFront(HWND window) {
  ExpectLocked(Shared::kDesktop, "takes the foreground");
  HWND top = ::GetAncestor(window, GA_ROOT);
  ::SetForegroundWindow(top);
  return WaitUntil([&] { return ::GetForegroundWindow() == top; }) && WaitIdle(top);
}

bool PressKey(WORD key, std::initializer_list<WORD> modifiers) {
  ExpectLocked(Shared::kDesktop, "types on the keyboard");
  std::vector<INPUT> inputs;
  auto add = [&](WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(input);
  };
  for (WORD modifier : modifiers) add(modifier, false);
  add(key, false);
  add(key, true);
  for (auto it = modifiers.end(); it != modifiers.begin();) add(*--it, true);
  const auto count = static_cast<UINT>(inputs.size());
  return ::SendInput(count, inputs.data(), sizeof(INPUT)) == count;
}

bool RequestClose(HWND window, DWORD timeoutMs) {
  return ::PostMessageW(window, WM_CLOSE, 0, 0) && WaitForWindowGone(window, timeoutMs);
}

std::optional<MessageBoxInfo> WaitForMessageBox(DWORD pid, DWORD timeoutMs) {
  HWND box = nullptr;
  WaitUntil([&] { return (box = FindMessageBox(pid)) != nullptr; }, timeoutMs);
  if (!box) return std::nullopt;
  return ReadMessageBox(box);
}

MessageBoxInfo ReadMessageBox(HWND box) {
  MessageBoxInfo info;
  info.window = box;
  info.owner = ::GetWindow(box, GW_OWNER);
  info.title = WindowText(box);
  if (HWND text = ::GetDlgItem(box, kMessageBoxTextId)) info.text = WindowText(text);
  info.hasOk = IsShownButton(box, IDOK);
  info.hasCancel = IsShownButton(box, IDCANCEL);
  if (HWND icon = ::GetDlgItem(box, kMessageBoxIconId)) {
    DWORD_PTR handle = 0;
    info.hasIcon =
        ::SendMessageTimeoutW(icon, STM_GETICON, 0, 0, SMTO_NORMAL, kDefaultTimeoutMs, &handle) &&
        handle != 0;
  }
  return info;
}

bool Answer(const MessageBoxInfo& box, int buttonId, DWORD timeoutMs) {
  HWND button = ::GetDlgItem(box.window, buttonId);
  if (!button || !::IsWindowVisible(button)) return false;
  if (!::PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                      reinterpret_cast<LPARAM>(button))) {
    return false;
  }
  // Under Wine the answered box is hidden at once but destroyed about two seconds later.
  HWND window = box.window;
  return WaitUntil([window] { return !::IsWindowVisible(window); }, timeoutMs);
}

::testing::AssertionResult ExpectNoMessageBox(DWORD pid, DWORD ms) {
  if (auto box = WaitForMessageBox(pid, ms)) {
    return ::testing::AssertionFailure()
           << "a message box appeared: \"" << base::WideToUtf8(box->title) << "\": \""
           << base::WideToUtf8(box->text) << "\"";
  }
  return ::testing::AssertionSuccess();
}

}  // namespace testsupport
