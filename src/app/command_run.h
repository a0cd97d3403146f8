// A command run: the program started with arguments (command_line.h) does the one thing asked
// without a window, without a question and without a message box, and ends with an exit code
// (exit_codes.h). It takes the same road as the window, and leaves every plug-in folder as it
// was or fully installed.
#pragma once

#include <string>
#include <vector>

#include "app/command_line.h"

namespace app {

// Runs `command` (not kWindow) and returns the process's exit code.
int RunCommand(const Command& command);

// Parses the arguments (without the program's name) and runs them; bad arguments are told, with
// the usage, where WriteOutput writes.
int RunCommandLine(const std::vector<std::wstring>& arguments);

}  // namespace app
