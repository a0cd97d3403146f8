#include "standin/model_window.h"

#include <memory>
#include <vector>

#include "support/standin_protocol.h"

namespace standin {
namespace {

using testsupport::kStandinGetCloseCount;
using testsupport::kStandinGetMoveCount;
using testsupport::kStandinHang;
using testsupport::kStandinResetMoves;

struct WindowState {
  bool keepsProcessAlive = false;
  bool refuseClose = false;
  bool slowClose = false;
  POINT last{};  // screen position of the top-left corner
  LRESULT moves = 0;
  LRESULT closes = 0;
};

int g_visibleWindows = 0;
// Every window's state lives until the process ends, so that no path of a failed creation
// can free it twice.
std::vector<std::unique_ptr<WindowState>> g_states;

WindowState* StateOf(HWND window) {
  return reinterpret_cast<WindowState*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

void NotePosition(WindowState& state, const WINDOWPOS& pos) {
  if (pos.flags & SWP_NOMOVE) return;
  if (pos.x != state.last.x || pos.y != state.last.y) ++state.moves;
  state.last = {pos.x, pos.y};
}

LRESULT CALLBACK ModelWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowState* state = StateOf(window);
  switch (message) {
    case WM_NCCREATE: {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
      ::SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
      break;
    }
    case WM_WINDOWPOSCHANGED:
      if (state) NotePosition(*state, *reinterpret_cast<const WINDOWPOS*>(lParam));
      break;
    case WM_CLOSE:
      if (state) {
        ++state->closes;
        if (state->refuseClose) return 0;
        if (state->slowClose) ::Sleep(testsupport::kStandinSlowCloseMs);
      }
      break;
    case WM_DESTROY:
      if (state && state->keepsProcessAlive) NoteVisibleWindowGone();
      break;
    case WM_NCDESTROY:
      ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      break;
    case kStandinGetMoveCount:
      return state ? state->moves : 0;
    case kStandinResetMoves:
      if (state) state->moves = 0;
      return 0;
    case kStandinGetCloseCount:
      return state ? state->closes : 0;
    case kStandinHang:
      ::Sleep(static_cast<DWORD>(wParam));  // the whole thread stops answering meanwhile
      return 0;
    default:
      break;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

bool RegisterModelWindowClass(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = ModelWindowProc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = testsupport::kStandinWindowClass;
  return ::RegisterClassExW(&wc) != 0;
}

HWND CreateModelWindow(HINSTANCE instance, const WindowRequest& request) {
  auto* state = g_states.emplace_back(std::make_unique<WindowState>()).get();
  state->refuseClose = request.refuseClose;
  state->slowClose = request.slowClose;
  int x = CW_USEDEFAULT, y = CW_USEDEFAULT, width = 640, height = 480;
  if (request.rect) {
    x = request.rect->left;
    y = request.rect->top;
    width = request.rect->right - request.rect->left;
    height = request.rect->bottom - request.rect->top;
  }
  HWND window = ::CreateWindowExW(0, testsupport::kStandinWindowClass, request.title.c_str(),
                                  WS_OVERLAPPEDWINDOW, x, y, width, height, nullptr, nullptr,
                                  instance, state);
  if (!window) return nullptr;
  if (request.visible) {
    state->keepsProcessAlive = true;
    NoteVisibleWindowCreated();
    ::ShowWindow(window, SW_SHOWNORMAL);
    ::UpdateWindow(window);
  }
  // Only what others do to the window from now on counts.
  RECT placed{};
  ::GetWindowRect(window, &placed);
  state->last = {placed.left, placed.top};
  state->moves = 0;
  return window;
}

void NoteVisibleWindowCreated() {
  ++g_visibleWindows;
}

void NoteVisibleWindowGone() {
  if (--g_visibleWindows == 0) ::PostQuitMessage(0);
}

}  // namespace standin
