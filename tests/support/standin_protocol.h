// How a test talks to the stand-in SketchUp.exe (tests/support/standin): its command line
// and the private messages its windows answer. Shared by the stand-in and the test driver.
//
// Command line (every option may repeat; windows are created in the order given):
//   --window "title"        a visible window
//   --empty-title           a visible window with an empty title
//   --hidden "title"        a window that is never shown
//   --refuse-close "title"  a visible window that ignores WM_CLOSE (it still counts it)
//   --slow-close "title"    a visible window that takes kStandinSlowCloseMs to handle WM_CLOSE
//                           (its thread answers nothing meanwhile), then goes
//   --controls              a window of common controls for checking the test driver
//                           (described in standin/controls_window.h)
//   --at x,y,w,h            outer rectangle of the next window (default: the system's choice)
//   --ready-event NAME      a manual-reset event set once every window exists
// No window option: one visible window titled kStandinDefaultTitle. An unknown option or a
// malformed --at ends the program with exit code 2 before any window exists.
//
// The process ends with exit code 0 when its last visible window is destroyed; with only
// hidden windows it runs until it is killed.
//
// When the environment variable LINGTU_STANDIN_LOG names a file, every start appends one
// UTF-8 line to it: the full path of the running executable, a tab, and the log-on name it
// runs as. A test can so see that a program was started through the shell, where it cannot
// pass arguments (ReadStandinLog in sketchup_fixture.h reads it).
#pragma once

#include <windows.h>

namespace testsupport {

inline constexpr wchar_t kStandinWindowClass[] = L"StandinModelWindow";
inline constexpr wchar_t kStandinDefaultTitle[] = L"Stand-in model";
inline constexpr wchar_t kStandinLogVariable[] = L"LINGTU_STANDIN_LOG";
inline constexpr int kStandinBadArguments = 2;
inline constexpr DWORD kStandinSlowCloseMs = 2000;

// Sent to a stand-in window; each answers for that window alone.
inline constexpr UINT kStandinGetMoveCount = WM_APP + 1;   // moves seen (position changes)
inline constexpr UINT kStandinResetMoves = WM_APP + 2;     // sets the move count to 0
inline constexpr UINT kStandinGetCloseCount = WM_APP + 3;  // WM_CLOSE messages received
// Posted: the window's thread stops answering any message for wParam milliseconds.
inline constexpr UINT kStandinHang = WM_APP + 4;

}  // namespace testsupport
