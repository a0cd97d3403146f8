// The stand-in SketchUp.exe and the process side of the driver, checked against each other.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/driver.h"
#include "support/paths.h"
#include "support/standin.h"

namespace testsupport {
namespace {

std::vector<std::wstring> Titles(const std::vector<HWND>& windows) {
  std::vector<std::wstring> titles;
  for (HWND window : windows) titles.push_back(WindowText(window));
  std::sort(titles.begin(), titles.end());
  return titles;
}

HWND WindowTitled(DWORD pid, const std::wstring& title) {
  for (HWND window : StandinWindows(pid)) {
    if (WindowText(window) == title) return window;
  }
  return nullptr;
}

TEST(StandinTest, OpensTheWindowsItIsAskedFor) {
  Process standin = LaunchStandin({L"--at", L"300,200,800,600", L"--window", L"模型 one",
                                   L"--window", L"two \"quoted\"", L"--hidden", L"secret",
                                   L"--empty-title", L"--refuse-close", L"stubborn"});
  ASSERT_TRUE(standin.IsRunning());
  const auto windows = StandinWindows(standin.pid());
  EXPECT_EQ(Titles(windows), (std::vector<std::wstring>{L"", L"secret", L"stubborn",
                                                        L"two \"quoted\"", L"模型 one"}));
  const HWND placed = WindowTitled(standin.pid(), L"模型 one");
  ASSERT_TRUE(placed);
  const RECT rect = OuterRect(placed);
  EXPECT_EQ(rect.left, 300);
  EXPECT_EQ(rect.top, 200);
  EXPECT_EQ(rect.right - rect.left, 800);
  EXPECT_EQ(rect.bottom - rect.top, 600);
  EXPECT_FALSE(IsVisible(WindowTitled(standin.pid(), L"secret")));
  EXPECT_TRUE(IsVisible(WindowTitled(standin.pid(), L"")));
}

TEST(StandinTest, WithoutArgumentsOpensOneDefaultWindowAndRejectsUnknownOptions) {
  Process standin = LaunchStandin();
  EXPECT_EQ(Titles(StandinWindows(standin.pid())), std::vector<std::wstring>{kStandinDefaultTitle});
  EXPECT_TRUE(WaitForWindow(kStandinWindowClass, kStandinDefaultTitle, standin.pid()));

  Process bad = LaunchStandin({L"--at", L"1,2,3"});
  EXPECT_EQ(bad.WaitForExit(), static_cast<DWORD>(kStandinBadArguments));
}

TEST(StandinTest, WindowsAreFoundByTitleAndProcess) {
  Process first = LaunchStandin({L"--window", L"same"});
  Process second = LaunchStandin({L"--window", L"same", L"--hidden", L"only hidden"});
  const HWND found = WaitForWindow(kStandinWindowClass, std::wstring(L"same"), second.pid(), 0);
  ASSERT_TRUE(found);
  EXPECT_EQ(ProcessOf(found), second.pid());
  EXPECT_FALSE(WaitForWindow(kStandinWindowClass, std::wstring(L"only hidden"), kAnyProcess, 0));
  EXPECT_FALSE(WaitForWindow(kStandinWindowClass, std::wstring(L"sam"), kAnyProcess, 0));
}

TEST(StandinTest, CountsMovesButNotZOrderChanges) {
  Process standin = LaunchStandin({L"--at", L"100,100,400,300", L"--window", L"target"});
  const HWND window = WindowTitled(standin.pid(), L"target");
  ASSERT_TRUE(window);
  EXPECT_EQ(StandinMoveCount(window), 0);
  ::SetWindowPos(window, nullptr, 115, 115, 0, 0, SWP_NOSIZE | SWP_NOOWNERZORDER);
  ::SetWindowPos(window, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOOWNERZORDER);
  ::SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
  ::SetWindowPos(window, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOOWNERZORDER);  // no change
  EXPECT_EQ(StandinMoveCount(window), 2);
  EXPECT_TRUE(IsTopmost(window));
  ResetStandinMoves(window);
  EXPECT_EQ(StandinMoveCount(window), 0);
}

TEST(StandinTest, ARefusingWindowCountsCloseRequestsAndStays) {
  Process standin = LaunchStandin({L"--window", L"a", L"--refuse-close", L"b", L"--hidden", L"c"});
  const HWND a = WindowTitled(standin.pid(), L"a");
  const HWND b = WindowTitled(standin.pid(), L"b");
  ASSERT_TRUE(a && b);

  ::SendMessageW(b, WM_CLOSE, 0, 0);
  EXPECT_TRUE(::IsWindow(b));
  EXPECT_EQ(StandinCloseCount(b), 1);
  EXPECT_TRUE(RequestClose(a));
  EXPECT_TRUE(standin.IsRunning());  // b is still visible
  ::SendMessageW(b, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(StandinCloseCount(b), 2);
  EXPECT_TRUE(standin.IsRunning());

  standin.Kill();
  EXPECT_FALSE(standin.IsRunning());
}

TEST(StandinTest, VisibleWindowsGoneEndsTheProcessWithExitCodeZero) {
  Process standin = LaunchStandin({L"--window", L"only", L"--hidden", L"hidden"});
  ASSERT_TRUE(RequestClose(WindowTitled(standin.pid(), L"only")));
  EXPECT_EQ(standin.WaitForExit(), 0u);
}

TEST(ProcessTest, DestructorEndsARunningProgram) {
  DWORD pid = 0;
  {
    Process standin = LaunchStandin();
    pid = standin.pid();
    ASSERT_TRUE(standin.IsRunning());
    EXPECT_FALSE(standin.WaitForExit(0));
  }
  base::UniqueKernelHandle handle(::OpenProcess(SYNCHRONIZE, FALSE, pid));
  EXPECT_TRUE(!handle || ::WaitForSingleObject(handle.get(), 0) == WAIT_OBJECT_0);
}

TEST(ProcessTest, EnvironmentChangesReachTheChild) {
  const std::wstring folder = MakeScratchFolder(L"process-env");
  const std::wstring log = folder + L"\\starts.log";
  {
    Process standin = LaunchStandin({}, {{kStandinLogVariable, log}});
    ASSERT_TRUE(standin);
  }
  const auto starts = ReadStandinLog(log);
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0].exePath, StandinExePath());

