// The command line for deployment. Without arguments the program opens its window; with them it
// runs one command without a window and ends with an exit code (exit_codes.h):
//
//   /install   [/sketchup VERSION|all] [/from FILE] [/allusers] [/allowdowngrade]
//   /uninstall [/sketchup VERSION|all] [/allusers]
//   /report FILE [/sketchup VERSION|all]
//   /?
//
// Switches may also begin with "-" and ignore letter case. Plain rules on the argument list, so
// that they hold without a window or a machine behind them.
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
