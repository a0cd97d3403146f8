// Time from process start to the main window being visible and painted (its thread idle after
// the first paint), for the assistant and for a minimal one-window program, in the same Wine.
// Prints the medians and their ratio.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "support/driver.h"
#include "support/paths.h"

namespace {

using namespace testsupport;

double MillisecondsSince(const LARGE_INTEGER& start) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

// One start: launch, wait until the window is visible and its thread has painted and gone idle.
double TimeOneStart(const std::wstring& exe, const wchar_t* windowClass) {
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  Process process = LaunchProcess(exe);
  HWND window = WaitForWindow(windowClass, std::nullopt, process.pid(), 30000);
  if (!window) return -1;
  WaitUntil([&] { return GetUpdateRect(window, nullptr, FALSE) == FALSE; }, 10000);
  WaitIdle(window);
  const double elapsed = MillisecondsSince(start);
  RequestClose(window);
  process.WaitForExit(10000);
  return elapsed;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
  const std::wstring minimal = BinaryDir() + L"\\bench\\startup\\bench_minimal_window.exe";
  std::vector<double> app, reference;
  TimeOneStart(AppExePath(), kMainWindowClass);  // warm the file cache and Wine's services
  for (int i = 0; i < runs; ++i) {
    app.push_back(TimeOneStart(AppExePath(), kMainWindowClass));
    reference.push_back(TimeOneStart(minimal, L"LingtuMinimalWindow"));
  }
  const double appMedian = Median(app), referenceMedian = Median(reference);
  std::printf("startup: assistant median %.0f ms, minimal window median %.0f ms, ratio %.2fx "
              "(aim: at most 1.5x), %d runs\n",
              appMedian, referenceMedian, referenceMedian > 0 ? appMedian / referenceMedian : 0.0,
              runs);
  return 0;
}
