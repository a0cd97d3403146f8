#include "support/process.h"

#include <psapi.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <string>
#include <set>
#include <vector>

#include "support/archive_builder.h"
#include "support/paths.h"

namespace testsupport {
namespace {

bool SameNameIgnoringCase(const std::wstring& a, const std::wstring& b) {
  return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::wstring FileNameOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::set<DWORD> AllProcessIds() {
  std::set<DWORD> ids;
  ForEachProcess([&](const PROCESSENTRY32W& entry) { ids.insert(entry.th32ProcessID); });
  return ids;
}

// Wine's loader as a Unix path, or empty when this does not run under Wine.
std::wstring WineLoader() {
  wchar_t buffer[MAX_PATH];
  const DWORD length = ::GetEnvironmentVariableW(L"WINELOADER", buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH || buffer[0] != L'/') return L"";
  return buffer;
}

// A Unix path as a Windows one (drive Z: is the Unix root).
std::wstring OnDriveZ(const std::wstring& unixPath) {
  std::wstring path = L"Z:" + unixPath;
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return path;
}

bool SetsLogOnName(const std::vector<EnvChange>& env) {
  return std::any_of(env.begin(), env.end(), [](const EnvChange& change) {
    return change.value && SameNameIgnoringCase(change.name, L"USER");
  });
}

Process OpenStarted(DWORD pid) {
  base::UniqueKernelHandle handle(
      ::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION |
                        PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                    FALSE, pid));
  if (!handle) return {};
  return Process(std::move(handle), pid);
}

// The process that appeared after a start through the Unix loader.
Process FindNewProcess(const std::wstring& exeName, const std::set<DWORD>& before) {
  const DWORD deadline = ::GetTickCount() + kDefaultTimeoutMs;
  while (static_cast<LONG>(deadline - ::GetTickCount()) > 0) {
    for (DWORD pid : ProcessesNamed(exeName)) {
      if (!before.count(pid)) return OpenStarted(pid);
    }
    ::Sleep(20);
  }
  return {};
}

// Every program started here, for EndStartedPrograms; the handles stay open until the test
// program ends, a few per test.
std::mutex startedMutex;
std::vector<HANDLE> started;

Process Tracked(Process process) {
  HANDLE copy = nullptr;
  if (process && ::DuplicateHandle(::GetCurrentProcess(), process.handle(), ::GetCurrentProcess(),
                                   &copy, PROCESS_TERMINATE | SYNCHRONIZE, FALSE, 0)) {
    std::lock_guard lock(startedMutex);
    started.push_back(copy);
  }
  return process;
}

}  // namespace

void EndStartedPrograms() {
  std::lock_guard lock(startedMutex);
  for (HANDLE process : started) {
    if (::WaitForSingleObject(process, 0) == WAIT_TIMEOUT) ::TerminateProcess(process, 1);
  }
  for (HANDLE process : started) ::WaitForSingleObject(process, kDefaultTimeoutMs);
}

Process& Process::operator=(Process&& other) noexcept {
  if (this != &other) {
    Kill();
    handle_ = std::move(other.handle_);
    pid_ = std::exchange(other.pid_, 0);
  }
  return *this;
}

bool Process::IsRunning() const {
  return handle_ && ::WaitForSingleObject(handle_.get(), 0) == WAIT_TIMEOUT;
}

uint64_t Process::PeakWorkingSet() const {
  PROCESS_MEMORY_COUNTERS memory{};
  if (!handle_ || !::GetProcessMemoryInfo(handle_.get(), &memory, sizeof memory)) return 0;
  return memory.PeakWorkingSetSize;
}

std::optional<DWORD> Process::WaitForExit(DWORD ms) const {
  if (!handle_ || ::WaitForSingleObject(handle_.get(), ms) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  if (!::GetExitCodeProcess(handle_.get(), &code)) return std::nullopt;
  return code;
}

void Process::Kill() {
  if (!IsRunning()) return;
  ::TerminateProcess(handle_.get(), 1);
  ::WaitForSingleObject(handle_.get(), kDefaultTimeoutMs);
}

std::wstring QuoteArgument(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    // Backslashes are literal unless they precede a quote; then each must be doubled.
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted.push_back(c);
  }
  quoted.append(backslashes * 2, L'\\');
  quoted.push_back(L'"');
  return quoted;
}

std::wstring BuildEnvironmentBlock(const std::vector<EnvChange>& changes) {
  std::vector<std::wstring> entries;
  if (wchar_t* env = ::GetEnvironmentStringsW()) {
    for (const wchar_t* p = env; *p; p += wcslen(p) + 1) entries.emplace_back(p);
    ::FreeEnvironmentStringsW(env);
  }
  for (const auto& change : changes) {
    // Entries such as "=C:=C:\dir" start with '=': the name ends at the next one.
    std::erase_if(entries, [&](const std::wstring& entry) {
      const size_t equals = entry.find(L'=', 1);
      return equals != std::wstring::npos &&
             SameNameIgnoringCase(entry.substr(0, equals), change.name);
    });
    if (change.value) entries.push_back(change.name + L"=" + *change.value);
  }
  std::wstring block;
  for (const auto& entry : entries) block.append(entry).push_back(L'\0');
  block.push_back(L'\0');
  return block;
}

void ForEachProcess(const std::function<void(const PROCESSENTRY32W&)>& visit) {
  base::UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL ok = ::Process32FirstW(snapshot.get(), &entry); ok;
       ok = ::Process32NextW(snapshot.get(), &entry)) {
    visit(entry);
  }
}

