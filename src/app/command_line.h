// The command line. Without arguments the program opens its window; with one argument that is
// no switch it opens the window on that file, as Windows starts it for a file dropped on its
// icon or opened with it. Otherwise it runs one command for deployment without a window and
// ends with an exit code (install/exit_codes.h). The switches, what each takes and goes with, and
// their help are the rows of one table (kSwitches in command_line.cpp): the parser and the usage
// are made from it. Switches may also begin with "-" and ignore letter case. Plain rules on the
// argument list, so that they hold without a window or a machine behind them.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace app {

enum class CommandKind { kWindow, kUsage, kInstall, kUninstall, kReport };

struct Command {
  CommandKind kind = CommandKind::kWindow;
  std::wstring version;         // /sketchup; empty for every installed version ("all")
  std::wstring archiveFile;     // /from; empty to download the archive
  std::wstring reportFile;      // /report
  bool allUsers = false;        // /allusers: the shared plug-in folder, whatever the log-on name
  bool allowDowngrade = false;  // /allowdowngrade: an older verified version may replace a newer
  std::wstring openFile;        // kWindow: the file handed to the window, to take as a drop
};

struct ParsedCommand {
  std::optional<Command> command;
  std::wstring error;  // when there is no command: what is wrong, in Chinese and English
};

// `arguments` without the program's own name.
ParsedCommand ParseCommandLine(const std::vector<std::wstring>& arguments);

enum class VersionMatch { kFound, kNone, kAmbiguous };

// The versions a command is for, out of the installed version entries (in their order):
// `wanted` empty gives them all; otherwise the entry equal to it (letter case ignored), or else,
// for four digits, the one entry of that version year. kAmbiguous when several entries have
// that year: the entry must then be named as the list shows it.
VersionMatch ChooseVersions(const std::vector<std::wstring>& installed, const std::wstring& wanted,
                            std::vector<std::wstring>& chosen);

// The usage, in Chinese and English, lines ending in CRLF.
std::wstring UsageText();

}  // namespace app
