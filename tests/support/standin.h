// Running the stand-in SketchUp.exe from a test and asking its windows what happened to them
// (protocol in standin_protocol.h).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "support/paths.h"
#include "support/process.h"
#include "support/standin_protocol.h"

namespace testsupport {

// Starts the stand-in with `args` and returns once all its windows exist (or it ended, for
// instance on bad arguments). `exe` may name a copy under another file name.
Process LaunchStandin(const std::vector<std::wstring>& args = {},
                      const std::vector<EnvChange>& env = {},
                      const std::wstring& exe = StandinExePath());

// Copies the stand-in into `folder` (made when missing) as `fileName`; the copy's path, or
// empty on failure.
std::wstring CopyStandinAs(const std::wstring& folder, const std::wstring& fileName);
// Starts a copy named `fileName` (for instance "sketchup.exe" or "SketchUp2021.exe") kept in
// the build tree's scratch area.
Process LaunchStandinAs(const std::wstring& fileName, const std::vector<std::wstring>& args = {});

// The stand-in's windows of a process, hidden ones included, in desktop enumeration order.
std::vector<HWND> StandinWindows(DWORD pid);
LRESULT StandinMoveCount(HWND window);
void ResetStandinMoves(HWND window);
LRESULT StandinCloseCount(HWND window);

// One line of the start log (LINGTU_STANDIN_LOG).
struct StandinStart {
  std::wstring exePath;
  std::wstring userName;
};
std::vector<StandinStart> ReadStandinLog(const std::wstring& logFile);

}  // namespace testsupport
