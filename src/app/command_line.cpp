#include "app/command_line.h"

#include <windows.h>

#include <iterator>
#include <string_view>

#include "install/exit_codes.h"
#include "environment/sketchup_install.h"
#include "version.h"

namespace app {

namespace exit_code = install::exit_code;

namespace {

constexpr unsigned KindBit(CommandKind kind) {
  return 1u << static_cast<unsigned>(kind);
}

// One switch. A switch names a command (/install) or qualifies one (/sketchup); a value, when it
// takes one, is the next argument, which must not look like a switch.
struct SwitchRow {
  std::wstring_view name;                      // after "/" or "-"
  CommandKind command = CommandKind::kWindow;  // the command it names; kWindow: a qualifier
  unsigned goesWith = 0;                       // a qualifier's commands (KindBit)
  std::wstring_view value;                     // its value in the usage; empty: none taken
  std::wstring Command::*text = nullptr;       // where its value goes
  bool Command::*flag = nullptr;               // or what a switch without a value sets
  std::wstring_view emptyWhen;                 // a value (any letter case) kept as empty
  std::wstring_view helpZh, helpEn;            // the usage's entry; "\n" breaks a line
};

constexpr unsigned kActions = KindBit(CommandKind::kInstall) | KindBit(CommandKind::kUninstall) |
                              KindBit(CommandKind::kReport);

// Every switch: the commands first, in the order the usage lists them, then the qualifiers in the
// order the usage's lines show them. A new switch is a new row (and its field in Command).
constexpr SwitchRow kSwitches[] = {
    {.name = L"install",
     .command = CommandKind::kInstall,
     .helpZh = L"安装或更新翎图匠：从更新服务器下载，或用 /from 指定的安装包文件",
     .helpEn = L"installs or updates the plug-in: downloaded from the update server, or\n"
               L"from the archive given with /from"},
    {.name = L"uninstall",
     .command = CommandKind::kUninstall,
     .helpZh = L"卸载翎图匠",
     .helpEn = L"removes the plug-in"},
    {.name = L"report",
     .command = CommandKind::kReport,
     .value = L"文件",
     .text = &Command::reportFile,
     .helpZh = L"把环境检测的结果写入文件（UTF-8）",
     .helpEn = L"writes the environment check of each version to FILE (UTF-8)"},
    {.name = L"?", .command = CommandKind::kUsage},
    {.name = L"sketchup",
     .goesWith = kActions,
     .value = L"版本|all",
     .text = &Command::version,
     .emptyWhen = L"all",
     .helpZh = L"草图大师版本，如 2023 或 \"SketchUp 2023\"；默认 all，即所有已安装的版本",
     .helpEn = L"the SketchUp version, e.g. 2023 or \"SketchUp 2023\"; by default all,\n"
               L"every installed version"},
    {.name = L"from",
     .goesWith = KindBit(CommandKind::kInstall),
     .value = L"文件",
     .text = &Command::archiveFile,
     .helpZh = L"安装包文件（签名文件为同名加 .sig）",
     .helpEn = L"the archive FILE to install (its signature beside it, FILE.sig)"},
    {.name = L"allusers",
     .goesWith = KindBit(CommandKind::kInstall) | KindBit(CommandKind::kUninstall),
     .flag = &Command::allUsers,
     .helpZh = L"使用所有用户共用的插件目录2（ProgramData），不论登录用户名",
     .helpEn = L"uses the plug-in folder shared by all users (ProgramData), whatever the\n"
               L"log-on name"},
    {.name = L"allowdowngrade",
     .goesWith = KindBit(CommandKind::kInstall),
     .flag = &Command::allowDowngrade,
     .helpZh = L"允许安装比已安装版本旧的版本",
     .helpEn = L"installs even a version older than the one installed"},
};
constexpr size_t kSwitchCount = std::size(kSwitches);

// Each row's parts agree: a value has its field, a qualifier the commands it goes with.
constexpr bool RowsAgree() {
  for (const SwitchRow& row : kSwitches) {
    if (row.value.empty() != (row.text == nullptr) || (row.text && row.flag)) return false;
    if ((row.command == CommandKind::kWindow) != (row.goesWith != 0)) return false;
  }
  return true;
}
static_assert(RowsAgree());

bool SameIgnoringCase(std::wstring_view a, std::wstring_view b) {
  return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

bool LooksLikeSwitch(std::wstring_view argument) {
  return !argument.empty() && (argument[0] == L'/' || argument[0] == L'-');
}

// The row of a switch, or none.
const SwitchRow* SwitchOf(std::wstring_view argument) {
  if (!LooksLikeSwitch(argument)) return nullptr;
  for (const SwitchRow& row : kSwitches) {
    if (SameIgnoringCase(argument.substr(1), row.name)) return &row;
  }
  return nullptr;
}

std::wstring Slashed(const SwitchRow& row) {
  return L"/" + std::wstring(row.name);
}

// The switches naming one of `commands`, in table order: "/a、/b 或 /c" and "/a, /b or /c".
std::wstring ListOfCommands(unsigned commands, std::wstring_view separator,
                            std::wstring_view lastSeparator) {
  std::vector<std::wstring> names;
  for (const SwitchRow& row : kSwitches) {
    if (row.command != CommandKind::kWindow && (commands & KindBit(row.command))) {
      names.push_back(Slashed(row));
    }
  }
  std::wstring text;
  for (size_t i = 0; i < names.size(); ++i) {
    if (i > 0) text += i + 1 == names.size() ? lastSeparator : separator;
    text += names[i];
  }
  return text;
}

ParsedCommand Error(std::wstring text) {
  return {std::nullopt, std::move(text)};
}

// Builds the command while the arguments are read; the first problem ends it.
class Parser {
 public:
  explicit Parser(const std::vector<std::wstring>& arguments) : arguments_(arguments) {}

  ParsedCommand Run() {
    // A request for the usage is answered whatever else the line holds.
    for (const std::wstring& argument : arguments_) {
      const SwitchRow* row = SwitchOf(argument);
      if (row && row->command == CommandKind::kUsage) {
        command_.kind = CommandKind::kUsage;
        return {command_, L""};
      }
    }
    // What Windows passes for a file dropped on the program or opened with it.
    if (arguments_.size() == 1 && !arguments_[0].empty() && !LooksLikeSwitch(arguments_[0])) {
      command_.openFile = arguments_[0];
      return {command_, L""};
    }
    bool given[kSwitchCount] = {};
    for (at_ = 0; at_ < arguments_.size(); ++at_) {
      const std::wstring& argument = arguments_[at_];
      const SwitchRow* row = SwitchOf(argument);
      if (!row) return Error(L"未知参数 / unknown argument: " + argument);
      if (row->command != CommandKind::kWindow) {
        if (command_.kind != CommandKind::kWindow) return Error(TwoCommands());
        command_.kind = row->command;
      } else {
        bool& seen = given[row - kSwitches];
        if (seen) return Error(L"参数重复 / given twice: " + argument);
        seen = true;
      }
      if (row->text) {
        std::wstring& value = command_.*(row->text);
        if (!TakeValue(value)) return Error(L"参数缺少值 / a value must follow: " + argument);
        if (!row->emptyWhen.empty() && SameIgnoringCase(value, row->emptyWhen)) value.clear();
      } else if (row->flag) {
        command_.*(row->flag) = true;
      }
    }
    // Any run but the usage needs exactly one command, and each qualifier one it goes with.
    const CommandKind kind = command_.kind;
    if (kind == CommandKind::kWindow) {
      const unsigned all = kActions | KindBit(CommandKind::kUsage);
      return Error(L"请指定 " + ListOfCommands(all, L"、", L" 或 ") + L" 之一 / one of " +
                   ListOfCommands(all, L", ", L" or ") + L" is needed");
    }
    for (size_t i = 0; i < kSwitchCount; ++i) {
      const SwitchRow& row = kSwitches[i];
      if (!given[i] || (row.goesWith & KindBit(kind))) continue;
      return Error(Slashed(row) + L" 只能用于 " + ListOfCommands(row.goesWith, L"、", L" 或 ") +
                   L" / " + Slashed(row) + L" goes with " +
                   ListOfCommands(row.goesWith, L", ", L" or ") + L" only");
    }
    return {command_, L""};
  }

 private:
  // The argument after the switch, which must be there and be no switch itself.
  bool TakeValue(std::wstring& value) {
    if (at_ + 1 >= arguments_.size() || arguments_[at_ + 1].empty() ||
        LooksLikeSwitch(arguments_[at_ + 1])) {
      return false;
    }
    value = arguments_[++at_];
    return true;
  }

  static std::wstring TwoCommands() {
    return L"只能指定一个操作 / only one of " + ListOfCommands(kActions, L", ", L" and ") +
           L" may be given";
  }

  const std::vector<std::wstring>& arguments_;
  size_t at_ = 0;
  Command command_;
};

// "  /name      " and the help's lines, each further line under the first one's text.
void AppendHelp(std::wstring& text, const SwitchRow& row) {
  constexpr size_t kColumn = 12;  // where the help begins, after two spaces
  const std::wstring indent(2 + kColumn, L' ');
  std::wstring name = Slashed(row);
  text += L"  " + name;
  if (name.size() + 1 > kColumn) {
    text += L"\r\n" + indent;  // a long name has the help on lines of its own
  } else {
    text += std::wstring(kColumn - name.size(), L' ');
  }
  bool first = true;
  for (std::wstring_view help : {row.helpZh, row.helpEn}) {
    while (!help.empty()) {
      const size_t cut = help.find(L'\n');
      if (!first) text += indent;
      first = false;
      text += help.substr(0, cut);
      text += L"\r\n";
      help = cut == std::wstring_view::npos ? std::wstring_view() : help.substr(cut + 1);
    }
  }
}

bool IsYear(std::wstring_view text) {
  if (text.size() != 4) return false;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return false;
  }
  return true;
}

}  // namespace

ParsedCommand ParseCommandLine(const std::vector<std::wstring>& arguments) {
  if (arguments.empty()) return {Command{}, L""};
  return Parser(arguments).Run();
}

VersionMatch ChooseVersions(const std::vector<std::wstring>& installed, const std::wstring& wanted,
                            std::vector<std::wstring>& chosen) {
  chosen.clear();
  if (wanted.empty()) {
    chosen = installed;
  } else {
    for (const std::wstring& entry : installed) {
      if (SameIgnoringCase(entry, wanted)) {
        chosen = {entry};
        return VersionMatch::kFound;
      }
    }
    if (IsYear(wanted)) {
      const int year = environment::VersionYear(wanted);
      for (const std::wstring& entry : installed) {
        if (environment::VersionYear(entry) == year) chosen.push_back(entry);
      }
      if (chosen.size() > 1) return VersionMatch::kAmbiguous;
    }
  }
  return chosen.empty() ? VersionMatch::kNone : VersionMatch::kFound;
}

std::wstring UsageText() {
  constexpr std::wstring_view kProgram = L"  翎图匠助手.exe";
  std::wstring text = L"翎图匠助手 " LINGTU_VERSION_SHORT L"\r\n\r\n";
  text += std::wstring(kProgram) + L"                 打开窗口 / opens the window\r\n";
  text += std::wstring(kProgram) + L" 文件.rbz        打开窗口并安装该文件，如同拖入窗口\r\n";
  text += std::wstring(33, L' ') + L"opens the window and installs FILE as if dropped on it\r\n";
  for (const SwitchRow& command : kSwitches) {
    if (command.command == CommandKind::kWindow) continue;
    text += std::wstring(kProgram) + L" " + Slashed(command);
    if (!command.value.empty()) text += L" " + std::wstring(command.value);
    for (const SwitchRow& qualifier : kSwitches) {
      if (!(qualifier.goesWith & KindBit(command.command))) continue;
      text += L" [" + Slashed(qualifier);
      if (!qualifier.value.empty()) text += L" " + std::wstring(qualifier.value);
      text += L"]";
    }
    text += L"\r\n";
  }
  text += L"\r\n";
  for (const SwitchRow& row : kSwitches) {
    if (!row.helpZh.empty() || !row.helpEn.empty()) AppendHelp(text, row);
  }
  text += L"\r\n退出码 / exit codes:\r\n";
  for (int code = exit_code::kSuccess; code <= exit_code::kBusy; ++code) {
    text += L"  " + std::to_wstring(code) + L"  ";
    text += exit_code::Meaning(code);
    text += L"\r\n";
  }
  return text;
}

}  // namespace app
