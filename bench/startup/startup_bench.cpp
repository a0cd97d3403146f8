// Time from process start to the main window being visible and painted (its thread idle after
// the first paint), for the assistant and for references in the same Wine, interleaved:
// a minimal one-window program, that window with the assistant's DLLs, manifest, GDI+ and
// common controls, and that window again painting one line of text with GDI+ (no aim: it shows
// what the platform charges for GDI+ text, which the assistant's labels use). Prints the
// medians, the ratios, and where the assistant's time goes (the stamps it keeps of its own
// start-up, asked for with its timeline message; the references keep the first three of them
// too).
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
bool PollUntil(Condition condition, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < timeoutMs) {
    if (condition()) return true;
    Sleep(2);
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
  std::vector<double> totals = {};
  std::array<std::vector<double>, kStepCount> steps = {};  // ms from launch
};

// One start: launch, wait until the window is visible and its thread has painted and gone
// idle; then ask for the stamps it keeps.
void TimeOneStart(Program& program) {
  const LONGLONG start = Now();
  Process process = LaunchProcess(program.exe);
  HWND window = nullptr;
  PollUntil([&] { return (window = VisibleWindow(program.windowClass, process.pid())); }, 30000);
  if (!window) return;
  PollUntil([&] { return GetUpdateRect(window, nullptr, FALSE) == FALSE; }, 10000);
  WaitIdle(window);
  program.totals.push_back(MillisecondsBetween(start, Now()));
  const UINT query = RegisterWindowMessageW(app::startup::kQueryMessageName);
  auto stampOf = [&](Step step) {
    DWORD_PTR stamp = 0;
    SendMessageTimeoutW(window, query, static_cast<WPARAM>(step), 0, SMTO_NORMAL, 1000, &stamp);
    return static_cast<LONGLONG>(stamp);
  };
  // The assistant's stamps taken after the window went idle (pages loaded, idle) are waited
  // for; a build that keeps no stamps answers 0 to all.
  if (program.isAssistant && stampOf(Step::kMain)) {
    PollUntil([&] { return stampOf(Step::kIdle) != 0; }, 5000);
  }
  for (int step = 0; step < kStepCount; ++step) {
    if (const LONGLONG stamp = stampOf(static_cast<Step>(step))) {
      program.steps[step].push_back(MillisecondsBetween(start, stamp));
    }
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

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 9;
  const std::wstring bench = BinaryDir() + L"\\bench\\startup\\";
  std::vector<Program> programs = {
      Program{"minimal window", bench + L"bench_minimal_window.exe", L"LingtuMinimalWindow"},
      Program{"same-DLL window", bench + L"bench_same_dll_window.exe", L"LingtuSameDllWindow"},
      Program{"same-DLL window with GDI+ text", bench + L"bench_same_dll_text_window.exe",
              L"LingtuSameDllTextWindow"},
      Program{"assistant", AppExePath(), kMainWindowClass, true},
  };
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
    program.totals.clear();
    for (auto& step : program.steps) step.clear();
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
  const double minimal = Median(programs[0].totals), sameDll = Median(programs[1].totals),
               sameDllText = Median(programs[2].totals);
  for (const Program& program : programs) {
    const double median = Median(program.totals);
    std::printf("startup: %s median %.0f ms", program.name, median);
    if (program.isAssistant) {
      std::printf(
          ", ratio %.2fx to the minimal window (aim: at most 1.5x), %.2fx to the "
          "same-DLL window (aim: at most 1.2x), %.2fx to the same-DLL window with GDI+ text",
          minimal > 0 ? median / minimal : 0.0, sameDll > 0 ? median / sameDll : 0.0,
          sameDllText > 0 ? median / sameDllText : 0.0);
    }
    std::printf(", %zu runs\n", program.totals.size());
    std::printf("startup:   %s, medians in ms after launch:", program.name);
    for (int step = 0; step < kStepCount; ++step) {
      const auto& values = program.steps[step];
      if (!values.empty()) std::printf(" %s %.0f;", kStepNames[step], Median(values));
    }
    std::printf("\n");
    // Each step's own duration, a median over the runs: steadier on a busy machine than
    // differences of the medians above.
    std::printf("startup:   %s, medians of each step's duration in ms:", program.name);
    for (int step = 1; step < kStepCount; ++step) {
      const auto& from = program.steps[step - 1];
      const auto& to = program.steps[step];
      if (from.size() != to.size() || to.empty()) continue;
      std::vector<double> durations;
      for (size_t run = 0; run < to.size(); ++run) durations.push_back(to[run] - from[run]);
      std::printf(" to %s %.0f;", kStepNames[step], Median(durations));
    }
    std::printf("\n");
  }
  return 0;
}
