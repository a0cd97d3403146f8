// Starting programs under test and owning them until they end.
//
// The log-on name under Wine: GetUserNameW answers what Wine took from the Unix variable
// USER when the process started. A Windows process started by another one inherits the
// parent's Unix environment, whatever its Windows environment block says, so USER=张三 in
// the block does NOT change the child's name (WINEUSERNAME in the block is overwritten too).
// What works is to start the program through Wine's Unix loader (WINELOADER): a Unix program
// gets its Unix environment built from the block. LaunchProcess does that whenever the
// overrides set USER; the process is then found by its executable name among the processes
// that did not exist before the start (its exit code is unknown if it ended before that).
// The profile folder (USERPROFILE, APPDATA) stays the prefix's; set it too when it matters.
#pragma once

#include <windows.h>
#include <tlhelp32.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/unique_handle.h"

namespace testsupport {

// How long a test waits for something that should happen. Generous: a loaded machine may be
// slow, and a wait that ends early costs nothing.
inline constexpr DWORD kDefaultTimeoutMs = 30000;

// One change of the child's environment: set a variable, or remove it (no value).
struct EnvChange {
  std::wstring name;
  std::optional<std::wstring> value;
};

// A running (or ended) program. Move-only; the destructor kills it if it still runs.
class Process {
 public:
  Process() = default;
  Process(base::UniqueKernelHandle handle, DWORD pid) : handle_(std::move(handle)), pid_(pid) {}
  Process(Process&&) = default;
  Process& operator=(Process&& other) noexcept;
  ~Process() { Kill(); }

  explicit operator bool() const { return static_cast<bool>(handle_); }
  HANDLE handle() const { return handle_.get(); }
  DWORD pid() const { return pid_; }

  bool IsRunning() const;
  // The most memory the process has held in its working set so far (PeakWorkingSetSize), in
  // bytes; 0 when it cannot be read.
  uint64_t PeakWorkingSet() const;
  // The exit code once the process has ended within `ms`; nothing while it still runs.
  std::optional<DWORD> WaitForExit(DWORD ms = kDefaultTimeoutMs) const;
  // Ends a running process and waits until it is gone.
  void Kill();

 private:
  base::UniqueKernelHandle handle_;
  DWORD pid_ = 0;
};

// Starts `exe` with `args` (each quoted as needed). `workdir` empty: the caller's. `output`, an
// inheritable handle, becomes its standard output. An empty Process when the program cannot be
// started. Every program started so is ended by EndStartedPrograms, whoever owns it by then.
Process LaunchProcess(const std::wstring& exe, const std::vector<std::wstring>& args = {},
                      const std::vector<EnvChange>& env = {}, const std::wstring& workdir = L"",
                      HANDLE output = nullptr);

// Runs `exe` to its end: its exit code, or nothing when it did not end within `timeoutMs`. A start
// through the Unix loader (USER set) gives no exit code, so this test program is started that way
// as a relay (RelayMain) that runs `exe` as its child, which inherits the name, and writes down
// its exit code. The profile folders are then the prefix's own for that name.
std::optional<DWORD> RunToExit(const std::wstring& exe, const std::vector<std::wstring>& args,
                               const std::vector<EnvChange>& env = {},
                               DWORD timeoutMs = kDefaultTimeoutMs);
// The relay's side, called first thing by the test programs' main: when this process was started
// as a relay, runs it and returns its exit code; otherwise nothing.
std::optional<int> RelayMain();

// One argument quoted so that CommandLineToArgvW gives it back unchanged.
std::wstring QuoteArgument(const std::wstring& arg);
// The current environment with `changes` applied, as a CreateProcessW environment block.
std::wstring BuildEnvironmentBlock(const std::vector<EnvChange>& changes);

// Ends every program that LaunchProcess started and that still runs (the test watchdog's last
// step: a test that is stopped must not leave them to the next one).
void EndStartedPrograms();

// Identifiers of the running processes whose executable name equals `exeName` (any case).
// Calls `visit` with every process the system lists now.
void ForEachProcess(const std::function<void(const PROCESSENTRY32W&)>& visit);
std::vector<DWORD> ProcessesNamed(const std::wstring& exeName);

}  // namespace testsupport
