// Start-up time of the assistant against references in the same Wine, interleaved: a minimal
// one-window program; that window with the assistant's DLLs, manifest, GDI+ and common controls
// (the same-DLL window); and the assistant's own user interface built with plain Win32 calls
// (plain_win32_assistant.cpp). The clock stops when a program is interactive: its window
// visible and painted, every page built and its thread idle, which each program stamps the
// same way (the first time its message loop finds nothing left to do). Prints, as medians, when
// each program is interactive and when it first painted, the assistant's ratios (interactive
// against the plain-Win32 user interface, first paint against the same-DLL window and the
// plain-Win32 user interface), and where each program's time goes (the stamps it keeps of its
// own start-up, asked for with the assistant's timeline message).
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "app/startup_timeline.h"
#include "base/text.h"
#include "support/driver.h"
#include "support/paths.h"

namespace {

using namespace testsupport;
using app::startup::Step;

constexpr int kStepCount = static_cast<int>(Step::kCount);
constexpr std::array<const char*, kStepCount> kStepNames = {"main", "main form created",
                                                            "first paint", "pages loaded", "idle"};

double Frequency() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(frequency.QuadPart);
}

double MillisecondsBetween(LONGLONG from, LONGLONG to) {
  return 1000.0 * static_cast<double>(to - from) / Frequency();
}

LONGLONG Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

// Polls more often than the test driver: the figures are a few hundred milliseconds.
template <typename Condition>
bool PollUntil(Condition condition, DWORD timeoutMs, DWORD intervalMs = 2) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < timeoutMs) {
    if (condition()) return true;
    Sleep(intervalMs);
  }
  return condition();
}

HWND VisibleWindow(const wchar_t* windowClass, DWORD pid) {
  for (HWND window = FindWindowExW(nullptr, nullptr, windowClass, nullptr); window;
       window = FindWindowExW(nullptr, window, windowClass, nullptr)) {
    if (ProcessOf(window) == pid && IsWindowVisible(window)) return window;
  }
  return nullptr;
}

struct Program {
  const char* name;
  std::wstring exe;
  const wchar_t* windowClass;
  bool isAssistant = false;
  std::vector<double> interactive = {};                    // ms from launch
  std::array<std::vector<double>, kStepCount> steps = {};  // ms from launch
  int timedFromOutside = 0;                                // starts of a build that keeps no stamps
};

// One start: launch, wait until the window is visible and its thread has painted and gone
// idle, then until the program stamps its first idle after building everything (it posts that
// work to itself before the first paint, so the first idle comes after it); ask for the stamps.
// A build that keeps no stamps (it answers 0) is timed from outside: visible, painted, idle.
void TimeOneStart(Program& program) {
  const LONGLONG start = Now();
  Process process = LaunchProcess(program.exe);
  HWND window = nullptr;
  PollUntil([&] { return (window = VisibleWindow(program.windowClass, process.pid())); }, 30000);
  if (!window) return;
  PollUntil([&] { return GetUpdateRect(window, nullptr, FALSE) == FALSE; }, 10000);
  WaitIdle(window);
  const double outside = MillisecondsBetween(start, Now());
  const UINT query = RegisterWindowMessageW(app::startup::kQueryMessageName);
  auto stampOf = [&](Step step) {
    DWORD_PTR stamp = 0;
    SendMessageTimeoutW(window, query, static_cast<WPARAM>(step), 0, SMTO_NORMAL, 1000, &stamp);
    return static_cast<LONGLONG>(stamp);
  };
  // The stamp says when; asking seldom keeps the questions from slowing the program down.
  if (stampOf(Step::kMain)) PollUntil([&] { return stampOf(Step::kIdle) != 0; }, 10000, 10);
  for (int step = 0; step < kStepCount; ++step) {
    if (const LONGLONG stamp = stampOf(static_cast<Step>(step))) {
      program.steps[step].push_back(MillisecondsBetween(start, stamp));
    }
  }
  if (const LONGLONG idle = stampOf(Step::kIdle)) {
    program.interactive.push_back(MillisecondsBetween(start, idle));
  } else {
    program.interactive.push_back(outside);
    ++program.timedFromOutside;
  }
  RequestClose(window);
  process.WaitForExit(10000);
}