  // A variable removed from the child's environment, although this process has it.
  ::SetEnvironmentVariableW(kStandinLogVariable, log.c_str());
  { Process standin = LaunchStandin({}, {{kStandinLogVariable, std::nullopt}}); }
  ::SetEnvironmentVariableW(kStandinLogVariable, nullptr);
  EXPECT_EQ(ReadStandinLog(log).size(), 1u);
}

TEST(ProcessTest, UserOverrideChangesTheLogOnName) {
  const std::wstring folder = MakeScratchFolder(L"process-user");
  const std::wstring log = folder + L"\\starts.log";
  {
    Process standin = LaunchStandin({}, {{kStandinLogVariable, log}, {L"USER", L"张三"}});
    ASSERT_TRUE(standin);
    EXPECT_TRUE(standin.IsRunning());
    EXPECT_EQ(StandinWindows(standin.pid()).size(), 1u);
  }
  const auto starts = ReadStandinLog(log);
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0].userName, L"张三");
}

TEST(ProcessTest, ArgumentsSurviveQuoting) {
  const std::vector<std::wstring> args = {L"plain",  L"with space",           L"",       L"a\"b",
                                          L"tail\\", L"C:\\dir with space\\", L"\\\\\"x"};
  std::wstring line = L"prog";
  for (const auto& arg : args) line += L" " + QuoteArgument(arg);
  int count = 0;
  LPWSTR* argv = ::CommandLineToArgvW(line.c_str(), &count);
  ASSERT_TRUE(argv);
  std::vector<std::wstring> parsed(argv + 1, argv + count);
  ::LocalFree(argv);
  EXPECT_EQ(parsed, args);
}

TEST(StandinTest, CopiesUnderOtherNamesRun) {
  Process copy = LaunchStandinAs(L"SketchUp2021.exe", {L"--window", L"copy"});
  ASSERT_TRUE(copy.IsRunning());
  EXPECT_EQ(ProcessesNamed(L"sketchup2021.EXE"), std::vector<DWORD>{copy.pid()});
}

}  // namespace
}  // namespace testsupport
