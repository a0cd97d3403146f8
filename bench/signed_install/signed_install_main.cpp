// Installing the same published plug-in through the window with the signature check (the
// signed build) and without it (the same program linked without a key), both from one nginx.
// Each run starts each build once and times its click on Command1 until the success message;
// the order alternates so that drifts of the machine hit both alike. Prints medians and their
// ratio; never fails its caller.
//
// Usage (inside tests/support/with_wine.sh, nginx serving the tree; run.sh does both):
//   bench_signed_install.exe <signed exe> <unsigned exe> [runs]
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "base/text.h"
#include "base/unique_handle.h"
#include "support/archive_builder.h"
#include "support/driver.h"
#include "support/paths.h"
#include "support/process.h"

namespace {

constexpr wchar_t kVersionKey[] = L"SOFTWARE\\SketchUp\\SketchUp 2021";
constexpr wchar_t kInstalled[] = L"安装成功！";
constexpr int kInstallId = 108;

double Now() {
  LARGE_INTEGER frequency, counter;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The version the assistant lists, registered for this run only.
class RegisteredVersion {
 public:
  explicit RegisteredVersion(const std::wstring& installFolder) {
    base::UniqueRegKey key;
    const std::wstring value = installFolder + L"\\";
    ok_ = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE,
                            (std::wstring(kVersionKey) + L"\\InstallLocation").c_str(), 0, nullptr,
                            0, KEY_WRITE, nullptr, key.put(), nullptr) == ERROR_SUCCESS &&
          ::RegSetValueExW(
              key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
              static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  }
  RegisteredVersion(const RegisteredVersion&) = delete;
  RegisteredVersion& operator=(const RegisteredVersion&) = delete;
  ~RegisteredVersion() { ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kVersionKey); }
  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::printf("usage: bench_signed_install <signed exe> <unsigned exe> [runs]\n");
    return 0;
  }
  const std::wstring programs[2] = {argv[1], argv[2]};  // with the check, without
  const int runs = argc > 3 ? std::max(1, _wtoi(argv[3])) : 5;

  const std::wstring work = testsupport::MakeScratchFolder(L"bench_signed_install");
  const std::wstring roaming = work + L"\\profile\\AppData\\Roaming";
  const std::wstring temp = work + L"\\Temp";
  const std::wstring install = work + L"\\SketchUp 2021";
  for (const std::wstring& folder : {roaming, work + L"\\ProgramData", temp, install}) {
    testsupport::MakeFolders(folder);
  }
  testsupport::WriteFileBytes(install + L"\\SketchUp.exe", "MZ");
  RegisteredVersion version(install);
  if (!version.ok()) {
    std::printf("bench signed_install: no registry entry (run inside with_wine.sh)\n");
    return 0;
  }
  const std::wstring marker = roaming + L"\\SketchUp\\SketchUp 2021\\SketchUp\\Plugins\\Brindo.rb";

  // Starts one build, installs once into an empty profile and closes it again: seconds from the
  // click to the success message, or -1 with what went wrong in `failure`.
  std::wstring failure;
  auto installOnce = [&](const std::wstring& program) -> double {
    testsupport::DeleteTree(roaming + L"\\SketchUp");
    testsupport::RunningApp app;
    app.process = testsupport::LaunchProcess(program, {},
                                             {{L"USERPROFILE", work + L"\\profile"},
                                              {L"APPDATA", roaming},
                                              {L"ALLUSERSPROFILE", work + L"\\ProgramData"},
                                              {L"TEMP", temp},
                                              {L"TMP", temp}});
    app.window = testsupport::WaitForWindow(testsupport::kMainWindowClass, std::nullopt,
                                            app.process.pid(), 20000);
    HWND page = app.window ? testsupport::FindDescendant(app.window, L"翎图匠助手_Form2") : nullptr;
    HWND button = page ? testsupport::ChildById(page, kInstallId) : nullptr;
    double elapsed = -1;
    failure.clear();
    if (!app.window) {
      failure = L"no main window";
    } else if (!button) {
      failure = L"no install button";
    } else if (!testsupport::WaitUntilStarted(app.window)) {
      // Started means the pages' posted load events have run: a click sent before them would
      // overtake the version list's filling.
      failure = L"no end of start-up";
    } else {
      const double start = Now();
      if (testsupport::Click(button)) {
        const auto box = testsupport::WaitForMessageBox(app.process.pid(), 120000);
        elapsed = Now() - start;
        if (box) testsupport::Answer(*box, IDOK);
        const bool installed =
            box && box->text == kInstalled && !testsupport::ReadBinaryFile(marker).empty();
        if (!installed) {
          elapsed = -1;
          failure = !box ? L"no message within 120 s" : L"message: " + box->text;
        }
      } else {
        failure = L"the click was not taken";
      }
    }
    if (app.window) testsupport::RequestClose(app.window);
    app.process.WaitForExit();
    return elapsed;
  };

  installOnce(programs[0]);  // warm-up: page cache, Wine's DLLs, nginx's first answers
  std::vector<double> times[2];
  for (int run = 0; run < runs; ++run) {
    for (int turn = 0; turn < 2; ++turn) {
      const int which = (run + turn) % 2;
      const double t = installOnce(programs[which]);
      if (t < 0) {
        std::printf("bench signed_install: an installation %s the check failed (%s)\n",
                    which == 0 ? "with" : "without", base::WideToUtf8(failure).c_str());
        return 0;
      }
      times[which].push_back(t);
    }
  }
  const double withCheck = Median(times[0]), without = Median(times[1]);
  std::printf("bench signed_install: median of %d installations each, click to success message\n",
              runs);
  std::printf("  %-40s %8.3f s\n", "with the signature check", withCheck);
  std::printf("  %-40s %8.3f s\n", "without (no key built in)", without);
  std::printf("  with / without: %.3f (aim: at most 1.05)\n", withCheck / without);
  const double fastest[2] = {*std::min_element(times[0].begin(), times[0].end()),
                             *std::min_element(times[1].begin(), times[1].end())};
  std::printf("  fastest of each: %.3f s / %.3f s = %.3f\n", fastest[0], fastest[1],
              fastest[0] / fastest[1]);
  return 0;
}
