// The command line's rules: what each argument list means, and which versions a run is for.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "base/text.h"

namespace app {
namespace {

using Texts = std::vector<std::wstring>;

// The command an argument list means; a list the parser refuses fails the test here.
Command Parsed(const Texts& args) {
  const ParsedCommand parsed = ParseCommandLine(args);
  if (!parsed.command) {
    ADD_FAILURE() << "refused: " << base::WideToUtf8(parsed.error);
    Command none;
    none.kind = CommandKind::kUsage;  // matches no expectation of a window or a run
    return none;
  }
  return *parsed.command;
}

TEST(CommandLineTest, UnderstoodCommands) {
  EXPECT_EQ(Parsed({}).kind, CommandKind::kWindow);
  EXPECT_EQ(Parsed({L"/install", L"/nonsense", L"-?"}).kind, CommandKind::kUsage);
  const Command install = Parsed({L"-INSTALL", L"/SketchUp", L"SketchUp 2023", L"/from",
                                  L"D:\\翎图匠.rbz", L"/AllUsers", L"-AllowDowngrade"});
  EXPECT_EQ(install.kind, CommandKind::kInstall);
  EXPECT_EQ(install.version, L"SketchUp 2023");
  EXPECT_EQ(install.archiveFile, L"D:\\翎图匠.rbz");
  EXPECT_TRUE(install.allUsers);
  EXPECT_TRUE(install.allowDowngrade);
  EXPECT_FALSE(Parsed({L"/install"}).allowDowngrade);
  const Command uninstall = Parsed({L"/sketchup", L"ALL", L"/uninstall"});
  EXPECT_EQ(uninstall.kind, CommandKind::kUninstall);
  EXPECT_EQ(uninstall.version, L"");  // every version
  // One file alone, as Windows hands a file dropped on the program or opened with it.
  const Command handed = Parsed({L"D:\\下载\\翎图匠 1.0.9.rbz"});
  EXPECT_EQ(handed.kind, CommandKind::kWindow);
  EXPECT_EQ(handed.openFile, L"D:\\下载\\翎图匠 1.0.9.rbz");
}

TEST(CommandLineTest, RefusedCommandsSayWhy) {
  for (const Texts& args : std::vector<Texts>{
           {L"/install", L"install"},
           {L"a.rbz", L"b.rbz"},
           {L""},
           {L"/allusers"},
           {L"/install", L"/uninstall"},
           {L"/install", L"/sketchup", L"2021", L"/sketchup", L"2022"},
           {L"/install", L"/from", L""},
           {L"/uninstall", L"/from", L"a.rbz"},
           {L"/report", L"r.txt", L"/allusers"},
           {L"/uninstall", L"/allowdowngrade"},
           {L"/install", L"/allowdowngrade", L"-AllowDowngrade"},
       }) {
    const ParsedCommand parsed = ParseCommandLine(args);
    EXPECT_TRUE(!parsed.command && !parsed.error.empty()) << args.size() << " arguments";
  }
  EXPECT_EQ(ParseCommandLine({L"/uninstall", L"/from", L"a.rbz"}).error,
            L"/from 只能用于 /install / /from goes with /install only");
  EXPECT_EQ(ParseCommandLine({L"/install", L"/report", L"r.txt"}).error,
            L"只能指定一个操作 / only one of /install, /uninstall and /report may be given");
}

TEST(CommandLineTest, TheUsageShowsEachCommandWithWhatGoesWithIt) {
  const std::wstring usage = UsageText();
  for (const wchar_t* line : {
           L"翎图匠助手.exe /install [/sketchup 版本|all] [/from 文件] [/allusers] "
           L"[/allowdowngrade]\r\n",
           L"翎图匠助手.exe /uninstall [/sketchup 版本|all] [/allusers]\r\n",
           L"翎图匠助手.exe /report 文件 [/sketchup 版本|all]\r\n",
           L"翎图匠助手.exe /?\r\n",
           L"  /allusers   使用所有用户共用的插件目录2（ProgramData），不论登录用户名\r\n"
           L"              uses the plug-in folder",
       }) {
    EXPECT_NE(usage.find(line), std::wstring::npos) << base::WideToUtf8(line);
  }
}

TEST(CommandLineTest, ChoosingVersions) {
  const Texts installed = {L"SketchUp 2021", L"SketchUp 2023", L"SketchUp Viewer 2023"};
  Texts chosen;
  EXPECT_EQ(ChooseVersions(installed, L"", chosen), VersionMatch::kFound);
  EXPECT_EQ(chosen, installed);
  EXPECT_EQ(ChooseVersions(installed, L"2021", chosen), VersionMatch::kFound);
  EXPECT_EQ(chosen, Texts{L"SketchUp 2021"});
  EXPECT_EQ(ChooseVersions(installed, L"sketchup 2023", chosen), VersionMatch::kFound);
  EXPECT_EQ(chosen, Texts{L"SketchUp 2023"});
  EXPECT_EQ(ChooseVersions(installed, L"2023", chosen), VersionMatch::kAmbiguous);
  EXPECT_EQ(ChooseVersions(installed, L"2022", chosen), VersionMatch::kNone);
}

}  // namespace
}  // namespace app
