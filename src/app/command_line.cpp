#include "app/command_line.h"

#include <windows.h>

#include <array>
#include <string_view>

#include "install/exit_codes.h"
#include "environment/sketchup_install.h"
#include "version.h"

namespace app {

namespace exit_code = install::exit_code;

namespace {

enum class Switch {
  kInstall,
  kUninstall,
  kReport,
  kUsage,
  kSketchUp,
  kFrom,
  kAllUsers,
  kAllowDowngrade,
  kNone
};

struct SwitchName {
  std::wstring_view name;
  Switch which;
};
constexpr std::array kSwitches = {
    SwitchName{L"install", Switch::kInstall},
    SwitchName{L"uninstall", Switch::kUninstall},
    SwitchName{L"report", Switch::kReport},
    SwitchName{L"?", Switch::kUsage},
    SwitchName{L"sketchup", Switch::kSketchUp},
    SwitchName{L"from", Switch::kFrom},
    SwitchName{L"allusers", Switch::kAllUsers},
    SwitchName{L"allowdowngrade", Switch::kAllowDowngrade},
};

bool SameIgnoringCase(std::wstring_view a, std::wstring_view b) {
  return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

bool LooksLikeSwitch(std::wstring_view argument) {
  return !argument.empty() && (argument[0] == L'/' || argument[0] == L'-');
}

Switch SwitchOf(std::wstring_view argument) {
  if (!LooksLikeSwitch(argument)) return Switch::kNone;
  for (const SwitchName& entry : kSwitches) {
    if (SameIgnoringCase(argument.substr(1), entry.name)) return entry.which;
  }
  return Switch::kNone;
}

Command MakeCommand(CommandKind kind) {
  Command command;
  command.kind = kind;
  return command;
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
      if (SwitchOf(argument) == Switch::kUsage) return {MakeCommand(CommandKind::kUsage), L""};
    }
    bool versionGiven = false, fromGiven = false, allUsersGiven = false, downgradeGiven = false;
    for (at_ = 0; at_ < arguments_.size(); ++at_) {
      const std::wstring& argument = arguments_[at_];
      switch (SwitchOf(argument)) {
        case Switch::kUsage:
          break;  // answered above
        case Switch::kInstall:
          if (!SetKind(CommandKind::kInstall)) return Error(TwoActions());
          break;
        case Switch::kUninstall:
          if (!SetKind(CommandKind::kUninstall)) return Error(TwoActions());
          break;
        case Switch::kReport:
          if (!SetKind(CommandKind::kReport)) return Error(TwoActions());
          if (!TakeValue(command_.reportFile)) return Error(MissingValue(argument));
          break;
        case Switch::kSketchUp:
          if (versionGiven) return Error(Twice(argument));
          versionGiven = true;
          if (!TakeValue(command_.version)) return Error(MissingValue(argument));
          if (SameIgnoringCase(command_.version, L"all")) command_.version.clear();
          break;
        case Switch::kFrom:
          if (fromGiven) return Error(Twice(argument));
          fromGiven = true;
          if (!TakeValue(command_.archiveFile)) return Error(MissingValue(argument));
          break;
        case Switch::kAllUsers:
          if (allUsersGiven) return Error(Twice(argument));
          allUsersGiven = command_.allUsers = true;
          break;
        case Switch::kAllowDowngrade:
          if (downgradeGiven) return Error(Twice(argument));
          downgradeGiven = command_.allowDowngrade = true;
          break;
        case Switch::kNone:
          return Error(L"未知参数 / unknown argument: " + argument);
      }
    }
    // Any run but the usage needs exactly one action.
    const CommandKind kind = command_.kind;
    if (kind == CommandKind::kWindow) {
      return Error(
          L"请指定 /install、/uninstall、/report 或 /? 之一 / "
          L"one of /install, /uninstall, /report or /? is needed");
    }
    if (fromGiven && kind != CommandKind::kInstall) {
      return Error(L"/from 只能用于 /install / /from goes with /install only");
    }
    if (downgradeGiven && kind != CommandKind::kInstall) {
      return Error(L"/allowdowngrade 只能用于 /install / /allowdowngrade goes with /install only");
    }
    if (allUsersGiven && kind == CommandKind::kReport) {
      return Error(
          L"/allusers 只能用于 /install 或 /uninstall / "
          L"/allusers goes with /install or /uninstall only");
    }
    return {command_, L""};
  }

 private:
  bool SetKind(CommandKind kind) {
    if (command_.kind != CommandKind::kWindow) return false;
    command_.kind = kind;
    return true;
  }

  // The argument after the switch, which must be there and be no switch itself.
  bool TakeValue(std::wstring& value) {
    if (at_ + 1 >= arguments_.size() || arguments_[at_ + 1].empty() ||
        LooksLikeSwitch(arguments_[at_ + 1])) {
      return false;
    }
    value = arguments_[++at_];
    return true;
  }

  static std::wstring TwoActions() {
    return L"只能指定一个操作 / only one of /install, /uninstall and /report may be given";
  }
  static std::wstring MissingValue(const std::wstring& argument) {
    return L"参数缺少值 / a value must follow: " + argument;
  }
  static std::wstring Twice(const std::wstring& argument) {
    return L"参数重复 / given twice: " + argument;
  }

  const std::vector<std::wstring>& arguments_;
  size_t at_ = 0;
  Command command_;
};

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
  std::wstring text =
      L"翎图匠助手 " LINGTU_VERSION_SHORT
      L"\r\n"
      L"\r\n"
      L"  翎图匠助手.exe                 打开窗口 / opens the window\r\n"
      L"  翎图匠助手.exe /install [/sketchup 版本|all] [/from 文件] [/allusers] [/allowdowngrade]\r\n"
      L"  翎图匠助手.exe /uninstall [/sketchup 版本|all] [/allusers]\r\n"
      L"  翎图匠助手.exe /report 文件 [/sketchup 版本|all]\r\n"
      L"  翎图匠助手.exe /?\r\n"
      L"\r\n"
      L"  /install    安装或更新翎图匠：从更新服务器下载，或用 /from 指定的安装包文件\r\n"
      L"              （签名文件为同名加 .sig）\r\n"
      L"              installs or updates the plug-in: downloaded from the update server, or\r\n"
      L"              from the archive FILE (its signature beside it, FILE.sig)\r\n"
      L"  /uninstall  卸载翎图匠 / removes the plug-in\r\n"
      L"  /report     把环境检测的结果写入文件（UTF-8）\r\n"
      L"              writes the environment check of each version to FILE (UTF-8)\r\n"
      L"  /sketchup   草图大师版本，如 2023 或 \"SketchUp 2023\"；默认 all，即所有已安装的版本\r\n"
      L"              the SketchUp version, e.g. 2023 or \"SketchUp 2023\"; by default all,\r\n"
      L"              every installed version\r\n"
      L"  /allusers   使用所有用户共用的插件目录2（ProgramData），不论登录用户名\r\n"
      L"              uses the plug-in folder shared by all users (ProgramData), whatever the\r\n"
      L"              log-on name\r\n"
      L"  /allowdowngrade  允许安装比已安装版本旧的版本\r\n"
      L"              installs even a version older than the one installed\r\n"
      L"\r\n"
      L"退出码 / exit codes:\r\n";
  for (int code = exit_code::kSuccess; code <= exit_code::kBusy; ++code) {
    text += L"  " + std::to_wstring(code) + L"  ";
    text += exit_code::Meaning(code);
    text += L"\r\n";
  }
  return text;
}

}  // namespace app
