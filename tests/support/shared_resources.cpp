#include "support/shared_resources.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace testsupport {
namespace {

const char* NameOf(Shared what) {
  switch (what) {
    case Shared::kSketchUp:
      return "sketchup";
    case Shared::kUpdateServer:
      return "update_server";
    case Shared::kDesktop:
      return "desktop";
  }
  return "?";
}

}  // namespace

bool HoldsLock(Shared what) {
  char value[256];
  const DWORD length = ::GetEnvironmentVariableA("LINGTU_TEST_SHARES", value, sizeof value);
  if (length == 0 || length >= sizeof value) return true;  // not started by the test runner
  std::istringstream names(value);
  for (std::string name; std::getline(names, name, ',');) {
    if (name == NameOf(what)) return true;
  }
  return false;
}

void ExpectLocked(Shared what, const char* use) {
  static bool reported[3] = {};
  bool& done = reported[static_cast<int>(what)];
  if (done || HoldsLock(what)) return;
  done = true;
  ADD_FAILURE() << "this test " << use << ", but its program does not hold the lock lingtu_"
                << NameOf(what) << ": add " << NameOf(what)
                << " to its SHARES in tests/CMakeLists.txt";
}

}  // namespace testsupport