std::vector<DWORD> ProcessesNamed(const std::wstring& exeName) {
  std::vector<DWORD> ids;
  ForEachProcess([&](const PROCESSENTRY32W& entry) {
    if (SameNameIgnoringCase(entry.szExeFile, exeName)) ids.push_back(entry.th32ProcessID);
  });
  return ids;
}

Process LaunchProcess(const std::wstring& exe, const std::vector<std::wstring>& args,
                      const std::vector<EnvChange>& env, const std::wstring& workdir,
                      HANDLE output) {
  const std::wstring loader = SetsLogOnName(env) ? WineLoader() : L"";
  std::wstring commandLine;
  if (!loader.empty()) commandLine = QuoteArgument(loader) + L" ";
  commandLine += QuoteArgument(exe);
  for (const auto& arg : args) commandLine += L" " + QuoteArgument(arg);
  std::wstring block = BuildEnvironmentBlock(env);

  const std::set<DWORD> before = loader.empty() ? std::set<DWORD>{} : AllProcessIds();
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  if (output) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
  }
  PROCESS_INFORMATION info{};
  // The loader finds its own files from its first argument, so that stays a Unix path.
  const std::wstring application = loader.empty() ? exe : OnDriveZ(loader);
  if (!::CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr,
                        output != nullptr, CREATE_UNICODE_ENVIRONMENT, block.data(),
                        workdir.empty() ? nullptr : workdir.c_str(), &startup, &info)) {
    return {};
  }
  base::UniqueKernelHandle thread(info.hThread);
  base::UniqueKernelHandle handle(info.hProcess);
  if (!loader.empty()) return Tracked(FindNewProcess(FileNameOf(exe), before));
  return Tracked(Process(std::move(handle), info.dwProcessId));
}

// The relay's first argument; then the file for the exit code, the program and its arguments.
constexpr wchar_t kRelaySwitch[] = L"--lingtu-relay";

std::optional<DWORD> RunToExit(const std::wstring& exe, const std::vector<std::wstring>& args,
                               const std::vector<EnvChange>& env, DWORD timeoutMs) {
  if (!SetsLogOnName(env) || WineLoader().empty()) {
    return LaunchProcess(exe, args, env).WaitForExit(timeoutMs);
  }
  wchar_t self[MAX_PATH], folder[MAX_PATH];
  if (!::GetModuleFileNameW(nullptr, self, MAX_PATH) || !::GetTempPathW(MAX_PATH, folder))
    return {};
  const std::wstring codeFile = std::wstring(folder) + L"lingtu_relay_" +
                                std::to_wstring(::GetCurrentProcessId()) + L"_" +
                                std::to_wstring(::GetTickCount64());
  std::vector<std::wstring> relayArgs = {kRelaySwitch, codeFile, exe};
  relayArgs.insert(relayArgs.end(), args.begin(), args.end());
  const Process relay = LaunchProcess(self, relayArgs, env);
  std::string code;  // written under another name, then renamed: whole once it is there
  for (const DWORD start = ::GetTickCount();
       relay && code.empty() && ::GetTickCount() - start < timeoutMs; ::Sleep(20)) {
    code = ReadBinaryFile(codeFile);
  }
  ::DeleteFileW(codeFile.c_str());
  if (code.empty()) return std::nullopt;
  return static_cast<DWORD>(std::strtoul(code.c_str(), nullptr, 10));
}

std::optional<int> RelayMain() {
  int count = 0;
  LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (!argv) return std::nullopt;
  const std::vector<std::wstring> arguments(argv, argv + count);
  ::LocalFree(argv);
  if (count < 4 || arguments[1] != kRelaySwitch) return std::nullopt;
  // Bounded like every wait: a child that does not end is ended with the relay.
  const std::optional<DWORD> code =
      LaunchProcess(arguments[3], {arguments.begin() + 4, arguments.end()})
          .WaitForExit(2 * kDefaultTimeoutMs);
  const std::wstring part = arguments[2] + L".part";
  return code && WriteFileBytes(part, std::to_string(*code)) &&
                 ::MoveFileExW(part.c_str(), arguments[2].c_str(), MOVEFILE_REPLACE_EXISTING)
             ? 0
             : 1;
}

}  // namespace testsupport