// An argument as typed, whatever the code page of the narrow ones (a Windows or Unix path).
std::wstring WideArgument(int index) {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  std::wstring arg = args && index < count ? args[index] : L"";
  LocalFree(args);
  if (!arg.empty() && arg[0] == L'/') {
    arg = L"Z:" + arg;
    std::replace(arg.begin(), arg.end(), L'/', L'\\');
  }
  return arg;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

double Ratio(double value, double reference) {
  return reference > 0 ? value / reference : 0.0;
}

// Where a program's time goes: each stamp after launch, then each step's own duration (a median
// over the runs, steadier on a busy machine than differences of the medians).
void PrintSteps(const Program& program) {
  std::printf("startup:   after launch:");
  for (int step = 0; step < kStepCount; ++step) {
    const auto& values = program.steps[step];
    if (!values.empty()) std::printf(" %s %.0f;", kStepNames[step], Median(values));
  }
  std::printf("\nstartup:   step durations:");
  for (int step = 1, from = 0; step < kStepCount; ++step) {
    const auto& to = program.steps[step];
    if (to.empty()) continue;
    if (program.steps[from].size() == to.size()) {
      std::vector<double> durations;
      for (size_t run = 0; run < to.size(); ++run) {
        durations.push_back(to[run] - program.steps[from][run]);
      }
      std::printf(" to %s %.0f;", kStepNames[step], Median(durations));
    }
    from = step;
  }
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 9;
  const std::wstring bench = BinaryDir() + L"\\bench\\startup\\";
  std::vector<Program> programs = {
      Program{"minimal window", bench + L"bench_minimal_window.exe", L"LingtuMinimalWindow"},
      Program{"same-DLL window", bench + L"bench_same_dll_window.exe", L"LingtuSameDllWindow"},
      Program{"plain-Win32 UI", bench + L"bench_plain_win32_assistant.exe",
              L"LingtuPlainWin32Window"},
      Program{"assistant", AppExePath(), kMainWindowClass, true},
  };
  constexpr size_t kSameDll = 1, kPlainWin32 = 2;
  // Further arguments name other builds of the assistant (Windows or Unix paths), measured in
  // the same rounds: how an earlier build compares with this one.
  std::vector<std::string> names(argc);
  for (int i = 2; i < argc; ++i) {
    names[i] =
        "assistant " + std::to_string(i - 1) + " (" + base::WideToUtf8(WideArgument(i)) + ")";
    programs.push_back(Program{names[i].c_str(), WideArgument(i), kMainWindowClass, true});
  }
  for (Program& program : programs) {  // warm the file cache and Wine's services
    TimeOneStart(program);
    program = Program{program.name, program.exe, program.windowClass, program.isAssistant};
  }
  // Interleaved, each round in its own order, so that a busy spell of the machine falls on
  // all programs alike and none always follows the same one (the end of a program still
  // costs the next one a little).
  std::vector<size_t> order(programs.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::mt19937 shuffler(12);
  for (int round = 0; round < runs; ++round) {
    std::shuffle(order.begin(), order.end(), shuffler);
    for (size_t i : order) TimeOneStart(programs[i]);
  }
  auto firstPaint = [](const Program& program) {
    return Median(program.steps[static_cast<int>(Step::kFirstPaint)]);
  };
  const double plainInteractive = Median(programs[kPlainWin32].interactive);
  const double sameDllPaint = firstPaint(programs[kSameDll]);
  const double plainPaint = firstPaint(programs[kPlainWin32]);
  std::printf(
      "startup: medians in ms after launch; interactive = visible, painted, every page built, "
      "thread idle\n");
  for (const Program& program : programs) {
    const double interactive = Median(program.interactive), paint = firstPaint(program);
    std::printf("startup: %s: interactive %.0f", program.name, interactive);
    if (program.isAssistant) {
      std::printf(" (%.2fx the plain-Win32 UI, aim: at most 1.15x)",
                  Ratio(interactive, plainInteractive));
    }
    if (paint > 0) std::printf(", first paint %.0f", paint);
    // The plain-Win32 program paints the same first page: what the platform charges for it.
    if (program.isAssistant && paint > 0) {
      std::printf(" (%.2fx the same-DLL window, aim: at most 1.15x; %.2fx the plain-Win32 UI)",
                  Ratio(paint, sameDllPaint), Ratio(paint, plainPaint));
    }
    std::printf("; %zu runs", program.interactive.size());
    if (program.timedFromOutside > 0) {
      std::printf(" (%d without stamps, timed from outside: visible, painted, idle)",
                  program.timedFromOutside);
    }
    std::printf("\n");
    PrintSteps(program);
  }
  return 0;
}
