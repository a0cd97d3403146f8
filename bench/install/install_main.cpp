// Installing a 20 MB plug-in archive through the real window (click on Command1 until the
// success message shows) against the same work done by the plainest means in the same Wine: a
// minimal WinInet read loop writing the archive to a file, then minizip's miniunz extracting it.
// Prints median times and ratios, and the assistant's peak working set before and after the
// installs; never fails its caller.
//
// Usage (inside tests/support/with_wine.sh, with the update server running):
//   bench_install.exe <miniunz.exe> [runs]
#include <windows.h>
#include <shellapi.h>
#include <wininet.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "base/text.h"
#include "base/unique_handle.h"
#include "net/internet_handle.h"
#include "support/archive_builder.h"
#include "support/driver.h"
#include "support/paths.h"
#include "support/process.h"
#include "support/update_server_client.h"

namespace {

constexpr char kArchiveTarget[] = "/update/%E7%BF%8E%E5%9B%BE%E5%8C%A0.rbz";
constexpr wchar_t kVersion[] = L"SketchUp 2021";
constexpr wchar_t kSketchUpKey[] = L"SOFTWARE\\SketchUp";
constexpr wchar_t kInstalled[] = L"安装成功！";
constexpr int kInstallId = 108;
constexpr DWORD kBufferSize = 4096;  // what the plug-in page reads at a time

double Now() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER counter;
  ::QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / frequency;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void DeleteTree(const std::wstring& folder) {
  if (::GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  std::wstring from = folder + L'\0';  // a double-terminated list of one
  SHFILEOPSTRUCTW operation{};
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.fFlags = FOF_NO_UI;
  ::SHFileOperationW(&operation);
}

// About 20 MB of archive: a plug-in of a few large resources and many small scripts.
std::string MakeArchive() {
  testsupport::ZipBuilder zip;
  zip.AddFolder("Brindo/");
  zip.Add("Brindo.rb", "require 'Brindo/main'\n");
  zip.AddFolder("Brindo/resources/");
  for (int i = 0; i < 19; ++i) {
    zip.Add("Brindo/resources/texture" + std::to_string(i) + ".png",
            testsupport::IncompressibleBytes(1024 * 1024, 100 + i));
  }
  zip.AddFolder("Brindo/lib/");
  for (int i = 0; i < 300; ++i) {
    std::string script;
    for (int line = 0; line < 200; ++line) {
      script += "def tool_" + std::to_string(i) + "_" + std::to_string(line) +
                "(model) model.select(" + std::to_string(line * 7 + i) + ") end\n";
    }
    zip.Add("Brindo/lib/tool" + std::to_string(i) + ".rb", script);
  }
  return zip.Build().bytes;
}

// The version the assistant lists, registered for this run only.
class RegisteredVersion {
 public:
  explicit RegisteredVersion(const std::wstring& installFolder)
      : key_(std::wstring(kSketchUpKey) + L"\\" + kVersion) {
    base::UniqueRegKey key;
    const std::wstring value = installFolder + L"\\";
    ok_ = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, (key_ + L"\\InstallLocation").c_str(), 0, nullptr,
                            0, KEY_WRITE, nullptr, key.put(), nullptr) == ERROR_SUCCESS &&
          ::RegSetValueExW(
              key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
              static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  }
  RegisteredVersion(const RegisteredVersion&) = delete;
  RegisteredVersion& operator=(const RegisteredVersion&) = delete;
  ~RegisteredVersion() { ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, key_.c_str()); }
  bool ok() const { return ok_; }

 private:
  std::wstring key_;
  bool ok_ = false;
};

// The reference download: one GET, read BufferSize bytes at a time, each chunk written out.
bool Download(int port, const std::wstring& file) {
  net::UniqueInternet internet(::InternetOpenA("Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)",
                                               INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
  net::UniqueInternet connection(::InternetConnectA(internet.get(), "127.0.0.1",
                                                    static_cast<INTERNET_PORT>(port), nullptr,
                                                    nullptr, INTERNET_SERVICE_HTTP, 0, 0));
  const char* accept[] = {"*/*", nullptr};
  net::UniqueInternet request(
      ::HttpOpenRequestA(connection.get(), "GET", kArchiveTarget + 1, "HTTP/1.1", nullptr, accept,
                         INTERNET_FLAG_RELOAD | INTERNET_FLAG_KEEP_CONNECTION, 0));
  if (!request || !::HttpSendRequestA(request.get(), nullptr, 0, nullptr, 0)) return false;
  base::UniqueFile out(::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!out) return false;
  static char buffer[kBufferSize];
  DWORD n = 0;
  while (::InternetReadFile(request.get(), buffer, kBufferSize, &n) && n > 0) {
    DWORD written = 0;
    if (!::WriteFile(out.get(), buffer, n, &written, nullptr)) return false;
  }
  return true;
}

// Runs a program to its end with its output in a file (a console under Wine is slow); its
// time in seconds, or -1 when it failed.
double RunTimed(const std::wstring& commandLine, const std::wstring& logFile) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  base::UniqueFile log(::CreateFileW(logFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = log.get();
  startup.hStdError = log.get();
  PROCESS_INFORMATION started{};
  std::wstring line = commandLine;
  const double start = Now();
  if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &started)) {
    return -1;
  }
  base::UniqueKernelHandle process(started.hProcess), thread(started.hThread);
  ::WaitForSingleObject(process.get(), INFINITE);
  const double elapsed = Now() - start;
  DWORD code = 1;
  ::GetExitCodeProcess(process.get(), &code);
  return code == 0 ? elapsed : -1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::printf("usage: bench_install <miniunz.exe> [runs]\n");
    return 0;
  }
  const std::wstring miniunz = argv[1];
  const int runs = argc > 2 ? std::max(1, _wtoi(argv[2])) : 5;

  const std::wstring work = testsupport::MakeScratchFolder(L"bench_install");
  const std::wstring profile = work + L"\\profile";
  const std::wstring roaming = profile + L"\\AppData\\Roaming";
  const std::wstring programData = work + L"\\ProgramData";
  const std::wstring temp = work + L"\\Temp";
  const std::wstring install = work + L"\\SketchUp 2021";
  for (const std::wstring& folder :
       {profile, profile + L"\\AppData", roaming, programData, temp, install}) {
    ::CreateDirectoryW(folder.c_str(), nullptr);
  }
  testsupport::WriteFileBytes(install + L"\\SketchUp.exe", "MZ");
  RegisteredVersion version(install);
  const std::wstring pluginFolder = roaming + L"\\SketchUp\\" + kVersion + L"\\SketchUp\\Plugins";

  const std::string archive = MakeArchive();
  const std::wstring referenceArchive = work + L"\\reference.rbz";
  testsupport::RouteOptions fast;
  fast.chunkSize = 1 << 20;  // large writes: the server is not what is measured
  if (!version.ok() || !testsupport::UpdateServer::Reset() ||
      !testsupport::UpdateServer::SetRoute(kArchiveTarget, archive, fast)) {
    std::printf("bench install: no registry entry or no update server (run inside with_wine.sh)\n");
    return 0;
  }

  testsupport::RunningApp app = testsupport::LaunchApp({{L"USERPROFILE", profile},
                                                        {L"APPDATA", roaming},
                                                        {L"ALLUSERSPROFILE", programData},
                                                        {L"TEMP", temp},
                                                        {L"TMP", temp}});
  HWND page = app.window ? testsupport::FindDescendant(app.window, L"翎图匠助手_Form2") : nullptr;
  HWND button = page ? testsupport::ChildById(page, kInstallId) : nullptr;
  if (!button) {
    std::printf("bench install: the assistant did not start\n");
    return 0;
  }

  // One first install through the window: seconds from the click to the result, or -1.
  auto installOnce = [&]() -> double {
    DeleteTree(roaming + L"\\SketchUp");
    const double start = Now();
    if (!testsupport::Click(button)) return -1;
    const auto box = testsupport::WaitForMessageBox(app.process.pid(), 120000);
    const double elapsed = Now() - start;
    if (!box) return -1;
    testsupport::Answer(*box, IDOK);
    testsupport::WaitIdle(page);
    const bool installed = box->text == kInstalled &&
                           !testsupport::ReadBinaryFile(pluginFolder + L"\\Brindo.rb").empty();
    return installed ? elapsed : -1;
  };
  const int port = testsupport::UpdateServer::Port();
  auto downloadOnce = [&]() -> double {
    const double start = Now();
    return Download(port, referenceArchive) ? Now() - start : -1;
  };
  auto miniunzOnce = [&]() -> double {
    const std::wstring out = work + L"\\miniunz-out";
    DeleteTree(out);
    ::CreateDirectoryW(out.c_str(), nullptr);
    return RunTimed(testsupport::QuoteArgument(miniunz) + L" -x -o " +
                        testsupport::QuoteArgument(referenceArchive) + L" -d " +
                        testsupport::QuoteArgument(out),
                    work + L"\\miniunz.log");
  };
  // miniunz without arguments only prints its usage: the cost of starting a program.
  auto startOnce = [&]() {
    return RunTimed(testsupport::QuoteArgument(miniunz), work + L"\\miniunz.log");
  };

  const uint64_t peakAtStart = app.process.PeakWorkingSet();
  installOnce();  // warm-up: page cache, Wine DLLs, the server's first answer
  downloadOnce();
  miniunzOnce();
  std::vector<double> installs, downloads, extractions, starts;
  for (int i = 0; i < runs; ++i) {  // interleaved, so drifts of the machine hit all alike
    const double a = installOnce(), d = downloadOnce(), x = miniunzOnce(), s = startOnce();
    if (a < 0 || d < 0 || x < 0) {
      std::printf("bench install: a run failed (install %.3f, download %.3f, miniunz %.3f)\n", a, d,
                  x);
      testsupport::RequestClose(app.window);
      return 0;
    }
    installs.push_back(a);
    downloads.push_back(d);
    extractions.push_back(x);
    starts.push_back(std::max(0.0, s));
  }
  const uint64_t peakAfterInstalls = app.process.PeakWorkingSet();
  testsupport::RequestClose(app.window);
  app.process.WaitForExit();

  const double a = Median(installs), d = Median(downloads), x = Median(extractions),
               s = Median(starts);
  std::printf("bench install: %.1f MB plug-in archive, median of %d runs\n",
              archive.size() / 1048576.0, runs);
  std::printf("  %-46s %8.3f s\n", "click to the success message (the assistant)", a);
  std::printf("  %-46s %8.3f s\n", "minimal WinInet download to a file", d);
  std::printf("  %-46s %8.3f s\n", "miniunz extraction (program start included)", x);
  std::printf("  %-46s %8.3f s\n", "  of which starting a program", s);
  std::printf("  install / (download + miniunz): %.2f (aim: at most 1.3)\n", a / (d + x));
  if (d + x - s > 0) {
    std::printf("  install / (download + miniunz without its start): %.2f\n", a / (d + x - s));
  }
  std::printf("  %-46s %8.1f MB\n", "assistant's peak working set once started",
              peakAtStart / 1048576.0);
  std::printf("  %-46s %8.1f MB\n", "assistant's peak working set after installing",
              peakAfterInstalls / 1048576.0);
  return 0;
}
