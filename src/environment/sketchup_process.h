// Whether SketchUp runs: any process whose program file is "SketchUp.exe" in any letter case.
#pragma once

#include <windows.h>

#include <vector>

namespace environment {

// True when at least one running process is SketchUp, whatever its version.
bool IsSketchUpRunning();

// The ids of all running SketchUp processes, in the order of a process snapshot.
std::vector<DWORD> SketchUpProcessIds();

}  // namespace environment
