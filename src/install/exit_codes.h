// The exit codes of a command run (command_line.h), for deployment tools and scripts to read.
// The values are part of the program's interface (README, "Deploying to many computers"):
// they never change meaning, and new ones are added at the end.
#pragma once

#include <string_view>

namespace install::exit_code {

enum : int {
  kSuccess = 0,
  kBadArguments = 1,     // the command line is not understood (the usage is written)
  kNoSketchUp = 2,       // no SketchUp installed, or not the version asked for
  kSketchUpRunning = 3,  // SketchUp runs: plug-in files must not change under it
  kDownloadFailed = 4,   // the archive could not be had: download failed, or the file unreadable
  kNotGenuine = 5,       // the archive is not the publisher's (its signature does not check out),
                         // or older than the one installed (without /allowdowngrade)
  kFailed = 6,           // installing, uninstalling or writing the report failed
  kBusy = 7,             // another instance is installing or uninstalling (window or command)
};

// One line saying what a code means, in Chinese and English.
std::wstring_view Meaning(int code);

}  // namespace install::exit_code
