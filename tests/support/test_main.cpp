// The test programs' main: Google Test's own, with a watchdog. The test runner stops a test that
// overruns its time-out with a kill that loses what the test printed and leaves the programs it
// started running into the next test. So the watchdog ends the test a little earlier itself
// (LINGTU_TEST_WATCHDOG_S, set by the runner): it names the test and what it was waiting for
// (the output so far), ends the programs the test started and exits with a failure.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "support/process.h"
#include "support/shared_resources.h"

namespace {

constexpr UINT kWatchdogExitCode = 124;  // as timeout(1) reports it

DWORD WatchdogSeconds() {
  char value[32];
  const DWORD length = ::GetEnvironmentVariableA("LINGTU_TEST_WATCHDOG_S", value, sizeof value);
  if (length == 0 || length >= sizeof value) return 0;
  return static_cast<DWORD>(std::strtoul(value, nullptr, 10));
}

void EndEverythingOfThisTest(DWORD seconds) {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string name =
      test ? std::string(test->test_suite_name()) + "." + test->name() : "(between tests)";
  // On the test's own output, so that it stands where the test stopped.
  std::printf("\nwatchdog: %s still runs after %lu s; ending it and what it started\n",
              name.c_str(), static_cast<unsigned long>(seconds));
  std::fflush(stdout);
  testsupport::EndStartedPrograms();
  // Stand-ins may also have been started by the assistant; they are this test's alone when it
  // holds their lock.
  if (testsupport::HoldsLock(testsupport::Shared::kSketchUp)) {
    for (DWORD pid : testsupport::ProcessesNamed(L"SketchUp.exe")) {
      if (HANDLE process = ::OpenProcess(PROCESS_TERMINATE, FALSE, pid)) {
        ::TerminateProcess(process, 1);
        ::CloseHandle(process);
      }
    }
  }
  std::fflush(stdout);
  ::TerminateProcess(::GetCurrentProcess(), kWatchdogExitCode);
}

DWORD WINAPI Watchdog(void* parameter) {
  const auto seconds = static_cast<DWORD>(reinterpret_cast<uintptr_t>(parameter));
  ::Sleep(seconds * 1000);
  EndEverythingOfThisTest(seconds);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Started as another program's relay (process.h), not to run tests.
  if (const std::optional<int> relayed = testsupport::RelayMain()) return *relayed;
  ::testing::InitGoogleTest(&argc, argv);
  if (const DWORD seconds = WatchdogSeconds()) {
    if (HANDLE thread =
            ::CreateThread(nullptr, 0, Watchdog,
                           reinterpret_cast<void*>(static_cast<uintptr_t>(seconds)), 0, nullptr)) {
      ::CloseHandle(thread);
    }
  }
  return RUN_ALL_TESTS();
}
