// What a test shares with the tests that run beside it. The test runner gives each test the
// locks of what its program shares (tests/CMakeLists.txt, where the list and the reasons are)
// and tells it which in LINGTU_TEST_SHARES; the support code checks at each use.
#pragma once

namespace testsupport {

enum class Shared {
  kSketchUp,      // processes named SketchUp.exe, HKLM\SOFTWARE\SketchUp, plug-in folders
  kUpdateServer,  // the update server's routes, recorded requests and refusal
  kDesktop,       // windows shown on the display, the foreground window and the focus
};

// Fails the running test (once per resource and process) when the runner did not give it
// the lock of `what`: another test could be using it at the same time. `use` says what the
// test does with it. A test started by hand, outside the runner, runs alone and is not
// checked.
void ExpectLocked(Shared what, const char* use);
// Whether this test may use `what`: its program holds the lock, or it runs outside the runner.
bool HoldsLock(Shared what);

}  // namespace testsupport
