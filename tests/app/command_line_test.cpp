// The command line's rules: what each argument list means, and which versions a run is for.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"

namespace app {
namespace {

using Texts = std::vector<std::wstring>;

TEST(CommandLineTest, UnderstoodCommands) {
  EXPECT_EQ(ParseCommandLine({}).command->kind, CommandKind::kWindow);
  EXPECT_EQ(ParseCommandLine({L"/install", L"/nonsense", L"-?"}).command->kind,
            CommandKind::kUsage);
  const Command install = *ParseCommandLine({L"-INSTALL", L"/SketchUp", L"SketchUp 2023", L"/from",
                                             L"D:\\翎图匠.rbz", L"/AllUsers", L"-AllowDowngrade"})
                               .command;
  EXPECT_EQ(install.kind, CommandKind::kInstall);
  EXPECT_EQ(install.version, L"SketchUp 2023");
  EXPECT_EQ(install.archiveFile, L"D:\\翎图匠.rbz");
  EXPECT_TRUE(install.allUsers);
  EXPECT_TRUE(install.allowDowngrade);
  EXPECT_FALSE(ParseCommandLine({L"/install"}).command->allowDowngrade);
  const Command uninstall = *ParseCommandLine({L"/sketchup", L"ALL", L"/uninstall"}).command;
  EXPECT_EQ(uninstall.kind, CommandKind::kUninstall);
  EXPECT_EQ(uninstall.version, L"");  // every version
}

TEST(CommandLineTest, RefusedCommandsSayWhy) {
  for (const Texts& args : std::vector<Texts>{
           {L"install"},
           {L"/allusers"},
           {L"/install", L"/uninstall"},
           {L"/install", L"/sketchup", L"2021", L"/sketchup", L"2022"},
           {L"/install", L"/from", L""},
           {L"/uninstall", L"/from", L"a.rbz"},
           {L"/report", L"r.txt", L"/allusers"},
           {L"/uninstall", L"/allowdowngrade"},
           {L"/install", L"/allowdowngrade", L"/allowdowngrade"},
       }) {
    const ParsedCommand parsed = ParseCommandLine(args);
    EXPECT_TRUE(!parsed.command && !parsed.error.empty()) << args.size() << " arguments";
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
